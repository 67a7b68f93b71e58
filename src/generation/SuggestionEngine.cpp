#include "generation/SuggestionEngine.h"

#include "generation/RandomSource.h"
#include "library/ListLibrary.h"
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

QStringView trimSpaces(QStringView word)
{
    while (word.startsWith(u' '))
        word = word.mid(1);
    while (word.endsWith(u' '))
        word.chop(1);
    return word;
}

} // namespace

SuggestionEngine::SuggestionEngine(RandomSource &random, SettingsSource &settings, Notice &notice)
    : m_random(random)
    , m_settings(settings)
    , m_notice(notice)
{
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
                      + failures.join(u'\n'));
    }
}

void SuggestionEngine::generate(SuggestionSink &sink)
{
    sink.setText(heading + lineBreak);
    // The settings cannot change while a batch is made (every window that
    // edits them is modal), so one reading serves the whole batch.
    const GenerationSettings settings = m_settings.currentSettings();
    const std::optional<double> count = settingNumber(settings.passwordCount);
    if (!count) {
        m_notice.tell(notANumber(countName, settings.passwordCount));
        return;
    }
    if (*count >= maxPasswordCount + 1) {
        m_notice.tell(QStringLiteral("%1 can be at most %2.\nChange it in Advanced Settings.")
                          .arg(countName)
                          .arg(maxPasswordCount));
        return;
    }
    const std::optional<Limits> limits = readLimits(settings);
    if (!limits)
        return;
    for (int i = 1; i <= *count; ++i)
        sink.append(lineBreak + getpassword(settings, *limits));
}

std::optional<SuggestionEngine::Limits> SuggestionEngine::readLimits(const GenerationSettings &settings)
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
    return Limits{*minimum, *maximum};
}

QString SuggestionEngine::getpassword()
{
    const GenerationSettings settings = m_settings.currentSettings();
    const std::optional<double> minimum = settingNumber(settings.minimumLength);
    const std::optional<double> maximum = settingNumber(settings.maximumLength);
    if (!minimum || !maximum)
        throw std::invalid_argument("password length limits are not numbers");
    return getpassword(settings, {*minimum, *maximum});
}

QString SuggestionEngine::getpassword(const GenerationSettings &settings, Limits limits)
{
    QString candidate;
    for (int attempt = 2;; ++attempt) {
        const int arrangement = drawUpTo(3);
        QString first = getrandword(settings.letterReplacement);
        QString second = getrandword(settings.letterReplacement);
        const int drop = drawUpTo(5);
        if (drop == 3)
            first.clear();
        else if (drop == 4)
            second.clear();
        const QString special = settings.specialCharacters
            ? QString(QChar(firstSpecialCharacter + drawUpTo(8) - 1))
            : QString();
        const QString number = QString::number(drawUpTo(99));

        switch (arrangement) {
        case 1:
            candidate = first + number + second + special;
            break;
        case 2:
            candidate = first + special + second + number;
            break;
        default:
            // Only with a special character does the second word come first.
            candidate = settings.specialCharacters ? number + second + special + first : number + first + second;
            break;
        }
        if (settings.letterCase == GenerationSettings::lowerCaseOnly)
            candidate = candidate.toLower();
        else if (settings.letterCase == GenerationSettings::upperCaseOnly)
            candidate = candidate.toUpper();

        if (attempt > attemptLimit)
            return candidate;
        const qsizetype length = candidate.size();
        if (length >= limits.minimum && length <= limits.maximum)
            return candidate;
    }
}

QString SuggestionEngine::getrandword()
{
    return getrandword(m_settings.currentSettings().letterReplacement);
}

QString SuggestionEngine::getrandword(bool letterReplacement)
{
    // Rounded, not cut off: the first and last index come up half as often.
    const auto k = qsizetype(std::nearbyint(m_random.next() * double(m_pool.size())));
    QString word = trimSpaces(m_pool.entry(std::clamp<qsizetype>(k, 0, m_pool.size()))).toString();
    if (letterReplacement)
        replaceletters(word);
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
