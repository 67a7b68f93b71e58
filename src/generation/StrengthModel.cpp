#include "generation/StrengthModel.h"

#include "generation/CandidateGrammar.h"
#include "generation/WordPool.h"
#include "generation/strength/ReadingAutomaton.h"
#include "generation/strength/StateCounter.h"
#include "generation/strength/WordTree.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace lexiglow {

namespace {

using Grammar = CandidateGrammar;
using strength::Weight;

// The pool's words as candidates hold them: trimmed, with letters replaced
// and the case forced as the rules say, equal ones merged with their weights
// added, sorted; the texts sit one after another in one buffer.
struct PoolWords
{
    std::u16string buffer;
    std::vector<strength::WordTree::Word> words;
    Weight empty = 0; // of the entries that give no word
};

// A text in the buffer, and the weight of the entry it comes from.
struct Text
{
    std::size_t from, length;
    Weight weight;
    quint64 start; // the first four characters, to sort by before the rest
};

void appendWord(std::u16string &buffer, QByteArrayView codes, const std::array<char16_t, 256> &characters,
                PasswordRules::Case letterCase)
{
    const std::size_t from = buffer.size();
    bool plain = true;
    for (const char code : codes) {
        const char16_t ch = characters[quint8(code)];
        plain = plain && ch < 0x80;
        buffer.push_back(ch);
    }
    if (plain || letterCase == PasswordRules::Case::Keep) {
        Grammar::forceAsciiCase({buffer.data() + from, buffer.size() - from}, letterCase);
        return;
    }
    const QString text = Grammar::forcedCase(QStringView(buffer.data() + from, qsizetype(buffer.size() - from)), letterCase);
    buffer.resize(from);
    buffer.append(QStringView(text).utf16(), std::size_t(text.size()));
}

PoolWords poolWords(const WordPool &pool, const PasswordRules &rules)
{
    const std::array<char16_t, 256> characters = Grammar::characters(rules.letterReplacement);
    const qsizetype n = pool.size();
    PoolWords result;
    std::u16string &buffer = result.buffer;
    std::vector<Text> texts;
    texts.reserve(std::size_t(n));
    for (qsizetype k = 0; k <= n; ++k) {
        const Weight weight = Grammar::entryWeight(k, n);
        const QByteArrayView codes = Grammar::trimmed(pool.codes(k));
        if (codes.isEmpty()) {
            result.empty += weight;
            continue;
        }
        const std::size_t from = buffer.size();
        appendWord(buffer, codes, characters, rules.letterCase);
        quint64 start = 0;
        for (std::size_t i = 0; i < 4; ++i)
            start = start << 16 | (from + i < buffer.size() ? buffer[from + i] : 0);
        texts.push_back({from, buffer.size() - from, weight, start});
    }
    const auto view = [&buffer](const Text &text) { return std::u16string_view(buffer).substr(text.from, text.length); };
    std::sort(texts.begin(), texts.end(),
              [&](const Text &a, const Text &b) { return a.start != b.start ? a.start < b.start : view(a) < view(b); });
    result.words.reserve(texts.size());
    for (const Text &text : texts) {
        if (!result.words.empty() && result.words.back().first == view(text))
            result.words.back().second += text.weight;
        else
            result.words.emplace_back(view(text), text.weight);
    }
    return result;
}

strength::Distribution distributionOf(const strength::ReadingAutomaton &automaton, long double total,
                                      const PasswordRules &rules, std::size_t workLimit, std::stop_token stop,
                                      bool &workedOut)
{
    std::optional<std::vector<strength::Bin>> bins = strength::StateCounter::count(automaton, workLimit, std::move(stop));
    workedOut = bins.has_value();
    return {bins ? std::move(*bins) : std::vector<strength::Bin>{}, total, rules.minimum, rules.maximum,
            Grammar::attemptLimit};
}

} // namespace

StrengthModel::StrengthModel(const WordPool &pool, const PasswordRules &rules, std::size_t workLimit,
                             std::stop_token stop)
    : m_rules(rules)
    , m_distribution({}, 1, rules.minimum, rules.maximum, Grammar::attemptLimit)
{
    const PoolWords words = poolWords(pool, rules);
    m_tree = std::make_unique<strength::WordTree>(words.words, strength::ReadingAutomaton::startsOtherToken);
    const Grammar::Shapes shapes = Grammar::shapes(rules.specialCharacters, words.empty, Grammar::entryTotal(pool.size()));
    m_automaton = std::make_unique<strength::ReadingAutomaton>(*m_tree, shapes.shapes);
    m_distribution = distributionOf(*m_automaton, shapes.total, rules, workLimit, stop, m_workedOut);
    m_stopped = !m_workedOut && stop.stop_requested();
    updateFigures();
}

