#include "generation/SuggestionEngine.h"

#include "generation/RandomSource.h"
#include "generation/StrengthModel.h"
#include "library/FailureList.h"
#include "library/ListLibrary.h"
#include "platform/CodePage.h"
#include "platform/Notice.h"
#include "store/ReadListFile.h"
#include "store/wordList.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace lexiglow {

namespace {

constexpr char16_t firstSpecialCharacter = 0x28; // "(" .. "/" follow

const QString minimumName = QStringLiteral("Minimum Password Length");
const QString maximumName = QStringLiteral("Maximum Password Length");
const QString countName = QStringLiteral("Passwords to Generate");

QString notANumber(const QString &setting, const QString &text)
{
    return QStringLiteral("%1 is not a number: \"%2\".\nChange it in Advanced Settings.").arg(setting, text);
}

} // namespace

SuggestionEngine::SuggestionEngine(RandomSource &random, SettingsSource &settings, Notice &notice)
    : m_random(random)
    , m_settings(settings)
    , m_notice(notice)
    , m_buffer(lineBreak.utf16(), lineBreak.utf16() + lineBreak.size())
{
    const CodePage &page = CodePage::system();
    for (int code = 0; code < 256; ++code) {
        m_plainCharacters[code] = page.toChar(quint8(code));
        QString replaced{QChar(m_plainCharacters[code])};
        m_replacedCharacters[code] = replaceletters(replaced).front().unicode();
    }
}

void SuggestionEngine::startPool()
{
    m_random.reseed();
    m_pool.clear();
}

std::optional<QString> SuggestionEngine::addList(const QString &path)
{
    const qsizetype before = m_pool.size();
    wordList list(m_notice);
    std::optional<QString> failure;
    try {
        failure = readListFile(list, path, [this](QStringView word) { m_pool.append(word); });
    } catch (const std::length_error &) {
        failure = path + QStringLiteral(": the words do not fit in memory");
    }
    if (failure)
        m_pool.truncate(before); // a damaged list adds none of its words
    return failure;
}

void SuggestionEngine::buildlist(const QList<ListRow> &rows, const QStringList &passfiles)
{
    startPool();
    QStringList failures;
    for (const ListRow &row : rows) {
        if (!row.checked)
            continue;
        const std::optional<qsizetype> entry = ListLibrary::entryNumber(row.key);
        if (!entry || *entry < 1 || *entry >= passfiles.size())
            continue;
        if (std::optional<QString> failure = addList(passfiles[*entry]))
            failures.append(*failure);
    }
    if (!failures.isEmpty()) {
        m_notice.tell(QStringLiteral("These word lists could not be read and add no words:\n\n")
                      + listOfFailures(failures));
    }
}

