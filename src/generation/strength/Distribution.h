#pragma once

#include "generation/strength/Weight.h"

#include <optional>
#include <vector>

namespace lexiglow {

// Figures of the passwords returned, to an attacker who knows the lists and
// the settings.
struct StrengthFigures
{
    double entropy = 0; // Shannon, in bits
    double minEntropy = 0; // bits of the likeliest password
    double distinct = 0; // passwords with any chance at all
    double oneWordShare = 0; // chance of a password of at most one word
    double averageGuesses = 0; // of an attacker who tries the likeliest first
    // The fewest guesses, likeliest first, that find the password with a
    // chance of one in ten.
    double tenthGuesses = 0;
};

namespace strength {

// count texts of length characters, each of which one candidate is with
// chance weight over the total weight.
struct Bin
{
    quint32 length;
    Weight weight;
    quint64 count;

    friend bool operator==(const Bin &, const Bin &) = default;
};

// The chance of every password returned, from the bins of the texts a
// candidate can be: a password is the first of attemptLimit - 1 candidates
// within the length limits, or else the last candidate, whatever its length.
//
// Under a floor of B bits only candidates within the limits whose weight is
// at most a threshold are returned: the largest threshold that gives every
// such password at least B bits under the distribution that results, while
// at least one candidate in attemptLimit passes.
class Distribution final
{
public:
    // Passwords of one chance, and how many there are.
    struct Group
    {
        long double chance;
        long double count;
    };

    Distribution(std::vector<Bin> bins, long double total, double minimum, double maximum, int attemptLimit);

    const std::vector<Bin> &bins() const { return m_bins; }
    bool fits(quint32 length) const { return length >= m_minimum && length <= m_maximum; }
    bool anyFits() const { return m_fitting > 0; }
    // The chance that a candidate is a given text of that weight.
    long double candidateChance(Weight weight) const { return (long double)weight / m_total; }
    // The chance that a password is a given text of that length and weight,
    // under the floor when one is set.
    long double chance(quint32 length, Weight weight) const;
    // Whether a candidate of that length and weight may be returned.
    bool accepts(quint32 length, Weight weight) const
    {
        return fits(length) && (!m_threshold || weight <= *m_threshold);
    }

    // Every password with a chance, grouped by chance, the likeliest first:
    // the order an attacker guesses in, so that adding up chance * count
    // down the list gives the chance of success after so many guesses.
    std::vector<Group> ranked() const;
    // Every figure but the share of one word, which needs the words.
    StrengthFigures figures() const;
    // The share of passwords an attacker finds within so many guesses at
    // most: the fewest guesses, down the ranked groups, whose chances add up
    // to share. Within a group, as many of its passwords as are needed.
    static double guessesToFind(const std::vector<Group> &ranked, long double share);

    // The highest floor in bits these bins can meet; nothing when too few
    // candidates fit the limits for any.
    std::optional<double> highestFloor() const;
    // Sets a floor; false, and no floor, when these bins cannot meet it.
    bool setFloor(double bits);
    void clearFloor() { m_threshold.reset(); }
    std::optional<Weight> threshold() const { return m_threshold; }

private:
    // A threshold within reach: the highest candidate weight accepted, the
    // bits that every password then has at least, and the chance that a
    // candidate is accepted.
    struct Step
    {
        Weight threshold;
        double reach;
        long double accepted;
    };
    // Every threshold within reach, from the lowest.
    std::vector<Step> floorSteps() const;

    std::vector<Bin> m_bins;
    long double m_total;
    double m_minimum, m_maximum;
    int m_attemptLimit;
    long double m_fitting = 0; // chance that a candidate fits the limits
    long double m_fitFactor = 1, m_otherFactor = 1;
    std::optional<Weight> m_threshold;
    long double m_accepted = 0;
};

} // namespace strength

} // namespace lexiglow
