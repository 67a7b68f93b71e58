#pragma once

#include "generation/PasswordRequest.h"

#include <QList>
#include <QString>

#include <optional>

namespace lexiglow {

// The six generation settings as the Advanced Settings dialog holds them:
// the three lengths and counts as the text the user typed, the letter case
// as the chosen item's text.
struct GenerationSettings
{
    static inline const QString upperAndLowerCase = QStringLiteral("Upper and Lower Case");
    static inline const QString lowerCaseOnly = QStringLiteral("Lower Case Only");
    static inline const QString upperCaseOnly = QStringLiteral("Upper Case Only");

    QString minimumLength = QStringLiteral("8");
    QString maximumLength = QStringLiteral("32");
    QString passwordCount = QStringLiteral("10");
    QString letterCase = upperAndLowerCase;
    bool letterReplacement = false;
    bool specialCharacters = false;
    // Bits every password must have at least; empty for no floor.
    QString minimumStrength = {};

    friend bool operator==(const GenerationSettings &, const GenerationSettings &) = default;
};

// Where the engine reads the settings in force. In the program that is the
// Advanced Settings dialog, whose first read creates it and restores the
// stored values.
class SettingsSource
{
public:
    virtual ~SettingsSource() = default;
    virtual GenerationSettings currentSettings() = 0;
};

// A setting's text read as a number: optional blanks, an optional sign,
// digits with an optional "." and decimals, optional blanks, nothing else.
std::optional<double> settingNumber(QStringView text);

// A setting whose text a batch cannot use, or that Advanced Settings' Ok
// refuses, and why.
struct SettingProblem
{
    // In the order the dialog shows them.
    enum class Field { Minimum, Maximum, Count, Floor };
    // A batch meets only the first two: it runs with a length or count below
    // 1 (no password fits, or none is made) and a minimum over the maximum
    // (every password is its last candidate).
    enum class Reason { NotANumber, TooLarge, BelowOne, OverMaximum };

    Field field;
    Reason reason;
    QString text; // as the setting holds it

    friend bool operator==(const SettingProblem &, const SettingProblem &) = default;
};

// The setting's name as Advanced Settings shows it: "Minimum Password
// Length", "Maximum Password Length", "Passwords to Generate" or "Minimum
// Strength".
QString settingName(SettingProblem::Field field);

// The settings read into the request of a batch, once, where they enter.
// A setting that cannot be used keeps its initial value in the request and
// gives a problem instead.
struct RequestReading
{
    PasswordRequest request;
    // In the order a batch meets them: count, minimum, maximum, floor.
    QList<SettingProblem> problems;

    const SettingProblem *problemWith(SettingProblem::Field field) const;
    // Whether the length limits were read, so that the rules hold.
    bool rulesRead() const
    {
        return !problemWith(SettingProblem::Field::Minimum) && !problemWith(SettingProblem::Field::Maximum);
    }
};

// The letter case is the chosen item's text compared exactly: any other text
// keeps the words' case. An empty Minimum Strength is no floor. The count
// may be at most PasswordRequest::maxCount.
RequestReading readRequest(const GenerationSettings &settings);

// What Advanced Settings' Ok refuses, in the dialog's order: what
// readRequest finds, and lengths or a count below 1; then a minimum over the
// maximum. A floor out of reach of the lists is the batch's to find.
QList<SettingProblem> checkSettings(const GenerationSettings &settings);
// One problem in a sentence that names the setting, such as "Passwords to
// Generate is not a number: "ten"."
QString problemSentence(const SettingProblem &problem);

} // namespace lexiglow
