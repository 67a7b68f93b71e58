#include "support/FixedSettings.h"
#include "support/ListFileBytes.h"
#include "support/RecordingNotice.h"
#include "support/ScriptedRandom.h"
#include "support/TestLists.h"

#include "generation/RandomSource.h"
#include "generation/SuggestionEngine.h"

#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace lexiglow;
using namespace Qt::StringLiterals;

namespace {

// Collects a batch as the suggestions text box would show it.
class TextSink final : public SuggestionSink
{
public:
    void setText(const QString &text) override { this->text = text; }
    void append(QStringView more) override { text += more; }

    QStringList passwords() const { return text.split(u"\r\n"_s).mid(2); }

    QString text;
};

// The draws of one candidate: arrangement, first word, second word, drop
// number, the special character when one is given, number.
QList<double> candidate(int arrangement, double first, double second, int drop, std::optional<int> special, int number)
{
    QList<double> draws{pick(arrangement, 3), first, second, pick(drop, 5)};
    if (special)
        draws.append(pick(*special - 0x28 + 1, 8));
    draws.append(pick(number, 99));
    return draws;
}

} // namespace

class TestSuggestionEngine final : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void buildlist_takesTickedRowsInOrder();
    void buildlist_unreadableList_addsNothingAndIsToldOnce();
    void buildlist_foreignFile_saysInvalidFile();
    void getrandword_roundsToNearestIndex_data();
    void getrandword_roundsToNearestIndex();
    void getrandword_trimsSpacesAndReplacesLetters();
    void getpassword_joinsParts_data();
    void getpassword_joinsParts();
    void getpassword_returnsFirstFittingCandidate();
    void getpassword_returns1500thCandidateUntested();
    void generate_writesBatchText_data();
    void generate_writesBatchText();
    void generate_settingsThatAreNotNumbers_data();
    void generate_settingsThatAreNotNumbers();
    void generate_emptyPool_givesNumbers();
    void systemRandom_coversEverySpecialAndNumber();
    void systemRandom_noClockSeed();

private:
    void setPool(const QList<QStringList> &lists);

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingNotice m_notice;
    ScriptedRandom m_random;
    FixedSettings m_settings;
    std::unique_ptr<SuggestionEngine> m_engine;
};

void TestSuggestionEngine::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_notice.messages.clear();
    m_random = ScriptedRandom();
    m_settings.settings = GenerationSettings();
    m_engine = std::make_unique<SuggestionEngine>(m_random, m_settings, m_notice);
}

void TestSuggestionEngine::setPool(const QList<QStringList> &lists)
{
    QStringList passfiles{QString()};
    QList<ListRow> rows;
    for (const QStringList &words : lists) {
        passfiles.append(m_dir->filePath(QString::number(passfiles.size()) + u".lxg"_s));
        makeList(passfiles.last(), u"list"_s, words);
        rows.append({true, u"file_"_s + QString::number(passfiles.size() - 1)});
    }
    m_engine->buildlist(rows, passfiles);
}

void TestSuggestionEngine::buildlist_takesTickedRowsInOrder()
{
    const QString tigers = m_dir->filePath(u"tigers.lxg"_s);
    const QString birds = m_dir->filePath(u"birds.lxg"_s);
    const QString fish = m_dir->filePath(u"fish.lxg"_s);
    makeList(tigers, u"Cats"_s, {u"tiger"_s, u"lion"_s});
    makeList(birds, u"Birds"_s, {u"robin"_s, u"tiger"_s});
    makeList(fish, u"Fish"_s, {u"trout"_s});
    const QStringList passfiles{QString(), tigers, birds, fish};

    // Rows in view order differ from entry order; fish is not ticked.
    m_engine->buildlist({{true, u"file_2"_s}, {false, u"file_3"_s}, {true, u"file_1"_s}}, passfiles);

    QStringList pool;
    for (qsizetype i = 0; i <= m_engine->pool().size(); ++i)
        pool.append(m_engine->pool().entry(i));
    QCOMPARE(pool, (QStringList{QString(), u"robin"_s, u"tiger"_s, u"tiger"_s, u"lion"_s}));
    QCOMPARE(m_random.reseeds, 1);
    QVERIFY(m_notice.messages.isEmpty());
}

