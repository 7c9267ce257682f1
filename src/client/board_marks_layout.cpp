// The board's marks laid out in board pixels.
#include "board_marks_layout.h"

#include <algorithm>

namespace marklayout {

namespace {

    constexpr qreal kPitch = 40.0;
    // The score starts a little off the tile's centre, clear of its letter, and travels on as it fades.
    constexpr qreal kScoreStart = 14.0;
    constexpr qreal kScoreTravel = 26.0;

    // The visit label hangs from the tile's foot, under the letter's ink, over the ring of a chosen
    // tile's face and the gap below it, so its figures can be as large as the value's.
    constexpr qreal kLabelRight = 39.0;
    constexpr qreal kLabelBottom = 40.5;
    constexpr qreal kLabelHeight = 10.0;
    constexpr qreal kLabelPadding = 2.0;

} // namespace

QRectF risingScoreBox(QPoint lastCell, QSizeF size, qreal progress)
{
    const QPointF centre(kPitch * lastCell.x() + kPitch / 2, kPitch * lastCell.y() + kPitch / 2);
    // One way for the whole flight, chosen by where it would end, so the score never turns back.
    const bool rises = centre.y() - kScoreStart - kScoreTravel - size.height() / 2 >= kBoardArea.top();
    const qreal travel = kScoreStart + kScoreTravel * std::clamp(progress, 0.0, 1.0);
    QRectF box(QPointF(), size);
    box.moveCenter(centre + QPointF(0.0, rises ? -travel : travel));
    box.moveLeft(std::max(kBoardArea.left(), std::min(box.left(), kBoardArea.right() - box.width())));
    box.moveTop(std::max(kBoardArea.top(), std::min(box.top(), kBoardArea.bottom() - box.height())));
    return box;
}

QRectF visitLabelBox(QPoint cell, qreal captionWidth)
{
    const qreal width = std::max(kLabelHeight, captionWidth + 2 * kLabelPadding);
    return QRectF(kPitch * cell.x() + kLabelRight - width, kPitch * cell.y() + kLabelBottom - kLabelHeight,
        width, kLabelHeight);
}

} // namespace marklayout
