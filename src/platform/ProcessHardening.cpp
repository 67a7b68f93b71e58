#include "platform/ProcessHardening.h"

#include <QtGlobal>

#include <cerrno>
#include <cstdio>
#include <cstring>

#if defined(Q_OS_WIN)
#include <windows.h>
#include <aclapi.h>
#include <vector>
#else
#include <sys/resource.h>
#endif
#if defined(Q_OS_LINUX)
#include <sys/prctl.h>
#endif

namespace lexiglow {

namespace {

#if defined(Q_OS_WIN)

QString windowsError(DWORD code)
{
    return QStringLiteral("error %1").arg(code);
}

// The process's access list grants the user's own processes only what shows
// that it runs and ends it; reading or writing its memory, duplicating its
// handles or starting a thread in it is denied to all but administrators
// holding the debug privilege.
QString protectProcessAccess()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return windowsError(GetLastError());
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    const bool haveUser = size != 0 && GetTokenInformation(token, TokenUser, user.data(), size, &size);
    const DWORD userError = GetLastError();
    CloseHandle(token);
    if (!haveUser)
        return windowsError(userError);
    const PSID sid = reinterpret_cast<const TOKEN_USER *>(user.data())->User.Sid;

    const DWORD aclSize = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + GetLengthSid(sid);
    std::vector<BYTE> aclBytes(aclSize);
    const PACL acl = reinterpret_cast<PACL>(aclBytes.data());
    if (!InitializeAcl(acl, aclSize, ACL_REVISION)
        || !AddAccessAllowedAce(acl, ACL_REVISION, PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE | PROCESS_TERMINATE,
                                sid))
        return windowsError(GetLastError());
    const DWORD result = SetSecurityInfo(GetCurrentProcess(), SE_KERNEL_OBJECT,
                                         DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                                         nullptr, acl, nullptr);
    return result == ERROR_SUCCESS ? QString() : windowsError(result);
}

#endif

} // namespace

QStringList hardenProcess()
{
    QStringList problems;
#if defined(Q_OS_WIN)
    if (const QString error = protectProcessAccess(); !error.isEmpty())
        problems.append(
            QStringLiteral("other programs could not be kept from reading this one's memory (%1)").arg(error));
#else
    // The soft limit, which the kernel applies; the hard one stays, for the
    // programs this one starts.
    rlimit limit{};
    int failed = ::getrlimit(RLIMIT_CORE, &limit);
    if (failed == 0) {
        limit.rlim_cur = 0;
        failed = ::setrlimit(RLIMIT_CORE, &limit);
    }
    if (failed != 0)
        problems.append(QStringLiteral("the core file size could not be limited to 0 (%1)")
                            .arg(QString::fromLocal8Bit(std::strerror(errno))));
#endif
#if defined(Q_OS_LINUX)
    // The sanitizer build needs no exception: LeakSanitizer makes the process
    // dumpable again for the moment it stops it to look for leaks at the end
    // (tried as an ordinary user: leaks are still found), and
    // AddressSanitizer limits core files itself. A debugger that starts the
    // program traces it from the start and keeps doing so; attaching one to
    // a running copy takes CAP_SYS_PTRACE (root).
    if (::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) != 0)
        problems.append(QStringLiteral("the process could not be made non-dumpable, so other processes of the "
                                       "user may read its memory (%1)")
                            .arg(QString::fromLocal8Bit(std::strerror(errno))));
#endif
    return problems;
}

void hardenProcessOrWarn(const char *program)
{
    for (const QString &problem : hardenProcess())
        std::fprintf(stderr, "%s: warning: %s\n", program, problem.toLocal8Bit().constData());
}

} // namespace lexiglow