void TestSuggestionEngine::buildlist_unreadableList_addsNothingAndIsToldOnce()
{
    using namespace listbytes;
    const QString good = m_dir->filePath(u"good.lxg"_s);
    const QString damaged = m_dir->filePath(u"damaged.lxg"_s);
    const QString missing = m_dir->filePath(u"missing.lxg"_s);
    makeList(good, u"Good"_s, {u"moon"_s});
    // Two good words, then one whose Base64 is cut short.
    write(damaged, header() + field(empty) + field(colors) + int32(4) + field(red) + field(green) + field("OQA3AC4APg"));

    m_engine->buildlist({{true, u"file_1"_s}, {true, u"file_2"_s}, {true, u"file_3"_s}},
                        {QString(), damaged, good, missing});

    QCOMPARE(m_engine->pool().size(), 1);
    QCOMPARE(m_engine->pool().entry(1), u"moon"_s);
    QCOMPARE(m_notice.messages.size(), 1);
    QVERIFY(m_notice.messages[0].contains(damaged));
    QVERIFY(m_notice.messages[0].contains(u"Invalid length"_s));
    QVERIFY(m_notice.messages[0].contains(missing));
    QVERIFY(!m_notice.messages[0].contains(good));
}

void TestSuggestionEngine::buildlist_foreignFile_saysInvalidFile()
{
    const QString foreign = m_dir->filePath(u"foreign.lxg"_s);
    listbytes::write(foreign, "just some text");

    m_engine->buildlist({{true, u"file_1"_s}}, {QString(), foreign});

    QCOMPARE(m_engine->pool().size(), 0);
    QCOMPARE(m_notice.messages, QStringList{u"Invalid File"_s});
}

void TestSuggestionEngine::getrandword_roundsToNearestIndex_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<double>("r");
    QTest::addColumn<QString>("word");

    const QStringList cat{u"cat"_s};
    QTest::addRow("single word, r 0") << cat << 0.0 << QString();
    QTest::addRow("single word, r 0.5 rounds to even 0") << cat << 0.5 << QString();
    QTest::addRow("single word, just above 0.5") << cat << 0.50001 << u"cat"_s;
    QTest::addRow("single word, r near 1") << cat << 0.99999 << u"cat"_s;
    const QStringList three{u"one"_s, u"two"_s, u"three"_s};
    QTest::addRow("three words, 0.16 gives 0") << three << 0.16 << QString();
    QTest::addRow("three words, 0.17 gives 1") << three << 0.17 << u"one"_s;
    QTest::addRow("three words, 0.5 rounds 1.5 to even 2") << three << 0.5 << u"two"_s;
    QTest::addRow("three words, 0.9 gives 3") << three << 0.9 << u"three"_s;
    QTest::addRow("empty pool") << QStringList() << 0.99 << QString();
}

void TestSuggestionEngine::getrandword_roundsToNearestIndex()
{
    QFETCH(QStringList, words);
    QFETCH(double, r);
    QFETCH(QString, word);
    setPool({words});
    m_random.add({r});

    QCOMPARE(m_engine->getrandword(), word);
}

void TestSuggestionEngine::getrandword_trimsSpacesAndReplacesLetters()
{
    setPool({{u" river "_s, u"ideal"_s, u"Alice"_s, u"\tkeep\t"_s}});
    m_random.add({0.25, 0.5, 0.75, 1.0 - 1e-9});

    QCOMPARE(m_engine->getrandword(), u"river"_s);
    m_settings.settings.letterReplacement = true;
    QCOMPARE(m_engine->getrandword(), u"1d3@l"_s);
    QCOMPARE(m_engine->getrandword(), u"Al1c3"_s);
    QCOMPARE(m_engine->getrandword(), u"\tk33p\t"_s); // only spaces are trimmed
}

