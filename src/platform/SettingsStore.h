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
// [passfiles] and [Values], in QSettings' INI form). It is read when the
// store is made, and this copy works on what it read.
//
// Another copy of the program, or lxg, may store settings in the same file
// meanwhile, so flush() stores only the keys this copy changed: those set to
// a text other than the one it last read or stored. It reads the file anew,
// puts those keys into it and replaces it atomically, while it holds the
// file's lock; whatever else the file holds stays as the other writer left
// it. A copy that stores its library as it read it therefore stores nothing,
// and leaves a library another copy has changed since as it is. A write that
// fails, a full disk included, leaves the file as it was and returns false.
//
// A settings file that is there but is no regular file (a FIFO, a device) is
// not opened, as reading it could wait for ever or never end; nor is one that
// cannot be read stored over. At the start the values then live in memory
// only, flush() fails, and problem() says why; found so at a save, that save
// fails.
class QSettingsStore final : public SettingsStore
{
public:
    using Values = QMap<QString, QVariant>; // by "section/key"

    QSettingsStore();
    // An INI file of one's own choosing, for tests and tools.
    explicit QSettingsStore(const QString &iniFile);
    Q_DISABLE_COPY_MOVE(QSettingsStore)

    // The per-user settings file the program uses.
    static QString standardLocation();

    QString value(const QString &section, const QString &key, const QString &defaultValue) const override;
    void setValue(const QString &section, const QString &key, const QString &value) override;
    QStringList keys(const QString &section) const override;
    bool flush() override;

    // Where the values live, to name it in a message.
    QString location() const { return m_file; }
    // Why the settings file is not used, or nothing.
    QString problem() const { return m_problem; }

private:
    // A settings file's values, or why it may not be used.
    struct Contents
    {
        Values values;
        QString problem;
    };
    static Contents read(const QString &iniFile);
    QStringList changedKeys() const;

    QString m_file;
    QString m_problem;
    // What this copy holds: what it read, with its own changes.
    Values m_values;
    // What this copy last read from the file or stored there, by key.
    Values m_stored;
};

} // namespace lexiglow
