#include "platform/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <optional>

namespace lexiglow {

namespace {

QString settingsKey(const QString &section, const QString &key)
{
    return section + u'/' + key;
}

// The INI text of values, as QSettings writes it. QSettings writes through a
// buffer whose failure it does not notice (with Qt 6.4 a full disk leaves a
// cut file and "no error"), so it writes a copy in a folder of its own, which
// is read back and compared in full before its bytes are taken. The copy
// lies in a private folder beside the settings file, on the same disk.
std::optional<QByteArray> iniText(const QMap<QString, QVariant> &values, const QString &besideFile)
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

} // namespace

QSettingsStore::QSettingsStore()
    : QSettingsStore(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                     + QStringLiteral("/lexiglow/lexiglow.conf"))
{
}

QSettingsStore::QSettingsStore(const QString &iniFile)
    : m_file(iniFile)
{
    const QFileInfo info(iniFile);
    if (info.exists() && !info.isFile()) {
        m_problem = QStringLiteral("%1 is not a regular file, so Lexiglow neither reads its settings from it "
                                   "nor stores them there.")
                        .arg(QDir::toNativeSeparators(iniFile));
        return;
    }
    const QSettings file(iniFile, QSettings::IniFormat);
    if (file.status() == QSettings::AccessError) {
        m_problem = QStringLiteral("%1 cannot be read, so Lexiglow does not store its settings there.")
                        .arg(QDir::toNativeSeparators(iniFile));
        return;
    }
    for (const QString &key : file.allKeys())
        m_values.insert(key, file.value(key));
}

QString QSettingsStore::value(const QString &section, const QString &key, const QString &defaultValue) const
{
    const QVariant stored = m_values.value(settingsKey(section, key));
    if (!stored.isValid())
        return defaultValue;
    // An unquoted text with commas, written by hand, reads back as a list.
    if (stored.typeId() == QMetaType::QStringList)
        return stored.toStringList().join(QStringLiteral(", "));
    return stored.canConvert<QString>() ? stored.toString() : defaultValue;
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

bool QSettingsStore::flush()
{
    if (!m_problem.isEmpty())
        return false;
    if (!QDir().mkpath(QFileInfo(m_file).absolutePath()))
        return false;
    const std::optional<QByteArray> text = iniText(m_values, m_file);
    if (!text)
        return false;
    // Written to a file of its own and renamed over the old one, or not at
    // all: a crash or a full disk mid-write never leaves a library that is
    // half old, half new, or empty. Unbuffered, so that every write's failure
    // is seen before the rename.
    QSaveFile file(m_file);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(*text) != text->size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace lexiglow
