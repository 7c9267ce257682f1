// The game's pictures besides the letter tiles, drawn in code at the screen's device pixel
// ratio so they stay sharp at any scale. Sizes are logical pixels; every picture comes back
// with its device pixel ratio set, so it can be drawn at logical coordinates unchanged.
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QRectF>
#include <QSize>

namespace Pictures {

// The board's frame and bitmap; the board shows its top-left 520 x 361.
inline constexpr QSize kBoardBackgroundSize { 523, 363 };
inline constexpr QSize kBonusSize { 16, 16 };
inline constexpr QSize kWandSize { 28, 28 };
inline constexpr QSize kWordButtonSize { 106, 25 };
inline constexpr QSize kStartButtonSize { 120, 30 };
inline constexpr QSize kTeamBallSize { 19, 20 };
inline constexpr QSize kWordSlotSize { 40, 40 };
inline constexpr QSize kPanelTextureSize { 128, 128 };

// Bonus kinds of a board cell.
enum BonusKind { NoBonus = 0, YellowPotion = 1, RedPotion = 2, SpellBook = 3 };

enum class WordButton { Clear, Enter };

// Colours the rest of the window can match; white text reads well on the panels.
QColor boardColour();

// The program's face: a bold-capable sans serif found on each platform, at the
// platform's default size. The window's controls take it as the application's font,
// so that text on pictures and on controls of one size and weight is one font to the
// font system (each distinct font costs a fontconfig match when first drawn).
QFont baseFont();

// The face used on every picture, at a size in pixels.
QFont font(qreal pixelSize, QFont::Weight weight = QFont::Bold);

// The board bitmap. The 41 x 41 piece at (40c, 40r) is the look of empty cell (c, r): a slate
// surface with a sunken well per cell.
QPixmap boardBackground(qreal dpr);

// 1 a yellow potion marked 2x, 2 a red potion marked 3x, 3 a spell book; any other kind gives
// a fully transparent picture.
QPixmap bonusPicture(int kind, qreal dpr);

// A bonus cell's meaning as text: "2×W" and "3×W" for the potions; for the spell book its kind
// this round (a BonusKind) once known, "?" until then.
QString bonusCaption(int kind, int bookKind);

// A cell-sized (41 x 41) marker for a bonus kind: a tag in the tile's top-right corner holding
// the caption, clear of the letter's value in the top-left corner and of the letter itself; any
// other kind gives a fully transparent picture.
inline constexpr QSize kBonusMarkerSize { 41, 41 };
QPixmap bonusMarker(int kind, const QString& caption, qreal dpr);
// The area of the cell the marker's tag covers (with its shadow); empty for any other kind.
QRectF bonusTag(int kind, const QString& caption);

// Marks the last chosen tile; its top-left corner points at the tile's centre.
QPixmap wand(qreal dpr);

// The Clear and Enter pictures above the board, up and held down.
QPixmap wordButton(WordButton which, qreal dpr, bool down = false);

// The start picture of the main window and of the start dialog.
QPixmap startButton(qreal dpr, bool down = false, QSize size = kStartButtonSize);

// Team markers: a ball marked 1 (seats 1 and 3) or 2 (seats 2 and 4); other teams give a
// transparent picture.
QPixmap teamBall(int team, qreal dpr);

// An empty word slot, matching the wells of the board.
QPixmap wordSlot(qreal dpr);

// A seamless texture for window panels and dialogs; use it as a tiled brush.
QPixmap panelTexture(qreal dpr);
// The same surface for one area, with a gentle light from above.
QPixmap panelBackground(QSize size, qreal dpr);

// The program's icon at the usual sizes.

}
