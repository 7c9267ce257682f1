// The host dialog: a name, and the port others join on.
#include "thostgame.h"

#include "name_dialog_rows.h"
#include "window_style.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

Thostgame::Thostgame(quint16 gamePort, QWidget* parent)
    : QDialog(parent)
{
    setObjectName("Thostgame");
    setWindowTitle("Host a Game");
    setStyleSheet(
        windowstyle::navyWindow("Thostgame") + windowstyle::fields() + windowstyle::goldButtons("4px 18px"));

    auto* layout = new QVBoxLayout(this);
    edit_playername = dialogrows::addNameRow(this, layout);

    auto* note = new QLabel(
        QString("Players join you at this computer's address, port %1. Games hosted here are listed on the "
                "local network unless Options \u2192 Announce My Game is off.")
            .arg(gamePort),
        this);
    note->setObjectName("label_hostnote");
    note->setWordWrap(true);
    layout->addWidget(note);

    label_problem = dialogrows::addProblemLine(this, layout);

    button_host = dialogrows::addButtonRow(this, layout, "Host", "button_host");

    connect(button_host, &QPushButton::clicked, this, &Thostgame::button_hostClick);
    resize(360, sizeHint().height());
}

void Thostgame::setPlayerName(const QString& name)
{
    edit_playername->setText(name);
    label_problem->hide();
}

QString Thostgame::playerName() const { return edit_playername->text().trimmed(); }

void Thostgame::button_hostClick()
{
    const QString name = playerName();
    if (name.isEmpty()) {
        label_problem->setText("Type the name you want to play under.");
        label_problem->show();
        edit_playername->setFocus();
        return;
    }
    label_problem->hide();
    accept();
    emit hostRequested(name);
}
