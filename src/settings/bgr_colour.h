// Colours travel and are stored as 24-bit 00BBGGRR values; widgets want QColor.
#pragma once

#include <QColor>

#include <cstdint>

inline QColor colorFromBgr(uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

inline uint32_t bgrFromColor(const QColor& color)
{
    return uint32_t(color.red()) | (uint32_t(color.green()) << 8) | (uint32_t(color.blue()) << 16);
}
