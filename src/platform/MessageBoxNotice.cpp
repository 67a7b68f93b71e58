#include "platform/MessageBoxNotice.h"

#include <QApplication>
#include <QMessageBox>

namespace lexiglow {

void MessageBoxNotice::tell(const QString &message)
{
    QWidget *owner = QApplication::activeModalWidget();
    if (!owner)
        owner = QApplication::activeWindow();
    QMessageBox box(QMessageBox::NoIcon, caption, message, QMessageBox::Ok, owner);
    box.setObjectName(QStringLiteral("notice"));
    // File names are shown as they are, never taken for markup.
    box.setTextFormat(Qt::PlainText);
    // A message can come in the middle of a long operation; the hourglass
    // must not suggest that the program is busy while it waits for the user.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QApplication::restoreOverrideCursor();
}

} // namespace lexiglow
