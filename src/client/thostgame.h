// The host dialog: the name a player hosts a multi-player game under, from a
// window that is not already in one.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class Thostgame : public QDialog {
    Q_OBJECT

public:
    // gamePort is where others will reach the game, shown so the host can tell them.
    explicit Thostgame(quint16 gamePort, QWidget* parent = nullptr);

    void setPlayerName(const QString& name);
    QString playerName() const;

public slots:
    // Host: a name is needed; the dialog then closes and asks for the game.
    void button_hostClick();

signals:
    void hostRequested(const QString& name);

private:
    QLineEdit* edit_playername = nullptr;
    QLabel* label_problem = nullptr;
    QPushButton* button_host = nullptr;
};
