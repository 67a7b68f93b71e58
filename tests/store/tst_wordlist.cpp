#include "support/ListFileBytes.h"
#include "support/RecordingNotice.h"

#include "platform/CodePage.h"
#include "store/Base64Error.h"
#include "store/CBase64.h"
#include "store/FileError.h"
#include "store/wordList.h"

#include <QDir>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace lexiglow;
using namespace listbytes;
using namespace Qt::StringLiterals;

namespace {

// Name, description, and the words' bounds and elements: "Colors /  / 1..3 [red|green|blue]".
QString recordOf(const wordList &list)
{
    const WordArray words = list.getlist();
    return u"%1 / %2 / %3..%4 [%5]"_s.arg(list.getname(), list.getdesc())
        .arg(words.lowerBound())
        .arg(words.upperBound())
        .arg(words.elements().join(u'|'));
}

// Gives list a list of its own, as if the user had opened one before.
void holdList(wordList &list)
{
    list.setname(u"Animals"_s);
    list.setdesc(u"held before"_s);
    list.setlist(WordArray(1, {u"tiger"_s, u"otter"_s}));
}

} // namespace

// List files: Base64 and the Windows-1252 code page that their texts pass through, and the list record.
class TestWordList final : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_notice.messages.clear(); }
    void base64_decodesAndEncodes_orRaisesError5_data();
    void base64_decodesAndEncodes_orRaisesError5();
    void base64_roundTripsEveryLength();
    void windows1252_mapsEveryCodeBothWays_missingCharacterBecomesQuestionMark();
    void setver_roundsHalfToEven_data();
    void setver_roundsHalfToEven();
    void colors_fromAFreshRecord_writtenByteExact_streamedBack();
    void readData_fillsTheRecord_orFailsKeepingIt_data();
    void readData_fillsTheRecord_orFailsKeepingIt();
    void readData_cutShortAtEveryOffset_keepsRecord();
    void cipherAndFile_keepEveryCodePageCharacter_refuseTooLongField();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString resultOf(wordList &list, const QString &file, bool streaming);

    QTemporaryDir m_dir;
    RecordingNotice m_notice;
};

// The record after a good read of file, or else what the read told and raised, the file's path shown as FILE.
// A failed read must leave the record as it was.
QString TestWordList::resultOf(wordList &list, const QString &file, bool streaming)
{
    m_notice.messages.clear();
    const QString before = recordOf(list);
    QString raised;
    try {
        streaming ? list.ReadData(file, [](QStringView) {}) : list.ReadData(file);
    } catch (const std::runtime_error &error) {
        raised = QString::fromStdString(error.what()).replace(QDir::toNativeSeparators(file), u"FILE"_s);
    }
    const QStringList outcome = m_notice.messages + (raised.isEmpty() ? QStringList() : QStringList{raised});
    if (outcome.isEmpty())
        return recordOf(list);
    return outcome.join(u" + "_s) + (recordOf(list) == before ? QString() : u" + the record changed"_s);
}

void TestWordList::base64_decodesAndEncodes_orRaisesError5_data()
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

void TestWordList::base64_decodesAndEncodes_orRaisesError5()
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

void TestWordList::base64_roundTripsEveryLength()
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

void TestWordList::windows1252_mapsEveryCodeBothWays_missingCharacterBecomesQuestionMark()
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

void TestWordList::setver_roundsHalfToEven_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("version"); // empty: refused, the version stays 5

    QTest::addRow("number then word") << u"1.0 release"_s << u"1"_s;
    QTest::addRow("letter first") << u"v2"_s << u"0"_s;
    QTest::addRow("2.5 to even") << u"2.5"_s << u"2"_s;
    QTest::addRow("3.5 to even") << u"3.5"_s << u"4"_s;
    QTest::addRow("just above half") << u"2.500001"_s << u"3"_s;
    QTest::addRow("blanks skipped") << u" + 1 2 "_s << u"12"_s;
    QTest::addRow("comma is no decimal point") << u"3,9"_s << u"3"_s;
    QTest::addRow("rounds to even inside the range") << u"-32768.5"_s << u"-32768"_s;
    QTest::addRow("rounds out of the range") << u"32767.5"_s << QString();
    QTest::addRow("too small") << u"-32769"_s << QString();
    QTest::addRow("huge") << u"123456789012345678901234567890"_s << QString();
}

