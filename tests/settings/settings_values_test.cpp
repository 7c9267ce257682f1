// Settings values: lenient integers, colour text both ways, and stored colours as QColor.
#include "settings_values.h"

#include <QGuiApplication>
#include <QPalette>
#include <QSet>

#include <gtest/gtest.h>

#include <climits>

using settings::colourFromSettingsText;
using settings::colourToSettingsText;
using settings::lenientInt;

TEST(LenientInt, ReadsWholeDecimalNumbersWithOptionalSign)
{
    EXPECT_EQ(lenientInt("12"), 12);
    EXPECT_EQ(lenientInt("-3"), -3);
    EXPECT_EQ(lenientInt("+7"), 7);
    EXPECT_EQ(lenientInt("0"), 0);
    EXPECT_EQ(lenientInt("0798"), 798);
    EXPECT_EQ(lenientInt("2147483647"), INT_MAX);
    EXPECT_EQ(lenientInt("-2147483648"), INT_MIN);
}

TEST(LenientInt, ReadsHexadecimalAfter0x)
{
    EXPECT_EQ(lenientInt("0x1F"), 31);
    EXPECT_EQ(lenientInt("0XfF"), 255);
    EXPECT_EQ(lenientInt("0x7FFFFFFF"), INT_MAX);
    EXPECT_EQ(lenientInt("0x0000000000000010"), 16);
}

TEST(LenientInt, AllowsBlanksAroundTheNumber)
{
    // The ini reader drops them anyway, so a value means the same however it arrives.
    EXPECT_EQ(lenientInt(" 12"), 12);
    EXPECT_EQ(lenientInt("12 "), 12);
    EXPECT_EQ(lenientInt("\t0x10 "), 16);
}

TEST(LenientInt, AnythingElseCountsAsMissing)
{
    for (const char* text : { "12a", "", "   ", "1 2", "1.5", "1e3", "-", "+", "--1", "0x", "0x1G", "-0x1",
             "0x-1", "$10", "x10", "2147483648", "-2147483649", "0x80000000", "99999999999999999999" })
        EXPECT_EQ(lenientInt(text), std::nullopt) << text;
    EXPECT_EQ(lenientInt(QString::fromUtf8("١٢")), std::nullopt) << "only ASCII digits count";
}

namespace {

struct Named {
    const char* name;
    uint32_t value;
};

// The sixteen basic colours, as 00BBGGRR.
const Named kBasic[] = {
    { "clBlack", 0x000000 },
    { "clMaroon", 0x000080 },
    { "clGreen", 0x008000 },
    { "clOlive", 0x008080 },
    { "clNavy", 0x800000 },
    { "clPurple", 0x800080 },
    { "clTeal", 0x808000 },
    { "clGray", 0x808080 },
    { "clSilver", 0xC0C0C0 },
    { "clRed", 0x0000FF },
    { "clLime", 0x00FF00 },
    { "clYellow", 0x00FFFF },
    { "clBlue", 0xFF0000 },
    { "clFuchsia", 0xFF00FF },
    { "clAqua", 0xFFFF00 },
    { "clWhite", 0xFFFFFF },
};

// The system colours by platform index.
const char* const kSystemNames[] = { "clScrollBar", "clBackground", "clActiveCaption", "clInactiveCaption",
    "clMenu", "clWindow", "clWindowFrame", "clMenuText", "clWindowText", "clCaptionText", "clActiveBorder",
    "clInactiveBorder", "clAppWorkSpace", "clHighlight", "clHighlightText", "clBtnFace", "clBtnShadow",
    "clGrayText", "clBtnText", "clInactiveCaptionText", "clBtnHighlight", "cl3DDkShadow", "cl3DLight",
    "clInfoText", "clInfoBk" };

} // namespace

TEST(SettingsColourText, BasicColoursByNameBothWays)
{
    for (const Named& colour : kBasic) {
        const QString name = QString::fromLatin1(colour.name);
        EXPECT_EQ(colourToSettingsText(colour.value), name);
        EXPECT_EQ(colourFromSettingsText(name), colour.value) << colour.name;
        EXPECT_EQ(colourFromSettingsText(name.toLower()), colour.value) << colour.name;
        EXPECT_EQ(colourFromSettingsText(name.toUpper()), colour.value) << colour.name;
    }
}

TEST(SettingsColourText, SystemColoursAndNoneByNameBothWays)
{
    uint32_t index = 0;
    for (const char* name : kSystemNames) {
        const uint32_t value = 0xFF000000u | index++;
        EXPECT_EQ(colourToSettingsText(value), QString::fromLatin1(name));
        EXPECT_EQ(colourFromSettingsText(QString::fromLatin1(name).toLower()), value) << name;
    }
    EXPECT_EQ(colourToSettingsText(0x1FFFFFFF), "clNone");
    EXPECT_EQ(colourFromSettingsText("CLNONE"), 0x1FFFFFFFu);
    EXPECT_EQ(colourFromSettingsText("clbtnface"), settings::systemColour(settings::SystemColour::BtnFace));
}

