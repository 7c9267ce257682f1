// Drawing and mouse reporting of the board.
#include "board_view.h"

#include "pictures.h"
#include "tile_images.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace {

// Floors rather than rounds, so a fractional position on a scaled screen stays in its cell.
QPoint boardPixel(const QMouseEvent* event)
{
    const QPointF at = event->position();
    return QPoint(int(std::floor(at.x())), int(std::floor(at.y())));
}

}

BoardView::BoardView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("board"));
    setFixedSize(kWidth, kHeight);
    // Every pixel is painted from the board bitmap, so nothing behind needs drawing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    builtInTiles = std::make_unique<TileImages>(devicePixelRatioF());
}

BoardView::~BoardView() = default;

void BoardView::setTileImages(const TileImages* tileSet)
{
    images = tileSet;
    update();
}

const TileImages* BoardView::tileImages() const { return images ? images : builtInTiles.get(); }

void BoardView::setTile(int c, int r, int code)
{
    if (!onBoard(c, r) || tiles[c][r] == code)
        return;
    tiles[c][r] = code;
    update(cellRect(c, r));
}

int BoardView::tileAt(int c, int r) const { return onBoard(c, r) ? tiles[c][r] : 0; }

void BoardView::setBonus(int c, int r, int kind)
{
    if (!onBoard(c, r) || bonus[c][r] == kind)
        return;
    bonus[c][r] = kind;
    update(cellRect(c, r));
}

int BoardView::bonusAt(int c, int r) const { return onBoard(c, r) ? bonus[c][r] : 0; }

void BoardView::clearAll()
{
    for (int c = 0; c < kColumns; ++c) {
        for (int r = 0; r < kRows; ++r) {
            tiles[c][r] = 0;
            bonus[c][r] = 0;
        }
    }
    update();
}

void BoardView::preparePictures(qreal dpr)
{
    if (dpr == picturesDpr)
        return;
    picturesDpr = dpr;
    background = Pictures::boardBackground(dpr);
    for (int kind = 1; kind < int(bonusPictures.size()); ++kind)
        bonusPictures[size_t(kind)] = Pictures::bonusPicture(kind, dpr);
    builtInTiles = std::make_unique<TileImages>(dpr);
}

void BoardView::paintEvent(QPaintEvent* event)
{
    const qreal dpr = devicePixelRatioF();
    preparePictures(dpr);

    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // Transparent parts of a tile (its rounded corners) show the board, not the panel behind.
    const QRect dirty = event->rect();
    painter.drawPixmap(
        dirty, background, QRectF(QPointF(dirty.topLeft()) * dpr, QSizeF(dirty.size()) * dpr).toRect());
    boardPaint(painter, dirty);
}

void BoardView::boardPaint(QPainter& painter, const QRect& dirty)
{
    const TileImages* tileSet = tileImages();
    // Column by column, row by row: each tile overlaps the next one's first pixel line, so the
    // order decides which edge shows.
    for (int c = 0; c < kColumns; ++c) {
        for (int r = 0; r < kRows; ++r) {
            if (!dirty.intersects(cellRect(c, r)))
                continue;
            if (tiles[c][r] != 0)
                painter.drawPixmap(cellTopLeft(c, r), tileSet->tile(tiles[c][r]));
            else
                fillspace(painter, c, r);
            const int kind = bonus[c][r];
            if (kind > 0 && kind < int(bonusPictures.size()))
                painter.drawPixmap(cellTopLeft(c, r), bonusPictures[size_t(kind)]);
        }
    }
}

void BoardView::fillspace(QPainter& painter, int c, int r)
{
    const qreal dpr = background.devicePixelRatio();
    const QRect piece = cellRect(c, r);
    painter.drawPixmap(
        piece, background, QRectF(QPointF(piece.topLeft()) * dpr, QSizeF(piece.size()) * dpr).toRect());
}

void BoardView::mousePressEvent(QMouseEvent* event) { emit pressed(event->button(), boardPixel(event)); }

void BoardView::mouseMoveEvent(QMouseEvent* event) { emit moved(boardPixel(event)); }

void BoardView::mouseReleaseEvent(QMouseEvent* event) { emit released(event->button(), boardPixel(event)); }
