// The main window's looks drawn without style sheets: text colours and fonts through the palette
// and QFont, rounded patches of colour painted by the widget itself. A style sheet makes Qt style
// the widget, and everything under it, through its style-sheet engine, which took a sixth of
// the window's start-up and 3 MB of its memory; these do the same drawing directly.
#pragma once

#include <QColor>
#include <QLabel>
#include <QWidget>

// Text in a colour, at a pixel size (0: the application's size) and weight. The font is set on
// the widget, so the layout scaler grows it with the window.
void setTextLook(QWidget* widget, const QColor& colour, int pixelSize = 0, bool bold = false);

// A rounded patch: its fill, its edge (none when invalid) and the edge's width and the corner
// radius at the layout's own size.
struct Patch {
    QColor fill;
    QColor edge;
    qreal edgeWidth = 1.0;
    qreal radius = 0.0;

    bool isEmpty() const { return !fill.isValid() && !edge.isValid(); }
    // Paints the patch over rect, its lengths grown by scale.
    void paint(QPainter& painter, const QRectF& rect, qreal scale) const;
};

// A panel of the main window: a rounded patch behind its children.
class RoundedPanel : public QWidget {
    Q_OBJECT
public:
    explicit RoundedPanel(const Patch& patch, QWidget* parent = nullptr);
    const Patch& patch() const { return patch_; }
    // The layout's scale: corners and edges grow with it.
    void setScale(qreal scale);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Patch patch_;
    qreal scale_ = 1.0;
};

// A label that may sit on a rounded patch of its own.
class PatchLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    void setPatch(const Patch& patch);
    const Patch& patch() const { return patch_; }
    void setScale(qreal scale);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Patch patch_;
    qreal scale_ = 1.0;
};

// The main window's menu bar in navy, and its menus white with a gold bar on the chosen item.
void setMenuBarLook(QWidget* menuBar);
void setMenuLook(QWidget* menu);
