#include "generation/strength/WordTree.h"

#include <QTest>

using namespace lexiglow::strength;

namespace {

quint8 digitsStartNumbers(char16_t ch)
{
    return ch >= u'1' && ch <= u'9' ? NumberToken : 0;
}

} // namespace

class TestWordTree final : public QObject
{
    Q_OBJECT

private slots:
    // Nodes in preorder: 0 root, 1 s, 2 se, 3 set, 4 su, 5 sun, 6 suns, 7 sunse, 8 sunset, 9 x, 10 x1.
    void nodes_inPreorder_withWeightsSubtreesChildrenAndRunOns()
    {
        const WordTree tree({{u"set", 4}, {u"sun", 2}, {u"sunset", 1}, {u"x1", 3}}, digitsStartNumbers);
        QList<Weight> weights;
        for (quint32 node = 0; node < tree.size(); ++node)
            weights.append(tree.node(node).weight);
        QCOMPARE(weights, (QList<Weight>{0, 0, 0, 4, 0, 2, 0, 0, 1, 0, 3}));
        QCOMPARE((QList<quint32>{tree.node(1).end, tree.node(4).end, tree.node(8).depth}), (QList<quint32>{9, 9, 6}));
        QCOMPARE((QList<quint32>{tree.child(1, u'e'), tree.child(1, u'u'), tree.child(5, u's'), tree.child(5, u't')}),
                 (QList<quint32>{2, 4, 6, WordTree::root}));
        std::vector<std::pair<quint32, Weight>> below;
        tree.wordsBelow(1, below);
        QCOMPARE(below, (std::vector<std::pair<quint32, Weight>>{{3, 2}, {3, 4}, {6, 1}}));
        // "sun" goes on with "s", which begins a word: reading may join sun + set or stay in sunset. "x" ends no
        // word before its "1", so nothing runs on there, but a number could begin below it.
        QCOMPARE((QList<int>{tree.node(4).mixBelow, tree.node(2).mixBelow, tree.node(9).mixBelow, tree.node(9).charsBelow,
                             tree.node(WordTree::root).charsBelow}),
                 (QList<int>{WordToken, 0, 0, NumberToken, WordToken | NumberToken}));
    }
};

QTEST_GUILESS_MAIN(TestWordTree)
#include "tst_wordtree.moc"
