#pragma once

#include <QString>
#include <QStringList>

namespace lexiglow {

// The failures, one a line, for a message box that has to stay on the
// screen: the first few, each cut short in the middle when it is long, and
// how many more there are.
QString listOfFailures(const QStringList &failures);

} // namespace lexiglow
