// The program's window icon: every size drawn for it is embedded, at its own size.
#include "desktop_identity.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

TEST(DesktopIdentity, EverySizeOfTheIconIsEmbeddedAtThatSize)
{
    for (int size : DesktopIdentity::kIconSizes) {
        const QImage picture(DesktopIdentity::iconResource(size));
        EXPECT_EQ(picture.size(), QSize(size, size)) << size;
        // Opaque in the middle (the tile); the corner is cut off by the rounded square, with
        // at most a trace of its smoothed edge.
        EXPECT_EQ(picture.pixelColor(size / 2, size / 2).alpha(), 255) << size;
        EXPECT_LT(picture.pixelColor(0, 0).alpha(), 32) << size;
    }
}

TEST(DesktopIdentity, WindowIconOffersEachDrawnSizeUnscaled)
{
    const QIcon icon = DesktopIdentity::windowIcon();
    for (int size : DesktopIdentity::kIconSizes) {
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
        const QImage shown = icon.pixmap(QSize(size, size)).toImage();
        const QImage drawn = QImage(DesktopIdentity::iconResource(size)).convertToFormat(shown.format());
        EXPECT_EQ(shown, drawn) << size;
    }
}

TEST(DesktopIdentity, WindowIconBetweenSizesShrinksTheNextLargerDrawingAndNeverGrows)
{
    const QIcon icon = DesktopIdentity::windowIcon(48);
    const QPixmap between = icon.pixmap(QSize(20, 20));
    EXPECT_EQ(between.size(), QSize(20, 20));
    EXPECT_EQ(between.toImage().pixelColor(10, 10).alpha(), 255);
    EXPECT_EQ(icon.actualSize(QSize(20, 20)), QSize(20, 20));
    // Above the largest drawing offered, that drawing as it is.
    EXPECT_EQ(icon.pixmap(QSize(100, 100)).size(), QSize(48, 48));
    EXPECT_EQ(icon.actualSize(QSize(100, 100)), QSize(48, 48));
    // A painter gets the drawing of the size it paints.
    QImage canvas(32, 32, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    icon.paint(&painter, canvas.rect());
    painter.end();
    const QImage drawn = QImage(DesktopIdentity::iconResource(32)).convertToFormat(canvas.format());
    EXPECT_EQ(canvas, drawn);
}

TEST(DesktopIdentity, WindowIconStopsAtTheLargestSizeAsked)
{
    const QIcon icon = DesktopIdentity::windowIcon(48);
    EXPECT_EQ(
        icon.availableSizes(), (QList<QSize> { QSize(16, 16), QSize(24, 24), QSize(32, 32), QSize(48, 48) }));
}

} // namespace
