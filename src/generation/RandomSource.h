#pragma once

#include <QtGlobal>

#include <array>
#include <cstddef>
#include <stdexcept>

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

// The source cannot give random values. No password may be made from what
// it would give instead; what() says why, for the user.
class RandomSourceError final : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Draws from the operating system's cryptographic generator, so that no one
// can reproduce a sequence from the time it was started. Values carry 32
// random bits; they are fetched in blocks to keep system calls few. When the
// generator fails, next() throws RandomSourceError: there is no weaker
// generator to fall back to.
class SystemRandomSource final : public RandomSource
{
public:
    // Fills up to length bytes as getrandom(2) does: returns how many it
    // filled, or -1 with errno set.
    using Fill = long (*)(void *buffer, std::size_t length);
    static long kernelFill(void *buffer, std::size_t length);

    explicit SystemRandomSource(Fill fill = kernelFill)
        : m_fill(fill)
    {
    }

    void reseed() override;
    double next() override;

private:
    void refill();

    Fill m_fill;
    std::array<quint32, 4096> m_block{};
    std::size_t m_used = m_block.size();
};

} // namespace lexiglow
