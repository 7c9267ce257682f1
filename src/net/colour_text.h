// Colour text of chat and action lines: a 24-bit 00BBGGRR colour written as
// one of sixteen names or as "$" and eight hexadecimal digits.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wire {

// The name when the colour is one of the sixteen, else "$" and eight upper-case hex digits.
std::string colourToText(uint32_t colour);

// Reads a name (any letter case), "$" and hex digits (any case) or a decimal
// number. Values beyond 24 bits and anything unreadable give nullopt.
std::optional<uint32_t> colourFromText(std::string_view text);

} // namespace wire
