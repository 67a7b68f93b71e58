#include "store/wordList.h"

#include "platform/CodePage.h"
#include "platform/Notice.h"
#include "store/CBase64.h"
#include "store/FileError.h"
#include "store/ListFileFormat.h"
#include "store/ListFileReader.h"
#include "store/ListFileWriter.h"

#include <QFileDevice>

#include <array>

namespace lexiglow {

namespace {

using listfile::lengthTag;
using listfile::textTag;
// The smallest entry a word can take: a length entry and a text entry both
// tagged 8 with a zero count.
constexpr qint64 smallestFieldSize = 8;

QString fileNameOf(const QIODevice &device)
{
    const auto *file = qobject_cast<const QFileDevice *>(&device);
    return file ? file->fileName() : QString();
}

// The number at the start of text, rounded half to even: an optional sign,
// digits, an optional "." and digits; blanks anywhere are skipped. Text that
// does not start with a number gives 0. Nothing when the result does not fit
// 16 bits.
std::optional<qint16> roundedLeadingNumber(QStringView text)
{
    qsizetype pos = 0;
    const auto peek = [&]() -> char16_t {
        while (pos < text.size() && (text[pos] == u' ' || text[pos] == u'\t'))
            ++pos;
        return pos < text.size() ? text[pos].unicode() : u'\0';
    };
    const auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };

    bool negative = false;
    if (peek() == u'+' || peek() == u'-') {
        negative = text[pos] == u'-';
        ++pos;
    }
    constexpr qint64 tooLarge = 1 << 20; // far beyond 16 bits, far from overflow
    qint64 magnitude = 0;
    for (char16_t c = peek(); isDigit(c); ++pos, c = peek())
        magnitude = std::min(tooLarge, magnitude * 10 + (c - u'0'));

    int firstDecimal = 0;
    bool nonZeroAfterFirst = false;
    if (peek() == u'.') {
        ++pos;
        if (char16_t c = peek(); isDigit(c)) {
            firstDecimal = c - u'0';
            ++pos;
            for (c = peek(); isDigit(c); ++pos, c = peek())
                nonZeroAfterFirst = nonZeroAfterFirst || c != u'0';
        }
    }

    const bool exactHalf = firstDecimal == 5 && !nonZeroAfterFirst;
    if (firstDecimal > 5 || (firstDecimal == 5 && !exactHalf) || (exactHalf && magnitude % 2 == 1))
        ++magnitude;
    const qint64 value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return qint16(value);
}

} // namespace

wordList::wordList(Notice &notice)
    : m_notice(notice)
    , m_created(zeroDate())
{
}

wordList::~wordList() = default;

QDateTime wordList::zeroDate()
{
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
}

WordArray wordList::getlist() const
{
    return m_words;
}

void wordList::setlist(const WordArray &sl)
{
    m_words = sl;
}

bool wordList::setver(QStringView d)
{
    const std::optional<qint16> version = roundedLeadingNumber(d);
    if (!version)
        return false;
    m_version = *version;
    return true;
}

QString wordList::getver() const
{
    return QString::number(m_version);
}

void wordList::setdesc(const QString &d)
{
    m_description = d;
}

QString wordList::getdesc() const
{
    return m_description;
}

void wordList::setcreate(const QDateTime &sc)
{
    m_created = sc;
}

QDateTime wordList::getcreate() const
{
    return m_created;
}

void wordList::addword(const QString &word)
{
    m_words.append(word);
}

void wordList::setname(const QString &name)
{
    m_name = name;
}

QString wordList::getname() const
{
    return m_name;
}

CBase64 &wordList::codec()
{
    if (!m_codec)
        m_codec = std::make_unique<CBase64>();
    return *m_codec;
}

void wordList::checkSavable(const QString &filename) const
{
    const qsizetype upperBound = m_words.upperBound();
    if (upperBound >= 1 && m_words.lowerBound() > 1)
        throw FileError(filename, QStringLiteral("the list has no word at index 1"));
    if (upperBound > std::numeric_limits<qint32>::max())
        throw FileError(filename, QStringLiteral("the list has too many words for a list file"));
}

void wordList::SaveData(const QString &filename)
{
    checkSavable(filename);
    ListFileWriter::replaceFile(filename, [&](QIODevice &file) { SaveData(file, filename); });
}

void wordList::SaveData(QIODevice &device, const QString &fileName)
{
    checkSavable(fileName);
    ListFileWriter writer(device, fileName, codec(), m_description, m_name);
    for (qsizetype i = 1; i <= m_words.upperBound(); ++i)
        writer.addWord(m_words[i]);
    writer.finish();
}

