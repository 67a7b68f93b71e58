#pragma once

#include "generation/strength/Weight.h"

#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace lexiglow {
namespace strength {

// The kinds of token a character can begin, as bits.
enum TokenKind : quint8 { WordToken = 1, NumberToken = 2, SpecialToken = 4 };

// The prefix tree (trie) of the pool's distinct words: a node per start of a
// word, an edge per character, and on the node where a word ends the weight
// of that word. Nodes are numbered in preorder, so the subtree of a node is
// the run of nodes from it to its end, and the children of a node are
// sorted by character. The root, node 0, is the empty start.
//
// Each node also knows which kinds of token could run on from a word below
// it, so that the reading automaton can tell where one text may be read in
// two ways ("sun" + "set" against "sunset").
class WordTree final
{
public:
    struct Edge
    {
        char16_t ch;
        quint32 node;
    };
    struct Node
    {
        Weight weight = 0; // of the word ending here; 0 if none
        quint32 depth = 0; // characters from the root
        quint32 firstChild = 0; // in the edges
        quint32 childCount = 0;
        quint32 end = 0; // one past the last node of the subtree
        // Token kinds whose first character continues a word of this subtree
        // into a longer word.
        quint8 mixBelow = 0;
        // Token kinds whose first character labels an edge anywhere below.
        quint8 charsBelow = 0;
    };
    using Word = std::pair<std::u16string_view, Weight>;
    // The kinds of token other than a word that a character can begin.
    using OtherStarts = quint8 (*)(char16_t ch);

    static constexpr quint32 root = 0;

    // Of distinct, non-empty words in sorted order, each with its weight.
    WordTree(const std::vector<Word> &words, OtherStarts otherStarts);
    Q_DISABLE_COPY_MOVE(WordTree)

    bool hasWords() const { return m_nodes.size() > 1; }
    std::size_t size() const { return m_nodes.size(); }
    const Node &node(quint32 index) const { return m_nodes[index]; }
    std::span<const Edge> children(quint32 node) const
    {
        return {m_edges.data() + m_nodes[node].firstChild, m_nodes[node].childCount};
    }
    // The child of node along ch; the root when there is none.
    quint32 child(quint32 node, char16_t ch) const;
    // The words below node, not node's own, as (depth, weight), sorted.
    void wordsBelow(quint32 node, std::vector<std::pair<quint32, Weight>> &out) const;

private:
    void addWords(const std::vector<Word> &words);
    void markMixes(OtherStarts otherStarts);

    std::vector<Node> m_nodes{1};
    std::vector<Edge> m_edges;
};

} // namespace strength
} // namespace lexiglow
