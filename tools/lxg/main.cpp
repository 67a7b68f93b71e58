// lxg: makes, shows and uses Lexiglow word lists from the command line.

#include "generation/RandomSource.h"
#include "generation/SuggestionEngine.h"
#include "library/ListLibrary.h"
#include "platform/Notice.h"
#include "platform/SettingsStore.h"
#include "settings/GenerationSettings.h"
#include "store/FileError.h"
#include "store/ReadListFile.h"
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
    "  lxg suggest [--min N] [--max N] [--count N] [--case mixed|lower|upper]\n"
    "              [--replace] [--special] [LIST.lxg ...]\n"
    "      Prints passwords, one a line, made from the words of the lists given,\n"
    "      or of every list in Lexiglow's library when none is given.\n"
    "      --min, --max   length limits (default 8 and 32)\n"
    "      --count        how many passwords (default 10, at most 100000)\n"
    "      --case         keep the words' case (mixed, the default), or force\n"
    "                     lower or upper case\n"
    "      --replace      replace a, i and e by @, 1 and 3\n"
    "      --special      add one of ( ) * + , - . /\n"
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

// Tells the user on standard error, naming the file being read when there is
// one, and remembers that it did.
class ErrorStreamNotice final : public Notice
{
public:
    void tell(const QString &message) override
    {
        if (!currentFile.isEmpty())
            err() << "lxg: " << currentFile << ": ";
        err() << message << Qt::endl;
        ++m_told;
    }
    bool told() const { return m_told > 0; }
    int toldCount() const { return m_told; }

    QString currentFile;

private:
    int m_told = 0;
};

// The arguments of one command: positionals in order, and "--key VALUE",
// "--key=VALUE" and "--flag" options among them. "-" alone is a positional.
struct Arguments
{
    QStringList positionals;
    QHash<QString, QString> options;

    static Arguments parse(const QStringList &args, const QStringList &knownOptions,
                           const QStringList &knownFlags = {})
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
            if (knownFlags.contains(key) && equals < 0) {
                parsed.options.insert(key, QString());
                continue;
            }
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

// Writes each password of a batch on a line of its own.
class LineSink final : public SuggestionSink
{
public:
    void setText(const QString &) override {}
    void append(const QString &text) override { out() << QStringView(text).mid(SuggestionEngine::lineBreak.size()) << '\n'; }
};

class FixedSettings final : public SettingsSource
{
public:
    explicit FixedSettings(GenerationSettings settings)
        : m_settings(std::move(settings))
    {
    }
    GenerationSettings currentSettings() override { return m_settings; }

private:
    GenerationSettings m_settings;
};

GenerationSettings suggestSettings(const Arguments &parsed)
{
    GenerationSettings settings;
    const auto number = [&](const QString &option, QString &setting) {
        if (!parsed.options.contains(option))
            return;
        setting = parsed.options.value(option);
        if (!settingNumber(setting))
            throw UsageError(QStringLiteral("--%1 needs a number, not '%2'").arg(option, setting));
    };
    number(QStringLiteral("min"), settings.minimumLength);
    number(QStringLiteral("max"), settings.maximumLength);
    number(QStringLiteral("count"), settings.passwordCount);
    if (*settingNumber(settings.passwordCount) > SuggestionEngine::maxPasswordCount)
        throw UsageError(QStringLiteral("--count can be at most %1").arg(SuggestionEngine::maxPasswordCount));

    const QHash<QString, QString> cases{{QStringLiteral("mixed"), GenerationSettings::upperAndLowerCase},
                                        {QStringLiteral("lower"), GenerationSettings::lowerCaseOnly},
                                        {QStringLiteral("upper"), GenerationSettings::upperCaseOnly}};
    const QString letterCase = parsed.options.value(QStringLiteral("case"), QStringLiteral("mixed"));
    if (!cases.contains(letterCase))
        throw UsageError(QStringLiteral("--case takes mixed, lower or upper, not '%1'").arg(letterCase));
    settings.letterCase = cases.value(letterCase);
    settings.letterReplacement = parsed.options.contains(QStringLiteral("replace"));
    settings.specialCharacters = parsed.options.contains(QStringLiteral("special"));
    return settings;
}

// The lists given, or else every entry of the user's library, which is read
// and never changed.
QStringList suggestLists(const Arguments &parsed)
{
    if (!parsed.positionals.isEmpty())
        return parsed.positionals;
    QSettingsStore store;
    ListLibrary library(store);
    library.read(QCoreApplication::applicationDirPath());
    return library.passfiles().mid(1);
}

int suggest(const QStringList &args)
{
    const Arguments parsed = Arguments::parse(
        args, {QStringLiteral("min"), QStringLiteral("max"), QStringLiteral("count"), QStringLiteral("case")},
        {QStringLiteral("replace"), QStringLiteral("special")});
    FixedSettings settings(suggestSettings(parsed));
    const QStringList lists = suggestLists(parsed);
    if (lists.isEmpty())
        err() << "lxg: no word lists in the library, so the passwords are numbers only" << Qt::endl;

    SystemRandomSource random;
    ErrorStreamNotice notice;
    SuggestionEngine engine(random, settings, notice);
    engine.startPool();
    qsizetype read = 0;
    for (const QString &list : lists) {
        notice.currentFile = list;
        const int toldBefore = notice.toldCount();
        if (const std::optional<QString> failure = engine.addList(list)) {
            notice.currentFile.clear();
            notice.tell(QStringLiteral("lxg: ") + *failure);
        } else if (notice.toldCount() == toldBefore) {
            ++read; // not a foreign file either
        }
    }
    notice.currentFile.clear();
    if (read == 0 && !parsed.positionals.isEmpty())
        return exitFailure;

    LineSink sink;
    engine.generate(sink);
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
    if (command == u"suggest")
        return suggest(args.mid(1));
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
