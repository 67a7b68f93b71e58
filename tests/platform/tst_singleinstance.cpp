#include "platform/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <memory>
#include <optional>
#include <utility>

using namespace lexiglow;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

using Role = SingleInstance::Role;

// One running copy per user and settings file, in a runtime folder of the test's own: the first copy
// holds the lock and listens, a later one hands over and ends, and a dead copy keeps nobody out.
class TestSingleInstance final : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_runtime;
    QString m_settings;

    // A later copy's claim, made on a thread of its own as another program would make it, while this
    // thread's event loop answers as the first copy; and why it was not handed over, if it says.
    static std::pair<Role, QString> claimElsewhere(const QString &folder, const QString &settings,
                                                   std::chrono::milliseconds patience = 5s)
    {
        std::pair<Role, QString> result;
        const std::unique_ptr<QThread> later(QThread::create([&] {
            SingleInstance instance(folder, settings);
            result = {instance.claim(patience), instance.problem()};
        }));
        later->start();
        while (!later->wait(0))
            QTest::qWait(5);
        return result;
    }

    // Bytes a client receives for what it sends, until the first copy, which may answer from this thread's
    // event loop, hangs up.
    static QByteArray exchange(const QString &server, const QByteArray &request)
    {
        QLocalSocket client;
        client.connectToServer(server);
        if (!client.waitForConnected(2000))
            return "not connected";
        client.write(request);
        if (!QTest::qWaitFor([&client] { return client.state() == QLocalSocket::UnconnectedState; }, 5000))
            return "still connected";
        return client.readAll();
    }

    static void age(const QString &path, qint64 seconds)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-seconds), QFileDevice::FileModificationTime));
    }

