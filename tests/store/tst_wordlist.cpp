#include "support/ListFileBytes.h"
#include "support/RecordingNotice.h"

#include "platform/CodePage.h"
#include "store/Base64Error.h"
#include "store/FileError.h"
#include "store/wordList.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace lexiglow;
using namespace listbytes;
using namespace Qt::StringLiterals;

namespace QTest {
template<>
char *toString(const WordArray &words)
{
    return qstrdup(QStringLiteral("%1..%2 [%3]")
                       .arg(words.lowerBound())
                       .arg(words.upperBound())
                       .arg(words.elements().join(u"|"))
                       .toUtf8()
                       .constData());
}
} // namespace QTest

namespace {

WordArray array(qsizetype lowerBound, const QStringList &elements)
{
    return WordArray(lowerBound, elements);
}

// Everything a record holds, to show that a read left it alone.
struct Record
{
    QString name;
    QString description;
    QString version;
    QDateTime created;
    WordArray words;

    friend bool operator==(const Record &, const Record &) = default;
    friend char *toString(const Record &record)
    {
        return qstrdup(QStringLiteral("%1 / %2 / %3 / %4 / %5..%6 [%7]")
                           .arg(record.name, record.description, record.version,
                                record.created.toString(Qt::ISODate))
                           .arg(record.words.lowerBound())
                           .arg(record.words.upperBound())
                           .arg(record.words.elements().join(u"|"))
                           .toUtf8()
                           .constData());
    }
};

Record recordOf(const wordList &list)
{
    return {list.getname(), list.getdesc(), list.getver(), list.getcreate(), list.getlist()};
}

// Where a list file was expected, and what is found there instead.
enum class Place {
    Missing,
    Vanished,
    BelowAFile,
    DanglingLink,
    LinkLoop,
    Folder,
    Fifo,
    LinkToFifo,
    Device,
    Unreadable,
};

bool makeLink(const QString &target, const QString &link)
{
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) == 0;
}

// Takes on another user's identity for as long as it lives; only root can.
class EffectiveUser final
{
public:
    EffectiveUser(uid_t uid, gid_t gid)
    {
        if (setegid(gid) != 0 || seteuid(uid) != 0)
            qFatal("cannot take on user %u", unsigned(uid));
    }
    ~EffectiveUser()
    {
        if (seteuid(m_uid) != 0 || setegid(m_gid) != 0)
            qFatal("cannot return to user %u", unsigned(m_uid));
    }
    Q_DISABLE_COPY_MOVE(EffectiveUser)

private:
    uid_t m_uid = geteuid();
    gid_t m_gid = getegid();
};

// Gives list a list of its own, as if the user had opened one before.
Record holdList(wordList &list)
{
    list.setname(QStringLiteral("Animals"));
    list.setdesc(QStringLiteral("held before"));
    list.setver(u"3");
    list.setcreate(QDateTime(QDate(2020, 1, 2), QTime(3, 4), Qt::UTC));
    list.setlist(array(1, {u"tiger"_s, u"otter"_s}));
    return recordOf(list);
}

} // namespace

class TestWordList final : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void freshRecord_isEmpty();
    void addword_growsByOneSlot();
    void getlist_returnsACopy();
    void setver_roundsHalfToEven_data();
    void setver_roundsHalfToEven();
    void setcreate_roundTrips();

    void saveData_colors_isByteExact();
    void readData_colors();
    void readData_countDecidesWhatIsRead_data();
    void readData_countDecidesWhatIsRead();
    void readData_countZero_keepsEarlierWords();
    void readData_versionWordIgnored_data();
    void readData_versionWordIgnored();
    void readData_textEntryCountGoverns();
    void readData_foreignFile_toldOnceAndRecordUnchanged_data();
    void readData_foreignFile_toldOnceAndRecordUnchanged();
    void readData_damaged_raisesErrorNamingFile_data();
    void readData_damaged_raisesErrorNamingFile();
    void readData_truncatedAtEveryOffset();
    void readData_badBase64_raisesCodecError_data();
    void readData_badBase64_raisesCodecError();
    void readData_unreadablePath_data();
    void readData_unreadablePath();
    void readData_throughLink_readsTheList();
    void readData_withWordCallback_streamsWords();

    void cipher_data();
    void cipher();
    void cipher_isAnInvolutionOnTheCodePage();
    void fileRoundTrip_everyCodePageCharacter();
    void fileRoundTrip_accentedText();
    void fileRoundTrip_longestField_andOneTooLong();
    void saveData_replacesLongerFile();
    void saveData_failure_keepsOldFile();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString makePlace(Place place);

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingNotice m_notice;
};

