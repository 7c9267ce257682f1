// The small picture beside a computer player's name in the roster, drawn in
// code like the game's other pictures, sharp at any device pixel ratio.
#pragma once

#include <QPixmap>
#include <QSize>

namespace Pictures {

inline constexpr QSize kComputerMarkerSize { 14, 16 };

// A little robot's head: a steel-blue face with two lit eyes under an antenna.
QPixmap computerMarker(qreal dpr);

} // namespace Pictures
