// The start-game dialog: rounds, minutes per round and team play, chosen by
// the host before a game, and in a solo game the computer opponents.
#pragma once

#include <QAbstractButton>
#include <QDialog>
#include <QPixmap>

class ComputerChoice;
class QCheckBox;
class QLineEdit;

// A pair of small arrow buttons stepping a number within fixed bounds and
// showing it in a read-only edit beside them. Steps stop at the bounds.
class UpDown : public QWidget {
    Q_OBJECT

public:
    UpDown(int minimum, int maximum, int position, QWidget* parent = nullptr);

    // The edit that shows the number; the arrows write the new position into it, and the Up and
    // Down keys step it while the edit has the keyboard.
    void setAssociate(QLineEdit* edit);

    int minimum() const { return min; }
    int maximum() const { return max; }
    int position() const { return pos; }
    bool wrap() const { return false; }

    // Sets the position clamped to the bounds, leaving the edit's text alone.
    void setPosition(int position);

    QAbstractButton* upButton() const { return up; }
    QAbstractButton* downButton() const { return down; }

public slots:
    void stepUp();
    void stepDown();

signals:
    void positionChanged(int position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void step(int delta);

    int min;
    int max;
    int pos;
    QLineEdit* associate = nullptr;
    QAbstractButton* up = nullptr;
    QAbstractButton* down = nullptr;
};

// A picture that acts as a button: drawn in code, lighter under the mouse,
// pressed in while held.
class PictureButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit PictureButton(const QString& caption, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool hovered = false;
};

class Tgamestartform : public QDialog {
    Q_OBJECT

public:
    explicit Tgamestartform(QWidget* parent = nullptr);

    // The edit texts exactly as shown; they are sent and stored as they stand.
    QString roundsText() const;
    QString minutesText() const;
    bool teamGame() const;

    // From the settings file: each edit shows the stored text, even out of
    // range, while its up-down takes the number clamped to its bounds.
    void setStoredValues(const QString& roundsText, const QString& minutesText);

    // The offer of a game against computer players (computer_choice.cpp):
    // shown in a solo game only, above the Start picture.
    ComputerChoice& computers();
    void setComputerChoiceShown(bool shown);

public slots:
    // The Start picture: start the game, then store the choices, then hide.
    void button_startClick();

signals:
    void startRequested();
    void saveRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Enter starts the game from anywhere in the dialog, as the Start picture does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLineEdit* editNumRounds = nullptr;
    QLineEdit* editTimePerRound = nullptr;
    UpDown* upDownRounds = nullptr;
    UpDown* upDownMinutes = nullptr;
    QCheckBox* checkTeamGame = nullptr;
    ComputerChoice* computerChoice = nullptr;
    PictureButton* startButton = nullptr;
    int startTop = 0; // the Start picture's place without the offer
};
