// The chat pane: a read-only rich-text view of chat, action and status lines
// whose web links are underlined and can be clicked.
#pragma once

#include "link_finder.h"

#include <QColor>
#include <QTextEdit>

#include <optional>

class ChatPane : public QTextEdit {
    Q_OBJECT

public:
    // Lines the pane keeps, and their characters together. Past either, the
    // oldest lines go, a tenth of the bound at a time (each removal moves
    // every line after it). A chat never scrolls back that far, and a server
    // that floods the pane holds it at a few megabytes.
    static constexpr int kMaxLines = 5000;
    static constexpr qsizetype kMaxCharacters = 500'000;

    explicit ChatPane(QWidget* parent = nullptr);

    // Appends one line as shownline::shownLine prepares it: up to and
    // including its first ":" in bold, the rest regular, all in `colour`, web
    // links underlined. With `scrollOff` the view and the selection stay where
    // they were; otherwise the view follows to the new line.
    void addLine(const QString& line, QColor colour, bool scrollOff);

    // Font size of the whole pane in points, old lines included, as the player chose it.
    void setTextSize(int points);
    int textSize() const;
    // The layout's scale: the text grows with the window like every other control's, from the
    // size the player chose.
    void setScale(qreal scale);

    // The character under a point of the viewport, or -1 where there is none.
    int characterAt(const QPoint& viewportPos) const;
    // The link under a point of the viewport, positions in document characters.
    std::optional<FoundLink> linkAt(const QPoint& viewportPos) const;

signals:
    // A left press on a link; the link's characters are selected by then.
    void linkActivated(const QString& link);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    struct Dropped {
        int characters = 0;
        int height = 0; // in pixels of the view
    };
    // Makes room for a line of `incoming` characters within the bounds.
    Dropped dropOldestLines(qsizetype incoming);
    void mainchatMouseMove(const QPoint& viewportPos);
    bool mainchatMouseDown(Qt::MouseButton button, const QPoint& viewportPos);
    void showTextSize();

    int chosenSize = 0;
    qreal scale_ = 1.0;
};
