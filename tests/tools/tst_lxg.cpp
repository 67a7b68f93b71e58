#include "support/ListFileBytes.h"
#include "support/RecordingNotice.h"

#include "store/wordList.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace listbytes;
using namespace Qt::StringLiterals;

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;

    bool operator==(const Run &) const = default;
    friend char *toString(const Run &run)
    {
        return QTest::toString(u"exit %1, out '%2', err '%3'"_s.arg(run.exitCode).arg(run.out, run.err));
    }
};

// Runs lxg; its settings are those of an empty folder unless environment names another.
Run lxg(const QStringList &args, const QByteArray &input = {}, const QStringList &environment = {})
{
    static const QTemporaryDir noSettings;
    QProcess process;
    process.setEnvironment(QProcess::systemEnvironment() << u"XDG_CONFIG_HOME="_s + noSettings.path() << environment);
    process.start(QStringLiteral(LXG_PATH), args);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000))
        qFatal("lxg did not finish");
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// The first line of text that does not match pattern, quoted, or nothing; text must end with a line break.
QString mismatch(const QString &text, const QString &pattern)
{
    if (!text.endsWith(u'\n'))
        return u"no line break at the end: "_s + text;
    const QRegularExpression expression(pattern);
    for (const QString &line : text.chopped(1).split(u'\n')) {
        if (!expression.match(line).hasMatch())
            return u'\'' + line + u'\'';
    }
    return {};
}

} // namespace

