// The board grown with its window, the bonus markers that say what a cell gives, and the marks
// drawn over the tiles: where presses land, what is painted where, and how the markers read in
// greyscale and to colour-blind eyes.
#include "board_palette.h"
#include "board_view.h"
#include "colour_vision.h"
#include "pictures.h"
#include "tile_images.h"
#include "word_builder.h"

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QPoint centre(int c, int r) { return QPoint(40 * c + 20, 40 * r + 20); }

QImage shot(BoardView& board) { return board.grab().toImage().convertToFormat(QImage::Format_RGB32); }

// How far apart two colours are, channel by channel.
int distance(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

// The pixel at a cell's centre in a board drawn at its own size.
QColor atCentre(const QImage& image, QPoint cell) { return image.pixelColor(centre(cell.x(), cell.y())); }

} // namespace

TEST(BoardViewScale, APressOnABoardTwiceTheSizeLandsInTheSameCell)
{
    BoardView board;
    board.resize(1040, 722);
    board.show();
    EXPECT_DOUBLE_EQ(board.scale(), 2.0);
    QSignalSpy pressed(&board, &BoardView::pressed);
    QSignalSpy moved(&board, &BoardView::moved);

    QTest::mousePress(&board, Qt::LeftButton, {}, centre(3, 7) * 2);
    ASSERT_EQ(pressed.count(), 1);
    const QPoint at = pressed[0][1].toPoint();
    EXPECT_EQ(at, centre(3, 7));
    EXPECT_EQ(WordBuilder::cellAt(at), QPoint(3, 7));

    // The inner square that picks a tile up while dragging grows with the tile.
    QTest::mouseMove(&board, QPoint(40 * 4 + 8, 40 * 7 + 20) * 2);
    QTest::mouseMove(&board, QPoint(40 * 4 + 9, 40 * 7 + 9) * 2);
    ASSERT_EQ(moved.count(), 2);
    EXPECT_FALSE(WordBuilder::inInnerSquare(moved[0][0].toPoint(), 4, 7));
    EXPECT_TRUE(WordBuilder::inInnerSquare(moved[1][0].toPoint(), 4, 7));
    QTest::mouseRelease(&board, Qt::LeftButton, {}, centre(4, 7) * 2);

    // Fractions of a scaled pixel stay in their cell: the last pixel of column 3 is still it.
    EXPECT_EQ(board.boardPixelAt(QPointF(2 * 160 - 0.5, 10)).x(), 159);
}

TEST(BoardViewScale, TheScaleFollowsTheNarrowerSideAndNeverShrinks)
{
    BoardView board;
    board.resize(1040, 500);
    EXPECT_NEAR(board.scale(), 500.0 / 361.0, 1e-9);
    board.resize(520, 361);
    EXPECT_DOUBLE_EQ(board.scale(), 1.0);
}

TEST(BoardViewScale, AGrownBoardDrawsItsTilesForItsOwnPixels)
{
    BoardView board;
    board.resize(1040, 722);
    board.setTile(3, 2, 5);
    const QImage image = shot(board);
    EXPECT_EQ(image.size(), QSize(1040, 722));
    // The built-in tiles are drawn anew at the scale, not stretched from small ones.
    EXPECT_GE(board.tileImages()->tile(5).devicePixelRatio(), 2.0);
    // The tile's face fills its grown cell: the face is light, the empty board dark.
    EXPECT_GT(image.pixelColor(240 + 10, 160 + 60).lightness(), 150);
    EXPECT_LT(image.pixelColor(400 + 40, 160 + 40).lightness(), 100);
}

TEST(BoardMarkers, EachBonusSaysWhatItGivesAndTheBookOnceKnown)
{
    using Pictures::bonusCaption;
    const QString times(QChar(0x00D7));
    EXPECT_EQ(bonusCaption(Pictures::YellowPotion, BonusNone), "2" + times + "W");
    EXPECT_EQ(bonusCaption(Pictures::RedPotion, BonusTripleLetter), "3" + times + "W");
    EXPECT_EQ(bonusCaption(Pictures::SpellBook, BonusNone), "?");
    EXPECT_EQ(bonusCaption(Pictures::SpellBook, BonusDoubleLetter), "2" + times + "L");
    EXPECT_EQ(bonusCaption(Pictures::SpellBook, BonusTripleLetter), "3" + times + "L");
    EXPECT_EQ(bonusCaption(Pictures::SpellBook, BonusYellowPotion), "2" + times + "W");
    EXPECT_EQ(bonusCaption(Pictures::SpellBook, BonusRedPotion), "3" + times + "W");
    EXPECT_TRUE(bonusCaption(Pictures::NoBonus, BonusNone).isEmpty());
}

TEST(BoardMarkers, AMarkerLeavesTheLettersValueUncovered)
{
    for (int kind : { 1, 2, 3 }) {
        const QImage marker = Pictures::bonusMarker(kind, "3" + QString(QChar(0x00D7)) + "L", 2.0).toImage();
        EXPECT_EQ(marker.size(), QSize(82, 82));
        // The value sits in the tile's top-left corner; the letter in its middle.
        for (int y = 0; y < 2 * 28; ++y)
            for (int x = 0; x < 2 * 41; ++x)
                ASSERT_EQ(qAlpha(marker.pixel(x, y)), 0) << kind << " at " << x << "," << y;
    }
}

