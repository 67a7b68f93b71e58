#include "platform/SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif
#if defined(Q_OS_WIN)
#include <windows.h>
#endif

#include <algorithm>
#include <limits>

namespace lexiglow {

namespace {

// What a later copy says, and what the first copy answers once it has come
// to the front.
constexpr QByteArrayView request = "activate\n";
constexpr QByteArrayView acknowledgement = "ok\n";
// How often a later copy looks again while the first does not listen yet.
constexpr std::chrono::milliseconds retryInterval{50};
// A connection that does not say its request in this time is dropped.
constexpr int requestPatienceMs = 2000;

QString userIdentity()
{
#if defined(Q_OS_UNIX)
    return QString::number(::getuid());
#else
    return qEnvironmentVariable("USERDOMAIN") + u'\\' + qEnvironmentVariable("USERNAME");
#endif
}

int remainingMs(const QDeadlineTimer &deadline)
{
    return int(std::clamp<qint64>(deadline.remainingTime(), 0, std::numeric_limits<int>::max()));
}

} // namespace

SingleInstance::SingleInstance(const QString &folder, const QString &settingsFile, QObject *parent)
    : QObject(parent)
    , m_folder(folder)
{
    // The same user with the same settings file is one copy; the name stays
    // short enough for a socket's path.
    const QByteArray identity = (userIdentity() + u'\n' + QFileInfo(settingsFile).absoluteFilePath()).toUtf8();
    const QByteArray digest = QCryptographicHash::hash(identity, QCryptographicHash::Sha256).toHex().left(16);
    m_name = QStringLiteral("lexiglow-") + QString::fromLatin1(digest);
}

SingleInstance::~SingleInstance()
{
    // The socket goes while the lock is still held: once the lock is free, a
    // new first copy may have its own socket under the same name.
    if (m_server)
        m_server->close();
}

QString SingleInstance::standardFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

QString SingleInstance::lockFilePath() const
{
    return m_folder + u'/' + m_name + QStringLiteral(".lock");
}

QString SingleInstance::serverName() const
{
#if defined(Q_OS_WIN)
    return m_name;
#else
    return m_folder + u'/' + m_name + QStringLiteral(".socket");
#endif
}

SingleInstance::Role SingleInstance::claim(std::chrono::milliseconds patience)
{
    if (m_folder.isEmpty() || !QDir().mkpath(m_folder)) {
        m_problem = QStringLiteral("There is no folder for the lock that keeps Lexiglow to one running copy (\"%1\").")
                        .arg(QDir::toNativeSeparators(m_folder));
        return Role::Alone;
    }
    // The lock file names its process, and is stale once that process is
    // gone. While the process lives, the system holds the file for it (a
    // flock on Unix; on Windows the file stays open and cannot be deleted),
    // which no stale check can take away, so the age at which Qt calls a lock
    // stale (30 s) only frees one that names no process (left half-written).
    m_lock = std::make_unique<QLockFile>(lockFilePath());
    const QDeadlineTimer deadline(patience);
    for (;;) {
        if (m_lock->tryLock(0))
            return listen() ? Role::First : Role::Alone;
        if (m_lock->error() != QLockFile::LockFailedError) {
            m_problem = QStringLiteral("The lock that keeps Lexiglow to one running copy, %1, cannot be made.")
                            .arg(QDir::toNativeSeparators(lockFilePath()));
            return Role::Alone;
        }
#if defined(Q_OS_WIN)
        // Windows lets only the program the user just started bring a
        // window to the front; this copy lends the first that right.
        AllowSetForegroundWindow(ASFW_ANY);
#endif
        if (askRunningCopy(std::chrono::milliseconds(remainingMs(deadline))))
            return Role::HandedOver;
        if (deadline.hasExpired())
            break;
        QThread::msleep(static_cast<unsigned long>(retryInterval.count()));
    }
    qint64 pid = 0;
    QString host;
    QString program;
    const QString process = m_lock->getLockInfo(&pid, &host, &program)
                                ? QStringLiteral(" (process %1)").arg(pid)
                                : QString();
    m_problem = QStringLiteral("Lexiglow is already running%1, but it does not answer.").arg(process);
    return Role::Unanswered;
}

bool SingleInstance::askRunningCopy(std::chrono::milliseconds patience) const
{
    const QDeadlineTimer deadline(patience);
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(remainingMs(deadline)))
        return false;
    socket.write(request.data(), request.size());
    QByteArray reply;
    while (reply.size() < acknowledgement.size() && socket.waitForReadyRead(remainingMs(deadline)))
        reply += socket.read(acknowledgement.size() - reply.size());
    return reply == acknowledgement;
}

bool SingleInstance::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // The lock is this copy's, so no copy listens here: a socket file there is
    // one a killed copy left behind.
    QLocalServer::removeServer(serverName());
    if (!m_server->listen(serverName())) {
        m_problem = QStringLiteral("Lexiglow cannot listen for its later copies on %1 (%2).")
                        .arg(QDir::toNativeSeparators(serverName()), m_server->errorString());
        delete m_server;
        m_server = nullptr;
        // Rather two copies, whose settings stores keep each other's
        // changes, than later copies waiting for an answer that never comes.
        m_lock->unlock();
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection())
            answer(socket);
    });
    return true;
}

void SingleInstance::answer(QLocalSocket *socket)
{
    socket->setReadBufferSize(request.size());
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(requestPatienceMs, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    const auto readRequest = [this, socket] {
        if (socket->bytesAvailable() < request.size())
            return;
        if (socket->read(request.size()) != request) {
            socket->abort();
            socket->deleteLater();
            return;
        }
        emit activationRequested();
        socket->write(acknowledgement.data(), acknowledgement.size());
        socket->disconnectFromServer();
    };
    connect(socket, &QLocalSocket::readyRead, this, readRequest);
    readRequest();
}

} // namespace lexiglow
