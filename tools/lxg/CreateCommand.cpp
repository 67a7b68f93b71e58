#include "Commands.h"
#include "Console.h"

#include "platform/CodePage.h"
#include "store/FileError.h"
#include "store/wordList.h"

#include <QDateTime>
#include <QFile>

using namespace lexiglow;

namespace lxg {

namespace {

struct SourceLine
{
    qsizetype number = 0;
    QString text;
};

QByteArray readSource(const QString &source)
{
    QFile file;
    const bool isStandardInput = source.isEmpty() || source == u"-";
    const bool opened = isStandardInput ? file.open(stdin, QIODevice::ReadOnly)
                                        : (file.setFileName(source), file.open(QIODevice::ReadOnly));
    if (!opened)
        throw FileError(source, QStringLiteral("the file cannot be opened (%1)").arg(file.errorString()));
    return file.readAll();
}

void warn(qsizetype line, const QString &problem)
{
    err() << "lxg: warning: line " << line << ": " << problem << Qt::endl;
}

// The words: every line that holds more than blanks, as written.
QList<SourceLine> wordsOf(const QByteArray &utf8)
{
    QString text = QString::fromUtf8(utf8);
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    QList<SourceLine> words;
    qsizetype number = 0;
    for (QStringView line : QStringView(text).split(u'\n')) {
        ++number;
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty()) {
            if (!line.isEmpty())
                warn(number, QStringLiteral("holds only blanks and is skipped"));
            continue;
        }
        words.append({number, line.toString()});
    }
    return words;
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

// Tells about words that would make poor passwords or come back changed from
// the file, without refusing any the format can carry. Returns false when a
// word is too long for the format.
bool checkWords(const QList<SourceLine> &words)
{
    bool writable = true;
    QHash<QString, qsizetype> firstLine;
    for (const SourceLine &word : words) {
        if (word.text.size() > wordList::maxFieldLength) {
            err() << "lxg: line " << word.number << ": a word of " << word.text.size()
                  << " characters is longer than a list file can carry (" << wordList::maxFieldLength << ")"
                  << Qt::endl;
            writable = false;
        }
        if (const QString missing = missingCharacters(word.text); !missing.isEmpty())
            warn(word.number, QStringLiteral("'%1' cannot be stored and is written as '?'").arg(missing));
        if (word.text == u"[")
            warn(word.number, QStringLiteral("'[' alone reads back as an empty word"));
        if (word.text.front().isSpace() || word.text.back().isSpace())
            warn(word.number, QStringLiteral("'%1' has blanks at its ends, and spaces there are dropped when it is drawn").arg(word.text));
        if (const auto first = firstLine.constFind(word.text); first != firstLine.cend())
            warn(word.number, QStringLiteral("'%1' repeats line %2, so it is drawn twice as often").arg(word.text).arg(*first));
        else
            firstLine.insert(word.text, word.number);
    }
    return writable;
}

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

    const QList<SourceLine> words = wordsOf(readSource(parsed.positionals.value(1)));
    if (!checkWords(words))
        return exitFailure;

    ErrorStreamNotice notice;
    wordList list(notice);
    list.setname(name);
    list.setdesc(description);
    list.setcreate(QDateTime::currentDateTimeUtc());
    for (const SourceLine &word : words)
        list.addword(word.text);
    list.addword(QString()); // every list file ends with an empty word
    list.SaveData(target);
    out() << "Wrote " << words.size() << " words to " << target << Qt::endl;
    return exitOk;
}

} // namespace lxg
