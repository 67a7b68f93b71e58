#pragma once

#include "Console.h"

#include "generation/StrengthModel.h"
#include "generation/SuggestionEngine.h"
#include "settings/GenerationSettings.h"

#include <QStringList>

#include <memory>
#include <optional>

namespace lxg {

// Each command takes its arguments after the command's name and returns the
// exit status; a wrong command line throws UsageError.
int create(const QStringList &args);
int show(const QStringList &args);
int suggest(const QStringList &args);
int strength(const QStringList &args);

// The settings of a command line.
class FixedSettings final : public lexiglow::SettingsSource
{
public:
    explicit FixedSettings(lexiglow::GenerationSettings settings)
        : m_settings(std::move(settings))
    {
    }
    lexiglow::GenerationSettings currentSettings() override { return m_settings; }

private:
    lexiglow::GenerationSettings m_settings;
};

// What suggest and strength share: their options and flags, the settings and
// lists they name, and reading the lists into an engine's pool (false when
// lists were named and none could be read).
QStringList suggestOptions();
QStringList suggestFlags();
lexiglow::GenerationSettings suggestSettings(const Arguments &parsed);
std::optional<QStringList> suggestLists(const Arguments &parsed, ErrorStreamNotice &notice);
bool readLists(lexiglow::SuggestionEngine &engine, ErrorStreamNotice &notice, const Arguments &parsed);
// The model of the pool and settings, with the floor of --min-bits set;
// nothing, after saying the highest floor within reach on standard error,
// when the floor is out of reach.
std::optional<std::unique_ptr<lexiglow::StrengthModel>> strengthModel(const lexiglow::WordPool &pool,
                                                                       const lexiglow::GenerationSettings &settings,
                                                                       const Arguments &parsed);

} // namespace lxg
