#pragma once

#include <QSize>

class QWidget;

namespace lexiglow {

// Converts the twips in which window layouts are given (1440 to the inch,
// 15 to a pixel at 96 dots per inch) to pixels on the widget's screen.
class Twips final
{
public:
    explicit Twips(const QWidget *widget);

    int x(int twips) const;
    int y(int twips) const;
    QSize size(int width, int height) const { return {x(width), y(height)}; }

    static int toPixels(int twips, int dotsPerInch);

private:
    int m_dpiX;
    int m_dpiY;
};

} // namespace lexiglow
