#include "generation/strength/WordTree.h"

#include <algorithm>

namespace lexiglow {
namespace strength {

WordTree::WordTree(const std::vector<Word> &words, OtherStarts otherStarts)
{
    std::size_t characters = 0;
    for (const Word &word : words)
        characters += word.first.size();
    m_nodes.reserve(characters + 1);
    addWords(words);
    markMixes(otherStarts);
}

void WordTree::addWords(const std::vector<Word> &words)
{
    // A word shares with the one before it the nodes of their common start
    // and adds the rest, so nodes come in preorder and the children of a
    // node by character.
    struct Link
    {
        quint32 parent;
        Edge edge;
    };
    std::vector<Link> links;
    std::vector<quint32> path{root}; // the nodes of the word before, by depth
    std::u16string_view previous;
    for (const auto &[text, weight] : words) {
        std::size_t common = 0;
        while (common < previous.size() && common < text.size() && previous[common] == text[common])
            ++common;
        path.resize(common + 1);
        for (std::size_t i = common; i < text.size(); ++i) {
            const auto fresh = quint32(m_nodes.size());
            Node node;
            node.depth = quint32(i + 1);
            m_nodes.push_back(node);
            links.push_back({path.back(), {text[i], fresh}});
            path.push_back(fresh);
        }
        m_nodes[path.back()].weight = weight;
        previous = text;
    }
    for (const Link &link : links)
        ++m_nodes[link.parent].childCount;
    quint32 first = 0;
    for (Node &node : m_nodes) {
        node.firstChild = first;
        first += node.childCount;
    }
    m_edges.resize(links.size());
    std::vector<quint32> filled(m_nodes.size(), 0);
    for (const Link &link : links)
        m_edges[m_nodes[link.parent].firstChild + filled[link.parent]++] = link.edge;
}

void WordTree::markMixes(OtherStarts otherStarts)
{
    // The kinds of token each character begins, worked out once a character.
    constexpr quint8 unknown = 0xFF;
    std::vector<quint8> kindsOf(0x10000, unknown);
    for (const Edge &edge : children(root))
        kindsOf[edge.ch] = quint8(WordToken | otherStarts(edge.ch));
    std::vector<quint32> parent(m_nodes.size(), 0);
    for (quint32 i = 0; i < m_nodes.size(); ++i) {
        m_nodes[i].end = i + 1;
        for (const Edge &edge : children(i))
            parent[edge.node] = i;
    }
    // A child's index is above its parent's, so one pass from the end sees
    // every subtree before its root.
    for (quint32 i = quint32(m_nodes.size()) - 1; i > 0; --i) {
        quint8 own = 0;
        for (const Edge &edge : children(i)) {
            quint8 &kinds = kindsOf[edge.ch];
            if (kinds == unknown)
                kinds = otherStarts(edge.ch);
            m_nodes[i].charsBelow |= kinds;
            own |= m_nodes[i].weight != 0 ? kinds : 0;
        }
        Node &up = m_nodes[parent[i]];
        up.mixBelow |= quint8(own | m_nodes[i].mixBelow);
        up.charsBelow |= m_nodes[i].charsBelow;
        up.end = std::max(up.end, m_nodes[i].end);
    }
}

quint32 WordTree::child(quint32 node, char16_t ch) const
{
    const std::span<const Edge> edges = children(node);
    if (edges.size() <= 8) {
        for (const Edge &edge : edges) {
            if (edge.ch >= ch)
                return edge.ch == ch ? edge.node : root;
        }
        return root;
    }
    const auto found = std::lower_bound(edges.begin(), edges.end(), ch, [](const Edge &edge, char16_t c) { return edge.ch < c; });
    return found != edges.end() && found->ch == ch ? found->node : root;
}

void WordTree::wordsBelow(quint32 node, std::vector<std::pair<quint32, Weight>> &out) const
{
    out.clear();
    for (quint32 at = node + 1; at < m_nodes[node].end; ++at) {
        if (m_nodes[at].weight != 0)
            out.emplace_back(m_nodes[at].depth, m_nodes[at].weight);
    }
    std::sort(out.begin(), out.end());
}

} // namespace strength
} // namespace lexiglow
