#include "about/Logo.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace lexiglow {

namespace {

void paintTile(QPainter &painter, const QRectF &tile)
{
    QLinearGradient fill(tile.topLeft(), tile.bottomRight());
    fill.setColorAt(0.0, QColor(0xff, 0xb3, 0x47));
    fill.setColorAt(1.0, QColor(0xe0, 0x4e, 0x39));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    const qreal radius = tile.width() * 0.22;
    painter.drawRoundedRect(tile, radius, radius);

    // The glow: a soft light in the upper left corner.
    QRadialGradient glow(tile.topLeft() + QPointF(tile.width() * 0.3, tile.height() * 0.25), tile.width() * 0.7);
    glow.setColorAt(0.0, QColor(255, 255, 255, 140));
    glow.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setBrush(glow);
    painter.drawRoundedRect(tile, radius, radius);
}

void paintWordBars(QPainter &painter, const QRectF &tile)
{
    const qreal unit = tile.width() / 10.0;
    painter.setBrush(Qt::white);
    const qreal barHeight = unit * 1.3;
    painter.drawRoundedRect(QRectF(tile.left() + unit * 2, tile.top() + unit * 2.6, unit * 6, barHeight),
                            barHeight / 2, barHeight / 2);
    painter.drawRoundedRect(QRectF(tile.left() + unit * 2, tile.top() + unit * 4.6, unit * 4, barHeight),
                            barHeight / 2, barHeight / 2);

    // A key's shaft and tooth under the words.
    painter.setBrush(QColor(0x5a, 0x1f, 0x14));
    painter.drawEllipse(QPointF(tile.left() + unit * 3, tile.top() + unit * 7.4), unit * 1.1, unit * 1.1);
    painter.drawRect(QRectF(tile.left() + unit * 3.8, tile.top() + unit * 7.0, unit * 4.2, unit * 0.8));
    painter.drawRect(QRectF(tile.left() + unit * 6.6, tile.top() + unit * 7.6, unit * 0.7, unit * 0.9));
}

} // namespace

QPixmap paintLogo(QSize size, qreal devicePixelRatio)
{
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(size.width(), size.height()) * 0.94;
    const QRectF tile((size.width() - side) / 2, (size.height() - side) / 2, side, side);
    paintTile(painter, tile);
    paintWordBars(painter, tile);
    return pixmap;
}

QIcon logoIcon()
{
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(paintLogo(QSize(side, side), 1.0));
    return icon;
}

} // namespace lexiglow