void TestWordList::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_notice.messages.clear();
}

void TestWordList::freshRecord_isEmpty()
{
    wordList list(m_notice);

    QCOMPARE(list.getlist(), array(0, {QString()}));
    QCOMPARE(list.getlist().upperBound(), 0);
    QVERIFY(list.getlist().words().isEmpty());
    QCOMPARE(list.getname(), QString());
    QCOMPARE(list.getdesc(), QString());
    QCOMPARE(list.getver(), QStringLiteral("0"));
    QCOMPARE(list.getcreate(), QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC));
}

void TestWordList::addword_growsByOneSlot()
{
    wordList list(m_notice);
    list.addword(QStringLiteral("alpha"));
    list.addword(QStringLiteral("beta"));
    list.addword(QStringLiteral("gamma"));
    list.addword(QString());

    QCOMPARE(list.getlist(), array(0, {{}, u"alpha"_s, u"beta"_s, u"gamma"_s, {}}));
    QCOMPARE(list.getlist().words(), (QStringList{u"alpha"_s, u"beta"_s, u"gamma"_s, {}}));
}

void TestWordList::getlist_returnsACopy()
{
    wordList list(m_notice);
    list.addword(QStringLiteral("alpha"));

    WordArray copy = list.getlist();
    copy[1] = QStringLiteral("changed");
    copy.append(QStringLiteral("more"));

    QCOMPARE(list.getlist(), array(0, {{}, u"alpha"_s}));
}

void TestWordList::setver_roundsHalfToEven_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("version");

    QTest::addRow("one") << u"1"_s << true << u"1"_s;
    QTest::addRow("number then word") << u"1.0 release"_s << true << u"1"_s;
    QTest::addRow("letter first") << u"v2"_s << true << u"0"_s;
    QTest::addRow("empty") << QString() << true << u"0"_s;
    QTest::addRow("2.5 to even") << u"2.5"_s << true << u"2"_s;
    QTest::addRow("3.5 to even") << u"3.5"_s << true << u"4"_s;
    QTest::addRow("0.5 to even") << u"0.5"_s << true << u"0"_s;
    QTest::addRow("-2.5 to even") << u"-2.5"_s << true << u"-2"_s;
    QTest::addRow("just above half") << u"2.500001"_s << true << u"3"_s;
    QTest::addRow("below half") << u"2.4999"_s << true << u"2"_s;
    QTest::addRow("negative") << u"-7"_s << true << u"-7"_s;
    QTest::addRow("plus sign") << u"+12"_s << true << u"12"_s;
    QTest::addRow("blanks skipped") << u" 1 2 "_s << true << u"12"_s;
    QTest::addRow("leading point") << u".7"_s << true << u"1"_s;
    QTest::addRow("comma is no decimal point") << u"3,9"_s << true << u"3"_s;
    QTest::addRow("exponent not read") << u"1e3"_s << true << u"1"_s;
    QTest::addRow("largest") << u"32767"_s << true << u"32767"_s;
    QTest::addRow("smallest") << u"-32768"_s << true << u"-32768"_s;
    QTest::addRow("rounds to even inside range") << u"-32768.5"_s << true << u"-32768"_s;
    QTest::addRow("rounds out of range") << u"32767.5"_s << false << u"5"_s;
    QTest::addRow("too large") << u"32768"_s << false << u"5"_s;
    QTest::addRow("too small") << u"-32769"_s << false << u"5"_s;
    QTest::addRow("huge") << u"123456789012345678901234567890"_s << false << u"5"_s;
}

