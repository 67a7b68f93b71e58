#pragma once

#include <QtGlobal>

#include <bit>
#include <utility>

namespace lexiglow {
namespace strength {

// Chances are kept as whole numbers over one common denominator, so that
// candidates that give the same text add up exactly and passwords of equal
// chance fall into one bin.
using Weight = quint64;

// Greatest common divisor by shifts, without the divisions of Euclid's.
inline Weight commonDivisor(Weight a, Weight b)
{
    if (a == 0)
        return b;
    if (b == 0)
        return a;
    const int shift = std::countr_zero(a | b);
    a >>= std::countr_zero(a);
    do {
        b >>= std::countr_zero(b);
        if (a > b)
            std::swap(a, b);
        b -= a;
    } while (b != 0);
    return a << shift;
}

} // namespace strength
} // namespace lexiglow
