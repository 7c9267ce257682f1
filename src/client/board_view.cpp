// Drawing, scaling, mouse and key reporting of the board.
#include "board_view.h"

#include "pictures.h"
#include "tile_images.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace {

// Pictures for a scaled board are drawn at the next quarter step of pixel ratio, so resizing a
// window by hand does not draw them anew for every pixel it grows.
constexpr qreal kRatioStep = 0.25;

} // namespace

BoardView::BoardView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("board"));
    setMinimumSize(kWidth, kHeight);
    resize(kWidth, kHeight);
    // Every pixel is painted from the board bitmap, so nothing behind needs drawing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A click gives the board the keyboard, so typed letters build a word.
    setFocusPolicy(Qt::ClickFocus);
    builtInTiles = std::make_unique<TileImages>(devicePixelRatioF());
    animation.setInterval(BoardMarks::kStepMs);
    connect(&animation, &QTimer::timeout, this, &BoardView::animationTick);
}

BoardView::~BoardView() = default;

void BoardView::setTileImages(const TileImages* tileSet)
{
    images = tileSet;
    update();
}

const TileImages* BoardView::tileImages() const
{
    return images && !images->isClassic() ? images : builtInTiles.get();
}

qreal BoardView::scale() const
{
    return std::max(1.0, std::min(qreal(width()) / kWidth, qreal(height()) / kHeight));
}

QPoint BoardView::boardPixelAt(QPointF at) const
{
    const qreal s = scale();
    return QPoint(int(std::floor(at.x() / s)), int(std::floor(at.y() / s)));
}

QRect BoardView::widgetRect(const QRect& area) const
{
    const qreal s = scale();
    if (s == 1.0)
        return area;
    const int left = int(std::floor(area.left() * s));
    const int top = int(std::floor(area.top() * s));
    const int right = int(std::ceil((area.right() + 1) * s));
    const int bottom = int(std::ceil((area.bottom() + 1) * s));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

void BoardView::setTile(int c, int r, int code)
{
    if (!onBoard(c, r) || tiles[c][r] == code)
        return;
    tiles[c][r] = code;
    update(widgetRect(cellRect(c, r)));
}

int BoardView::tileAt(int c, int r) const { return onBoard(c, r) ? tiles[c][r] : 0; }

void BoardView::setBonus(int c, int r, int kind)
{
    if (!onBoard(c, r) || bonus[c][r] == kind)
        return;
    bonus[c][r] = kind;
    update(widgetRect(cellRect(c, r)));
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

void BoardView::setBonusLabels(bool on)
{
    if (labels == on)
        return;
    labels = on;
    update();
}

void BoardView::setBookKind(int kind)
{
    if (kind < BonusNone || kind > BonusTripleLetter)
        kind = BonusNone;
    if (book == kind)
        return;
    book = kind;
    // Only the book's caption changes.
    bonusMarkers[Pictures::SpellBook] = QPixmap();
    update();
}

void BoardView::preparePictures(qreal ratio)
{
    if (ratio == picturesRatio)
        return;
    picturesRatio = ratio;
    background = Pictures::boardBackground(ratio);
    // The bonus pictures are drawn when a cell first shows one: an empty board has none.
    bonusPictures.fill(QPixmap());
    bonusMarkers.fill(QPixmap());
    builtInTiles = std::make_unique<TileImages>(ratio);
}

void BoardView::drawBonusPicturesAhead()
{
    if (picturesRatio <= 0)
        return;
    for (int kind = 1; kind < int(bonusPictures.size()); ++kind)
        bonusPixmap(kind);
}

const QPixmap& BoardView::bonusPixmap(int kind)
{
    QPixmap& picture = labels ? bonusMarkers[size_t(kind)] : bonusPictures[size_t(kind)];
    if (picture.isNull())
        picture = labels ? Pictures::bonusMarker(kind, Pictures::bonusCaption(kind, book), picturesRatio)
                         : Pictures::bonusPicture(kind, picturesRatio);
    return picture;
}

void BoardView::paintEvent(QPaintEvent* event)
{
    const qreal s = scale();
    const qreal dpr = devicePixelRatioF();
    preparePictures(s == 1.0 ? dpr : std::ceil(dpr * s / kRatioStep) * kRatioStep);

    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // The area beyond the scaled board (a widget not of the board's proportions) stays dark.
    if (QRectF(0, 0, kWidth * s, kHeight * s).toAlignedRect() != rect())
        painter.fillRect(event->rect(), Pictures::boardColour());
    painter.scale(s, s);
    // The part of the board to draw, in board pixels, a pixel wider for the rounding.
    const QRect dirty = s == 1.0 ? event->rect()
                                 : QRectF(event->rect().x() / s, event->rect().y() / s,
                                     event->rect().width() / s, event->rect().height() / s)
                                       .toAlignedRect()
                                       .adjusted(-1, -1, 1, 1)
                                       .intersected(QRect(0, 0, kWidth, kHeight));
    // Transparent parts of a tile (its rounded corners) show the board, not the panel behind.
    const qreal ratio = background.devicePixelRatio();
    painter.drawPixmap(
        dirty, background, QRectF(QPointF(dirty.topLeft()) * ratio, QSizeF(dirty.size()) * ratio).toRect());
    boardPaint(painter, dirty);
    paintBoardMarksUnderBonuses(painter, marks_);
    paintBonuses(painter, dirty);
    paintBoardMarks(painter, marks_);
    if (hasFocus() && typingRing) {
        // A thin ring says typed letters go to the board.
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0x81, 0xD4, 0xFA, 150), 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(0.75, 0.75, kWidth - 1.5, kHeight - 1.5), 4.0, 4.0);
    }
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
        }
    }
}

