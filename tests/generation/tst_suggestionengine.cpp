#include "support/ListFileBytes.h"
#include "support/RecordingNotice.h"

#include "generation/RandomSource.h"
#include "generation/SuggestionEngine.h"
#include "store/wordList.h"

#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

using namespace lexiglow;
using namespace Qt::StringLiterals;

namespace {

// What the engine works with: scripted random values and the text box a batch goes to. Running out of values
// is a failing random source, which stops the engine.
struct Harness final : RandomSource, SuggestionSink
{
    void reseed() override { ++reseeds; }
    double next() override { return drawn < values.size() ? values[drawn++] : throw RandomSourceError("script ran out"); }
    void setText(const QString &text) override { this->text = text; }
    void append(QStringView more) override { text += more; }

    QList<double> values;
    qsizetype drawn = 0;
    int reseeds = 0;
    QString text;
};

// The draws of one candidate: arrangement, two words, drop number, special character unless 0, number.
QList<double> candidate(int arrangement, double first, double second, int drop, char special, int number)
{
    const auto pick = [](int choice, int n) { return (choice - 0.5) / n; }; // Int(r * n) + 1 gives choice
    QList<double> draws{pick(arrangement, 3), first, second, pick(drop, 5)};
    if (special)
        draws.append(pick(special - '(' + 1, 8));
    return draws << pick(number, 99);
}

void makeList(const QString &path, const QStringList &words)
{
    RecordingNotice notice;
    wordList list(notice);
    for (const QString &word : words + QStringList{QString()})
        list.addword(word);
    list.SaveData(path);
}

} // namespace

class TestSuggestionEngine final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    RecordingNotice m_notice;
    Harness m_harness;
    std::unique_ptr<SuggestionEngine> m_engine;

    void setPool(const QStringList &words)
    {
        makeList(m_dir.filePath(u"pool.lxg"_s), words);
        m_engine->buildlist({{true, u"file_1"_s}}, {QString(), m_dir.filePath(u"pool.lxg"_s)});
    }

