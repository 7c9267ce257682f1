// Grows the window's fixed layout with the window: every control under the main panel keeps its
// place, size, font (also one its owner sets later) and style-sheet lengths in proportion, and
// the panel stays centred. At the default size nothing moves.
#pragma once

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>

#include <map>
#include <set>

class QWidget;

class LayoutScaler : public QObject {
    Q_OBJECT
public:
    // The main panel's own size and its margin in the window's client area.
    static constexpr QSize kPanelSize { 790, 489 };
    static constexpr int kMargin = 4;
    // A larger scale would only blur pictures drawn for it; the board is already larger than
    // most screens at this.
    static constexpr double kMaxScale = 4.0;

    // area: the client area whose size decides the scale; panel: the main panel it centres.
    LayoutScaler(QWidget* area, QWidget* panel);

    // Off, the layout stays at its own size in the top-left corner, as it always was.
    void setEnabled(bool on);
    bool isEnabled() const { return enabled; }
    qreal scale() const { return current; }
    // Works out the scale for the area's size and lays everything out for it.
    void apply();

    // A control placed by its owner (the wand follows the word): the scaler leaves it alone.
    void exclude(QWidget* widget);

    // The scale for a client area: the smaller of its two ratios over the panel and margins,
    // never below 1.
    static qreal scaleFor(QSize area);
    // A style sheet with each length in pixels multiplied by the scale ("14px" at 1.5 "21px").
    static QString scaledStyleSheet(const QString& sheet, qreal scale);
    // A font at a scale: its pixel or point size grown.
    static QFont scaledFont(QFont font, qreal scale);
    // A base rectangle at a scale, its edges rounded, so neighbours stay flush.
    static QRect scaledRect(const QRect& base, qreal scale);

signals:
    void scaleChanged(qreal scale);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        QPointer<QWidget> widget;
        QRect geometry;
        QString sheet; // as its owner last set it, at the layout's own size
        QString applied; // as the scaler set it
        QFont font;
        bool scalesFont = true;
    };
    void collect(QWidget* parent);
    void layOut(Entry& entry);
    void placePanel();

    QPointer<QWidget> area;
    QPointer<QWidget> panel;
    std::map<QWidget*, Entry> entries;
    std::set<QWidget*> excluded;
    qreal current = 1.0;
    bool enabled = true;
    bool applying = false;
};
