// Message and tally text is bytes; widgets hold QString. Both directions follow
// the one rule of text_codec.h. Also the colours (00BBGGRR) of the window's own
// chat lines.
#pragma once

#include "text_codec.h"

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

inline QString fromWire(std::string_view bytes) { return wire::decodeText(bytes); }

inline std::string toWire(const QString& text) { return wire::encodeText(text); }

namespace chatcolour {
constexpr uint32_t kNavy = 0x800000;
constexpr uint32_t kGrey = 0x808080;
constexpr uint32_t kBlue = 0xFF0000;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kSpyLeft = 0x78989C;
} // namespace chatcolour
