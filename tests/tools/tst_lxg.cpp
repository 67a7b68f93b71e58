#include "support/ListFileBytes.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace listbytes;
using namespace Qt::StringLiterals;

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run lxg(const QStringList &args, const QByteArray &input = {}, const QString &configHome = {})
{
    QProcess process;
    if (!configHome.isEmpty())
        process.setEnvironment(QProcess::systemEnvironment() << u"XDG_CONFIG_HOME="_s + configHome);
    process.start(QStringLiteral(LXG_PATH), args);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000))
        qFatal("lxg did not finish");
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class TestLxg final : public QObject
{
    Q_OBJECT

private slots:
    void create_keepsWordsAsWritten_warnsAboutPoorOnes();
    void create_writesTheHandWrittenBytes_refusesTooLongWord();
    void show_foreignOrDamagedFile_exits1();
    void suggest_drawsFromGivenLists_data();
    void suggest_drawsFromGivenLists();
    void suggest_skipsUnreadableLists_orUsesTheLibrary();
    void usageError_exits2WithOneLine();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

void TestLxg::create_keepsWordsAsWritten_warnsAboutPoorOnes()
{
    // A byte order mark, CR LF and LF line ends, blank lines.
    write(path(u"words.txt"_s), "\xef\xbb\xbf" "caf\xc3\xa9\r\n\r\n  \nEuro \xe2\x82\xac\n two words \nlast");
    const Run created = lxg({u"create"_s, path(u"list.lxg"_s), u"--name"_s, u"Caf\u00e9s"_s,
                             u"--description=Things \u0153"_s, path(u"words.txt"_s)});
    QCOMPARE(created.exitCode, 0);
    QCOMPARE(created.err, u"lxg: warning: line 3: holds only blanks and is skipped\n"
                          "lxg: warning: line 5: ' two words ' has blanks at its ends, and spaces there are "
                          "dropped when it is drawn\n"_s);
    const Run shown = lxg({u"show"_s, path(u"list.lxg"_s)});
    QCOMPARE(shown.exitCode, 0);
    QCOMPARE(shown.out, u"Caf\u00e9s\nThings \u0153\ncaf\u00e9\nEuro \u20ac\n two words \nlast\n"_s);

    const Run poor = lxg({u"create"_s, path(u"poor.lxg"_s), u"--name"_s, u"\u0416ar"_s},
                         "tiger\n[\nmoon\n\xd0\x96uk \xe2\x82\xac\ntiger\n");
    QCOMPARE(poor.exitCode, 0);
    QCOMPARE(poor.err, u"lxg: warning: the name's '\u0416' cannot be stored and is written as '?'\n"
                       "lxg: warning: line 2: '[' alone reads back as an empty word\n"
                       "lxg: warning: line 4: '\u0416' cannot be stored and is written as '?'\n"
                       "lxg: warning: line 5: 'tiger' repeats line 1, so it is drawn twice as often\n"_s);
    QCOMPARE(lxg({u"show"_s, path(u"poor.lxg"_s)}).out, u"?ar\n\ntiger\n\nmoon\n?uk \u20ac\ntiger\n"_s);

    const Run help = lxg({u"--help"_s});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains(u"lxg create OUT.lxg --name NAME"_s) && help.out.contains(u"lxg show FILE.lxg"_s));
}

void TestLxg::create_writesTheHandWrittenBytes_refusesTooLongWord()
{
    const Run created = lxg({u"create"_s, path(u"colors.lxg"_s), u"--name"_s, u"Colors"_s, u"-"_s}, "red\ngreen\nblue\n");
    QCOMPARE(created.exitCode, 0);
    QCOMPARE(read(path(u"colors.lxg"_s)), colorsFile);

    const Run refused = lxg({u"create"_s, path(u"colors.lxg"_s), u"--name"_s, u"Long"_s}, "fine\n" + QByteArray(24575, 'x'));
    QCOMPARE(refused.exitCode, 1);
    QVERIFY2(refused.err.contains(u"line 2: a word of 24575 characters is longer than a list file can carry"_s),
             qPrintable(refused.err));
    QCOMPARE(read(path(u"colors.lxg"_s)), colorsFile);
}

void TestLxg::show_foreignOrDamagedFile_exits1()
{
    const QString file = path(u"bad.lxg"_s);
    const std::pair<QByteArray, QString> cases[] = {
        {"PK\x03\x04 not a list", u"Invalid File\n"_s},
        {header() + field(empty) + field("GAA0ADcANAApACg") + int32(1),
         u"lxg: %1: a field is damaged (Error 5 in CBase64.Decode: Invalid length)\n"_s.arg(file)},
        {colorsFile.left(100), u"lxg: %1: the file ends in the middle of an entry (at byte 97)\n"_s.arg(file)},
        {header() + field(empty) + field(colors) + int32(1 << 30),
         u"lxg: %1: it claims 1073741824 words, more than the file can hold\n"_s.arg(file)}};
    for (const auto &[bytes, err] : cases) {
        write(file, bytes);
        const Run shown = lxg({u"show"_s, file});
        QCOMPARE(shown.exitCode, 1);
        QCOMPARE(shown.out, QString());
        QCOMPARE(shown.err, err);
    }
}

