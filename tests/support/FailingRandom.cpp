// Loaded before the C library (LD_PRELOAD), this takes the kernel's random generator away, as on a system
// without getrandom.

#include <cerrno>
#include <sys/types.h>

extern "C" ssize_t getrandom(void *, size_t, unsigned int)
{
    errno = ENOSYS;
    return -1;
}
