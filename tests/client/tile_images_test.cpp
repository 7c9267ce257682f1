// Letter-tile pictures: the built-in set, strips read from bitmaps, and finding set files.
#include "tile_images.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QColor kMagenta(255, 0, 255);

bool fullyTransparent(const QPixmap& pixmap)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                return false;
    return true;
}

// A strip of the given size, magenta throughout.
QImage magentaStrip(int width, int height = TileImages::kSize)
{
    QImage strip(width, height, QImage::Format_RGB32);
    strip.fill(kMagenta);
    return strip;
}

// A square of colour in a cell, with a magenta frame of 4 pixels left round it.
void paintSquare(QImage& strip, int cell, const QColor& colour)
{
    QPainter painter(&strip);
    painter.fillRect(QRect(TileImages::kSize * cell + 4, 4, 33, 33), colour);
}

void touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write("x");
}

}

TEST(TileImagesClassic, ImageZeroShowsNothingAndLettersHaveFacesWithRoundedCorners)
{
    const TileImages tiles;
    EXPECT_TRUE(tiles.isClassic());
    EXPECT_TRUE(fullyTransparent(tiles.tile(0)));
    for (int code = 1; code <= 26; ++code) {
        const QPixmap& tile = tiles.tile(code);
        ASSERT_EQ(tile.deviceIndependentSize().toSize(), QSize(41, 41)) << code;
        const QImage image = tile.toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << code;
        EXPECT_EQ(qAlpha(image.pixel(40, 0)), 0) << code;
        EXPECT_EQ(qAlpha(image.pixel(0, 40)), 0) << code;
        // The face is opaque and light grey between the corner and the letter.
        const QColor face = image.pixelColor(6, 20);
        EXPECT_EQ(face.alpha(), 255) << code;
        EXPECT_GT(face.lightness(), 170) << code;
        EXPECT_LT(face.hslSaturation(), 40) << code;
    }
}

TEST(TileImagesClassic, EveryLetterHasItsOwnDarkLetterInTheMiddle)
{
    const TileImages tiles;
    for (int a = 1; a <= 26; ++a) {
        const QImage image = tiles.tile(a).toImage();
        // Dark ink somewhere in the middle of the tile.
        int dark = 0;
        for (int y = 12; y < 34; ++y)
            for (int x = 10; x < 32; ++x)
                dark += image.pixelColor(x, y).lightness() < 80 ? 1 : 0;
        EXPECT_GT(dark, 20) << a;
        for (int b = a + 1; b <= 26; ++b)
            EXPECT_NE(image, tiles.tile(b).toImage()) << a << " " << b;
    }
}

TEST(TileImagesClassic, DrawnForTheScreensPixelRatio)
{
    const TileImages tiles(2.0);
    for (int code = 0; code <= 26; ++code) {
        EXPECT_EQ(tiles.tile(code).size(), QSize(82, 82)) << code;
        EXPECT_EQ(tiles.tile(code).deviceIndependentSize().toSize(), QSize(41, 41)) << code;
    }
}

TEST(TileImagesClassic, CodesOffTheAlphabetShowImageZero)
{
    const TileImages tiles;
    for (int code : { -1, 27, 1000 }) {
        EXPECT_EQ(&tiles.tile(code), &tiles.tile(0)) << code;
    }
    EXPECT_EQ(TileImages::letterValue(0), 0);
    EXPECT_EQ(TileImages::letterValue(27), 0);
    EXPECT_EQ(TileImages::letterOf(1), QLatin1Char('A'));
    EXPECT_EQ(TileImages::letterOf(26), QLatin1Char('Z'));
}

