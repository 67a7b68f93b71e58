#pragma once

#include <QString>

#include <array>

namespace lexiglow {

// How fast an attacker guesses, as the strength is told in times.
struct GuessingRate
{
    // As lxg names it: "online, 10 guesses a second".
    const char *name;
    double perSecond;
};

// The four attackers the times are given for, slowest first: a login that
// allows 100 guesses an hour, one that does not limit them (10 a second), a
// stolen file of passwords hashed slowly (10 thousand a second), and one
// hashed fast (10 billion a second).
inline constexpr std::array<GuessingRate, 4> guessingRates{{
    {"online, 100 guesses an hour", 100.0 / 3600},
    {"online, 10 guesses a second", 10},
    {"offline, 10 thousand guesses a second", 1e4},
    {"offline, 10 billion guesses a second", 1e10},
}};
inline constexpr const GuessingRate &onlineUnlimited = guessingRates[1];
inline constexpr const GuessingRate &offlineFast = guessingRates[3];

// So many seconds in words: "less than a second" under one; else N seconds,
// minutes, hours, days, months (31 days) or years (12 months), in the largest
// unit the time reaches, N rounded half up, with an "s" unless N is 1; from
// 100 years on "centuries". "60 seconds" is 59.5 seconds or more: a time
// counts in a unit only once it reaches one whole of it.
QString timeInWords(double seconds);

} // namespace lexiglow
