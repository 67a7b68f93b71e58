#pragma once

#include "generation/strength/CountTable.h"
#include "generation/strength/Distribution.h"
#include "generation/strength/ReadingAutomaton.h"

#include <optional>
#include <span>
#include <stop_token>
#include <unordered_map>
#include <vector>

namespace lexiglow {
namespace strength {

// Counts every text the reading automaton accepts, by length and weight,
// without listing the texts: a builder that lives only while counting.
//
// A state is a set of positions (weights divided by their common divisor);
// the counter works out, once per state, the bins of every text that can
// follow it (memoisation). Walking a state reads its transitions character
// by character: a set of positions that comes back (after each word, say) is
// looked up, not walked again; positions inside one word whose words cannot
// run on into what follows are counted by the words below, by length and
// weight, at once; and where positions at different places both read a
// character, the widest place is taken whole from its state and only the
// characters the others read are followed beside it, the texts it would
// count twice taken back. States are walked one at a time from a stack of
// tasks, so words that run into one another however deep take no stack.
class StateCounter final
{
public:
    // The bins of every text read from the automaton's start; nothing when
    // the work would go beyond workLimit steps, or when stop is asked for
    // (looked at every few thousand steps, a millisecond or so).
    static std::optional<std::vector<Bin>> count(const ReadingAutomaton &automaton, std::size_t workLimit,
                                                 std::stop_token stop = {});

private:
    // Bins from .. to in a store of bins.
    struct Run
    {
        std::size_t from = 0, to = 0;
        bool known = false;
    };
    // Texts that go on from a state reached offset characters in, whose
    // weights are scale times those of the state.
    struct Later
    {
        int state;
        quint32 offset;
        Weight scale;
        bool operator==(const Later &) const = default;
    };
    struct LaterHash
    {
        std::size_t operator()(const Later &later) const
        {
            return std::size_t((quint64(later.state) << 32 | later.offset) * 0x9E3779B97F4A7C15ULL ^ later.scale);
        }
    };
    struct TextHash
    {
        std::size_t operator()(const std::pair<quint64, Weight> &key) const
        {
            return std::size_t((key.first * 0x9E3779B97F4A7C15ULL) ^ (key.second + (key.second << 7)));
        }
    };
    struct KeyHash
    {
        std::size_t operator()(const std::vector<Weight> &key) const
        {
            quint64 h = 1469598103934665603ULL;
            for (const Weight part : key)
                h = (h ^ part) * 1099511628211ULL;
            return std::size_t(h);
        }
    };
    // Counts of texts by (length, weight), and of states reached.
    using TextCounts = CountTable<std::pair<quint64, Weight>, TextHash>;
    using LaterCounts = CountTable<Later, LaterHash>;

    // Positions still to be read from, depth characters in; their texts count
    // sign times (taken back when -1).
    struct Frame
    {
        std::vector<Position> positions;
        quint32 depth;
        qint64 sign;
    };
    // Positions inside a word or a number read beside the place taken whole:
    // what they add to it.
    struct Pair
    {
        std::vector<Position> others, whole;
        quint32 depth;
        qint64 sign;
    };
    // A state is walked once, and finished once every state its walk
    // reached is.
    enum class Status : quint8 { Waiting, Walked, Finished };
    struct State
    {
        std::vector<Position> positions; // weights divided by their common divisor
        Weight accept;
        Status status;
    };
    // A text found by a walk, with a count that may be below zero until its
    // state is finished.
    struct Count
    {
        quint32 length;
        Weight weight;
        qint64 count;
    };

    StateCounter(const ReadingAutomaton &automaton, std::size_t workLimit, std::stop_token stop);
    Q_DISABLE_COPY_MOVE(StateCounter)

