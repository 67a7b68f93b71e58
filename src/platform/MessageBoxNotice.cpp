#include "platform/MessageBoxNotice.h"

#include <QApplication>
#include <QMessageBox>

namespace lexiglow {

void MessageBoxNotice::tell(const QString &message)
{
    // Over the window the message comes from: the modal one in front, or the
    // active one, or, while the desktop has not made a new window active yet,
    // the one that is shown.
    QWidget *owner = QApplication::activeModalWidget();
    if (!owner)
        owner = QApplication::activeWindow();
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!owner && window->isVisible() && !(window->windowType() == Qt::Popup || window->windowType() == Qt::ToolTip))
            owner = window;
    }
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
