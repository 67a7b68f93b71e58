#pragma once

#include "settings/GenerationSettings.h"

#include <QString>

#include <memory>
#include <optional>

namespace lexiglow {

class WordPool;

// The settings that decide a password's text.
struct PasswordRules
{
    enum class Case { Keep, Lower, Upper };

    double minimum = 8;
    double maximum = 32;
    Case letterCase = Case::Keep;
    bool letterReplacement = false;
    bool specialCharacters = false;

    // Nothing when a length is not a number.
    static std::optional<PasswordRules> from(const GenerationSettings &settings);
    friend bool operator==(const PasswordRules &, const PasswordRules &) = default;
};

// Figures of the passwords returned, to an attacker who knows the lists and
// the settings.
struct StrengthFigures
{
    double entropy = 0; // Shannon, in bits
    double minEntropy = 0; // bits of the likeliest password
    double distinct = 0; // passwords with any chance at all
    double oneWordShare = 0; // chance of a password of at most one word
    double averageGuesses = 0; // of an attacker who tries the likeliest first
};

// The exact chance of every password the engine returns, taking the draws
// as exactly uniform: the pool's empty entry 0 and its half-weight ends,
// duplicates, trimming, letter replacement, the drop number, the three
// arrangements, special characters, letter case, the length test of the
// first 1499 candidates and the untested 1500th. Candidates that come out as
// the same text are one password. Worked out from the structure of the
// candidates (words joined by a prefix tree) without listing them.
//
// With a floor of B bits the engine returns only candidates that fit the
// length limits and whose chance as a candidate is at most a threshold t,
// chosen so that every such password has at least B bits under the
// distribution that results, and at least one candidate in 1500 passes.
class StrengthModel final
{
public:
    // Candidates drawn at most for one password under a floor.
    static constexpr int candidateLimit = 1500000;
    // Steps of work at most, a few seconds: lists whose words run into one
    // another too much (every start of a word a word) would take minutes.
    static constexpr std::size_t maximumWork = 5000000;

    StrengthModel(const WordPool &pool, const PasswordRules &rules, std::size_t workLimit = maximumWork);
    ~StrengthModel();
    Q_DISABLE_COPY_MOVE(StrengthModel)

    // Of the passwords returned, under the floor when one is set.
    const StrengthFigures &figures() const { return m_figures; }
    // False when the work went beyond its limit: then there are no figures,
    // no bits and no floor.
    bool workedOut() const;
    bool hasWords() const;
    // Whether any candidate can fit the length limits.
    bool anyFits() const;
    // The highest floor in bits these rules can meet; nothing when too few
    // candidates fit the limits for any.
    std::optional<double> highestFloor() const;
    // Sets a floor; false, and no floor, when these rules cannot meet it.
    bool setFloor(double bits);
    void clearFloor();
    std::optional<double> floor() const { return m_floor; }
    // Minus log2 of the chance that a password is text; nothing when it
    // never is one.
    std::optional<double> bits(QStringView text) const;
    // Under a floor: whether a candidate may be returned.
    bool accepts(QStringView candidate) const;
    // The chance that one candidate is text.
    double candidateChance(QStringView text) const;

private:
    struct Model;
    void updateFigures();

    std::unique_ptr<Model> m_model;
    std::optional<double> m_floor;
    StrengthFigures m_figures;
};

// "weak", "fair", "strong" or "very strong" for a number of bits.
QString strengthVerdict(double bits);

} // namespace lexiglow
