// The bonus cells' markers: a tag in the tile's top-right corner with the cell's meaning as text,
// in colours that stay apart in greyscale and for colour-blind eyes.
#include "pictures.h"

#include "board_palette.h"
#include "game_facts.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// The tag sits in the band above the letter, right of the letter's value, with its right edge on
// the face's: every letter's ink starts below it, and a two-figure value ends left of it.
constexpr qreal kTagRight = 38.5;
constexpr qreal kTagLeftmost = 17.5;
constexpr qreal kTagTop = 1.5;
constexpr qreal kTagHeight = 8.2;
constexpr qreal kTagPadding = 1.5;
constexpr qreal kShadowDrop = 0.5;
constexpr qreal kEdge = 0.8;
// A one-character caption ("?") still gets a tag wide enough to catch the eye.
constexpr qreal kTagNarrowest = 13.0;

// The caption's face: narrow figures, at the largest size that fits the tag's room.
QFont captionFont(const QString& caption)
{
    QFont face;
    for (qreal pixels : { 8.0, 7.0 }) {
        face = Pictures::font(pixels, QFont::Bold);
        face.setStretch(QFont::Condensed);
        if (QFontMetricsF(face).horizontalAdvance(caption) + 2 * kTagPadding <= kTagRight - kTagLeftmost)
            break;
    }
    return face;
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

QRectF bonusTag(int kind, const QString& caption)
{
    if (kind != YellowPotion && kind != RedPotion && kind != SpellBook)
        return {};
    const qreal width
        = std::clamp(QFontMetricsF(captionFont(caption)).horizontalAdvance(caption) + 2 * kTagPadding,
            kTagNarrowest, kTagRight - kTagLeftmost);
    // The shadow under the tag counts as the tag.
    return QRectF(kTagRight - width, kTagTop, width, kTagHeight + kShadowDrop);
}

QPixmap bonusMarker(int kind, const QString& caption, qreal dpr)
{
    if (dpr <= 0)
        dpr = 1.0;
    QPixmap pixmap(
        int(std::ceil(kBonusMarkerSize.width() * dpr)), int(std::ceil(kBonusMarkerSize.height() * dpr)));
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    const QRectF area = bonusTag(kind, caption);
    if (area.isEmpty())
        return pixmap;
    const boardpalette::Marker look = kind == YellowPotion ? boardpalette::yellowPotionMarker()
        : kind == RedPotion                                ? boardpalette::redPotionMarker()
                                                           : boardpalette::spellBookMarker();
    QPainter painter(&pixmap);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);

    // A soft shadow lifts the tag off the tile; its edge is drawn inside the tag's area.
    const QRectF tag = area.adjusted(kEdge / 2, kEdge / 2, -kEdge / 2, -kShadowDrop - kEdge / 2);
    const qreal radius = tag.height() / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 80));
    painter.drawRoundedRect(tag.translated(0.0, kShadowDrop), radius, radius);
    painter.setBrush(look.pill);
    painter.setPen(QPen(look.edge, kEdge));
    painter.drawRoundedRect(tag, radius, radius);

    painter.setFont(captionFont(caption));
    painter.setPen(look.text);
    painter.drawText(tag, Qt::AlignCenter, caption);
    painter.end();
    return pixmap;
}

} // namespace Pictures
