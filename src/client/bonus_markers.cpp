// The bonus cells' markers: a pill at the tile's foot with a small potion or book and the
// cell's meaning as text, in colours that stay apart in greyscale and for colour-blind eyes.
#include "pictures.h"

#include "board_palette.h"
#include "game_facts.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

// The pill lies along the tile's foot, under the letter and clear of its value at the top left.
const QRectF kPill(3.5, 30.5, 34.0, 9.0);
constexpr qreal kPillRadius = 3.5;
constexpr qreal kCaptionPixels = 8.0;

void paintFlask(QPainter& painter, QPointF centre, const QColor& colour)
{
    QPainterPath flask;
    flask.addEllipse(centre + QPointF(0.0, 1.2), 2.9, 2.9);
    flask.addRect(QRectF(centre.x() - 1.1, centre.y() - 3.6, 2.2, 2.4));
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(flask.simplified());
}

void paintBook(QPainter& painter, QPointF centre, const QColor& colour)
{
    const QRectF cover(centre.x() - 2.8, centre.y() - 3.6, 5.6, 7.2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(cover, 0.6, 0.6);
    // The pages: a light strip down the book's open edge.
    painter.setBrush(QColor(255, 255, 255, 200));
    painter.drawRect(QRectF(cover.right() - 1.5, cover.top() + 0.8, 1.0, cover.height() - 1.6));
}

} // namespace

namespace Pictures {

QString bonusCaption(int kind, int bookKind)
{
    static const QString kTimes = QString(QChar(0x00D7)); // the multiplication sign
    switch (kind) {
    case YellowPotion:
        return "2" + kTimes + "W";
    case RedPotion:
        return "3" + kTimes + "W";
    case SpellBook:
        switch (bookKind) {
        case BonusYellowPotion:
            return "2" + kTimes + "W";
        case BonusRedPotion:
            return "3" + kTimes + "W";
        case BonusDoubleLetter:
            return "2" + kTimes + "L";
        case BonusTripleLetter:
            return "3" + kTimes + "L";
        default:
            return QStringLiteral("?");
        }
    default:
        return {};
    }
}

QPixmap bonusMarker(int kind, const QString& caption, qreal dpr)
{
    if (dpr <= 0)
        dpr = 1.0;
    QPixmap pixmap(
        int(std::ceil(kBonusMarkerSize.width() * dpr)), int(std::ceil(kBonusMarkerSize.height() * dpr)));
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    if (kind != YellowPotion && kind != RedPotion && kind != SpellBook)
        return pixmap;
    const boardpalette::Marker look = kind == YellowPotion ? boardpalette::yellowPotionMarker()
        : kind == RedPotion                                ? boardpalette::redPotionMarker()
                                                           : boardpalette::spellBookMarker();
    QPainter painter(&pixmap);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);

    // A soft shadow lifts the pill off the tile.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 80));
    painter.drawRoundedRect(kPill.translated(0.0, 0.8), kPillRadius, kPillRadius);
    painter.setBrush(look.pill);
    painter.setPen(QPen(look.edge, kind == SpellBook ? 1.4 : 0.9));
    painter.drawRoundedRect(kPill, kPillRadius, kPillRadius);

    const QPointF icon(kPill.left() + 5.5, kPill.center().y());
    if (kind == SpellBook)
        paintBook(painter, icon, look.text);
    else
        paintFlask(painter, icon, look.text);

    painter.setFont(font(kCaptionPixels, QFont::Bold));
    painter.setPen(look.text);
    painter.drawText(kPill.adjusted(10.0, 0.0, -1.0, 0.0), Qt::AlignCenter, caption);
    painter.end();
    return pixmap;
}

} // namespace Pictures
