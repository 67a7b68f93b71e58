#include "platform/SettingsStore.h"

#include <QSettings>

namespace lexiglow {

namespace {

QString settingsKey(const QString &section, const QString &key)
{
    return section + u'/' + key;
}

} // namespace

QSettingsStore::QSettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("lexiglow"), QStringLiteral("lexiglow")))
{
    init();
}

QSettingsStore::QSettingsStore(const QString &iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat))
{
    init();
}

QSettingsStore::~QSettingsStore() = default;

void QSettingsStore::init()
{
    // Written to a file of its own and renamed over the old one, or not at
    // all: a crash mid-write never leaves a library that is half old, half new.
    m_settings->setAtomicSyncRequired(true);
}

QString QSettingsStore::value(const QString &section, const QString &key, const QString &defaultValue) const
{
    const QVariant stored = m_settings->value(settingsKey(section, key));
    if (!stored.isValid())
        return defaultValue;
    // An unquoted text with commas, written by hand, reads back as a list.
    if (stored.typeId() == QMetaType::QStringList)
        return stored.toStringList().join(QStringLiteral(", "));
    return stored.canConvert<QString>() ? stored.toString() : defaultValue;
}

void QSettingsStore::setValue(const QString &section, const QString &key, const QString &value)
{
    m_settings->setValue(settingsKey(section, key), value);
}

bool QSettingsStore::flush()
{
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

QString QSettingsStore::location() const
{
    return m_settings->fileName();
}

} // namespace lexiglow
