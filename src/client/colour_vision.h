// How colours look to eyes without red or green cones (protanopia, deuteranopia) and in
// greyscale: the checks that the board's markers stay apart for every player.
#pragma once

#include <QColor>
#include <QImage>

#include <algorithm>
#include <array>
#include <cmath>

namespace colourvision {

enum class Vision { Protanopia, Deuteranopia, Greyscale };

namespace detail {

    inline double toLinear(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }
    inline double toGamma(double c)
    {
        c = std::clamp(c, 0.0, 1.0);
        return c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055;
    }

    // Machado, Oliveira and Fernandes (2009), full severity, on linear RGB.
    inline const std::array<double, 9>& matrixOf(Vision vision)
    {
        static const std::array<double, 9> protanopia { 0.152286, 1.052583, -0.204868, 0.114503, 0.786281,
            0.099216, -0.003882, -0.048116, 1.051998 };
        static const std::array<double, 9> deuteranopia { 0.367322, 0.860646, -0.227968, 0.280085, 0.672501,
            0.047413, -0.011820, 0.042940, 0.968881 };
        return vision == Vision::Protanopia ? protanopia : deuteranopia;
    }

} // namespace detail

inline QColor simulate(const QColor& colour, Vision vision)
{
    const double r = detail::toLinear(colour.redF());
    const double g = detail::toLinear(colour.greenF());
    const double b = detail::toLinear(colour.blueF());
    if (vision == Vision::Greyscale) {
        const double y = detail::toGamma(0.2126 * r + 0.7152 * g + 0.0722 * b);
        return QColor::fromRgbF(float(y), float(y), float(y), colour.alphaF());
    }
    const auto& m = detail::matrixOf(vision);
    return QColor::fromRgbF(float(detail::toGamma(m[0] * r + m[1] * g + m[2] * b)),
        float(detail::toGamma(m[3] * r + m[4] * g + m[5] * b)),
        float(detail::toGamma(m[6] * r + m[7] * g + m[8] * b)), colour.alphaF());
}

// A whole picture as such eyes see it.
inline QImage simulate(const QImage& picture, Vision vision)
{
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    // Pictures hold few distinct colours: each is worked out once.
    QRgb lastIn = 0;
    QRgb lastOut = simulate(QColor::fromRgba(0), vision).rgba();
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if (line[x] != lastIn) {
                lastIn = line[x];
                lastOut = simulate(QColor::fromRgba(lastIn), vision).rgba();
            }
            line[x] = lastOut;
        }
    }
    return out;
}

} // namespace colourvision