    // Spends steps of work; throws when beyond the limit or asked to stop.
    void spend(std::size_t steps);
    std::span<const Bin> binsOf(Run run) const { return {m_binStore.data() + run.from, run.to - run.from}; }
    // An empty buffer, with the room of one used before when there is one.
    std::vector<Position> buffer()
    {
        std::vector<Position> positions;
        if (!m_spare.empty()) {
            positions = std::move(m_spare.back());
            m_spare.pop_back();
            positions.clear();
        }
        return positions;
    }
    static bool anyAtStart(const std::vector<Position> &positions)
    {
        for (const Position &position : positions) {
            if (position.kind == AtStart)
                return true;
        }
        return false;
    }

    // The state of positions with accept, and the scale of their weights.
    int sync(const std::vector<Position> &positions, Weight accept, Weight &scale);
    int lookUp(const std::vector<Position> &positions, Weight accept, Weight &scale);
    // Every text that can follow a state, and the states it reaches, by
    // length and weight, into the stores.
    void workOut(int root);
    void walkState(int state);
    void walkFrame(Frame &frame);
    void finishState(int state);
    void addReached(const Later &at, qint64 count, bool whole);
    void addBins(int state, quint32 offset, Weight scale, qint64 count);

    // Where the texts after one character go: a final text, a state with a
    // token start in it, the words below one node counted by class, or a
    // frame to walk; taken whole, a frame is a state worked out once.
    void take(const std::vector<Position> &positions, Weight ends, quint32 depth, qint64 sign, bool whole = false);
    void reach(const std::vector<Position> &positions, Weight ends, quint32 depth, qint64 sign);
    bool takeWordsBelow(const std::vector<Position> &positions, quint32 node, quint32 depth, qint64 sign);
    Run classesBelow(quint32 node);

    // The ways of reading a frame's characters.
    void splitWidest(const std::vector<Position> &positions);
    void readChildren(const Frame &frame);
    void readEach(const Frame &frame);
    void readBesideWhole(const Frame &frame);
    void readPair(const Pair &at);
    void countApart(std::vector<Position> &&positions, quint32 depth, qint64 sign);
    void readTogether(const Frame &at, char16_t ch);
    void takeBackAlone(const Frame &at, char16_t ch);

    const ReadingAutomaton &m_automaton;
    const WordTree &m_tree;
    std::size_t m_work = 0;
    const std::size_t m_workLimit;
    std::stop_token m_stop;
    std::size_t m_nextStopCheck = 0;

    // The states, by their key: the accepted weight and every position's
    // place and weight, divided by their common divisor; and the state asked
    // for last, which comes again and again.
    std::vector<State> m_states;
    std::unordered_map<std::vector<Weight>, int, KeyHash> m_stateIndex;
    std::vector<Weight> m_key;
    std::vector<Position> m_lastPositions;
    Weight m_lastAccept = ~Weight(0), m_lastScale = 1;
    int m_lastState = -1;

    // The texts that follow each finished state and the words below each
    // node, as runs of one store of bins.
    std::vector<Bin> m_binStore;
    std::vector<Run> m_stateBins;
    std::vector<Run> m_classRuns;
    std::vector<std::pair<quint32, Weight>> m_classScratch;
    // A state with a position inside a word or a number leaves the states
    // of token starts it reaches to the state that asked for it, which adds
    // them up with those of its other positions: runs of m_laterStore.
    std::vector<std::pair<Later, qint64>> m_laterStore;
    std::vector<Run> m_stateLater;
    std::vector<bool> m_stateAtStart; // all of its positions at a token start
    // What each walk found, until its state is finished: its counts and the
    // states it reached.
    std::vector<Count> m_countStore;
    std::vector<std::pair<Later, qint64>> m_reachedStore;
    std::vector<std::pair<Run, Run>> m_walked;

    // What a walk needs, kept for the next walk.
    TextCounts m_texts;
    LaterCounts m_later, m_hoisted;
    std::vector<Frame> m_stack, m_together;
    std::vector<Pair> m_pairs;
    std::vector<char16_t> m_characters;
    std::vector<Position> m_next, m_starts, m_rest, m_after, m_part, m_group, m_ending, m_alone;
    std::vector<std::vector<Position>> m_spare; // buffers of frames walked
};

} // namespace strength
} // namespace lexiglow
