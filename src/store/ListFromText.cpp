#include "store/ListFromText.h"

#include "platform/CodePage.h"
#include "store/CBase64.h"
#include "store/FileError.h"
#include "store/ListFileFormat.h"
#include "store/ListFileReader.h"
#include "store/ListFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace lexiglow {

namespace {

// The longest line that can still hold a word the format carries: three UTF-8
// bytes at most per UTF-16 unit, and the line end.
constexpr qint64 longestLine = 3 * (listfile::maxFieldLength + 1) + 2;
// Duplicates are looked for among the distinct words up to this many
// characters, so that no input makes the check grow without end.
constexpr qsizetype remembered = 4 * 1024 * 1024;
// A list file counts its entries in 32 bits, the closing empty word included.
constexpr qint64 maxWords = std::numeric_limits<qint32>::max() - 1;

// Takes a name for a new list in folder that no file has, by creating an
// empty file under it, which only a file of that name already there stops.
QString reserveListFile(const QDir &folder, const QString &baseName)
{
    // Far more than anyone makes of one text file; the end of a loop that a
    // folder refusing every new file would make.
    constexpr int tries = 1000;
    QString lastProblem;
    for (int number = 1; number <= tries; ++number) {
        const QString path = folder.filePath(number == 1 ? baseName + QStringLiteral(".lxg")
                                                         : QStringLiteral("%1-%2.lxg").arg(baseName).arg(number));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return path;
        if (!QFileInfo::exists(path))
            throw FileError(path, QStringLiteral("the file cannot be created (%1)").arg(file.errorString()));
    }
    throw FileError(folder.path(), QStringLiteral("every name for the new list is taken"));
}

// Characters of text that the code page lacks: they are stored as "?".
QString missingCharacters(QStringView text)
{
    QString missing;
    for (const QChar ch : text) {
        if (!CodePage::system().toCode(ch.unicode()) && !missing.contains(ch))
            missing.append(ch);
    }
    return missing;
}

QString tooLong(const QString &length)
{
    return QStringLiteral("a word of %1 characters is longer than a list file can carry (%2)")
        .arg(length)
        .arg(listfile::maxFieldLength);
}

// Reads the words, every line that holds more than blanks, as written, and
// warns about those that would make poor passwords or come back changed from
// the file. Refuses, at the first, a line that is not text and a word that
// the format cannot carry or that holds a line break.
class WordSource final
{
public:
    WordSource(QIODevice &device, const QString &name, const ListFromText &making)
        : m_device(device)
        , m_name(name)
        , m_making(making)
    {
    }

    // The next word, or nothing at the end of the input.
    std::optional<QString> next()
    {
        for (;;) {
            if (m_making.cancelled && m_making.cancelled->load(std::memory_order_relaxed))
                throw FileError(m_name, QStringLiteral("the making of the list was cancelled"));
            // Into one buffer for every line: a line of its own each would
            // cost a large allocation and its release per word. A device may
            // not know its end (/dev/zero says it is empty).
            const qint64 read = m_device.readLine(m_buffer.data(), longestLine);
            if (read <= 0)
                return std::nullopt;
            QByteArrayView bytes(m_buffer.constData(), read);
            ++m_line;
            if (bytes.size() >= longestLine - 1 && !bytes.endsWith('\n'))
                refuse(tooLong(QStringLiteral("more than %1").arg(listfile::maxFieldLength)));
            if (bytes.endsWith('\n'))
                bytes.chop(1);
            if (bytes.endsWith('\r'))
                bytes.chop(1);
            QString text = decoded(bytes);
            if (m_line == 1 && text.startsWith(QChar::ByteOrderMark))
                text.remove(0, 1);
            if (text.trimmed().isEmpty()) {
                if (!text.isEmpty())
                    warn(QStringLiteral("holds only blanks and is skipped"));
                continue;
            }
            check(text);
            return text;
        }
    }

private:
    // Ends the making: the list is not written.
    [[noreturn]] void refuse(const QString &problem) const
    {
        throw FileError(m_name, QStringLiteral("line %1: %2").arg(m_line).arg(problem));
    }

    // A file of words is text: a NUL byte or bytes that are no UTF-8 show a
    // file of another kind, whose "words" would be garbage.
    QString decoded(QByteArrayView bytes)
    {
        if (bytes.contains('\0'))
            refuse(QStringLiteral("it holds a NUL byte, so this is not a text file"));
        m_decoder.resetState();
        QString text = m_decoder(bytes);
        if (m_decoder.hasError())
            refuse(QStringLiteral("it is not UTF-8 text (save the file as UTF-8)"));
        return text;
    }

