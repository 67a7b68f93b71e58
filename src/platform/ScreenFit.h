#pragma once

#include <QSize>

class QWidget;

namespace lexiglow {

// Sizes that follow the fonts and the screen. A window's or a control's size
// as designed is the least it takes; it grows wherever its text needs more
// room, and a window never grows past the free area of its screen.

// A control at least as large as designed and as its content needs, so that
// no layout squeezes it below either.
void setLeastSize(QWidget *control, QSize least);

// Gets a window ready to be shown on the screen it opens on (its owner's, or
// the primary one): at least as large as least and as its layout needs; at
// first as large as its layout asks, or as the user last made it; never
// larger than the screen's free area, and inside it once placed.
void fitOnScreen(QWidget *window, QSize least);

// After a text in the window changed: grows the window where its wrapped
// lines now need more height than it has, as far as the screen allows; a
// window the user has not resized also grows to keep the rest of its
// content at the height it had.
void keepRoomForContent(QWidget *window);

} // namespace lexiglow
