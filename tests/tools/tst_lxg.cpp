#include "support/ListFileBytes.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

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
    if (!configHome.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_CONFIG_HOME"_s, configHome);
        process.setProcessEnvironment(environment);
    }
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
    void init();
    void createThenShow_roundTrips();
    void create_fromStandardInput();
    void create_warnsAboutPoorWords();
    void create_wordTooLong_keepsOldFile();
    void create_matchesHandWrittenBytes();
    void show_foreignFile_saysInvalidFile();
    void show_damagedFile_data();
    void show_damagedFile();
    void suggest_drawsFromGivenLists_data();
    void suggest_drawsFromGivenLists();
    void suggest_unreadableLists();
    void suggest_withoutLists_usesLibrary();
    void usageErrors_exit2_data();
    void usageErrors_exit2();
    void help();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestLxg::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestLxg::createThenShow_roundTrips()
{
    // A byte order mark, CR LF and LF line ends, blank lines, and words kept as written.
    listbytes::write(path(u"words.txt"_s),
                     "\xef\xbb\xbf" "caf\xc3\xa9\r\n\r\n  \nEuro \xe2\x82\xac\n two words \nlast");

    const Run created = lxg({u"create"_s, path(u"list.lxg"_s), u"--name"_s, u"Caf\u00e9s"_s,
                             u"--description=Things \u0153"_s, path(u"words.txt"_s)});
    QCOMPARE(created.exitCode, 0);
    QCOMPARE(created.err, u"lxg: warning: line 3: holds only blanks and is skipped\n"
                          "lxg: warning: line 5: ' two words ' has blanks at its ends, and spaces there are "
                          "dropped when it is drawn\n"_s);

    const Run shown = lxg({u"show"_s, path(u"list.lxg"_s)});
    QCOMPARE(shown.exitCode, 0);
    QCOMPARE(shown.out, u"Caf\u00e9s\nThings \u0153\ncaf\u00e9\nEuro \u20ac\n two words \nlast\n"_s);
}

void TestLxg::create_fromStandardInput()
{
    const Run created = lxg({u"create"_s, path(u"list.lxg"_s), u"--name"_s, u"Pets"_s, u"-"_s}, "cat\ndog\n");
    QCOMPARE(created.exitCode, 0);

    const Run shown = lxg({u"show"_s, path(u"list.lxg"_s)});
    QCOMPARE(shown.out, u"Pets\n\ncat\ndog\n"_s);
}

void TestLxg::create_warnsAboutPoorWords()
{
    const Run created = lxg({u"create"_s, path(u"list.lxg"_s), u"--name"_s, u"\u0416ar"_s, u"-"_s},
                            "tiger\n[\nmoon\n\xd0\x96uk \xe2\x82\xac\ntiger\n");

    QCOMPARE(created.exitCode, 0);
    QCOMPARE(created.err.split(u'\n'),
             QStringList({u"lxg: warning: the name's '\u0416' cannot be stored and is written as '?'"_s,
                          u"lxg: warning: line 2: '[' alone reads back as an empty word"_s,
                          u"lxg: warning: line 4: '\u0416' cannot be stored and is written as '?'"_s,
                          u"lxg: warning: line 5: 'tiger' repeats line 1, so it is drawn twice as often"_s,
                          QString()}));
    const Run shown = lxg({u"show"_s, path(u"list.lxg"_s)});
    QCOMPARE(shown.out, u"?ar\n\ntiger\n\nmoon\n?uk \u20ac\ntiger\n"_s);
}

void TestLxg::create_wordTooLong_keepsOldFile()
{
    listbytes::write(path(u"list.lxg"_s), listbytes::colorsFile);
    const QByteArray words = "fine\n" + QByteArray(24575, 'x') + "\n";

    const Run created = lxg({u"create"_s, path(u"list.lxg"_s), u"--name"_s, u"Long"_s}, words);

    QCOMPARE(created.exitCode, 1);
    QVERIFY2(created.err.contains(u"line 2: a word of 24575 characters is longer than a list file can carry"_s),
             qPrintable(created.err));
    QCOMPARE(listbytes::read(path(u"list.lxg"_s)), listbytes::colorsFile);
}

void TestLxg::create_matchesHandWrittenBytes()
{
    const Run created = lxg({u"create"_s, path(u"colors.lxg"_s), u"--name"_s, u"Colors"_s}, "red\ngreen\nblue\n");
    QCOMPARE(created.exitCode, 0);

    QCOMPARE(listbytes::read(path(u"colors.lxg"_s)), listbytes::colorsFile);
}

void TestLxg::show_foreignFile_saysInvalidFile()
{
    listbytes::write(path(u"foreign.lxg"_s), "PK\x03\x04 not a list");

    const Run shown = lxg({u"show"_s, path(u"foreign.lxg"_s)});

    QCOMPARE(shown.exitCode, 1);
    QCOMPARE(shown.out, QString());
    QCOMPARE(shown.err, u"Invalid File\n"_s);
}

