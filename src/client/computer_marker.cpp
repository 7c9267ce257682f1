// The computer player's marker, drawn in logical units on a canvas of the
// screen's pixels.
#include "computer_marker.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace Pictures {

QPixmap computerMarker(qreal dpr)
{
    if (dpr <= 0)
        dpr = 1.0;
    QPixmap pixmap(int(std::ceil(kComputerMarkerSize.width() * dpr)),
        int(std::ceil(kComputerMarkerSize.height() * dpr)));
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    const QColor outline(0x0E, 0x1C, 0x3A);
    // The antenna and its light.
    painter.setPen(QPen(outline, 1.2));
    painter.drawLine(QPointF(7, 2.5), QPointF(7, 5));
    painter.setBrush(QColor(0xFF, 0x6A, 0x4A));
    painter.drawEllipse(QPointF(7, 2), 1.6, 1.6);

    // The head, lit from above like the game's tiles.
    const QRectF head(1.0, 5.0, 12.0, 10.0);
    QLinearGradient face(head.topLeft(), head.bottomLeft());
    face.setColorAt(0, QColor(0xE4, 0xEE, 0xFA));
    face.setColorAt(1, QColor(0x9C, 0xB4, 0xD4));
    painter.setBrush(face);
    painter.drawRoundedRect(head, 2.5, 2.5);

    // Eyes that glow, and a straight mouth.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x20, 0xC8, 0xF0));
    painter.drawEllipse(QPointF(4.8, 9.2), 1.5, 1.5);
    painter.drawEllipse(QPointF(9.2, 9.2), 1.5, 1.5);
    painter.setPen(QPen(outline, 1.0));
    painter.drawLine(QPointF(5, 12.5), QPointF(9, 12.5));
    painter.end();
    return pixmap;
}

} // namespace Pictures
