#include "support/ListFileBytes.h"
#include "support/RecordingNotice.h"

#include "generation/RandomSource.h"
#include "generation/SuggestionEngine.h"
#include "store/wordList.h"

#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>

using namespace lexiglow;
using namespace Qt::StringLiterals;

namespace {

// What the engine works with: scripted random values, fixed settings, and the text box a batch goes to.
// Running out of values stops the engine, which could otherwise try candidates for ever.
struct Harness final : RandomSource, SettingsSource, SuggestionSink
{
    void reseed() override { ++reseeds; }
    double next() override { return drawn < values.size() ? values[drawn++] : throw std::out_of_range("script ran out"); }
    GenerationSettings currentSettings() override { return settings; }
    void setText(const QString &text) override { this->text = text; }
    void append(QStringView more) override { text += more; }

    QList<double> values;
    qsizetype drawn = 0;
    int reseeds = 0;
    GenerationSettings settings;
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

private slots:
    void init();
    void buildlist_takesTickedRowsInOrder_namesUnreadableListsOnce();
    void getrandword_roundsToNearestEntry_trimsOnlySpaces();
    void getpassword_joinsParts_data();
    void getpassword_joinsParts();
    void generate_writesFirstFittingPasswords_orTellsWhichSettingIsWrong_data();
    void generate_writesFirstFittingPasswords_orTellsWhichSettingIsWrong();
    void systemRandom_coversEverySpecialAndNumber_batchesDiffer();
    void wordPool_keepsWordsAcrossBlocks_truncates();

private:
    void setPool(const QStringList &words);

    QTemporaryDir m_dir;
    RecordingNotice m_notice;
    Harness m_harness;
    std::unique_ptr<SuggestionEngine> m_engine;
};

void TestSuggestionEngine::init()
{
    m_notice.messages.clear();
    m_harness = Harness();
    m_engine = std::make_unique<SuggestionEngine>(m_harness, m_harness, m_notice);
}

void TestSuggestionEngine::setPool(const QStringList &words)
{
    makeList(m_dir.filePath(u"pool.lxg"_s), words);
    m_engine->buildlist({{true, u"file_1"_s}}, {QString(), m_dir.filePath(u"pool.lxg"_s)});
}

void TestSuggestionEngine::buildlist_takesTickedRowsInOrder_namesUnreadableListsOnce()
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
                         {true, u"file_5"_s}, {true, u"file_6"_s}},
                        passfiles);

    QStringList pool;
    for (qsizetype i = 0; i <= m_engine->pool().size(); ++i)
        pool.append(m_engine->pool().entry(i));
    QCOMPARE(pool, (QStringList{QString(), u"robin"_s, u"tiger"_s, u"tiger"_s, u"lion"_s}));
    QCOMPARE(m_harness.reseeds, 1);
    QCOMPARE(m_notice.messages,
             (QStringList{u"Invalid File"_s,
                          u"These word lists could not be read and add no words:\n\n%1: a field is damaged (Error 5 in "
                          "CBase64.Decode: Invalid length)\n%2: the file does not exist"_s.arg(passfiles[4], passfiles[5])}));
}

void TestSuggestionEngine::getrandword_roundsToNearestEntry_trimsOnlySpaces()
{
    setPool({u"cat"_s});
    m_harness.values = {0.0, 0.5, 0.50001, 0.4, 0.9};
    QCOMPARE(m_engine->getrandword(), QString());
    QCOMPARE(m_engine->getrandword(), QString()); // 0.5 rounds to the even 0
    QCOMPARE(m_engine->getrandword(), u"cat"_s);

    setPool({u" river "_s, u"\tkeep\t"_s});
    QCOMPARE(m_engine->getrandword(), u"river"_s);
    QCOMPARE(m_engine->getrandword(), u"\tkeep\t"_s);
}

void TestSuggestionEngine::getpassword_joinsParts_data()
{
    QTest::addColumn<QList<double>>("draws");
    QTest::addColumn<bool>("replace");
    QTest::addColumn<QString>("letterCase");
    QTest::addColumn<QString>("password");

    // From the pool apple, moon, Moon, Alice.
    const double apple = 0.25, moon = 0.5, Moon = 0.75, alice = 0.999999;
    const QString mixed = GenerationSettings::upperAndLowerCase;
    QTest::addRow("apple57") << candidate(2, apple, moon, 4, 0, 57) << false << mixed << u"apple57"_s;
    QTest::addRow("8moon+") << candidate(3, apple, moon, 3, '+', 8) << false << mixed << u"8moon+"_s;
    QTest::addRow("arrangement 1, special") << candidate(1, apple, moon, 1, '(', 99) << false << mixed << u"apple99moon("_s;
    QTest::addRow("arrangement 2, special") << candidate(2, apple, moon, 2, '/', 1) << false << mixed << u"apple/moon1"_s;
    QTest::addRow("arrangement 3, special") << candidate(3, apple, Moon, 1, ',', 12) << false << mixed << u"12Moon,apple"_s;
    QTest::addRow("arrangement 1, drop 3") << candidate(1, apple, Moon, 3, 0, 7) << false << mixed << u"7Moon"_s;
    QTest::addRow("arrangement 3") << candidate(3, apple, moon, 5, 0, 42) << false << mixed << u"42applemoon"_s;
    QTest::addRow("capital kept") << candidate(2, Moon, moon, 4, 0, 3) << false << mixed << u"Moon3"_s;
    QTest::addRow("Al1c3") << candidate(2, alice, moon, 4, 0, 5) << true << mixed << u"Al1c35"_s;
    QTest::addRow("al1c3") << candidate(2, alice, moon, 4, 0, 5) << true << GenerationSettings::lowerCaseOnly << u"al1c35"_s;
    QTest::addRow("AL1C3") << candidate(2, alice, moon, 4, 0, 5) << true << GenerationSettings::upperCaseOnly << u"AL1C35"_s;
    QTest::addRow("unknown case text keeps case") << candidate(2, Moon, moon, 4, 0, 3) << false << u"upper case only"_s << u"Moon3"_s;
}