void TestLxg::show_damagedFile_data()
{
    using namespace listbytes;
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");

    QTest::addRow("bad Base64")
        << header() + field(empty) + field("GAA0ADcANAApACg") + int32(1)
        << u"Error 5 in CBase64.Decode: Invalid length"_s;
    QTest::addRow("cut short") << colorsFile.left(100) << u"ends in the middle of an entry"_s;
    QTest::addRow("huge count")
        << header() + field(empty) + field(colors) + int32(1 << 30) << u"more than the file can hold"_s;
}

void TestLxg::show_damagedFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    listbytes::write(path(u"damaged.lxg"_s), bytes);

    const Run shown = lxg({u"show"_s, path(u"damaged.lxg"_s)});

    QCOMPARE(shown.exitCode, 1);
    QCOMPARE(shown.out, QString());
    QVERIFY2(shown.err.contains(message), qPrintable(shown.err));
    QVERIFY2(shown.err.contains(path(u"damaged.lxg"_s)), qPrintable(shown.err));
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

    const Run run = lxg(QStringList{u"suggest"_s, u"--count"_s, u"200"_s} + options
                        + QStringList{path(u"cats.lxg"_s), path(u"sky.lxg"_s)});

    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QString());
    const QStringList lines = run.out.split(u'\n');
    QCOMPARE(lines.size(), 201);
    QCOMPARE(lines.last(), QString());
    const QRegularExpression expression(pattern);
    for (const QString &line : lines.first(200))
        QVERIFY2(expression.match(line).hasMatch(), qPrintable(line));
}

void TestLxg::suggest_unreadableLists()
{
    lxg({u"create"_s, path(u"cats.lxg"_s), u"--name"_s, u"Cats"_s}, "Tiger\n");
    listbytes::write(path(u"foreign.lxg"_s), "hello");

    const Run some = lxg({u"suggest"_s, path(u"missing.lxg"_s), path(u"foreign.lxg"_s), path(u"cats.lxg"_s)});
    QCOMPARE(some.exitCode, 0);
    QCOMPARE(some.out.count(u'\n'), 10);
    QVERIFY2(some.err.contains(path(u"missing.lxg"_s) + u": the file does not exist"_s), qPrintable(some.err));
    QVERIFY2(some.err.contains(path(u"foreign.lxg"_s) + u": Invalid File"_s), qPrintable(some.err));

    const Run none = lxg({u"suggest"_s, path(u"missing.lxg"_s), path(u"foreign.lxg"_s)});
    QCOMPARE(none.exitCode, 1);
    QCOMPARE(none.out, QString());
}

void TestLxg::suggest_withoutLists_usesLibrary()
{
    lxg({u"create"_s, path(u"cats.lxg"_s), u"--name"_s, u"Cats"_s}, "Tiger\n");
    QVERIFY(QDir(m_dir->path()).mkpath(u"config/lexiglow"_s));
    const QByteArray settings = "[passfiles]\ncount=1\npassfile1=" + path(u"cats.lxg"_s).toUtf8() + "\n";
    listbytes::write(path(u"config/lexiglow/lexiglow.conf"_s), settings);

    const Run run = lxg({u"suggest"_s, u"--count=30"_s, u"--min=6"_s}, {}, path(u"config"_s));

    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains(u"Tiger"_s));
    QCOMPARE(listbytes::read(path(u"config/lexiglow/lexiglow.conf"_s)), settings);
}

void TestLxg::usageErrors_exit2_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addRow("nothing") << QStringList();
    QTest::addRow("unknown command") << QStringList{u"make"_s};
    QTest::addRow("create without name") << QStringList{u"create"_s, u"x.lxg"_s};
    QTest::addRow("create without file") << QStringList{u"create"_s, u"--name"_s, u"X"_s};
    QTest::addRow("name without value") << QStringList{u"create"_s, u"x.lxg"_s, u"--name"_s};
    QTest::addRow("unknown option") << QStringList{u"create"_s, u"x.lxg"_s, u"--name"_s, u"X"_s, u"--colour"_s, u"red"_s};
    QTest::addRow("show without file") << QStringList{u"show"_s};
    QTest::addRow("show with two files") << QStringList{u"show"_s, u"a.lxg"_s, u"b.lxg"_s};
    QTest::addRow("suggest minimum not a number") << QStringList{u"suggest"_s, u"--min"_s, u"eight"_s};
    QTest::addRow("suggest unknown case") << QStringList{u"suggest"_s, u"--case=title"_s};
    QTest::addRow("suggest count too large") << QStringList{u"suggest"_s, u"--count"_s, u"100001"_s};
    QTest::addRow("suggest flag with value") << QStringList{u"suggest"_s, u"--special=yes"_s};
}

void TestLxg::usageErrors_exit2()
{
    QFETCH(QStringList, args);

    const Run run = lxg(args);

    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.err.count(u'\n'), 1);
    QVERIFY(run.err.contains(u"lxg --help"_s));
    QVERIFY(!QFile::exists(u"x.lxg"_s));
}

void TestLxg::help()
{
    const Run run = lxg({u"--help"_s});

    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains(u"lxg create OUT.lxg --name NAME"_s));
    QVERIFY(run.out.contains(u"lxg show FILE.lxg"_s));
}

QTEST_GUILESS_MAIN(TestLxg)
#include "tst_lxg.moc"
