#include "platform/Twips.h"

#include <QTest>

using namespace lexiglow;

class TestTwips final : public QObject
{
    Q_OBJECT

private slots:
    void toPixels_data();
    void toPixels();
};

void TestTwips::toPixels_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("dotsPerInch");
    QTest::addColumn<int>("pixels");
    QTest::addRow("15 twips a pixel at 96 dpi") << 15 << 96 << 1;
    QTest::addRow("main window width") << 6255 << 96 << 417;
    QTest::addRow("About window height") << 4245 << 96 << 283;
    QTest::addRow("rounded, not cut off") << 5055 << 96 << 337;
    QTest::addRow("120 dpi") << 1440 << 120 << 120;
    QTest::addRow("144 dpi") << 500 << 144 << 50;
    QTest::addRow("zero") << 0 << 96 << 0;
}

void TestTwips::toPixels()
{
    QFETCH(int, twips);
    QFETCH(int, dotsPerInch);
    QFETCH(int, pixels);
    QCOMPARE(Twips::toPixels(twips, dotsPerInch), pixels);
}

QTEST_GUILESS_MAIN(TestTwips)
#include "tst_twips.moc"