void TestWordList::setver_roundsHalfToEven()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(QString, version);
    wordList list(m_notice);
    QVERIFY(list.setver(u"5"));

    QCOMPARE(list.setver(text), accepted);
    QCOMPARE(list.getver(), version);
}

void TestWordList::setcreate_roundTrips()
{
    wordList list(m_notice);
    const QDateTime created(QDate(2024, 2, 29), QTime(23, 59, 58, 123), Qt::UTC);

    list.setcreate(created);

    QCOMPARE(list.getcreate(), created);
}

void TestWordList::saveData_colors_isByteExact()
{
    wordList list(m_notice);
    list.setname(QStringLiteral("Colors"));
    for (const char *word : {"red", "green", "blue", ""})
        list.addword(QString::fromLatin1(word));

    list.SaveData(path(u"colors.lxg"_s));

    const QByteArray bytes = read(path(u"colors.lxg"_s));
    QCOMPARE(bytes.size(), 131);
    QCOMPARE(bytes.mid(47, 4), QByteArray::fromHex("04000000"));
    QCOMPARE(bytes, colorsFile);
}

void TestWordList::readData_colors()
{
    write(path(u"colors.lxg"_s), colorsFile);
    wordList list(m_notice);

    list.ReadData(path(u"colors.lxg"_s));

    QCOMPARE(list.getname(), QStringLiteral("Colors"));
    QCOMPARE(list.getdesc(), QString()); // the empty field reads back empty
    QCOMPARE(list.getlist(), array(1, {u"red"_s, u"green"_s, u"blue"_s}));
    QCOMPARE(list.getver(), QStringLiteral("0"));
    QCOMPARE(list.getcreate(), wordList::zeroDate());
    QVERIFY(m_notice.messages.isEmpty());
}

void TestWordList::readData_countDecidesWhatIsRead_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<WordArray>("words");

    const QByteArray start = header() + field(empty) + field(colors);
    QTest::addRow("last entry holds a word, not read")
        << start + int32(3) + field(red) + field(green) + field(blue)
        << array(1, {u"red"_s, u"green"_s});
    QTest::addRow("count 1: no words")
        << start + int32(1) + field(empty) << array(1, {});
    QTest::addRow("count 1 without the closing entry")
        << start + int32(1) << array(1, {});
    QTest::addRow("count 0: array untouched") << start + int32(0) << WordArray();
    QTest::addRow("negative count: array untouched") << start + int32(-5) << WordArray();
    QTest::addRow("bytes after the last entry ignored")
        << start + int32(2) + field(tiger) + field(empty) + QByteArray("trailing")
        << array(1, {u"tiger"_s});
    QTest::addRow("duplicates kept")
        << start + int32(3) + field(tiger) + field(tiger) + field(empty)
        << array(1, {u"tiger"_s, u"tiger"_s});
}

void TestWordList::readData_countDecidesWhatIsRead()
{
    QFETCH(QByteArray, bytes);
    QFETCH(WordArray, words);
    write(path(u"list.lxg"_s), bytes);
    wordList list(m_notice);

    list.ReadData(path(u"list.lxg"_s));

    QCOMPARE(list.getname(), QStringLiteral("Colors"));
    QCOMPARE(list.getlist(), words);
}

void TestWordList::readData_countZero_keepsEarlierWords()
{
    write(path(u"colors.lxg"_s), colorsFile);
    write(path(u"zero.lxg"_s), header() + field(accented) + field(tiger) + int32(0));
    wordList list(m_notice);

    list.ReadData(path(u"colors.lxg"_s));
    list.ReadData(path(u"zero.lxg"_s));

    QCOMPARE(list.getname(), QStringLiteral("tiger"));
    QCOMPARE(list.getdesc(), QStringLiteral("\u00e9\u20ac\u0153"));
    QCOMPARE(list.getlist(), array(1, {u"red"_s, u"green"_s, u"blue"_s}));
}

void TestWordList::readData_versionWordIgnored_data()
{
    QTest::addColumn<qint16>("version");
    QTest::addRow("0") << qint16(0);
    QTest::addRow("1") << qint16(1);
    QTest::addRow("2") << qint16(2);
    QTest::addRow("-1") << qint16(-1);
}

