#include "generation/RandomSource.h"

#include <QRandomGenerator>

#ifdef Q_OS_LINUX
#include <sys/random.h>

#include <cerrno>
#endif

namespace lexiglow {

namespace {

// Fills the block from the kernel's generator where there is one: a single
// call serves a whole block, where Qt's system generator would ask the
// processor for every value, which is many times slower.
void fillFromSystem(std::span<quint32> block)
{
#ifdef Q_OS_LINUX
    auto *bytes = reinterpret_cast<char *>(block.data());
    std::size_t left = block.size_bytes();
    while (left > 0) {
        const ssize_t got = ::getrandom(bytes, left, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break; // no kernel generator: let Qt find one
        bytes += got;
        left -= std::size_t(got);
    }
    if (left == 0)
        return;
#endif
    QRandomGenerator::system()->fillRange(block.data(), qsizetype(block.size()));
}

} // namespace

void SystemRandomSource::reseed()
{
    m_used = m_block.size();
}

double SystemRandomSource::next()
{
    if (m_used == m_block.size()) {
        fillFromSystem(m_block);
        m_used = 0;
    }
    // 32 random bits make a double in [0, 1) with every value equally likely.
    return double(m_block[m_used++]) * 0x1.0p-32;
}

} // namespace lexiglow
