// Message text is 8-bit; widgets hold QString. These convert between the two
// byte for byte, and name the colours of the window's own chat lines (00BBGGRR).
#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

inline QString fromWire(std::string_view bytes)
{
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

inline std::string toWire(const QString& text)
{
    return text.toLatin1().toStdString();
}

namespace chatcolour {
constexpr uint32_t kNavy = 0x800000;
constexpr uint32_t kGrey = 0x808080;
constexpr uint32_t kBlue = 0xFF0000;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kSpyLeft = 0x78989C;
} // namespace chatcolour
