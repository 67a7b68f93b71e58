#include "support/ListFileBytes.h"
#include "support/RecordingNotice.h"

#include "platform/CodePage.h"
#include "store/Base64Error.h"
#include "store/CBase64.h"
#include "store/FileError.h"
#include "store/wordList.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

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

// Takes room bytes, then fails every write, as a full disk does.
struct FullDevice final : QBuffer
{
    explicit FullDevice(qint64 room) : m_room(room) { open(QIODevice::WriteOnly); }
    qint64 writeData(const char *data, qint64 size) override
    {
        return pos() + size > m_room ? (setErrorString(u"No space left on device"_s), -1) : QBuffer::writeData(data, size);
    }
    const qint64 m_room;
};

} // namespace

// List files: Base64 and the Windows-1252 code page that their texts pass through, and the list record.
class TestWordList final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    RecordingNotice m_notice;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    // The record after a good read of file, or else what the read told and raised, the file's path shown as FILE.
    // A failed read must leave the record as it was.
    QString resultOf(wordList &list, const QString &file, bool streaming)
    {
        m_notice.messages.clear();
        const QString before = recordOf(list);
        try {
            streaming ? list.ReadData(file, [](QStringView) {}) : list.ReadData(file);
        } catch (const std::runtime_error &error) {
            m_notice.messages.append(QString::fromStdString(error.what()).replace(QDir::toNativeSeparators(file), u"FILE"_s));
        }
        if (m_notice.messages.isEmpty())
            return recordOf(list);
        return m_notice.messages.join(u" + "_s) + (recordOf(list) == before ? QString() : u" + the record changed"_s);
    }

