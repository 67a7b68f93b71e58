#pragma once

#include "generation/PasswordRequest.h"
#include "generation/strength/Distribution.h"

#include <QString>

#include <memory>
#include <optional>
#include <stop_token>

namespace lexiglow {

class WordPool;

namespace strength {
class ReadingAutomaton;
class WordTree;
} // namespace strength

// What asking for a strength floor came to; each front end words it.
struct FloorOutcome
{
    enum class Kind {
        None, // no floor was asked for
        Met, // the floor is set
        Unreachable, // refused: highest is the highest floor within reach
        NotWorkedOut, // refused: the strength could not be worked out in time
        TooFewFit, // refused: too few candidates fit the length limits for any floor
    };
    Kind kind = Kind::None;
    double floor = 0; // as asked for
    double highest = 0;
};

// The exact chance of every password the engine returns, taking the draws
// as exactly uniform, for an attacker who knows the pool and the rules.
//
// How the count works. Every candidate is read, character by character, by
// a weighted automaton built from CandidateGrammar's shapes: a shape is a
// sequence of tokens such as W N W (word, number, word) with the weight of
// the draws that give it, and a word token walks the prefix tree of the
// pool's words. The weight of a text is the sum over every way of reading
// it, so candidates that come out as the same text are one password. The
// reachable sets of automaton positions are the states; the texts that can
// follow a state are counted once per state (memoisation), into bins of
// (length, weight, how many texts), never listed. Example: with the words
// sun, set and sunset, "sunset7" is read as W W N (sun, set, 7) and as W N
// (sunset, 7); its weight is shape WWN's times the weights of sun and set
// plus shape WN's times the weight of sunset, and it counts once, in a bin
// of length 7. The distribution turns a weight into a chance (over the
// weight of all candidates) and keeps the first 1499 candidates within the
// length limits, or else the 1500th.
//
// With a floor of B bits the engine returns only candidates that fit the
// length limits and whose chance as a candidate is at most a threshold, so
// that every password returned has at least B bits.
class StrengthModel final
{
public:
    // Candidates drawn at most for one password under a floor.
    static constexpr int candidateLimit = 1500000;
    // Steps of work at most, a few seconds: lists whose words run into one
    // another too much (every start of a word a word) would take minutes.
    static constexpr std::size_t maximumWork = 5000000;

    // Works the model out, on any thread: it reads pool and shares nothing.
    // Asked to stop, it ends within a millisecond or so, worked out no more
    // than beyond its limit of work.
    StrengthModel(const WordPool &pool, const PasswordRules &rules, std::size_t workLimit = maximumWork,
                  std::stop_token stop = {});
    ~StrengthModel();
    Q_DISABLE_COPY_MOVE(StrengthModel)

    // Of the passwords returned, under the floor when one is set.
    const StrengthFigures &figures() const { return m_figures; }
    const strength::Distribution &distribution() const { return m_distribution; }
    // False when the work went beyond its limit: then there are no figures,
    // no bits and no floor.
    bool workedOut() const { return m_workedOut; }
    // Whether it was asked to stop before it was worked out.
    bool stopped() const { return m_stopped; }
    const PasswordRules &rules() const { return m_rules; }
    bool hasWords() const;
    // Whether any candidate can fit the length limits.
    bool anyFits() const { return m_distribution.anyFits(); }
    // The highest floor in bits these rules can meet; nothing when too few
    // candidates fit the limits for any.
    std::optional<double> highestFloor() const { return m_distribution.highestFloor(); }
    // Sets the floor asked for, or none; a floor that is refused leaves none.
    FloorOutcome setFloor(std::optional<double> bits);
    std::optional<double> floor() const { return m_floor; }
    // Minus log2 of the chance that a password is text; nothing when it
    // never is one.
    std::optional<double> bits(QStringView text) const;
    // Under a floor: whether a candidate may be returned.
    bool accepts(QStringView candidate) const;
    // The chance that one candidate is text.
    double candidateChance(QStringView text) const;

private:
    void updateFigures();
    double oneWordShare() const;

    PasswordRules m_rules;
    std::unique_ptr<strength::WordTree> m_tree;
    std::unique_ptr<strength::ReadingAutomaton> m_automaton;
    strength::Distribution m_distribution;
    bool m_workedOut = false;
    bool m_stopped = false;
    std::optional<double> m_floor;
    StrengthFigures m_figures;
};

// "weak", "fair", "strong" or "very strong" for a number of bits.
QString strengthVerdict(double bits);

} // namespace lexiglow