void TestWordList::setver_roundsHalfToEven()
{
    QFETCH(QString, text);
    QFETCH(QString, version);
    wordList list(m_notice);
    QVERIFY(list.setver(u"5"));

    QCOMPARE(list.setver(text), !version.isEmpty());
    QCOMPARE(list.getver(), version.isEmpty() ? u"5"_s : version);
}

void TestWordList::colors_fromAFreshRecord_writtenByteExact_streamedBack()
{
    wordList list(m_notice);
    QCOMPARE(recordOf(list), u" /  / 0..0 []"_s);
    QCOMPARE(list.getver(), u"0"_s);
    QCOMPARE(list.getcreate(), QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC));
    const QDateTime created(QDate(2024, 2, 29), QTime(23, 59, 58, 123), Qt::UTC);
    list.setcreate(created);
    QCOMPARE(list.getcreate(), created);

    list.setname(u"Colors"_s);
    for (const QString &word : {u"red"_s, u"green"_s, u"blue"_s, QString()})
        list.addword(word);
    WordArray copy = list.getlist(); // a copy: changing it leaves the record alone
    copy[1] = u"changed"_s;
    copy.append(u"more"_s);
    QCOMPARE(recordOf(list), u"Colors /  / 0..4 [|red|green|blue|]"_s);
    const QString file = path(u"colors.lxg"_s);
    write(file, QByteArray(4096, 'x')); // a longer file is replaced whole
    list.SaveData(file);

    const QByteArray bytes = read(file);
    QCOMPARE(bytes.size(), 131);
    QCOMPARE(bytes.mid(47, 4), QByteArray::fromHex("04000000"));
    QCOMPARE(bytes, colorsFile);

    // Streamed back, the words go to the caller and the record keeps none.
    QStringList streamed;
    wordList streaming(m_notice);
    streaming.ReadData(file, [&](QStringView word) { streamed.append(word.toString()); });
    QCOMPARE(streamed, (QStringList{u"red"_s, u"green"_s, u"blue"_s}));
    QCOMPARE(recordOf(streaming), u"Colors /  / 0..0 []"_s);
    QVERIFY(m_notice.messages.isEmpty());
}

