#include "platform/CodePage.h"

#include <QTest>

using namespace lexiglow;

class TestCodePage final : public QObject
{
    Q_OBJECT

private slots:
    void windows1252_mapsCode_data();
    void windows1252_mapsCode();
    void windows1252_everyCodeRoundTrips();
    void missingCharacter_becomesQuestionMark();
};

void TestCodePage::windows1252_mapsCode_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("character");

    QTest::addRow("NUL") << 0x00 << 0x0000;
    QTest::addRow("A") << 0x41 << 0x0041;
    QTest::addRow("[") << 0x5B << 0x005B;
    QTest::addRow("DEL") << 0x7F << 0x007F;
    QTest::addRow("euro") << 0x80 << 0x20AC;
    QTest::addRow("unassigned 81") << 0x81 << 0x0081;
    QTest::addRow("low quote") << 0x82 << 0x201A;
    QTest::addRow("unassigned 8D") << 0x8D << 0x008D;
    QTest::addRow("Z caron") << 0x8E << 0x017D;
    QTest::addRow("unassigned 8F") << 0x8F << 0x008F;
    QTest::addRow("unassigned 90") << 0x90 << 0x0090;
    QTest::addRow("en dash") << 0x96 << 0x2013;
    QTest::addRow("unassigned 9D") << 0x9D << 0x009D;
    QTest::addRow("oe ligature") << 0x9C << 0x0153;
    QTest::addRow("Y diaeresis") << 0x9F << 0x0178;
    QTest::addRow("nbsp") << 0xA0 << 0x00A0;
    QTest::addRow("e acute") << 0xE9 << 0x00E9;
    QTest::addRow("y diaeresis") << 0xFF << 0x00FF;
}

void TestCodePage::windows1252_mapsCode()
{
    QFETCH(int, code);
    QFETCH(int, character);
    const CodePage &page = CodePage::windows1252();

    QCOMPARE(int(page.toChar(quint8(code))), character);
    QCOMPARE(page.toCode(char16_t(character)), std::optional<quint8>(quint8(code)));
}

void TestCodePage::windows1252_everyCodeRoundTrips()
{
    QByteArray allCodes(256, Qt::Uninitialized);
    for (int code = 0; code < 256; ++code)
        allCodes[code] = char(code);
    const CodePage &page = CodePage::windows1252();

    const QString text = page.toUnicode(allCodes);

    QCOMPARE(QSet<QChar>(text.begin(), text.end()).size(), 256);
    QCOMPARE(page.fromUnicode(text), allCodes);
}

void TestCodePage::missingCharacter_becomesQuestionMark()
{
    const CodePage &page = CodePage::windows1252();

    QCOMPARE(page.toCode(u'\u0416'), std::nullopt); // Cyrillic Zhe
    QCOMPARE(page.fromUnicode(u"a\u0416\u00e9\u20ac"), QByteArray("a?\xe9\x80"));
    QCOMPARE(page.fromUnicode(u"\U0001F600"), QByteArray("??")); // each half of a surrogate pair
}

QTEST_GUILESS_MAIN(TestCodePage)
#include "tst_codepage.moc"
