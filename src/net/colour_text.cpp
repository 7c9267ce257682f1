// Colour text both ways.
#include "colour_text.h"

#include "protocol.h"

#include <QByteArrayView>

#include <array>
#include <cstdio>

namespace wire {
namespace {

    bool sameIgnoringCase(std::string_view a, std::string_view b)
    {
        return QByteArrayView(a.data(), qsizetype(a.size()))
                   .compare(QByteArrayView(b.data(), qsizetype(b.size())), Qt::CaseInsensitive)
            == 0;
    }

    constexpr uint32_t kMaxColour = 0xFFFFFF;

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
        if (sameIgnoringCase(text, named.name))
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
