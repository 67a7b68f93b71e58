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
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!configHome.isEmpty())
        environment.insert(u"XDG_CONFIG_HOME"_s, configHome);
    process.setProcessEnvironment(environment);
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
    void createThenShow_keepsWordsAsWritten();
    void create_fromStandardInput_writesTheHandWrittenBytes();
    void create_warnsAboutPoorWords_refusesTooLongWord();
    void show_unreadableFile_exits1_data();
    void show_unreadableFile_exits1();
    void suggest_drawsFromGivenLists_data();
    void suggest_drawsFromGivenLists();
    void suggest_skipsUnreadableLists_orUsesTheLibrary();
    void usageError_exits2WithOneLine_data();
    void usageError_exits2WithOneLine();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

void TestLxg::createThenShow_keepsWordsAsWritten()
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

    const Run help = lxg({u"--help"_s});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains(u"lxg create OUT.lxg --name NAME"_s) && help.out.contains(u"lxg show FILE.lxg"_s));
}

void TestLxg::create_fromStandardInput_writesTheHandWrittenBytes()
{
    const Run created = lxg({u"create"_s, path(u"colors.lxg"_s), u"--name"_s, u"Colors"_s, u"-"_s}, "red\ngreen\nblue\n");

    QCOMPARE(created.exitCode, 0);
    QCOMPARE(read(path(u"colors.lxg"_s)), colorsFile);
    QCOMPARE(lxg({u"show"_s, path(u"colors.lxg"_s)}).out, u"Colors\n\nred\ngreen\nblue\n"_s);
}

void TestLxg::create_warnsAboutPoorWords_refusesTooLongWord()
{
    const Run created = lxg({u"create"_s, path(u"poor.lxg"_s), u"--name"_s, u"\u0416ar"_s},
                            "tiger\n[\nmoon\n\xd0\x96uk \xe2\x82\xac\ntiger\n");
    QCOMPARE(created.exitCode, 0);
    QCOMPARE(created.err.split(u'\n'),
             QStringList({u"lxg: warning: the name's '\u0416' cannot be stored and is written as '?'"_s,
                          u"lxg: warning: line 2: '[' alone reads back as an empty word"_s,
                          u"lxg: warning: line 4: '\u0416' cannot be stored and is written as '?'"_s,
                          u"lxg: warning: line 5: 'tiger' repeats line 1, so it is drawn twice as often"_s,
                          QString()}));
    QCOMPARE(lxg({u"show"_s, path(u"poor.lxg"_s)}).out, u"?ar\n\ntiger\n\nmoon\n?uk \u20ac\ntiger\n"_s);

    write(path(u"kept.lxg"_s), colorsFile);
    const Run refused = lxg({u"create"_s, path(u"kept.lxg"_s), u"--name"_s, u"Long"_s}, "fine\n" + QByteArray(24575, 'x'));
    QCOMPARE(refused.exitCode, 1);
    QVERIFY2(refused.err.contains(u"line 2: a word of 24575 characters is longer than a list file can carry"_s),
             qPrintable(refused.err));
    QCOMPARE(read(path(u"kept.lxg"_s)), colorsFile);
}

void TestLxg::show_unreadableFile_exits1_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("err");

    QTest::addRow("foreign") << QByteArray("PK\x03\x04 not a list") << u"Invalid File\n"_s;
    QTest::addRow("bad Base64") << header() + field(empty) + field("GAA0ADcANAApACg") + int32(1)
                                << u"lxg: FILE: a field is damaged (Error 5 in CBase64.Decode: Invalid length)\n"_s;
    QTest::addRow("cut short") << colorsFile.left(100) << u"lxg: FILE: the file ends in the middle of an entry (at byte 97)\n"_s;
    QTest::addRow("huge count") << header() + field(empty) + field(colors) + int32(1 << 30)
                                << u"lxg: FILE: it claims 1073741824 words, more than the file can hold\n"_s;
}

void TestLxg::show_unreadableFile_exits1()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, err);
    write(path(u"bad.lxg"_s), bytes);

    const Run shown = lxg({u"show"_s, path(u"bad.lxg"_s)});

    QCOMPARE(shown.exitCode, 1);
    QCOMPARE(shown.out, QString());
    QCOMPARE(shown.err, err.replace(u"FILE"_s, path(u"bad.lxg"_s)));
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

    const Run run = lxg(QStringList{u"suggest"_s, u"--count"_s, u"200"_s} + options + QStringList{path(u"cats.lxg"_s), path(u"sky.lxg"_s)});

    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QString());
    const QStringList lines = run.out.split(u'\n');
    QCOMPARE(lines.size(), 201);
    QCOMPARE(lines.last(), QString());
    const QRegularExpression expression(pattern);
    for (const QString &line : lines.first(200))
        QVERIFY2(expression.match(line).hasMatch(), qPrintable(line));
}

void TestLxg::suggest_skipsUnreadableLists_orUsesTheLibrary()
{
    lxg({u"create"_s, path(u"tiger.lxg"_s), u"--name"_s, u"Cats"_s}, "Tiger\n");
    write(path(u"foreign.lxg"_s), "hello");

    const Run some = lxg({u"suggest"_s, path(u"missing.lxg"_s), path(u"foreign.lxg"_s), path(u"tiger.lxg"_s)});
    QCOMPARE(some.exitCode, 0);
    QCOMPARE(some.out.count(u'\n'), 10);
    QCOMPARE(some.err, u"lxg: %1: the file does not exist\nlxg: %2: Invalid File\n"_s.arg(path(u"missing.lxg"_s), path(u"foreign.lxg"_s)));
    const Run none = lxg({u"suggest"_s, path(u"missing.lxg"_s), path(u"foreign.lxg"_s)});
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

void TestLxg::usageError_exits2WithOneLine_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addRow("nothing") << QStringList();
    QTest::addRow("unknown command") << QStringList{u"make"_s};
    QTest::addRow("create without name") << QStringList{u"create"_s, u"x.lxg"_s};
    QTest::addRow("create without file") << QStringList{u"create"_s, u"--name"_s, u"X"_s};
    QTest::addRow("name without value") << QStringList{u"create"_s, u"x.lxg"_s, u"--name"_s};
    QTest::addRow("unknown option") << QStringList{u"create"_s, u"x.lxg"_s, u"--name"_s, u"X"_s, u"--colour=red"_s};
    QTest::addRow("show with two files") << QStringList{u"show"_s, u"a.lxg"_s, u"b.lxg"_s};
    QTest::addRow("minimum not a number") << QStringList{u"suggest"_s, u"--min"_s, u"eight"_s};
    QTest::addRow("unknown case") << QStringList{u"suggest"_s, u"--case=title"_s};
    QTest::addRow("count too large") << QStringList{u"suggest"_s, u"--count"_s, u"100001"_s};
    QTest::addRow("flag with a value") << QStringList{u"suggest"_s, u"--special=yes"_s};
}

void TestLxg::usageError_exits2WithOneLine()
{
    QFETCH(QStringList, args);

    const Run run = lxg(args);

    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.err.count(u'\n'), 1);
    QVERIFY(run.err.endsWith(u" (try 'lxg --help')\n"_s));
    QVERIFY(!QFile::exists(u"x.lxg"_s));
}

QTEST_GUILESS_MAIN(TestLxg)
#include "tst_lxg.moc"
