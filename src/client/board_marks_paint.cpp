// Drawing the board's marks: tinted tiles, the line through their centres, numbered badges per
// visit, the answer's flash and rising score, the refused key's edge glow and the review's word.
#include "board_marks.h"

#include "board_palette.h"
#include "pictures.h"

#include <QPainter>
#include <QPainterPath>

#include <array>
#include <cmath>

namespace {

constexpr qreal kPitch = 40.0;
// Tiles are 41 pixels at a 40-pixel pitch; their faces sit one pixel in.
constexpr qreal kFaceInset = 1.5;
constexpr qreal kFaceSide = 37.0;
constexpr qreal kFaceRadius = 5.0;
constexpr qreal kBadgeRadius = 6.5;
// Links between tiles stop this far from each centre, clear of the letter's glyph.
constexpr qreal kLinkGap = 12.0;

QPointF centreOf(QPoint cell) { return QPointF(kPitch * cell.x() + 20.0, kPitch * cell.y() + 20.0); }

QRectF faceOf(QPoint cell)
{
    return QRectF(kPitch * cell.x() + kFaceInset, kPitch * cell.y() + kFaceInset, kFaceSide, kFaceSide);
}

QColor faded(QColor colour, qreal opacity)
{
    colour.setAlphaF(colour.alphaF() * std::clamp(opacity, 0.0, 1.0));
    return colour;
}

// A chosen tile: a light wash over its face and a ring round it in the path's colour, so the
// letter itself stays as readable as on any other tile.
void tint(QPainter& painter, QPoint cell, const QColor& colour, const QColor& ring, QPointF shift = {})
{
    painter.setPen(QPen(ring, 2.5));
    painter.setBrush(colour);
    painter.drawRoundedRect(
        faceOf(cell).adjusted(1.0, 1.0, -1.0, -1.0).translated(shift), kFaceRadius, kFaceRadius);
}

// Links between the tiles in order, each stopping short of the letters it joins, on a dark halo
// so it reads on light tiles and on the dark board alike.
void line(QPainter& painter, const std::vector<QPoint>& cells, std::size_t count, const QColor& colour,
    const QColor& halo, qreal width, QPointF shift = {})
{
    QPainterPath links;
    for (std::size_t i = 1; i < count; ++i) {
        const QPointF from = centreOf(cells[i - 1]) + shift;
        const QPointF to = centreOf(cells[i]) + shift;
        const QPointF step = to - from;
        const qreal length = std::hypot(step.x(), step.y());
        if (length <= 2 * kLinkGap)
            continue;
        const QPointF unit = step / length;
        links.moveTo(from + unit * kLinkGap);
        links.lineTo(to - unit * kLinkGap);
    }
    if (links.isEmpty())
        return;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(halo, width + 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(links);
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(links);
}

// Where a cell's n-th visit shows its badge: the corners away from the letter's value first.
QPointF badgeSpot(QPoint cell, int visit)
{
    static constexpr std::array<QPointF, 6> kSpots { QPointF(33.0, 8.0), QPointF(33.0, 32.0),
        QPointF(8.0, 32.0), QPointF(20.5, 33.0), QPointF(33.0, 20.0), QPointF(8.0, 20.0) };
    const QPointF spot = kSpots[std::size_t(visit) % kSpots.size()];
    return QPointF(kPitch * cell.x(), kPitch * cell.y()) + spot;
}

// A numbered badge for every visit, so a tile that comes back shows both of its numbers.
void badges(QPainter& painter, const std::vector<QPoint>& cells, std::size_t count, const QColor& fill,
    QPointF shift = {})
{
    painter.setFont(Pictures::font(9.0, QFont::Bold));
    for (std::size_t i = 0; i < count; ++i) {
        int earlier = 0;
        for (std::size_t j = 0; j < i; ++j)
            earlier += cells[j] == cells[i] ? 1 : 0;
        const QPointF at = badgeSpot(cells[i], earlier) + shift;
        painter.setPen(QPen(boardpalette::badgeText(), 1.0));
        painter.setBrush(fill);
        painter.drawEllipse(at, kBadgeRadius, kBadgeRadius);
        painter.setPen(boardpalette::badgeText());
        const QRectF box(at.x() - kBadgeRadius, at.y() - kBadgeRadius, 2 * kBadgeRadius, 2 * kBadgeRadius);
        painter.drawText(box, Qt::AlignCenter, QString::number(i + 1));
    }
}

void paintLit(QPainter& painter, const std::vector<QPoint>& cells)
{
    for (const QPoint& cell : cells) {
        painter.setPen(QPen(boardpalette::litOutline(), 2.0));
        painter.setBrush(boardpalette::litTint());
        painter.drawRoundedRect(faceOf(cell).adjusted(0.5, 0.5, -0.5, -0.5), kFaceRadius, kFaceRadius);
    }
}

void paintPending(QPainter& painter, const std::vector<QPoint>& cells)
{
    QPainterPath path(centreOf(cells[0]));
    for (std::size_t i = 1; i < cells.size(); ++i)
        path.lineTo(centreOf(cells[i]));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(boardpalette::pendingLine(), 2.0, Qt::DashLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path);
}

void paintFlash(QPainter& painter, const BoardMarks::Flash& flash)
{
    const bool found = flash.answer == BoardMarks::Answer::Found;
    const int steps = found ? BoardMarks::kFoundSteps : BoardMarks::kRefusedSteps;
    const qreal progress = qreal(flash.step) / steps;
    // Found: full strength, fading over the last half. Refused: a shake that dies down.
    const qreal opacity = found ? std::min(1.0, 2.0 * (1.0 - progress)) : 1.0 - 0.6 * progress;
    const QPointF shift
        = found ? QPointF() : QPointF(5.0 * std::sin(flash.step * 1.9) * (1.0 - progress), 0.0);
    const QColor tintColour = found ? boardpalette::foundTint() : boardpalette::refusedTint();
    const QColor lineColour = found ? boardpalette::foundLine() : boardpalette::refusedLine();
    for (const QPoint& cell : flash.cells)
        tint(painter, cell, faded(tintColour, opacity), faded(lineColour, opacity), shift);
    line(painter, flash.cells, flash.cells.size(), faded(lineColour, opacity),
        faded(boardpalette::pathLineHalo(), opacity), 4.0, shift);
    if (!found || flash.caption.isEmpty())
        return;
    // The score rises from the word's last tile and fades as it goes.
    const QPointF from = centreOf(flash.cells.back()) + QPointF(0.0, -14.0 - 26.0 * progress);
    QPainterPath text;
    text.addText(0, 0, Pictures::font(17.0, QFont::Black), flash.caption);
    text.translate(from - text.boundingRect().center());
    painter.setPen(QPen(
        faded(boardpalette::risingScoreOutline(), opacity), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(text);
    painter.setPen(Qt::NoPen);
    painter.setBrush(faded(boardpalette::risingScore(), opacity));
    painter.drawPath(text);
}

void paintKeyCue(QPainter& painter, int cue)
{
    const qreal opacity = qreal(cue) / BoardMarks::kKeyCueSteps;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(faded(boardpalette::refusedKeyGlow(), opacity), 4.0));
    painter.drawRoundedRect(QRectF(2.0, 2.0, 13 * kPitch - 4.0, 9 * kPitch - 3.0), 6.0, 6.0);
}

} // namespace

void paintBoardMarks(QPainter& painter, const BoardMarks& marks)
{
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);

    paintLit(painter, marks.lit());
    for (const std::vector<QPoint>& sent : marks.pending())
        paintPending(painter, sent);

    const std::vector<QPoint>& path = marks.path();
    for (const QPoint& cell : path)
        tint(painter, cell, boardpalette::pathTint(), boardpalette::pathLine());
    line(painter, path, path.size(), boardpalette::pathLine(), boardpalette::pathLineHalo(), 4.0);
    badges(painter, path, path.size(), boardpalette::badgeFill());

    const std::vector<QPoint>& review = marks.review();
    const std::size_t shown = std::min(review.size(), std::size_t(marks.reviewShown()));
    for (std::size_t i = 0; i < shown; ++i)
        tint(painter, review[i], boardpalette::reviewTint(), boardpalette::reviewLine());
    line(painter, review, shown, boardpalette::reviewLine(), boardpalette::pathLineHalo(), 4.0);
    badges(painter, review, shown, boardpalette::reviewBadgeFill());

    for (const BoardMarks::Flash& flash : marks.flashes())
        paintFlash(painter, flash);
    if (marks.keyCue() > 0)
        paintKeyCue(painter, marks.keyCue());
    painter.restore();
}
