#include "support/RecordingNotice.h"

#include "generation/CandidateGrammar.h"
#include "generation/RandomSource.h"
#include "generation/StrengthModel.h"
#include "generation/SuggestionEngine.h"
#include "generation/WordPool.h"
#include "store/wordList.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>

#include <cmath>
#include <random>
#include <unordered_map>

using namespace lexiglow;
using namespace Qt::StringLiterals;

namespace {

// A plain hash of the text: the brute force below makes millions of them.
const auto textHash = [](const QString &text) {
    return std::hash<std::u16string_view>()({QStringView(text).utf16(), std::size_t(text.size())});
};
using Chances = std::unordered_map<QString, long double, decltype(textHash)>;

void fill(WordPool &pool, const QStringList &words)
{
    pool.clear();
    for (const QString &word : words)
        pool.append(word);
}

// The engine's pool from a real list file of words.
bool fill(SuggestionEngine &engine, const QStringList &words)
{
    const QTemporaryDir dir;
    RecordingNotice notice;
    wordList list(notice);
    for (const QString &word : words + QStringList{QString()})
        list.addword(word);
    list.SaveData(dir.filePath(u"l.lxg"_s));
    engine.startPool();
    return engine.addList(dir.filePath(u"l.lxg"_s)).read();
}

// Every candidate the grammar makes, one by one, with its exact chance.
Chances everyCandidate(const WordPool &pool, const PasswordRules &rules)
{
    using Grammar = CandidateGrammar;
    const qsizetype n = pool.size();
    const std::array<char16_t, 256> characters = Grammar::characters(rules.letterReplacement);
    QStringList entries;
    for (qsizetype k = 0; k <= n; ++k) {
        QString entry;
        for (const char code : Grammar::trimmed(pool.codes(k)))
            entry += QChar(characters[quint8(code)]);
        entries.append(entry);
    }
    const auto entryChance = [&](qsizetype k) { return (long double)Grammar::entryWeight(k, n) / Grammar::entryTotal(n); };
    // Drop numbers that empty the same word give the same candidates.
    std::array<int, 3> drops{}; // none, the first word, the second
    for (int drop = 1; drop <= Grammar::dropChoices; ++drop)
        ++drops[drop == Grammar::dropsFirstWord ? 1 : drop == Grammar::dropsSecondWord ? 2 : 0];
    QStringList specials;
    for (int choice = 1; choice <= (rules.specialCharacters ? Grammar::specialCount : 1); ++choice)
        specials.append(rules.specialCharacters ? QString(QChar(Grammar::specialCharacter(choice))) : QString());
    QStringList numbers;
    for (int number = Grammar::lowestNumber; number <= Grammar::highestNumber; ++number)
        numbers.append(QString::number(number));
    const long double draws = (long double)Grammar::arrangementCount * Grammar::dropChoices * specials.size() * numbers.size();
    Chances chances;
    chances.reserve(qsizetype(Grammar::arrangementCount * (n + 1) * (n + 1) * specials.size() * numbers.size()));
    for (int arrangement = 1; arrangement <= Grammar::arrangementCount; ++arrangement)
        for (qsizetype k1 = 0; k1 <= n; ++k1)
            for (qsizetype k2 = 0; k2 <= n; ++k2)
                for (int dropped = 0; dropped < 3; ++dropped)
                    for (const QString &special : std::as_const(specials))
                        for (const QString &number : std::as_const(numbers)) {
                            // By Part: the first word, the second, the number, the special character.
                            const QStringView parts[] = {dropped == 1 ? QStringView() : entries[k1],
                                                         dropped == 2 ? QStringView() : entries[k2], number, special};
                            QString text;
                            for (const Grammar::Part part : Grammar::arrangement(arrangement, rules.specialCharacters))
                                text += parts[int(part)];
                            if (rules.letterCase != PasswordRules::Case::Keep)
                                text = Grammar::forcedCase(text, rules.letterCase);
                            chances[text]
                                += entryChance(k1) * entryChance(k2) * drops[std::size_t(dropped)] / draws;
                        }
    return chances;
}

// What is returned: the first of the candidates before the last that fits, or the last.
Chances returned(Chances candidates, const PasswordRules &rules)
{
    const auto fits = [&](const QString &text) { return text.size() >= rules.minimum && text.size() <= rules.maximum; };
    long double fitting = 0;
    for (const auto &[text, chance] : candidates)
        fitting += fits(text) ? chance : 0;
    const long double none = std::pow(1 - fitting, CandidateGrammar::attemptLimit - 1);
    for (auto &[text, chance] : candidates)
        chance = fitting == 0 ? chance : chance * (fits(text) ? none + (1 - none) / fitting : none);
    return candidates;
}

// The engine's draws, a script played over and over or else real ones, 53 bits each, from a fixed seed; and the
// text box a batch goes to, with a count of each password (short enough to be kept without allocating).
struct Harness final : RandomSource, SuggestionSink
{
    void reseed() override {}
    double next() override { return values.isEmpty() ? double(generator() >> 11) * 0x1.0p-53 : values[drawn++ % values.size()]; }
    void setText(const QString &more) override { text = more; }
    void append(QStringView line) override
    {
        text += line;
        ++counts[std::u16string(line.utf16() + SuggestionEngine::lineBreak.size(), line.utf16() + line.size())];
    }

