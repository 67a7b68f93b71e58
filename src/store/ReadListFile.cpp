#include "store/ReadListFile.h"

#include "store/Base64Error.h"
#include "store/FileError.h"
#include "store/wordList.h"

#include <QDir>

namespace lexiglow {

std::optional<QString> readListFile(wordList &list, const QString &filename,
                                    const std::function<void(QStringView)> &eachWord)
{
    try {
        if (eachWord)
            list.ReadData(filename, eachWord);
        else
            list.ReadData(filename);
    } catch (const FileError &error) {
        return QString::fromStdString(error.what());
    } catch (const Base64Error &error) {
        return QStringLiteral("%1: a field is damaged (%2)")
            .arg(QDir::toNativeSeparators(filename), QString::fromStdString(error.what()));
    }
    return std::nullopt;
}

} // namespace lexiglow