void TestWordList::readData_versionWordIgnored()
{
    QFETCH(qint16, version);
    QByteArray bytes = colorsFile;
    bytes.replace(5, 2, int16(version));
    write(path(u"list.lxg"_s), bytes);
    wordList list(m_notice);

    list.ReadData(path(u"list.lxg"_s));

    QCOMPARE(list.getlist(), array(1, {u"red"_s, u"green"_s, u"blue"_s}));
}

void TestWordList::readData_textEntryCountGoverns()
{
    // Length entries that claim 100 and 0 characters; the text entries decide.
    const QByteArray misleading = int16(3) + int32(100) + int16(8) + int16(qint16(red.size())) + red;
    const QByteArray zero = int16(3) + int32(0) + int16(8) + int16(qint16(tiger.size())) + tiger;
    write(path(u"list.lxg"_s), header() + field(empty) + misleading + int32(2) + zero + field(empty));
    wordList list(m_notice);

    list.ReadData(path(u"list.lxg"_s));

    QCOMPARE(list.getname(), QStringLiteral("red"));
    QCOMPARE(list.getlist(), array(1, {u"tiger"_s}));
}

void TestWordList::readData_foreignFile_toldOnceAndRecordUnchanged_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addRow("empty file") << QByteArray();
    QTest::addRow("shorter than the magic") << QByteArray("LEX");
    QTest::addRow("lower-case magic") << QByteArray("lexig") + colorsFile.mid(5);
    QTest::addRow("text file") << QByteArray("red\ngreen\nblue\n");
    QTest::addRow("magic one byte off") << QByteArray("LEXIH") + colorsFile.mid(5);
}

void TestWordList::readData_foreignFile_toldOnceAndRecordUnchanged()
{
    QFETCH(QByteArray, bytes);
    write(path(u"foreign.lxg"_s), bytes);
    wordList list(m_notice);
    list.setname(QStringLiteral("kept"));
    list.setdesc(QStringLiteral("also kept"));
    list.addword(QStringLiteral("word"));
    const WordArray before = list.getlist();

    list.ReadData(path(u"foreign.lxg"_s));

    QCOMPARE(m_notice.messages, QStringList{QStringLiteral("Invalid File")});
    QCOMPARE(list.getname(), QStringLiteral("kept"));
    QCOMPARE(list.getdesc(), QStringLiteral("also kept"));
    QCOMPARE(list.getlist(), before);
}

void TestWordList::readData_damaged_raisesErrorNamingFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("problem");

    const QByteArray start = header() + field(empty) + field(colors);
    QTest::addRow("unknown tag in length entry")
        << header() + int16(5) + int32(4) + int16(8) + int16(4) + empty << u"unexpected entry type 5 at byte 7"_s;
    QTest::addRow("unknown tag in text entry")
        << header() + int16(3) + int32(4) + int16(2) + int16(4) + empty << u"unexpected entry type 2 at byte 13"_s;
    QTest::addRow("largest count")
        << start + int32(std::numeric_limits<qint32>::max()) + field(red)
        << u"it claims 2147483647 words, more than the file can hold"_s;
    QTest::addRow("count one too many for the file")
        << start + int32(6) + field(empty) + field(empty)
        << u"it claims 6 words, more than the file can hold"_s;
    QTest::addRow("text entry longer than the file")
        << header() + int16(3) + int32(4) + int16(8) + int16(-1) + empty
        << u"the file ends in the middle of an entry (at byte 17)"_s;

    // Entry types that are neither 3 nor 8, in each kind of field.
    QTest::addRow("big-endian length tag")
        << header() + QByteArray::fromHex("0003") + int32(4) + int16(8) + int16(4) + empty
        << u"unexpected entry type 768 at byte 7"_s;
    QTest::addRow("tag 0 in the name's length entry")
        << header() + field(empty) + int16(0) + int32(4) + int16(8) + int16(4) + empty + int32(1)
        << u"unexpected entry type 0 at byte 21"_s;
    QTest::addRow("negative tag in a word's length entry")
        << start + int32(2) + int16(-1) + int32(4) + int16(8) + int16(4) + empty
        << u"unexpected entry type -1 at byte 51"_s;
    QTest::addRow("unknown tag in a word's text entry")
        << start + int32(2) + int16(3) + int32(4) + int16(7) + int16(4) + empty
        << u"unexpected entry type 7 at byte 57"_s;
    QTest::addRow("zeros where the words belong")
        << start + int32(3) + QByteArray(16, '\0') << u"unexpected entry type 0 at byte 51"_s;

    // Counts that the rest of the file does not back.
    QTest::addRow("largest count, nothing after it")
        << start + int32(std::numeric_limits<qint32>::max())
        << u"it claims 2147483647 words, more than the file can hold"_s;
    QTest::addRow("one word claimed, nothing after it")
        << start + int32(2) << u"it claims 2 words, more than the file can hold"_s;
    QTest::addRow("a million words claimed, sixteen bytes follow")
        << start + int32(1000000) + QByteArray(16, '\0')
        << u"it claims 1000000 words, more than the file can hold"_s;
    QTest::addRow("count within bounds, the second word missing")
        << start + int32(3) + field(red) << u"the file ends in the middle of an entry (at byte 69)"_s;
}

