#pragma once

#include <QString>

class QHBoxLayout;
class QPushButton;
class QWidget;

namespace lexiglow {

// Gives a control the name tests and the accessibility tree know it by.
template<typename Widget>
Widget *named(Widget *widget, const QString &objectName)
{
    widget->setObjectName(objectName);
    return widget;
}

// A window's push button, at least as large as designed (1215 by 375 twips)
// and as its caption needs.
QPushButton *dialogButton(const QString &objectName, const QString &caption, QWidget *parent);

// A dialog's row of "Ok" and "Cancel", flush right and 225 twips apart. Ok is
// the default button: Enter in a field keeps the edits.
QHBoxLayout *okCancelRow(QPushButton *ok, QPushButton *cancel);

} // namespace lexiglow
