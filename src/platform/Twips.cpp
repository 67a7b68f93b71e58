#include "platform/Twips.h"

#include <QWidget>

#include <cmath>

namespace lexiglow {

Twips::Twips(const QWidget *widget)
    : m_dpiX(widget->logicalDpiX())
    , m_dpiY(widget->logicalDpiY())
{
}

int Twips::x(int twips) const
{
    return toPixels(twips, m_dpiX);
}

int Twips::y(int twips) const
{
    return toPixels(twips, m_dpiY);
}

int Twips::toPixels(int twips, int dotsPerInch)
{
    return int(std::lround(double(twips) * dotsPerInch / 1440.0));
}

} // namespace lexiglow
