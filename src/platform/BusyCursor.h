#pragma once

#include <QApplication>

namespace lexiglow {

// Shows the hourglass while a long operation runs on the user-interface
// thread, and the previous pointer again however the operation ends.
class BusyCursor final
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    Q_DISABLE_COPY_MOVE(BusyCursor)
};

} // namespace lexiglow
