// The start dialog's offer of a solo game against the computer: a tick, the
// computer players' level and how many of them sit down before the start.
#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;

class ComputerChoice : public QWidget {
    Q_OBJECT
public:
    // The solo player and three computers fill the four seats.
    static constexpr int kMostComputers = 3;
    static constexpr int kDefaultLevel = 2;

    explicit ComputerChoice(QWidget* parent = nullptr);

    bool wanted() const;
    int level() const; // 1 to 5
    int count() const; // 1 to kMostComputers
    // Out-of-range values (a hand-edited settings file) take the nearest bound.
    void setChoice(bool wanted, int level, int count);
    static int validLevel(int level);
    static int validCount(int count);

private:
    QCheckBox* checkComputer = nullptr;
    QComboBox* comboLevel = nullptr;
    QComboBox* comboCount = nullptr;
};
