// The board widget: what it draws where, which part it repaints, and the mouse events it
// reports; and the pictures it draws with.
#include "board_view.h"
#include "pictures.h"
#include "tile_images.h"

#include <QCoreApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

// A tile set whose letters are solid squares filling the whole 41 x 41 cell, so every pixel
// of a drawn tile is known: 1 red, 2 blue, 3 green, 4 yellow.
class SolidTiles {
public:
    explicit SolidTiles(const std::vector<QColor>& colours)
    {
        QImage strip(TileImages::kSize * TileImages::kCount, TileImages::kSize, QImage::Format_RGB32);
        strip.fill(QColor(255, 0, 255));
        QPainter painter(&strip);
        for (size_t i = 0; i < colours.size(); ++i)
            painter.fillRect(
                QRect(TileImages::kSize * int(i + 1), 0, TileImages::kSize, TileImages::kSize), colours[i]);
        painter.end();
        const QString path = dir.filePath(QStringLiteral("Solid.bmp"));
        loaded = strip.save(path, "BMP") && tiles.loadStrip(path);
    }

    QTemporaryDir dir;
    TileImages tiles;
    bool loaded = false;
};

const std::vector<QColor> kColours { Qt::red, Qt::blue, Qt::green, Qt::yellow };

QImage shot(BoardView& board) { return board.grab().toImage().convertToFormat(QImage::Format_RGB32); }

QImage backgroundImage()
{
    return Pictures::boardBackground(1.0).toImage().convertToFormat(QImage::Format_RGB32);
}

bool sameImages(const QImage& a, const QImage& b, int tolerance)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > tolerance || std::abs(qGreen(p) - qGreen(q)) > tolerance
                || std::abs(qBlue(p) - qBlue(q)) > tolerance)
                return false;
        }
    }
    return true;
}

bool solid(const QImage& image, const QRect& area, const QColor& colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) != colour)
                return false;
    return true;
}

// The opaque pixels' average colour of a picture.
QColor averageColour(const QPixmap& pixmap)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    double red = 0;
    double green = 0;
    double blue = 0;
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAlpha(p) < 255)
                continue;
            red += qRed(p);
            green += qGreen(p);
            blue += qBlue(p);
            ++count;
        }
    }
    if (count == 0)
        return {};
    return QColor(int(red / count), int(green / count), int(blue / count));
}

bool fullyTransparent(const QPixmap& pixmap)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                return false;
    return true;
}

// Records the areas the board is asked to paint.
class PaintRecorder : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            regions.push_back(static_cast<QPaintEvent*>(event)->region());
        return QObject::eventFilter(watched, event);
    }
    std::vector<QRegion> regions;
};

}

TEST(BoardViewLayout, IsTheBoardNamedBoardAtItsOwnSizeAndNoSmaller)
{
    const BoardView board;
    EXPECT_EQ(board.objectName(), QStringLiteral("board"));
    EXPECT_EQ(board.size(), QSize(520, 361));
    EXPECT_EQ(board.minimumSize(), QSize(520, 361));
    EXPECT_EQ(board.scale(), 1.0);
    EXPECT_EQ(BoardView::cellTopLeft(3, 7), QPoint(120, 280));
    EXPECT_EQ(BoardView::cellRect(12, 8), QRect(480, 320, 41, 41));
}

TEST(BoardViewPainting, AnEmptyBoardShowsTheBackgroundEverywhere)
{
    BoardView board;
    const QImage expected = backgroundImage().copy(QRect(0, 0, 520, 361));
    EXPECT_TRUE(sameImages(shot(board), expected, 0));
}

TEST(BoardViewPainting, ATileShowsAtItsCellAndGoesBackToTheBackground)
{
    SolidTiles set(kColours);
    ASSERT_TRUE(set.loaded);
    BoardView board;
    board.setTileImages(&set.tiles);

    board.setTile(3, 2, 1);
    EXPECT_EQ(board.tileAt(3, 2), 1);
    QImage image = shot(board);
    // The empty cells to the right and below draw their background over the tile's last line.
    EXPECT_TRUE(solid(image, QRect(120, 80, 40, 40), Qt::red));
    EXPECT_TRUE(
        sameImages(image.copy(QRect(160, 80, 1, 41)), backgroundImage().copy(QRect(160, 80, 1, 41)), 0));
    // The cells around are untouched.
    EXPECT_TRUE(sameImages(
        image.copy(BoardView::cellRect(5, 2)), backgroundImage().copy(BoardView::cellRect(5, 2)), 0));

    board.setTile(3, 2, 0);
    image = shot(board);
    EXPECT_TRUE(sameImages(
        image.copy(BoardView::cellRect(3, 2)), backgroundImage().copy(BoardView::cellRect(3, 2)), 0));
}

