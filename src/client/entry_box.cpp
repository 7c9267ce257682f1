#include "entry_box.h"

#include "painted_look.h"
#include "window_palette.h"

#include <QPainter>

EntryBox::EntryBox(const QString& text, QWidget* parent)
    : QLineEdit(text, parent)
{
    // The face below is the box's whole frame; Qt's own would square its corners.
    setFrame(false);
    setTextMargins(4, 2, 4, 2);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::transparent);
    colours.setColor(QPalette::Highlight, windowpalette::gold());
    colours.setColor(QPalette::HighlightedText, windowpalette::ink());
    setPalette(colours);
    setTextColour(windowpalette::black());
}

void EntryBox::setTextColour(const QColor& colour)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Text, colour);
    setPalette(colours);
}

QColor EntryBox::textColour() const { return palette().color(QPalette::Text); }

void EntryBox::setScale(qreal scale)
{
    if (scale_ == scale)
        return;
    scale_ = scale;
    update();
}

void EntryBox::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        const bool ring = hasFocus();
        Patch face { windowpalette::white(), ring ? windowpalette::focusRing() : windowpalette::brass(),
            ring ? 2.0 : 1.0, 4.0 };
        face.paint(painter, rect(), scale_);
    }
    QLineEdit::paintEvent(event);
}
