#include "generation/strength/StateCounter.h"

#include <algorithm>

namespace lexiglow {
namespace strength {

namespace {

// Thrown when the work would go beyond its limit, or is to stop.
struct TooMuchWork
{
};

} // namespace

StateCounter::StateCounter(const ReadingAutomaton &automaton, std::size_t workLimit, std::stop_token stop)
    : m_automaton(automaton)
    , m_tree(automaton.tree())
    , m_workLimit(workLimit)
    , m_stop(std::move(stop))
{
}

std::optional<std::vector<Bin>> StateCounter::count(const ReadingAutomaton &automaton, std::size_t workLimit,
                                                    std::stop_token stop)
{
    StateCounter counter(automaton, workLimit, std::move(stop));
    Weight scale = 1;
    const int root = counter.sync(automaton.start(), 0, scale);
    try {
        counter.workOut(root);
    } catch (const TooMuchWork &) {
        return std::nullopt;
    }
    const std::span<const Bin> all = counter.binsOf(counter.m_stateBins[std::size_t(root)]);
    std::vector<Bin> bins(all.begin(), all.end());
    for (Bin &bin : bins)
        bin.weight *= scale;
    return bins;
}

void StateCounter::spend(std::size_t steps)
{
    m_work += steps;
    if (m_work > m_workLimit)
        throw TooMuchWork{};
    if (m_work >= m_nextStopCheck) {
        m_nextStopCheck = m_work + 4096;
        if (m_stop.stop_requested())
            throw TooMuchWork{};
    }
}

int StateCounter::sync(const std::vector<Position> &positions, Weight accept, Weight &scale)
{
    // The state asked for last comes again and again: after each word of a
    // walk that ends like the one before.
    const auto same = [](const Position &a, const Position &b) { return a.place() == b.place() && a.weight == b.weight; };
    if (accept == m_lastAccept
        && std::equal(positions.begin(), positions.end(), m_lastPositions.begin(), m_lastPositions.end(), same)) {
        scale = m_lastScale;
        return m_lastState;
    }
    const int state = lookUp(positions, accept, scale);
    m_lastPositions = positions;
    m_lastAccept = accept;
    m_lastScale = scale;
    m_lastState = state;
    return state;
}

int StateCounter::lookUp(const std::vector<Position> &positions, Weight accept, Weight &scale)
{
    Weight divisor = accept;
    for (const Position &position : positions) {
        if (divisor == 1)
            break;
        divisor = commonDivisor(divisor, position.weight);
    }
    scale = divisor;
    m_key.clear();
    m_key.push_back(accept / divisor);
    for (const Position &position : positions) {
        m_key.push_back(position.place());
        m_key.push_back(position.weight / divisor);
    }
    if (const auto found = m_stateIndex.find(m_key); found != m_stateIndex.end())
        return found->second;
    std::vector<Position> scaled = positions;
    for (Position &position : scaled)
        position.weight /= divisor;
    const bool atStart = std::all_of(positions.begin(), positions.end(), [](const Position &p) { return p.kind == AtStart; });
    const int index = int(m_states.size());
    m_states.push_back({std::move(scaled), accept / divisor, Status::Waiting});
    m_stateBins.emplace_back();
    m_stateLater.emplace_back();
    m_stateAtStart.push_back(atStart);
    m_walked.emplace_back();
    m_stateIndex.emplace(m_key, index);
    return index;
}

void StateCounter::workOut(int root)
{
    std::vector<std::pair<int, bool>> tasks{{root, false}}; // a state, and whether to finish it
    while (!tasks.empty()) {
        const auto [state, finish] = tasks.back();
        tasks.pop_back();
        if (finish) {
            finishState(state);
            continue;
        }
        if (m_states[std::size_t(state)].status != Status::Waiting)
            continue;
        walkState(state);
        tasks.emplace_back(state, true);
        const Run reached = m_walked[std::size_t(state)].second;
        for (std::size_t i = reached.from; i < reached.to; ++i) {
            const int next = m_reachedStore[i].first.state;
            if (m_states[std::size_t(next)].status == Status::Waiting)
                tasks.emplace_back(next, false);
        }
    }
}

void StateCounter::walkState(int state)
{
    // The positions are copied: walking adds states.
    const std::vector<Position> first = m_states[std::size_t(state)].positions;
    const Weight accept = m_states[std::size_t(state)].accept;
    m_states[std::size_t(state)].status = Status::Walked;
    // Counts may go below zero on the way: texts that a state at a token
    // start gives are taken whole and those that go on otherwise are taken
    // back.
    m_texts.clear();
    if (accept != 0)
        ++m_texts[{0, accept}];
    m_later.clear();
    m_stack.clear();
    m_stack.push_back({buffer(), 0, 1});
    m_stack.back().positions.assign(first.begin(), first.end());
    Frame frame{};
    while (!m_stack.empty()) {
        if (frame.positions.capacity() != 0)
            m_spare.push_back(std::move(frame.positions));
        frame = std::move(m_stack.back());
        m_stack.pop_back();
        walkFrame(frame);
    }
    Run counts{m_countStore.size(), 0, true};
    m_texts.forEach([&](const std::pair<quint64, Weight> &key, qint64 count) {
        if (count != 0)
            m_countStore.push_back({quint32(key.first), key.second, count});
    });
    counts.to = m_countStore.size();
    Run reached{m_reachedStore.size(), 0, true};
    m_later.forEach([&](const Later &at, qint64 count) {
        if (count != 0)
            m_reachedStore.emplace_back(at, count);
    });
    reached.to = m_reachedStore.size();
    m_walked[std::size_t(state)] = {counts, reached};
}

void StateCounter::walkFrame(Frame &frame)
{
    if (frame.positions.size() > 1 && m_automaton.apart(frame.positions)) {
        countApart(std::move(frame.positions), frame.depth, frame.sign);
        return;
    }
    splitWidest(frame.positions);
    if (m_rest.empty() && frame.positions.front().kind == InWord) {
        readChildren(frame);
        return;
    }
    if (m_rest.empty() || m_starts.empty()) {
        readEach(frame);
        return;
    }
    m_part.assign(m_starts.begin(), m_starts.end());
    take(m_part, 0, frame.depth, frame.sign, true);
    readBesideWhole(frame);
}

void StateCounter::finishState(int state)
{
    // A state of token starts only counts every text; another leaves the
    // states of token starts it reaches to the state that asked for it.
    const bool whole = m_stateAtStart[std::size_t(state)];
    m_texts.clear();
    m_hoisted.clear();
    const auto [counts, reached] = m_walked[std::size_t(state)];
    for (std::size_t i = counts.from; i < counts.to; ++i)
        m_texts[{m_countStore[i].length, m_countStore[i].weight}] += m_countStore[i].count;
    for (std::size_t i = reached.from; i < reached.to; ++i)
        addReached(m_reachedStore[i].first, m_reachedStore[i].second, whole);
    Run &laterRun = m_stateLater[std::size_t(state)];
    laterRun = {m_laterStore.size(), 0, true};
    m_hoisted.forEach([&](const Later &at, qint64 count) {
        if (count != 0)
            m_laterStore.emplace_back(at, count);
    });
    laterRun.to = m_laterStore.size();
    Run &bins = m_stateBins[std::size_t(state)];
    bins = {m_binStore.size(), 0, true};
    m_texts.forEach([&](const std::pair<quint64, Weight> &key, qint64 count) {
        if (count != 0)
            m_binStore.push_back({quint32(key.first), key.second, quint64(count)});
    });
    bins.to = m_binStore.size();
    m_states[std::size_t(state)].status = Status::Finished;
}

void StateCounter::addReached(const Later &at, qint64 count, bool whole)
{
    if (!whole && m_stateAtStart[std::size_t(at.state)]) {
        m_hoisted[at] += count;
        return;
    }
    addBins(at.state, at.offset, at.scale, count);
    const Run after = m_stateLater[std::size_t(at.state)];
    for (std::size_t i = after.from; i < after.to; ++i) {
        const auto &[inner, times] = m_laterStore[i];
        const Later composed{inner.state, at.offset + inner.offset, at.scale * inner.scale};
        if (whole)
            addBins(inner.state, composed.offset, composed.scale, count * times);
        else
            m_hoisted[composed] += count * times;
    }
}

void StateCounter::addBins(int state, quint32 offset, Weight scale, qint64 count)
{
    const std::span<const Bin> bins = binsOf(m_stateBins[std::size_t(state)]);
    spend(bins.size());
    for (const Bin &bin : bins)
        m_texts[{offset + bin.length, scale * bin.weight}] += count * qint64(bin.count);
}

void StateCounter::take(const std::vector<Position> &positions, Weight ends, quint32 depth, qint64 sign, bool whole)
{
    spend(1);
    if (positions.empty()) {
        if (ends != 0)
            m_texts[{depth, ends}] += sign;
        return;
    }
    // A state with a token start is worked out once: the words that begin
    // others (sun, sunset) lead to the same states again and again, one for
    // each such pair, and each would walk the words after it anew.
    if (anyAtStart(positions)) {
        reach(positions, ends, depth, sign);
        return;
    }
    if (ends != 0)
        m_texts[{depth, ends}] += sign;
    const quint32 node = positions.front().node;
    const bool oneNode = std::all_of(positions.begin(), positions.end(), [&](const Position &p) {
        return p.kind == InWord && p.node == node;
    });
    if (oneNode && takeWordsBelow(positions, node, depth, sign))
        return;
    if (whole || (oneNode && m_tree.node(node).depth == 1)) {
        reach(positions, 0, depth, sign);
        return;
    }
    std::vector<Position> kept = buffer();
    kept.assign(positions.begin(), positions.end());
    m_stack.push_back({std::move(kept), depth, sign});
}

void StateCounter::reach(const std::vector<Position> &positions, Weight ends, quint32 depth, qint64 sign)
{
    Weight scale = 1;
    const int state = sync(positions, ends, scale);
    m_later[{state, depth, scale}] += sign;
}

bool StateCounter::takeWordsBelow(const std::vector<Position> &positions, quint32 node, quint32 depth, qint64 sign)
{
    // When no word below ends where another goes on with a character that
    // can follow it, every word below gives texts of its own: count them by
    // length and weight.
    quint8 kinds = 0;
    m_after.clear();
    Weight afterEnds = 0;
    for (const Position &position : positions) {
        kinds |= m_automaton.firstKinds(position.tail);
        m_automaton.boundary(position.tail, position.weight, m_after, afterEnds);
    }
    if ((m_tree.node(node).mixBelow & kinds) != 0)
        return false;
    const Run classes = classesBelow(node);
    const quint32 base = depth - m_tree.node(node).depth;
    if (m_after.empty()) {
        for (const Bin &word : binsOf(classes))
            m_texts[{base + word.length, afterEnds * word.weight}] += sign * qint64(word.count);
        return true;
    }
    merge(m_after);
    Weight scale = 1;
    const int state = sync(m_after, afterEnds, scale);
    // The store may have grown meanwhile.
    for (const Bin &word : binsOf(classes))
        m_later[{state, base + word.length, scale * word.weight}] += sign * qint64(word.count);
    return true;
}

StateCounter::Run StateCounter::classesBelow(quint32 node)
{
    if (m_classRuns.empty())
        m_classRuns.assign(m_tree.size(), Run{});
    if (m_classRuns[node].known)
        return m_classRuns[node];
    m_tree.wordsBelow(node, m_classScratch);
    const std::size_t from = m_binStore.size();
    for (const auto &[depth, weight] : m_classScratch) {
        if (m_binStore.size() > from && m_binStore.back().length == depth && m_binStore.back().weight == weight)
            ++m_binStore.back().count;
        else
            m_binStore.push_back({depth, weight, 1});
    }
    return m_classRuns[node] = Run{from, m_binStore.size(), true};
}

void StateCounter::splitWidest(const std::vector<Position> &positions)
{
    // Positions at different places (a token start, a node of the tree, a
    // number) give different texts unless they read the same character. The
    // widest place (a token start, or else the node with the most children)
    // is taken whole, from the states worked out once; the walk then follows
    // only what the others read, and takes back what that place gave there.
    const auto placeOf = [](const Position &p) { return p.kind == AtStart ? quint64(0) : quint64(p.kind) << 40 | p.node; };
    std::optional<quint64> widestPlace;
    std::size_t widest = 0;
    for (const Position &position : positions) {
        const quint64 place = placeOf(position);
        if (place == widestPlace)
            continue;
        std::size_t width = 0;
        if (position.kind == AtStart)
            width = 0x10000; // every character a word can start with
        else if (position.kind == InWord)
            width = m_tree.node(position.node).childCount;
        if (width > widest) {
            widest = width;
            widestPlace = place;
        }
    }
    m_starts.clear();
    m_rest.clear();
    for (const Position &position : positions)
        (widestPlace && placeOf(position) == *widestPlace ? m_starts : m_rest).push_back(position);
}

void StateCounter::readChildren(const Frame &frame)
{
    // Inside the words below one node: each child read in turn.
    for (const WordTree::Edge &edge : m_tree.children(frame.positions.front().node)) {
        const WordTree::Node &below = m_tree.node(edge.node);
        m_next.clear();
        Weight ends = 0;
        for (const Position &position : frame.positions) {
            if (below.childCount != 0)
                m_next.push_back({InWord, position.tail, edge.node, position.weight});
            if (below.weight != 0)
                m_automaton.boundary(position.tail, position.weight * below.weight, m_next, ends);
        }
        merge(m_next);
        take(m_next, ends, frame.depth + 1, frame.sign);
    }
}

void StateCounter::readEach(const Frame &frame)
{
    m_characters.clear();
    m_automaton.readable(frame.positions, m_characters);
    for (const char16_t ch : m_characters) {
        m_next.clear();
        Weight ends = 0;
        m_automaton.step(frame.positions, ch, m_next, ends);
        take(m_next, ends, frame.depth + 1, frame.sign);
    }
}

void StateCounter::readBesideWhole(const Frame &frame)
{
    // What the others add to the place taken whole: the two read side by
    // side, as long as the others are inside a word or a number.
    m_pairs.push_back({buffer(), buffer(), frame.depth, frame.sign});
    m_pairs.back().others.assign(m_rest.begin(), m_rest.end());
    m_pairs.back().whole.assign(m_starts.begin(), m_starts.end());
    while (!m_pairs.empty()) {
        Pair at = std::move(m_pairs.back());
        m_pairs.pop_back();
        if (anyAtStart(at.others)) {
            m_next.assign(at.others.begin(), at.others.end());
            m_next.insert(m_next.end(), at.whole.begin(), at.whole.end());
            merge(m_next);
            take(m_next, 0, at.depth, at.sign);
            take(at.whole, 0, at.depth, -at.sign, true);
        } else {
            readPair(at);
        }
        m_spare.push_back(std::move(at.others));
        m_spare.push_back(std::move(at.whole));
    }
}

void StateCounter::readPair(const Pair &at)
{
    m_characters.clear();
    m_automaton.readable(at.others, m_characters);
    for (const char16_t ch : m_characters) {
        spend(1);
        std::vector<Position> others = buffer(), whole = buffer();
        Weight othersEnd = 0, wholeEnd = 0;
        m_automaton.step(at.others, ch, others, othersEnd);
        m_automaton.step(at.whole, ch, whole, wholeEnd);
        if (othersEnd != 0) {
            m_texts[{at.depth + 1, othersEnd + wholeEnd}] += at.sign;
            if (wholeEnd != 0)
                m_texts[{at.depth + 1, wholeEnd}] -= at.sign;
        }
        if (!others.empty() && whole.empty())
            take(others, 0, at.depth + 1, at.sign);
        if (!others.empty() && !whole.empty()) {
            m_pairs.push_back({std::move(others), std::move(whole), at.depth + 1, at.sign});
            continue;
        }
        m_spare.push_back(std::move(others));
        m_spare.push_back(std::move(whole));
    }
}

void StateCounter::countApart(std::vector<Position> &&positions, quint32 depth, qint64 sign)
{
    // Positions inside words apart from one another: the words below each
    // node counted by class, and where words below two or more nodes end
    // together, the texts they give taken back and counted as one.
    std::sort(positions.begin(), positions.end(), [](const Position &a, const Position &b) { return a.node < b.node; });
    for (std::size_t from = 0; from < positions.size();) {
        std::size_t to = from + 1;
        while (to < positions.size() && positions[to].node == positions[from].node)
            ++to;
        m_group.assign(positions.begin() + std::ptrdiff_t(from), positions.begin() + std::ptrdiff_t(to));
        take(m_group, 0, depth, sign);
        from = to;
    }
    m_together.push_back({std::move(positions), depth, sign});
    while (!m_together.empty()) {
        Frame at = std::move(m_together.back());
        m_together.pop_back();
        m_characters.clear();
        quint32 last = 0;
        for (const Position &position : at.positions) {
            if (position.node == last)
                continue;
            last = position.node;
            for (const WordTree::Edge &edge : m_tree.children(position.node))
                m_characters.push_back(edge.ch);
        }
        std::sort(m_characters.begin(), m_characters.end());
        // Only the characters that two or more nodes read.
        for (std::size_t i = 0; i + 1 < m_characters.size(); ++i) {
            const char16_t ch = m_characters[i];
            if (m_characters[i + 1] != ch)
                continue;
            while (i + 1 < m_characters.size() && m_characters[i + 1] == ch)
                ++i;
            readTogether(at, ch);
        }
        m_spare.push_back(std::move(at.positions));
    }
}

void StateCounter::readTogether(const Frame &at, char16_t ch)
{
    std::vector<Position> deeper = buffer();
    int ends = 0, nodesDeeper = 0;
    quint32 previous = 0;
    m_ending.clear();
    Weight accept = 0;
    for (const Position &position : at.positions) {
        const quint32 next = m_tree.child(position.node, ch);
        if (next == WordTree::root)
            continue;
        const bool first = position.node != previous;
        previous = position.node;
        if (m_tree.node(next).childCount != 0) {
            deeper.push_back({InWord, position.tail, next, position.weight});
            nodesDeeper += first ? 1 : 0;
        }
        if (m_tree.node(next).weight != 0) {
            ends += first ? 1 : 0;
            m_automaton.boundary(position.tail, position.weight * m_tree.node(next).weight, m_ending, accept);
        }
    }
    if (ends >= 2) {
        merge(m_ending);
        take(m_ending, accept, at.depth + 1, at.sign);
        takeBackAlone(at, ch);
    }
    if (nodesDeeper >= 2)
        m_together.push_back({std::move(deeper), at.depth + 1, at.sign});
    else
        m_spare.push_back(std::move(deeper));
}

void StateCounter::takeBackAlone(const Frame &at, char16_t ch)
{
    // What each node's words that end there gave on their own, taken back.
    for (std::size_t k = 0; k < at.positions.size();) {
        const Position &position = at.positions[k];
        const quint32 next = m_tree.child(position.node, ch);
        std::size_t end = k + 1;
        while (end < at.positions.size() && at.positions[end].node == position.node)
            ++end;
        if (next != WordTree::root && m_tree.node(next).weight != 0) {
            m_alone.clear();
            Weight aloneEnds = 0;
            for (std::size_t g = k; g < end; ++g) {
                m_automaton.boundary(at.positions[g].tail, at.positions[g].weight * m_tree.node(next).weight, m_alone,
                                     aloneEnds);
            }
            merge(m_alone);
            take(m_alone, aloneEnds, at.depth + 1, -at.sign);
        }
        k = end;
    }
}

} // namespace strength
} // namespace lexiglow