    void warn(const QString &problem)
    {
        if (!m_making.warn)
            return;
        if (++m_warnings <= ListFromText::shownWarnings)
            m_making.warn(QStringLiteral("line %1: %2").arg(m_line).arg(problem));
        else if (m_warnings == ListFromText::shownWarnings + 1)
            m_making.warn(QStringLiteral("line %1: more warnings follow and are not shown").arg(m_line));
    }

    void check(const QString &word)
    {
        if (word.size() > listfile::maxFieldLength)
            refuse(tooLong(QString::number(word.size())));
        static const QString lineBreaks = QStringLiteral("\r\n\v\f\u0085\u2028\u2029");
        if (std::any_of(word.begin(), word.end(), [](QChar ch) { return lineBreaks.contains(ch); }))
            refuse(QStringLiteral("a word holds a line break"));
        if (const QString missing = missingCharacters(word); !missing.isEmpty())
            warn(QStringLiteral("'%1' cannot be stored and is written as '?'").arg(missing));
        if (word == u"[")
            warn(QStringLiteral("'[' alone reads back as an empty word"));
        if (word.front().isSpace() || word.back().isSpace())
            warn(QStringLiteral("'%1' has blanks at its ends, and spaces there are dropped when it is drawn").arg(word));
        if (const auto first = m_firstLine.constFind(word); first != m_firstLine.cend()) {
            warn(QStringLiteral("'%1' repeats line %2, so it is drawn twice as often").arg(word).arg(*first));
        } else if (m_rememberedSize + word.size() <= remembered) {
            m_firstLine.insert(word, m_line);
            m_rememberedSize += word.size();
        }
    }

    QIODevice &m_device;
    QString m_name;
    const ListFromText &m_making;
    QByteArray m_buffer{longestLine, Qt::Uninitialized};
    QStringDecoder m_decoder{QStringConverter::Utf8,
                             QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom};
    qsizetype m_line = 0;
    int m_warnings = 0;
    QHash<QString, qsizetype> m_firstLine;
    qsizetype m_rememberedSize = 0;
};

} // namespace

ListTextCheck checkListText(const QString &what, const QString &text)
{
    ListTextCheck check;
    if (text.size() > listfile::maxFieldLength) {
        check.refusal = QStringLiteral("the %1 is longer than a list file can carry (%2 characters)")
                            .arg(what)
                            .arg(listfile::maxFieldLength);
    }
    if (const QString missing = missingCharacters(text); !missing.isEmpty())
        check.warnings.append(QStringLiteral("the %1's '%2' cannot be stored and is written as '?'").arg(what, missing));
    return check;
}

qint64 makeListFromText(QIODevice &source, const QString &sourceName, const QString &target,
                        const ListFromText &making)
{
    WordSource words(source, sourceName, making);
    qint64 count = 0;
    // Takes every word in turn; a list file cannot count more.
    const auto eachWord = [&](const std::function<void(const QString &)> &take) {
        while (const std::optional<QString> word = words.next()) {
            if (count == maxWords)
                throw FileError(target.isEmpty() ? sourceName : target,
                                QStringLiteral("the list has too many words for a list file"));
            take(*word);
            ++count;
        }
        if (count == 0)
            throw FileError(sourceName, QStringLiteral("it holds no word"));
    };
    if (target.isEmpty()) {
        eachWord([](const QString &) {});
        return count;
    }
    const CBase64 codec;
    ListFileWriter::replaceFile(target, [&](QIODevice &file) {
        ListFileWriter writer(file, target, codec, making.description, making.name);
        eachWord([&writer](const QString &word) { writer.addWord(word); });
        writer.addWord(QString()); // every list file ends with an empty word
        writer.finish();
    });
    return count;
}

qint64 countTextFile(const QString &path, const ListFromText &making)
{
    return makeListFromText(*ListFileReader::open(path), path, QString(), making);
}

QString makeListInFolder(const QString &path, const QString &folder, const ListFromText &making)
{
    // An empty folder would be the working folder.
    if (folder.isEmpty())
        throw FileError(path, QStringLiteral("there is no folder to keep new word lists in"));
    const std::unique_ptr<QFile> source = ListFileReader::open(path);
    const QDir lists(folder);
    if (!lists.mkpath(QStringLiteral(".")))
        throw FileError(folder, QStringLiteral("the folder cannot be made"));
    const QString baseName = QFileInfo(path).completeBaseName();
    const QString target = reserveListFile(lists, baseName.isEmpty() ? QStringLiteral("list") : baseName);
    try {
        makeListFromText(*source, path, target, making);
    } catch (...) {
        QFile::remove(target); // the empty file that held the name
        throw;
    }
    return QDir::toNativeSeparators(target);
}

} // namespace lexiglow
