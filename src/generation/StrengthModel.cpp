#include "generation/StrengthModel.h"

#include "generation/SuggestionEngine.h"
#include "generation/WordPool.h"
#include "platform/CodePage.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <numeric>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace lexiglow {

namespace {

// Chances are kept as whole numbers over one common denominator, so that
// candidates that give the same text add up exactly and passwords of equal
// chance fall into one bin.
using Weight = quint64;

constexpr char16_t firstSpecial = u'(';
constexpr char16_t lastSpecial = u'/';
constexpr int attemptLimit = SuggestionEngine::attemptLimit;

bool isSpecial(char16_t ch) { return ch >= firstSpecial && ch <= lastSpecial; }

// Greatest common divisor by shifts, without the divisions of Euclid's.
Weight commonDivisor(Weight a, Weight b)
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

// Where one way of making a text stands: at the start of a token of its
// remaining tokens (a tail such as "NW": number, then word), inside a word
// (at a node of the prefix tree of the words), or after a number's first
// digit.
enum Kind : quint8 { AtStart, InWord, InNumber };

struct Way
{
    Kind kind;
    quint8 tail; // the tokens after the current one, or from it AtStart
    quint32 node;
    Weight weight;

    quint64 place() const { return quint64(kind) << 40 | quint64(tail) << 32 | node; }
};

struct Edge
{
    char16_t ch;
    quint32 node;
};

// Nodes are numbered in preorder, so the subtree of a node is the run of
// nodes from it to its end.
struct Node
{
    Weight weight = 0; // of the word ending here; 0 if none
    quint32 depth = 0;
    quint32 firstChild = 0; // in the edges, by character
    quint32 childCount = 0;
    quint32 end = 0;
    // Token kinds (1 word, 2 number, 4 special) whose first character
    // continues a word of this subtree that has longer words after it.
    quint8 mixBelow = 0;
    // Token kinds whose first character stands anywhere below.
    quint8 charsBelow = 0;
};

// Thrown when the work would go beyond its limit.
struct TooMuchWork
{
};

// A text in a buffer of texts, and the weight of the entry it comes from.
struct Text
{
    std::size_t from, length;
    Weight weight;
    quint64 start; // the first four characters, to sort by before the rest
};

struct Bin
{
    quint32 length;
    Weight weight;
    quint64 count;
};

// Bins from .. to in a store of bins.
struct Run
{
    std::size_t from = 0, to = 0;
    bool known = false;
};

struct PairHash
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

// Counts by key in one open table, without a node to allocate for each key.
template<typename Key, typename Hash>
class Tally final
{
public:
    qint64 &operator[](const Key &key)
    {
        if (2 * (m_used + 1) > m_slots.size())
            grow();
        std::size_t at = slotOf(key);
        while (m_slots[at].filled && !(m_slots[at].key == key))
            at = (at + 1) & (m_slots.size() - 1);
        if (!m_slots[at].filled) {
            m_slots[at] = {key, 0, true};
            m_filled.push_back(quint32(at));
            ++m_used;
        }
        return m_slots[at].count;
    }
    std::size_t size() const { return m_used; }
    template<typename Visit>
    void forEach(Visit visit) const
    {
        for (const quint32 at : m_filled)
            visit(m_slots[at].key, m_slots[at].count);
    }
    // Empty again, keeping the room.
    void clear()
    {
        for (const quint32 at : m_filled)
            m_slots[at].filled = false;
        m_filled.clear();
        m_used = 0;
    }

private:
    struct Slot
    {
        Key key;
        qint64 count;
        bool filled;
    };
    // The hash's bits mixed, so that keys alike in their low bits spread.
    std::size_t slotOf(const Key &key) const
    {
        return std::size_t((quint64(Hash{}(key)) * 0x9E3779B97F4A7C15ULL) >> m_shift);
    }
    void grow()
    {
        std::vector<Slot> old(std::max<std::size_t>(64, 2 * m_slots.size()), Slot{Key{}, 0, false});
        old.swap(m_slots);
        m_shift = 64 - std::countr_zero(m_slots.size());
        std::vector<quint32> filled;
        filled.swap(m_filled);
        for (const quint32 from : filled) {
            std::size_t at = slotOf(old[from].key);
            while (m_slots[at].filled)
                at = (at + 1) & (m_slots.size() - 1);
            m_slots[at] = old[from];
            m_filled.push_back(quint32(at));
        }
    }
    std::vector<Slot> m_slots;
    std::vector<quint32> m_filled; // in the order filled
    std::size_t m_used = 0;
    int m_shift = 64;
};

using BinMap = Tally<std::pair<quint64, Weight>, PairHash>;

// Texts that go on from a later token start: (state, offset, scale).
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

struct Frame
{
    std::vector<Way> ways;
    quint32 depth;
    qint64 sign;
};

// Ways read side by side with a place taken whole: what they add to it.
struct Pair
{
    std::vector<Way> others, whole;
    quint32 depth;
    qint64 sign;
};

// What a walk of a state needs, kept for the next walk.
struct Walk
{
    BinMap texts;
    Tally<Later, LaterHash> later, hoisted;
    std::vector<Frame> stack, together;
    std::vector<Pair> pairs;
    std::vector<char16_t> characters;
    std::vector<Way> next, starts, rest, after, part, group, ending, alone;
    std::vector<std::vector<Way>> spare; // buffers of frames walked
};

void mergeWays(std::vector<Way> &ways)
{
    if (ways.size() < 2)
        return;
    // Few ways as a rule: sorted by insertion.
    if (ways.size() > 16)
        std::sort(ways.begin(), ways.end(), [](const Way &a, const Way &b) { return a.place() < b.place(); });
    for (std::size_t i = 1; i < ways.size(); ++i) {
        const Way way = ways[i];
        std::size_t at = i;
        for (; at > 0 && ways[at - 1].place() > way.place(); --at)
            ways[at] = ways[at - 1];
        ways[at] = way;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < ways.size(); ++i) {
        if (kept > 0 && ways[kept - 1].place() == ways[i].place())
            ways[kept - 1].weight += ways[i].weight;
        else
            ways[kept++] = ways[i];
    }
    ways.resize(kept);
}

// Plain ASCII changed in place; anything else as Qt does.
void changeCase(QString &text, bool upper)
{
    const bool plain = std::all_of(text.cbegin(), text.cend(), [](QChar ch) { return ch.unicode() < 0x80; });
    if (!plain) {
        text = upper ? text.toUpper() : text.toLower();
        return;
    }
    const char16_t from = upper ? u'a' : u'A';
    for (QChar &ch : text) {
        const char16_t code = ch.unicode();
        if (code >= from && code <= from + 25)
            ch = QChar(char16_t(code ^ 0x20));
    }
}

} // namespace

