#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <cerrno>

#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// The soft and hard core-file limits of a process, as the kernel shows them to everyone ("0 unlimited").
QByteArray coreLimits(qint64 pid)
{
    QFile limits(u"/proc/%1/limits"_s.arg(pid));
    if (!limits.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : limits.readAll().split('\n')) {
        if (line.startsWith("Max core file size"))
            return line.simplified().split(' ').mid(4, 2).join(' ');
    }
    return {};
}

using Capabilities = std::array<__user_cap_data_struct, _LINUX_CAPABILITY_U32S_3>;

// The error of reading a byte of pid's memory as another process of the same user would, without the
// right to trace every process (CAP_SYS_PTRACE), which root has: EPERM when the process may not be read,
// EFAULT when it may (the byte at address 0 is not there to read).
int memoryReadError(qint64 pid)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    Capabilities held{};
    if (::syscall(SYS_capget, &header, held.data()) != 0)
        return -1;
    Capabilities lowered = held;
    lowered[CAP_TO_INDEX(CAP_SYS_PTRACE)].effective &= ~CAP_TO_MASK(CAP_SYS_PTRACE);
    if (::syscall(SYS_capset, &header, lowered.data()) != 0)
        return -1;
    char byte = 0;
    iovec local{&byte, 1}, remote{nullptr, 1};
    const int error = ::process_vm_readv(pid_t(pid), &local, 1, &remote, 1, 0) < 0 ? errno : 0;
    ::syscall(SYS_capset, &header, held.data());
    return error;
}

} // namespace

// lexiglow and lxg keep their memory, and the passwords in it, out of core files and away from the user's
// other processes, seen from outside, which holds as root too; what the system refuses is told, and the
// program goes on.
class TestProcessHardening final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;

private slots:
    // Processes started from here may write core files, as far as the hard limit allows, so that a limit of 0
    // is the program's own doing.
    void initTestCase()
    {
        rlimit limit{};
        QCOMPARE(::getrlimit(RLIMIT_CORE, &limit), 0);
        limit.rlim_cur = limit.rlim_max == RLIM_INFINITY ? rlim_t(1) << 30 : limit.rlim_max;
        QCOMPARE(::setrlimit(RLIMIT_CORE, &limit), 0);
    }

    void program_cannotBeReadNorDumped_orSaysWhyAndGoesOn_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QByteArray>("told"); // on standard error; not empty: the system refuses both steps
        QTest::addRow("lexiglow") << u"lexiglow"_s << QByteArray();
        QTest::addRow("lxg") << u"lxg"_s << QByteArray();
        QTest::addRow("lxg, on a system that refuses")
            << u"lxg"_s
            << "lxg: warning: the core file size could not be limited to 0 (Operation not permitted)\n"
               "lxg: warning: the process could not be made non-dumpable, so other processes of the user "
               "may read its memory (Operation not permitted)\n"_ba;
    }

    // lxg reads words from standard input, so it stays running until the test has looked.
    void program_cannotBeReadNorDumped_orSaysWhyAndGoesOn()
    {
        QFETCH(QString, program);
        QFETCH(QByteArray, told);
        const bool refused = !told.isEmpty();
        const QString made = m_folder.filePath(u"made.lxg"_s);
        QFile::remove(made);
        QProcess running;
        QStringList variables = QProcess::systemEnvironment();
        variables << u"XDG_CONFIG_HOME="_s + m_folder.filePath(u"config"_s) << u"XDG_RUNTIME_DIR="_s + m_folder.path()
                  << u"QT_QPA_PLATFORM=offscreen"_s;
        // AddressSanitizer, in the sanitizer build, would limit core files itself through the same call, and
        // stop when it is refused.
        if (refused)
            variables << u"LD_PRELOAD=" FAILING_HARDENING ""_s
                      << u"ASAN_OPTIONS=verify_asan_link_order=0:disable_coredump=0:"_s + qEnvironmentVariable("ASAN_OPTIONS");
        running.setEnvironment(variables);
        if (program == u"lxg")
            running.start(QStringLiteral(LXG_PATH), {u"create"_s, made, u"--name"_s, u"Made"_s, u"-"_s});
        else
            running.start(QStringLiteral(LEXIGLOW_PATH), {});
        QVERIFY(running.waitForStarted());
        const qint64 pid = running.processId();
        QByteArray error;
        if (refused) // as readable as any process, once it has tried
            QTRY_COMPARE_WITH_TIMEOUT((error += running.readAllStandardError()), told, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(memoryReadError(pid), refused ? EFAULT : EPERM, 20000);
        // The hard limit stays, for the programs it starts.
        const QByteArray own = coreLimits(QCoreApplication::applicationPid());
        QCOMPARE(coreLimits(pid), refused ? own : "0 " + own.split(' ').value(1));
        // Its files under /proc belong to root now, not to the user.
        if (::getuid() != 0 && !refused)
            QCOMPARE(QFileInfo(u"/proc/%1/status"_s.arg(pid)).ownerId(), 0u);

        if (program == u"lexiglow") {
            running.kill();
            QVERIFY(running.waitForFinished());
            return;
        }
        running.write("Parrot\n");
        running.closeWriteChannel();
        QVERIFY(running.waitForFinished());
        QCOMPARE(running.exitCode(), 0);
        QCOMPARE(error + running.readAllStandardError(), told);
        QVERIFY(QFileInfo(made).size() > 0);
    }
};

QTEST_GUILESS_MAIN(TestProcessHardening)
#include "tst_processhardening.moc"