TEST(BoardViewPainting, LaterCellsCoverTheOverlappingPixelLine)
{
    SolidTiles set(kColours);
    ASSERT_TRUE(set.loaded);
    BoardView board;
    board.setTileImages(&set.tiles);
    board.setTile(4, 4, 1);
    board.setTile(5, 4, 2);
    board.setTile(4, 5, 3);

    const QImage image = shot(board);
    // Column 5 starts on column 4's last pixel line, row 5 on row 4's.
    EXPECT_TRUE(solid(image, QRect(160, 160, 40, 40), Qt::red));
    EXPECT_TRUE(solid(image, QRect(200, 160, 40, 40), Qt::blue));
    EXPECT_TRUE(solid(image, QRect(160, 200, 40, 40), Qt::green));
    // An empty cell after a tile draws its background piece over that line too.
    board.setTile(5, 4, 0);
    const QImage after = shot(board);
    EXPECT_TRUE(
        sameImages(after.copy(QRect(200, 160, 1, 40)), backgroundImage().copy(QRect(200, 160, 1, 40)), 0));
}

TEST(BoardViewPainting, BonusPicturesSitAtTheCellCornerOverTheTile)
{
    SolidTiles set(kColours);
    ASSERT_TRUE(set.loaded);
    BoardView board;
    board.setBonusLabels(false); // the small pictures of old
    board.setTileImages(&set.tiles);
    board.setTile(9, 6, 1);
    board.setBonus(9, 6, 2);
    board.setBonus(6, 4, 3);
    EXPECT_EQ(board.bonusAt(9, 6), 2);

    QImage expected(40, 40, QImage::Format_RGB32);
    expected.fill(Qt::red);
    QPainter painter(&expected);
    painter.drawPixmap(0, 0, Pictures::bonusPicture(2, 1.0));
    painter.end();

    QImage image = shot(board);
    EXPECT_TRUE(sameImages(image.copy(QRect(360, 240, 40, 40)), expected, 2));
    EXPECT_FALSE(solid(image, QRect(360, 240, 16, 16), Qt::red));

    // On an empty cell the bonus sits on the background piece.
    QImage book = backgroundImage().copy(BoardView::cellRect(6, 4));
    painter.begin(&book);
    painter.drawPixmap(0, 0, Pictures::bonusPicture(3, 1.0));
    painter.end();
    EXPECT_TRUE(sameImages(image.copy(BoardView::cellRect(6, 4)), book, 2));

    board.setBonus(9, 6, 0);
    image = shot(board);
    EXPECT_TRUE(solid(image, QRect(360, 240, 40, 40), Qt::red));
}

TEST(BoardViewPainting, BonusPicturesDrawnAheadShowAsThoseDrawnWhenFirstShown)
{
    for (bool labels : { true, false }) {
        BoardView ahead;
        BoardView late;
        ahead.drawBonusPicturesAhead(); // before any paint: nothing to draw for yet
        for (BoardView* board : { &ahead, &late })
            board->setBonusLabels(labels);
        shot(ahead);
        ahead.drawBonusPicturesAhead();
        for (BoardView* board : { &ahead, &late }) {
            board->setBonus(1, 1, 1);
            board->setBonus(5, 3, 2);
            board->setBonus(10, 7, 3);
        }
        EXPECT_TRUE(sameImages(shot(ahead), shot(late), 0)) << labels;
        // The book's caption changes with its kind, whichever way its picture came.
        for (BoardView* board : { &ahead, &late })
            board->setBookKind(BonusTripleLetter);
        EXPECT_TRUE(sameImages(shot(ahead), shot(late), 0)) << labels;
    }
}

TEST(BoardViewPainting, ClearAllEmptiesTilesAndBonuses)
{
    SolidTiles set(kColours);
    ASSERT_TRUE(set.loaded);
    BoardView board;
    board.setTileImages(&set.tiles);
    for (int c = 0; c < BoardView::kColumns; ++c)
        for (int r = 0; r < BoardView::kRows; ++r)
            board.setTile(c, r, 1 + (c + r) % 4);
    board.setBonus(0, 0, 2);
    board.setBonus(12, 8, 1);

    board.clearAll();
    EXPECT_EQ(board.tileAt(7, 7), 0);
    EXPECT_EQ(board.bonusAt(0, 0), 0);
    EXPECT_TRUE(sameImages(shot(board), backgroundImage().copy(QRect(0, 0, 520, 361)), 0));
}