std::optional<PasswordRules> PasswordRules::from(const GenerationSettings &settings)
{
    const std::optional<double> minimum = settingNumber(settings.minimumLength);
    const std::optional<double> maximum = settingNumber(settings.maximumLength);
    if (!minimum || !maximum)
        return std::nullopt;
    PasswordRules rules{*minimum, *maximum, Case::Keep, settings.letterReplacement, settings.specialCharacters};
    if (settings.letterCase == GenerationSettings::lowerCaseOnly)
        rules.letterCase = Case::Lower;
    else if (settings.letterCase == GenerationSettings::upperCaseOnly)
        rules.letterCase = Case::Upper;
    return rules;
}

struct StrengthModel::Model
{
    PasswordRules rules;
    std::vector<Node> nodes{1}; // 0 is the root
    std::vector<Edge> edges;
    std::vector<std::string> tails{""};
    std::vector<quint8> tailRest{0};
    std::vector<Way> start;
    long double denominator = 1;
    bool hasWords = false;
    // Steps of the work so far, and how many it may take.
    std::size_t work = 0, workLimit = 0;
    bool workedOut = true;
    void spend(std::size_t steps)
    {
        work += steps;
        if (work > workLimit)
            throw TooMuchWork{};
    }

    // Distinct states worked out once (those with a token start in them,
    // and places taken whole), by their ways with the weights divided by
    // their common divisor; and the state asked for last.
    std::unordered_map<std::vector<Weight>, int, KeyHash> syncIndex;
    std::vector<Weight> syncKey;
    std::vector<Way> lastWays;
    Weight lastAccept = ~Weight(0), lastScale = 1;
    int lastState = -1;
    // The texts that follow each state and the words below each node, as
    // runs of one store of bins.
    std::vector<Bin> binStore;
    std::vector<Run> stateBins;
    // A state with a way inside a word or a number leaves the states of
    // token starts it reaches to the state that asked for it, which adds
    // them up with those of its other ways; these are runs of laterStore.
    std::vector<std::pair<Later, qint64>> laterStore;
    std::vector<Run> stateLater;
    std::vector<bool> stateAtStart; // all of its ways at a token start
    Walk walk;
    // States are walked one at a time and each is finished once every state
    // its walk reached is: no walk waits inside another, however deep the
    // words run into one another.
    enum class Status : quint8 { Waiting, Walked, Finished };
    struct State
    {
        std::vector<Way> ways; // weights divided by their common divisor
        Weight accept;
        Status status;
    };
    std::vector<State> states;
    // What a walk found, until its state is finished: texts with a count
    // that may be below zero, and the states reached.
    struct Count
    {
        quint32 length;
        Weight weight;
        qint64 count;
    };
    std::vector<Count> countStore;
    std::vector<std::pair<Later, qint64>> reachedStore;
    std::vector<std::pair<Run, Run>> walked; // by state: its counts and states reached
    // Words below a node, by length and weight; not known until needed.
    std::vector<Run> classRuns;
    std::vector<std::pair<quint32, Weight>> classScratch;

    // Every text a candidate can be, by length and weight.
    std::vector<Bin> bins;
    long double fitting = 0; // chance that a candidate fits the limits
    long double fitFactor = 1, otherFactor = 1;
    // Under a floor: the highest candidate weight accepted and the chance a
    // candidate is accepted.
    std::optional<Weight> threshold;
    long double accepted = 0;

    quint8 tailOf(const std::string &tokens);
    // From distinct texts in sorted order.
    void addWords(const std::vector<std::pair<std::u16string_view, Weight>> &texts);
    void markMixes();
    std::span<const Edge> children(quint32 node) const
    {
        return {edges.data() + nodes[node].firstChild, nodes[node].childCount};
    }
    quint32 child(quint32 node, char16_t ch) const;
    void boundary(quint8 rest, Weight weight, std::vector<Way> &out, Weight &accept) const;
    void advanceWord(quint32 node, char16_t ch, quint8 rest, Weight weight, std::vector<Way> &out, Weight &accept) const;
    void step(const std::vector<Way> &ways, char16_t ch, std::vector<Way> &out, Weight &accept) const;
    // The characters the ways can read next, sorted.
    void readable(const std::vector<Way> &ways, std::vector<char16_t> &out) const;
    Weight weightOf(QStringView text) const;
    int sync(const std::vector<Way> &ways, Weight accept, Weight &scale);
    int lookUp(const std::vector<Way> &ways, Weight accept, Weight &scale);
    // Every text that can follow a state and the states it reaches, by
    // length and weight, into the stores.
    void workOut(int state);
    void walkState(int state);
    void finishState(int state);
    std::span<const Bin> binsOf(Run run) const { return {binStore.data() + run.from, run.to - run.from}; }
    quint8 firstKinds(quint8 tail) const;
    // Whether ways inside words give texts apart from one another, save
    // where words below two nodes end together: no word below ends where
    // another goes on with the first character of what follows it.
    bool apart(const std::vector<Way> &ways) const;
    Run classesBelow(quint32 node);
    bool fits(quint32 length) const { return length >= rules.minimum && length <= rules.maximum; }
    long double chance(quint32 length, Weight weight) const;
};

quint8 StrengthModel::Model::tailOf(const std::string &tokens)
{
    const auto found = std::find(tails.begin(), tails.end(), tokens);
    if (found != tails.end())
        return quint8(found - tails.begin());
    const quint8 rest = tokens.empty() ? 0 : tailOf(tokens.substr(1));
    tails.push_back(tokens);
    tailRest.push_back(rest);
    return quint8(tails.size() - 1);
}

