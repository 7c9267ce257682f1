// The program's widget style: the platform's own, with the few pictures it would
// otherwise read from files drawn here instead.
#include "lexmire_style.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

namespace {

// Two chevrons pointing along the bar: right for a horizontal bar, down for a vertical one.
class ChevronIconEngine : public QIconEngine {
public:
    explicit ChevronIconEngine(bool pointsDown)
        : pointsDown_(pointsDown)
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        const qreal side = std::min(rect.width(), rect.height());
        if (side <= 0)
            return;
        const QPalette palette;
        const QColor ink = palette.color(
            mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active, QPalette::ButtonText);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(QRectF(rect).center());
        if (pointsDown_)
            painter->rotate(90);
        painter->scale(side / 16.0, side / 16.0);
        QPainterPath path;
        for (qreal x : { -4.5, 0.5 }) {
            path.moveTo(x, -4.0);
            path.lineTo(x + 4.0, 0.0);
            path.lineTo(x, 4.0);
        }
        painter->setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->setBrush(Qt::NoBrush);
        painter->drawPath(path);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap picture(size);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return picture;
    }

    QIconEngine* clone() const override { return new ChevronIconEngine(pointsDown_); }

private:
    bool pointsDown_;
};

} // namespace

LexmireStyle::LexmireStyle() = default;

QIcon LexmireStyle::standardIcon(
    StandardPixmap which, const QStyleOption* option, const QWidget* widget) const
{
    switch (which) {
    case SP_ToolBarHorizontalExtensionButton:
        return QIcon(new ChevronIconEngine(false));
    case SP_ToolBarVerticalExtensionButton:
        return QIcon(new ChevronIconEngine(true));
    default:
        return QProxyStyle::standardIcon(which, option, widget);
    }
}
