#pragma once

#include <QtGlobal>

#include <optional>

namespace lexiglow {

// The settings that decide a password's text.
struct PasswordRules
{
    enum class Case { Keep, Lower, Upper };

    // Lengths may be fractions: a minimum of 8.5 asks for 9 characters.
    double minimum = 8;
    double maximum = 32;
    Case letterCase = Case::Keep;
    bool letterReplacement = false;
    bool specialCharacters = false;

    friend bool operator==(const PasswordRules &, const PasswordRules &) = default;
};

// One batch as the generation core takes it, parsed where the settings enter
// (the Advanced Settings dialog's texts, lxg's options): the rules, how many
// passwords, and the strength floor in bits, if any.
struct PasswordRequest
{
    // A batch holds at most this many passwords, so that no setting can
    // freeze the program for long or exhaust its memory.
    static constexpr int maxCount = 100000;

    PasswordRules rules = {};
    int count = 10;
    std::optional<double> floor = {};

    friend bool operator==(const PasswordRequest &, const PasswordRequest &) = default;

    // How many passwords a count read as a number asks for: whole steps from
    // 1, so 2.5 makes two and anything below 1 none; nothing when it asks for
    // more than maxCount (100000.5 still makes 100000).
    static std::optional<int> passwordCount(double count)
    {
        if (!(count < maxCount + 1))
            return std::nullopt;
        return count < 1 ? 0 : int(count);
    }
};

} // namespace lexiglow
