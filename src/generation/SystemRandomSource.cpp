#include "generation/RandomSource.h"

#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <string>

#ifdef Q_OS_LINUX
#include <sys/random.h>
#endif

namespace lexiglow {

long SystemRandomSource::kernelFill(void *buffer, std::size_t length)
{
#ifdef Q_OS_LINUX
    // A single call serves a whole block, where Qt's system generator would
    // ask the processor for every value, which is many times slower.
    return long(::getrandom(buffer, length, 0));
#else
    // Qt's system generator, which has no failure to report elsewhere.
    const std::size_t values = length / sizeof(quint32);
    QRandomGenerator::system()->fillRange(static_cast<quint32 *>(buffer), qsizetype(values));
    return long(values * sizeof(quint32));
#endif
}

void SystemRandomSource::refill()
{
    auto *bytes = reinterpret_cast<char *>(m_block.data());
    std::size_t left = sizeof(m_block);
    while (left > 0) {
        errno = 0;
        const long got = m_fill(bytes, left);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            const std::string reason = got < 0 ? std::strerror(errno) : "it gave no bytes";
            throw RandomSourceError("The system's random number generator failed (" + reason
                                    + "), so no password was made.");
        }
        bytes += got;
        left -= std::size_t(got);
    }
}

void SystemRandomSource::reseed()
{
    m_used = m_block.size();
}

double SystemRandomSource::next()
{
    if (m_used == m_block.size()) {
        refill();
        m_used = 0;
    }
    // 32 random bits make a double in [0, 1) with every value equally likely.
    return double(m_block[m_used++]) * 0x1.0p-32;
}

} // namespace lexiglow
