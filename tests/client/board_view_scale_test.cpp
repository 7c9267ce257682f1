// The board grown with its window, the bonus markers that say what a cell gives, and the marks
// drawn over the tiles: where presses land, what is painted where, and how the markers read in
// greyscale and to colour-blind eyes.
#include "board_marks_layout.h"
#include "board_palette.h"
#include "board_view.h"
#include "colour_vision.h"
#include "pictures.h"
#include "tile_images.h"
#include "word_builder.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <functional>

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

TEST(BoardMarkers, AMarkerLeavesTheLetterAndItsValueUncovered)
{
    const QString times(QChar(0x00D7));
    for (int kind : { 1, 2, 3 })
        for (int book :
            { BonusNone, BonusDoubleLetter, BonusTripleLetter, BonusYellowPotion, BonusRedPotion }) {
            const QString caption = Pictures::bonusCaption(kind, book);
            const QRectF tag = Pictures::bonusTag(kind, caption);
            ASSERT_FALSE(tag.isEmpty());
            for (int code = 1; code <= 26; ++code)
                EXPECT_FALSE(tag.intersects(TileImages::letterInk(code))) << kind << " over " << code;
            for (qreal dpr : { 1.0, 2.0 }) {
                const QImage marker = Pictures::bonusMarker(kind, caption, dpr).toImage();
                ASSERT_EQ(marker.size(), QSize(41, 41) * dpr);
                for (int code = 1; code <= 26; ++code) {
                    // The tile's ink: the letter and its value, the dark pixels inside the face.
                    QImage tile(marker.size(), QImage::Format_ARGB32_Premultiplied);
                    tile.setDevicePixelRatio(dpr);
                    tile.fill(Qt::transparent);
                    QPainter painter(&tile);
                    TileImages::paintClassic(painter, code);
                    painter.end();
                    // Inside the face's outline and its rounded corners.
                    const int inset = int(std::ceil(4 * dpr));
                    for (int y = inset; y < tile.height() - inset; ++y)
                        for (int x = inset; x < tile.width() - inset; ++x) {
                            if (QColor(tile.pixel(x, y)).lightness() < 170) {
                                ASSERT_EQ(qAlpha(marker.pixel(x, y)), 0)
                                    << kind << " " << caption.toStdString() << " over " << code << " at " << x
                                    << "," << y << " at ratio " << dpr;
                            }
                        }
                }
            }
        }
}

TEST(BoardMarkers, AMarkersCaptionKeepsItsColoursOnAChosenTile)
{
    BoardView board;
    for (int c = 0; c < BoardView::kColumns; ++c)
        for (int r = 0; r < BoardView::kRows; ++r)
            board.setTile(c, r, 1 + (c + 2 * r) % 26);
    const QPoint cell(6, 4);
    board.setBonus(cell.x(), cell.y(), Pictures::RedPotion);
    const QImage plain = shot(board);
    const QRectF tag = Pictures::bonusTag(Pictures::RedPotion, Pictures::bonusCaption(Pictures::RedPotion, 0))
                           .translated(BoardView::cellTopLeft(cell.x(), cell.y()));
    // The tag's inside, clear of its rounded ends and its shadow.
    const QRect inside = tag.adjusted(tag.height() / 2, 1.5, -tag.height() / 2, -2.0).toAlignedRect();
    const QColor pill = boardpalette::redPotionMarker().pill;
    const QColor text = boardpalette::redPotionMarker().text;
    // Each way a tile is lit: typed letters, a word being built, a review's word, a found word;
    // the word's link from the tile up and to the right runs under the tag.
    const std::vector<QPoint> word { QPoint(7, 3), cell, QPoint(5, 5) };
    const std::vector<std::function<void()>> lights { [&] { board.setLit(word); },
        [&] { board.setPath(word); },
        [&] {
            board.showReview(word);
            while (board.animating())
                board.animationTick();
        },
        [&] {
            board.holdSent(word);
            board.answerSent(BoardMarks::Answer::Found, "+9");
        } };
    for (std::size_t way = 0; way < lights.size(); ++way) {
        lights[way]();
        const QImage lit = shot(board);
        EXPECT_NE(lit.pixelColor(BoardView::cellTopLeft(cell.x(), cell.y()) + QPoint(20, 36)),
            plain.pixelColor(BoardView::cellTopLeft(cell.x(), cell.y()) + QPoint(20, 36)))
            << way; // the tile itself is lit
        int pillPixels = 0;
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x) {
                ASSERT_EQ(lit.pixel(x, y), plain.pixel(x, y)) << way << " at " << x << "," << y;
                if (lit.pixelColor(x, y) == pill)
                    ++pillPixels;
            }
        // The caption reads on what lies under it on the lit tile: the pill's own colour.
        EXPECT_GT(pillPixels, 0) << way;
        EXPECT_GE(boardpalette::contrastRatio(text, pill), boardpalette::kMinimumTextContrast);
        board.clearMarks();
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

TEST(BoardMarks, ATileAWordComesBackToShowsEveryVisitsNumberUnderItsLetter)
{
    BoardView board;
    for (int c = 0; c < BoardView::kColumns; ++c)
        for (int r = 0; r < BoardView::kRows; ++r)
            board.setTile(c, r, 1 + (c + r) % 26);
    // R E V E R E R: the first tile is visited three times.
    const QPoint r(4, 4), e(5, 4), v(5, 5);
    board.showReview({ r, e, v, e, r, e, r });
    while (board.animating())
        board.animationTick();
    const QImage drawn = shot(board);
    const QFontMetricsF metrics(Pictures::font(9.0, QFont::Bold));
    const QRectF three
        = marklayout::visitLabelBox(r, metrics.horizontalAdvance(QString("1%15%17").arg(QChar(0x00B7))));
    const QRectF one = marklayout::visitLabelBox(v, metrics.horizontalAdvance("3"));
    // The label grows with its numbers and stays on its tile, under every letter's ink: at most
    // over the lower edge of the letter's light highlight.
    EXPECT_GT(three.width(), 2.5 * one.width());
    for (const QRectF& label : { three, one }) {
        const QPoint cell(int(label.center().x()) / 40, int(label.center().y()) / 40);
        EXPECT_TRUE(QRectF(BoardView::cellRect(cell.x(), cell.y())).contains(label))
            << cell.x() << "," << cell.y();
        for (int code = 1; code <= 26; ++code) {
            if (code != 10 && code != 17) { // J and Q reach down past the line
                EXPECT_LE(label.translated(-40.0 * cell.x(), -40.0 * cell.y())
                              .intersected(TileImages::letterInk(code))
                              .height(),
                    1.2)
                    << code;
            }
        }
    }
    // Each third of the long label holds a figure: white ink on the label's fill.
    for (int third = 0; third < 3; ++third) {
        int white = 0;
        int fill = 0;
        for (int x = int(three.left() + third * three.width() / 3) + 1;
             x < int(three.left() + (third + 1) * three.width() / 3); ++x)
            for (int y = int(three.top()) + 2; y < int(three.bottom()) - 1; ++y) {
                const QColor pixel = drawn.pixelColor(x, y);
                white += pixel.lightness() > 200 ? 1 : 0;
                fill += distance(pixel, boardpalette::reviewBadgeFill()) < 30 ? 1 : 0;
            }
        EXPECT_GT(white, 2) << third;
        EXPECT_GT(fill, 2) << third;
    }
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
