#include "generation/strength/Distribution.h"

#include <QTest>

#include <cmath>

using namespace lexiglow;
using namespace lexiglow::strength;

namespace {

// Two texts of 4 characters with weight 1, one with weight 2, and one of 9 characters with weight 4, out of
// 8: half the candidates fit 1 to 5 characters. With 5 candidates, the last taken as is, a text of 9 is
// returned only when the first four do not fit: 1/16 of the time.
const Distribution hand({{4, 1, 2}, {4, 2, 1}, {9, 4, 1}}, 8, 1, 5, 5);
const long double fit = 1.0L / 16 + (15.0L / 16) / 0.5L;

bool near(long double a, long double b)
{
    return std::abs(a - b) < 1e-15L;
}

} // namespace

class TestDistribution final : public QObject
{
    Q_OBJECT

private slots:
    void chances_andFigures_ofHandMadeBins()
    {
        QVERIFY(near(hand.chance(4, 1), fit / 8) && near(hand.chance(9, 4), 0.5L / 16));
        std::vector<long double> ranked; // one a password, likeliest first
        for (const Distribution::Group &group : hand.ranked())
            ranked.insert(ranked.end(), std::size_t(group.count), group.chance);
        QCOMPARE(ranked.size(), std::size_t(4));
        QVERIFY(near(ranked[0], fit / 4) && near(ranked[1], fit / 8) && near(ranked[2], fit / 8) && near(ranked[3], 0.5L / 16));
        const StrengthFigures figures = hand.figures();
        QCOMPARE(figures.distinct, 4.0);
        // Guessed likeliest first: the text of weight 2 at once, those of weight 1 second and third.
        QVERIFY(near(figures.averageGuesses, fit / 4 + 5 * fit / 8 + 4 * 0.5L / 16));
        QVERIFY(near(figures.minEntropy, -std::log2(fit / 4)));
    }

    // Threshold 1 accepts 2 of 8 and gives log2(2 / 1) bits; threshold 2 accepts 4 of 8 and gives log2(4 / 2).
    // Both reach 1 bit, and the larger is taken.
    void floor_takesTheLargestThresholdThatReachesIt_orIsRefused()
    {
        Distribution distribution = hand;
        QCOMPARE(distribution.highestFloor(), std::optional<double>(1));
        QVERIFY(distribution.setFloor(1) && distribution.threshold() == Weight(2));
        QVERIFY(distribution.chance(4, 1) == 0.25L && distribution.chance(9, 4) == 0);
        QVERIFY(distribution.accepts(4, 2) && !distribution.accepts(4, 3) && !distribution.accepts(9, 1));
        QVERIFY(!distribution.setFloor(1.01) && !distribution.threshold());

        // Four texts of weight 1 and one of 3: threshold 1 gives log2(4 / 1) bits, threshold 3 log2(7 / 3).
        Distribution skewed({{4, 1, 4}, {4, 3, 1}}, 8, 1, 5, 5);
        QCOMPARE(skewed.highestFloor(), std::optional<double>(2));
        QVERIFY(skewed.setFloor(1.5) && skewed.threshold() == Weight(1));
        QVERIFY(skewed.setFloor(1) && skewed.threshold() == Weight(3));
        // With one candidate a password, at most 7 in 8 would find one: no floor at all.
        QVERIFY(!Distribution({{4, 1, 4}, {4, 3, 1}}, 8, 1, 5, 1).highestFloor());
    }
};

QTEST_GUILESS_MAIN(TestDistribution)
#include "tst_distribution.moc"
