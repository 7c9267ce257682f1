// The chat entry box: white, with a brass edge that becomes the focus ring while it has the
// keyboard, its text in the player's chat colour. It draws its own face, as the main window's
// other controls do, rather than through a style sheet.
#pragma once

#include <QLineEdit>

class EntryBox : public QLineEdit {
    Q_OBJECT
public:
    explicit EntryBox(const QString& text, QWidget* parent = nullptr);
    void setTextColour(const QColor& colour);
    QColor textColour() const;
    void setScale(qreal scale);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal scale_ = 1.0;
};
