// The 13 x 9 board: draws the letter tiles and bonus pictures it is given and reports mouse
// presses, moves and releases in board pixels. It knows nothing of the game's rules.
#pragma once

#include "game_facts.h"

#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <array>
#include <memory>

class TileImages;

class BoardView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kColumns = kBoardColumns;
    static constexpr int kRows = kBoardRows;
    static constexpr int kPitch = 40;
    static constexpr int kTileSize = 41;
    static constexpr int kWidth = 520;
    static constexpr int kHeight = 361;

    explicit BoardView(QWidget* parent = nullptr);
    ~BoardView() override;

    // The pictures to draw tiles from; not owned. Without a set the built-in one is used.
    void setTileImages(const TileImages* images);
    const TileImages* tileImages() const;

    // Each setter redraws only the cell it changed; cells outside the board are ignored.
    void setTile(int c, int r, int code);
    int tileAt(int c, int r) const;
    // 0 none, 1 yellow potion, 2 red potion, 3 spell book.
    void setBonus(int c, int r, int kind);
    int bonusAt(int c, int r) const;
    void clearAll();

    static QPoint cellTopLeft(int c, int r) { return QPoint(kPitch * c, kPitch * r); }
    // The area a cell's tile covers, one pixel over into the right and lower neighbours.
    static QRect cellRect(int c, int r) { return QRect(cellTopLeft(c, r), QSize(kTileSize, kTileSize)); }

signals:
    void pressed(Qt::MouseButton button, QPoint boardPixel);
    void moved(QPoint boardPixel);
    void released(Qt::MouseButton button, QPoint boardPixel);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    static bool onBoard(int c, int r) { return c >= 0 && c < kColumns && r >= 0 && r < kRows; }
    void preparePictures(qreal dpr);
    void boardPaint(QPainter& painter, const QRect& dirty);
    void fillspace(QPainter& painter, int c, int r);

    int tiles[kColumns][kRows] {};
    int bonus[kColumns][kRows] {};
    const TileImages* images = nullptr;
    std::unique_ptr<TileImages> builtInTiles;

    // Pictures drawn for the screen's pixel ratio, made again when the ratio changes.
    qreal picturesDpr = 0.0;
    QPixmap background;
    std::array<QPixmap, 4> bonusPictures;
};