private slots:
    void init()
    {
        m_notice.messages.clear();
        m_harness = Harness();
        m_engine = std::make_unique<SuggestionEngine>(m_harness, m_notice);
    }

    void buildlist_takesTickedRowsInOrder_namesUnreadableListsOnce()
    {
        using namespace listbytes;
        QStringList passfiles{QString()};
        for (const QString &name : {u"cats"_s, u"birds"_s, u"fish"_s, u"damaged"_s, u"missing"_s, u"foreign"_s})
            passfiles.append(m_dir.filePath(name + u".lxg"_s));
        makeList(passfiles[1], {u"tiger"_s, u"lion"_s});
        makeList(passfiles[2], {u"robin"_s, u"tiger"_s});
        makeList(passfiles[3], {u"trout"_s});
        // Two good words, then one whose Base64 is cut short.
        write(passfiles[4], header() + field(empty) + field(colors) + int32(4) + field(red) + field(green) + field("OQA3AC4APg"));
        write(passfiles[6], "just some text");

        // Rows in view order differ from entry order; fish is not ticked.
        m_engine->buildlist({{true, u"file_2"_s}, {false, u"file_3"_s}, {true, u"file_4"_s}, {true, u"file_1"_s},
                             {true, u"file_5"_s}, {true, u"file_6"_s}}, passfiles);

        QStringList pool;
        for (qsizetype i = 0; i <= m_engine->pool().size(); ++i)
            pool.append(m_engine->pool().entry(i));
        QCOMPARE(pool, (QStringList{QString(), u"robin"_s, u"tiger"_s, u"tiger"_s, u"lion"_s}));
        QCOMPARE(m_harness.reseeds, 1);
        QCOMPARE(m_notice.messages, (QStringList{u"Invalid File"_s,
                              u"These word lists could not be read and add no words:\n\n%1: a field is damaged (Error 5 in "
                              "CBase64.Decode: Invalid length)\n%2: the file does not exist"_s.arg(passfiles[4], passfiles[5])}));
    }

    // Which entry a value draws is the scripted rows' to show.
    void getrandword_trimsOnlySpaces()
    {
        setPool({u" river "_s, u"\tkeep\t"_s});
        m_harness.values = {0.4, 0.9};
        QCOMPARE(m_engine->getrandword(false), u"river"_s);
        QCOMPARE(m_engine->getrandword(false), u"\tkeep\t"_s);
    }

    void generate_joinsScriptedCandidates_data()
    {
        QTest::addColumn<PasswordRequest>("request");
        QTest::addColumn<QList<double>>("draws");
        QTest::addColumn<QString>("text"); // the batch after the heading, or else what the user is told
        QTest::addColumn<int>("outside"); // passwords outside the length limits

        // One password from the pool apple, moon, Moon, Alice.
        const double apple = 0.25, moon = 0.5, Moon = 0.75, alice = 0.999999;
        using Case = PasswordRules::Case;
        const auto one = [](bool special, bool replace = false, Case letterCase = Case::Keep) {
            return PasswordRequest{.rules = {.minimum = 1, .letterCase = letterCase, .letterReplacement = replace,
                                             .specialCharacters = special},
                                   .count = 1};
        };
        QTest::addRow("apple57") << one(false) << candidate(2, apple, moon, 4, 0, 57) << u"\r\napple57"_s << 0;
        QTest::addRow("8moon+") << one(true) << candidate(3, apple, moon, 3, '+', 8) << u"\r\n8moon+"_s << 0;
        QTest::addRow("arrangement 1, special") << one(true) << candidate(1, apple, moon, 1, '(', 99) << u"\r\napple99moon("_s << 0;
        QTest::addRow("arrangement 2, special") << one(true) << candidate(2, apple, moon, 2, '/', 1) << u"\r\napple/moon1"_s << 0;
        QTest::addRow("arrangement 3, special") << one(true) << candidate(3, apple, Moon, 1, ',', 12) << u"\r\n12Moon,apple"_s << 0;
        QTest::addRow("arrangement 3") << one(false) << candidate(3, apple, moon, 5, 0, 42) << u"\r\n42applemoon"_s << 0;
        // A value falls to the nearest entry, a half to the even one: 0.5 to none, 1.5 to moon; Alice's 3.999996 to her.
        QTest::addRow("halves to the even entry") << one(false) << candidate(1, 0.125, 0.375, 1, 0, 5) << u"\r\n5moon"_s << 0;
        const QList<double> alice5 = candidate(2, alice, moon, 4, 0, 5);
        QTest::addRow("Al1c3") << one(false, true) << alice5 << u"\r\nAl1c35"_s << 0;
        QTest::addRow("al1c3") << one(false, true, Case::Lower) << alice5 << u"\r\nal1c35"_s << 0;
        QTest::addRow("AL1C3") << one(false, true, Case::Upper) << alice5 << u"\r\nAL1C35"_s << 0;

        // Batches of candidates that are a number alone, as r 0 draws no word.
        const auto numbers = [](const QList<int> &numbers) {
            QList<double> draws;
            for (const int number : numbers)
                draws += candidate(1, 0, 0, 1, 0, number);
            return draws;
        };
        const auto limits = [](double minimum, double maximum, int count) {
            return PasswordRequest{.rules = {.minimum = minimum, .maximum = maximum}, .count = count};
        };
        QTest::addRow("three") << limits(1, 32, 3) << numbers({1, 2, 3}) << u"\r\n1\r\n2\r\n3"_s << 0;
        QTest::addRow("random source fails mid-batch: none") << limits(1, 32, 3) << numbers({1, 2}) << u"script ran out"_s << 0;
        QTest::addRow("zero") << limits(1, 32, 0) << QList<double>() << QString() << 0;
        QTest::addRow("1499th candidate still tested") << limits(2, 2, 1) << numbers(QList<int>(1498, 7) << 42) << u"\r\n42"_s << 0;
        QTest::addRow("1500th taken untested") << limits(12, 6, 1) << numbers(QList<int>(1499, 7) << 99) << u"\r\n99"_s << 1;
    }

    // Every scripted value is drawn and no more.
    void generate_joinsScriptedCandidates()
    {
        QFETCH(PasswordRequest, request);
        QFETCH(QList<double>, draws);
        QFETCH(QString, text);
        QFETCH(int, outside);
        setPool({u"apple"_s, u"moon"_s, u"Moon"_s, u"Alice"_s});
        m_harness.values = draws;

        const BatchReport report = m_engine->generate(request, m_harness);

        const bool told = !text.isEmpty() && !text.startsWith(u"\r\n");
        QCOMPARE(m_harness.text, u"Generating Your Suggestions...\r\n"_s + (told ? QString() : text));
        QCOMPARE(m_notice.messages, told ? QStringList{text} : QStringList());
        QCOMPARE(m_harness.drawn, draws.size());
        QCOMPARE(report.passwords, told ? 0 : text.count(u"\r\n"));
        QCOMPARE(report.outsideLimits, outside);
        QCOMPARE(report.randomFailed, text == u"script ran out");
    }

    // Which number and special character each value gives is the scripted rows' to show, and lxg's tests check
    // the real source's passwords and its failure message; here it gives a fresh sequence each time, fills its
    // block however the system hands out the bytes, and gives no value when the system gives none.
    void systemRandom_givesFreshSequences_failsClosed()
    {
        // Two sources started at the same moment differ: the sequence is not seeded from the clock.
        SystemRandomSource one, other;
        QVERIFY((QList<double>{one.next(), one.next()}) != (QList<double>{other.next(), other.next()}));

        // Interrupted once, then a byte a call: the block is still filled.
        static int calls = 0;
        SystemRandomSource slow(+[](void *buffer, std::size_t) -> long {
            errno = calls++ == 0 ? EINTR : 0;
            *static_cast<unsigned char *>(buffer) = 0x80;
            return calls == 1 ? -1 : 1;
        });
        QCOMPARE(slow.next(), 0x80808080 * 0x1.0p-32);
        QCOMPARE(calls, 1 + 16384);
        SystemRandomSource empty(+[](void *, std::size_t) -> long { return 0; });
        QVERIFY_THROWS_EXCEPTION(RandomSourceError, empty.next());
    }

    void wordPool_keepsWordsAcrossBlocks_truncates()
    {
        // Lengths from 1 to 40000 characters, so that some words outgrow a block.
        const auto word = [](int i) { return QString(i % 97 == 0 ? 40000 : 1 + i % 13, QChar(u'a' + i % 26)) + QString::number(i); };
        WordPool pool;
        for (int i = 1; i <= 20000; ++i)
            pool.append(word(i));
        // Grown, then cut back to before and after a long word and grown again.
        for (const int keep : {20000, 5000, 97, 96, 0}) {
            pool.truncate(keep);
            for (int i = keep + 1; i <= keep + 300; ++i)
                pool.append(u"new"_s + QString::number(i));
            QCOMPARE(pool.size(), keep + 300);
            for (int i = 0; i <= keep + 300; ++i)
                QCOMPARE(pool.entry(i), i == 0 ? QString() : i <= keep ? word(i) : u"new"_s + QString::number(i));
        }

        // Words are kept in the code page: what a list file could not hold either becomes "?".
        pool.append(u"caf\u00e9 \u20ac\u0153\u0081 \u0416ar"_s);
        QCOMPARE(pool.entry(pool.size()), u"caf\u00e9 \u20ac\u0153\u0081 ?ar"_s);
    }
};

QTEST_GUILESS_MAIN(TestSuggestionEngine)
#include "tst_suggestionengine.moc"
