// The board's colours in one place: the word path, the answer flashes, the status lines, the
// bonus markers and the own-seat mark, with the backgrounds each is read against.
#pragma once

#include <QColor>

#include <algorithm>
#include <cmath>

namespace boardpalette {

// Text must reach this contrast against its background (WCAG AA for normal text).
inline constexpr double kMinimumTextContrast = 4.5;

// The lightest the panel behind the status line gets: its translucent navy over the lightest
// grain of the slate texture.
inline QColor statusBackground() { return QColor(0x12, 0x21, 0x3F); }
// A found word and a refused word in the status line under the board.
inline QColor foundText() { return QColor(0x8C, 0xF5, 0xA6); }
inline QColor refusedText() { return QColor(0xFF, 0x8A, 0x80); }
// Plain status lines (round start, game over).
inline QColor plainText() { return QColor(0xFF, 0xFF, 0xFF); }

// The word being built: each chosen tile tinted, a line through their centres, and a numbered
// badge per visit.
inline QColor pathTint() { return QColor(0xFF, 0xB3, 0x00, 70); }
inline QColor pathLine() { return QColor(0xFF, 0xC4, 0x2E, 235); }
inline QColor pathLineHalo() { return QColor(0x1A, 0x10, 0x00, 150); }
inline QColor badgeFill() { return QColor(0x5A, 0x2E, 0x00); }
inline QColor badgeText() { return QColor(0xFF, 0xFF, 0xFF); }
// Cells lit for typed letters: every cell on some chain that spells what was typed.
inline QColor litTint() { return QColor(0x4F, 0xC3, 0xF7, 80); }
inline QColor litOutline() { return QColor(0x81, 0xD4, 0xFA, 220); }
// A word sent and not yet answered.
inline QColor pendingLine() { return QColor(0xFF, 0xFF, 0xFF, 120); }
// The server's answer: found flashes green, refused shakes red.
inline QColor foundTint() { return QColor(0x2E, 0xCC, 0x71, 120); }
inline QColor foundLine() { return QColor(0x1E, 0xE0, 0x6E, 240); }
inline QColor refusedTint() { return QColor(0xE5, 0x39, 0x35, 120); }
inline QColor refusedLine() { return QColor(0xFF, 0x52, 0x52, 240); }
// The score rising from a found word: dark outline under light text, readable on tiles and board.
inline QColor risingScore() { return QColor(0xE8, 0xFF, 0xEE); }
inline QColor risingScoreOutline() { return QColor(0x0B, 0x3D, 0x1C); }
// A typed letter that makes no chain: the board's edge glows briefly.
inline QColor refusedKeyGlow() { return QColor(0xFF, 0x52, 0x52, 200); }
// A word chosen in the round review.
inline QColor reviewTint() { return QColor(0xB3, 0x88, 0xFF, 80); }
inline QColor reviewLine() { return QColor(0x8E, 0x5C, 0xE6, 240); }
inline QColor reviewBadgeFill() { return QColor(0x3A, 0x10, 0x6E); }

// The bonus markers' captions: each pill's text against the pill itself.
struct Marker {
    QColor pill;
    QColor text;
    QColor edge;
};
inline Marker yellowPotionMarker()
{
    return { QColor(0xFF, 0xE0, 0x4D), QColor(0x2B, 0x1B, 0x00), QColor(0x7A, 0x55, 0x00) };
}
inline Marker redPotionMarker()
{
    return { QColor(0xB7, 0x1C, 0x1C), QColor(0xFF, 0xFF, 0xFF), QColor(0xFF, 0xCD, 0xD2) };
}
// Light, dark and middle pills with dark, light and dark text: apart in greyscale too.
inline Marker spellBookMarker()
{
    return { QColor(0xA4, 0x7F, 0xE0), QColor(0x1A, 0x00, 0x33), QColor(0x3A, 0x10, 0x6E) };
}

// The own seat's name in the roster and on the end-of-round panel: gold on the navy panel, and
// dark brown on the parchment of the end-of-round panel.
inline QColor ownSeatRosterText() { return QColor(0xFF, 0xE2, 0x7A); }
inline QColor ownSeatRosterBackground() { return QColor(0x0A, 0x16, 0x32); }
inline QColor ownSeatScrollText() { return QColor(0x3B, 0x1A, 0x00); }
inline QColor ownSeatScrollBackground() { return QColor(0xF5, 0xD7, 0x7A); }
// The review's list and captions on the review panel.
inline QColor reviewPanelBackground() { return QColor(0xF5, 0xEC, 0xD2); }
inline QColor reviewPanelText() { return QColor(0x2B, 0x1D, 0x05); }
inline QColor reviewPanelNote() { return QColor(0x6B, 0x2A, 0x10); }

// Relative luminance of an opaque colour, as WCAG defines it.
inline double relativeLuminance(const QColor& colour)
{
    const auto linear = [](double channel) {
        return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF())
        + 0.0722 * linear(colour.blueF());
}

// The contrast ratio of two opaque colours, 1 to 21.
inline double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace boardpalette
