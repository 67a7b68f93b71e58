// Loaded before the C library (LD_PRELOAD), this makes the system refuse what a program does to keep its
// memory to itself, as a system whose security policy forbids it would.

#include <cerrno>

struct rlimit;

static int refused()
{
    errno = EPERM;
    return -1;
}

extern "C" int prctl(int, ...) { return refused(); }
extern "C" int setrlimit(int, const rlimit *) { return refused(); }
extern "C" int setrlimit64(int, const rlimit *) { return refused(); }
