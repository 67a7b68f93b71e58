#include "generation/RandomSource.h"

#include <QRandomGenerator>

namespace lexiglow {

void SystemRandomSource::reseed()
{
    m_used = m_block.size();
}

double SystemRandomSource::next()
{
    if (m_used == m_block.size()) {
        QRandomGenerator::system()->fillRange(m_block.data(), m_block.size());
        m_used = 0;
    }
    // The top 53 bits make a double in [0, 1) with every value equally likely.
    return double(m_block[m_used++] >> 11) * 0x1.0p-53;
}

} // namespace lexiglow
