// The chat pane: a read-only rich-text view of chat, action and status lines
// whose web and mail links can be clicked.
#pragma once

#include "link_finder.h"

#include <QColor>
#include <QTextEdit>

#include <optional>

class ChatPane : public QTextEdit {
    Q_OBJECT

public:
    explicit ChatPane(QWidget* parent = nullptr);

    // Appends one line: up to and including its first ":" in bold, the rest
    // regular, all in `colour`. With `scrollOff` the view and the selection
    // stay where they were; otherwise the view follows to the new line.
    void addLine(const QString& line, QColor colour, bool scrollOff);

    // Font size of the whole pane in points, old lines included.
    void setTextSize(int points);
    int textSize() const;

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
    void mainchatMouseMove(const QPoint& viewportPos);
    bool mainchatMouseDown(Qt::MouseButton button, const QPoint& viewportPos);
};