class TestLxg final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void create_keepsWordsAsWritten_warnsAboutPoorOnes_refusesTooLongOnes()
    {
        // A byte order mark, CR LF and LF line ends, blank lines; a name and words with what a list file cannot hold,
        // a word that reads back empty, a repeated word.
        write(path(u"words.txt"_s), "\xef\xbb\xbf" "caf\xc3\xa9\r\n\r\n  \nEuro \xe2\x82\xac\n two words \n[\n\xd0\x96uk \xe2\x82\xac\ncaf\xc3\xa9\nlast");
        const Run created = lxg({u"create"_s, path(u"list.lxg"_s), u"--name"_s, u"\u0416ar"_s,
                                 u"--description=Things \u0153"_s, path(u"words.txt"_s)});
        QCOMPARE(created, (Run{0, u"Wrote 7 words to "_s + path(u"list.lxg"_s) + u'\n',
                               u"lxg: warning: the name's '\u0416' cannot be stored and is written as '?'\n"
                               "lxg: warning: line 3: holds only blanks and is skipped\n"
                               "lxg: warning: line 5: ' two words ' has blanks at its ends, and spaces there are "
                               "dropped when it is drawn\n"
                               "lxg: warning: line 6: '[' alone reads back as an empty word\n"
                               "lxg: warning: line 7: '\u0416' cannot be stored and is written as '?'\n"
                               "lxg: warning: line 8: 'caf\u00e9' repeats line 1, so it is drawn twice as often\n"_s}));
        QCOMPARE(lxg({u"show"_s, path(u"list.lxg"_s)}).out,
                 u"?ar\nThings \u0153\ncaf\u00e9\nEuro \u20ac\n two words \n\n?uk \u20ac\ncaf\u00e9\nlast\n"_s);

        // From standard input, the hand-written bytes.
        QCOMPARE(lxg({u"create"_s, path(u"colors.lxg"_s), u"--name"_s, u"Colors"_s, u"-"_s}, "red\ngreen\nblue\n"),
                 (Run{0, u"Wrote 3 words to "_s + path(u"colors.lxg"_s) + u'\n', {}}));
        QCOMPARE(read(path(u"colors.lxg"_s)), colorsFile);

        // Refused, and nothing written: targets that are not plain files, a line break inside a word, what is no
        // text (read by descriptor, where a C stream would stop at the NUL), a word too long for a list file,
        // endless input.
        QVERIFY(::mkfifo(QFile::encodeName(path(u"fifo"_s)), 0600) == 0 && QFile::link(path(u"fifo"_s), path(u"link"_s)));
        const std::tuple<QString, QString, QByteArray, QString> refusals[] = {
            {path(u"fifo"_s), u"-"_s, "red\n", path(u"fifo"_s) + u": this is not a plain file"_s},
            {path(u"link"_s), u"-"_s, "red\n", path(u"link"_s) + u": this is not a plain file"_s},
            {path(u"colors.lxg"_s), u"-"_s, "red\ngr\reen\n", u"standard input: line 2: a word holds a line break"_s},
            {path(u"colors.lxg"_s), u"-"_s, QByteArray("red\nPK\x03\0\n", 8),
             u"standard input: line 2: it holds a NUL byte, so this is not a text file"_s},
            {path(u"colors.lxg"_s), u"-"_s, "caf\xe9\n", u"standard input: line 1: it is not UTF-8 text (save the file as UTF-8)"_s},
            {path(u"colors.lxg"_s), u"-"_s, "fine\n" + QByteArray(24575, 'x'),
             u"standard input: line 2: a word of 24575 characters is longer than a list file can carry (24574)"_s},
            {path(u"colors.lxg"_s), u"/dev/zero"_s, {},
             u"/dev/zero: line 1: a word of more than 24574 characters is longer than a list file can carry (24574)"_s}};
        for (const auto &[target, source, input, message] : refusals)
            QCOMPARE(lxg({u"create"_s, target, u"--name=X"_s, source}, input), (Run{1, {}, u"lxg: "_s + message + u'\n'}));
        QCOMPARE(read(path(u"colors.lxg"_s)), colorsFile);
        QVERIFY(!QFileInfo(path(u"link"_s)).isFile());
    }

    // What is wrong is the reader's to word: a foreign file (told as the reader tells it) and one cut short (its failure).
    void show_foreignOrDamagedFile_exits1()
    {
        const QString file = path(u"bad.lxg"_s);
        for (const auto &[bytes, problem] : {std::pair{QByteArray("PK\x03\x04 not a list"), u"Invalid File"_s},
                                             std::pair{colorsFile.left(100), u"the file ends in the middle of an entry (at byte 97)"_s}}) {
            write(file, bytes);
            QCOMPARE(lxg({u"show"_s, file}), (Run{1, {}, u"lxg: %1: %2\n"_s.arg(file, problem)}));
        }
    }

    void suggest_drawsFromGivenLists_skipsUnreadableOnes_orUsesTheLibrary()
    {
        const QString cats = path(u"cats.lxg"_s), missing = path(u"missing.lxg"_s), foreign = path(u"foreign.lxg"_s);
        lxg({u"create"_s, cats, u"--name"_s, u"Cats"_s}, "Tiger\nLion\n");
        lxg({u"create"_s, path(u"sky.lxg"_s), u"--name"_s, u"Sky"_s}, "Moon\nStar\n");
        write(foreign, "hello");
        const QString word = u"(Tiger|Lion|Moon|Star)"_s;
        const std::pair<QString, QString> cases[] = {
            {QString(), u"^(%1?\\d{1,2}%1?|%1?%1?\\d{1,2}|\\d{1,2}%1?%1?)$"_s.arg(word)},
            {u"--case upper --replace --special --min=4 --max=12"_s, u"^[A-Z0-9@()*+,\\-./]{4,12}$"_s},
            {u"--case=lower"_s, u"^[a-z0-9]{8,32}$"_s}};
        for (const auto &[options, pattern] : cases) {
            const Run run = lxg(QStringList{u"suggest"_s, u"--count=200"_s, cats, path(u"sky.lxg"_s)} + options.split(u' ', Qt::SkipEmptyParts));
            QCOMPARE(run.exitCode, 0);
            QCOMPARE(run.err, QString());
            QCOMPARE(run.out.count(u'\n'), 200);
            QCOMPARE(mismatch(run.out, pattern), QString());
        }

        const Run some = lxg({u"suggest"_s, missing, foreign, cats});
        QCOMPARE(some.exitCode, 0);
        QCOMPARE(some.out.count(u'\n'), 10);
        QCOMPARE(some.err, u"lxg: %1: the file does not exist\nlxg: %2: Invalid File\n"_s.arg(missing, foreign));
        QCOMPARE(lxg({u"suggest"_s, missing, foreign}), (Run{1, {}, some.err}));

        // Without lists, the user's library, which is read and left as it was; a damaged count loses no list.
        QVERIFY(QDir(m_dir.path()).mkpath(u"config/lexiglow"_s) && QDir(m_dir.path()).mkpath(u"fifoconfig/lexiglow"_s));
        const QByteArray settings = "[passfiles]\ncount=abc\npassfile1=" + cats.toUtf8() + "\n";
        write(path(u"config/lexiglow/lexiglow.conf"_s), settings);
        const Run library = lxg({u"suggest"_s, u"--count=30"_s, u"--min=6"_s}, {}, {u"XDG_CONFIG_HOME="_s + path(u"config"_s)});
        QCOMPARE(library.exitCode, 0);
        QVERIFY(library.out.contains(u"Tiger"_s));
        QCOMPARE(library.err, u"lxg: warning: The number of word lists in your settings, \"abc\", is damaged. Lexiglow has "
                              "taken the list stored with it.\n"_s);
        QCOMPARE(read(path(u"config/lexiglow/lexiglow.conf"_s)), settings);
        // A FIFO in the settings file's place is not opened, where reading it would wait for ever.
        const QString fifo = path(u"fifoconfig/lexiglow/lexiglow.conf"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QCOMPARE(lxg({u"suggest"_s}, {}, {u"XDG_CONFIG_HOME="_s + path(u"fifoconfig"_s)}),
                 (Run{1, {}, u"lxg: %1 is not a regular file, so Lexiglow neither reads its settings from it nor stores "
                             "them there.\n"_s.arg(fifo)}));
    }

    // Passwords that break the limits, or hold no word, are printed with a warning; a failing random source prints none.
    void suggest_warnsAboutUnmetRules_failsClosed_escapesControlCharacters()
    {
        RecordingNotice notice;
        for (const QString &name : {u"empty"_s, u"odd"_s}) {
            lexiglow::wordList list(notice);
            list.setname(u"Odd\r\n"_s);
            for (const QString &word : name == u"odd" ? QStringList{u"a\nb\u001b"_s, u"nul\u0000\u0081\t"_s} : QStringList())
                list.addword(word);
            list.addword(QString()); // every list ends with an empty word
            list.SaveData(path(name + u".lxg"_s));
        }
        QCOMPARE(lxg({u"show"_s, path(u"odd.lxg"_s)}).out, u"Odd\\r\\n\n\na\\nb\\x1b\nnul\\x00\\x81\\t\n"_s);
        const Run odd = lxg({u"suggest"_s, u"--count=50"_s, u"--min=1"_s, path(u"odd.lxg"_s)});
        QCOMPARE(odd.out.count(u'\n'), 50);
        QCOMPARE(mismatch(odd.out, u"^[ -~]+$"_s), QString());
        QVERIFY(odd.out.contains(u"a\\nb\\x1b"_s));

        const Run unmet = lxg({u"suggest"_s, u"--count=4"_s, u"--min=12"_s, u"--max=6"_s, path(u"empty.lxg"_s)});
        QCOMPARE(unmet.exitCode, 0);
        QCOMPARE(unmet.out.count(u'\n'), 4);
        QCOMPARE(unmet.err, u"lxg: warning: no list gave a word, so the passwords are numbers only\nlxg: warning: 4 of 4 "
                            "passwords are outside the length limits (--min 12, --max 6): no candidate within them came up\n"_s);
        // A count is read as the window reads it: 100000.5 makes 100000.
        QCOMPARE(lxg({u"suggest"_s, u"--count=100000.5"_s, path(u"odd.lxg"_s)}).out.count(u'\n'), 100000);

        QCOMPARE(lxg({u"suggest"_s, path(u"odd.lxg"_s)}, {},
                     {u"LD_PRELOAD=" FAILING_RANDOM ""_s, u"ASAN_OPTIONS=verify_asan_link_order=0:"_s + qEnvironmentVariable("ASAN_OPTIONS")}),
                 (Run{1, {}, u"lxg: The system's random number generator failed (Function not implemented), so no password was made.\n"_s}));
    }

    void strength_ofShippedLists_floorHoldsOnEveryPassword_orIsRefused_largeListReachesFortyBits()
    {
        const QStringList paths = // the eight shipped lists
            QDir(QStringLiteral(BUILT_LISTS)).entryList({u"*.lxg"_s}).replaceInStrings(QRegularExpression(u"^"_s), BUILT_LISTS "/"_L1);
        const Run figures = lxg(QStringList{u"strength"_s} + paths);
        QCOMPARE(figures.exitCode, 0);
        QVERIFY2(figures.out.contains(u"\nentropy: 28.04 bits\nmin-entropy: 18.53 bits\n"_s), qPrintable(figures.out));
        QVERIFY(figures.out.contains(u"one word or none: 29.8 %"_s));

        const Run floored = lxg(QStringList{u"suggest"_s, u"--strength"_s, u"--min-bits=25"_s, u"--count=300"_s} + paths);
        QCOMPARE(floored.exitCode, 0);
        QCOMPARE(floored.out.count(u'\n'), 300);
        QCOMPARE(mismatch(floored.out, u"^[^\t]{8,}\t(2[5-9]|[3-9][0-9])\\.[0-9]{2}$"_s), QString()); // 8 characters, 25 bits
        QCOMPARE(lxg(QStringList{u"suggest"_s, u"--min-bits"_s, u"31"_s} + paths),
                 (Run{1, {}, u"lxg: these lists and settings cannot give 31.00 bits; the highest floor they can reach is 30.86 bits\n"_s}));

        // The large list is what a user adds for stronger passwords: two of its words, a number and a special
        // character reach 40 bits under a floor.
        const Run large = lxg({u"strength"_s, u"--special"_s, u"--min-bits"_s, u"40"_s, QStringLiteral(LARGE_LIST)});
        QVERIFY2(large.exitCode == 0 && large.out.startsWith(u"floor: 40.00 bits\n"_s), qPrintable(large.out + large.err));
        const QRegularExpressionMatch entropy = QRegularExpression(u"\nentropy: ([0-9.]+) bits\n"_s).match(large.out);
        QVERIFY2(entropy.hasMatch() && entropy.captured(1).toDouble() >= 40, qPrintable(large.out));
    }

    // One word, Ab, and every length: per number, Ab·n·Ab, AbAb·n and n·AbAb come 1/20 of the time each, Ab·n and
    // n·Ab 1/4, n alone 7/20. Guessed likeliest first: the 99 numbers alone, each 7/1980, find a tenth within 29
    // guesses; on average 99·100/2·7/1980 + (100 + 297)·198/2/396 + (298 + 594)·297/2/1980 = 183.65 guesses.
    void strength_timesAndTenthMatchAHandCount_adviceMatchesTheChangeItNames()
    {
        lxg({u"create"_s, path(u"ab.lxg"_s), u"--name=Ab"_s}, "Ab\n");
        const Run one = lxg({u"strength"_s, u"--min=1"_s, u"--max=99"_s, path(u"ab.lxg"_s)});
        QCOMPARE(one.exitCode, 0);
        QVERIFY2(one.out.contains(u"average guesses: 184 (2^7.5)\n"
                                  "a tenth within: 29 guesses (2^4.9)\n"
                                  "time online, 100 guesses an hour: 2 hours\n" // 6611 s
                                  "time online, 10 guesses a second: 18 seconds\n"
                                  "time offline, 10 thousand guesses a second: less than a second\n"
                                  "time offline, 10 billion guesses a second: less than a second\n"
                                  "verdict: weak"_s),
                 qPrintable(one.out));

        // Each advice line gives what lxg strength gives with the change it names.
        const QStringList lists{path(u"ab.lxg"_s), QStringLiteral(BUILT_LISTS) + u"/food.lxg"_s};
        const Run advised = lxg(QStringList{u"strength"_s, u"--replace"_s} + lists);
        static const QRegularExpression line(u"^advice: (.+): ([0-9.]+) bits \\((weak|fair|strong|very strong)\\), "
                                             "([a-z0-9 ]+) at 10 guesses a second(; letter replacement adds -?[0-9.]+ bits)?$"_s);
        const QStringList lines = advised.out.split(u'\n').filter(u"advice: "_s);
        QVERIFY2(lines.size() == 3 && lines.last().contains(u"--no-replace"_s), qPrintable(advised.out));
        for (const QString &advice : lines) {
            const QRegularExpressionMatch match = line.match(advice);
            QVERIFY2(match.hasMatch(), qPrintable(advice));
            const QStringList change = match.captured(1).remove(QRegularExpression(u"^add "_s)).split(u' ');
            const Run changed = lxg(QStringList{u"strength"_s}
                                    + (change.first() == u"--no-replace" ? lists : QStringList{u"--replace"_s} + lists + change));
            QVERIFY2(changed.out.contains(u"\nentropy: "_s + match.captured(2) + u" bits\n"_s), qPrintable(advice + u'\n' + changed.out));
        }
    }

    // Advanced Settings saved for the program: lower case, special characters, 5 passwords of 12 to 20 characters.
    void suggestAndStrength_startFromSavedSettings_optionsOverride_defaultsIgnoreThem()
    {
        lxg({u"create"_s, path(u"pets.lxg"_s), u"--name=Pets"_s}, "Tiger\nLion\nParrot\nHamster\n");
        QVERIFY(QDir(m_dir.path()).mkpath(u"saved/lexiglow"_s));
        const QString file = path(u"saved/lexiglow/lexiglow.conf"_s);
        const QByteArray saved = "[Values]\nCombo1=Lower Case Only\nText1=12\nText2=20\nText3=5\nCheck2=1\n";
        write(file, saved);
        const QStringList environment{u"XDG_CONFIG_HOME="_s + path(u"saved"_s)};
        const auto suggest = [&](const QStringList &options) {
            return lxg(QStringList{u"suggest"_s, path(u"pets.lxg"_s)} + options, {}, environment);
        };
        const Run asSaved = suggest({});
        QCOMPARE(asSaved.out.count(u'\n'), 5);
        QCOMPARE(mismatch(asSaved.out, u"^[a-z0-9()*+,\\-./]{12,20}$"_s), QString());
        const Run overridden = suggest({u"--case=upper"_s, u"--no-special"_s, u"--count=3"_s});
        QCOMPARE(overridden.out.count(u'\n'), 3);
        QCOMPARE(mismatch(overridden.out, u"^[A-Z0-9]{12,20}$"_s), QString());
        QCOMPARE(suggest({u"--defaults"_s}).out.count(u'\n'), 10);
        const auto entropy = [&](const QStringList &options) {
            return lxg(QStringList{u"strength"_s, path(u"pets.lxg"_s)} + options, {}, environment).out.section(u'\n', 1, 1);
        };
        QCOMPARE(entropy({}), entropy({u"--defaults"_s, u"--case=lower"_s, u"--special"_s, u"--min=12"_s, u"--max=20"_s}));

        // A saved setting that does not read is named, as the window names it, and nothing is made; its option or
        // --defaults puts it aside. The file is only ever read.
        const QByteArray twelve = QByteArray(saved).replace("Text1=12", "Text1=twelve");
        write(file, twelve);
        QCOMPARE(suggest({}), (Run{1, {}, u"lxg: the saved Minimum Password Length is not a number: \"twelve\" (%1); change "
                                          "it in Advanced Settings, give --min, or use --defaults\n"_s.arg(file)}));
        QCOMPARE(suggest({u"--min=12"_s}).out.count(u'\n'), 5);
        QCOMPARE(suggest({u"--defaults"_s}).out.count(u'\n'), 10);
        QCOMPARE(read(file), twelve);
    }

    void usageError_exits2WithOneLine_helpExits0()
    {
        for (const QString &line : {u""_s, u"make"_s, u"create x.lxg"_s, u"create --name X"_s, u"create x.lxg --name"_s,
                                    u"create x.lxg --name=X --colour=red"_s, u"show a.lxg b.lxg"_s, u"suggest --min eight"_s,
                                    u"suggest --case=title"_s, u"suggest --count 100001"_s, u"suggest --special=yes"_s, u"strength --min-bits=x"_s,
                                    u"suggest --special --no-special"_s}) {
            const Run run = lxg(line.split(u' ', Qt::SkipEmptyParts));
            QVERIFY2(run.exitCode == 2 && run.err.count(u'\n') == 1 && run.err.startsWith(u"lxg: "_s)
                         && run.err.endsWith(u" (try 'lxg --help')\n"_s),
                     qPrintable(u"lxg "_s + line + u": "_s + run.err));
        }
        QVERIFY(!QFile::exists(u"x.lxg"_s));

        const Run help = lxg({u"--help"_s});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.contains(u"lxg create OUT.lxg --name NAME"_s) && help.out.contains(u"lxg show FILE.lxg"_s));
    }

    // The word lists that ship with the program, the themed ones and the large one: their sources follow
    // data/wordlists/README, and the build makes each into a list file with lxg that holds exactly its sources.
    void shippedList_followsTheRules_builtFileMatches_data()
    {
        QTest::addColumn<QString>("sources");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("built");
        QTest::addColumn<qsizetype>("minimumWords");
        const QStringList listFiles{u"description.txt"_s, u"name.txt"_s, u"words.txt"_s};
        const QStringList ids = QDir(QStringLiteral(WORDLIST_SOURCES)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString &id : ids) {
            QTest::addRow("%s", qPrintable(id)) << QStringLiteral(WORDLIST_SOURCES) + u'/' + id << listFiles
                                                << QStringLiteral(BUILT_LISTS) + u'/' + id + u".lxg"_s << qsizetype(300);
        }
        QVERIFY2(ids.size() >= 8, qPrintable(ids.join(u' ')));
        QTest::addRow("large") << QStringLiteral(LARGE_LIST_SOURCES)
                               << QStringList{u"SCOWL-copyright"_s, u"abbreviations.txt"_s, u"denylist.txt"_s,
                                              u"description.txt"_s, u"make-words.sh"_s, u"name.txt"_s, u"words.txt"_s}
                               << QStringLiteral(LARGE_LIST) << qsizetype(22000);
    }

    void shippedList_followsTheRules_builtFileMatches()
    {
        QFETCH(QString, sources);
        QFETCH(QStringList, files);
        QFETCH(QString, built);
        QFETCH(qsizetype, minimumWords);
        const QDir dir(sources);
        QCOMPARE(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name), files);
        const auto text = [](const QString &file) { return QString::fromLatin1(read(file)); };
        const QString name = text(dir.filePath(u"name.txt"_s)), description = text(dir.filePath(u"description.txt"_s)),
                      words = text(dir.filePath(u"words.txt"_s));
        // One line each of printable ASCII, not blank, at most 14 and 32 characters (a description longer
        // than that does not show whole in the main window).
        QCOMPARE(mismatch(name, u"^(?! *$)[ -~]{1,14}$"_s) + mismatch(description, u"^(?! *$)[ -~]{1,32}$"_s), QString());
        QCOMPARE(name.count(u'\n') + description.count(u'\n'), 2);

        // At least so many words, one a line: capitalised, 4 to 9 letters, sorted without regard to case so that
        // none repeats, and none of the unwanted (as whole words: "Grape" and "Shell" are fine) nor any that the
        // large list leaves out by hand (its denylist and abbreviations: lower-case words, one a line, or nothing).
        const QString large = QStringLiteral(LARGE_LIST_SOURCES) + u'/';
        const QString denied = text(large + u"denylist.txt"_s), abbreviations = text(large + u"abbreviations.txt"_s);
        QCOMPARE(mismatch(denied, u"^[a-z]+$"_s) + mismatch(abbreviations, u"^[a-z]+$"_s), QString());
        const QStringList leftOut = (u"kill dead gun bomb drug drugs nazi slave sexy damn hell crap piss dick cock arse bitch "
                                     "bastard whore porn nude naked rape murder blood suicide weed booze knife rifle pistol "
                                     "corpse hooker\n"_s + denied + abbreviations).split(QRegularExpression(u"[ \n]"_s));
        const QSet<QString> unwanted(leftOut.begin(), leftOut.end());
        QCOMPARE(mismatch(words, u"^[A-Z][a-z]{3,8}$"_s), QString());
        const QStringList list = words.chopped(1).split(u'\n');
        QVERIFY2(list.size() >= minimumWords, qPrintable(QString::number(list.size())));
        for (qsizetype i = 0; i < list.size(); ++i) {
            const QString lower = list[i].toLower();
            QVERIFY2(!unwanted.contains(lower) && (i == 0 || list[i - 1].compare(list[i], Qt::CaseInsensitive) < 0),
                     qPrintable(list[i]));
        }

        // The built list shows exactly its sources.
        const Run shown = lxg({u"show"_s, built});
        QCOMPARE(shown.exitCode, 0);
        QCOMPARE(shown.out, name + description + words);
    }
};

QTEST_GUILESS_MAIN(TestLxg)
#include "tst_lxg.moc"
