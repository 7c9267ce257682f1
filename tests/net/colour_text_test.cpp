// Colour text both ways.
#include "colour_text.h"

#include <gtest/gtest.h>

using namespace wire;

TEST(ColourText, WritesNamesWhenTheColourHasOne)
{
    EXPECT_EQ(colourToText(0x0000FF), "clRed");
    EXPECT_EQ(colourToText(0x800000), "clNavy");
    EXPECT_EQ(colourToText(0xFFFFFF), "clWhite");
    EXPECT_EQ(colourToText(0x000000), "clBlack");
    EXPECT_EQ(colourToText(0x123456), "$00123456");
    EXPECT_EQ(colourToText(0xABCDEF), "$00ABCDEF");
}

TEST(ColourText, ReadsNamesHexAndDecimalInAnyCase)
{
    EXPECT_EQ(colourFromText("clRed"), 0x0000FFu);
    EXPECT_EQ(colourFromText("CLRED"), 0x0000FFu);
    EXPECT_EQ(colourFromText("clfuchsia"), 0xFF00FFu);
    EXPECT_EQ(colourFromText("$00abcdef"), 0xABCDEFu);
    EXPECT_EQ(colourFromText("$FF"), 0xFFu);
    EXPECT_EQ(colourFromText("255"), 0xFFu);
    for (const char* bad : { "", "$", "$01000000", "$GG", "clNothing", "-5", "16777216", "$123456789" })
        EXPECT_FALSE(colourFromText(bad)) << bad;
}

TEST(ColourText, RoundTripsEveryColourShape)
{
    for (uint32_t colour : { 0x000000u, 0x808080u, 0xC0C0C0u, 0x00FFFFu, 0x010203u, 0xFFFFFEu })
        EXPECT_EQ(colourFromText(colourToText(colour)), colour);
}
