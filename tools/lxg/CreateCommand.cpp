#include "Commands.h"
#include "Console.h"

#include "platform/CodePage.h"
#include "store/CBase64.h"
#include "store/FileError.h"
#include "store/ListFileWriter.h"
#include "store/wordList.h"

#include <QFile>

#include <algorithm>
#include <optional>

using namespace lexiglow;

namespace lxg {

namespace {

// The longest line that can still hold a word the format carries: three UTF-8
// bytes at most per UTF-16 unit, and the line end.
constexpr qint64 longestLine = 3 * (wordList::maxFieldLength + 1) + 2;
// Duplicates are looked for among the distinct words up to this many
// characters, so that no input makes the check grow without end.
constexpr qsizetype remembered = 4 * 1024 * 1024;

QFile &openSource(QFile &file, const QString &source)
{
    const bool isStandardInput = source.isEmpty() || source == u"-";
    const bool opened = isStandardInput ? file.open(stdin, QIODevice::ReadOnly)
                                        : (file.setFileName(source), file.open(QIODevice::ReadOnly));
    if (!opened)
        throw FileError(source, QStringLiteral("the file cannot be opened (%1)").arg(file.errorString()));
    return file;
}

// Tells about the first hundred words that need it; more would bury the rest.
void warn(qsizetype line, const QString &problem)
{
    constexpr int shown = 100;
    static int warnings = 0;
    if (++warnings <= shown)
        err() << "lxg: warning: line " << line << ": " << problem << Qt::endl;
    else if (warnings == shown + 1)
        err() << "lxg: warning: line " << line << ": more warnings follow and are not shown" << Qt::endl;
}

// Characters of text that the code page lacks: they are stored as "?".
QString missingCharacters(const QString &text)
{
    QString missing;
    for (const QChar ch : text) {
        if (!CodePage::system().toCode(ch.unicode()) && !missing.contains(ch))
            missing.append(ch);
    }
    return missing;
}

// Reads the words, every line that holds more than blanks, as written, and
// tells about those that would make poor passwords or come back changed from
// the file. Refuses a word that the format cannot carry or that holds a line
// break, and stops at the first.
class WordSource final
{
public:
    WordSource(QIODevice &device, const QString &name)
        : m_device(device)
        , m_name(name)
    {
    }

    // The next word, or nothing at the end of the input.
    std::optional<QString> next()
    {
        for (;;) {
            // A device may not know its end (/dev/zero says it is empty).
            QByteArray bytes = m_device.readLine(longestLine);
            if (bytes.isEmpty())
                return std::nullopt;
            ++m_line;
            if (bytes.size() >= longestLine - 1 && !bytes.endsWith('\n'))
                refuse(m_line, tooLong(QStringLiteral("more than %1").arg(wordList::maxFieldLength)));
            if (bytes.endsWith('\n'))
                bytes.chop(1);
            if (bytes.endsWith('\r'))
                bytes.chop(1);
            QString text = QString::fromUtf8(bytes);
            if (m_line == 1 && text.startsWith(QChar::ByteOrderMark))
                text.remove(0, 1);
            if (text.trimmed().isEmpty()) {
                if (!text.isEmpty())
                    warn(m_line, QStringLiteral("holds only blanks and is skipped"));
                continue;
            }
            check(text);
            return text;
        }
    }

private:
    // Ends the command: the list is not written.
    [[noreturn]] void refuse(qsizetype line, const QString &problem) const
    {
        throw FileError(m_name, QStringLiteral("line %1: %2").arg(line).arg(problem));
    }

    static QString tooLong(const QString &length)
    {
        return QStringLiteral("a word of %1 characters is longer than a list file can carry (%2)")
            .arg(length)
            .arg(wordList::maxFieldLength);
    }

    void check(const QString &word)
    {
        if (word.size() > wordList::maxFieldLength)
            refuse(m_line, tooLong(QString::number(word.size())));
        static const QString lineBreaks = QStringLiteral("\r\n\v\f\u0085\u2028\u2029");
        if (std::any_of(word.begin(), word.end(), [](QChar ch) { return lineBreaks.contains(ch); }))
            refuse(m_line, QStringLiteral("a word holds a line break"));
        if (const QString missing = missingCharacters(word); !missing.isEmpty())
            warn(m_line, QStringLiteral("'%1' cannot be stored and is written as '?'").arg(missing));
        if (word == u"[")
            warn(m_line, QStringLiteral("'[' alone reads back as an empty word"));
        if (word.front().isSpace() || word.back().isSpace())
            warn(m_line, QStringLiteral("'%1' has blanks at its ends, and spaces there are dropped when it is drawn").arg(word));
        if (const auto first = m_firstLine.constFind(word); first != m_firstLine.cend()) {
            warn(m_line, QStringLiteral("'%1' repeats line %2, so it is drawn twice as often").arg(word).arg(*first));
        } else if (m_rememberedSize + word.size() <= remembered) {
            m_firstLine.insert(word, m_line);
            m_rememberedSize += word.size();
        }
    }

    QIODevice &m_device;
    QString m_name;
    qsizetype m_line = 0;
    QHash<QString, qsizetype> m_firstLine;
    qsizetype m_rememberedSize = 0;
};

void checkText(const QString &what, const QString &text)
{
    if (text.size() > wordList::maxFieldLength) {
        throw UsageError(QStringLiteral("the %1 is longer than a list file can carry (%2 characters)")
                             .arg(what)
                             .arg(wordList::maxFieldLength));
    }
    if (const QString missing = missingCharacters(text); !missing.isEmpty())
        err() << "lxg: warning: the " << what << "'s '" << missing << "' cannot be stored and is written as '?'" << Qt::endl;
}

} // namespace

int create(const QStringList &args)
{
    const Arguments parsed = Arguments::parse(args, {QStringLiteral("name"), QStringLiteral("description")});
    if (parsed.positionals.isEmpty())
        throw UsageError(QStringLiteral("create needs the file to write"));
    if (parsed.positionals.size() > 2)
        throw UsageError(QStringLiteral("create takes one file of words"));
    if (!parsed.options.contains(QStringLiteral("name")))
        throw UsageError(QStringLiteral("create needs --name"));
    const QString target = parsed.positionals[0];
    const QString name = parsed.options.value(QStringLiteral("name"));
    const QString description = parsed.options.value(QStringLiteral("description"));
    checkText(QStringLiteral("name"), name);
    checkText(QStringLiteral("description"), description);

    const QString source = parsed.positionals.value(1);
    QFile sourceFile;
    WordSource words(openSource(sourceFile, source),
                     source.isEmpty() || source == u"-" ? QStringLiteral("standard input") : source);

    // The words go to the file as they are read, so that no input costs
    // memory for its words.
    qint64 count = 0;
    const CBase64 codec;
    ListFileWriter::replaceFile(target, [&](QIODevice &file) {
        ListFileWriter writer(file, target, codec, description, name);
        while (const std::optional<QString> word = words.next())
            writer.addWord(*word);
        count = writer.wordCount();
        writer.addWord(QString()); // every list file ends with an empty word
        writer.finish();
    });
    out() << "Wrote " << count << " words to " << target << Qt::endl;
    return exitOk;
}

} // namespace lxg
