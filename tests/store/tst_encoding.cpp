#include "platform/CodePage.h"
#include "store/Base64Error.h"
#include "store/CBase64.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

using namespace lexiglow;
using namespace Qt::StringLiterals;

// Base64 as list files use it, and the Windows-1252 code page their text passes through.
class TestEncoding final : public QObject
{
    Q_OBJECT

private slots:
    void base64_encodesAndDecodesRfcVectors_data();
    void base64_encodesAndDecodesRfcVectors();
    void base64_malformedText_raisesError5_data();
    void base64_malformedText_raisesError5();
    void base64_roundTripsEveryLength();
    void windows1252_mapsEveryCodeBothWays_missingCharacterBecomesQuestionMark();
};

void TestEncoding::base64_encodesAndDecodesRfcVectors_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    // RFC 4648, section 10.
    QTest::addRow("f") << QByteArray("f") << u"Zg=="_s;
    QTest::addRow("fo") << QByteArray("fo") << u"Zm8="_s;
    QTest::addRow("foo") << QByteArray("foo") << u"Zm9v"_s;
    QTest::addRow("foob") << QByteArray("foob") << u"Zm9vYg=="_s;
    QTest::addRow("fooba") << QByteArray("fooba") << u"Zm9vYmE="_s;
    QTest::addRow("foobar") << QByteArray("foobar") << u"Zm9vYmFy"_s;
    QTest::addRow("last two characters") << QByteArray("\xfb\xff\xbf") << u"+/+/"_s;
    QTest::addRow("AAA= is two zero bytes") << QByteArray(2, '\0') << u"AAA="_s;
}

void TestEncoding::base64_encodesAndDecodesRfcVectors()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const CBase64 codec;

    QCOMPARE(codec.Encode(bytes), text);
    QCOMPARE(codec.Decode(text), bytes);
}

void TestEncoding::base64_malformedText_raisesError5_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    QTest::addRow("empty") << QString() << u"Invalid length"_s;
    QTest::addRow("five characters") << u"Zm9vY"_s << u"Invalid length"_s;
    QTest::addRow("padding before a letter") << u"Zm=v"_s << u"Invalid padding"_s;
    QTest::addRow("padding before a letter, second group") << u"Zm9vYm=v"_s << u"Invalid padding"_s;
    QTest::addRow("blank") << u"Zm 9"_s << u"Invalid character found"_s;
    QTest::addRow("line break") << u"Zm\n9"_s << u"Invalid character found"_s;
    QTest::addRow("hyphen") << u"Zm-9"_s << u"Invalid character found"_s;
    QTest::addRow("underscore") << u"Zm9_"_s << u"Invalid character found"_s;
    QTest::addRow("= first") << u"=m9v"_s << u"Invalid character found"_s;
    QTest::addRow("= inside the first of two groups") << u"Zm=vYmFy"_s << u"Invalid character found"_s;
    QTest::addRow("e acute") << u"Zm9\u00e9"_s << u"Invalid character found"_s;
    QTest::addRow("not in the code page") << u"Zm9\u0416"_s << u"Invalid character found"_s;
}

void TestEncoding::base64_malformedText_raisesError5()
{
    QFETCH(QString, text);
    QFETCH(QString, message);

    try {
        CBase64().Decode(text);
        QFAIL("no error raised");
    } catch (const Base64Error &error) {
        QCOMPARE(error.number(), 5);
        QCOMPARE(error.source(), u"CBase64.Decode"_s);
        QCOMPARE(error.message(), message);
    }
}

void TestEncoding::base64_roundTripsEveryLength()
{
    const CBase64 codec;
    // The empty input alone does not come back: it still makes one group.
    QCOMPARE(codec.Encode(QByteArray()), u"AAA="_s);
    QCOMPARE(codec.Decode(u"Zh=="_s), QByteArray("f")); // bits left over are ignored
    QRandomGenerator random(1234);
    for (int length = 1; length <= 300; ++length) {
        QByteArray bytes(length, Qt::Uninitialized);
        for (qsizetype i = 0; i < length; ++i)
            bytes[i] = char(length == 256 ? i : random.bounded(256)); // every byte value once
        QCOMPARE(codec.Decode(codec.Encode(bytes)), bytes);
    }
}

void TestEncoding::windows1252_mapsEveryCodeBothWays_missingCharacterBecomesQuestionMark()
{
    const CodePage &page = CodePage::windows1252();
    // The five unassigned codes 81 8D 8F 90 9D stand for the C1 controls of their own number.
    const std::pair<quint8, char16_t> codes[] = {{0x00, 0x0000}, {0x5B, u'['}, {0x7F, 0x007F}, {0x80, 0x20AC},
        {0x81, 0x0081}, {0x8D, 0x008D}, {0x8E, 0x017D}, {0x8F, 0x008F}, {0x90, 0x0090}, {0x9C, 0x0153},
        {0x9D, 0x009D}, {0x9F, 0x0178}, {0xA0, 0x00A0}, {0xFF, 0x00FF}};
    for (const auto &[code, character] : codes) {
        QCOMPARE(int(page.toChar(code)), int(character));
        QCOMPARE(page.toCode(character), std::optional<quint8>(code));
    }

    QByteArray allCodes(256, Qt::Uninitialized);
    for (int code = 0; code < 256; ++code)
        allCodes[code] = char(code);
    const QString text = page.toUnicode(allCodes);
    QCOMPARE(QSet<QChar>(text.begin(), text.end()).size(), 256);
    QCOMPARE(page.fromUnicode(text), allCodes);

    QCOMPARE(page.toCode(u'\u0416'), std::nullopt); // Cyrillic Zhe
    QCOMPARE(page.fromUnicode(u"a\u0416\u00e9\u20ac"), QByteArray("a?\xe9\x80"));
    QCOMPARE(page.fromUnicode(u"\U0001F600"), QByteArray("??")); // each half of a surrogate pair
}

QTEST_GUILESS_MAIN(TestEncoding)
#include "tst_encoding.moc"
