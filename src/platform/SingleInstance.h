#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

namespace lexiglow {

// One running copy of the program per user and settings file. The first copy
// holds a lock file and listens on a local socket beside it, both named after
// the user and the settings file; a later copy finds the lock held, asks the
// first copy through the socket to come to the front, and ends once it has
// answered.
//
// A copy that died or was killed keeps nobody out: its lock names its
// process, which is gone, so the next copy takes the lock over, and then
// removes the socket file left behind. A copy that starts while the first
// holds the lock but does not listen yet tries again until it does.
class SingleInstance final : public QObject
{
    Q_OBJECT

public:
    enum class Role {
        // This copy holds the lock and listens: it runs.
        First,
        // The running copy was asked to come to the front and said so: this
        // copy ends.
        HandedOver,
        // Another copy holds the lock but did not answer in time.
        Unanswered,
        // No lock could be had nor asked for (problem() says why): this copy
        // runs, as though it were the only one.
        Alone,
    };
    Q_ENUM(Role)

    static constexpr std::chrono::milliseconds standardPatience{10000};

    // folder holds the lock file and the socket: the user's runtime folder,
    // or a folder of a test's own.
    SingleInstance(const QString &folder, const QString &settingsFile, QObject *parent = nullptr);
    ~SingleInstance() override;
    Q_DISABLE_COPY_MOVE(SingleInstance)

    // The user's runtime folder.
    static QString standardFolder();

    // Takes the lock, or hands over to the copy that holds it; waits for
    // that copy at most patience.
    Role claim(std::chrono::milliseconds patience = standardPatience);
    // Why claim() answered Unanswered or Alone.
    const QString &problem() const { return m_problem; }

    QString lockFilePath() const;
    // The socket's name: a path in folder on Unix, a pipe's name on Windows.
    QString serverName() const;

signals:
    // Another copy started and handed over: the first copy comes to the front.
    void activationRequested();

private:
    // Asks the copy that holds the lock to come to the front; returns whether
    // it said it did.
    bool askRunningCopy(std::chrono::milliseconds patience) const;
    bool listen();
    void answer(QLocalSocket *socket);

    QString m_folder;
    QString m_name;
    QString m_problem;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};

} // namespace lexiglow