void StrengthModel::Model::addWords(const std::vector<std::pair<std::u16string_view, Weight>> &texts)
{
    // A text shares with the one before it the nodes of their common start
    // and adds the rest, so nodes come in preorder and the children of a
    // node by character.
    struct Link
    {
        quint32 parent;
        Edge edge;
    };
    std::vector<Link> links;
    std::vector<quint32> path{0}; // the nodes of the text before, by depth
    std::u16string_view previous;
    for (const auto &[text, weight] : texts) {
        std::size_t common = 0;
        while (common < previous.size() && common < text.size() && previous[common] == text[common])
            ++common;
        path.resize(common + 1);
        for (std::size_t i = common; i < text.size(); ++i) {
            const auto fresh = quint32(nodes.size());
            Node node;
            node.depth = quint32(i + 1);
            nodes.push_back(node);
            links.push_back({path.back(), {text[i], fresh}});
            path.push_back(fresh);
        }
        nodes[path.back()].weight = weight;
        previous = text;
    }
    for (const Link &link : links)
        ++nodes[link.parent].childCount;
    quint32 first = 0;
    for (Node &node : nodes) {
        node.firstChild = first;
        first += node.childCount;
    }
    edges.resize(links.size());
    std::vector<quint32> filled(nodes.size(), 0);
    for (const Link &link : links)
        edges[nodes[link.parent].firstChild + filled[link.parent]++] = link.edge;
}

void StrengthModel::Model::markMixes()
{
    std::vector<bool> firstOfWord(0x10000, false);
    for (const Edge &edge : children(0))
        firstOfWord[edge.ch] = true;
    std::vector<quint32> parent(nodes.size(), 0);
    for (quint32 i = 0; i < nodes.size(); ++i) {
        nodes[i].end = i + 1;
        for (const Edge &edge : children(i))
            parent[edge.node] = i;
    }
    // A child's index is above its parent's, so one pass from the end sees
    // every subtree before its root.
    for (quint32 i = quint32(nodes.size()) - 1; i > 0; --i) {
        quint8 own = 0;
        for (const Edge &edge : children(i)) {
            const quint8 kinds = (firstOfWord[edge.ch] ? 1 : 0) | (edge.ch >= u'1' && edge.ch <= u'9' ? 2 : 0)
                | (isSpecial(edge.ch) ? 4 : 0);
            nodes[i].charsBelow |= kinds;
            own |= nodes[i].weight != 0 ? kinds : 0;
        }
        Node &up = nodes[parent[i]];
        up.mixBelow |= quint8(own | nodes[i].mixBelow);
        up.charsBelow |= nodes[i].charsBelow;
        up.end = std::max(up.end, nodes[i].end);
    }
}

quint32 StrengthModel::Model::child(quint32 node, char16_t ch) const
{
    const std::span<const Edge> edges = children(node);
    if (edges.size() <= 8) {
        for (const Edge &edge : edges) {
            if (edge.ch >= ch)
                return edge.ch == ch ? edge.node : 0;
        }
        return 0;
    }
    const auto found = std::lower_bound(edges.begin(), edges.end(), ch, [](const Edge &edge, char16_t c) { return edge.ch < c; });
    return found != edges.end() && found->ch == ch ? found->node : 0;
}

void StrengthModel::Model::boundary(quint8 rest, Weight weight, std::vector<Way> &out, Weight &accept) const
{
    if (rest == 0)
        accept += weight;
    else
        out.push_back({AtStart, rest, 0, weight});
}

void StrengthModel::Model::advanceWord(quint32 node, char16_t ch, quint8 rest, Weight weight, std::vector<Way> &out,
                                       Weight &accept) const
{
    const quint32 next = child(node, ch);
    if (next == 0)
        return;
    if (nodes[next].childCount != 0)
        out.push_back({InWord, rest, next, weight});
    if (nodes[next].weight != 0)
        boundary(rest, weight * nodes[next].weight, out, accept);
}

void StrengthModel::Model::step(const std::vector<Way> &ways, char16_t ch, std::vector<Way> &out, Weight &accept) const
{
    for (const Way &way : ways) {
        switch (way.kind) {
        case AtStart: {
            const char token = tails[way.tail][0];
            const quint8 rest = tailRest[way.tail];
            if (token == 'W') {
                advanceWord(0, ch, rest, way.weight, out, accept);
            } else if (token == 'N') {
                if (ch >= u'1' && ch <= u'9') {
                    out.push_back({InNumber, rest, 0, way.weight});
                    boundary(rest, way.weight, out, accept);
                }
            } else if (isSpecial(ch)) {
                boundary(rest, way.weight, out, accept);
            }
            break;
        }
        case InWord:
            advanceWord(way.node, ch, way.tail, way.weight, out, accept);
            break;
        case InNumber:
            if (ch >= u'0' && ch <= u'9')
                boundary(way.tail, way.weight, out, accept);
            break;
        }
    }
    mergeWays(out);
}

void StrengthModel::Model::readable(const std::vector<Way> &ways, std::vector<char16_t> &out) const
{
    for (const Way &way : ways) {
        const char token = way.kind == AtStart ? tails[way.tail][0] : way.kind == InWord ? 'W' : 'D';
        if (token == 'W') {
            for (const Edge &edge : children(way.kind == AtStart ? 0 : way.node))
                out.push_back(edge.ch);
        } else if (token == 'N' || token == 'D') {
            for (char16_t ch = token == 'N' ? u'1' : u'0'; ch <= u'9'; ++ch)
                out.push_back(ch);
        } else {
            for (char16_t ch = firstSpecial; ch <= lastSpecial; ++ch)
                out.push_back(ch);
        }
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
}

Weight StrengthModel::Model::weightOf(QStringView text) const
{
    std::vector<Way> ways = start;
    std::vector<Way> next;
    Weight accept = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (ways.empty())
            return 0;
        next.clear();
        accept = 0;
        step(ways, text[i].unicode(), next, accept);
        ways.swap(next);
    }
    return accept;
}