private slots:
    void init()
    {
        m_runtime.emplace();
        m_settings = m_runtime->filePath(u"config/lexiglow/lexiglow.conf"_s);
    }

    void claim_byALaterCopy_dependsOnWhatHoldsTheLock_data()
    {
        QTest::addColumn<QString>("holder");
        QTest::addColumn<QString>("laterFolder"); // under the test's runtime folder; empty: that folder
        QTest::addColumn<QString>("laterSettings"); // empty: the same settings file
        QTest::addColumn<Role>("role");
        QTest::addColumn<QString>("problem"); // what the later copy says, at its start

        const QString first = u"first copy"_s;
        QTest::addRow("a first copy: hands over") << first << QString() << QString() << Role::HandedOver << QString();
        QTest::addRow("a first copy of another settings file: runs")
            << first << QString() << u"other/lexiglow.conf"_s << Role::First << QString();
        QTest::addRow("a first copy, another user's runtime folder: runs") << first << u"other"_s << QString() << Role::First << QString();
        // Its process being gone is the program's test below.
        QTest::addRow("a first copy over the lock a copy killed while writing it left empty: hands over")
            << u"first copy over a half-written lock"_s << QString() << QString() << Role::HandedOver << QString();
        // The lock is held by a live process (this one), however old its file: that copy is asked, not overrun.
        QTest::addRow("a lock whose copy listens only a moment later: waits for its answer")
            << u"lock, listening later"_s << QString() << QString() << Role::HandedOver << QString();
        const QString unanswered = u"Lexiglow is already running (process %1), but it does not answer."_s.arg(QCoreApplication::applicationPid());
        QTest::addRow("a live copy that does not listen") << u"lock"_s << QString() << QString() << Role::Unanswered << unanswered;
        QTest::addRow("a live copy that listens, says nothing")
            << u"lock, listening silently"_s << QString() << QString() << Role::Unanswered << unanswered;
        QTest::addRow("no folder for the lock: runs alone")
            << QString() << u"file/inside"_s << QString() << Role::Alone << u"There is no folder for the lock"_s;
    }

    void claim_byALaterCopy_dependsOnWhatHoldsTheLock()
    {
        QFETCH(QString, holder);
        QFETCH(QString, laterFolder);
        QFETCH(QString, laterSettings);
        QFETCH(Role, role);
        QFETCH(QString, problem);
        SingleInstance first(m_runtime->path(), m_settings);
        QSignalSpy activations(&first, &SingleInstance::activationRequested);
        QLockFile lock(first.lockFilePath());
        QLocalServer server;
        QByteArray asked;
        if (holder == u"first copy over a half-written lock") {
            QVERIFY(QFile(first.lockFilePath()).open(QIODevice::WriteOnly));
            age(first.lockFilePath(), 60);
        }
        if (holder.startsWith(u"first copy")) {
            QCOMPARE(first.claim(), Role::First);
            // Only the request brings it to the front; anything else is hung up on.
            QCOMPARE(exchange(first.serverName(), "activate!"), QByteArray());
            QCOMPARE(exchange(first.serverName(), QByteArray(100000, 'a')), QByteArray());
        } else if (holder.startsWith(u"lock")) {
            QVERIFY(lock.tryLock());
            age(first.lockFilePath(), 3600);
            connect(&server, &QLocalServer::newConnection, this, [&] {
                QLocalSocket *copy = server.nextPendingConnection();
                connect(copy, &QLocalSocket::readyRead, this, [&asked, copy, holder] {
                    asked += copy->readAll();
                    if (holder == u"lock, listening later" && asked.endsWith('\n'))
                        copy->write("ok\n");
                });
            });
            if (holder == u"lock, listening later")
                QTimer::singleShot(300ms, this, [&] { QVERIFY(server.listen(first.serverName())); });
            else if (holder == u"lock, listening silently")
                QVERIFY(server.listen(first.serverName()));
        } else {
            QVERIFY(QFile(m_runtime->filePath(u"file"_s)).open(QIODevice::WriteOnly));
        }

        const auto [claimed, told] = claimElsewhere(laterFolder.isEmpty() ? m_runtime->path() : m_runtime->filePath(laterFolder),
                                                    laterSettings.isEmpty() ? m_settings : m_runtime->filePath(laterSettings),
                                                    role == Role::Unanswered ? 300ms : 5s);
        QCOMPARE(claimed, role);
        QVERIFY2(problem.isEmpty() ? told.isEmpty() : told.startsWith(problem), qPrintable(told));
        QVERIFY(QFileInfo::exists(first.lockFilePath()) || holder.isEmpty());
        if (holder == u"lock, listening later")
            QCOMPARE(asked, "activate\n"_ba);
        if (!holder.startsWith(u"first copy"))
            return;
        // The first copy goes on answering.
        QCOMPARE(activations.size(), role == Role::HandedOver ? 1 : 0);
        QCOMPARE(claimElsewhere(m_runtime->path(), m_settings).first, Role::HandedOver);
        QCOMPARE(activations.size(), role == Role::HandedOver ? 2 : 1);
    }

    // The program itself, started twice, and started after a copy was killed.
    void program_secondStart_handsOverAndEnds_killedCopyKeepsNobodyOut()
    {
        // A runtime folder must be the user's alone, or Qt takes another.
        QVERIFY(QDir(m_runtime->path()).mkpath(u"runtime"_s));
        QVERIFY(QFile::setPermissions(m_runtime->filePath(u"runtime"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_CONFIG_HOME"_s, m_runtime->filePath(u"config"_s));
        environment.insert(u"XDG_RUNTIME_DIR"_s, m_runtime->filePath(u"runtime"_s));
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        const auto start = [&environment](QProcess &copy) {
            copy.setProcessEnvironment(environment);
            copy.start(QStringLiteral(LEXIGLOW_PATH), {});
        };
        const SingleInstance names(m_runtime->filePath(u"runtime"_s), m_settings);
        QProcess first, second, third;
        start(first);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(names.serverName()), 20000);
        // Sooner than its splash (9.9 s) would close, had it shown one.
        start(second);
        QVERIFY(second.waitForFinished(9000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        first.kill();
        QVERIFY(first.waitForFinished());
        QVERIFY(QFileInfo::exists(names.lockFilePath()) && QFileInfo::exists(names.serverName()));
        start(third);
        // The third is the first copy now, and answers.
        QTRY_VERIFY_WITH_TIMEOUT(exchange(names.serverName(), "activate\n") == "ok\n", 20000);
        third.kill();
        QVERIFY(third.waitForFinished());
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
