// The host dialog: a name, and the port others join on.
#include "thostgame.h"

#include "window_style.h"
#include "wire_limits.h"

#include <QHBoxLayout>
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
    auto* nameRow = new QHBoxLayout;
    auto* nameLabel = new QLabel("Your name:", this);
    edit_playername = new QLineEdit(this);
    edit_playername->setObjectName("edit_playername");
    // The server keeps this many bytes of a name; longer ones would be cut.
    edit_playername->setMaxLength(int(wire::kMaxNameBytes));
    nameLabel->setBuddy(edit_playername);
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(edit_playername, 1);
    layout->addLayout(nameRow);

    auto* note = new QLabel(
        QString("Players join you at this computer's address, port %1. Games hosted here are listed on the "
                "local network unless Options \u2192 Announce My Game is off.")
            .arg(gamePort),
        this);
    note->setObjectName("label_hostnote");
    note->setWordWrap(true);
    layout->addWidget(note);

    label_problem = new QLabel(this);
    label_problem->setObjectName("label_problem");
    label_problem->setStyleSheet(windowstyle::alertLabel());
    label_problem->hide();
    layout->addWidget(label_problem);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    button_host = new QPushButton("Host", this);
    button_host->setObjectName("button_host");
    button_host->setDefault(true);
    auto* button_cancel = new QPushButton("Cancel", this);
    button_cancel->setObjectName("button_cancel");
    buttons->addWidget(button_host);
    buttons->addWidget(button_cancel);
    layout->addLayout(buttons);

    connect(button_host, &QPushButton::clicked, this, &Thostgame::button_hostClick);
    connect(button_cancel, &QPushButton::clicked, this, &QDialog::reject);
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