TEST(BoardViewPainting, ANewTileSetRedrawsTheTilesAlreadyThere)
{
    SolidTiles first(kColours);
    SolidTiles second({ Qt::yellow });
    ASSERT_TRUE(first.loaded && second.loaded);
    BoardView board;
    board.setBonusLabels(false); // the small corner pictures of old
    board.setTileImages(&first.tiles);
    board.setTile(0, 0, 1);
    board.setTile(12, 8, 1);
    board.setBonus(12, 8, 2);
    EXPECT_TRUE(solid(shot(board), QRect(20, 20, 10, 10), Qt::red));

    board.setTileImages(&second.tiles);
    const QImage image = shot(board);
    EXPECT_TRUE(solid(image, QRect(20, 20, 10, 10), Qt::yellow));
    EXPECT_TRUE(solid(image, QRect(500, 340, 10, 10), Qt::yellow));
    EXPECT_FALSE(solid(image, QRect(480, 320, 16, 16), Qt::yellow));
}

TEST(BoardViewPainting, WithoutATileSetTheBuiltInTilesAreDrawn)
{
    BoardView board;
    board.setTile(2, 2, 5);
    const TileImages builtIn(board.devicePixelRatioF());
    QImage expected = backgroundImage().copy(QRect(80, 80, 40, 40));
    QPainter painter(&expected);
    painter.drawPixmap(0, 0, builtIn.tile(5));
    painter.end();
    // Antialiased edges may differ slightly between the two drawing paths.
    EXPECT_TRUE(sameImages(shot(board).copy(QRect(80, 80, 40, 40)), expected, 40));
}

TEST(BoardViewPainting, CellsOffTheBoardAreIgnored)
{
    BoardView board;
    board.setTile(13, 0, 1);
    board.setTile(0, 9, 1);
    board.setTile(-1, 3, 1);
    board.setBonus(13, 8, 2);
    EXPECT_EQ(board.tileAt(13, 0), 0);
    EXPECT_EQ(board.bonusAt(13, 8), 0);
    EXPECT_TRUE(sameImages(shot(board), backgroundImage().copy(QRect(0, 0, 520, 361)), 0));
}