private slots:
    void base64_decodesAndEncodes_orRaisesError5_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error"); // the message of error 5 from CBase64.Decode

        // RFC 4648, section 10.
        QTest::addRow("f") << u"Zg=="_s << QByteArray("f") << QString();
        QTest::addRow("foobar") << u"Zm9vYmFy"_s << QByteArray("foobar") << QString();
        QTest::addRow("last two characters") << u"+/+/"_s << QByteArray("\xfb\xff\xbf") << QString();

        QTest::addRow("empty") << QString() << QByteArray() << u"Invalid length"_s;
        QTest::addRow("padding before a letter") << u"Zm=v"_s << QByteArray() << u"Invalid padding"_s;
        const std::pair<const char *, QString> characters[] = {{"blank", u"Zm 9"_s}, {"line break", u"Zm\n9"_s},
            {"hyphen", u"Zm-9"_s}, {"underscore", u"Zm9_"_s}, {"= first", u"=m9v"_s}, {"= in the first group", u"Zm=vYmFy"_s},
            {"e acute", u"Zm9\u00e9"_s}, {"not in the code page", u"Zm9\u0416"_s}};
        for (const auto &[name, text] : characters)
            QTest::newRow(name) << text << QByteArray() << u"Invalid character found"_s;
    }

    void base64_decodesAndEncodes_orRaisesError5()
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

    void colors_fromAFreshRecord_writtenByteExact_orFailedWriteTold()
    {
        wordList list(m_notice);
        list.setname(u"Colors"_s);
        for (const QString &word : {u"red"_s, u"green"_s, u"blue"_s, QString()})
            list.addword(word);
        const QString file = path(u"colors.lxg"_s);
        write(file, QByteArray(4096, 'x')); // a longer file is replaced whole
        list.SaveData(file);

        QCOMPARE(read(file), colorsFile);

        // Every failed write is told, and only a device with room for every byte holds the file.
        for (qint64 room = 0; room <= colorsFile.size(); ++room) {
            FullDevice device(room);
            try {
                list.SaveData(device, u"colors.lxg"_s);
                QCOMPARE(device.data(), colorsFile);
            } catch (const FileError &error) {
                QCOMPARE(error.problem(), u"the file cannot be written (No space left on device)"_s);
            }
            QCOMPARE(device.data().size() == colorsFile.size(), room == colorsFile.size());
        }
    }

    void readData_fillsTheRecord_orFailsKeepingIt_data()
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
        QTest::addRow("Colors, written by another version: the empty description reads back empty")
            << file(header(2) + colorsFile.mid(7)) << colorsWith.arg(u"1..3 [red|green|blue]");
        QTest::addRow("last entry holds a word and is not read")
            << file(start + int32(3) + field(red) + field(green) + field(blue)) << colorsWith.arg(u"1..2 [red|green]");
        QTest::addRow("count 1: no words") << file(start + int32(1) + field(empty)) << colorsWith.arg(u"1..0 []");
        QTest::addRow("count 0 keeps earlier words")
            << file(header() + field(accented) + field(tiger) + int32(0))
            << u"tiger / \u00e9\u20ac\u0153 / 1..2 [tiger|otter]"_s;
        QTest::addRow("duplicates kept, bytes after the last entry ignored")
            << file(start + int32(3) + field(tiger) + field(tiger) + field(empty) + "more")
            << colorsWith.arg(u"1..2 [tiger|tiger]");
        QTest::addRow("text entries' counts govern, not the length entries' 100 and 0")
            << file(header() + field(empty) + int16(3) + int32(100) + int16(8) + int16(8) + red + int32(2) + int16(3)
                    + int32(0) + int16(8) + int16(16) + tiger + field(empty))
            << u"red /  / 1..1 [tiger]"_s;

        QTest::addRow("empty file") << file(QByteArray()) << u"Invalid File"_s;

        QTest::addRow("unknown length tag") << file(header() + int16(5) + int32(4) + int16(8) + int16(4) + empty)
                                            << u"FILE: unexpected entry type 5 at byte 7"_s;
        const QString claims = u"FILE: it claims %1 words, more than the file can hold"_s;
        QTest::addRow("largest count") << file(start + int32(2147483647) + field(red)) << claims.arg(2147483647);
        // The largest count, backed by a size of 17 GB that the file has for free: nothing is kept ahead of the bytes.
        const QString sparse = file(start + int32(2147483647) + field(red));
        QVERIFY(QFile::resize(sparse, qint64(17) << 30));
        QTest::addRow("sparse file") << sparse << u"FILE: unexpected entry type 0 at byte 69"_s;
        QTest::addRow("any spelling of one NUL unit reads as empty")
            << file(header() + field("AAB=") + field("AAAB") + int32(1)) << u" /  / 1..0 []"_s;
        QTest::addRow("one word claimed, none follows") << file(start + int32(2)) << claims.arg(2);
        QTest::addRow("text entry past the end") << file(header() + int16(3) + int32(4) + int16(8) + int16(-1))
                                                 << u"FILE: the file ends in the middle of an entry (at byte 17)"_s;

        const QString invalid = u"Error 5 in CBase64.Decode: Invalid "_s;
        QTest::addRow("name, outside the alphabet")
            << file(header() + field(empty) + field("GAA0ADcANAApAC*A") + int32(1)) << invalid + u"character found"_s;
        QTest::addRow("word, a signed number entry")
            << file(start + int32(2) + int16(3) + int32(4) + int16(3) + int32(-123)) << invalid + u"character found"_s;

        // Places where something other than a list file is found.
        QVERIFY(QFile::link(u"loop2.lxg"_s, path(u"loop.lxg"_s)) && QFile::link(u"loop.lxg"_s, path(u"loop2.lxg"_s)));
        QVERIFY(QDir(m_dir.path()).mkdir(u"folder.lxg"_s) && ::mkfifo(QFile::encodeName(path(u"fifo.lxg"_s)), 0600) == 0);
        QTest::addRow("below a file")
            << file(colorsFile) + u"/x"_s << u"FILE: the path goes through a file as if it were a folder"_s;
        QTest::addRow("link loop") << path(u"loop.lxg"_s) << u"FILE: the path runs in a loop of links"_s;
        QTest::addRow("folder") << path(u"folder.lxg"_s) << u"FILE: this is a folder, not a list file"_s;
        QTest::addRow("FIFO, not waited on") << path(u"fifo.lxg"_s) << u"FILE: this is not a plain file"_s;
    }

    // Streamed words give the same result: the record keeps no streamed words, so it ends the same too.
    void readData_fillsTheRecord_orFailsKeepingIt()
    {
        QFETCH(QString, file);
        QFETCH(QString, result);
        wordList list(m_notice); // as if the user had read a list before
        list.setname(u"Animals"_s);
        list.setdesc(u"held before"_s);
        list.setlist(WordArray(1, {u"tiger"_s, u"otter"_s}));

        QCOMPARE((QStringList{resultOf(list, file, false), resultOf(list, file, true)}), QStringList(2, result));
    }

    void cipherAndFile_keepEveryCodePageCharacter_refuseTooLongField()
    {
        // Each code XOR 91 in Windows-1252, as the hand-made fields show for "Colors" and "\u00e9\u20ac\u0153".
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

        // A field one character too long is refused and the old file kept.
        const QByteArray before = read(file);
        list.setdesc(QString(wordList::maxFieldLength + 1, u'a'));
        QVERIFY_THROWS_EXCEPTION(FileError, list.SaveData(file));
        QCOMPARE(read(file), before);
        QVERIFY_THROWS_EXCEPTION(FileError, list.SaveData(path(u"no/such/folder/list.lxg"_s)));
    }
};

QTEST_GUILESS_MAIN(TestWordList)
#include "tst_wordlist.moc"
