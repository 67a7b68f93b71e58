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
        const auto row = [](double seconds, const QString &words) { QTest::addRow("%g s", seconds) << seconds << words; };
        row(0, u"less than a second"_s);
        row(0.999, u"less than a second"_s);
        row(1, u"1 second"_s);
        row(1.499, u"1 second"_s);
        row(1.5, u"2 seconds"_s);
        row(59.499, u"59 seconds"_s);
        row(59.5, u"60 seconds"_s);
        row(minute, u"1 minute"_s);
        row(1.5 * minute, u"2 minutes"_s);
        row(hour - 1, u"60 minutes"_s);
        row(hour, u"1 hour"_s);
        row(23.5 * hour, u"24 hours"_s);
        row(day, u"1 day"_s);
        row(30.5 * day, u"31 days"_s);
        row(month, u"1 month"_s);
        row(11.49 * month, u"11 months"_s);
        row(year, u"1 year"_s);
        row(2.5 * year, u"3 years"_s);
        row(99.5 * year, u"100 years"_s);
        row(100 * year, u"centuries"_s);
        row(std::numeric_limits<double>::infinity(), u"centuries"_s);
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