int StrengthModel::Model::sync(const std::vector<Way> &ways, Weight accept, Weight &scale)
{
    // The state asked for last comes again and again: after each word of a
    // walk that ends like the one before.
    const auto same = [](const Way &a, const Way &b) { return a.place() == b.place() && a.weight == b.weight; };
    if (accept == lastAccept && std::equal(ways.begin(), ways.end(), lastWays.begin(), lastWays.end(), same)) {
        scale = lastScale;
        return lastState;
    }
    const int state = lookUp(ways, accept, scale);
    lastWays = ways;
    lastAccept = accept;
    lastScale = scale;
    lastState = state;
    return state;
}

int StrengthModel::Model::lookUp(const std::vector<Way> &ways, Weight accept, Weight &scale)
{
    Weight divisor = accept;
    for (const Way &way : ways) {
        if (divisor == 1)
            break;
        divisor = commonDivisor(divisor, way.weight);
    }
    scale = divisor;
    std::vector<Weight> &key = syncKey;
    key.clear();
    key.push_back(accept / divisor);
    for (const Way &way : ways) {
        key.push_back(way.place());
        key.push_back(way.weight / divisor);
    }
    if (const auto found = syncIndex.find(key); found != syncIndex.end())
        return found->second;
    std::vector<Way> scaled = ways;
    for (Way &way : scaled)
        way.weight /= divisor;
    const bool atStart = std::all_of(ways.begin(), ways.end(), [](const Way &way) { return way.kind == AtStart; });
    const int index = int(states.size());
    states.push_back({std::move(scaled), accept / divisor, Status::Waiting});
    stateBins.emplace_back();
    stateLater.emplace_back();
    stateAtStart.push_back(atStart);
    walked.emplace_back();
    syncIndex.emplace(key, index);
    return index;
}

quint8 StrengthModel::Model::firstKinds(quint8 tail) const
{
    if (tail == 0)
        return 0;
    const char token = tails[tail][0];
    return token == 'W' ? 1 : token == 'N' ? 2 : 4;
}

bool StrengthModel::Model::apart(const std::vector<Way> &ways) const
{
    for (const Way &way : ways) {
        if (way.kind != InWord)
            return false;
        const quint8 kinds = firstKinds(way.tail);
        if ((nodes[way.node].mixBelow & kinds) != 0)
            return false;
        for (const Way &other : ways) {
            if (other.node != way.node && (nodes[other.node].charsBelow & kinds) != 0)
                return false;
        }
    }
    return true;
}

Run StrengthModel::Model::classesBelow(quint32 node)
{
    if (classRuns.empty())
        classRuns.assign(nodes.size(), Run{});
    if (classRuns[node].known)
        return classRuns[node];
    std::vector<std::pair<quint32, Weight>> &words = classScratch;
    words.clear();
    for (quint32 at = node + 1; at < nodes[node].end; ++at) {
        if (nodes[at].weight != 0)
            words.emplace_back(nodes[at].depth, nodes[at].weight);
    }
    std::sort(words.begin(), words.end());
    const std::size_t from = binStore.size();
    for (const auto &[depth, weight] : words) {
        if (binStore.size() > from && binStore.back().length == depth && binStore.back().weight == weight)
            ++binStore.back().count;
        else
            binStore.push_back({depth, weight, 1});
    }
    return classRuns[node] = Run{from, binStore.size(), true};
}

void StrengthModel::Model::workOut(int root)
{
    std::vector<std::pair<int, bool>> tasks{{root, false}}; // a state, and whether to finish it
    while (!tasks.empty()) {
        const auto [state, finish] = tasks.back();
        tasks.pop_back();
        if (finish) {
            finishState(state);
            continue;
        }
        if (states[std::size_t(state)].status != Status::Waiting)
            continue;
        walkState(state);
        tasks.emplace_back(state, true);
        const Run reached = walked[std::size_t(state)].second;
        for (std::size_t i = reached.from; i < reached.to; ++i) {
            const int next = reachedStore[i].first.state;
            if (states[std::size_t(next)].status == Status::Waiting)
                tasks.emplace_back(next, false);
        }
    }
}

