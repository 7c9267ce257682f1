// A phrase button of the main window: blue, it keeps the whole phrase as its text and shows as
// much of it as fits, ending in an ellipsis, so a long phrase is never clipped mid-letter.
#pragma once

#include "painted_button.h"

class PhraseButton : public PaintedButton {
    Q_OBJECT

public:
    explicit PhraseButton(QWidget* parent = nullptr);
    static Face phraseFace();
};
