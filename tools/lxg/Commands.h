#pragma once

#include "Console.h"

#include "generation/PasswordRequest.h"
#include "generation/StrengthModel.h"
#include "generation/SuggestionEngine.h"

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

// What suggest and strength share: their options and flags, the request and
// lists they name, and reading the lists into an engine's pool.
QStringList suggestOptions();
QStringList suggestFlags();
// The saved Advanced Settings (the initial ones with --defaults), each
// overridden by its option: throws UsageError for an option that does not
// read; nothing, after saying which on standard error, for a saved setting
// that does not, or a settings file that cannot be read.
std::optional<lexiglow::PasswordRequest> suggestRequest(const Arguments &parsed);
std::optional<QStringList> suggestLists(const Arguments &parsed, ErrorStreamNotice &notice);
// The lists named, or of the library, whose words are now in the engine's
// pool; nothing when lists were named and none could be read.
std::optional<QStringList> readLists(lexiglow::SuggestionEngine &engine, ErrorStreamNotice &notice,
                                     const Arguments &parsed);
// The model of the pool and rules, with the request's floor set; nothing,
// after saying why on standard error, when it could not be worked out or
// the floor is out of reach.
std::optional<std::unique_ptr<lexiglow::StrengthModel>> strengthModel(const lexiglow::WordPool &pool,
                                                                       const lexiglow::PasswordRequest &request);

} // namespace lxg
