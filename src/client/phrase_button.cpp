// The phrase button's caption, cut to its width.
#include "phrase_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>

namespace {

// Pixels of the button's width that its border and inner margins take on either side together.
constexpr int kFrameRoom = 10;

} // namespace

PhraseButton::PhraseButton(QWidget* parent)
    : QPushButton(parent)
{
}

QString PhraseButton::shownCaption() const
{
    ensurePolished(); // the style sheet's font decides the width of every letter
    return fontMetrics().elidedText(text(), Qt::ElideRight, std::max(0, width() - kFrameRoom));
}

void PhraseButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text = shownCaption();
    painter.drawControl(QStyle::CE_PushButton, option);
}
