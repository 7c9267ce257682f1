// Where the board's marks sit, in board pixels (cell (c, r) at (40c, 40r)), worked out without a
// painter: the score rising from a found word, kept wholly on the board, and the label of a
// chosen tile's visit numbers.
#pragma once

#include <QPoint>
#include <QRectF>
#include <QSizeF>

namespace marklayout {

// The board's own area: every mark stays inside it.
inline constexpr QRectF kBoardArea(0.0, 0.0, 520.0, 361.0);

// The box a found word's score of the given size fills from progress 0 (just found) to 1 (gone).
// It rises from the word's last tile; from a tile so high that rising would leave the board (the
// top row) it sinks instead, and at the side edges it keeps clear of them.
QRectF risingScoreBox(QPoint lastCell, QSizeF size, qreal progress);

// The label of a chosen tile's visit numbers, for a caption of the given width: along the
// tile's foot under its letter (at most over the lower edge of its highlight), against its right
// edge, as wide as the numbers need (a round badge for one figure).
QRectF visitLabelBox(QPoint cell, qreal captionWidth);

} // namespace marklayout
