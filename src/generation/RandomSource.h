#pragma once

#include <QtGlobal>

#include <array>
#include <span>

namespace lexiglow {

// Uniform random values 0 <= r < 1 for the engine.
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    // Starts a fresh sequence.
    virtual void reseed() = 0;
    virtual double next() = 0;
};

// Draws from the operating system's cryptographic generator, so that no one
// can reproduce a sequence from the time it was started. Values carry 32
// random bits; they are fetched in blocks to keep system calls few.
class SystemRandomSource final : public RandomSource
{
public:
    void reseed() override;
    double next() override;

private:
    std::array<quint32, 4096> m_block{};
    std::size_t m_used = m_block.size();
};

} // namespace lexiglow
