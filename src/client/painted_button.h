// A push button of the main window that draws its own face: a rounded patch (a gradient when
// its top and bottom differ), lighter under the mouse and darker held down, an edge that is the
// focus ring while it has the keyboard, and its caption cut to its width, or its icon filling it.
// Enter presses it as Space does, though the main window is no dialog.
#pragma once

#include <QColor>
#include <QPushButton>

class PaintedButton : public QPushButton {
    Q_OBJECT
public:
    struct Face {
        QColor top;
        QColor bottom;
        QColor hover;
        QColor pressed;
        QColor edge; // none when invalid
        qreal edgeWidth = 1.0;
        QColor text;
        QColor focusRing;
        qreal radius = 4.0;
        int pixelSize = 0; // 0: the application's size
        bool bold = false;
        // The caption's "&" marks the letter that presses it with Alt, drawn underlined; the press
        // comes at once and leaves the keyboard where it was (on the board, say). Otherwise an
        // "&" is drawn as it stands (a phrase is the player's own text).
        bool mnemonic = false;
    };

    // Pixels of the button's width that its edge and inner margins take on either side together.
    static constexpr int kFrameRoom = 10;

    explicit PaintedButton(const Face& face, QWidget* parent = nullptr);
    const Face& face() const { return face_; }
    // The layout's scale: corners and edges grow with it.
    void setScale(qreal scale);

    // The caption as drawn at the button's present width and font, without its mnemonic mark.
    QString shownCaption() const;
    // The whole caption as read, without its mnemonic mark.
    QString caption() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Face face_;
    qreal scale_ = 1.0;
};
