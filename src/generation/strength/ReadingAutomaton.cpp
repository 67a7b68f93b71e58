#include "generation/strength/ReadingAutomaton.h"

#include <algorithm>

namespace lexiglow {
namespace strength {

namespace {

using Grammar = CandidateGrammar;

// A number token reads a first digit 1-9 and then at most one digit more.
static_assert(Grammar::lowestNumber == 1 && Grammar::highestNumber == 99,
              "the reading automaton reads the numbers 1 to 99; teach it the new range");

bool isFirstDigit(char16_t ch) { return ch >= u'1' && ch <= u'9'; }
bool isDigit(char16_t ch) { return ch >= u'0' && ch <= u'9'; }

} // namespace

void merge(std::vector<Position> &positions)
{
    if (positions.size() < 2)
        return;
    // Few positions as a rule: sorted by insertion.
    const auto byPlace = [](const Position &a, const Position &b) { return a.place() < b.place(); };
    if (positions.size() > 16)
        std::sort(positions.begin(), positions.end(), byPlace);
    for (std::size_t i = 1; i < positions.size(); ++i) {
        const Position position = positions[i];
        std::size_t at = i;
        for (; at > 0 && positions[at - 1].place() > position.place(); --at)
            positions[at] = positions[at - 1];
        positions[at] = position;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        if (kept > 0 && positions[kept - 1].place() == positions[i].place())
            positions[kept - 1].weight += positions[i].weight;
        else
            positions[kept++] = positions[i];
    }
    positions.resize(kept);
}

ReadingAutomaton::ReadingAutomaton(const WordTree &tree, const std::vector<CandidateGrammar::Shape> &shapes)
    : m_tree(tree)
{
    for (const CandidateGrammar::Shape &shape : shapes)
        m_start.push_back({AtStart, tailOf(shape.tokens), 0, shape.weight});
    merge(m_start);
}

quint8 ReadingAutomaton::tailOf(const std::string &tokens)
{
    const auto found = std::find(m_tails.begin(), m_tails.end(), tokens);
    if (found != m_tails.end())
        return quint8(found - m_tails.begin());
    const quint8 rest = tokens.empty() ? 0 : tailOf(tokens.substr(1));
    m_tails.push_back(tokens);
    m_tailRest.push_back(rest);
    return quint8(m_tails.size() - 1);
}

quint8 ReadingAutomaton::startsOtherToken(char16_t ch)
{
    return quint8((isFirstDigit(ch) ? NumberToken : 0) | (Grammar::isSpecial(ch) ? SpecialToken : 0));
}

void ReadingAutomaton::step(const std::vector<Position> &positions, char16_t ch, std::vector<Position> &out,
                            Weight &accept) const
{
    for (const Position &position : positions) {
        switch (position.kind) {
        case AtStart: {
            const char token = m_tails[position.tail][0];
            const quint8 rest = m_tailRest[position.tail];
            if (token == 'W') {
                advanceWord(WordTree::root, ch, rest, position.weight, out, accept);
            } else if (token == 'N') {
                if (isFirstDigit(ch)) {
                    out.push_back({InNumber, rest, 0, position.weight});
                    boundary(rest, position.weight, out, accept);
                }
            } else if (Grammar::isSpecial(ch)) {
                boundary(rest, position.weight, out, accept);
            }
            break;
        }
        case InWord:
            advanceWord(position.node, ch, position.tail, position.weight, out, accept);
            break;
        case InNumber:
            if (isDigit(ch))
                boundary(position.tail, position.weight, out, accept);
            break;
        }
    }
    merge(out);
}

void ReadingAutomaton::readable(const std::vector<Position> &positions, std::vector<char16_t> &out) const
{
    for (const Position &position : positions) {
        const char token = position.kind == AtStart ? m_tails[position.tail][0]
            : position.kind == InWord               ? 'W'
                                                    : 'D';
        if (token == 'W') {
            for (const WordTree::Edge &edge : m_tree.children(position.kind == AtStart ? WordTree::root : position.node))
                out.push_back(edge.ch);
        } else if (token == 'N' || token == 'D') {
            for (char16_t ch = token == 'N' ? u'1' : u'0'; ch <= u'9'; ++ch)
                out.push_back(ch);
        } else {
            for (int choice = 1; choice <= Grammar::specialCount; ++choice)
                out.push_back(Grammar::specialCharacter(choice));
        }
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
}

Weight ReadingAutomaton::weightOf(QStringView text) const
{
    std::vector<Position> positions = m_start;
    std::vector<Position> next;
    Weight accept = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (positions.empty())
            return 0;
        next.clear();
        accept = 0;
        step(positions, text[i].unicode(), next, accept);
        positions.swap(next);
    }
    return accept;
}

bool ReadingAutomaton::apart(const std::vector<Position> &positions) const
{
    for (const Position &position : positions) {
        if (position.kind != InWord)
            return false;
        const quint8 kinds = firstKinds(position.tail);
        if ((m_tree.node(position.node).mixBelow & kinds) != 0)
            return false;
        for (const Position &other : positions) {
            if (other.node != position.node && (m_tree.node(other.node).charsBelow & kinds) != 0)
                return false;
        }
    }
    return true;
}

} // namespace strength
} // namespace lexiglow
