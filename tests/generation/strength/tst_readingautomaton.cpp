#include "generation/strength/ReadingAutomaton.h"

#include <QTest>

using namespace lexiglow;
using namespace lexiglow::strength;
using namespace Qt::StringLiterals;

class TestReadingAutomaton final : public QObject
{
    Q_OBJECT

    // Words a (weight 1), ab (2), b (4); a text is two words, weight 1, or a word and a number, weight 3, or a
    // special character and a number, weight 5.
    const WordTree m_tree{{{u"a", 1}, {u"ab", 2}, {u"b", 4}}, ReadingAutomaton::startsOtherToken};
    const ReadingAutomaton m_automaton{m_tree, {{"WW", 1}, {"WN", 3}, {"SN", 5}}};

private slots:
    void weightOf_addsEveryWayOfReadingTheText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Weight>("weight");
        QTest::addRow("a + b") << u"ab"_s << Weight(1 * 4);
        QTest::addRow("a + ab, aa + b is none") << u"aab"_s << Weight(1 * 2);
        QTest::addRow("ab + 7") << u"ab7"_s << Weight(3 * 2);
        QTest::addRow("( + 10") << u"(10"_s << Weight(5);
        QTest::addRow("no number 100, no special character 0") << u"a100"_s << Weight(0);
        QTest::addRow("a word alone is no text") << u"a"_s << Weight(0);
    }

    void weightOf_addsEveryWayOfReadingTheText()
    {
        QFETCH(QString, text);
        QFETCH(Weight, weight);
        QCOMPARE(m_automaton.weightOf(text), weight);
    }
};

QTEST_GUILESS_MAIN(TestReadingAutomaton)
#include "tst_readingautomaton.moc"