StrengthModel::~StrengthModel() = default;

bool StrengthModel::hasWords() const
{
    return m_tree->hasWords();
}

void StrengthModel::updateFigures()
{
    m_figures = m_distribution.figures();
    m_figures.oneWordShare = oneWordShare();
}

double StrengthModel::oneWordShare() const
{
    // Passwords of one word or none: each such candidate counted with the
    // chance that a candidate of its length is returned. Under a floor the
    // rare texts that another candidate makes too are counted as if it did
    // not.
    // The words by length, and of each length, by weight: few weights a length.
    std::vector<std::vector<strength::Bin>> byLength;
    for (quint32 node = 1; node < m_tree->size(); ++node) {
        const strength::WordTree::Node &word = m_tree->node(node);
        if (word.weight == 0)
            continue;
        byLength.resize(std::max<std::size_t>(byLength.size(), word.depth + 1));
        std::vector<strength::Bin> &ofLength = byLength[word.depth];
        const auto same = [&word](const strength::Bin &bin) { return bin.weight == word.weight; };
        if (const auto found = std::find_if(ofLength.begin(), ofLength.end(), same); found != ofLength.end())
            ++found->count;
        else
            ofLength.push_back({word.depth, word.weight, 1});
    }
    std::vector<int> numbersByLength;
    for (int number = Grammar::lowestNumber; number <= Grammar::highestNumber; ++number) {
        const auto digits = std::size_t(QString::number(number).size());
        numbersByLength.resize(std::max(numbersByLength.size(), digits + 1));
        ++numbersByLength[digits];
    }
    const int extra = m_rules.specialCharacters ? 1 : 0;
    const int specials = m_rules.specialCharacters ? Grammar::specialCount : 1;
    long double share = 0;
    for (const strength::Position &shape : m_automaton->start()) {
        const std::string &tokens = m_automaton->tokens(shape.tail);
        const auto wordCount = std::count(tokens.begin(), tokens.end(), 'W');
        if (wordCount > 1)
            continue;
        for (std::size_t digits = 1; digits < numbersByLength.size(); ++digits) {
            const long double texts = (long double)numbersByLength[digits] * specials;
            const auto length = quint32(digits + std::size_t(extra));
            if (wordCount == 0) {
                share += texts * m_distribution.chance(length, shape.weight);
                continue;
            }
            for (const std::vector<strength::Bin> &ofLength : byLength) {
                for (const strength::Bin &word : ofLength)
                    share += texts * word.count * m_distribution.chance(length + word.length, shape.weight * word.weight);
            }
        }
    }
    return double(share);
}

FloorOutcome StrengthModel::setFloor(std::optional<double> bits)
{
    const bool hadFloor = m_floor.has_value();
    m_floor.reset();
    m_distribution.clearFloor();
    FloorOutcome outcome{FloorOutcome::Kind::None, bits.value_or(0), 0};
    if (!bits) {
        outcome.kind = FloorOutcome::Kind::None;
    } else if (!m_workedOut) {
        outcome.kind = FloorOutcome::Kind::NotWorkedOut;
    } else if (m_distribution.setFloor(*bits)) {
        outcome.kind = FloorOutcome::Kind::Met;
        m_floor = bits;
    } else if (const std::optional<double> highest = m_distribution.highestFloor()) {
        outcome = {FloorOutcome::Kind::Unreachable, *bits, *highest};
    } else {
        outcome.kind = FloorOutcome::Kind::TooFewFit;
    }
    if (hadFloor || m_floor)
        updateFigures();
    return outcome;
}

std::optional<double> StrengthModel::bits(QStringView text) const
{
    if (!m_workedOut)
        return std::nullopt;
    const Weight weight = m_automaton->weightOf(text);
    const long double chance = weight == 0 ? 0 : m_distribution.chance(quint32(text.size()), weight);
    if (chance <= 0)
        return std::nullopt;
    return double(-std::log2(chance));
}

bool StrengthModel::accepts(QStringView candidate) const
{
    if (!m_distribution.fits(quint32(candidate.size())))
        return false;
    return !m_distribution.threshold() || m_distribution.accepts(quint32(candidate.size()), m_automaton->weightOf(candidate));
}

double StrengthModel::candidateChance(QStringView text) const
{
    return double(m_distribution.candidateChance(m_automaton->weightOf(text)));
}

QString strengthVerdict(double bits)
{
    if (bits < 40)
        return QStringLiteral("weak");
    if (bits < 60)
        return QStringLiteral("fair");
    if (bits < 80)
        return QStringLiteral("strong");
    return QStringLiteral("very strong");
}

} // namespace lexiglow
