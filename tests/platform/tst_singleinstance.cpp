#include "platform/SingleInstance.h"

#include <QDeadlineTimer>
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

#include <unistd.h>

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
    // thread's event loop answers as the first copy.
    static Role claimElsewhere(const QString &folder, const QString &settings, std::chrono::milliseconds patience)
    {
        Role role = Role::Alone;
        const std::unique_ptr<QThread> later(QThread::create([&] {
            SingleInstance instance(folder, settings);
            role = instance.claim(patience);
        }));
        later->start();
        while (!later->isFinished())
            QTest::qWait(5);
        later->wait();
        return role;
    }

    // Bytes a client receives for what it sends, until the first copy hangs up; the first copy may answer
    // from this thread's event loop.
    static QByteArray exchange(const QString &server, const QByteArray &request)
    {
        QLocalSocket client;
        client.connectToServer(server);
        if (!client.waitForConnected(2000))
            return "not connected";
        client.write(request);
        QByteArray reply;
        const QDeadlineTimer deadline(5s);
        while (client.state() != QLocalSocket::UnconnectedState && !deadline.hasExpired()) {
            QTest::qWait(5);
            reply += client.readAll();
        }
        return client.state() == QLocalSocket::UnconnectedState ? reply + client.readAll() : "still connected";
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

    void claim_laterCopy_handsOverToFirstOfSameUserAndSettings_data()
    {
        QTest::addColumn<QString>("laterFolder");
        QTest::addColumn<QString>("laterSettings");
        QTest::addColumn<Role>("laterRole");

        QTest::addRow("same settings") << QString() << QString() << Role::HandedOver;
        QTest::addRow("other settings file") << QString() << u"other/lexiglow.conf"_s << Role::First;
        QTest::addRow("other runtime folder, as of another user") << u"other"_s << QString() << Role::First;
    }

    void claim_laterCopy_handsOverToFirstOfSameUserAndSettings()
    {
        QFETCH(QString, laterFolder);
        QFETCH(QString, laterSettings);
        QFETCH(Role, laterRole);
        SingleInstance first(m_runtime->path(), m_settings);
        QSignalSpy activations(&first, &SingleInstance::activationRequested);
        QCOMPARE(first.claim(), Role::First);

        const QString folder = laterFolder.isEmpty() ? m_runtime->path() : m_runtime->filePath(laterFolder);
        const QString settings = laterSettings.isEmpty() ? m_settings : m_runtime->filePath(laterSettings);
        QCOMPARE(claimElsewhere(folder, settings, 5s), laterRole);

        QCOMPARE(activations.size(), laterRole == Role::HandedOver ? 1 : 0);
        // The first copy goes on answering.
        QCOMPARE(claimElsewhere(m_runtime->path(), m_settings, 5s), Role::HandedOver);
        QCOMPARE(activations.size(), laterRole == Role::HandedOver ? 2 : 1);
    }

    // The first copy has the lock but listens only a moment later: the later copy tries again meanwhile.
    void claim_whileFirstHoldsLockButDoesNotListenYet_waitsForItsAnswer()
    {
        const SingleInstance names(m_runtime->path(), m_settings);
        QLockFile lock(names.lockFilePath());
        QVERIFY(lock.tryLock());
        QLocalServer server;
        QByteArray asked;
        connect(&server, &QLocalServer::newConnection, this, [&] {
            QLocalSocket *copy = server.nextPendingConnection();
            connect(copy, &QLocalSocket::readyRead, this, [&asked, copy] {
                asked += copy->readAll();
                if (asked.endsWith('\n'))
                    copy->write("ok\n");
            });
        });
        QTimer::singleShot(300ms, this, [&] { QVERIFY(server.listen(names.serverName())); });

        QCOMPARE(claimElsewhere(m_runtime->path(), m_settings, 5s), Role::HandedOver);
        QCOMPARE(asked, "activate\n"_ba);
    }

    // The lock is held by a live process (this one), however old its file: that copy is asked, not overrun.
    void claim_whileLiveCopyDoesNotAnswer_isUnansweredAfterPatience_data()
    {
        QTest::addColumn<bool>("listens");
        QTest::addRow("does not listen") << false;
        QTest::addRow("listens, says nothing") << true;
    }

    void claim_whileLiveCopyDoesNotAnswer_isUnansweredAfterPatience()
    {
        QFETCH(bool, listens);
        SingleInstance later(m_runtime->path(), m_settings);
        QLockFile lock(later.lockFilePath());
        QVERIFY(lock.tryLock());
        age(later.lockFilePath(), 3600);
        QLocalServer silent;
        QVERIFY(!listens || silent.listen(later.serverName()));

        QCOMPARE(later.claim(300ms), Role::Unanswered);
        QCOMPARE(later.problem(), u"Lexiglow is already running (process %1), but it does not answer."_s.arg(::getpid()));
        QVERIFY(QFileInfo::exists(later.lockFilePath()));
    }

    // A copy killed while it wrote its lock left it empty; the process a lock names being gone is the
    // program's test below.
    void claim_afterHalfWrittenLock_takesItOver()
    {
        SingleInstance first(m_runtime->path(), m_settings);
        QFile lock(first.lockFilePath());
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.close();
        age(lock.fileName(), 60);

        QCOMPARE(first.claim(), Role::First);

        QCOMPARE(claimElsewhere(m_runtime->path(), m_settings, 5s), Role::HandedOver);
    }

    // Only the request brings the first copy to the front; anything else is hung up on.
    void firstCopy_hangsUpOnWhatIsNoRequest()
    {
        SingleInstance first(m_runtime->path(), m_settings);
        QSignalSpy activations(&first, &SingleInstance::activationRequested);
        QCOMPARE(first.claim(), Role::First);

        QCOMPARE(exchange(first.serverName(), "activate!"), QByteArray());
        QCOMPARE(exchange(first.serverName(), QByteArray(100000, 'a')), QByteArray());
        QCOMPARE(activations.size(), 0);
        QCOMPARE(exchange(first.serverName(), "activate\n"), "ok\n"_ba);
        QCOMPARE(activations.size(), 1);
    }

    void claim_withoutFolderForLock_runsAlone()
    {
        QFile file(m_runtime->filePath(u"file"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        SingleInstance instance(file.fileName() + u"/inside"_s, m_settings);
        QCOMPARE(instance.claim(1s), Role::Alone);
        QVERIFY(instance.problem().contains(u"no folder"_s));
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

        QProcess first;
        start(first);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(names.serverName()), 20000);
        // Sooner than its splash (9.9 s) would close, had it shown one.
        QProcess second;
        start(second);
        QVERIFY(second.waitForFinished(9000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        first.kill();
        QVERIFY(first.waitForFinished());
        QVERIFY(QFileInfo::exists(names.lockFilePath()) && QFileInfo::exists(names.serverName()));
        QProcess third;
        start(third);
        // The third is the first copy now: a fourth hands over to it.
        QTRY_VERIFY_WITH_TIMEOUT(exchange(names.serverName(), "activate\n") == "ok\n", 20000);
        QProcess fourth;
        start(fourth);
        QVERIFY(fourth.waitForFinished(9000));
        QCOMPARE(fourth.exitCode(), 0);
        QCOMPARE(third.state(), QProcess::Running);
        third.kill();
        QVERIFY(third.waitForFinished());
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
