#pragma once

#include <QColor>

class QPalette;
class QWidget;

namespace lexiglow::readable {

// Colours worked out from the palette in force, so that text stays readable
// in light, dark and high-contrast themes alike. Readable means a contrast of
// at least 4.5 to 1, the WCAG 2 level AA for text of any size.
inline constexpr double minimumContrast = 4.5;

// WCAG 2 relative luminance of an sRGB colour: 0 for black, 1 for white.
double luminance(const QColor &colour);
// WCAG 2 contrast ratio of two colours: from 1 (alike) to 21 (black and white).
double contrast(const QColor &one, const QColor &other);

// The palette's Base moved towards tint by share (0 to 1), or by less where
// the palette's Text would no longer be readable on it. In a light theme a
// tint of red gives pink, in a dark one a deep red.
QColor tintedBase(const QPalette &palette, const QColor &tint, double share);
// preferred where it is readable on background, otherwise black or white,
// whichever reads better.
QColor textOn(const QColor &background, const QColor &preferred);

// Gives widget, and the labels and group boxes on it, text in the colour
// text on a backdrop of the colour background: the two are always set as a
// pair, never one alone.
void setBackdrop(QWidget *widget, const QColor &background, const QColor &text);
// The backdrop of a page in the theme in force: its Base behind, its Text on
// it (white and black in a light theme).
void setPageBackdrop(QWidget *widget);

} // namespace lexiglow::readable
