#include "phrase_button.h"

#include "window_palette.h"

PhraseButton::PhraseButton(QWidget* parent)
    : PaintedButton(phraseFace(), parent)
{
}

PaintedButton::Face PhraseButton::phraseFace()
{
    namespace p = windowpalette;
    Face face;
    face.top = p::blueButton();
    face.bottom = p::midnight();
    face.hover = p::blueButtonHover();
    face.pressed = p::blueButtonPressed();
    face.edge = p::brass();
    face.text = p::white();
    face.focusRing = p::focusRing();
    face.radius = 4.0;
    face.pixelSize = 11;
    return face;
}
