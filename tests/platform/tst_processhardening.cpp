#include "platform/ProcessHardening.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <cerrno>
#include <optional>

#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

using namespace lexiglow;
using namespace Qt::StringLiterals;

namespace {

// The soft core-file limit of a process as the kernel shows it to everyone, or nothing.
std::optional<QByteArray> coreLimit(qint64 pid)
{
    QFile limits(u"/proc/%1/limits"_s.arg(pid));
    if (!limits.open(QIODevice::ReadOnly))
        return std::nullopt;
    for (const QByteArray &line : limits.readAll().split('\n')) {
        if (line.startsWith("Max core file size"))
            return line.simplified().split(' ').value(4);
    }
    return std::nullopt;
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
    iovec local{&byte, 1};
    iovec remote{nullptr, 1};
    const int error = ::process_vm_readv(pid_t(pid), &local, 1, &remote, 1, 0) < 0 ? errno : 0;
    ::syscall(SYS_capset, &header, held.data());
    return error;
}

// Lets a process started from here write core files, as far as the hard limit allows, so that a limit
// of 0 is the program's own doing.
void allowCoreFiles()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_CORE, &limit) == 0) {
        limit.rlim_cur = limit.rlim_max == RLIM_INFINITY ? rlim_t(1) << 30 : limit.rlim_max;
        ::setrlimit(RLIMIT_CORE, &limit);
    }
}

} // namespace

// lexiglow and lxg keep their memory, and the passwords in it, out of core files and away from the user's
// other processes; what the system refuses is told, and the program goes on.
class TestProcessHardening final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;

    // A program started to stay running: lxg reading words from standard input, or the windows.
    void start(QProcess &program, const QString &which, const QStringList &environment = {}) const
    {
        QStringList variables = QProcess::systemEnvironment() + environment;
        variables << u"XDG_CONFIG_HOME="_s + m_folder.filePath(u"config"_s) << u"XDG_RUNTIME_DIR="_s + m_folder.path()
                  << u"QT_QPA_PLATFORM=offscreen"_s;
        program.setEnvironment(variables);
        program.setChildProcessModifier(allowCoreFiles);
        if (which == u"lxg")
            program.start(QStringLiteral(LXG_PATH), {u"create"_s, m_folder.filePath(u"made.lxg"_s), u"--name"_s, u"Made"_s, u"-"_s});
        else
            program.start(QStringLiteral(LEXIGLOW_PATH), {});
        QVERIFY(program.waitForStarted());
    }

private slots:
    void hardenProcess_setsCoreLimitToZero_andMakesProcessNonDumpable()
    {
        allowCoreFiles();
        rlimit before{};
        QCOMPARE(::getrlimit(RLIMIT_CORE, &before), 0);
        QCOMPARE(::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 1);

        QCOMPARE(hardenProcess(), QStringList());

        rlimit after{};
        QCOMPARE(::getrlimit(RLIMIT_CORE, &after), 0);
        QCOMPARE(after.rlim_cur, rlim_t(0));
        QCOMPARE(after.rlim_max, before.rlim_max);
        QCOMPARE(::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);
    }

    void program_cannotBeReadNorDumped_seenFromOutside_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addRow("lexiglow") << u"lexiglow"_s;
        QTest::addRow("lxg") << u"lxg"_s;
    }

    void program_cannotBeReadNorDumped_seenFromOutside()
    {
        QFETCH(QString, program);
        QProcess running;
        start(running, program);
        const qint64 pid = running.processId();

        QTRY_COMPARE_WITH_TIMEOUT(memoryReadError(pid), EPERM, 20000);
        QCOMPARE(coreLimit(pid), std::optional<QByteArray>("0"));
        // Its files under /proc belong to root now, not to the user.
        if (::getuid() != 0)
            QCOMPARE(QFileInfo(u"/proc/%1/status"_s.arg(pid)).ownerId(), 0u);

        if (program == u"lxg") {
            running.write("Parrot\n");
            running.closeWriteChannel();
            QVERIFY(running.waitForFinished());
            QCOMPARE(running.exitCode(), 0);
            QCOMPARE(running.readAllStandardError(), QByteArray());
        } else {
            running.kill();
            QVERIFY(running.waitForFinished());
        }
    }

    // A system that refuses both: lxg says so and does its work, and stays as readable as any process.
    void failure_isToldOnStandardError_andProgramGoesOn()
    {
        QProcess running;
        // AddressSanitizer, in the sanitizer build, would limit core files itself through the same call, and
        // stop when it is refused.
        start(running, u"lxg"_s,
              {u"LD_PRELOAD=" FAILING_HARDENING ""_s,
               u"ASAN_OPTIONS=verify_asan_link_order=0:disable_coredump=0:"_s + qEnvironmentVariable("ASAN_OPTIONS")});
        const QByteArray told = "lxg: warning: the core file size could not be limited to 0 (Operation not permitted)\n"
                                "lxg: warning: the process could not be made non-dumpable, so other processes of the user "
                                "may read its memory (Operation not permitted)\n";
        QByteArray error;
        QTRY_COMPARE_WITH_TIMEOUT((error += running.readAllStandardError()), told, 20000);

        QCOMPARE(memoryReadError(running.processId()), EFAULT);

        running.write("Parrot\n");
        running.closeWriteChannel();
        QVERIFY(running.waitForFinished());
        QCOMPARE(running.exitCode(), 0);
        QVERIFY(QFileInfo(m_folder.filePath(u"made.lxg"_s)).size() > 0);
    }
};

QTEST_GUILESS_MAIN(TestProcessHardening)
#include "tst_processhardening.moc"