    QList<double> values;
    qsizetype drawn = 0;
    QString text;
    std::mt19937_64 generator{20261207};
    std::unordered_map<std::u16string, qint64> counts;
};
} // namespace

class TestStrengthModel final : public QObject
{
    Q_OBJECT

    WordPool m_pool;

private slots:
    void figuresAndBits_matchEveryCandidateCounted_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addRow("a word is two others joined") << QStringList{u"blue"_s, u"bell"_s, u"bluebell"_s};
        QTest::addRow("parts split two ways") << QStringList{u"blues"_s, u"core"_s, u"blue"_s, u"score"_s};
        QTest::addRow("case merges words") << QStringList{u"Moon"_s, u"moon"_s, u"MOON"_s};
        QTest::addRow("a word runs into a longer one") << QStringList{u"aaa"_s, u"a"_s};
        QTest::addRow("replaced e runs into the number") << QStringList{u"stag"_s, u"stage"_s, u"st"_s};
        QTest::addRow("digits and special characters") << QStringList{u"a1"_s, u"1b"_s, u"x("_s, u"(y"_s, u"12"_s};
        QTest::addRow("words end together after digits") << QStringList{u"11c"_s, u"1cab"_s, u"a1c"_s, u"cab"_s};
        QTest::addRow("spaces, blank and duplicate") << QStringList{u" cat "_s, u"cat"_s, u"   "_s, u"ca"_s};
        QTest::addRow("beyond ASCII, sharp s as SS") << QStringList{u"straße"_s, u"STRASSE"_s, u"Éa"_s};
        QTest::addRow("each word begins the next") << QStringList{u"a"_s, u"aa"_s, u"aaa"_s, u"aaaa"_s, u"aaaaa"_s, u"Aaa"_s};
        QTest::addRow("no word") << QStringList{};
        QTest::addRow("one word") << QStringList{u"Ab"_s};
        QTest::addRow("two words") << QStringList{u"a"_s, u"b"_s};
        QRandomGenerator random(20261206);
        const QString alphabet = QStringLiteral("aeAEb137(/ ");
        for (int row = 0; row < 6; ++row) {
            QStringList words;
            for (int w = 2 + random.bounded(3); w > 0; --w) {
                QString word;
                for (int c = random.bounded(4); c > 0; --c)
                    word += alphabet[random.bounded(alphabet.size())];
                words.append(word);
            }
            QTest::addRow("random %d", row) << words;
        }
    }

    void figuresAndBits_matchEveryCandidateCounted()
    {
        QFETCH(QStringList, words);
        fill(m_pool, words);
        for (int combination = 0; combination < 12; ++combination) { // letter case, replacement, special characters
            const PasswordRules rules{3, 5, PasswordRules::Case(combination % 3), combination % 6 >= 3, combination >= 6};
            const Chances expected = returned(everyCandidate(m_pool, rules), rules);
            const StrengthModel model(m_pool, rules);
            long double entropy = 0, most = 0;
            std::vector<long double> likeliestFirst;
            for (const auto &[text, chance] : expected) {
                entropy -= chance * std::log2(chance);
                most = std::max(most, chance);
                likeliestFirst.push_back(chance);
                const std::optional<double> bits = model.bits(text);
                QVERIFY2(bits && std::abs(*bits + std::log2(chance)) < 1e-9, qPrintable(text));
            }
            QCOMPARE(model.figures().distinct, double(expected.size()));
            QVERIFY(std::abs(model.figures().entropy - entropy) < 1e-9);
            QVERIFY(std::abs(model.figures().minEntropy + std::log2(most)) < 1e-9);
            // The weak tenth: guessed one by one, likeliest first, until a tenth of the chance is found.
            std::sort(likeliestFirst.begin(), likeliestFirst.end(), std::greater<>());
            long double found = 0;
            double tenth = 0;
            while (found < 0.1L * (1 - 1e-12L))
                found += likeliestFirst[std::size_t(tenth++)];
            QCOMPARE(model.figures().tenthGuesses, tenth);
            QVERIFY(!model.bits(u"0") && !model.bits(u"100") && !model.bits(u"1\u00e9"));
        }
    }

    void oneWordPool_givesFiguresWorkedOutByHand()
    {
        // Entries "" and "Ab", each drawn half the time. Out of 99 numbers, a
        // password is Ab·n·Ab, AbAb·n or n·AbAb (1/20 each), Ab·n or n·Ab (1/4
        // each) or the number alone (7/20): per arrangement, three drop numbers
        // in five keep both words, and arrangement 1 gives Ab·n·Ab 3/20, n·Ab
        // 3/20 + 2/20 (the first word drawn empty or dropped), Ab·n as much, and
        // n 3/20 + 2/20 + 2/20.
        fill(m_pool, {QStringLiteral("Ab")});
        const StrengthModel model(m_pool, {1, 99, PasswordRules::Case::Keep, false, false});
        const double shapes = 3 * std::log2(20.0) / 20 + 1 + 7 * std::log2(20.0 / 7) / 20;
        QVERIFY(std::abs(model.figures().entropy - (std::log2(99.0) + shapes)) < 1e-9);
        QVERIFY(std::abs(model.figures().minEntropy - std::log2(99 * 20.0 / 7)) < 1e-9);
        QCOMPARE(model.figures().distinct, 6 * 99.0);
        QVERIFY(std::abs(model.figures().oneWordShare - 0.85) < 1e-9);
        QVERIFY(std::abs(*model.bits(u"Ab7Ab") - std::log2(99 * 20.0)) < 1e-9);
        QVERIFY(std::abs(*model.bits(u"42Ab") - std::log2(99 * 4.0)) < 1e-9);
    }

    void noCandidateFits_noFloorCanBeSet()
    {
        fill(m_pool, {QStringLiteral("Ab"), QStringLiteral("c")});
        StrengthModel model(m_pool, {9, 8, PasswordRules::Case::Keep, false, false});
        QVERIFY(!model.anyFits() && !model.highestFloor());
        QCOMPARE(model.setFloor(1).kind, FloorOutcome::Kind::TooFewFit);
    }

    void engineUnderFloor_returnsOnlyAcceptedCandidates_orNone()
    {
        Harness harness;
        RecordingNotice notice;
        SuggestionEngine engine(harness, notice);
        QVERIFY(fill(engine, {u"Ab"_s, u"Cd"_s}));
        const PasswordRequest request{.rules = {.minimum = 1}, .count = 2};
        StrengthModel model(engine.pool(), request.rules);
        engine.setStrength(&model);
        const double highest = *model.highestFloor();
        const FloorOutcome beyond = model.setFloor(highest + 0.01);
        QCOMPARE(beyond.kind, FloorOutcome::Kind::Unreachable);
        QCOMPARE(beyond.highest, highest);
        QVERIFY(!model.floor());
        QCOMPARE(model.setFloor(highest).kind, FloorOutcome::Kind::Met);
        // Arrangement, two words, drop number, number: Ab7 (second word
        // dropped), Cd7Ab, and Ab7Ab, twice as likely as Cd7Ab and too likely for
        // the highest floor, which takes the texts of CdCd and AbCd.
        harness.values = {0.1, 0.4, 0.9, 0.7, 0.065, 0.1, 0.9, 0.4, 0.1, 0.065, 0.1, 0.4, 0.4, 0.1, 0.065};
        engine.generate(request, harness);
        QCOMPARE(harness.text, u"Generating Your Suggestions...\r\n\r\nCd7Ab\r\nCd7Ab"_s);
        QCOMPARE(harness.drawn, 25);
        QCOMPARE(model.figures().distinct, 3 * 3 * 99.0);
        QVERIFY(std::abs(*model.bits(u"Cd7Ab") - std::log2(3 * 99 * 2.5)) < 1e-9);
        QVERIFY(!model.bits(u"Ab7") && !model.bits(u"Ab7Ab"));

        harness.values = {0.1, 0.4, 0.9, 0.7, 0.065};
        engine.generate(request, harness);
        QCOMPARE(harness.text, u"Generating Your Suggestions...\r\n"_s);
        QCOMPARE(harness.drawn, 25 + 5 * StrengthModel::candidateLimit);
        QVERIFY(notice.messages.last().startsWith(u"No candidate met the strength floor"_s));
    }

    // A million passwords from the engine, drawn with real random values, against the chances the model gives:
    // Pearson's chi-square over every password expected at least 5 times, the rest pooled in one cell. The pool
    // has words that merge under case and replacement, a duplicate made by trimming, and "e" that replacement
    // makes a digit, which runs into the number; the length limits turn some candidates away.
    void engineOutput_matchesTheModelsDistribution()
    {
        Harness tally;
        RecordingNotice notice;
        SuggestionEngine engine(tally, notice);
        QVERIFY(fill(engine, {u"a"_s, u"ab"_s, u" b "_s, u"b"_s, u"Ab"_s, u"e"_s}));
        const PasswordRules rules{3, 6, PasswordRules::Case::Lower, true, false};
        constexpr int batches = 10;
        for (int batch = 0; batch < batches; ++batch)
            QCOMPARE(engine.generate({rules, PasswordRequest::maxCount, {}}, tally).passwords, PasswordRequest::maxCount);
        const StrengthModel model(engine.pool(), rules);

        const double total = double(batches) * PasswordRequest::maxCount;
        double chiSquare = 0, restExpected = total, restSeen = total;
        int cells = 1;
        for (const auto &[text, seen] : tally.counts) {
            const std::optional<double> bits = model.bits(QStringView(text.data(), qsizetype(text.size())));
            QVERIFY2(bits, qPrintable(QStringView(text.data(), qsizetype(text.size())).toString()));
            const double expected = total * std::exp2(-*bits);
            if (expected < 5)
                continue;
            chiSquare += (seen - expected) * (seen - expected) / expected;
            restExpected -= expected;
            restSeen -= double(seen);
            ++cells;
        }
        chiSquare += (restSeen - restExpected) * (restSeen - restExpected) / restExpected;
        // With df degrees of freedom chi-square has mean df and spread sqrt(2 df): six spreads above is a chance
        // below one in a million.
        const double df = cells - 1;
        QVERIFY2(cells > 1000 && chiSquare < df + 6 * std::sqrt(2 * df),
                 qPrintable(u"chi-square %1 over %2 degrees of freedom"_s.arg(chiSquare).arg(df)));
        qInfo("chi-square %.1f over %.0f degrees of freedom, bound %.1f", chiSquare, df, df + 6 * std::sqrt(2 * df));
    }

    // Each word begins the next, 400 deep: worked out on a thread with a quarter of a megabyte of stack, less than
    // one level of walking per word would need. With too little work allowed, no figures, bits or floor, and every
    // candidate taken.
    void wordsNestedDeeply_workedOutOnASmallStack_orNotBeyondTheLimitOfWork()
    {
        QStringList words;
        for (int length = 1; length <= 400; ++length)
            words.append(QString(length, u'a'));
        fill(m_pool, words);
        const PasswordRules rules{8, 32, PasswordRules::Case::Keep, false, false};
        StrengthFigures figures;
        std::unique_ptr<QThread> thread(QThread::create([&] { figures = StrengthModel(m_pool, rules).figures(); }));
        thread->setStackSize(256 * 1024);
        thread->start();
        QVERIFY(thread->wait());
        QVERIFY(figures.minEntropy > 0 && figures.entropy > figures.minEntropy && figures.entropy < std::log2(figures.distinct));

        StrengthModel model(m_pool, rules, 1000);
        QVERIFY(!model.workedOut() && !model.bits(u"aaaaaaa12") && !model.highestFloor());
        QCOMPARE(model.figures().entropy, 0.0);
        QCOMPARE(model.setFloor(10).kind, FloorOutcome::Kind::NotWorkedOut);
        QVERIFY(!model.floor() && model.accepts(u"aaaaaaa12"));
    }
};

QTEST_GUILESS_MAIN(TestStrengthModel)
#include "tst_strengthmodel.moc"
