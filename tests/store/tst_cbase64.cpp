#include "store/Base64Error.h"
#include "store/CBase64.h"

#include <QRandomGenerator>
#include <QTest>

using namespace lexiglow;

class TestCBase64 final : public QObject
{
    Q_OBJECT

private slots:
    void encode_data();
    void encode();
    void decode_data();
    void decode();
    void decode_malformed_raisesError5_data();
    void decode_malformed_raisesError5();
    void roundTrip_everyLengthAndByte();
};

void TestCBase64::encode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    // RFC 4648, section 10, with the codec's own form of the empty input.
    QTest::addRow("empty") << QByteArray() << QStringLiteral("AAA=");
    QTest::addRow("f") << QByteArray("f") << QStringLiteral("Zg==");
    QTest::addRow("fo") << QByteArray("fo") << QStringLiteral("Zm8=");
    QTest::addRow("foo") << QByteArray("foo") << QStringLiteral("Zm9v");
    QTest::addRow("foob") << QByteArray("foob") << QStringLiteral("Zm9vYg==");
    QTest::addRow("fooba") << QByteArray("fooba") << QStringLiteral("Zm9vYmE=");
    QTest::addRow("foobar") << QByteArray("foobar") << QStringLiteral("Zm9vYmFy");
    QTest::addRow("abc") << QByteArray("\x61\x62\x63") << QStringLiteral("YWJj");
    QTest::addRow("high bits") << QByteArray("\xfb\xff\xbf") << QStringLiteral("+/+/");
    QTest::addRow("zeros") << QByteArray(4, '\0') << QStringLiteral("AAAAAA==");
}

void TestCBase64::encode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const CBase64 codec;

    QCOMPARE(codec.Encode(bytes), text);
    QCOMPARE(codec.encodeToCodes(bytes), text.toLatin1());
    QCOMPARE(CBase64::encodedSize(bytes.size()), text.size());
}

void TestCBase64::decode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::addRow("foobar") << QStringLiteral("Zm9vYmFy") << QByteArray("foobar");
    QTest::addRow("one pad") << QStringLiteral("Zm9vYmE=") << QByteArray("fooba");
    QTest::addRow("two pads") << QStringLiteral("Zm9vYg==") << QByteArray("foob");
    QTest::addRow("empty form gives two zero bytes") << QStringLiteral("AAA=") << QByteArray(2, '\0');
    QTest::addRow("unused bits ignored") << QStringLiteral("Zh==") << QByteArray("f");
    QTest::addRow("unused bits ignored, one pad") << QStringLiteral("Zm9=") << QByteArray("fo");
    QTest::addRow("high bits") << QStringLiteral("+/+/") << QByteArray("\xfb\xff\xbf");
}

void TestCBase64::decode()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const CBase64 codec;

    QCOMPARE(codec.Decode(text), bytes);
}

void TestCBase64::decode_malformed_raisesError5_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    const QString length = QStringLiteral("Invalid length");
    const QString padding = QStringLiteral("Invalid padding");
    const QString character = QStringLiteral("Invalid character found");

    QTest::addRow("empty") << QString() << length;
    QTest::addRow("five characters") << QStringLiteral("Zm9vY") << length;
    QTest::addRow("three characters") << QStringLiteral("Zm9") << length;
    QTest::addRow("pad before letter") << QStringLiteral("Zm=v") << padding;
    QTest::addRow("pad before letter, later group") << QStringLiteral("Zm9vYm=v") << padding;
    QTest::addRow("line break") << QStringLiteral("Zm\n9") << character;
    QTest::addRow("blank") << QStringLiteral("Zm 9") << character;
    QTest::addRow("hyphen") << QStringLiteral("Zm-9") << character;
    QTest::addRow("underscore") << QStringLiteral("Zm9_") << character;
    QTest::addRow("pad first") << QStringLiteral("=m9v") << character;
    QTest::addRow("pad in first group") << QStringLiteral("Zm=vYmFy") << character;
    QTest::addRow("all pads") << QStringLiteral("====") << character;
    QTest::addRow("bad second group") << QStringLiteral("Zm9v*mFy") << character;
    QTest::addRow("e acute") << QStringLiteral("Zm9\u00e9") << character;
    QTest::addRow("not in code page") << QStringLiteral("Zm9\u0416") << character;
}

void TestCBase64::decode_malformed_raisesError5()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    const CBase64 codec;

    try {
        codec.Decode(text);
        QFAIL("no error raised");
    } catch (const Base64Error &error) {
        QCOMPARE(error.number(), 5);
        QCOMPARE(error.source(), QStringLiteral("CBase64.Decode"));
        QCOMPARE(error.message(), message);
    }
}

void TestCBase64::roundTrip_everyLengthAndByte()
{
    const CBase64 codec;
    QRandomGenerator random(1234);
    for (int length = 1; length <= 300; ++length) {
        QByteArray bytes(length, Qt::Uninitialized);
        for (char &byte : bytes)
            byte = char(random.bounded(256));
        if (length == 256) {
            for (int i = 0; i < 256; ++i)
                bytes[i] = char(i);
        }
        QCOMPARE(codec.Decode(codec.Encode(bytes)), bytes);
    }
}

QTEST_GUILESS_MAIN(TestCBase64)
#include "tst_cbase64.moc"
