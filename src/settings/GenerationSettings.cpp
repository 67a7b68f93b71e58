#include "settings/GenerationSettings.h"

#include <algorithm>

namespace lexiglow {

std::optional<double> settingNumber(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    qsizetype pos = 0;
    const auto isDigit = [&](qsizetype i) { return i < trimmed.size() && trimmed[i].isDigit() && trimmed[i].unicode() < 128; };

    if (pos < trimmed.size() && (trimmed[pos] == u'+' || trimmed[pos] == u'-'))
        ++pos;
    qsizetype digits = 0;
    for (; isDigit(pos); ++pos)
        ++digits;
    if (pos < trimmed.size() && trimmed[pos] == u'.') {
        ++pos;
        for (; isDigit(pos); ++pos)
            ++digits;
    }
    if (digits == 0 || pos != trimmed.size())
        return std::nullopt;
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

QString settingName(SettingProblem::Field field)
{
    switch (field) {
    case SettingProblem::Field::Minimum:
        return QStringLiteral("Minimum Password Length");
    case SettingProblem::Field::Maximum:
        return QStringLiteral("Maximum Password Length");
    case SettingProblem::Field::Count:
        return QStringLiteral("Passwords to Generate");
    case SettingProblem::Field::Floor:
        break;
    }
    return QStringLiteral("Minimum Strength");
}

const SettingProblem *RequestReading::problemWith(SettingProblem::Field field) const
{
    for (const SettingProblem &problem : problems) {
        if (problem.field == field)
            return &problem;
    }
    return nullptr;
}

RequestReading readRequest(const GenerationSettings &settings)
{
    using Field = SettingProblem::Field;
    using Reason = SettingProblem::Reason;
    RequestReading reading;
    PasswordRequest &request = reading.request;
    const auto number = [&reading](Field field, const QString &text) {
        const std::optional<double> value = settingNumber(text);
        if (!value)
            reading.problems.append({field, Reason::NotANumber, text});
        return value;
    };
    if (const std::optional<double> count = number(Field::Count, settings.passwordCount)) {
        if (const std::optional<int> passwords = PasswordRequest::passwordCount(*count))
            request.count = *passwords;
        else
            reading.problems.append({Field::Count, Reason::TooLarge, settings.passwordCount});
    }
    PasswordRules &rules = request.rules;
    rules.minimum = number(Field::Minimum, settings.minimumLength).value_or(rules.minimum);
    rules.maximum = number(Field::Maximum, settings.maximumLength).value_or(rules.maximum);
    if (settings.letterCase == GenerationSettings::lowerCaseOnly)
        rules.letterCase = PasswordRules::Case::Lower;
    else if (settings.letterCase == GenerationSettings::upperCaseOnly)
        rules.letterCase = PasswordRules::Case::Upper;
    rules.letterReplacement = settings.letterReplacement;
    rules.specialCharacters = settings.specialCharacters;
    if (const QString floor = settings.minimumStrength.trimmed(); !floor.isEmpty())
        request.floor = number(Field::Floor, floor);
    return reading;
}

QList<SettingProblem> checkSettings(const GenerationSettings &settings)
{
    using Field = SettingProblem::Field;
    using Reason = SettingProblem::Reason;
    const RequestReading reading = readRequest(settings);
    QList<SettingProblem> problems = reading.problems;
    const auto belowOne = [&](Field field, const QString &text) {
        if (!reading.problemWith(field) && *settingNumber(text) < 1)
            problems.append({field, Reason::BelowOne, text});
    };
    belowOne(Field::Minimum, settings.minimumLength);
    belowOne(Field::Maximum, settings.maximumLength);
    belowOne(Field::Count, settings.passwordCount);
    const PasswordRules &rules = reading.request.rules;
    if (reading.rulesRead() && rules.minimum > rules.maximum)
        problems.append({Field::Minimum, Reason::OverMaximum, settings.minimumLength});
    // A minimum over the maximum last: a field that is wrong in itself comes first.
    const auto order = [](const SettingProblem &problem) {
        return std::pair(problem.reason == Reason::OverMaximum, problem.field);
    };
    std::stable_sort(problems.begin(), problems.end(),
                     [&order](const SettingProblem &a, const SettingProblem &b) { return order(a) < order(b); });
    return problems;
}

QString problemSentence(const SettingProblem &problem)
{
    const QString name = settingName(problem.field);
    switch (problem.reason) {
    case SettingProblem::Reason::NotANumber:
        break;
    case SettingProblem::Reason::TooLarge:
        return QStringLiteral("%1 can be at most %2.").arg(name).arg(PasswordRequest::maxCount);
    case SettingProblem::Reason::BelowOne:
        return QStringLiteral("%1 must be 1 or more, not %2.").arg(name, problem.text.trimmed());
    case SettingProblem::Reason::OverMaximum:
        return QStringLiteral("%1, %2, is more than the %3.")
            .arg(name, problem.text.trimmed(), settingName(SettingProblem::Field::Maximum));
    }
    return QStringLiteral("%1 is not a number: \"%2\".").arg(name, problem.text);
}

} // namespace lexiglow