void wordList::saveField(const QString &fieldtext, QIODevice &file)
{
    ListFileWriter::writeField(file, codec(), fieldtext, fileNameOf(file));
}

QString wordList::loadField(ListFileReader &file)
{
    QString text;
    loadFieldInto(file, text);
    return text;
}

void wordList::loadFieldInto(ListFileReader &in, QString &text)
{
    const auto unexpectedTag = [&](qint16 tag) {
        in.fail(QStringLiteral("unexpected entry type %1 at byte %2").arg(tag).arg(in.position() - 2));
    };

    // The length entry only repeats what the text entry says; skip it.
    if (const qint16 tag = in.takeInt16(); tag == lengthTag)
        in.take(4);
    else if (tag == textTag)
        in.take(in.takeUInt16());
    else
        unexpectedTag(tag);

    QByteArray number;
    QByteArrayView base64;
    if (const qint16 tag = in.takeInt16(); tag == textTag) {
        base64 = in.take(in.takeUInt16());
    } else if (tag == lengthTag) {
        number = QByteArray::number(in.takeInt32()); // a number stands for its decimal text
        base64 = number;
    } else {
        unexpectedTag(tag);
    }

    std::array<char, CBase64::maxDecodedSize(std::numeric_limits<quint16>::max())> decoded;
    const qsizetype byteCount = codec().decodeInto(base64, decoded.data());
    qsizetype unitCount = byteCount / 2; // an odd last byte is dropped
    // The empty text is written as one NUL unit ("AAA="); however that unit
    // is spelled, it reads back as the empty text.
    if (unitCount == 1 && decoded[0] == 0 && decoded[1] == 0)
        unitCount = 0;
    if (text.isNull())
        text = QString(unitCount, Qt::Uninitialized); // sized once, without room to grow
    else
        text.resize(unitCount);
    QChar *out = text.data();
    const listfile::Cipher table;
    for (qsizetype i = 0; i < unitCount; ++i)
        out[i] = QChar(table(char16_t(quint8(decoded[2 * i]) | quint8(decoded[2 * i + 1]) << 8)));
}

std::optional<wordList::Header> wordList::readHeader(ListFileReader &in)
{
    if (in.takeAtMost(listfile::magicSize) != QByteArrayView(listfile::magic, listfile::magicSize)) {
        m_notice.tell(QStringLiteral("Invalid File"));
        return std::nullopt;
    }
    in.takeInt16(); // the writing program's version: any value is accepted
    Header header;
    header.description = loadField(in);
    header.name = loadField(in);

    header.count = in.takeInt32();
    // Every entry before the closing empty word is read; refuse a count the
    // file cannot back before anything is allocated for it.
    if (header.count > 1 && qint64(header.count - 1) > in.remaining() / smallestFieldSize)
        in.fail(QStringLiteral("it claims %1 words, more than the file can hold").arg(header.count));
    return header;
}

bool wordList::ReadData(const QString &filename)
{
    return ReadData(*ListFileReader::open(filename), filename);
}

bool wordList::ReadData(const QString &filename, const std::function<void(QStringView)> &eachWord)
{
    return ReadData(*ListFileReader::open(filename), filename, eachWord);
}

bool wordList::ReadData(QIODevice &device, const QString &fileName)
{
    ListFileReader in(device, fileName);
    std::optional<Header> header = readHeader(in);
    if (!header)
        return false;
    // A count of zero or less leaves the words as they were. The array grows
    // with the words read, never ahead of them: a file's size, which a sparse
    // file has for free, backs no claim.
    std::optional<WordArray> words;
    if (header->count > 0) {
        QStringList read;
        for (qint32 i = 1; i < header->count; ++i)
            loadFieldInto(in, read.emplace_back());
        words.emplace(1, std::move(read));
    }

    m_description = std::move(header->description);
    m_name = std::move(header->name);
    if (words)
        m_words = std::move(*words);
    return true;
}

bool wordList::ReadData(QIODevice &device, const QString &fileName, const std::function<void(QStringView)> &eachWord)
{
    ListFileReader in(device, fileName);
    std::optional<Header> header = readHeader(in);
    if (!header)
        return false;
    QString word;
    for (qint32 i = 1; i < header->count; ++i) {
        loadFieldInto(in, word);
        eachWord(word);
    }

    m_description = std::move(header->description);
    m_name = std::move(header->name);
    return true;
}

QString wordList::Encrypt(QStringView txt)
{
    return listfile::applyCipher(txt);
}

QString wordList::Decrypt(QStringView txt)
{
    return listfile::applyCipher(txt);
}

} // namespace lexiglow
