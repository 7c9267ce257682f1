// Colour text of chat and action lines: a 24-bit 00BBGGRR colour written as
// one of sixteen names or as "$" and eight hexadecimal digits.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wire {

struct NamedColour {
    const char* name;
    uint32_t value; // 00BBGGRR
};

// The sixteen colours with names, as chat lines and the settings file write them.
inline constexpr std::array<NamedColour, 16> kNamedColours { {
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
} };

// The name when the colour is one of the sixteen, else "$" and eight upper-case hex digits.
std::string colourToText(uint32_t colour);

// Reads a name (any letter case), "$" and hex digits (any case) or a decimal
// number. Values beyond 24 bits and anything unreadable give nullopt.
std::optional<uint32_t> colourFromText(std::string_view text);

} // namespace wire