void TestLxg::suggest_drawsFromGivenLists_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("pattern");

    const QString word = u"(Tiger|Lion|Moon|Star)"_s;
    QTest::addRow("defaults") << QStringList() << u"^(%1?\\d{1,2}%1?|%1?%1?\\d{1,2}|\\d{1,2}%1?%1?)$"_s.arg(word);
    QTest::addRow("upper, replaced, special")
        << QStringList{u"--case"_s, u"upper"_s, u"--replace"_s, u"--special"_s, u"--min=4"_s, u"--max=12"_s}
        << u"^[A-Z0-9@()*+,\\-./]{4,12}$"_s;
    QTest::addRow("lower") << QStringList{u"--case=lower"_s} << u"^[a-z0-9]{8,32}$"_s;
}

void TestLxg::suggest_drawsFromGivenLists()
{
    QFETCH(QStringList, options);
    QFETCH(QString, pattern);
    lxg({u"create"_s, path(u"cats.lxg"_s), u"--name"_s, u"Cats"_s}, "Tiger\nLion\n");
    lxg({u"create"_s, path(u"sky.lxg"_s), u"--name"_s, u"Sky"_s}, "Moon\nStar\n");

    const Run run = lxg(QStringList{u"suggest"_s, u"--count"_s, u"200"_s, path(u"cats.lxg"_s), path(u"sky.lxg"_s)} + options);

    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QString());
    QVERIFY(run.out.endsWith(u'\n'));
    const QStringList lines = run.out.chopped(1).split(u'\n');
    QCOMPARE(lines.size(), 200);
    for (const QString &line : lines)
        QVERIFY2(QRegularExpression(pattern).match(line).hasMatch(), qPrintable(line));
}

void TestLxg::suggest_skipsUnreadableLists_orUsesTheLibrary()
{
    lxg({u"create"_s, path(u"tiger.lxg"_s), u"--name"_s, u"Cats"_s}, "Tiger\n");
    write(path(u"foreign.lxg"_s), "hello");
    const QString missing = path(u"missing.lxg"_s), foreign = path(u"foreign.lxg"_s);

    const Run some = lxg({u"suggest"_s, missing, foreign, path(u"tiger.lxg"_s)});
    QCOMPARE(some.exitCode, 0);
    QCOMPARE(some.out.count(u'\n'), 10);
    QCOMPARE(some.err, u"lxg: %1: the file does not exist\nlxg: %2: Invalid File\n"_s.arg(missing, foreign));
    const Run none = lxg({u"suggest"_s, missing, foreign});
    QCOMPARE(none.exitCode, 1);
    QCOMPARE(none.out, QString());

    // Without lists, the user's library, which is read and left as it was.
    QVERIFY(QDir(m_dir.path()).mkpath(u"config/lexiglow"_s));
    const QByteArray settings = "[passfiles]\ncount=1\npassfile1=" + path(u"tiger.lxg"_s).toUtf8() + "\n";
    write(path(u"config/lexiglow/lexiglow.conf"_s), settings);
    const Run library = lxg({u"suggest"_s, u"--count=30"_s, u"--min=6"_s}, {}, path(u"config"_s));
    QCOMPARE(library.exitCode, 0);
    QVERIFY(library.out.contains(u"Tiger"_s));
    QCOMPARE(read(path(u"config/lexiglow/lexiglow.conf"_s)), settings);
}

void TestLxg::usageError_exits2WithOneLine()
{
    for (const QString &line : {u""_s, u"make"_s, u"create x.lxg"_s, u"create --name X"_s, u"create x.lxg --name"_s,
                                u"create x.lxg --name=X --colour=red"_s, u"show a.lxg b.lxg"_s, u"suggest --min eight"_s,
                                u"suggest --case=title"_s, u"suggest --count 100001"_s, u"suggest --special=yes"_s}) {
        const Run run = lxg(line.split(u' ', Qt::SkipEmptyParts));
        QVERIFY2(run.exitCode == 2 && run.err.count(u'\n') == 1 && run.err.startsWith(u"lxg: "_s)
                     && run.err.endsWith(u" (try 'lxg --help')\n"_s),
                 qPrintable(u"lxg "_s + line + u": "_s + run.err));
    }
    QVERIFY(!QFile::exists(u"x.lxg"_s));
}

QTEST_GUILESS_MAIN(TestLxg)
#include "tst_lxg.moc"
