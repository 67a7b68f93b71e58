#include "settings/StoredSettings.h"

#include "platform/SettingsStore.h"

#include <array>

namespace lexiglow::storedSettings {

namespace {

constexpr std::array clearDelays{0, 10, 20, 30, 60, 120, 300};

QString tickText(bool ticked)
{
    return ticked ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

QStringList letterCaseItems()
{
    return {GenerationSettings::upperAndLowerCase, GenerationSettings::lowerCaseOnly,
            GenerationSettings::upperCaseOnly};
}

QStringList clearDelayItems()
{
    QStringList items;
    for (const int seconds : clearDelays)
        items.append(seconds ? QStringLiteral("%1 seconds").arg(seconds) : QStringLiteral("Never"));
    return items;
}

std::chrono::seconds clearDelayFromText(QStringView text)
{
    const qsizetype item = clearDelayItems().indexOf(text);
    if (item < 0)
        return clearDelayFromText(StoredControls::defaultClearDelay);
    return std::chrono::seconds(clearDelays.at(item));
}

QStringList keys()
{
    return {frameKey, letterCaseKey, minimumKey,  maximumKey,   countKey,
            replacementKey, specialKey, strengthKey, clearDelayKey};
}

QString principalText(const StoredControls &controls, const QString &key)
{
    const GenerationSettings &settings = controls.settings;
    if (key == frameKey)
        return controls.frameCaption;
    if (key == letterCaseKey)
        return settings.letterCase;
    if (key == minimumKey)
        return settings.minimumLength;
    if (key == maximumKey)
        return settings.maximumLength;
    if (key == countKey)
        return settings.passwordCount;
    if (key == replacementKey)
        return tickText(settings.letterReplacement);
    if (key == specialKey)
        return tickText(settings.specialCharacters);
    if (key == clearDelayKey)
        return controls.clearDelay;
    if (key == strengthKey)
        return settings.minimumStrength;
    return {};
}

std::optional<bool> tickFromText(QStringView text)
{
    const std::optional<double> value = settingNumber(text);
    if (value == 0.0)
        return false;
    if (value == 1.0)
        return true;
    return std::nullopt;
}

std::optional<QString> letterCaseFromText(QStringView text)
{
    for (const QString &item : letterCaseItems()) {
        if (item == text)
            return item;
    }
    return std::nullopt;
}

void applyText(StoredControls &controls, const QString &key, const QString &text)
{
    GenerationSettings &settings = controls.settings;
    if (key == frameKey) {
        controls.frameCaption = text;
    } else if (key == letterCaseKey) {
        settings.letterCase = letterCaseFromText(text).value_or(settings.letterCase);
    } else if (key == minimumKey) {
        settings.minimumLength = text;
    } else if (key == maximumKey) {
        settings.maximumLength = text;
    } else if (key == countKey) {
        settings.passwordCount = text;
    } else if (key == replacementKey) {
        settings.letterReplacement = tickFromText(text).value_or(settings.letterReplacement);
    } else if (key == specialKey) {
        settings.specialCharacters = tickFromText(text).value_or(settings.specialCharacters);
    } else if (key == clearDelayKey && clearDelayItems().contains(text)) {
        controls.clearDelay = text;
    } else if (key == strengthKey) {
        settings.minimumStrength = text;
    }
}

void restore(const SettingsStore &store, StoredControls &controls)
{
    if (controls.settings.letterCase.isEmpty())
        controls.settings.letterCase = GenerationSettings::upperAndLowerCase;
    for (const QString &key : keys())
        applyText(controls, key, store.value(section, key, principalText(controls, key)));
}

bool store(SettingsStore &store, const StoredControls &controls)
{
    for (const QString &key : keys())
        store.setValue(section, key, principalText(controls, key));
    return store.flush();
}

} // namespace lexiglow::storedSettings