TEST(TileImagesStrip, EachCellBecomesItsLetterAndMagentaIsTransparent)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage strip = magentaStrip(1107);
    paintSquare(strip, 5, Qt::red);
    paintSquare(strip, 26, Qt::blue);
    // One shade off magenta is an ordinary colour.
    strip.setPixelColor(41 * 7 + 20, 20, QColor(254, 0, 255));
    const QString path = dir.filePath(QStringLiteral("Red.bmp"));
    ASSERT_TRUE(strip.save(path, "BMP"));

    TileImages tiles;
    ASSERT_TRUE(tiles.loadStrip(path));
    EXPECT_FALSE(tiles.isClassic());

    const QImage e = tiles.tile(5).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(e.size(), QSize(41, 41));
    EXPECT_EQ(e.pixelColor(4, 4), QColor(Qt::red));
    EXPECT_EQ(e.pixelColor(20, 20), QColor(Qt::red));
    EXPECT_EQ(e.pixelColor(36, 36), QColor(Qt::red));
    EXPECT_EQ(qAlpha(e.pixel(3, 20)), 0);
    EXPECT_EQ(qAlpha(e.pixel(37, 20)), 0);
    EXPECT_EQ(qAlpha(e.pixel(0, 0)), 0);

    EXPECT_EQ(tiles.tile(26).toImage().pixelColor(20, 20), QColor(Qt::blue));
    EXPECT_TRUE(fullyTransparent(tiles.tile(0)));
    EXPECT_TRUE(fullyTransparent(tiles.tile(4)));
    EXPECT_TRUE(fullyTransparent(tiles.tile(6)));

    const QImage g = tiles.tile(7).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(g.pixelColor(20, 20), QColor(254, 0, 255));
    EXPECT_EQ(qAlpha(g.pixel(21, 20)), 0);

    tiles.useClassic(1.0);
    EXPECT_TRUE(tiles.isClassic());
    EXPECT_NE(tiles.tile(5).toImage().pixelColor(20, 20), QColor(Qt::red));
}

TEST(TileImagesStrip, AFileThatCannotBeReadChangesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile junk(dir.filePath(QStringLiteral("Junk.bmp")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("BM not really a bitmap");
    junk.close();

    TileImages tiles;
    const QImage before = tiles.tile(5).toImage();
    EXPECT_FALSE(tiles.loadStrip(dir.filePath(QStringLiteral("Missing.bmp"))));
    EXPECT_FALSE(tiles.loadStrip(junk.fileName()));
    EXPECT_TRUE(tiles.isClassic());
    EXPECT_EQ(tiles.tile(5).toImage(), before);

    // Also after a strip: a failed load keeps that strip.
    QImage strip = magentaStrip(1107);
    paintSquare(strip, 5, Qt::red);
    const QString path = dir.filePath(QStringLiteral("Red.bmp"));
    ASSERT_TRUE(strip.save(path, "BMP"));
    ASSERT_TRUE(tiles.loadStrip(path));
    EXPECT_FALSE(tiles.loadStrip(dir.filePath(QStringLiteral("Missing.bmp"))));
    EXPECT_FALSE(tiles.isClassic());
    EXPECT_EQ(tiles.tile(5).toImage().pixelColor(20, 20), QColor(Qt::red));
}

TEST(TileImagesStrip, CellsAShortStripDoesNotReachAreTransparent)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Ten whole cells and half of the eleventh, and only 30 rows high.
    QImage strip = magentaStrip(41 * 10 + 20, 30);
    strip.fill(Qt::green);
    const QString path = dir.filePath(QStringLiteral("Short.bmp"));
    ASSERT_TRUE(strip.save(path, "BMP"));

    TileImages tiles;
    ASSERT_TRUE(tiles.loadStrip(path));
    for (int code = 0; code < 10; ++code) {
        const QImage cell = tiles.tile(code).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(cell.size(), QSize(41, 41));
        EXPECT_EQ(cell.pixelColor(40, 29), QColor(Qt::green)) << code;
        EXPECT_EQ(qAlpha(cell.pixel(20, 30)), 0) << code;
        EXPECT_EQ(qAlpha(cell.pixel(20, 40)), 0) << code;
    }
    const QImage half = tiles.tile(10).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(half.pixelColor(19, 10), QColor(Qt::green));
    EXPECT_EQ(qAlpha(half.pixel(20, 10)), 0);
    for (int code = 11; code <= 26; ++code)
        EXPECT_TRUE(fullyTransparent(tiles.tile(code))) << code;
}

TEST(TileImagesFiles, SetNamesAreFileNamesWithoutTheirSuffixDotsIncluded)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    touch(dir.filePath(QStringLiteral("a.bmp")));
    touch(dir.filePath(QStringLiteral("My.Set.bmp")));
    touch(dir.filePath(QStringLiteral("notes.txt")));
    touch(dir.filePath(QStringLiteral("Classic.bmp"))); // the built-in set's name is taken
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.bmp")));

    EXPECT_EQ(TileImages::setNames({ dir.path() }),
        (QStringList { QStringLiteral("a"), QStringLiteral("My.Set") }));
    EXPECT_EQ(TileImages::setPath({ dir.path() }, QStringLiteral("My.Set")),
        dir.filePath(QStringLiteral("My.Set.bmp")));
    EXPECT_TRUE(TileImages::setPath({ dir.path() }, QStringLiteral("My")).isEmpty());
    EXPECT_TRUE(TileImages::setPath({ dir.path() }, QStringLiteral("notes")).isEmpty());
    EXPECT_TRUE(TileImages::setPath({ dir.path() }, QStringLiteral("folder")).isEmpty());
    EXPECT_TRUE(TileImages::setPath({ dir.path() }, QString()).isEmpty());
    // Names match without regard to case and come back as the folder spells them.
    const QString upper = TileImages::setPath({ dir.path() }, QStringLiteral("MY.SET"));
    EXPECT_EQ(upper, dir.filePath(QStringLiteral("My.Set.bmp")));
    EXPECT_EQ(TileImages::setNameOf(upper), QStringLiteral("My.Set"));
}

