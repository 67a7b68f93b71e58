#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace lexiglow {

// The product logo, drawn rather than loaded so that it is sharp at every
// size and needs no image file: a glowing rounded tile with two stacked word
// bars and a key tooth, for "two words make a password".
QPixmap paintLogo(QSize size, qreal devicePixelRatio);

// The logo at the sizes window systems ask for.
QIcon logoIcon();

} // namespace lexiglow
