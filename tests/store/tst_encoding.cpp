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
    void base64_decodesAndEncodes_orRaisesError5_data();
    void base64_decodesAndEncodes_orRaisesError5();
    void base64_roundTripsEveryLength();
    void windows1252_mapsEveryCodeBothWays_missingCharacterBecomesQuestionMark();
};

void TestEncoding::base64_decodesAndEncodes_orRaisesError5_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error"); // the message of error 5 from CBase64.Decode

    // RFC 4648, section 10.
    QTest::addRow("f") << u"Zg=="_s << QByteArray("f") << QString();
    QTest::addRow("fo") << u"Zm8="_s << QByteArray("fo") << QString();
    QTest::addRow("foo") << u"Zm9v"_s << QByteArray("foo") << QString();
    QTest::addRow("foob") << u"Zm9vYg=="_s << QByteArray("foob") << QString();
    QTest::addRow("fooba") << u"Zm9vYmE="_s << QByteArray("fooba") << QString();
    QTest::addRow("foobar") << u"Zm9vYmFy"_s << QByteArray("foobar") << QString();
    QTest::addRow("last two characters") << u"+/+/"_s << QByteArray("\xfb\xff\xbf") << QString();
    QTest::addRow("AAA= is two zero bytes") << u"AAA="_s << QByteArray(2, '\0') << QString();

    QTest::addRow("empty") << QString() << QByteArray() << u"Invalid length"_s;
    QTest::addRow("five characters") << u"Zm9vY"_s << QByteArray() << u"Invalid length"_s;
    QTest::addRow("padding before a letter") << u"Zm=v"_s << QByteArray() << u"Invalid padding"_s;
    QTest::addRow("padding before a letter, second group") << u"Zm9vYm=v"_s << QByteArray() << u"Invalid padding"_s;
    const std::pair<const char *, QString> characters[] = {{"blank", u"Zm 9"_s}, {"line break", u"Zm\n9"_s},
        {"hyphen", u"Zm-9"_s}, {"underscore", u"Zm9_"_s}, {"= first", u"=m9v"_s}, {"= in the first group", u"Zm=vYmFy"_s},
        {"e acute", u"Zm9\u00e9"_s}, {"not in the code page", u"Zm9\u0416"_s}};
    for (const auto &[name, text] : characters)
        QTest::newRow(name) << text << QByteArray() << u"Invalid character found"_s;
}

void TestEncoding::base64_decodesAndEncodes_orRaisesError5()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    const CBase64 codec;

    try {
        QCOMPARE(codec.Decode(text), bytes);
        QCOMPARE(codec.Encode(bytes), text);
        QVERIFY2(error.isEmpty(), "no error raised");
    } catch (const Base64Error &raised) {
        QCOMPARE(raised.number(), 5);
        QCOMPARE(raised.source(), u"CBase64.Decode"_s);
        QCOMPARE(raised.message(), error);
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
