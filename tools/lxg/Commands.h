#pragma once

#include <QStringList>

namespace lxg {

// Each command takes its arguments after the command's name and returns the
// exit status; a wrong command line throws UsageError.
int create(const QStringList &args);
int show(const QStringList &args);
int suggest(const QStringList &args);

} // namespace lxg
