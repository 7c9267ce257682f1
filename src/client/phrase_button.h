// A phrase button of the main window: it keeps the whole phrase as its text and shows as much of
// it as fits, ending in an ellipsis, so a long phrase is never clipped mid-letter.
#pragma once

#include <QPushButton>

class PhraseButton : public QPushButton {
    Q_OBJECT

public:
    explicit PhraseButton(QWidget* parent = nullptr);

    // The caption as drawn at the button's present width and font.
    QString shownCaption() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