void StrengthModel::Model::walkState(int state)
{
    // The ways are copied: walking adds states.
    const std::vector<Way> first = states[std::size_t(state)].ways;
    const Weight accept = states[std::size_t(state)].accept;
    states[std::size_t(state)].status = Status::Walked;
    // Counts may go below zero on the way: texts that a state at a token
    // start gives are taken whole and those that go on otherwise are taken
    // back.
    BinMap &texts = walk.texts;
    texts.clear();
    if (accept != 0)
        ++texts[{0, accept}];
    Tally<Later, LaterHash> &later = walk.later;
    later.clear();
    std::vector<Frame> &stack = walk.stack;
    std::vector<std::vector<Way>> &spare = walk.spare;
    const auto buffer = [&spare] {
        std::vector<Way> ways;
        if (!spare.empty()) {
            ways = std::move(spare.back());
            spare.pop_back();
            ways.clear();
        }
        return ways;
    };
    stack.clear();
    stack.push_back({buffer(), 0, 1});
    stack.back().ways.assign(first.begin(), first.end());
    std::vector<char16_t> &characters = walk.characters;
    std::vector<Way> &next = walk.next;
    std::vector<Way> &starts = walk.starts;
    std::vector<Way> &rest = walk.rest;
    std::vector<Way> &after = walk.after;

    // Where the texts after one character go: a final text, a state with a
    // token start in it, the words below one node counted by class, or a
    // frame to walk; taken whole, a frame is a state worked out once. A state
    // with a token start is worked out once: the words that begin others
    // (sun, sunset) lead to the same states again and again, one for each
    // such pair, and each would walk the words after it anew.
    const auto take = [&](std::vector<Way> &ways, Weight ends, quint32 depth, qint64 sign, bool whole = false) {
        spend(1);
        if (ways.empty()) {
            if (ends != 0)
                texts[{depth, ends}] += sign;
            return;
        }
        if (std::any_of(ways.begin(), ways.end(), [](const Way &way) { return way.kind == AtStart; })) {
            Weight scale = 1;
            const int state = sync(ways, ends, scale);
            later[{state, depth, scale}] += sign;
            return;
        }
        if (ends != 0)
            texts[{depth, ends}] += sign;
        const quint32 node = ways.front().node;
        const bool oneNode = std::all_of(ways.begin(), ways.end(), [&](const Way &way) {
            return way.kind == InWord && way.node == node;
        });
        if (oneNode) {
            // No word below ends where another goes on with a character that
            // can follow it, so every word below gives texts of its own:
            // count them by length and weight.
            quint8 kinds = 0;
            after.clear();
            Weight afterEnds = 0;
            for (const Way &way : ways) {
                if (way.tail != 0) {
                    const char token = tails[way.tail][0];
                    kinds |= token == 'W' ? 1 : token == 'N' ? 2 : 4;
                }
                boundary(way.tail, way.weight, after, afterEnds);
            }
            if ((nodes[node].mixBelow & kinds) == 0) {
                const Run classes = classesBelow(node);
                const quint32 base = depth - nodes[node].depth;
                if (after.empty()) {
                    for (const Bin &word : binsOf(classes))
                        texts[{base + word.length, afterEnds * word.weight}] += sign * qint64(word.count);
                    return;
                }
                mergeWays(after);
                Weight scale = 1;
                const int state = sync(after, afterEnds, scale);
                // The store may have grown meanwhile.
                for (const Bin &word : binsOf(classes))
                    later[{state, base + word.length, scale * word.weight}] += sign * qint64(word.count);
                return;
            }
        }
        if (whole || (oneNode && nodes[node].depth == 1)) {
            Weight scale = 1;
            const int state = sync(ways, 0, scale);
            later[{state, depth, scale}] += sign;
            return;
        }
        std::vector<Way> kept = buffer();
        kept.assign(ways.begin(), ways.end());
        stack.push_back({std::move(kept), depth, sign});
    };

    // Ways inside words apart from one another: the words below each node
    // counted by class, and where words below two or more nodes end
    // together, the texts they give taken back and counted as one.
    std::vector<Frame> &together = walk.together;
    std::vector<Way> &ending = walk.ending;
    std::vector<Way> &alone = walk.alone;
    const auto countApart = [&](std::vector<Way> &&ways, quint32 depth, qint64 sign) {
        std::sort(ways.begin(), ways.end(), [](const Way &a, const Way &b) { return a.node < b.node; });
        for (std::size_t from = 0; from < ways.size();) {
            std::size_t to = from + 1;
            while (to < ways.size() && ways[to].node == ways[from].node)
                ++to;
            walk.group.assign(ways.begin() + std::ptrdiff_t(from), ways.begin() + std::ptrdiff_t(to));
            take(walk.group, 0, depth, sign);
            from = to;
        }
        together.push_back({std::move(ways), depth, sign});
        while (!together.empty()) {
            Frame at = std::move(together.back());
            together.pop_back();
            characters.clear();
            quint32 last = 0;
            for (const Way &way : at.ways) {
                if (way.node == last)
                    continue;
                last = way.node;
                for (const Edge &edge : children(way.node))
                    characters.push_back(edge.ch);
            }
            std::sort(characters.begin(), characters.end());
            for (std::size_t i = 0; i + 1 < characters.size(); ++i) {
                const char16_t ch = characters[i];
                if (characters[i + 1] != ch)
                    continue;
                while (i + 1 < characters.size() && characters[i + 1] == ch)
                    ++i;
                std::vector<Way> deeper = buffer();
                int ends = 0, nodesDeeper = 0;
                quint32 previous = 0;
                ending.clear();
                Weight accept = 0;
                for (const Way &way : at.ways) {
                    const quint32 next = child(way.node, ch);
                    if (next == 0)
                        continue;
                    const bool first = way.node != previous;
                    previous = way.node;
                    if (nodes[next].childCount != 0) {
                        deeper.push_back({InWord, way.tail, next, way.weight});
                        nodesDeeper += first ? 1 : 0;
                    }
                    if (nodes[next].weight != 0) {
                        ends += first ? 1 : 0;
                        boundary(way.tail, way.weight * nodes[next].weight, ending, accept);
                    }
                }
                if (ends >= 2) {
                    mergeWays(ending);
                    take(ending, accept, at.depth + 1, at.sign);
                    previous = 0;
                    for (std::size_t k = 0; k < at.ways.size();) {
                        const Way &way = at.ways[k];
                        const quint32 next = child(way.node, ch);
                        std::size_t end = k + 1;
                        while (end < at.ways.size() && at.ways[end].node == way.node)
                            ++end;
                        if (next != 0 && nodes[next].weight != 0) {
                            alone.clear();
                            Weight aloneEnds = 0;
                            for (std::size_t g = k; g < end; ++g)
                                boundary(at.ways[g].tail, at.ways[g].weight * nodes[next].weight, alone, aloneEnds);
                            mergeWays(alone);
                            take(alone, aloneEnds, at.depth + 1, -at.sign);
                        }
                        k = end;
                    }
                }
                if (nodesDeeper >= 2)
                    together.push_back({std::move(deeper), at.depth + 1, at.sign});
                else
                    spare.push_back(std::move(deeper));
            }
            spare.push_back(std::move(at.ways));
        }
    };

    Frame frame{};
    while (!stack.empty()) {
        if (frame.ways.capacity() != 0)
            spare.push_back(std::move(frame.ways));
        frame = std::move(stack.back());
        stack.pop_back();
        if (frame.ways.size() > 1 && apart(frame.ways)) {
            countApart(std::move(frame.ways), frame.depth, frame.sign);
            continue;
        }
        // Ways at different places (a token start, a node of the tree, a
        // number) give different texts unless they read the same character.
        // The widest place (a token start, or else the node with the most
        // children) is taken whole, from the states worked out once; the
        // walk then follows only what the others read, and takes back what
        // that place gave there.
        const auto placeOf = [](const Way &way) {
            return way.kind == AtStart ? quint64(0) : quint64(way.kind) << 40 | way.node;
        };
        std::optional<quint64> cheapest;
        std::size_t widest = 0;
        for (const Way &way : frame.ways) {
            const quint64 place = placeOf(way);
            if (place == cheapest)
                continue;
            std::size_t width = 0;
            if (way.kind == AtStart) {
                width = 0x10000; // every character a word can start with
            } else if (way.kind == InWord) {
                width = nodes[way.node].childCount;
            }
            if (width > widest) {
                widest = width;
                cheapest = place;
            }
        }
        starts.clear();
        rest.clear();
        for (const Way &way : frame.ways)
            (cheapest && placeOf(way) == *cheapest ? starts : rest).push_back(way);
        const quint32 depth = frame.depth + 1;
        characters.clear();
        if (rest.empty() && frame.ways.front().kind == InWord) {
            // Inside the words below one node: each child read in turn.
            for (const Edge &edge : children(frame.ways.front().node)) {
                const Node &below = nodes[edge.node];
                next.clear();
                Weight ends = 0;
                for (const Way &way : frame.ways) {
                    if (below.childCount != 0)
                        next.push_back({InWord, way.tail, edge.node, way.weight});
                    if (below.weight != 0)
                        boundary(way.tail, way.weight * below.weight, next, ends);
                }
                mergeWays(next);
                take(next, ends, depth, frame.sign);
            }
            continue;
        }
        if (rest.empty() || starts.empty()) {
            readable(frame.ways, characters);
            for (const char16_t ch : characters) {
                next.clear();
                Weight ends = 0;
                step(frame.ways, ch, next, ends);
                take(next, ends, depth, frame.sign);
            }
            continue;
        }
        walk.part.assign(starts.begin(), starts.end());
        take(walk.part, 0, frame.depth, frame.sign, true);
        // What the others add to the place taken whole: the two read side
        // by side, as long as the others are inside a word or a number.
        std::vector<Pair> &pairs = walk.pairs;
        pairs.push_back({buffer(), buffer(), frame.depth, frame.sign});
        pairs.back().others.assign(rest.begin(), rest.end());
        pairs.back().whole.assign(starts.begin(), starts.end());
        while (!pairs.empty()) {
            Pair at = std::move(pairs.back());
            pairs.pop_back();
            if (std::any_of(at.others.begin(), at.others.end(), [](const Way &way) { return way.kind == AtStart; })) {
                next.assign(at.others.begin(), at.others.end());
                next.insert(next.end(), at.whole.begin(), at.whole.end());
                mergeWays(next);
                take(next, 0, at.depth, at.sign);
                take(at.whole, 0, at.depth, -at.sign, true);
            } else {
                characters.clear();
                readable(at.others, characters);
                for (const char16_t ch : characters) {
                    spend(1);
                    std::vector<Way> others = buffer(), whole = buffer();
                    Weight othersEnd = 0, wholeEnd = 0;
                    step(at.others, ch, others, othersEnd);
                    step(at.whole, ch, whole, wholeEnd);
                    if (othersEnd != 0) {
                        texts[{at.depth + 1, othersEnd + wholeEnd}] += at.sign;
                        if (wholeEnd != 0)
                            texts[{at.depth + 1, wholeEnd}] -= at.sign;
                    }
                    if (!others.empty() && whole.empty())
                        take(others, 0, at.depth + 1, at.sign);
                    if (!others.empty() && !whole.empty()) {
                        pairs.push_back({std::move(others), std::move(whole), at.depth + 1, at.sign});
                        continue;
                    }
                    spare.push_back(std::move(others));
                    spare.push_back(std::move(whole));
                }
            }
            spare.push_back(std::move(at.others));
            spare.push_back(std::move(at.whole));
        }
    }
    Run counts{countStore.size(), 0, true};
    texts.forEach([&](const std::pair<quint64, Weight> &key, qint64 count) {
        if (count != 0)
            countStore.push_back({quint32(key.first), key.second, count});
    });
    counts.to = countStore.size();
    Run reached{reachedStore.size(), 0, true};
    later.forEach([&](const Later &at, qint64 count) {
        if (count != 0)
            reachedStore.emplace_back(at, count);
    });
    reached.to = reachedStore.size();
    walked[std::size_t(state)] = {counts, reached};
}

