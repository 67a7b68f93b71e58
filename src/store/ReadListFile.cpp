#include "store/ReadListFile.h"

#include "store/Base64Error.h"
#include "store/FileError.h"
#include "store/wordList.h"

#include <QDir>

namespace lexiglow {

ListFileResult readListFile(wordList &list, const QString &filename, const std::function<void(QStringView)> &eachWord)
{
    using Outcome = ListFileResult::Outcome;
    try {
        const bool isList = eachWord ? list.ReadData(filename, eachWord) : list.ReadData(filename);
        return {isList ? Outcome::Read : Outcome::NotAListFile};
    } catch (const FileError &error) {
        return {Outcome::Failed, QString::fromStdString(error.what())};
    } catch (const Base64Error &error) {
        return {Outcome::Failed, QStringLiteral("%1: a field is damaged (%2)")
                                     .arg(QDir::toNativeSeparators(filename), QString::fromStdString(error.what()))};
    }
}

} // namespace lexiglow
