#pragma once

#include <QString>

#include <memory>

class QSettings;

namespace lexiglow {

// Per-user string values of the application "lexiglow", addressed by section
// and key. Reading an absent key gives the default the reader passes; writing
// creates or replaces the value.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;

    virtual QString value(const QString &section, const QString &key, const QString &defaultValue) const = 0;
    virtual void setValue(const QString &section, const QString &key, const QString &value) = 0;
    // Writes what was set to permanent storage. Returns false, and keeps the
    // values in memory, when the storage cannot be written.
    virtual bool flush() = 0;
};

// The platform's per-user settings: on Linux the file
// $XDG_CONFIG_HOME/lexiglow/lexiglow.conf (groups [passfiles] and [Values]),
// on Windows the user's registry. The file is replaced atomically.
class QSettingsStore final : public SettingsStore
{
public:
    QSettingsStore();
    // An INI file of one's own choosing, for tests and tools.
    explicit QSettingsStore(const QString &iniFile);
    ~QSettingsStore() override;
    Q_DISABLE_COPY_MOVE(QSettingsStore)

    QString value(const QString &section, const QString &key, const QString &defaultValue) const override;
    void setValue(const QString &section, const QString &key, const QString &value) override;
    bool flush() override;

    // Where the values live, to name it in a message.
    QString location() const;

private:
    void init();

    std::unique_ptr<QSettings> m_settings;
};

} // namespace lexiglow
