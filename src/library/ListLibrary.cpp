#include "library/ListLibrary.h"

#include "platform/FolderListing.h"
#include "platform/Notice.h"
#include "platform/SettingsStore.h"
#include "settings/GenerationSettings.h"
#include "store/ReadListFile.h"
#include "store/wordList.h"

#include <QDir>
#include <QFileInfo>

namespace lexiglow {

namespace {

const QString section = QStringLiteral("passfiles");
const QString countKey = QStringLiteral("count");
const QString rowKeyPrefix = QStringLiteral("file_");

QString passfileKey(qsizetype entry)
{
    return QStringLiteral("passfile") + QString::number(entry);
}

// The stored entry count, when it is a whole number the library can hold.
std::optional<qsizetype> storedCount(const QString &text)
{
    const std::optional<double> count = settingNumber(text);
    if (!count || *count < 0 || *count > double(ListLibrary::maxEntries) || *count != qsizetype(*count))
        return std::nullopt;
    return qsizetype(*count);
}

} // namespace

ListLibrary::ListLibrary(SettingsStore &store)
    : m_store(store)
{
}

const QString &ListLibrary::path(qsizetype entry) const
{
    Q_ASSERT(entry >= 1 && entry <= count());
    return m_passfiles[entry];
}

bool ListLibrary::loadf(const QString &programFolder)
{
    read(programFolder);
    return savef();
}

void ListLibrary::read(const QString &programFolder)
{
    m_passfiles = {QString()};
    m_warning.clear();
    const QString countText = m_store.value(section, countKey, QStringLiteral("0"));
    std::optional<qsizetype> counted = storedCount(countText);
    if (!counted) {
        counted = highestStoredEntry();
        // The text is the user's file's, of any length: a few characters name it.
        const QString shown = countText.size() > 20 ? countText.left(20) + u'\u2026' : countText;
        m_warning = QStringLiteral("The number of word lists in your settings, \"%1\", is damaged. ").arg(shown)
                    + (*counted == 0 ? QStringLiteral("No list is stored with it, so Lexiglow has taken the lists "
                                                      "in its own folder.")
                       : *counted == 1 ? QStringLiteral("Lexiglow has taken the list stored with it.")
                                       : QStringLiteral("Lexiglow has taken the %1 lists stored with it.").arg(*counted));
    }
    const qsizetype stored = *counted;
    if (stored > 0) {
        for (qsizetype entry = 1; entry <= stored; ++entry)
            m_passfiles.append(m_store.value(section, passfileKey(entry), QStringLiteral("0")));
    } else {
        const QDir folder(programFolder);
        for (const QString &name : listPlainFiles(programFolder, QStringLiteral("*.lxg"), maxEntries))
            m_passfiles.append(QDir::toNativeSeparators(folder.filePath(name)));
    }
}

qsizetype ListLibrary::highestStoredEntry() const
{
    qsizetype highest = 0;
    for (const QString &key : m_store.keys(section)) {
        if (!key.startsWith(QStringLiteral("passfile")))
            continue;
        bool ok = false;
        const qsizetype entry = key.mid(8).toLongLong(&ok);
        // Only the keys the library writes: "passfile" and a number as savef spells it.
        if (ok && entry >= 1 && entry <= maxEntries && key == passfileKey(entry))
            highest = std::max(highest, entry);
    }
    return highest;
}

bool ListLibrary::savef()
{
    m_store.setValue(section, countKey, QString::number(count()));
    for (qsizetype entry = 1; entry <= count(); ++entry)
        m_store.setValue(section, passfileKey(entry), m_passfiles[entry]);
    return m_store.flush();
}

std::optional<qsizetype> ListLibrary::add(const QString &path)
{
    if (count() >= maxEntries)
        return std::nullopt;
    m_passfiles.append(path);
    return count();
}

void ListLibrary::remove(qsizetype entry)
{
    if (entry >= 1 && entry <= count())
        m_passfiles.removeAt(entry);
}

QString ListLibrary::rowKey(qsizetype entry)
{
    return rowKeyPrefix + QString::number(entry);
}

std::optional<qsizetype> ListLibrary::entryNumber(QStringView key)
{
    bool ok = false;
    const qsizetype entry = key.mid(rowKeyPrefix.size()).toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return entry;
}

ListSummary readListSummary(const QString &path)
{
    QuietNotice quiet;
    wordList list(quiet);
    // Every word is read too, so that a damaged list shows at once.
    ListFileResult file = readListFile(list, path, [](QStringView) {});
    if (file.outcome == ListFileResult::Outcome::NotAListFile)
        file.failure = notAListFailure(path);
    if (!file.read())
        return {{}, {}, std::move(file)};
    return {list.getname(), list.getdesc(), std::move(file)};
}

QString notAListFailure(const QString &path)
{
    // The file was opened as a plain file, so its size is its length.
    return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), QFileInfo(path).size() == 0
                                                                          ? QStringLiteral("the file is empty")
                                                                          : QStringLiteral("this is not a Lexiglow word list"));
}

ChosenFile examineChosenFile(const QString &path)
{
    using Kind = ChosenFile::Kind;
    const ListSummary summary = readListSummary(path);
    switch (summary.file.outcome) {
    case ListFileResult::Outcome::Read:
        return {Kind::WordList};
    case ListFileResult::Outcome::Failed:
        break;
    case ListFileResult::Outcome::NotAListFile:
        if (QFileInfo(path).size() > 0 && !path.endsWith(QStringLiteral(".lxg"), Qt::CaseInsensitive))
            return {Kind::TextFile};
        break;
    }
    return {Kind::Refused, summary.file.failure};
}

} // namespace lexiglow
