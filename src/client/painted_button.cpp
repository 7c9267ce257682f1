// The main window's painted push buttons.
#include "painted_button.h"

#include "painted_look.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QShortcutEvent>

#include <algorithm>

namespace {

// The caption as read: each lone "&" dropped, each "&&" one "&".
QString withoutMnemonic(const QString& text)
{
    QString read;
    for (qsizetype i = 0; i < text.size(); ++i) {
        // The mark goes and the character after it stays, so "&&" reads as one "&".
        if (text[i] == u'&' && ++i == text.size())
            break;
        read += text[i];
    }
    return read;
}

} // namespace

PaintedButton::PaintedButton(const Face& face, QWidget* parent)
    : QPushButton(parent)
    , face_(face)
{
    // Repainted as the mouse comes and goes, for the hover colour.
    setAttribute(Qt::WA_Hover);
    if (face_.text.isValid() || face_.pixelSize > 0 || face_.bold)
        setTextLook(this, face_.text.isValid() ? face_.text : palette().color(QPalette::ButtonText),
            face_.pixelSize, face_.bold);
}

void PaintedButton::setScale(qreal scale)
{
    if (scale_ == scale)
        return;
    scale_ = scale;
    update();
}

QString PaintedButton::caption() const { return face_.mnemonic ? withoutMnemonic(text()) : text(); }

QString PaintedButton::shownCaption() const
{
    return fontMetrics().elidedText(caption(), Qt::ElideRight, std::max(0, width() - kFrameRoom));
}

bool PaintedButton::event(QEvent* event)
{
    // A push button would take the keyboard and press itself a moment later.
    if (face_.mnemonic && event->type() == QEvent::Shortcut
        && !static_cast<QShortcutEvent*>(event)->isAmbiguous()) {
        if (isEnabled())
            click();
        return true;
    }
    return QPushButton::event(event);
}

void PaintedButton::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && isEnabled()) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void PaintedButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF area = rect();
    const bool down = isDown() || isChecked();
    const bool over = underMouse() && isEnabled();
    Patch patch;
    patch.radius = face_.radius;
    if (face_.top.isValid()) {
        const QColor flat = down && face_.pressed.isValid() ? face_.pressed
            : over && face_.hover.isValid()                 ? face_.hover
                                                            : QColor();
        if (flat.isValid()) {
            patch.fill = flat;
        } else if (face_.bottom.isValid() && face_.bottom != face_.top) {
            QLinearGradient shade(area.topLeft(), area.bottomLeft());
            shade.setColorAt(0.0, face_.top);
            shade.setColorAt(1.0, face_.bottom);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(shade);
            painter.drawRoundedRect(area, face_.radius * scale_, face_.radius * scale_);
        } else {
            patch.fill = face_.top;
        }
    }
    patch.paint(painter, area, scale_);

    if (!icon().isNull()) {
        const QSize shown = iconSize().boundedTo(size());
        const QRect place(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
        icon().paint(&painter, place, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
    }
    if (!text().isEmpty()) {
        painter.setPen(
            palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        painter.setFont(font());
        const QString shown = shownCaption();
        // A caption cut short loses its mnemonic's underline with its end.
        const bool whole = face_.mnemonic && shown == caption();
        const int flags = whole ? Qt::AlignCenter | Qt::TextShowMnemonic : int(Qt::AlignCenter);
        painter.drawText(area.translated(0, down ? 1 : 0), flags, whole ? text() : shown);
    }

    // The edge goes over the face and its picture; the ring takes its place while the button
    // has the keyboard.
    Patch edge;
    edge.radius = face_.radius;
    if (hasFocus() && face_.focusRing.isValid()) {
        edge.edge = face_.focusRing;
        edge.edgeWidth = 2.0;
    } else {
        edge.edge = face_.edge;
        edge.edgeWidth = face_.edgeWidth;
    }
    edge.paint(painter, area, scale_);
}
