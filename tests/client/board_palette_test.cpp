// Every line and mark of the board reads at a glance: contrast ratios worked out from the one
// palette, and the palette's status background checked against the window as drawn.
#include "board_palette.h"
#include "tchat.h"

#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace boardpalette;

TEST(BoardPalette, ContrastFollowsTheDefinition)
{
    EXPECT_NEAR(contrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(Qt::white, Qt::white), 1.0, 1e-9);
    // The order of the two colours does not matter.
    EXPECT_NEAR(contrastRatio(QColor(0x76, 0x76, 0x76), Qt::white), 4.54, 0.01);
    EXPECT_NEAR(contrastRatio(Qt::white, QColor(0x76, 0x76, 0x76)), 4.54, 0.01);
}

TEST(BoardPalette, FoundAndRefusedWordsReadOnTheStatusLine)
{
    EXPECT_GE(contrastRatio(foundText(), statusBackground()), kMinimumTextContrast);
    EXPECT_GE(contrastRatio(refusedText(), statusBackground()), kMinimumTextContrast);
    EXPECT_GE(contrastRatio(plainText(), statusBackground()), kMinimumTextContrast);
    // Found and refused differ in more than hue: lightness tells them apart too.
    EXPECT_NE(foundText().hue() / 60, refusedText().hue() / 60);
    // The refused red of old did not reach it.
    EXPECT_LT(contrastRatio(Qt::red, statusBackground()), kMinimumTextContrast);
}

TEST(BoardPalette, TheOwnSeatBadgesAndTheReviewRead)
{
    EXPECT_GE(contrastRatio(ownSeatRosterText(), ownSeatRosterBackground()), kMinimumTextContrast);
    EXPECT_GE(contrastRatio(ownSeatScrollText(), ownSeatScrollBackground()), kMinimumTextContrast);
    EXPECT_GE(contrastRatio(reviewPanelText(), reviewPanelBackground()), kMinimumTextContrast);
    EXPECT_GE(contrastRatio(reviewPanelNote(), reviewPanelBackground()), kMinimumTextContrast);
    EXPECT_GE(contrastRatio(badgeText(), badgeFill()), kMinimumTextContrast);
    EXPECT_GE(contrastRatio(badgeText(), reviewBadgeFill()), kMinimumTextContrast);
}

TEST(BoardPalette, TheStatusLineIsNeverLighterThanThePaletteSays)
{
    QTemporaryDir folder;
    TchatSetup setup;
    setup.settingsFile = folder.filePath("s.ini");
    Tchat window(setup);
    window.resize(798, 535);
    auto* status = window.findChild<QLabel*>("label_status2");
    status->clear();
    const QImage drawn = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect area(status->mapTo(&window, QPoint(0, 0)), status->size());
    double lightest = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            lightest = std::max(lightest, relativeLuminance(drawn.pixelColor(x, y)));
    EXPECT_LE(lightest, relativeLuminance(statusBackground()));
}