void TestWordList::readData_fillsTheRecord_orFailsKeepingIt_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("result"); // after holding "Animals / held before / 1..2 [tiger|otter]"

    int files = 0;
    const auto file = [&](const QByteArray &bytes) {
        write(path(u"%1.lxg"_s.arg(++files)), bytes);
        return path(u"%1.lxg"_s.arg(files));
    };
    const QByteArray start = header() + field(empty) + field(colors);
    const QString colorsWith = u"Colors /  / %1"_s;
    QVERIFY(QFile::link(file(colorsFile), path(u"link.lxg"_s)));
    QTest::addRow("Colors, through a link: the empty description reads back empty")
        << path(u"link.lxg"_s) << colorsWith.arg(u"1..3 [red|green|blue]");
    QTest::addRow("last entry holds a word and is not read")
        << file(start + int32(3) + field(red) + field(green) + field(blue)) << colorsWith.arg(u"1..2 [red|green]");
    QTest::addRow("count 1: no words") << file(start + int32(1) + field(empty)) << colorsWith.arg(u"1..0 []");
    QTest::addRow("count 0 keeps earlier words")
        << file(header() + field(accented) + field(tiger) + int32(0))
        << u"tiger / \u00e9\u20ac\u0153 / 1..2 [tiger|otter]"_s;
    QTest::addRow("duplicates kept, bytes after the last entry ignored")
        << file(start + int32(3) + field(tiger) + field(tiger) + field(empty) + "more")
        << colorsWith.arg(u"1..2 [tiger|tiger]");
    QTest::addRow("version word ignored") << file(header(2) + colorsFile.mid(7)) << colorsWith.arg(u"1..3 [red|green|blue]");
    QTest::addRow("text entries' counts govern, not the length entries' 100 and 0")
        << file(header() + field(empty) + int16(3) + int32(100) + int16(8) + int16(8) + red + int32(2) + int16(3)
                + int32(0) + int16(8) + int16(16) + tiger + field(empty))
        << u"red /  / 1..1 [tiger]"_s;

    QTest::addRow("empty file") << file(QByteArray()) << u"Invalid File"_s;
    QTest::addRow("text file") << file(QByteArray("red\ngreen\nblue\n")) << u"Invalid File"_s;

    // A length entry tagged first and a text entry tagged second, for the empty text.
    const auto tagged = [](qint16 first, qint16 second) {
        return int16(first) + int32(4) + int16(second) + int16(4) + empty;
    };
    const QString tag = u"FILE: unexpected entry type "_s;
    QTest::addRow("unknown length tag") << file(header() + tagged(5, 8)) << tag + u"5 at byte 7"_s;
    QTest::addRow("unknown text tag") << file(header() + tagged(3, 2)) << tag + u"2 at byte 13"_s;
    const QString claims = u"FILE: it claims %1 words, more than the file can hold"_s;
    QTest::addRow("largest count") << file(start + int32(2147483647) + field(red)) << claims.arg(2147483647);
    QTest::addRow("one word claimed, none follows") << file(start + int32(2)) << claims.arg(2);
    QTest::addRow("text entry past the end") << file(header() + int16(3) + int32(4) + int16(8) + int16(-1))
                                             << u"FILE: the file ends in the middle of an entry (at byte 17)"_s;

    const QString invalid = u"Error 5 in CBase64.Decode: Invalid "_s;
    QTest::addRow("description, not a multiple of four")
        << file(header() + field("AAA") + field(colors) + int32(1)) << invalid + u"length"_s;
    QTest::addRow("description, padding before the last place")
        << file(header() + field("AA=A") + field(colors) + int32(1)) << invalid + u"padding"_s;
    QTest::addRow("name, outside the alphabet")
        << file(header() + field(empty) + field("GAA0ADcANAApAC*A") + int32(1)) << invalid + u"character found"_s;
    QTest::addRow("word, a signed number entry")
        << file(start + int32(2) + int16(3) + int32(4) + int16(3) + int32(-123)) << invalid + u"character found"_s;

    // Places where something other than a list file is found. The folder is open to all, one file readable by none.
    const QString vanished = file(colorsFile), unreadable = file(colorsFile);
    QVERIFY(QFile::remove(vanished) && QFile::link(u"gone.lxg"_s, path(u"dangling.lxg"_s)));
    QVERIFY(QFile::link(u"loop2.lxg"_s, path(u"loop.lxg"_s)) && QFile::link(u"loop.lxg"_s, path(u"loop2.lxg"_s)));
    QVERIFY(QDir(m_dir.path()).mkdir(u"folder.lxg"_s) && ::mkfifo(QFile::encodeName(path(u"fifo.lxg"_s)), 0600) == 0);
    QVERIFY(QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFileDevice::ExeOther)
            && QFile::setPermissions(unreadable, QFileDevice::WriteOwner));
    const QString missing = u"FILE: the file does not exist"_s;
    QTest::addRow("missing") << path(u"missing.lxg"_s) << missing;
    QTest::addRow("vanished") << vanished << missing;
    QTest::addRow("below a file")
        << file(colorsFile) + u"/x"_s << u"FILE: the path goes through a file as if it were a folder"_s;
    QTest::addRow("dangling link") << path(u"dangling.lxg"_s) << missing;
    QTest::addRow("link loop") << path(u"loop.lxg"_s) << u"FILE: the path runs in a loop of links"_s;
    QTest::addRow("folder") << path(u"folder.lxg"_s) << u"FILE: this is a folder, not a list file"_s;
    QTest::addRow("FIFO, not waited on") << path(u"fifo.lxg"_s) << u"FILE: this is not a plain file"_s;
    QTest::addRow("device") << u"/dev/null"_s << u"FILE: this is not a plain file"_s;
    QTest::addRow("unreadable") << unreadable << u"FILE: the file cannot be opened (Permission denied)"_s;
}

