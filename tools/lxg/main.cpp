// lxg: makes, shows and uses Lexiglow word lists from the command line.

#include "platform/Notice.h"
#include "store/ReadListFile.h"
#include "store/FileError.h"
#include "store/wordList.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTextStream>

#include <optional>

using namespace lexiglow;

namespace {

constexpr int exitOk = 0;
constexpr int exitFailure = 1;
constexpr int exitUsage = 2;

const char helpText[] =
    "Usage:\n"
    "  lxg create OUT.lxg --name NAME [--description TEXT] [WORDS.txt | -]\n"
    "      Writes a word list. The words are the lines of WORDS.txt, or of\n"
    "      standard input when it is '-' or missing: UTF-8, LF or CR LF line\n"
    "      ends, blank lines skipped, every other line kept as written.\n"
    "  lxg show FILE.lxg\n"
    "      Prints the list's name, its description and its words, one a line.\n"
    "  lxg --help\n"
    "      Shows this help.\n"
    "\n"
    "Exit status: 0 on success, 1 when a file cannot be read or written,\n"
    "2 when the command line is wrong.\n";

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

class UsageError final : public std::runtime_error
{
public:
    explicit UsageError(const QString &problem)
        : std::runtime_error(problem.toStdString())
    {
    }
};

// Tells the user on standard error, and remembers that it did.
class ErrorStreamNotice final : public Notice
{
public:
    void tell(const QString &message) override
    {
        err() << message << Qt::endl;
        m_told = true;
    }
    bool told() const { return m_told; }

private:
    bool m_told = false;
};

// The arguments of one command: positionals in order, and "--key VALUE" or
// "--key=VALUE" options among them. "-" alone is a positional.
struct Arguments
{
    QStringList positionals;
    QHash<QString, QString> options;

    static Arguments parse(const QStringList &args, const QStringList &knownOptions)
    {
        Arguments parsed;
        for (qsizetype i = 0; i < args.size(); ++i) {
            const QString &arg = args[i];
            if (!arg.startsWith(u"--")) {
                parsed.positionals.append(arg);
                continue;
            }
            const qsizetype equals = arg.indexOf(u'=');
            const QString key = arg.mid(2, equals < 0 ? -1 : equals - 2);
            if (!knownOptions.contains(key))
                throw UsageError(QStringLiteral("unknown option '--%1'").arg(key));
            if (equals >= 0)
                parsed.options.insert(key, arg.mid(equals + 1));
            else if (i + 1 < args.size())
                parsed.options.insert(key, args[++i]);
            else
                throw UsageError(QStringLiteral("option '--%1' needs a value").arg(key));
        }
        return parsed;
    }
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

QStringList wordsOf(const QByteArray &utf8)
{
    QStringList words;
    QString text = QString::fromUtf8(utf8);
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (!line.trimmed().isEmpty())
            words.append(line.toString());
    }
    return words;
}

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
    const QStringList words = wordsOf(readSource(parsed.positionals.value(1)));

    ErrorStreamNotice notice;
    wordList list(notice);
    list.setname(parsed.options.value(QStringLiteral("name")));
    list.setdesc(parsed.options.value(QStringLiteral("description")));
    list.setcreate(QDateTime::currentDateTimeUtc());
    for (const QString &word : words)
        list.addword(word);
    list.addword(QString()); // every list file ends with an empty word
    list.SaveData(target);
    out() << "Wrote " << words.size() << " words to " << target << Qt::endl;
    return exitOk;
}

int show(const QStringList &args)
{
    const Arguments parsed = Arguments::parse(args, {});
    if (parsed.positionals.size() != 1)
        throw UsageError(QStringLiteral("show takes one list file"));

    const QString &file = parsed.positionals[0];
    ErrorStreamNotice notice;
    wordList list(notice);
    if (const std::optional<QString> failure = readListFile(list, file)) {
        err() << "lxg: " << *failure << Qt::endl;
        return exitFailure;
    }
    if (notice.told())
        return exitFailure;
    out() << list.getname() << '\n' << list.getdesc() << '\n';
    for (const QString &word : list.getlist().words())
        out() << word << '\n';
    out().flush();
    return exitOk;
}

int run(const QStringList &args)
{
    const QString command = args.value(0);
    if (command == u"--help" || command == u"-h" || command == u"help") {
        out() << helpText;
        return exitOk;
    }
    if (command == u"create")
        return create(args.mid(1));
    if (command == u"show")
        return show(args.mid(1));
    if (command.isEmpty())
        throw UsageError(QStringLiteral("no command given"));
    throw UsageError(QStringLiteral("unknown command '%1'").arg(command));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    try {
        return run(app.arguments().mid(1));
    } catch (const UsageError &error) {
        err() << "lxg: " << error.what() << " (try 'lxg --help')" << Qt::endl;
        return exitUsage;
    } catch (const FileError &error) {
        err() << "lxg: " << QString::fromStdString(error.what()) << Qt::endl;
    }
    return exitFailure;
}
