#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

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
    // The keys that hold a value in section.
    virtual QStringList keys(const QString &section) const = 0;
    // Writes what was set to permanent storage. Returns false, and keeps the
    // values in memory, when the storage cannot be written.
    virtual bool flush() = 0;
};

// The per-user settings file $XDG_CONFIG_HOME/lexiglow/lexiglow.conf (groups
// [passfiles] and [Values], in QSettings' INI form). It is read once, when the
// store is made; flush() replaces it atomically with every value, and a write
// that fails, a full disk included, leaves it as it was and returns false.
//
// A settings file that is there but is no regular file (a FIFO, a device) is
// not opened, as reading it could wait for ever or never end; nor is one that
// cannot be read stored over. The values then live in memory only, flush()
// fails, and problem() says why.
class QSettingsStore final : public SettingsStore
{
public:
    QSettingsStore();
    // An INI file of one's own choosing, for tests and tools.
    explicit QSettingsStore(const QString &iniFile);
    Q_DISABLE_COPY_MOVE(QSettingsStore)

    QString value(const QString &section, const QString &key, const QString &defaultValue) const override;
    void setValue(const QString &section, const QString &key, const QString &value) override;
    QStringList keys(const QString &section) const override;
    bool flush() override;

    // Where the values live, to name it in a message.
    QString location() const { return m_file; }
    // Why the settings file is not used, or nothing.
    QString problem() const { return m_problem; }

private:
    QString m_file;
    QString m_problem;
    QMap<QString, QVariant> m_values; // by "section/key"
};

} // namespace lexiglow