BatchReport SuggestionEngine::generate(SuggestionSink &sink)
{
    sink.setText(heading + lineBreak);
    // The settings cannot change while a batch is made (every window that
    // edits them is modal), so one reading serves the whole batch.
    const GenerationSettings settings = m_settings.currentSettings();
    const std::optional<double> count = settingNumber(settings.passwordCount);
    if (!count) {
        m_notice.tell(notANumber(countName, settings.passwordCount));
        return {};
    }
    if (!allowedCount(*count)) {
        m_notice.tell(QStringLiteral("%1 can be at most %2.\nChange it in Advanced Settings.")
                          .arg(countName)
                          .arg(maxPasswordCount));
        return {};
    }
    const std::optional<Rules> rules = readRules(settings);
    if (!rules)
        return {};
    BatchReport report;
    m_floorMissed = false;
    try {
        for (int i = 1; i <= *count; ++i) {
            const qsizetype length = makePassword(*rules).size();
            if (m_floorMissed) {
                m_notice.tell(QStringLiteral("No candidate met the strength floor in %1 tries, so no more "
                                             "passwords were made.").arg(StrengthModel::candidateLimit));
                report.floorMissed = true;
                break;
            }
            if (length < rules->minimum || length > rules->maximum)
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

std::optional<SuggestionEngine::Rules> SuggestionEngine::readRules(const GenerationSettings &settings)
{
    const std::optional<double> minimum = settingNumber(settings.minimumLength);
    if (!minimum) {
        m_notice.tell(notANumber(minimumName, settings.minimumLength));
        return std::nullopt;
    }
    const std::optional<double> maximum = settingNumber(settings.maximumLength);
    if (!maximum) {
        m_notice.tell(notANumber(maximumName, settings.maximumLength));
        return std::nullopt;
    }
    return PasswordRules::from(settings);
}

QString SuggestionEngine::getpassword()
{
    const std::optional<Rules> rules = readRules(m_settings.currentSettings());
    if (!rules)
        throw std::invalid_argument("password length limits are not numbers");
    return makePassword(*rules).toString();
}

QStringView SuggestionEngine::makePassword(const Rules &rules)
{
    if (m_strength && m_strength->floor()) {
        // No untested last candidate: it could be a weak one.
        for (int attempt = 1; attempt <= StrengthModel::candidateLimit; ++attempt) {
            const QStringView candidate = makeCandidate(rules);
            if (m_strength->accepts(candidate))
                return candidate;
        }
        m_floorMissed = true;
        m_length = lineBreak.size();
        return {};
    }
    for (int attempt = 2;; ++attempt) {
        const QStringView candidate = makeCandidate(rules);
        if (attempt > attemptLimit)
            return candidate;
        const qsizetype length = candidate.size();
        if (length >= rules.minimum && length <= rules.maximum)
            return candidate;
    }
}

QStringView SuggestionEngine::makeCandidate(const Rules &rules)
{
    const int arrangement = drawUpTo(3);
    QByteArrayView first = drawWord();
    QByteArrayView second = drawWord();
    const int drop = drawUpTo(5);
    if (drop == 3)
        first = {};
    else if (drop == 4)
        second = {};
    const bool special = rules.specialCharacters;
    const char16_t specialCharacter = special ? char16_t(firstSpecialCharacter + drawUpTo(8) - 1) : u'\0';
    const int number = drawUpTo(99);

    const std::size_t room = std::size_t(lineBreak.size() + first.size() + second.size() + 3);
    if (m_buffer.size() < room)
        m_buffer.resize(room);
    char16_t *const start = m_buffer.data();
    char16_t *out = start + lineBreak.size();
    const auto appendNumber = [&] {
        if (number >= 10)
            *out++ = char16_t(u'0' + number / 10);
        *out++ = char16_t(u'0' + number % 10);
    };
    const auto appendSpecial = [&] {
        if (special)
            *out++ = specialCharacter;
    };
    const bool replace = rules.letterReplacement;
    // Without a special character the third arrangement keeps the words in
    // order; with one, it swaps them around the character.
    switch (arrangement) {
    case 1:
        out = appendWord(out, first, replace);
        appendNumber();
        out = appendWord(out, second, replace);
        appendSpecial();
        break;
    case 2:
        out = appendWord(out, first, replace);
        appendSpecial();
        out = appendWord(out, second, replace);
        appendNumber();
        break;
    default:
        appendNumber();
        out = appendWord(out, special ? second : first, replace);
        appendSpecial();
        out = appendWord(out, special ? first : second, replace);
        break;
    }
    m_length = out - start;
    forceCase(rules.letterCase);
    return QStringView(m_buffer.data(), m_length).sliced(lineBreak.size());
}

void SuggestionEngine::forceCase(Rules::Case letterCase)
{
    if (letterCase == Rules::Case::Keep)
        return;
    const bool lower = letterCase == Rules::Case::Lower;
    char16_t *const begin = m_buffer.data() + lineBreak.size();
    char16_t *const end = m_buffer.data() + m_length;
    if (std::all_of(begin, end, [](char16_t ch) { return ch < 0x80; })) {
        const char16_t from = lower ? u'A' : u'a';
        const int shift = lower ? 'a' - 'A' : 'A' - 'a';
        for (char16_t *ch = begin; ch != end; ++ch) {
            if (*ch >= from && *ch <= from + 25)
                *ch = char16_t(*ch + shift);
        }
        return;
    }
    // Beyond ASCII a letter may change length (upper-case sharp s is "SS").
    const QString candidate = QStringView(begin, end).toString();
    const QString forced = lower ? candidate.toLower() : candidate.toUpper();
    m_buffer.resize(std::max(m_buffer.size(), std::size_t(lineBreak.size() + forced.size())));
    std::copy_n(forced.utf16(), forced.size(), m_buffer.data() + lineBreak.size());
    m_length = lineBreak.size() + forced.size();
}

QByteArrayView SuggestionEngine::drawWord()
{
    // Rounded, not cut off: the first and last index come up half as often.
    const double x = m_random.next() * double(m_pool.size());
    auto k = qsizetype(x);
    if (const double fraction = x - double(k); fraction > 0.5 || (fraction == 0.5 && k % 2 == 1))
        ++k; // to the nearest index, a half to the even one
    QByteArrayView codes = m_pool.codes(std::clamp<qsizetype>(k, 0, m_pool.size()));
    while (codes.startsWith(' '))
        codes = codes.sliced(1);
    while (codes.endsWith(' '))
        codes.chop(1);
    return codes;
}

char16_t *SuggestionEngine::appendWord(char16_t *out, QByteArrayView codes, bool letterReplacement) const
{
    const std::array<char16_t, 256> &characters = letterReplacement ? m_replacedCharacters : m_plainCharacters;
    for (const char code : codes)
        *out++ = characters[quint8(code)];
    return out;
}

QString SuggestionEngine::getrandword()
{
    const bool letterReplacement = m_settings.currentSettings().letterReplacement;
    const QByteArrayView codes = drawWord();
    QString word(codes.size(), Qt::Uninitialized);
    appendWord(reinterpret_cast<char16_t *>(word.data()), codes, letterReplacement);
    return word;
}

QString &SuggestionEngine::replaceletters(QString &str1)
{
    str1.replace(u'a', u'@');
    str1.replace(u'i', u'1');
    str1.replace(u'e', u'3');
    return str1;
}

int SuggestionEngine::drawUpTo(int n)
{
    return std::min(int(m_random.next() * n), n - 1) + 1;
}

} // namespace lexiglow
