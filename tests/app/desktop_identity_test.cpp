// The program's window icon: every size drawn for it is embedded, at its own size.
#include "desktop_identity.h"

#include <QImage>

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

TEST(DesktopIdentity, WindowIconStopsAtTheLargestSizeAsked)
{
    const QIcon icon = DesktopIdentity::windowIcon(48);
    EXPECT_EQ(
        icon.availableSizes(), (QList<QSize> { QSize(16, 16), QSize(24, 24), QSize(32, 32), QSize(48, 48) }));
}

} // namespace
