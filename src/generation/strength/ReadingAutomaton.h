#pragma once

#include "generation/CandidateGrammar.h"
#include "generation/strength/WordTree.h"

#include <QStringView>

#include <string>
#include <vector>

namespace lexiglow {
namespace strength {

// Where one way of reading the text so far stands, a state of the
// nondeterministic automaton, with the weight of the ways that stand there.
enum Kind : quint8 {
    AtStart, // at the start of the token that tail begins with
    InWord, // inside a word, at node of the word tree; tail follows the word
    InNumber, // after a number's first digit; tail follows the number
};

struct Position
{
    Kind kind;
    quint8 tail; // an index into the automaton's tails
    quint32 node;
    Weight weight;

    // Positions with the same place read alike and can be merged.
    quint64 place() const { return quint64(kind) << 40 | quint64(tail) << 32 | node; }
};

// Sorts positions by place and merges those at the same place, adding their
// weights.
void merge(std::vector<Position> &positions);

// The weighted automaton that reads a candidate's text character by
// character. It starts at the first token of each of the grammar's shapes,
// with the shape's weight. A word token walks the word tree and multiplies
// in a word's weight where one ends; a number token reads 1 to 99; a special
// token reads one special character. Reading a character takes a set of
// positions to the next set (merged by place); the weight of the ways that
// read the last token's last character is the weight of the text.
class ReadingAutomaton final
{
public:
    ReadingAutomaton(const WordTree &tree, const std::vector<CandidateGrammar::Shape> &shapes);
    Q_DISABLE_COPY_MOVE(ReadingAutomaton)

    const WordTree &tree() const { return m_tree; }
    // One position at the start of each shape, before the first character.
    const std::vector<Position> &start() const { return m_start; }

    // The tokens of a tail ("NW": number, then word); the empty tail is 0.
    const std::string &tokens(quint8 tail) const { return m_tails[tail]; }
    // The tail after a tail's first token.
    quint8 rest(quint8 tail) const { return m_tailRest[tail]; }
    // The TokenKind of a tail's first token; none for the empty tail.
    quint8 firstKinds(quint8 tail) const
    {
        if (tail == 0)
            return 0;
        const char token = m_tails[tail][0];
        return token == 'W' ? WordToken : token == 'N' ? NumberToken : SpecialToken;
    }

    // A token ends with weight: with nothing after it the text is accepted,
    // and weight goes to accept; else a position at the start of rest.
    void boundary(quint8 rest, Weight weight, std::vector<Position> &out, Weight &accept) const
    {
        if (rest == 0)
            accept += weight;
        else
            out.push_back({AtStart, rest, 0, weight});
    }
    // Reads ch from positions: the positions after it into out, merged, and
    // the weight of the ways that end the text with it into accept.
    void step(const std::vector<Position> &positions, char16_t ch, std::vector<Position> &out, Weight &accept) const;
    // The characters the positions can read next, sorted, without repeats.
    void readable(const std::vector<Position> &positions, std::vector<char16_t> &out) const;
    // The weight of every way of reading text whole: 0 when there is none.
    Weight weightOf(QStringView text) const;

    // Whether positions inside words give texts apart from one another, save
    // where words below two nodes end together: no word below ends where
    // another goes on with the first character of what follows it.
    bool apart(const std::vector<Position> &positions) const;

    // The kinds of token other than a word that ch can begin.
    static quint8 startsOtherToken(char16_t ch);

private:
    quint8 tailOf(const std::string &tokens);
    void advanceWord(quint32 node, char16_t ch, quint8 rest, Weight weight, std::vector<Position> &out,
                     Weight &accept) const
    {
        const quint32 next = m_tree.child(node, ch);
        if (next == WordTree::root)
            return;
        const WordTree::Node &reached = m_tree.node(next);
        if (reached.childCount != 0)
            out.push_back({InWord, rest, next, weight});
        if (reached.weight != 0)
            boundary(rest, weight * reached.weight, out, accept);
    }

    const WordTree &m_tree;
    std::vector<std::string> m_tails{""};
    std::vector<quint8> m_tailRest{0};
    std::vector<Position> m_start;
};

} // namespace strength
} // namespace lexiglow