TEST(TileImagesFiles, FirstFolderFirstAndEachNameOnce)
{
    QTemporaryDir first;
    QTemporaryDir second;
    ASSERT_TRUE(first.isValid() && second.isValid());
    touch(first.filePath(QStringLiteral("Neon.bmp")));
    touch(first.filePath(QStringLiteral("Ivory.bmp")));
    touch(first.filePath(QStringLiteral("Ivory.old.bmp")));
    touch(second.filePath(QStringLiteral("Ivory.bmp")));
    touch(second.filePath(QStringLiteral("Chalk.bmp")));

    const QStringList folders { first.path(), second.path(), first.filePath(QStringLiteral("missing")) };
    touch(second.filePath(QStringLiteral("neon.bmp"))); // the same set in another letter case
    EXPECT_EQ(TileImages::setNames(folders),
        (QStringList { QStringLiteral("Ivory"), QStringLiteral("Ivory.old"), QStringLiteral("Neon"),
            QStringLiteral("Chalk") }));
    EXPECT_EQ(
        TileImages::setPath(folders, QStringLiteral("Ivory")), first.filePath(QStringLiteral("Ivory.bmp")));
    EXPECT_EQ(
        TileImages::setPath(folders, QStringLiteral("Chalk")), second.filePath(QStringLiteral("Chalk.bmp")));
    EXPECT_TRUE(TileImages::setPath(folders, QStringLiteral("Wood")).isEmpty());
    EXPECT_TRUE(TileImages::setNames({}).isEmpty());
}

TEST(TileImagesFiles, ANameCannotLeadOutOfTheFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sets")));
    touch(dir.filePath(QStringLiteral("outside.bmp")));
    const QStringList folders { dir.filePath(QStringLiteral("sets")) };
    EXPECT_TRUE(TileImages::setPath(folders, QStringLiteral("../outside")).isEmpty());
    EXPECT_TRUE(TileImages::setPath(folders, QStringLiteral("..\\outside")).isEmpty());
    EXPECT_TRUE(TileImages::setPath(folders, dir.filePath(QStringLiteral("outside"))).isEmpty());
}
