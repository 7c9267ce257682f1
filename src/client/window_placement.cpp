// Placing the main window from stored bounds.
#include "window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <climits>

namespace placement {

QPoint reachableTopLeft(QPoint topLeft, QSize size, const QList<QRect>& screens)
{
    const QRect titleBar(topLeft, QSize(std::max(size.width(), kGripWidth), kTitleBarHeight));
    const QRect* nearest = nullptr;
    qint64 nearestDistance = LLONG_MAX;
    for (const QRect& screen : screens) {
        const QRect onScreen = screen.intersected(titleBar);
        if (onScreen.width() >= std::min(kGripWidth, titleBar.width())
            && onScreen.height() >= kTitleBarHeight / 3)
            return topLeft;
        const QPoint delta = screen.center() - titleBar.center();
        const qint64 distance = qint64(delta.x()) * delta.x() + qint64(delta.y()) * delta.y();
        if (distance < nearestDistance) {
            nearestDistance = distance;
            nearest = &screen;
        }
    }
    if (!nearest)
        return topLeft;
    const int x = std::clamp(
        topLeft.x(), nearest->left(), std::max(nearest->left(), nearest->right() - size.width() + 1));
    const int y = std::clamp(
        topLeft.y(), nearest->top(), std::max(nearest->top(), nearest->bottom() - kTitleBarHeight + 1));
    return QPoint(x, y);
}

QRect storedBounds(const QWidget& window)
{
    // pos() of a window is its frame's top-left; size() the area inside it.
    return QRect(window.pos(), window.size());
}

void place(QWidget& window, const QRect& bounds)
{
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    window.resize(bounds.size());
    window.move(reachableTopLeft(bounds.topLeft(), bounds.size(), screens));
}

} // namespace placement