void StrengthModel::Model::finishState(int state)
{
    // A state of token starts only counts every text; another leaves the
    // states of token starts it reaches to the state that asked for it.
    const bool whole = stateAtStart[std::size_t(state)];
    BinMap &texts = walk.texts;
    texts.clear();
    Tally<Later, LaterHash> &hoisted = walk.hoisted;
    hoisted.clear();
    const auto [counts, reached] = walked[std::size_t(state)];
    for (std::size_t i = counts.from; i < counts.to; ++i)
        texts[{countStore[i].length, countStore[i].weight}] += countStore[i].count;
    for (std::size_t i = reached.from; i < reached.to; ++i) {
        const auto &[at, count] = reachedStore[i];
        if (!whole && stateAtStart[std::size_t(at.state)]) {
            hoisted[at] += count;
            continue;
        }
        spend(binsOf(stateBins[std::size_t(at.state)]).size());
        for (const Bin &bin : binsOf(stateBins[std::size_t(at.state)]))
            texts[{at.offset + bin.length, at.scale * bin.weight}] += count * qint64(bin.count);
        const Run after = stateLater[std::size_t(at.state)];
        for (std::size_t i = after.from; i < after.to; ++i) {
            const auto &[inner, times] = laterStore[i];
            const Later composed{inner.state, at.offset + inner.offset, at.scale * inner.scale};
            if (!whole) {
                hoisted[composed] += count * times;
                continue;
            }
            spend(binsOf(stateBins[std::size_t(inner.state)]).size());
            for (const Bin &bin : binsOf(stateBins[std::size_t(inner.state)]))
                texts[{composed.offset + bin.length, composed.scale * bin.weight}] += count * times * qint64(bin.count);
        }
    }
    Run &laterRun = stateLater[std::size_t(state)];
    laterRun = {laterStore.size(), 0, true};
    hoisted.forEach([&](const Later &at, qint64 count) {
        if (count != 0)
            laterStore.emplace_back(at, count);
    });
    laterRun.to = laterStore.size();
    Run &bins = stateBins[std::size_t(state)];
    bins = {binStore.size(), 0, true};
    texts.forEach([&](const std::pair<quint64, Weight> &key, qint64 count) {
        if (count != 0)
            binStore.push_back({quint32(key.first), key.second, quint64(count)});
    });
    bins.to = binStore.size();
    states[std::size_t(state)].status = Status::Finished;
}

