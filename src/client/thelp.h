// The help window: the rules, how to connect, and how words score.
#pragma once

#include <QDialog>

class Thelp : public QDialog {
    Q_OBJECT

public:
    explicit Thelp(QWidget* parent = nullptr);

    // The help as rich text, as the window shows it.
    static QString helpText();
};
