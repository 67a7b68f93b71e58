#include "platform/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>
#include <optional>

namespace lexiglow {

namespace {

using Values = QSettingsStore::Values;

// How long a save waits for another copy's save of the same file to end.
constexpr int lockPatienceMs = 5000;

QString settingsKey(const QString &section, const QString &key)
{
    return section + u'/' + key;
}

// A stored value as the program reads it, or nothing when it is no text.
std::optional<QString> storedText(const QVariant &stored)
{
    if (!stored.isValid())
        return std::nullopt;
    // An unquoted text with commas, written by hand, reads back as a list.
    if (stored.typeId() == QMetaType::QStringList)
        return stored.toStringList().join(QStringLiteral(", "));
    if (!stored.canConvert<QString>())
        return std::nullopt;
    return stored.toString();
}

// A private folder for copies of settings text: beside the settings file, on
// the same disk, or else in the system's temporary folder.
std::unique_ptr<QTemporaryDir> privateFolder(const QString &besideFile)
{
    auto folder = std::make_unique<QTemporaryDir>(QFileInfo(besideFile).absolutePath()
                                                  + QStringLiteral("/.lexiglow-XXXXXX"));
    if (!folder->isValid())
        folder = std::make_unique<QTemporaryDir>();
    if (!folder->isValid())
        return nullptr;
    return folder;
}

// The values of INI text. QSettings keeps what it read of a file in a cache
// for the whole process and trusts it while the file's size and time of
// change (to the millisecond) stay the same, so a file another writer has
// just replaced could read as it was. The text is read under a name of its
// own, which no cache knows.
std::optional<Values> parsedIni(const QByteArray &text, const QString &besideFile)
{
    if (text.isEmpty())
        return Values();
    const std::unique_ptr<QTemporaryDir> folder = privateFolder(besideFile);
    if (!folder)
        return std::nullopt;
    const QString copy = folder->filePath(QStringLiteral("read.conf"));
    QFile file(copy);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.flush())
        return std::nullopt;
    file.close();
    const QSettings parsed(copy, QSettings::IniFormat);
    Values values;
    for (const QString &key : parsed.allKeys())
        values.insert(key, parsed.value(key));
    return values;
}

// The INI text of values, as QSettings writes it. QSettings writes through a
// buffer whose failure it does not notice (with Qt 6.4 a full disk leaves a
// cut file and "no error"), so it writes a copy in a folder of its own, which
// is read back and compared in full before its bytes are taken. The copy
// lies in a private folder beside the settings file, on the same disk.
std::optional<QByteArray> iniText(const Values &values, const QString &besideFile)
{
    if (values.isEmpty())
        return QByteArray();
    const QTemporaryDir folder(QFileInfo(besideFile).absolutePath() + QStringLiteral("/.lexiglow-XXXXXX"));
    if (!folder.isValid())
        return std::nullopt;
    const QString copy = folder.filePath(QStringLiteral("settings.conf"));
    {
        QSettings written(copy, QSettings::IniFormat);
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            written.setValue(it.key(), it.value());
        written.sync();
        if (written.status() != QSettings::NoError)
            return std::nullopt;
    }
    // Under a new name, which QSettings has no cached copy of, so that the
    // bytes on disk are what is read.
    const QString checked = folder.filePath(QStringLiteral("checked.conf"));
    if (!QFile::rename(copy, checked))
        return std::nullopt;
    const QSettings reread(checked, QSettings::IniFormat);
    if (reread.status() != QSettings::NoError || reread.allKeys().size() != values.size())
        return std::nullopt;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (reread.value(it.key()) != it.value())
            return std::nullopt;
    }
    QFile file(checked);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

// Replaces iniFile with the INI text of values: written to a file of its own
// and renamed over the old one, or not at all, so that a crash or a full disk
// mid-write never leaves a library that is half old, half new, or empty.
// Unbuffered, so that every write's failure is seen before the rename.
bool replaceFile(const QString &iniFile, const Values &values)
{
    const std::optional<QByteArray> text = iniText(values, iniFile);
    if (!text)
        return false;
    QSaveFile file(iniFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(*text) != text->size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

QSettingsStore::Contents QSettingsStore::read(const QString &iniFile)
{
    const QFileInfo info(iniFile);
    if (!info.exists())
        return {};
    if (!info.isFile()) {
        return {{},
                QStringLiteral("%1 is not a regular file, so Lexiglow neither reads its settings from it "
                               "nor stores them there.")
                    .arg(QDir::toNativeSeparators(iniFile))};
    }
    const QString unreadable = QStringLiteral("%1 cannot be read, so Lexiglow does not store its settings there.")
                                   .arg(QDir::toNativeSeparators(iniFile));
    QFile file(iniFile);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, unreadable};
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {{}, unreadable};
    std::optional<Values> values = parsedIni(text, iniFile);
    if (!values)
        return {{}, unreadable};
    return {std::move(*values), {}};
}

QString QSettingsStore::standardLocation()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/lexiglow/lexiglow.conf");
}

QSettingsStore::QSettingsStore()
    : QSettingsStore(standardLocation())
{
}

QSettingsStore::QSettingsStore(const QString &iniFile)
    : m_file(iniFile)
{
    Contents contents = read(iniFile);
    m_problem = contents.problem;
    m_values = contents.values;
    m_stored = std::move(contents.values);
}

QString QSettingsStore::value(const QString &section, const QString &key, const QString &defaultValue) const
{
    return storedText(m_values.value(settingsKey(section, key))).value_or(defaultValue);
}

void QSettingsStore::setValue(const QString &section, const QString &key, const QString &value)
{
    m_values.insert(settingsKey(section, key), value);
}

QStringList QSettingsStore::keys(const QString &section) const
{
    QStringList result;
    const QString prefix = section + u'/';
    for (auto it = m_values.lowerBound(prefix); it != m_values.cend() && it.key().startsWith(prefix); ++it) {
        if (!it.key().mid(prefix.size()).contains(u'/'))
            result.append(it.key().mid(prefix.size()));
    }
    return result;
}

QStringList QSettingsStore::changedKeys() const
{
    QStringList changed;
    for (auto it = m_values.cbegin(); it != m_values.cend(); ++it) {
        const auto stored = m_stored.constFind(it.key());
        if (stored == m_stored.cend() || storedText(*stored) != storedText(*it))
            changed.append(it.key());
    }
    return changed;
}

bool QSettingsStore::flush()
{
    if (!m_problem.isEmpty())
        return false;
    const QStringList changed = changedKeys();
    if (changed.isEmpty())
        return true;
    if (!QDir().mkpath(QFileInfo(m_file).absolutePath()))
        return false;
    // One save of this file at a time, among all copies of the program: what
    // another copy stored between this read and this write would be lost.
    QLockFile lock(m_file + QStringLiteral(".lock"));
    if (!lock.tryLock(lockPatienceMs))
        return false;
    // What is there now, with the same care as at the start: another writer
    // may have changed it, or put something else in its place.
    const Contents current = read(m_file);
    if (!current.problem.isEmpty())
        return false;
    Values merged = current.values;
    for (const QString &key : changed)
        merged.insert(key, m_values.value(key));
    if (!replaceFile(m_file, merged))
        return false;
    for (const QString &key : changed)
        m_stored.insert(key, m_values.value(key));
    return true;
}

} // namespace lexiglow