long double StrengthModel::Model::chance(quint32 length, Weight weight) const
{
    const long double candidate = (long double)weight / denominator;
    if (threshold)
        return fits(length) && weight <= *threshold ? candidate / accepted : 0;
    return candidate * (fits(length) ? fitFactor : otherFactor);
}

StrengthModel::StrengthModel(const WordPool &pool, const PasswordRules &rules, std::size_t workLimit)
    : m_model(std::make_unique<Model>())
{
    Model &m = *m_model;
    m.rules = rules;
    m.workLimit = workLimit;
    // Entry k is drawn when r * N rounds to k: the ends half as often.
    const qsizetype n = pool.size();
    const Weight whole = n == 0 ? 1 : Weight(2 * n);
    // Every entry's text, then sorted, equal texts added together. The
    // texts sit one after another in one buffer.
    std::array<char16_t, 256> characters;
    const CodePage &page = CodePage::system();
    for (int code = 0; code < 256; ++code) {
        QString character{QChar(page.toChar(quint8(code)))};
        if (rules.letterReplacement)
            SuggestionEngine::replaceletters(character);
        characters[std::size_t(code)] = character.front().unicode();
    }
    std::u16string buffer;
    std::vector<Text> texts;
    texts.reserve(std::size_t(n));
    Weight empty = 0;
    for (qsizetype k = 0; k <= n; ++k) {
        const Weight weight = n == 0 || k == 0 || k == n ? 1 : 2;
        QByteArrayView codes = pool.codes(k);
        while (codes.startsWith(' '))
            codes = codes.sliced(1);
        while (codes.endsWith(' '))
            codes.chop(1);
        if (codes.isEmpty()) {
            empty += weight;
            continue;
        }
        const std::size_t from = buffer.size();
        bool plain = true;
        for (const char code : codes) {
            const char16_t ch = characters[quint8(code)];
            plain = plain && ch < 0x80;
            buffer.push_back(ch);
        }
        if (rules.letterCase != PasswordRules::Case::Keep) {
            const bool upper = rules.letterCase == PasswordRules::Case::Upper;
            if (plain) {
                const char16_t first = upper ? u'a' : u'A';
                for (std::size_t i = from; i < buffer.size(); ++i) {
                    if (buffer[i] >= first && buffer[i] <= first + 25)
                        buffer[i] ^= 0x20;
                }
            } else {
                // Beyond ASCII a letter may change length (upper-case sharp s is "SS").
                QString text = QStringView(buffer.data() + from, qsizetype(buffer.size() - from)).toString();
                changeCase(text, upper);
                buffer.resize(from);
                buffer.append(QStringView(text).utf16(), std::size_t(text.size()));
            }
        }
        quint64 start = 0;
        for (std::size_t i = 0; i < 4; ++i)
            start = start << 16 | (from + i < buffer.size() ? buffer[from + i] : 0);
        texts.push_back({from, buffer.size() - from, weight, start});
    }
    const auto view = [&buffer](const Text &text) { return std::u16string_view(buffer).substr(text.from, text.length); };
    std::sort(texts.begin(), texts.end(),
              [&](const Text &a, const Text &b) { return a.start != b.start ? a.start < b.start : view(a) < view(b); });
    std::vector<std::pair<std::u16string_view, Weight>> words;
    words.reserve(texts.size());
    for (const Text &text : texts) {
        if (!words.empty() && words.back().first == view(text))
            words.back().second += text.weight;
        else
            words.emplace_back(view(text), text.weight);
    }
    m.nodes.reserve(buffer.size() + 1);
    m.addWords(words);
    m.hasWords = !words.empty();
    m.markMixes();

    // Out of five drop numbers, 3 empties the first word and 4 the second;
    // the arrangement is one of three; with special characters, of eight.
    const Weight oneWord = 3 * empty + whole;
    const Weight noWord = 3 * empty * empty + 2 * empty * whole;
    struct Shape
    {
        const char *tokens;
        Weight weight;
    };
    const std::vector<Shape> shapes = rules.specialCharacters
        ? std::vector<Shape>{{"WNWS", 3}, {"WSWN", 3}, {"NWSW", 3}, {"WNS", oneWord}, {"WSN", oneWord},
                             {"NSW", oneWord}, {"NWS", 2 * oneWord}, {"SWN", oneWord}, {"NS", 2 * noWord},
                             {"SN", noWord}}
        : std::vector<Shape>{{"WNW", 1}, {"WWN", 1}, {"NWW", 1}, {"WN", oneWord}, {"NW", oneWord}, {"N", noWord}};
    for (const Shape &shape : shapes)
        m.start.push_back({AtStart, m.tailOf(shape.tokens), 0, shape.weight});
    mergeWays(m.start);
    m.denominator = 5.0L * whole * whole * 99 * (rules.specialCharacters ? 24 : 1);

    Weight scale = 1;
    const int root = m.sync(m.start, 0, scale);
    try {
        m.workOut(root);
        const std::span<const Bin> all = m.binsOf(m.stateBins[std::size_t(root)]);
        m.bins.assign(all.begin(), all.end());
        for (Bin &bin : m.bins)
            bin.weight *= scale;
    } catch (const TooMuchWork &) {
        m.workedOut = false;
    }
    m.binStore = {};
    m.stateBins = {};
    m.syncIndex = {};
    m.classRuns = {};
    m.states = {};
    m.countStore = {};
    m.reachedStore = {};
    m.walked = {};
    m.laterStore = {};
    m.stateLater = {};
    m.stateAtStart = {};
    m.walk = {};
    m.lastWays = {};

    for (const Bin &bin : m.bins) {
        if (m.fits(bin.length))
            m.fitting += (long double)bin.count * bin.weight / m.denominator;
    }
    if (m.fitting > 0) {
        // The first 1499 candidates are tested; the 1500th is returned as is.
        const long double none = std::exp((long double)(attemptLimit - 1) * std::log1p(-std::min(m.fitting, 1.0L)));
        m.fitFactor = none + (1 - none) / m.fitting;
        m.otherFactor = none;
    }
    updateFigures();
}

