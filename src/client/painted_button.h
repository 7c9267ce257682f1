// A push button of the main window that draws its own face: a rounded patch (a gradient when
// its top and bottom differ), lighter under the mouse and darker held down, an edge that is the
// focus ring while it has the keyboard, and its caption cut to its width, or its icon filling it.
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
    };

    explicit PaintedButton(const Face& face, QWidget* parent = nullptr);
    const Face& face() const { return face_; }
    // The layout's scale: corners and edges grow with it.
    void setScale(qreal scale);

    // The caption as drawn at the button's present width and font.
    QString shownCaption() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Face face_;
    qreal scale_ = 1.0;
};
