// Drawing the board's marks: tinted tiles, the line through their centres, each tile's label of
// visit numbers, the answer's flash and rising score, the refused key's edge glow and the
// review's word.
#include "board_marks.h"

#include "board_marks_layout.h"
#include "board_palette.h"
#include "pictures.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr qreal kPitch = 40.0;
// Tiles are 41 pixels at a 40-pixel pitch; their faces sit one pixel in.
constexpr qreal kFaceInset = 1.5;
constexpr qreal kFaceSide = 37.0;
constexpr qreal kFaceRadius = 5.0;
// The visit numbers' figures.
constexpr qreal kLabelPixels = 9.0;
// Links between tiles stop this far from each centre, clear of the letter's glyph.
constexpr qreal kLinkGap = 12.0;
// The dark outline round the rising score's figures.
constexpr qreal kScoreOutline = 3.0;

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

// One label per chosen tile with every visit's number ("1·5·7"), along the tile's foot under its
// letter, so a tile a word comes back to shows them all at once.
void visitLabels(QPainter& painter, const std::vector<QPoint>& cells, std::size_t count, const QColor& fill)
{
    const QFont font = Pictures::font(kLabelPixels, QFont::Bold);
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    for (const BoardMarks::TileVisits& tile : BoardMarks::tileVisits(cells, count)) {
        const QString caption = BoardMarks::visitCaption(tile.visits);
        const QRectF box = marklayout::visitLabelBox(tile.cell, metrics.horizontalAdvance(caption));
        painter.setPen(QPen(boardpalette::badgeText(), 0.8));
        painter.setBrush(fill);
        painter.drawRoundedRect(box, box.height() / 2, box.height() / 2);
        painter.setPen(boardpalette::badgeText());
        painter.drawText(box, Qt::AlignCenter, caption);
    }
}

// The washes and rings of a word's tiles, each tile once however often the word comes back to it.
void tintTiles(QPainter& painter, const std::vector<QPoint>& cells, std::size_t count, const QColor& colour,
    const QColor& ring, QPointF shift = {})
{
    for (const BoardMarks::TileVisits& tile : BoardMarks::tileVisits(cells, count))
        tint(painter, tile.cell, colour, ring, shift);
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

// A found word glows at full strength and fades over its last half; a refused one shakes and
// dies down.
qreal flashOpacity(const BoardMarks::Flash& flash)
{
    const bool found = flash.answer == BoardMarks::Answer::Found;
    const qreal progress = qreal(flash.step) / (found ? BoardMarks::kFoundSteps : BoardMarks::kRefusedSteps);
    return found ? std::min(1.0, 2.0 * (1.0 - progress)) : 1.0 - 0.6 * progress;
}

QPointF flashShift(const BoardMarks::Flash& flash)
{
    if (flash.answer == BoardMarks::Answer::Found)
        return {};
    const qreal progress = qreal(flash.step) / BoardMarks::kRefusedSteps;
    return QPointF(5.0 * std::sin(flash.step * 1.9) * (1.0 - progress), 0.0);
}

QColor flashLine(const BoardMarks::Flash& flash)
{
    return flash.answer == BoardMarks::Answer::Found ? boardpalette::foundLine()
                                                     : boardpalette::refusedLine();
}

// A flash's washed tiles and links.
void paintFlashTrail(QPainter& painter, const BoardMarks::Flash& flash)
{
    const QColor colour
        = flash.answer == BoardMarks::Answer::Found ? boardpalette::foundTint() : boardpalette::refusedTint();
    const qreal opacity = flashOpacity(flash);
    tintTiles(painter, flash.cells, flash.cells.size(), faded(colour, opacity),
        faded(flashLine(flash), opacity), flashShift(flash));
    line(painter, flash.cells, flash.cells.size(), faded(flashLine(flash), opacity),
        faded(boardpalette::pathLineHalo(), opacity), 4.0, flashShift(flash));
}

void paintRisingScore(QPainter& painter, const BoardMarks::Flash& flash)
{
    const qreal opacity = flashOpacity(flash);
    if (flash.answer != BoardMarks::Answer::Found || flash.caption.isEmpty())
        return;
    // The score rises from the word's last tile (sinks from the top row) and fades as it goes;
    // its box holds the outline too, so none of it leaves the board.
    QPainterPath text;
    text.addText(0, 0, Pictures::font(17.0, QFont::Black), flash.caption);
    const QRectF ink = text.boundingRect();
    const QRectF box = marklayout::risingScoreBox(flash.cells.back(),
        ink.size() + QSizeF(kScoreOutline, kScoreOutline), qreal(flash.step) / BoardMarks::kFoundSteps);
    text.translate(box.center() - ink.center());
    painter.setPen(QPen(faded(boardpalette::risingScoreOutline(), opacity), kScoreOutline, Qt::SolidLine,
        Qt::RoundCap, Qt::RoundJoin));
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

void paintBoardMarksUnderBonuses(QPainter& painter, const BoardMarks& marks)
{
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing);
    paintLit(painter, marks.lit());
    for (const std::vector<QPoint>& sent : marks.pending())
        paintPending(painter, sent);

    const std::vector<QPoint>& path = marks.path();
    tintTiles(painter, path, path.size(), boardpalette::pathTint(), boardpalette::pathLine());
    line(painter, path, path.size(), boardpalette::pathLine(), boardpalette::pathLineHalo(), 4.0);

    const std::vector<QPoint>& review = marks.review();
    const std::size_t shown = std::min(review.size(), std::size_t(marks.reviewShown()));
    tintTiles(painter, review, shown, boardpalette::reviewTint(), boardpalette::reviewLine());
    line(painter, review, shown, boardpalette::reviewLine(), boardpalette::pathLineHalo(), 4.0);

    for (const BoardMarks::Flash& flash : marks.flashes())
        paintFlashTrail(painter, flash);
    painter.restore();
}

void paintBoardMarks(QPainter& painter, const BoardMarks& marks)
{
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const std::vector<QPoint>& path = marks.path();
    visitLabels(painter, path, path.size(), boardpalette::badgeFill());
    const std::vector<QPoint>& review = marks.review();
    visitLabels(painter, review, std::min(review.size(), std::size_t(marks.reviewShown())),
        boardpalette::reviewBadgeFill());
    for (const BoardMarks::Flash& flash : marks.flashes())
        paintRisingScore(painter, flash);
    if (marks.keyCue() > 0)
        paintKeyCue(painter, marks.keyCue());
    painter.restore();
}