void TestSuggestionEngine::getpassword_joinsParts_data()
{
    QTest::addColumn<QList<double>>("draws");
    QTest::addColumn<bool>("special");
    QTest::addColumn<bool>("replace");
    QTest::addColumn<QString>("letterCase");
    QTest::addColumn<QString>("password");

    // The pool: apple, moon, Moon, Alice at r = 0.25, 0.5, 0.75, 1.
    const double apple = 0.25, moon = 0.5, capitalMoon = 0.75, alice = 0.999999;
    const QString mixed = GenerationSettings::upperAndLowerCase;
    QTest::addRow("apple57") << candidate(2, apple, moon, 4, {}, 57) << false << false << mixed << u"apple57"_s;
    QTest::addRow("8moon+") << candidate(3, apple, moon, 3, 0x2B, 8) << true << false << mixed << u"8moon+"_s;
    QTest::addRow("arrangement 1, special")
        << candidate(1, apple, moon, 1, 0x28, 99) << true << false << mixed << u"apple99moon("_s;
    QTest::addRow("arrangement 2, special")
        << candidate(2, apple, moon, 2, 0x2F, 1) << true << false << mixed << u"apple/moon1"_s;
    QTest::addRow("arrangement 3, no special")
        << candidate(3, apple, moon, 5, {}, 42) << false << false << mixed << u"42applemoon"_s;
    QTest::addRow("arrangement 1, no special, drop 3")
        << candidate(1, apple, capitalMoon, 3, {}, 7) << false << false << mixed << u"7Moon"_s;
    QTest::addRow("arrangement 3, special, both words")
        << candidate(3, apple, capitalMoon, 1, 0x2C, 12) << true << false << mixed << u"12Moon,apple"_s;
    QTest::addRow("capital kept") << candidate(2, capitalMoon, moon, 4, {}, 3) << false << false << mixed << u"Moon3"_s;
    QTest::addRow("Al1c3") << candidate(2, alice, moon, 4, {}, 5) << false << true << mixed << u"Al1c35"_s;
    QTest::addRow("al1c3")
        << candidate(2, alice, moon, 4, {}, 5) << false << true << GenerationSettings::lowerCaseOnly << u"al1c35"_s;
    QTest::addRow("AL1C3")
        << candidate(2, alice, moon, 4, {}, 5) << false << true << GenerationSettings::upperCaseOnly << u"AL1C35"_s;
    QTest::addRow("unknown case text leaves case")
        << candidate(2, capitalMoon, moon, 4, {}, 3) << false << false << u"upper case only"_s << u"Moon3"_s;
}

void TestSuggestionEngine::getpassword_joinsParts()
{
    QFETCH(QList<double>, draws);
    QFETCH(bool, special);
    QFETCH(bool, replace);
    QFETCH(QString, letterCase);
    QFETCH(QString, password);
    setPool({{u"apple"_s, u"moon"_s}, {u"Moon"_s, u"Alice"_s}});
    m_settings.settings.specialCharacters = special;
    m_settings.settings.letterReplacement = replace;
    m_settings.settings.letterCase = letterCase;
    m_settings.settings.minimumLength = u"1"_s;
    for (double r : draws)
        m_random.add({r});

    QCOMPARE(m_engine->getpassword(), password);
    QCOMPARE(m_random.remaining(), 0);
}

void TestSuggestionEngine::getpassword_returnsFirstFittingCandidate()
{
    // Empty pool, so a candidate is its number: "7" is too short, "42" fits.
    setPool({});
    m_settings.settings.minimumLength = u"2"_s;
    m_settings.settings.maximumLength = u"2"_s;
    for (int i = 1; i < 1499; ++i)
        m_random.add({0.1, 0, 0, 0.1, pick(7, 99)});
    for (int number : {42, 55})
        m_random.add({0.1, 0, 0, 0.1, pick(number, 99)});

    QCOMPARE(m_engine->getpassword(), u"42"_s);
    QCOMPARE(m_random.remaining(), 5);
}

void TestSuggestionEngine::getpassword_returns1500thCandidateUntested()
{
    setPool({});
    m_settings.settings.minimumLength = u"12"_s;
    m_settings.settings.maximumLength = u"6"_s;
    for (int i = 1; i < 1500; ++i)
        m_random.add({0.1, 0, 0, 0.1, pick(7, 99)});
    m_random.add({0.1, 0, 0, 0.1, pick(99, 99)});
    m_random.add({0.1, 0, 0, 0.1, pick(1, 99)});

    QCOMPARE(m_engine->getpassword(), u"99"_s);
    QCOMPARE(m_random.drawn(), 1500 * 5);
}

void TestSuggestionEngine::generate_writesBatchText_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("text");

    const QString heading = u"Generating Your Suggestions...\r\n"_s;
    QTest::addRow("three") << u"3"_s << heading + u"\r\n1\r\n2\r\n3"_s;
    QTest::addRow("fraction counts whole steps") << u"2.5"_s << heading + u"\r\n1\r\n2"_s;
    QTest::addRow("zero") << u"0"_s << heading;
    QTest::addRow("negative") << u"-4"_s << heading;
    QTest::addRow("blanks around") << u" 1 "_s << heading + u"\r\n1"_s;
}

void TestSuggestionEngine::generate_writesBatchText()
{
    QFETCH(QString, count);
    QFETCH(QString, text);
    setPool({});
    m_settings.settings.minimumLength = u"1"_s;
    m_settings.settings.passwordCount = count;
    for (int number = 1; number <= 3; ++number)
        m_random.add({0.1, 0, 0, 0.1, pick(number, 99)});
    TextSink sink;

    m_engine->generate(sink);

    QCOMPARE(sink.text, text);
    QVERIFY(m_notice.messages.isEmpty());
}

