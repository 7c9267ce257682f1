// Colour text both ways.
#include "colour_text.h"

#include "protocol.h"

#include <array>
#include <cstdio>

namespace wire {
namespace {

struct NamedColour {
    const char* name;
    uint32_t value;
};

constexpr std::array<NamedColour, 16> kNamedColours { {
    { "clBlack", 0x000000 }, { "clMaroon", 0x000080 }, { "clGreen", 0x008000 }, { "clOlive", 0x008080 },
    { "clNavy", 0x800000 }, { "clPurple", 0x800080 }, { "clTeal", 0x808000 }, { "clGray", 0x808080 },
    { "clSilver", 0xC0C0C0 }, { "clRed", 0x0000FF }, { "clLime", 0x00FF00 }, { "clYellow", 0x00FFFF },
    { "clBlue", 0xFF0000 }, { "clFuchsia", 0xFF00FF }, { "clAqua", 0xFFFF00 }, { "clWhite", 0xFFFFFF },
} };

constexpr uint32_t kMaxColour = 0xFFFFFF;

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = char(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string colourToText(uint32_t colour)
{
    for (const NamedColour& named : kNamedColours)
        if (named.value == colour)
            return named.name;
    char text[10];
    std::snprintf(text, sizeof text, "$%08X", colour);
    return text;
}

std::optional<uint32_t> colourFromText(std::string_view text)
{
    for (const NamedColour& named : kNamedColours)
        if (equalsIgnoringCase(text, named.name))
            return named.value;
    if (!text.empty() && text.front() == '$') {
        text.remove_prefix(1);
        if (text.empty() || text.size() > 8)
            return std::nullopt;
        uint32_t value = 0;
        for (char c : text) {
            int digit = hexDigit(c);
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + uint32_t(digit);
        }
        return value <= kMaxColour ? std::optional<uint32_t>(value) : std::nullopt;
    }
    std::optional<int32_t> number = strictToInt(text);
    if (!number || *number < 0 || uint32_t(*number) > kMaxColour)
        return std::nullopt;
    return uint32_t(*number);
}

} // namespace wire