// Streamed words give the same result: the record keeps no streamed words, so it ends the same too.
void TestWordList::readData_fillsTheRecord_orFailsKeepingIt()
{
    QFETCH(QString, file);
    QFETCH(QString, result);
    wordList list(m_notice);
    holdList(list);

    // Root opens any file: the permission check runs as user nobody.
    const uid_t uid = geteuid();
    const gid_t gid = getegid();
    const bool asNobody = uid == 0 && qstrcmp(QTest::currentDataTag(), "unreadable") == 0;
    const passwd *nobody = asNobody ? getpwnam("nobody") : nullptr;
    if (asNobody && (!nobody || setegid(nobody->pw_gid) != 0 || seteuid(nobody->pw_uid) != 0))
        QSKIP("root opens any file, and cannot become user nobody");
    const QStringList results{resultOf(list, file, false), resultOf(list, file, true)};
    if (asNobody)
        QVERIFY(seteuid(uid) == 0 && setegid(gid) == 0);

    QCOMPARE(results, QStringList(2, result));
}

void TestWordList::readData_cutShortAtEveryOffset_keepsRecord()
{
    // From offset 117 on only the closing empty word is cut, and it is never read.
    const qsizetype closingEntry = colorsFile.size() - field(empty).size();
    for (qsizetype size = 0; size < colorsFile.size(); ++size) {
        write(path(u"cut.lxg"_s), colorsFile.left(size));
        wordList list(m_notice);
        holdList(list);
        const QString result = resultOf(list, path(u"cut.lxg"_s), false);
        if (size < 5)
            QCOMPARE(result, u"Invalid File"_s);
        else if (size < closingEntry)
            QVERIFY2(result.startsWith(u"FILE: "_s) && !result.contains(u"changed"_s), qPrintable(result));
        else
            QCOMPARE(result, u"Colors /  / 1..3 [red|green|blue]"_s);
    }
}

void TestWordList::cipherAndFile_keepEveryCodePageCharacter_refuseTooLongField()
{
    // Each code XOR 91: the key character and NUL swap; a character the code page lacks is enciphered as "?".
    const std::pair<QString, QString> pairs[] = {
        {u"red"_s, u")>?"_s}, {u"["_s, QString(QChar(0))}, {u"\u00e9"_s, u"\u00b2"_s}, {u"\u20ac"_s, u"\u00db"_s}};
    for (const auto &[plain, enciphered] : pairs) {
        QCOMPARE(wordList::Encrypt(plain), enciphered);
        QCOMPARE(wordList::Decrypt(enciphered), plain);
    }
    QCOMPARE(wordList::Encrypt(u"\u0416"), u"d"_s);

    QString every;
    for (int code = 0; code < 256; ++code)
        every += QChar(CodePage::windows1252().toChar(quint8(code)));
    // The last word's text entry has a count above 32767.
    const QStringList words{every, u"\u00e9\u20ac\u0153"_s, u" river "_s, QString(12288, u'b')};
    wordList list(m_notice);
    list.setname(u"Caf\u00e9 \u20ac"_s);
    list.setdesc(QString(wordList::maxFieldLength, u'a'));
    for (const QString &word : words + QStringList{QString()})
        list.addword(word);
    const QString file = path(u"all.lxg"_s);
    list.SaveData(file);
    QVERIFY(read(file).contains(field(accented)));

    wordList back(m_notice);
    back.ReadData(file);
    QCOMPARE((QStringList{back.getname(), back.getdesc()} + back.getlist().words()),
             (QStringList{list.getname(), list.getdesc()} + words));

    // A field one character too long, or a list without word 1, is refused and the old file kept.
    const QByteArray before = read(file);
    list.setdesc(QString(wordList::maxFieldLength + 1, u'a'));
    QVERIFY_THROWS_EXCEPTION(FileError, list.SaveData(file));
    list.setdesc({});
    list.setlist(WordArray(2, {u"orphan"_s}));
    QVERIFY_THROWS_EXCEPTION(FileError, list.SaveData(file));
    QCOMPARE(read(file), before);
    QVERIFY_THROWS_EXCEPTION(FileError, list.SaveData(path(u"no/such/folder/list.lxg"_s)));
}

QTEST_GUILESS_MAIN(TestWordList)
#include "tst_wordlist.moc"