TEST(SettingsColourText, OtherColoursAsDollarAndEightHexDigits)
{
    EXPECT_EQ(colourToSettingsText(0x00400000), "$00400000");
    EXPECT_EQ(colourToSettingsText(0x00ABCDEF), "$00ABCDEF");
    EXPECT_EQ(colourToSettingsText(0xFF000019), "$FF000019") << "a system index without a name";
    EXPECT_EQ(colourFromSettingsText("$00400000"), 0x00400000u);
    EXPECT_EQ(colourFromSettingsText("$abc"), 0xABCu);
    EXPECT_EQ(colourFromSettingsText("$FFFFFFFF"), 0xFFFFFFFFu);
    for (uint32_t value : { 0x00400000u, 0x00123456u, 0x00FFFFFEu, 0x80000005u })
        EXPECT_EQ(colourFromSettingsText(colourToSettingsText(value)), value);
}

TEST(SettingsColourText, DecimalNumbers)
{
    EXPECT_EQ(colourFromSettingsText("255"), 0xFFu);
    EXPECT_EQ(colourFromSettingsText("4194304"), 0x400000u);
    EXPECT_EQ(colourFromSettingsText("4294967295"), 0xFFFFFFFFu);
    EXPECT_EQ(colourFromSettingsText("-1"), 0xFFFFFFFFu);
    EXPECT_EQ(colourFromSettingsText("-16777201"), 0xFF00000Fu) << "clBtnFace as a signed number";
}

TEST(SettingsColourText, JunkGivesBlack)
{
    for (const char* text : { "", "red", "clRedd", "cl", "$", "$123456789", "$12G", "0x10", "12a", "1 2",
             "4294967296", "-2147483649", "#FF0000" })
        EXPECT_EQ(colourFromSettingsText(text), 0u) << text;
}

namespace {

// Puts a palette of distinct colours on the application for one test.
class DistinctPalette {
public:
    DistinctPalette()
        : saved(QGuiApplication::palette())
    {
        QPalette palette;
        int shade = 1;
        for (int role = 0; role < QPalette::NColorRoles; ++role)
            if (role != QPalette::NoRole)
                palette.setColor(QPalette::ColorRole(role), QColor(shade++ * 9, 40, 200));
        palette.setColor(QPalette::Disabled, QPalette::Text, QColor(7, 7, 7));
        QGuiApplication::setPalette(palette);
    }
    ~DistinctPalette() { QGuiApplication::setPalette(saved); }

private:
    QPalette saved;
};

QColor drawn(settings::SystemColour index)
{
    return settings::settingsColourToQColor(settings::systemColour(index));
}

} // namespace

TEST(SettingsColourToQColor, PlainColoursAreBlueGreenRed)
{
    EXPECT_EQ(settings::settingsColourToQColor(0x00400000), QColor(0, 0, 0x40));
    EXPECT_EQ(settings::settingsColourToQColor(0x000000FF), QColor(Qt::red));
    EXPECT_EQ(settings::settingsColourToQColor(0x00123456), QColor(0x56, 0x34, 0x12));
}

TEST(SettingsColourToQColor, SystemColoursComeFromTheApplicationPalette)
{
    using settings::SystemColour;
    DistinctPalette distinct;
    const QPalette palette = QGuiApplication::palette();
    EXPECT_EQ(drawn(SystemColour::Window), palette.color(QPalette::Active, QPalette::Base));
    EXPECT_EQ(drawn(SystemColour::WindowText), palette.color(QPalette::Active, QPalette::Text));
    EXPECT_EQ(drawn(SystemColour::BtnFace), palette.color(QPalette::Active, QPalette::Button));
    EXPECT_EQ(drawn(SystemColour::BtnText), palette.color(QPalette::Active, QPalette::ButtonText));
    EXPECT_EQ(drawn(SystemColour::Highlight), palette.color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(drawn(SystemColour::HighlightText), palette.color(QPalette::Active, QPalette::HighlightedText));
    EXPECT_EQ(drawn(SystemColour::InfoBk), palette.color(QPalette::Active, QPalette::ToolTipBase));
    EXPECT_EQ(drawn(SystemColour::InfoText), palette.color(QPalette::Active, QPalette::ToolTipText));
    EXPECT_EQ(drawn(SystemColour::GrayText), QColor(7, 7, 7));
}

TEST(SettingsColourToQColor, UnmappedSystemColoursAndNoneAreBlack)
{
    DistinctPalette distinct;
    EXPECT_EQ(drawn(settings::SystemColour::Background), QColor(Qt::black));
    EXPECT_EQ(settings::settingsColourToQColor(0xFF000040), QColor(Qt::black));
    EXPECT_EQ(settings::settingsColourToQColor(settings::kColourNone), QColor(Qt::black));
}
