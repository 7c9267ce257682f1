// 00BBGGRR values against QColor.
#include "bgr_colour.h"

#include <gtest/gtest.h>

TEST(BgrColour, RedIsTheLowByte)
{
    EXPECT_EQ(colorFromBgr(0x0000FF), QColor(Qt::red));
    EXPECT_EQ(colorFromBgr(0xFF0000), QColor(Qt::blue));
    EXPECT_EQ(bgrFromColor(QColor(0x12, 0x34, 0x56)), 0x563412u);
    EXPECT_EQ(bgrFromColor(colorFromBgr(0x78989C)), 0x78989Cu);
}
