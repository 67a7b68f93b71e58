// How suggest and strength read their request: the Advanced Settings saved
// for the program, each overridden by its option, so that lxg and the window
// agree.

#include "Commands.h"
#include "Console.h"

#include "platform/SettingsStore.h"
#include "settings/GenerationSettings.h"
#include "settings/StoredSettings.h"

using namespace lexiglow;

namespace lxg {

namespace {

// Each option's setting, as the window reads it.
struct NumberOption
{
    const char *option;
    SettingProblem::Field field;
    QString GenerationSettings::*text;
};
const NumberOption numberOptions[] = {
    {"min", SettingProblem::Field::Minimum, &GenerationSettings::minimumLength},
    {"max", SettingProblem::Field::Maximum, &GenerationSettings::maximumLength},
    {"count", SettingProblem::Field::Count, &GenerationSettings::passwordCount},
    {"min-bits", SettingProblem::Field::Floor, &GenerationSettings::minimumStrength},
};

// A flag and its opposite, which turn a tick box of the settings on and off.
void applySwitch(const Arguments &parsed, const QString &on, bool &setting)
{
    const bool turnedOn = parsed.options.contains(on);
    const bool turnedOff = parsed.options.contains(QStringLiteral("no-") + on);
    if (turnedOn && turnedOff)
        throw UsageError(QStringLiteral("--%1 and --no-%1 contradict each other").arg(on));
    if (turnedOn || turnedOff)
        setting = turnedOn;
}

// The options given, put over the settings as the dialog would hold them.
void applyOptions(const Arguments &parsed, GenerationSettings &settings)
{
    for (const NumberOption &number : numberOptions) {
        const QString option = QLatin1String(number.option);
        if (parsed.options.contains(option))
            settings.*number.text = parsed.options.value(option);
    }
    // "none" is no floor, as an empty Minimum Strength is.
    if (settings.minimumStrength.trimmed() == u"none" && parsed.options.contains(QStringLiteral("min-bits")))
        settings.minimumStrength.clear();
    if (parsed.options.contains(QStringLiteral("case"))) {
        const QHash<QString, QString> cases{{QStringLiteral("mixed"), GenerationSettings::upperAndLowerCase},
                                            {QStringLiteral("lower"), GenerationSettings::lowerCaseOnly},
                                            {QStringLiteral("upper"), GenerationSettings::upperCaseOnly}};
        const QString letterCase = parsed.options.value(QStringLiteral("case"));
        if (!cases.contains(letterCase))
            throw UsageError(QStringLiteral("--case takes mixed, lower or upper, not '%1'").arg(letterCase));
        settings.letterCase = cases.value(letterCase);
    }
    applySwitch(parsed, QStringLiteral("replace"), settings.letterReplacement);
    applySwitch(parsed, QStringLiteral("special"), settings.specialCharacters);
}

// The option that sets field.
QString optionOf(SettingProblem::Field field)
{
    for (const NumberOption &number : numberOptions) {
        if (number.field == field)
            return QLatin1String(number.option);
    }
    return {};
}

} // namespace

QStringList suggestOptions()
{
    return {QStringLiteral("min"), QStringLiteral("max"), QStringLiteral("count"), QStringLiteral("case"),
            QStringLiteral("min-bits")};
}

QStringList suggestFlags()
{
    return {QStringLiteral("replace"), QStringLiteral("no-replace"), QStringLiteral("special"),
            QStringLiteral("no-special"), QStringLiteral("defaults")};
}

std::optional<PasswordRequest> suggestRequest(const Arguments &parsed)
{
    StoredControls saved;
    QString location;
    if (!parsed.options.contains(QStringLiteral("defaults"))) {
        // Read, never stored: lxg leaves the settings file as it finds it.
        const QSettingsStore store;
        if (!store.problem().isEmpty()) {
            err() << "lxg: " << store.problem() << Qt::endl;
            return std::nullopt;
        }
        storedSettings::restore(store, saved);
        location = store.location();
    }
    GenerationSettings settings = saved.settings;
    applyOptions(parsed, settings);
    const RequestReading reading = readRequest(settings);
    for (const SettingProblem &problem : reading.problems) {
        const QString option = optionOf(problem.field);
        if (parsed.options.contains(option)) {
            if (problem.reason == SettingProblem::Reason::TooLarge)
                throw UsageError(QStringLiteral("--%1 can be at most %2").arg(option).arg(PasswordRequest::maxCount));
            throw UsageError(QStringLiteral("--%1 needs a number, not '%2'").arg(option, problem.text));
        }
        // As the window does: the setting is named, and nothing is made.
        err() << "lxg: the saved " << problemSentence(problem).chopped(1) << " (" << location << "); change it in Advanced Settings, give --" << option << ", or use --defaults"
              << Qt::endl;
        return std::nullopt;
    }
    return reading.request;
}

} // namespace lxg