void BoardView::paintBonuses(QPainter& painter, const QRect& dirty)
{
    for (int c = 0; c < kColumns; ++c)
        for (int r = 0; r < kRows; ++r)
            if (dirty.intersects(cellRect(c, r)))
                drawBonus(painter, c, r, bonus[c][r]);
}

void BoardView::drawBonus(QPainter& painter, int c, int r, int kind)
{
    if (kind <= 0 || kind >= int(bonusPictures.size()))
        return;
    painter.drawPixmap(cellTopLeft(c, r), bonusPixmap(kind));
}

void BoardView::fillspace(QPainter& painter, int c, int r)
{
    const qreal ratio = background.devicePixelRatio();
    const QRect piece = cellRect(c, r);
    painter.drawPixmap(
        piece, background, QRectF(QPointF(piece.topLeft()) * ratio, QSizeF(piece.size()) * ratio).toRect());
}

void BoardView::marksChanged()
{
    if (marks_.animating() && !animation.isActive())
        animation.start();
    update();
}

void BoardView::setPath(std::vector<QPoint> cells)
{
    if (!showMarks)
        cells.clear();
    if (cells == marks_.path())
        return;
    marks_.setPath(std::move(cells));
    update();
}

void BoardView::setLit(std::vector<QPoint> cells)
{
    if (!showMarks)
        cells.clear();
    if (cells == marks_.lit())
        return;
    marks_.setLit(std::move(cells));
    update();
}

void BoardView::holdSent(std::vector<QPoint> cells)
{
    if (!showMarks)
        return;
    marks_.holdSent(std::move(cells));
    update();
}

void BoardView::answerSent(BoardMarks::Answer answer, const QString& caption)
{
    if (showMarks && marks_.answer(answer, caption))
        marksChanged();
}

void BoardView::refuseKey()
{
    if (!showMarks)
        return;
    marks_.refuseKey();
    marksChanged();
}

void BoardView::showReview(std::vector<QPoint> cells)
{
    marks_.showReview(std::move(cells));
    marksChanged();
}

void BoardView::clearReview()
{
    marks_.clearReview();
    update();
}

void BoardView::clearMarks()
{
    marks_.clearRound();
    marks_.clearReview();
    animation.stop();
    update();
}

void BoardView::setMarksShown(bool on)
{
    if (showMarks == on)
        return;
    showMarks = on;
    // The review's word still shows: it is what the review is for.
    if (!on)
        marks_.clearRound();
    if (!marks_.animating())
        animation.stop();
    update();
}

void BoardView::setTypingRing(bool on)
{
    typingRing = on;
    update();
}

void BoardView::animationTick()
{
    if (!marks_.tick())
        animation.stop();
    update();
}

bool BoardView::event(QEvent* event)
{
    // Tab cycles through the chains of a typed word instead of moving the focus on; with no
    // word in progress it leaves the board, so the chat and the buttons stay in reach.
    if (event->type() == QEvent::KeyPress && tabCyclesChains) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QWidget::event(event);
}

void BoardView::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    emit pressed(event->button(), boardPixelAt(event->position()));
}

void BoardView::mouseMoveEvent(QMouseEvent* event) { emit moved(boardPixelAt(event->position())); }

void BoardView::mouseReleaseEvent(QMouseEvent* event)
{
    emit released(event->button(), boardPixelAt(event->position()));
}

void BoardView::keyPressEvent(QKeyEvent* event)
{
    // Shortcuts with Ctrl or Alt belong to the menus.
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        QWidget::keyPressEvent(event);
        return;
    }
    emit keyTyped(event->key(), event->text());
    event->accept();
}

void BoardView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void BoardView::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}
