#include "generation/strength/StateCounter.h"

#include <QTest>

#include <map>

using namespace lexiglow;
using namespace lexiglow::strength;

namespace {

using Words = std::vector<WordTree::Word>;
using Shapes = std::vector<CandidateGrammar::Shape>;
using Bins = std::map<std::pair<quint32, Weight>, quint64>;

// Every text the automaton accepts, found by reading every character it can read, one text at a time.
void readAll(const ReadingAutomaton &automaton, const std::vector<Position> &positions, quint32 length, Bins &bins)
{
    std::vector<char16_t> characters;
    automaton.readable(positions, characters);
    for (const char16_t ch : characters) {
        std::vector<Position> next;
        Weight accept = 0;
        automaton.step(positions, ch, next, accept);
        if (accept != 0)
            ++bins[{length + 1, accept}];
        if (!next.empty())
            readAll(automaton, next, length + 1, bins);
    }
}

} // namespace

class TestStateCounter final : public QObject
{
    Q_OBJECT

private slots:
    void bins_matchEveryTextReadOneByOne_data()
    {
        QTest::addColumn<Words>("words");
        QTest::addColumn<Shapes>("shapes");
        const Shapes plain{{"WNW", 1}, {"WWN", 1}, {"NWW", 1}, {"WN", 5}, {"NW", 5}, {"N", 7}};
        QTest::addRow("sun + set against sunset") << Words{{u"set", 2}, {u"sun", 2}, {u"sunset", 1}} << plain;
        QTest::addRow("digits and special characters in words")
            << Words{{u"(y", 1}, {u"12", 1}, {u"1b", 2}, {u"a1", 1}, {u"x(", 1}}
            << Shapes{{"WNWS", 3}, {"NWSW", 3}, {"WSN", 2}, {"SN", 1}};
        // Read apart from one another, words below two places end together: taken back and counted once.
        QTest::addRow("words end together after digits")
            << Words{{u"11c", 2}, {u"1cab", 2}, {u"a1c", 3}, {u"cab", 1}} << plain;
        QTest::addRow("words end together, three words")
            << Words{{u"b", 3}, {u"baa", 1}, {u"bbaa", 3}, {u"bbba", 1}} << Shapes{{"WWW", 1}, {"WW", 2}};
    }

    void bins_matchEveryTextReadOneByOne()
    {
        QFETCH(Words, words);
        QFETCH(Shapes, shapes);
        const WordTree tree(words, ReadingAutomaton::startsOtherToken);
        const ReadingAutomaton automaton(tree, shapes);
        Bins expected;
        readAll(automaton, automaton.start(), 0, expected);

        const std::optional<std::vector<Bin>> bins = StateCounter::count(automaton, 1000000);
        QVERIFY(bins);
        Bins counted;
        for (const Bin &bin : *bins) // one bin a class
            QVERIFY(counted.emplace(std::pair(bin.length, bin.weight), bin.count).second);
        QCOMPARE(counted, expected);
        QVERIFY(!StateCounter::count(automaton, 10)); // beyond the limit of work
    }
};

QTEST_GUILESS_MAIN(TestStateCounter)
#include "tst_statecounter.moc"
