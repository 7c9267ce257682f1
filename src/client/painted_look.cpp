#include "painted_look.h"

#include "window_palette.h"

#include <QApplication>
#include <QPainter>

#include <algorithm>

void setTextLook(QWidget* widget, const QColor& colour, int pixelSize, bool bold)
{
    QPalette palette = widget->palette();
    for (const QPalette::ColorRole role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        palette.setColor(role, colour);
    widget->setPalette(palette);
    QFont font = QApplication::font(widget);
    if (pixelSize > 0)
        font.setPixelSize(pixelSize);
    font.setBold(bold);
    if (widget->font() != font || !widget->testAttribute(Qt::WA_SetFont))
        widget->setFont(font);
}

void Patch::paint(QPainter& painter, const QRectF& rect, qreal scale) const
{
    if (isEmpty())
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal width = edge.isValid() ? edgeWidth * scale : 0.0;
    // The edge is drawn inside the rectangle, as a style sheet's border is.
    const QRectF inside = rect.adjusted(width / 2, width / 2, -width / 2, -width / 2);
    const qreal r = std::max(0.0, radius * scale - width / 2);
    painter.setPen(edge.isValid() ? QPen(edge, width) : QPen(Qt::NoPen));
    painter.setBrush(fill.isValid() ? QBrush(fill) : QBrush(Qt::NoBrush));
    painter.drawRoundedRect(inside, r, r);
}

RoundedPanel::RoundedPanel(const Patch& patch, QWidget* parent)
    : QWidget(parent)
    , patch_(patch)
{
}

void RoundedPanel::setScale(qreal scale)
{
    if (scale_ == scale)
        return;
    scale_ = scale;
    update();
}

void RoundedPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    patch_.paint(painter, rect(), scale_);
}

void PatchLabel::setPatch(const Patch& patch)
{
    patch_ = patch;
    update();
}

void PatchLabel::setScale(qreal scale)
{
    if (scale_ == scale)
        return;
    scale_ = scale;
    update();
}

void PatchLabel::paintEvent(QPaintEvent* event)
{
    if (!patch_.isEmpty()) {
        QPainter painter(this);
        patch_.paint(painter, rect(), scale_);
    }
    QLabel::paintEvent(event);
}

void setMenuBarLook(QWidget* menuBar)
{
    namespace p = windowpalette;
    QPalette colours = menuBar->palette();
    colours.setColor(QPalette::Window, p::navy());
    colours.setColor(QPalette::Button, p::navy());
    colours.setColor(QPalette::WindowText, p::white());
    colours.setColor(QPalette::ButtonText, p::white());
    colours.setColor(QPalette::Highlight, p::gold());
    colours.setColor(QPalette::HighlightedText, p::ink());
    menuBar->setPalette(colours);
    menuBar->setAutoFillBackground(true);
}

void setMenuLook(QWidget* menu)
{
    namespace p = windowpalette;
    QPalette colours = menu->palette();
    for (const QPalette::ColorRole role : { QPalette::Window, QPalette::Base, QPalette::Button })
        colours.setColor(role, p::white());
    for (const QPalette::ColorRole role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        colours.setColor(role, p::ink());
    colours.setColor(QPalette::Highlight, p::gold());
    colours.setColor(QPalette::HighlightedText, p::ink());
    for (const QPalette::ColorRole role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        colours.setColor(QPalette::Disabled, role, p::disabledText());
    menu->setPalette(colours);
}
