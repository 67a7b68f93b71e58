#pragma once

#include <QString>

namespace lexiglow {

// The large word list ships with the program but outside its folder, so that
// a first start, which takes every list in the program's folder, leaves it
// out. Given the folder that holds the program's own executable (its real
// location, not a link to it), returns the large list's absolute path: in a
// build tree bin/lists/common.lxg beside bin/lexiglow, installed
// share/lexiglow/lists/common.lxg from lib/lexiglow/lexiglow. Returns an empty
// string when the program's folder is not given or neither place holds the
// list as a plain file.
QString largeListPath(const QString &programFolder);

} // namespace lexiglow
