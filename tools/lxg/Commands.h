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
// lists they name, and reading the lists into an engine's pool (false when
// lists were named and none could be read).
QStringList suggestOptions();
QStringList suggestFlags();
// The options read into a request; throws UsageError for a wrong one.
lexiglow::PasswordRequest suggestRequest(const Arguments &parsed);
std::optional<QStringList> suggestLists(const Arguments &parsed, ErrorStreamNotice &notice);
bool readLists(lexiglow::SuggestionEngine &engine, ErrorStreamNotice &notice, const Arguments &parsed);
// The model of the pool and rules, with the request's floor set; nothing,
// after saying why on standard error, when it could not be worked out or
// the floor is out of reach.
std::optional<std::unique_ptr<lexiglow::StrengthModel>> strengthModel(const lexiglow::WordPool &pool,
                                                                       const lexiglow::PasswordRequest &request);

} // namespace lxg
