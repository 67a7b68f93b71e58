// Loaded before the C library (LD_PRELOAD), this makes the system refuse what a program does to keep its
// memory to itself, as a system whose security policy forbids it would.

#include <cerrno>

struct rlimit;

extern "C" int prctl(int, ...)
{
    errno = EPERM;
    return -1;
}

extern "C" int setrlimit(int, const rlimit *)
{
    errno = EPERM;
    return -1;
}

extern "C" int setrlimit64(int, const rlimit *)
{
    errno = EPERM;
    return -1;
}