void TestWordList::readData_damaged_raisesErrorNamingFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, problem);
    const QString file = path(u"damaged.lxg"_s);
    write(file, bytes);
    wordList list(m_notice);
    const Record held = holdList(list);

    try {
        list.ReadData(file);
        QFAIL("no error raised");
    } catch (const FileError &error) {
        QCOMPARE(error.fileName(), file);
        QCOMPARE(error.problem(), problem);
        QVERIFY(QString::fromStdString(error.what()).contains(QDir::toNativeSeparators(file)));
    }
    QVERIFY(m_notice.messages.isEmpty());
    QCOMPARE(recordOf(list), held);

    // Streaming the words meets the same damage and keeps the record too.
    try {
        list.ReadData(file, [](QStringView) {});
        QFAIL("no error raised while streaming");
    } catch (const FileError &error) {
        QCOMPARE(error.problem(), problem);
    }
    QCOMPARE(recordOf(list), held);
}

void TestWordList::readData_truncatedAtEveryOffset()
{
    // Offsets 117 and above cut only the closing empty word, which is never read.
    const qsizetype closingEntry = colorsFile.size() - field(empty).size();
    for (qsizetype size = 0; size < colorsFile.size(); ++size) {
        write(path(u"cut.lxg"_s), colorsFile.left(size));
        m_notice.messages.clear();
        wordList list(m_notice);
        const Record held = holdList(list);
        bool failed = false;
        try {
            list.ReadData(path(u"cut.lxg"_s));
        } catch (const FileError &) {
            failed = true;
        }
        const bool foreign = size < 5;
        QCOMPARE(m_notice.messages.size(), foreign ? 1 : 0);
        QVERIFY2(failed == (!foreign && size < closingEntry), qPrintable(QString::number(size)));
        if (size >= closingEntry)
            QCOMPARE(list.getlist(), array(1, {u"red"_s, u"green"_s, u"blue"_s}));
        else
            QCOMPARE(recordOf(list), held); // nothing of a file cut short is kept
    }
}

