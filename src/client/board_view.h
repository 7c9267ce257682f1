// The 13 x 9 board: draws the letter tiles, the bonus markers and the marks of word building
// (board_marks.h), scaled to its size, and reports mouse presses, moves and releases in board
// pixels and keys typed while it has the focus. It knows nothing of the game's rules.
#pragma once

#include "board_marks.h"
#include "game_facts.h"

#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QTimer>
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
    // The board's own size; a larger widget draws it scaled, keeping its proportions.
    static constexpr int kWidth = 520;
    static constexpr int kHeight = 361;

    explicit BoardView(QWidget* parent = nullptr);
    ~BoardView() override;

    // The pictures to draw tiles from; not owned. Without a set, or with the built-in set, the
    // board draws its own built-in tiles at the resolution its scale needs.
    void setTileImages(const TileImages* images);
    const TileImages* tileImages() const;

    // Each setter redraws only the cell it changed; cells outside the board are ignored.
    void setTile(int c, int r, int code);
    int tileAt(int c, int r) const;
    // 0 none, 1 yellow potion, 2 red potion, 3 spell book.
    void setBonus(int c, int r, int kind);
    int bonusAt(int c, int r) const;
    void clearAll();

    // Bonus cells carry their meaning as text ("2×W") as well as colour; off, the small
    // pictures of old sit in the cell's corner.
    void setBonusLabels(bool on);
    bool bonusLabels() const { return labels; }
    // The spell book's kind this round (BonusKind), or 0 while it is not known ("?").
    void setBookKind(int kind);
    int bookKind() const { return book; }
    // Draws the bonus cells' pictures for the resolution of the last paint, so that the
    // first board with bonuses costs no more than any other; before any paint, nothing.
    void drawBonusPicturesAhead();

    // Drawn size over the board's own: the widget's size, the smaller of its two ratios.
    qreal scale() const;
    // The board pixel under a point of the widget: floored, so a fractional position on a
    // scaled board stays in its cell.
    QPoint boardPixelAt(QPointF widgetPoint) const;

    // The marks of word building, drawn over the tiles. Changes redraw the board.
    const BoardMarks& marks() const { return marks_; }
    void setPath(std::vector<QPoint> cells);
    void setLit(std::vector<QPoint> cells);
    void holdSent(std::vector<QPoint> cells);
    // The oldest word in flight flashes green (found, its score rising) or shakes red.
    void answerSent(BoardMarks::Answer answer, const QString& caption = {});
    void refuseKey();
    void showReview(std::vector<QPoint> cells);
    void clearReview();
    void clearMarks();
    // Off, the board shows no path, no lit cells and no flashes; a review's word still shows.
    void setMarksShown(bool on);
    bool marksShown() const { return showMarks; }
    // While on, a thin ring round the board says it has the keyboard.
    void setTypingRing(bool on);
    // While a typed word is in progress, Tab and Shift+Tab move through its chains; otherwise
    // they move the keyboard on to the next control, as everywhere else.
    void setTabCyclesChains(bool on) { tabCyclesChains = on; }

    // One step of the animations; the board's timer calls it while anything moves, tests call
    // it directly.
    void animationTick();
    bool animating() const { return marks_.animating(); }
    bool animationTimerActive() const { return animation.isActive(); }

    static QPoint cellTopLeft(int c, int r) { return QPoint(kPitch * c, kPitch * r); }
    // The area a cell's tile covers, one pixel over into the right and lower neighbours.
    static QRect cellRect(int c, int r) { return QRect(cellTopLeft(c, r), QSize(kTileSize, kTileSize)); }
    // The same area in the widget's own pixels at the current scale.
    QRect widgetRect(const QRect& boardArea) const;

    QSize sizeHint() const override { return QSize(kWidth, kHeight); }

signals:
    void pressed(Qt::MouseButton button, QPoint boardPixel);
    void moved(QPoint boardPixel);
    void released(Qt::MouseButton button, QPoint boardPixel);
    // A key typed while the board has the focus (Tab and Backtab while they cycle chains).
    void keyTyped(int key, const QString& text);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    static bool onBoard(int c, int r) { return c >= 0 && c < kColumns && r >= 0 && r < kRows; }
    void preparePictures(qreal ratio);
    // The picture of a bonus cell of a kind (1 to 3) as shown now: with its caption or without.
    const QPixmap& bonusPixmap(int kind);
    void boardPaint(QPainter& painter, const QRect& dirty);
    // The bonus markers, over the washes and links of chosen tiles and under their labels.
    void paintBonuses(QPainter& painter, const QRect& dirty);
    void fillspace(QPainter& painter, int c, int r);
    void drawBonus(QPainter& painter, int c, int r, int kind);
    void marksChanged();

    int tiles[kColumns][kRows] {};
    int bonus[kColumns][kRows] {};
    const TileImages* images = nullptr;
    std::unique_ptr<TileImages> builtInTiles;
    bool labels = true;
    int book = 0;
    bool showMarks = true;
    bool typingRing = true;
    bool tabCyclesChains = false;

    BoardMarks marks_;
    QTimer animation;

    // Pictures drawn for the pixel ratio the screen and the scale need, made again when it
    // changes.
    qreal picturesRatio = 0.0;
    QPixmap background;
    std::array<QPixmap, 4> bonusPictures;
    std::array<QPixmap, 4> bonusMarkers; // yellow, red, and the book with its caption
};
