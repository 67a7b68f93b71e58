#pragma once

#include <QStringList>

namespace lexiglow {

// The names of the plain, non-hidden files in folder whose names match the
// wildcard pattern (such as "*.lxg"), in ascending order of name, at most
// limit of them. Matching is case-sensitive where file names are.
QStringList listPlainFiles(const QString &folder, const QString &pattern, qsizetype limit);

} // namespace lexiglow