void TestWordList::readData_badBase64_raisesCodecError_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");

    const QByteArray start = header() + field(empty) + field(colors);
    const auto words = [&](const QByteArray &first, const QByteArray &second) {
        return start + int32(4) + first + second + field(blue) + field(empty);
    };
    QTest::addRow("description, length not a multiple of four")
        << header() + field("AAA") + field(colors) + int32(1) << u"Invalid length"_s;
    QTest::addRow("description, padding before the last place")
        << header() + field("AA=A") + field(colors) + int32(1) << u"Invalid padding"_s;
    QTest::addRow("name, one character short")
        << header() + field(empty) + field("GAA0ADcANAApACg") + int32(1) << u"Invalid length"_s;
    QTest::addRow("name, character outside the alphabet")
        << header() + field(empty) + field("GAA0ADcANAApAC*A") + int32(1) << u"Invalid character found"_s;
    QTest::addRow("first word, a blank") << words(field("KQA AD8A"), field(green)) << u"Invalid character found"_s;
    QTest::addRow("first word, a Latin-1 letter")
        << words(field("KQA+AD8\xe9"), field(green)) << u"Invalid character found"_s;
    QTest::addRow("second word, padding inside")
        << words(field(red), field("PAAp=D4APgA1AA==")) << u"Invalid character found"_s;
    QTest::addRow("second word, one character short")
        << words(field(red), field("PAApAD4APgA1A=A")) << u"Invalid length"_s;
    QTest::addRow("second word, padding then a letter")
        << words(field(red), field("PAApAD4APgA1AA=A")) << u"Invalid padding"_s;
    QTest::addRow("second word, empty text entry")
        << words(field(red), int16(3) + int32(0) + int16(8) + int16(0)) << u"Invalid length"_s;
    QTest::addRow("second word, a signed number entry")
        << words(field(red), int16(3) + int32(4) + int16(3) + int32(-123)) << u"Invalid character found"_s;
}

void TestWordList::readData_badBase64_raisesCodecError()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    write(path(u"bad.lxg"_s), bytes);
    wordList list(m_notice);
    const Record held = holdList(list);

    try {
        list.ReadData(path(u"bad.lxg"_s));
        QFAIL("no error raised");
    } catch (const Base64Error &error) {
        QCOMPARE(error.number(), 5);
        QCOMPARE(error.source(), QStringLiteral("CBase64.Decode"));
        QCOMPARE(error.message(), message);
    }
    QVERIFY(m_notice.messages.isEmpty());
    QCOMPARE(recordOf(list), held);
}

QString TestWordList::makePlace(Place place)
{
    const QString file = path(u"list.lxg"_s);
    switch (place) {
    case Place::Missing:
        return file;
    case Place::Vanished: {
        write(file, colorsFile);
        const QStringList listed = QDir(m_dir->path()).entryList({u"*.lxg"_s}, QDir::Files);
        if (listed != QStringList{u"list.lxg"_s} || !QFile::remove(file))
            break;
        return path(listed.first());
    }
    case Place::BelowAFile:
        write(file, colorsFile);
        return file + u"/inner.lxg"_s;
    case Place::DanglingLink:
        return makeLink(u"gone.lxg"_s, file) ? file : QString();
    case Place::LinkLoop:
        return makeLink(u"other.lxg"_s, file) && makeLink(u"list.lxg"_s, path(u"other.lxg"_s)) ? file : QString();
    case Place::Folder:
        return QDir(m_dir->path()).mkdir(u"list.lxg"_s) ? file : QString();
    case Place::Fifo:
        return ::mkfifo(QFile::encodeName(file).constData(), 0600) == 0 ? file : QString();
    case Place::LinkToFifo:
        if (::mkfifo(QFile::encodeName(path(u"fifo"_s)).constData(), 0600) != 0)
            break;
        return makeLink(u"fifo"_s, file) ? file : QString();
    case Place::Device:
        return u"/dev/null"_s;
    case Place::Unreadable:
        write(file, colorsFile);
        // The folder open to all, the file readable by none.
        if (!QFile::setPermissions(m_dir->path(), QFile::permissions(m_dir->path()) | QFileDevice::ExeOther)
            || !QFile::setPermissions(file, QFileDevice::WriteOwner)) {
            break;
        }
        return file;
    }
    QTest::qFail("cannot make the place to read", __FILE__, __LINE__);
    return {};
}

