#include "generation/GuessingTime.h"

#include <QTest>

#include <limits>

using namespace lexiglow;
using namespace Qt::StringLiterals;

class TestGuessingTime final : public QObject
{
    Q_OBJECT

private slots:
    // At and around each boundary: a unit counts once the time reaches one whole of it, N is rounded half
    // up, a month is 31 days and a year 12 months.
    void timeInWords_takesTheLargestUnitReached_roundedHalfUp_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("words");
        constexpr double minute = 60, hour = 3600, day = 86400, month = 31 * day, year = 12 * month;
        const std::pair<double, const char16_t *> rows[] = {
            {0, u"less than a second"}, {0.999, u"less than a second"}, {1, u"1 second"}, {1.499, u"1 second"},
            {1.5, u"2 seconds"}, {59.499, u"59 seconds"}, {59.5, u"60 seconds"}, {minute, u"1 minute"},
            {1.5 * minute, u"2 minutes"}, {hour - 1, u"60 minutes"}, {hour, u"1 hour"}, {23.5 * hour, u"24 hours"},
            {day, u"1 day"}, {30.5 * day, u"31 days"}, {month, u"1 month"}, {11.49 * month, u"11 months"},
            {year, u"1 year"}, {2.5 * year, u"3 years"}, {99.5 * year, u"100 years"}, {100 * year, u"centuries"},
            {std::numeric_limits<double>::infinity(), u"centuries"}};
        for (const auto &[seconds, words] : rows)
            QTest::addRow("%g s", seconds) << seconds << QString::fromUtf16(words);
    }

    void timeInWords_takesTheLargestUnitReached_roundedHalfUp()
    {
        QFETCH(double, seconds);
        QFETCH(QString, words);
        QCOMPARE(timeInWords(seconds), words);
    }
};

QTEST_GUILESS_MAIN(TestGuessingTime)
#include "tst_guessingtime.moc"