StrengthModel::~StrengthModel() = default;

bool StrengthModel::hasWords() const { return m_model->hasWords; }

bool StrengthModel::workedOut() const { return m_model->workedOut; }

bool StrengthModel::anyFits() const { return m_model->fitting > 0; }

void StrengthModel::updateFigures()
{
    const Model &m = *m_model;
    struct Group
    {
        long double chance;
        long double count;
    };
    std::vector<Group> groups;
    for (const Bin &bin : m.bins) {
        if (const long double chance = m.chance(bin.length, bin.weight); chance > 0)
            groups.push_back({chance, (long double)bin.count});
    }
    std::sort(groups.begin(), groups.end(), [](const Group &a, const Group &b) { return a.chance > b.chance; });
    long double entropy = 0, distinct = 0, guesses = 0;
    for (const Group &group : groups) {
        entropy -= group.count * group.chance * std::log2(group.chance);
        guesses += group.chance * (group.count * distinct + group.count * (group.count + 1) / 2);
        distinct += group.count;
    }
    m_figures.entropy = double(entropy);
    m_figures.minEntropy = groups.empty() ? 0 : double(-std::log2(groups.front().chance));
    m_figures.distinct = double(distinct);
    m_figures.averageGuesses = double(guesses);

    // Passwords of one word or none: each such candidate counted with the
    // chance that a candidate of its length is returned. Under a floor the
    // rare texts that another candidate makes too are counted as if it did
    // not.
    QHash<std::pair<quint32, Weight>, long double> words; // by length and weight
    for (const Node &node : m.nodes) {
        if (node.weight != 0)
            words[{node.depth, node.weight}] += 1;
    }
    long double share = 0;
    const int extra = m.rules.specialCharacters ? 1 : 0;
    for (const Way &way : m.start) {
        const std::string &tokens = m.tails[way.tail];
        if (std::count(tokens.begin(), tokens.end(), 'W') > 1)
            continue;
        const bool oneWord = tokens.find('W') != std::string::npos;
        for (const int digits : {1, 2}) {
            const int numbers = digits == 1 ? 9 : 90;
            if (!oneWord) {
                const auto length = quint32(digits + extra);
                share += numbers * (extra ? 8 : 1) * m.chance(length, way.weight);
                continue;
            }
            for (auto it = words.cbegin(); it != words.cend(); ++it) {
                const auto length = quint32(it.key().first + digits + extra);
                share += numbers * (extra ? 8 : 1) * it.value() * m.chance(length, way.weight * it.key().second);
            }
        }
    }
    m_figures.oneWordShare = double(share);
}

std::optional<double> StrengthModel::highestFloor() const
{
    const Model &m = *m_model;
    std::vector<std::pair<Weight, long double>> fitting;
    for (const Bin &bin : m.bins) {
        if (m.fits(bin.length))
            fitting.emplace_back(bin.weight, (long double)bin.count * bin.weight);
    }
    std::sort(fitting.begin(), fitting.end());
    std::optional<double> best;
    long double below = 0;
    for (std::size_t i = 0; i < fitting.size(); ++i) {
        below += fitting[i].second;
        if (i + 1 < fitting.size() && fitting[i + 1].first == fitting[i].first)
            continue;
        if (below / m.denominator * attemptLimit < 1)
            continue;
        const double reach = double(std::log2(below / fitting[i].first));
        if (!best || reach > *best)
            best = reach;
    }
    return best;
}

bool StrengthModel::setFloor(double bits)
{
    Model &m = *m_model;
    clearFloor();
    std::vector<std::pair<Weight, long double>> fitting;
    for (const Bin &bin : m.bins) {
        if (m.fits(bin.length))
            fitting.emplace_back(bin.weight, (long double)bin.count * bin.weight);
    }
    std::sort(fitting.begin(), fitting.end());
    long double below = 0;
    for (std::size_t i = 0; i < fitting.size(); ++i) {
        below += fitting[i].second;
        if (i + 1 < fitting.size() && fitting[i + 1].first == fitting[i].first)
            continue;
        if (below / m.denominator * attemptLimit >= 1 && double(std::log2(below / fitting[i].first)) >= bits) {
            m.threshold = fitting[i].first; // the largest so far that works
            m.accepted = below / m.denominator;
        }
    }
    if (!m.threshold)
        return false;
    m_floor = bits;
    updateFigures();
    return true;
}

void StrengthModel::clearFloor()
{
    if (!m_floor)
        return;
    m_floor.reset();
    m_model->threshold.reset();
    updateFigures();
}

std::optional<double> StrengthModel::bits(QStringView text) const
{
    if (!m_model->workedOut)
        return std::nullopt;
    const Weight weight = m_model->weightOf(text);
    const long double chance = weight == 0 ? 0 : m_model->chance(quint32(text.size()), weight);
    if (chance <= 0)
        return std::nullopt;
    return double(-std::log2(chance));
}

bool StrengthModel::accepts(QStringView candidate) const
{
    const Model &m = *m_model;
    if (!m.fits(quint32(candidate.size())))
        return false;
    return !m.threshold || m.weightOf(candidate) <= *m.threshold;
}

double StrengthModel::candidateChance(QStringView text) const
{
    return double((long double)m_model->weightOf(text) / m_model->denominator);
}

QString strengthVerdict(double bits)
{
    if (bits < 40)
        return QStringLiteral("weak");
    if (bits < 60)
        return QStringLiteral("fair");
    if (bits < 80)
        return QStringLiteral("strong");
    return QStringLiteral("very strong");
}

} // namespace lexiglow
