// The program's style: its menu bar overflow button drawn rather than read from a
// file (which loads every image-format plugin), everything else the platform's.
#include "lexmire_style.h"

#include <QApplication>
#include <QFile>
#include <QMenuBar>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

bool imagePluginLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/imageformats/");
}

// How far two pictures of one size differ: the mean difference of their alpha.
double alphaDistance(const QImage& a, const QImage& b)
{
    double total = 0;
    for (int row = 0; row < a.height(); ++row)
        for (int column = 0; column < a.width(); ++column)
            total += std::abs(qAlpha(a.pixel(column, row)) - qAlpha(b.pixel(column, row)));
    return total / (a.width() * a.height());
}

QImage drawn(const QIcon& icon)
{
    return icon.pixmap(QSize(32, 32)).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

TEST(LexmireStyle, AMenuBarBuiltUnderItReadsNoImageFile)
{
    if (imagePluginLoaded())
        GTEST_SKIP() << "an earlier test in this process loaded the image plugins";
    QApplication::setStyle(new LexmireStyle);
    QMenuBar bar;
    bar.addMenu(QStringLiteral("&File"));
    bar.resize(300, 30);
    bar.grab();
    EXPECT_FALSE(imagePluginLoaded());
}

TEST(LexmireStyle, OverflowChevronsPointAlongTheBar)
{
    LexmireStyle style;
    const QImage across = drawn(style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton));
    const QImage down = drawn(style.standardIcon(QStyle::SP_ToolBarVerticalExtensionButton));
    ASSERT_EQ(across.size(), QSize(32, 32));
    // Two chevrons, ">>" across a bar: the same upside down, not the same mirrored left to
    // right; down a column the other way about.
    EXPECT_LT(alphaDistance(across, across.mirrored(false, true)), 2.0);
    EXPECT_GT(alphaDistance(across, across.mirrored(true, false)), 20.0);
    EXPECT_LT(alphaDistance(down, down.mirrored(true, false)), 2.0);
    EXPECT_GT(alphaDistance(down, down.mirrored(false, true)), 20.0);
}

TEST(LexmireStyle, OtherPicturesAreThePlatformStyles)
{
    LexmireStyle style;
    const QIcon ours = style.standardIcon(QStyle::SP_MessageBoxWarning);
    const QIcon theirs = style.baseStyle()->standardIcon(QStyle::SP_MessageBoxWarning);
    ASSERT_FALSE(theirs.isNull());
    EXPECT_EQ(drawn(ours), drawn(theirs));
}