TEST(BoardMarkers, TheBookShowsItsKindOnceTheBoardIsTold)
{
    BoardView board;
    board.setBonus(6, 4, Pictures::SpellBook);
    const QImage unknown = shot(board);
    board.setBookKind(BonusTripleLetter);
    const QImage known = shot(board);
    EXPECT_NE(unknown.copy(BoardView::cellRect(6, 4)), known.copy(BoardView::cellRect(6, 4)));
    // Off, the old corner picture shows, whatever the book's kind.
    board.setBonusLabels(false);
    const QImage old = shot(board);
    board.setBookKind(BonusNone);
    EXPECT_EQ(old, shot(board));
}

TEST(BoardMarkers, TheThreeMarkersStayApartInGreyscaleAndToColourBlindEyes)
{
    using colourvision::Vision;
    const std::vector<boardpalette::Marker> markers { boardpalette::yellowPotionMarker(),
        boardpalette::redPotionMarker(), boardpalette::spellBookMarker() };
    for (Vision vision : { Vision::Greyscale, Vision::Deuteranopia, Vision::Protanopia }) {
        for (std::size_t i = 0; i < markers.size(); ++i) {
            // The caption stays readable on its own pill.
            EXPECT_GE(boardpalette::contrastRatio(colourvision::simulate(markers[i].text, vision),
                          colourvision::simulate(markers[i].pill, vision)),
                boardpalette::kMinimumTextContrast)
                << i;
            for (std::size_t j = i + 1; j < markers.size(); ++j) {
                // Pills of different kinds differ in lightness, not only in hue.
                const double apart
                    = boardpalette::contrastRatio(colourvision::simulate(markers[i].pill, vision),
                        colourvision::simulate(markers[j].pill, vision));
                EXPECT_GE(apart, 1.6) << i << " and " << j << " as seen " << int(vision);
            }
        }
    }
}

TEST(BoardMarks, APathIsPaintedOnItsTilesOnly)
{
    BoardView board;
    for (int c = 0; c < BoardView::kColumns; ++c)
        for (int r = 0; r < BoardView::kRows; ++r)
            board.setTile(c, r, 1 + (c + r) % 26);
    const QImage plain = shot(board);
    const std::vector<QPoint> path { QPoint(2, 2), QPoint(3, 3), QPoint(2, 2) };
    board.setPath(path);
    const QImage drawn = shot(board);
    EXPECT_GT(distance(atCentre(drawn, QPoint(2, 2)), atCentre(plain, QPoint(2, 2))), 60);
    EXPECT_GT(distance(atCentre(drawn, QPoint(3, 3)), atCentre(plain, QPoint(3, 3))), 60);
    // A tile off the path and away from its line is drawn as before.
    for (QPoint untouched : { QPoint(7, 7), QPoint(2, 3), QPoint(11, 0) })
        EXPECT_EQ(atCentre(drawn, untouched), atCentre(plain, untouched))
            << untouched.x() << "," << untouched.y();
    // The tile visited twice shows both visits.
    EXPECT_EQ(BoardMarks::visitsOf(board.marks().path(), QPoint(2, 2)), (std::vector<int> { 1, 3 }));

    board.setMarksShown(false);
    EXPECT_TRUE(board.marks().path().empty());
    EXPECT_EQ(shot(board), plain);
}

TEST(BoardMarks, AFoundWordFlashesGreenAndARefusedOneRedThenBothClear)
{
    BoardView board;
    const QImage plain = shot(board);
    board.holdSent({ QPoint(5, 5), QPoint(6, 5) });
    board.holdSent({ QPoint(1, 1), QPoint(1, 2) });
    board.answerSent(BoardMarks::Answer::Found, "+6");
    ASSERT_EQ(board.marks().flashes().size(), 1u);
    EXPECT_EQ(board.marks().flashes()[0].cells, (std::vector<QPoint> { QPoint(5, 5), QPoint(6, 5) }));
    EXPECT_TRUE(board.animationTimerActive());
    const QColor green = atCentre(shot(board), QPoint(6, 5));
    EXPECT_GT(green.green(), green.red());

    board.answerSent(BoardMarks::Answer::Refused);
    ASSERT_EQ(board.marks().flashes().size(), 2u);
    // The first tile of a word carries no line or number past its start: its tint shows plainly.
    const QColor red = atCentre(shot(board), QPoint(1, 2));
    EXPECT_GT(red.red(), red.green());

    for (int step = 0; step < BoardMarks::kFoundSteps && board.animating(); ++step)
        board.animationTick();
    EXPECT_FALSE(board.animating());
    EXPECT_FALSE(board.animationTimerActive());
    EXPECT_EQ(shot(board), plain);
}

TEST(BoardMarks, AReviewWordIsLaidTileByTile)
{
    BoardView board;
    const std::vector<QPoint> word { QPoint(0, 0), QPoint(1, 1), QPoint(2, 1) };
    board.showReview(word);
    EXPECT_EQ(board.marks().reviewShown(), 1);
    for (int i = 0; i < BoardMarks::kReviewStepsPerTile; ++i)
        board.animationTick();
    EXPECT_EQ(board.marks().reviewShown(), 2);
    while (board.animating())
        board.animationTick();
    EXPECT_EQ(board.marks().reviewShown(), 3);
    EXPECT_EQ(board.marks().review(), word);
    // The path option leaves the review's word alone.
    board.setMarksShown(false);
    EXPECT_EQ(board.marks().review(), word);
}