void TestSuggestionEngine::generate_settingsThatAreNotNumbers_data()
{
    QTest::addColumn<QString>("minimum");
    QTest::addColumn<QString>("maximum");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("named");

    QTest::addRow("minimum letters") << u"eight"_s << u"32"_s << u"10"_s << u"Minimum Password Length"_s;
    QTest::addRow("minimum number then letters") << u"8x"_s << u"32"_s << u"10"_s << u"Minimum Password Length"_s;
    QTest::addRow("maximum empty") << u"8"_s << QString() << u"10"_s << u"Maximum Password Length"_s;
    QTest::addRow("count with exponent") << u"8"_s << u"32"_s << u"1e3"_s << u"Passwords to Generate"_s;
    QTest::addRow("count too large") << u"8"_s << u"32"_s << u"100001"_s << u"at most 100000"_s;
    QTest::addRow("count huge") << u"8"_s << u"32"_s << u"99999999999999999999"_s << u"at most 100000"_s;
}

void TestSuggestionEngine::generate_settingsThatAreNotNumbers()
{
    QFETCH(QString, minimum);
    QFETCH(QString, maximum);
    QFETCH(QString, count);
    QFETCH(QString, named);
    setPool({{u"word"_s}});
    m_settings.settings.minimumLength = minimum;
    m_settings.settings.maximumLength = maximum;
    m_settings.settings.passwordCount = count;
    TextSink sink;

    m_engine->generate(sink);

    QCOMPARE(sink.text, u"Generating Your Suggestions...\r\n"_s);
    QCOMPARE(m_notice.messages.size(), 1);
    QVERIFY2(m_notice.messages[0].contains(named), qPrintable(m_notice.messages[0]));
    QCOMPARE(m_random.drawn(), 0);
}

void TestSuggestionEngine::generate_emptyPool_givesNumbers()
{
    SystemRandomSource random;
    SuggestionEngine engine(random, m_settings, m_notice);
    engine.buildlist({}, {QString()});
    m_settings.settings.passwordCount = u"20"_s;
    TextSink sink;

    engine.generate(sink);
    m_settings.settings.specialCharacters = true;
    TextSink specialSink;
    engine.generate(specialSink);

    QCOMPARE(sink.passwords().size(), 20);
    for (const QString &password : sink.passwords())
        QVERIFY2(QRegularExpression(u"^[1-9][0-9]?$"_s).match(password).hasMatch(), qPrintable(password));
    for (const QString &password : specialSink.passwords()) {
        QVERIFY2(QRegularExpression(u"^([1-9][0-9]?[(-/]|[(-/][1-9][0-9]?)$"_s).match(password).hasMatch(),
                 qPrintable(password));
    }
}

void TestSuggestionEngine::systemRandom_coversEverySpecialAndNumber()
{
    SystemRandomSource random;
    SuggestionEngine engine(random, m_settings, m_notice);
    engine.buildlist({}, {QString()});
    m_settings.settings.specialCharacters = true;
    m_settings.settings.minimumLength = u"2"_s;
    m_settings.settings.maximumLength = u"3"_s;
    m_settings.settings.passwordCount = u"20000"_s;
    TextSink sink;

    engine.generate(sink);

    QSet<QChar> specials;
    QSet<int> numbers;
    int numberFirst = 0;
    for (const QString &password : sink.passwords()) {
        const bool first = password[0].isDigit();
        numberFirst += first;
        specials.insert(first ? password.back() : password.front());
        numbers.insert((first ? password.chopped(1) : password.mid(1)).toInt());
    }
    QCOMPARE(specials.size(), 8);
    QCOMPARE(numbers.size(), 99);
    QVERIFY(!numbers.contains(0) && !numbers.contains(100));
    // Arrangements 1 and 3 put the number first: two thirds of the time.
    QVERIFY2(numberFirst > 12500 && numberFirst < 14200, qPrintable(QString::number(numberFirst)));
}

void TestSuggestionEngine::systemRandom_noClockSeed()
{
    setPool({});
    QStringList words;
    for (int i = 0; i < 100; ++i)
        words.append(u"word"_s + QString::number(i));
    QStringList passfiles{QString(), m_dir->filePath(u"words.lxg"_s)};
    makeList(passfiles[1], u"Words"_s, words);

    QStringList batches;
    for (int run = 0; run < 2; ++run) {
        SystemRandomSource random;
        SuggestionEngine engine(random, m_settings, m_notice);
        engine.buildlist({{true, u"file_1"_s}}, passfiles);
        TextSink sink;
        engine.generate(sink);
        batches.append(sink.text);
    }
    QVERIFY(batches[0] != batches[1]);
}

QTEST_GUILESS_MAIN(TestSuggestionEngine)
#include "tst_suggestionengine.moc"
