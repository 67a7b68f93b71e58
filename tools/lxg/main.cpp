// lxg: makes, shows and uses Lexiglow word lists from the command line.

#include "Commands.h"
#include "Console.h"

#include "platform/ProcessHardening.h"
#include "store/FileError.h"

#include <QCoreApplication>

using namespace lxg;

namespace {

constexpr char helpText[] =
    "Usage:\n"
    "  lxg create OUT.lxg --name NAME [--description TEXT] [WORDS.txt | -]\n"
    "      Writes a word list. The words are the lines of WORDS.txt, or of\n"
    "      standard input when it is '-' or missing: UTF-8, LF or CR LF line\n"
    "      ends, blank lines skipped, every other line kept as written;\n"
    "      input that is no text or holds no word is refused.\n"
    "  lxg show FILE.lxg\n"
    "      Prints the list's name, its description and its words, one a line.\n"
    "  lxg suggest [--min N] [--max N] [--count N] [--case mixed|lower|upper]\n"
    "              [--replace | --no-replace] [--special | --no-special]\n"
    "              [--min-bits B | --min-bits none] [--strength] [--defaults]\n"
    "              [LIST.lxg ...]\n"
    "      Prints passwords, one a line, made from the words of the lists given,\n"
    "      or of every list in Lexiglow's library when none is given. It starts\n"
    "      from the Advanced Settings saved by Lexiglow, which it reads and never\n"
    "      changes, so that it makes passwords as the window does; each option\n"
    "      given overrides its setting. A saved setting that is not a number is\n"
    "      named, and nothing is made (exit status 1), as in the window.\n"
    "      --min, --max   length limits (initially 8 and 32)\n"
    "      --count        how many passwords (initially 10, at most 100000)\n"
    "      --case         keep the words' case (mixed, initially), or force\n"
    "                     lower or upper case\n"
    "      --replace      replace a, i and e by @, 1 and 3 (--no-replace: do not)\n"
    "      --special      add one of ( ) * + , - . / (--no-special: do not)\n"
    "      --min-bits B   only passwords of at least B bits (see strength);\n"
    "                     none: no such floor\n"
    "      --strength     print each password's bits after a tab\n"
    "      --defaults     start from the initial settings, not the saved ones\n"
    "  lxg strength [the options of suggest but --strength] [LIST.lxg ...]\n"
    "      Prints how strong the passwords of these lists and settings are to\n"
    "      an attacker who knows both: entropy and min-entropy in bits, the\n"
    "      count of distinct passwords, the share of one word or none, the\n"
    "      guesses needed on average and to find one password in ten, the time\n"
    "      that takes at four rates of guessing, a verdict, and advice: lines,\n"
    "      each a change that would raise the entropy (at most two, the most\n"
    "      first) and what it would give: 'advice: CHANGE: E bits (VERDICT),\n"
    "      TIME at 10 guesses a second'. CHANGE is --special, --min-bits B, or\n"
    "      'add' and the large list's path; with letter replacement on, a last\n"
    "      line for --no-replace says what the replacement adds.\n"
    "  lxg --help\n"
    "      Shows this help.\n"
    "\n"
    "Exit status: 0 on success, 1 when a file cannot be read or written or\n"
    "the system's random number generator fails, 2 when the command line is\n"
    "wrong.\n";

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
    if (command == u"strength")
        return strength(args.mid(1));
    if (command.isEmpty())
        throw UsageError(QStringLiteral("no command given"));
    throw UsageError(QStringLiteral("unknown command '%1'").arg(command));
}

} // namespace

int main(int argc, char *argv[])
{
    // Before anything that could hold a password.
    lexiglow::hardenProcessOrWarn("lxg");
    QCoreApplication app(argc, argv);
    try {
        return run(app.arguments().mid(1));
    } catch (const UsageError &error) {
        err() << "lxg: " << error.what() << " (try 'lxg --help')" << Qt::endl;
        return exitUsage;
    } catch (const lexiglow::FileError &error) {
        err() << "lxg: " << QString::fromStdString(error.what()) << Qt::endl;
        return exitFailure;
    }
}
