// Value conversions of the settings file: lenient integers and colour text, and the
// stored colour as a QColor for the widgets.
#pragma once

#include <QColor>
#include <QString>

#include <cstdint>
#include <optional>

namespace settings {

// Stored colours are 00BBGGRR values, a system colour (kSystemColour | index), or clNone.
constexpr uint32_t kSystemColour = 0xFF000000;
constexpr uint32_t kColourNone = 0x1FFFFFFF;

// The colour indices of the platform's system palette that have names.
enum class SystemColour : uint32_t {
    ScrollBar = 0,
    Background = 1,
    ActiveCaption = 2,
    InactiveCaption = 3,
    Menu = 4,
    Window = 5,
    WindowFrame = 6,
    MenuText = 7,
    WindowText = 8,
    CaptionText = 9,
    ActiveBorder = 10,
    InactiveBorder = 11,
    AppWorkSpace = 12,
    Highlight = 13,
    HighlightText = 14,
    BtnFace = 15,
    BtnShadow = 16,
    GrayText = 17,
    BtnText = 18,
    InactiveCaptionText = 19,
    BtnHighlight = 20,
    DkShadow3D = 21,
    Light3D = 22,
    InfoText = 23,
    InfoBk = 24,
};

constexpr uint32_t systemColour(SystemColour index) { return kSystemColour | uint32_t(index); }

// A whole decimal number with an optional sign, or "0x"/"0X" and hex digits; surrounding
// blanks are allowed (the ini reader drops them anyway). Anything else, or a number
// outside int, gives nullopt so the caller falls back to its default.
std::optional<int> lenientInt(const QString& text);

// The colour's name from the table (sixteen basic colours, system colours, "clNone"),
// else "$" and eight upper-case hex digits of the 32-bit value.
QString colourToSettingsText(uint32_t colour);

// A table name in any letter case, a decimal number (optional sign, taken as 32 bits),
// or "$" and one to eight hex digits. Anything else gives 0, black.
uint32_t colourFromSettingsText(const QString& text);

// The colour to draw with. A system colour takes the matching colour of the application's
// palette (black for indices with no counterpart). clNone, which only a hand-edited file
// can hold, gives opaque black so text drawn in it stays readable. Any other value is read
// as 00BBGGRR and its top byte ignored.
QColor settingsColourToQColor(uint32_t colour);

} // namespace settings
