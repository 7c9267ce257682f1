// The about window: the program's name, its version and what it is.
#pragma once

#include <QDialog>

class Tabout : public QDialog {
    Q_OBJECT

public:
    explicit Tabout(QWidget* parent = nullptr);
};
