#include "generation/SuggestionEngine.h"

#include "generation/CandidateGrammar.h"
#include "generation/RandomSource.h"
#include "generation/StrengthModel.h"
#include "library/FailureList.h"
#include "library/ListLibrary.h"
#include "platform/Notice.h"
#include "store/wordList.h"

#include <algorithm>
#include <stdexcept>

namespace lexiglow {

namespace {

using Grammar = CandidateGrammar;

} // namespace

SuggestionEngine::SuggestionEngine(RandomSource &random, Notice &notice)
    : m_random(random)
    , m_notice(notice)
    , m_plainCharacters(Grammar::characters(false))
    , m_replacedCharacters(Grammar::characters(true))
    , m_buffer(lineBreak.utf16(), lineBreak.utf16() + lineBreak.size())
{
    for (int number = Grammar::lowestNumber; number <= Grammar::highestNumber; ++number) {
        const QString digits = QString::number(number);
        NumberText &text = m_numberTexts[std::size_t(number - Grammar::lowestNumber)];
        text.length = int(digits.size());
        std::copy_n(digits.utf16(), digits.size(), text.digits.data());
    }
}

void SuggestionEngine::startPool()
{
    m_random.reseed();
    m_pool.clear();
}

ListFileResult appendList(WordPool &pool, const QString &path, Notice &notice)
{
    const qsizetype before = pool.size();
    wordList list(notice);
    ListFileResult result;
    try {
        result = readListFile(list, path, [&pool](QStringView word) { pool.append(word); });
    } catch (const std::length_error &) {
        result = {ListFileResult::Outcome::Failed, path + QStringLiteral(": the words do not fit in memory")};
    }
    if (result.outcome == ListFileResult::Outcome::Failed)
        pool.truncate(before); // a damaged list adds none of its words
    return result;
}

ListFileResult SuggestionEngine::addList(const QString &path)
{
    return appendList(m_pool, path, m_notice);
}

void SuggestionEngine::readTickedLists(const QList<ListRow> &rows, const QStringList &passfiles, Notice &readerNotice,
                                       const std::function<void(qsizetype, const ListFileResult &)> &read)
{
    startPool();
    for (const ListRow &row : rows) {
        if (!row.checked)
            continue;
        const std::optional<qsizetype> entry = ListLibrary::entryNumber(row.key);
        if (!entry || *entry < 1 || *entry >= passfiles.size())
            continue;
        read(*entry, appendList(m_pool, passfiles[*entry], readerNotice));
    }
}

void SuggestionEngine::buildlist(const QList<ListRow> &rows, const QStringList &passfiles)
{
    QStringList failures;
    readTickedLists(rows, passfiles, m_notice, [&failures](qsizetype, const ListFileResult &result) {
        if (result.outcome == ListFileResult::Outcome::Failed)
            failures.append(result.failure);
    });
    if (!failures.isEmpty()) {
        m_notice.tell(QStringLiteral("These word lists could not be read and add no words:\n\n")
                      + listOfFailures(failures));
    }
}

QList<UnreadList> SuggestionEngine::gatherLists(const QList<ListRow> &rows, const QStringList &passfiles)
{
    QuietNotice quiet;
    QList<UnreadList> unread;
    readTickedLists(rows, passfiles, quiet, [&unread, &passfiles](qsizetype entry, const ListFileResult &result) {
        if (result.outcome == ListFileResult::Outcome::NotAListFile)
            unread.append({entry, notAListFailure(passfiles[entry])});
        else if (!result.read())
            unread.append({entry, result.failure});
    });
    return unread;
}

BatchReport SuggestionEngine::generate(const PasswordRequest &request, SuggestionSink &sink, std::stop_token stop)
{
    sink.setText(heading + lineBreak);
    const PasswordRules &rules = request.rules;
    BatchReport report;
    m_floorMissed = false;
    m_stopped = false;
    try {
        for (int i = 1; i <= request.count; ++i) {
            const qsizetype length = stop.stop_requested() ? 0 : makePassword(rules, stop).size();
            if (m_stopped || stop.stop_requested()) {
                report.stopped = true;
                break;
            }
            if (m_floorMissed) {
                m_notice.tell(QStringLiteral("No candidate met the strength floor in %1 tries, so no more "
                                             "passwords were made.").arg(StrengthModel::candidateLimit));
                report.floorMissed = true;
                break;
            }
            if (length < rules.minimum || length > rules.maximum)
                ++report.outsideLimits;
            sink.append(QStringView(m_buffer.data(), m_length));
            ++report.passwords;
        }
    } catch (const RandomSourceError &error) {
        sink.setText(heading + lineBreak);
        m_notice.tell(QString::fromStdString(error.what()));
        return {.randomFailed = true};
    }
    report.noWords = report.passwords > 0 && m_pool.size() == 0;
    return report;
}

QString SuggestionEngine::getpassword(const PasswordRules &rules)
{
    return makePassword(rules).toString();
}

QStringView SuggestionEngine::makePassword(const PasswordRules &rules, const std::stop_token &stop)
{
    if (m_strength && m_strength->floor()) {
        // No untested last candidate: it could be a weak one.
        for (int attempt = 1; attempt <= StrengthModel::candidateLimit; ++attempt) {
            const QStringView candidate = makeCandidate(rules);
            if (m_strength->accepts(candidate))
                return candidate;
            if (attempt % 4096 == 0 && stop.stop_requested()) {
                m_stopped = true;
                return {};
            }
        }
        m_floorMissed = true;
        m_length = lineBreak.size();
        return {};
    }
    for (int attempt = 2;; ++attempt) {
        const QStringView candidate = makeCandidate(rules);
        if (attempt > Grammar::attemptLimit)
            return candidate;
        const qsizetype length = candidate.size();
        if (length >= rules.minimum && length <= rules.maximum)
            return candidate;
    }
}

QStringView SuggestionEngine::makeCandidate(const PasswordRules &rules)
{
    const int arrangement = drawUpTo(Grammar::arrangementCount);
    QByteArrayView first = drawWord();
    QByteArrayView second = drawWord();
    const int drop = drawUpTo(Grammar::dropChoices);
    if (drop == Grammar::dropsFirstWord)
        first = {};
    else if (drop == Grammar::dropsSecondWord)
        second = {};
    const bool special = rules.specialCharacters;
    const char16_t specialCharacter = special ? Grammar::specialCharacter(drawUpTo(Grammar::specialCount)) : u'\0';
    const int number = Grammar::lowestNumber - 1 + drawUpTo(Grammar::numberCount());

    const std::size_t room = std::size_t(lineBreak.size() + first.size() + second.size() + maxNumberDigits + 1);
    if (m_buffer.size() < room)
        m_buffer.resize(room);
    char16_t *const start = m_buffer.data();
    char16_t *out = start + lineBreak.size();
    const std::array<char16_t, 256> &characters = rules.letterReplacement ? m_replacedCharacters : m_plainCharacters;
    const NumberText &numberText = m_numberTexts[std::size_t(number - Grammar::lowestNumber)];
    for (const Grammar::Part part : Grammar::arrangement(arrangement, special)) {
        if (part == Grammar::Part::Number) {
            out = std::copy_n(numberText.digits.data(), numberText.length, out);
        } else if (part == Grammar::Part::Special) {
            *out++ = specialCharacter;
        } else {
            for (const char code : part == Grammar::Part::FirstWord ? first : second)
                *out++ = characters[quint8(code)];
        }
    }
    m_length = out - start;
    forceCase(rules.letterCase);
    return QStringView(m_buffer.data(), m_length).sliced(lineBreak.size());
}

void SuggestionEngine::forceCase(PasswordRules::Case letterCase)
{
    if (letterCase == PasswordRules::Case::Keep)
        return;
    char16_t *const begin = m_buffer.data() + lineBreak.size();
    char16_t *const end = m_buffer.data() + m_length;
    if (std::all_of(begin, end, [](char16_t ch) { return ch < 0x80; })) {
        Grammar::forceAsciiCase({begin, end}, letterCase);
        return;
    }
    const QString forced = Grammar::forcedCase(QStringView(begin, end), letterCase);
    m_buffer.resize(std::max(m_buffer.size(), std::size_t(lineBreak.size() + forced.size())));
    std::copy_n(forced.utf16(), forced.size(), m_buffer.data() + lineBreak.size());
    m_length = lineBreak.size() + forced.size();
}

QByteArrayView SuggestionEngine::drawWord()
{
    return Grammar::trimmed(m_pool.codes(Grammar::entry(m_random.next(), m_pool.size())));
}

char16_t *SuggestionEngine::appendWord(char16_t *out, QByteArrayView codes, bool letterReplacement) const
{
    const std::array<char16_t, 256> &characters = letterReplacement ? m_replacedCharacters : m_plainCharacters;
    for (const char code : codes)
        *out++ = characters[quint8(code)];
    return out;
}

QString SuggestionEngine::getrandword(bool letterReplacement)
{
    const QByteArrayView codes = drawWord();
    QString word(codes.size(), Qt::Uninitialized);
    appendWord(reinterpret_cast<char16_t *>(word.data()), codes, letterReplacement);
    return word;
}

int SuggestionEngine::drawUpTo(int n)
{
    return Grammar::choice(m_random.next(), n);
}

} // namespace lexiglow
