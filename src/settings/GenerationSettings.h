#pragma once

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

} // namespace lexiglow
