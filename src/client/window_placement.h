// Where the main window goes: its stored top-left is the outer frame's, and a
// position that would leave the title bar on no screen is pulled back onto one.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace placement {

// A title bar can be grabbed when at least this much of it is on a screen.
constexpr int kTitleBarHeight = 30;
constexpr int kGripWidth = 60;

// The top-left that keeps a window of `size` grabbable on one of `screens`
// (their available areas): `topLeft` when it already is, else the nearest
// place on the screen closest to it.
QPoint reachableTopLeft(QPoint topLeft, QSize size, const QList<QRect>& screens);

// The window's bounds as the settings keep them: the frame's top-left and the
// inner size.
QRect storedBounds(const QWidget& window);
// Puts the window there, on a screen of this desktop.
void place(QWidget& window, const QRect& bounds);

} // namespace placement
