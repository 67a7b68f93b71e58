#include "platform/Readable.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

#include <cmath>

namespace lexiglow::readable {

namespace {

double linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

// In whole steps of 1/255, as the screen shows it.
QColor mixed(const QColor &from, const QColor &to, double share)
{
    const auto channel = [share](int a, int b) { return int(std::lround(a + (b - a) * share)); };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()), channel(from.blue(), to.blue()));
}

} // namespace

double luminance(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

double contrast(const QColor &one, const QColor &other)
{
    const double a = luminance(one);
    const double b = luminance(other);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor tintedBase(const QPalette &palette, const QColor &tint, double share)
{
    const QColor base = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::Text);
    // Steps of a twentieth: the tint fades until the text reads well on it.
    for (int step = int(std::lround(share * 20)); step > 0; --step) {
        const QColor candidate = mixed(base, tint, step / 20.0);
        if (contrast(candidate, text) >= minimumContrast)
            return candidate;
    }
    return base;
}

QColor textOn(const QColor &background, const QColor &preferred)
{
    if (contrast(background, preferred) >= minimumContrast)
        return preferred;
    return contrast(background, Qt::black) >= contrast(background, Qt::white) ? QColor(Qt::black) : QColor(Qt::white);
}

void setBackdrop(QWidget *widget, const QColor &background, const QColor &text)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    // Labels draw in WindowText, group box captions in Text or WindowText
    // depending on the style.
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setPageBackdrop(QWidget *widget)
{
    // From the application's palette, not the widget's: the widget's own
    // already holds the backdrop set before a change of theme.
    const QPalette theme = QApplication::palette(widget);
    setBackdrop(widget, theme.color(QPalette::Base), theme.color(QPalette::Text));
}

} // namespace lexiglow::readable