void TestWordList::readData_unreadablePath_data()
{
    QTest::addColumn<Place>("place");
    QTest::addColumn<QString>("problem");

    const QString missing = u"the file does not exist"_s;
    const QString notPlain = u"this is not a plain file"_s;
    QTest::addRow("missing") << Place::Missing << missing;
    QTest::addRow("vanished after it was listed") << Place::Vanished << missing;
    QTest::addRow("below a file") << Place::BelowAFile << u"the path goes through a file as if it were a folder"_s;
    QTest::addRow("dangling link") << Place::DanglingLink << missing;
    QTest::addRow("link loop") << Place::LinkLoop << u"the path runs in a loop of links"_s;
    QTest::addRow("folder named x.lxg") << Place::Folder << u"this is a folder, not a list file"_s;
    QTest::addRow("FIFO") << Place::Fifo << notPlain;
    QTest::addRow("link to a FIFO") << Place::LinkToFifo << notPlain;
    QTest::addRow("character device") << Place::Device << notPlain;
    QTest::addRow("no read permission") << Place::Unreadable << u"the file cannot be opened (Permission denied)"_s;
}

void TestWordList::readData_unreadablePath()
{
    QFETCH(Place, place);
    QFETCH(QString, problem);
    const QString file = makePlace(place);
    if (file.isEmpty())
        return; // makePlace skipped or failed the test
    wordList list(m_notice);
    const Record held = holdList(list);

    // Root opens any file; the permission check runs as a user who cannot.
    std::optional<EffectiveUser> asNobody;
    if (place == Place::Unreadable && geteuid() == 0) {
        const passwd *nobody = getpwnam("nobody");
        if (!nobody)
            QSKIP("permissions do not apply to root, and there is no user nobody");
        asNobody.emplace(nobody->pw_uid, nobody->pw_gid);
        if (!QFileInfo::exists(file))
            QSKIP("the temporary folder is out of nobody's reach");
    }

    // A FIFO must be refused, not opened: opening one waits for a writer.
    try {
        list.ReadData(file);
        QFAIL("no error raised");
    } catch (const FileError &error) {
        QCOMPARE(error.fileName(), file);
        QCOMPARE(error.problem(), problem);
    }
    QVERIFY_THROWS_EXCEPTION(FileError, list.ReadData(file, [](QStringView) {}));
    asNobody.reset();

    QVERIFY(m_notice.messages.isEmpty());
    QCOMPARE(recordOf(list), held);
}

void TestWordList::readData_throughLink_readsTheList()
{
    write(path(u"colors.lxg"_s), colorsFile);
    QVERIFY(QFile::link(u"colors.lxg"_s, path(u"link.lxg"_s)));
    wordList list(m_notice);

    list.ReadData(path(u"link.lxg"_s));

    QCOMPARE(list.getlist(), array(1, {u"red"_s, u"green"_s, u"blue"_s}));
}

void TestWordList::readData_withWordCallback_streamsWords()
{
    write(path(u"colors.lxg"_s), colorsFile);
    wordList list(m_notice);
    QStringList words;

    list.ReadData(path(u"colors.lxg"_s), [&](QStringView word) { words.append(word.toString()); });

    QCOMPARE(words, (QStringList{u"red"_s, u"green"_s, u"blue"_s}));
    QCOMPARE(list.getname(), QStringLiteral("Colors"));
    QCOMPARE(list.getlist(), WordArray());
}

void TestWordList::cipher_data()
{
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("enciphered");

    QTest::addRow("empty") << QString() << QString();
    QTest::addRow("red") << u"red"_s << u")>?"_s;
    QTest::addRow("doubled letter stays doubled") << u"green"_s << u"<)>>5"_s;
    QTest::addRow("key character gives code 0") << u"["_s << QString(QChar(0));
    QTest::addRow("NUL gives the key character") << QString(QChar(0)) << u"["_s;
    QTest::addRow("e acute") << u"\u00e9"_s << u"\u00b2"_s;
    QTest::addRow("euro via code 0x80") << u"\u20ac"_s << u"\u00db"_s;
    QTest::addRow("missing character enciphers as ?") << u"\u0416"_s << u"d"_s;
}

void TestWordList::cipher()
{
    QFETCH(QString, plain);
    QFETCH(QString, enciphered);

    QCOMPARE(wordList::Encrypt(plain), enciphered);
    QCOMPARE(wordList::Decrypt(enciphered), plain == u"\u0416" ? u"?"_s : plain);
}