void TestSuggestionEngine::getpassword_joinsParts()
{
    QFETCH(QList<double>, draws);
    QFETCH(bool, replace);
    QFETCH(QString, letterCase);
    QFETCH(QString, password);
    setPool({u"apple"_s, u"moon"_s, u"Moon"_s, u"Alice"_s});
    m_harness.settings = {.minimumLength = u"1"_s, .letterCase = letterCase, .letterReplacement = replace,
                           .specialCharacters = draws.size() == 6}; // a candidate with a special character
    m_harness.values = draws;

    QCOMPARE(m_engine->getpassword(), password);
    QCOMPARE(m_harness.drawn, draws.size());
}

void TestSuggestionEngine::generate_writesFirstFittingPasswords_orTellsWhichSettingIsWrong_data()
{
    QTest::addColumn<QString>("settings"); // minimum|maximum|count
    QTest::addColumn<QList<int>>("numbers"); // the candidates, each its number alone from the empty pool
    QTest::addColumn<QString>("text");

    const QString heading = u"Generating Your Suggestions...\r\n"_s;
    QTest::addRow("three") << u"1|32|3"_s << QList<int>{1, 2, 3} << heading + u"\r\n1\r\n2\r\n3"_s;
    QTest::addRow("2.5: two") << u"1|32|2.5"_s << QList<int>{1, 2} << heading + u"\r\n1\r\n2"_s;
    QTest::addRow("blanks around") << u"1|32| 1 "_s << QList<int>{1} << heading + u"\r\n1"_s;
    QTest::addRow("zero") << u"1|32|0"_s << QList<int>() << heading;
    QTest::addRow("negative") << u"1|32|-4"_s << QList<int>() << heading;
    QTest::addRow("the 1499th candidate is still tested") << u"2|2|1"_s << (QList<int>(1498, 7) << 42) << heading + u"\r\n42"_s;
    QTest::addRow("the 1500th is taken untested") << u"12|6|1"_s << (QList<int>(1499, 7) << 99) << heading + u"\r\n99"_s;

    const QString notANumber = u"%1 is not a number: \"%2\".\nChange it in Advanced Settings."_s;
    QTest::addRow("minimum in letters") << u"eight|32|10"_s << QList<int>() << notANumber.arg(u"Minimum Password Length", u"eight");
    QTest::addRow("maximum empty") << u"8||10"_s << QList<int>() << notANumber.arg(u"Maximum Password Length", u"");
    QTest::addRow("count with exponent") << u"8|32|1e3"_s << QList<int>() << notANumber.arg(u"Passwords to Generate", u"1e3");
    QTest::addRow("count above 100000")
        << u"8|32|100001"_s << QList<int>() << u"Passwords to Generate can be at most 100000.\nChange it in Advanced Settings."_s;
}

// A wrong setting is told once, the heading written and nothing drawn.
void TestSuggestionEngine::generate_writesFirstFittingPasswords_orTellsWhichSettingIsWrong()
{
    QFETCH(QString, settings);
    QFETCH(QList<int>, numbers);
    QFETCH(QString, text);
    setPool({});
    const QStringList limits = settings.split(u'|');
    m_harness.settings = {.minimumLength = limits[0], .maximumLength = limits[1], .passwordCount = limits[2]};
    for (const int number : numbers)
        m_harness.values += candidate(1, 0, 0, 1, 0, number);

    m_engine->generate(m_harness);

    const bool told = !text.startsWith(u"Generating"_s);
    QCOMPARE(m_harness.text, told ? u"Generating Your Suggestions...\r\n"_s : text);
    QCOMPARE(m_notice.messages, told ? QStringList{text} : QStringList());
    QCOMPARE(m_harness.drawn, numbers.size() * 5);
}

void TestSuggestionEngine::systemRandom_coversEverySpecialAndNumber_batchesDiffer()
{
    // A batch from the empty pool: numbers and special characters only.
    const auto batch = [&] {
        SystemRandomSource random;
        SuggestionEngine engine(random, m_harness, m_notice);
        engine.buildlist({}, {QString()});
        engine.generate(m_harness);
        return m_harness.text.split(u"\r\n"_s).mid(2);
    };
    m_harness.settings = {.minimumLength = u"2"_s, .maximumLength = u"3"_s, .passwordCount = u"20000"_s,
                           .specialCharacters = true};
    const QStringList passwords = batch();

    QCOMPARE(passwords.size(), 20000);
    const QRegularExpression shape(u"^([1-9]\\d?)?([(-/])([1-9]\\d?)?$"_s);
    QSet<QString> specials, numbers;
    for (const QString &password : passwords) {
        const QRegularExpressionMatch match = shape.match(password);
        QVERIFY2(match.hasMatch() && match.captured(1).isEmpty() != match.captured(3).isEmpty(), qPrintable(password));
        specials.insert(match.captured(2));
        numbers.insert(match.captured(1) + match.captured(3));
    }
    QCOMPARE(specials.size(), 8);
    QCOMPARE(numbers.size(), 99);

    // Two batches started at the same moment differ: the sequence is not seeded from the clock.
    m_harness.settings.passwordCount = u"10"_s;
    QVERIFY(batch() != batch());
}

void TestSuggestionEngine::wordPool_keepsWordsAcrossBlocks_truncates()
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

QTEST_GUILESS_MAIN(TestSuggestionEngine)
#include "tst_suggestionengine.moc"
