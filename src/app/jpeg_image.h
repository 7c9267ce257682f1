// JPEG decoding through libjpeg, for the pictures embedded in the program.
#pragma once

#include <QByteArray>
#include <QImage>

// Pictures are small illustrations; a header claiming more is refused before
// any pixel memory is taken, so a hostile file cannot ask for gigabytes.
inline constexpr long long kMaxJpegPixels = 16LL * 1024 * 1024;

// Decodes a whole JPEG file held in memory into an RGB image. Corrupt,
// truncated or unsupported data (including CMYK files and pictures larger than
// kMaxJpegPixels) gives a null image; the process never ends on bad input.
QImage decodeJpeg(const QByteArray& data);