void TestWordList::cipher_isAnInvolutionOnTheCodePage()
{
    QByteArray allCodes(256, Qt::Uninitialized);
    for (int code = 0; code < 256; ++code)
        allCodes[code] = char(code);
    const QString every = CodePage::windows1252().toUnicode(allCodes);

    QCOMPARE(wordList::Decrypt(wordList::Encrypt(every)), every);
    QCOMPARE(wordList::Encrypt(wordList::Encrypt(every)), every);
    QVERIFY(wordList::Encrypt(every) != every);
}

void TestWordList::fileRoundTrip_everyCodePageCharacter()
{
    wordList list(m_notice);
    QStringList words;
    for (int code = 0; code < 256; ++code) {
        // Each character between two letters, and a word of all of them.
        words.append(u'x' + QString(QChar(CodePage::windows1252().toChar(quint8(code)))) + u'y');
    }
    QByteArray allCodes(256, Qt::Uninitialized);
    for (int code = 0; code < 256; ++code)
        allCodes[code] = char(code);
    words.append(CodePage::windows1252().toUnicode(allCodes));
    for (const QString &word : std::as_const(words))
        list.addword(word);
    list.addword(QString());
    list.SaveData(path(u"all.lxg"_s));

    wordList back(m_notice);
    back.ReadData(path(u"all.lxg"_s));

    QCOMPARE(back.getlist().words(), words);
}

void TestWordList::fileRoundTrip_accentedText()
{
    wordList list(m_notice);
    list.setname(QStringLiteral("Caf\u00e9 \u20ac"));
    list.setdesc(QStringLiteral("\u0152uvres, na\u00efve"));
    list.addword(QStringLiteral("\u00e9\u20ac\u0153"));
    list.addword(QStringLiteral(" river "));
    list.addword(QString());
    list.SaveData(path(u"accents.lxg"_s));

    wordList back(m_notice);
    back.ReadData(path(u"accents.lxg"_s));

    QCOMPARE(back.getname(), list.getname());
    QCOMPARE(back.getdesc(), list.getdesc());
    QCOMPARE(back.getlist(), array(1, {u"\u00e9\u20ac\u0153"_s, u" river "_s}));
    QVERIFY(read(path(u"accents.lxg"_s)).contains(field(accented)));
}

void TestWordList::fileRoundTrip_longestField_andOneTooLong()
{
    const QString file = path(u"long.lxg"_s);
    wordList list(m_notice);
    list.setname(QString(wordList::maxFieldLength, u'a'));
    list.addword(QString(12288, u'b')); // a text entry count above 32767
    list.addword(QString());
    list.SaveData(file);

    wordList back(m_notice);
    back.ReadData(file);
    QCOMPARE(back.getname().size(), wordList::maxFieldLength);
    QCOMPARE(back.getlist().words(), QStringList{QString(12288, u'b')});

    const QByteArray before = read(file);
    list.setname(QString(wordList::maxFieldLength + 1, u'a'));
    QVERIFY_THROWS_EXCEPTION(FileError, list.SaveData(file));
    QCOMPARE(read(file), before);
}

void TestWordList::saveData_replacesLongerFile()
{
    write(path(u"colors.lxg"_s), QByteArray(4096, 'x'));
    wordList list(m_notice);
    list.setname(QStringLiteral("Colors"));
    for (const char *word : {"red", "green", "blue", ""})
        list.addword(QString::fromLatin1(word));

    list.SaveData(path(u"colors.lxg"_s));

    QCOMPARE(read(path(u"colors.lxg"_s)), colorsFile);
}

void TestWordList::saveData_failure_keepsOldFile()
{
    wordList list(m_notice);
    list.addword(QString());

    QVERIFY_THROWS_EXCEPTION(FileError, list.SaveData(path(u"no/such/folder/list.lxg"_s)));

    write(path(u"kept.lxg"_s), colorsFile);
    list.setlist(array(2, {u"orphan"_s}));
    QVERIFY_THROWS_EXCEPTION(FileError, list.SaveData(path(u"kept.lxg"_s)));
    QCOMPARE(read(path(u"kept.lxg"_s)), colorsFile);
}

QTEST_GUILESS_MAIN(TestWordList)
#include "tst_wordlist.moc"