TEST(BoardViewPainting, AChangeRepaintsOnlyItsCell)
{
    BoardView board;
    board.show();
    // Let the first full paint of the shown window pass before recording.
    QCoreApplication::processEvents();
    PaintRecorder recorder;
    board.installEventFilter(&recorder);

    board.setTile(7, 3, 4);
    QCoreApplication::processEvents();
    ASSERT_EQ(recorder.regions.size(), 1u);
    EXPECT_EQ(recorder.regions[0], QRegion(BoardView::cellRect(7, 3)));

    recorder.regions.clear();
    board.setBonus(2, 6, 1);
    QCoreApplication::processEvents();
    ASSERT_EQ(recorder.regions.size(), 1u);
    EXPECT_EQ(recorder.regions[0], QRegion(BoardView::cellRect(2, 6)));

    // Setting what a cell already holds draws nothing.
    recorder.regions.clear();
    board.setTile(7, 3, 4);
    board.setBonus(2, 6, 1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(recorder.regions.empty());
    board.removeEventFilter(&recorder);
}

TEST(BoardViewMouse, PressMoveAndReleaseArriveInBoardPixels)
{
    BoardView board;
    board.show();
    QSignalSpy pressed(&board, &BoardView::pressed);
    QSignalSpy moved(&board, &BoardView::moved);
    QSignalSpy released(&board, &BoardView::released);

    QTest::mousePress(&board, Qt::LeftButton, {}, QPoint(125, 87));
    ASSERT_EQ(pressed.count(), 1);
    EXPECT_EQ(pressed[0][0].value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_EQ(pressed[0][1].toPoint(), QPoint(125, 87));

    QTest::mouseMove(&board, QPoint(170, 95));
    QTest::mouseMove(&board, QPoint(215, 135));
    ASSERT_EQ(moved.count(), 2);
    EXPECT_EQ(moved[0][0].toPoint(), QPoint(170, 95));
    EXPECT_EQ(moved[1][0].toPoint(), QPoint(215, 135));

    QTest::mouseRelease(&board, Qt::LeftButton, {}, QPoint(215, 135));
    ASSERT_EQ(released.count(), 1);
    EXPECT_EQ(released[0][0].value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_EQ(released[0][1].toPoint(), QPoint(215, 135));
}

TEST(BoardViewMouse, ADragOffTheBoardStillReportsWhereItIs)
{
    BoardView board;
    board.show();
    QSignalSpy moved(&board, &BoardView::moved);
    QSignalSpy released(&board, &BoardView::released);

    QTest::mousePress(&board, Qt::LeftButton, {}, QPoint(500, 340));
    QTest::mouseMove(&board, QPoint(530, 370));
    QTest::mouseRelease(&board, Qt::LeftButton, {}, QPoint(530, 370));
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved[0][0].toPoint(), QPoint(530, 370));
    ASSERT_EQ(released.count(), 1);
    EXPECT_EQ(released[0][1].toPoint(), QPoint(530, 370));
}

TEST(BoardViewMouse, EveryButtonIsReported)
{
    BoardView board;
    board.show();
    QSignalSpy pressed(&board, &BoardView::pressed);
    QSignalSpy released(&board, &BoardView::released);

    QTest::mousePress(&board, Qt::RightButton, {}, QPoint(10, 360));
    QTest::mouseRelease(&board, Qt::RightButton, {}, QPoint(10, 360));
    QTest::mousePress(&board, Qt::MiddleButton, {}, QPoint(519, 0));
    QTest::mouseRelease(&board, Qt::MiddleButton, {}, QPoint(519, 0));

    ASSERT_EQ(pressed.count(), 2);
    EXPECT_EQ(pressed[0][0].value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(pressed[0][1].toPoint(), QPoint(10, 360));
    EXPECT_EQ(pressed[1][0].value<Qt::MouseButton>(), Qt::MiddleButton);
    EXPECT_EQ(pressed[1][1].toPoint(), QPoint(519, 0));
    ASSERT_EQ(released.count(), 2);
    EXPECT_EQ(released[0][0].value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(released[1][0].value<Qt::MouseButton>(), Qt::MiddleButton);
}

TEST(BoardPictures, EachPictureHasItsSizeAtAnyPixelRatio)
{
    using namespace Pictures;
    for (const qreal dpr : { 1.0, 2.0 }) {
        const std::vector<std::pair<QPixmap, QSize>> pictures {
            { boardBackground(dpr), kBoardBackgroundSize },
            { bonusPicture(1, dpr), kBonusSize },
            { bonusPicture(3, dpr), kBonusSize },
            { wand(dpr), kWandSize },
            { wordButton(WordButton::Clear, dpr), kWordButtonSize },
            { wordButton(WordButton::Enter, dpr, true), kWordButtonSize },
            { startButton(dpr), kStartButtonSize },
            { teamBall(2, dpr), kTeamBallSize },
            { wordSlot(dpr), kWordSlotSize },
            { panelTexture(dpr), kPanelTextureSize },
            { panelBackground(QSize(224, 176), dpr), QSize(224, 176) },
        };
        for (size_t i = 0; i < pictures.size(); ++i) {
            EXPECT_EQ(pictures[i].first.deviceIndependentSize().toSize(), pictures[i].second)
                << i << " at " << dpr;
            EXPECT_EQ(pictures[i].first.size(), pictures[i].second * dpr) << i << " at " << dpr;
        }
    }
}

TEST(BoardPictures, TheBoardBitmapIsOpaque)
{
    const QImage image = Pictures::boardBackground(1.0).toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(qAlpha(image.pixel(x, y)), 255) << x << "," << y;
}

TEST(BoardPictures, PotionsAreYellowAndRedAndOtherKindsShowNothing)
{
    const QColor yellow = averageColour(Pictures::bonusPicture(1, 2.0));
    const QColor red = averageColour(Pictures::bonusPicture(2, 2.0));
    ASSERT_TRUE(yellow.isValid() && red.isValid());
    EXPECT_GE(yellow.hsvHue(), 35);
    EXPECT_LE(yellow.hsvHue(), 65);
    EXPECT_TRUE(red.hsvHue() <= 15 || red.hsvHue() >= 340) << red.hsvHue();
    EXPECT_FALSE(fullyTransparent(Pictures::bonusPicture(3, 1.0)));
    EXPECT_NE(Pictures::bonusPicture(3, 1.0).toImage(), Pictures::bonusPicture(1, 1.0).toImage());

    EXPECT_TRUE(fullyTransparent(Pictures::bonusPicture(0, 1.0)));
    EXPECT_TRUE(fullyTransparent(Pictures::bonusPicture(4, 1.0)));
}

TEST(BoardPictures, TheTwoTeamsHaveDifferentBalls)
{
    const QPixmap one = Pictures::teamBall(1, 1.0);
    const QPixmap two = Pictures::teamBall(2, 1.0);
    EXPECT_FALSE(fullyTransparent(one));
    EXPECT_FALSE(fullyTransparent(two));
    EXPECT_NE(one.toImage(), two.toImage());
    EXPECT_TRUE(fullyTransparent(Pictures::teamBall(0, 1.0)));
    EXPECT_TRUE(fullyTransparent(Pictures::teamBall(3, 1.0)));
}
