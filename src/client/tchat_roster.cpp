// Tchat's roster: arrivals and departures of seats and spies, the opponents
// the tally records, removing a player, and the end of the connection.
#include "tchat.h"

#include "board_palette.h"
#include "game_end.h"
#include "outside_text.h"
#include "roster_line.h"
#include "sound_player.h"
#include "tspylist.h"
#include "ttallylist.h"
#include "wire_text.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

namespace {

const QString kWaiting = "<Waiting>";

// The number stays first and reads as a number, whatever letters or direction controls the name holds.
QString spyLine(int number, const QString& name) { return QString("%1: %2").arg(number).arg(isolated(name)); }

} // namespace

void Tchat::newplayerinfo(int number, const QString& name)
{
    if (number == client_->mynumber()) {
        addlinetochat("You are Connected.", chatcolour::kNavy);
        loadinifile();
    } else {
        addlinetochat(isolated(name) + " has Connected.", chatcolour::kNavy);
        playsounds("entered");
    }
    if (isSpy(number)) {
        // The client keeps a bounded list; the window shows what it kept.
        const auto& spies = client_->state().spies;
        if (!spies.empty() && spies.back().number == number && spies.back().name == name
            && spylist->lines().size() < int(spies.size()))
            spylist->addSpyLine(spyLine(number, name));
        addlinetochat(
            number == client_->mynumber() ? QString("You are spying.") : isolated(name) + " is spying.",
            chatcolour::kNavy);
    } else {
        showRosterName(seatLabel("label_playername", number), seatLabel("label_computerlevel", number),
            rosterName(name));
    }
    loadchecklist();
}

void Tchat::playerdisconnected(int number, const QString& name, const QString& seatName, bool spyLeft)
{
    if (isSeat(number)) {
        if (!seatName.isEmpty())
            addlinetochat(isolated(seatName) + " disconnected.", chatcolour::kGrey);
        showRosterName(seatLabel("label_playername", number), seatLabel("label_computerlevel", number),
            rosterName(kWaiting));
    }
    loadchecklist();
    if (spyLeft) {
        addlinetochat(isolated(name) + " has left.", chatcolour::kSpyLeft);
        spylist->removeSpyLine(spyLine(number, name));
    }
}

void Tchat::loadchecklist()
{
    QStringList others;
    for (const QString& name : client_->state().opponents())
        others << name;
    tallylist->setPlayersInGame(others);
    showComputerPlayers();
}

void Tchat::label_playername1ContextPopup(int seat, const QPoint& globalPos)
{
    RemoveFromGame1->setEnabled(client_->state().ishost && client_->state().seat(seat).taken);
    popupKickSeat = seat;
    if (!globalPos.isNull())
        popup_kick->popup(globalPos);
}

void Tchat::RemoveFromGame1Click()
{
    // Removing one's own seat ends one's own game: ask first.
    if (popupKickSeat == client_->mynumber() && setup_.ask
        && !setup_.ask("Remove yourself from the game? This ends your game and closes Lexmire."))
        return;
    kicking(popupKickSeat);
}

void Tchat::kicking(int number) { client_->kicking(number); }

void Tchat::connectFailed(const QString& host, const QString& reason)
{
    const QString text = QString("Could not reach %1: %2.").arg(host, reason);
    addlinetochat(text, chatcolour::kBlue);
    setStatus(text, QColor(0xff, 0xb4, 0xa8));
    if (!setup_.ask)
        return; // nobody to ask: the line says it all
    // Asked from the event loop, not from inside the endpoint's notification.
    QMetaObject::invokeMethod(
        this,
        [this, text, host] {
            if (!setup_.ask(text + "\n\nTry again?")) {
                joinDeclined();
                return;
            }
            try {
                addlinetochat("Connecting to " + host + " again..", chatcolour::kNavy);
                client_->connectTo(client_->hostaddress(), client_->playername());
            } catch (const ESockException& error) {
                showError(QString::fromStdString(error.what()));
            }
        },
        Qt::QueuedConnection);
}

void Tchat::connectionEnded(GameClient::Ending how)
{
    if (ending)
        return;
    ending = true;
    const bool lobbyLinked = setup_.lobbyLinkConnected && setup_.lobbyLinkConnected();
    const gameend::Outcome outcome = gameend::outcomeOf(how, client_->state().ishost, lobbyLinked);
    if (!outcome.told.isEmpty())
        addlinetochat(outcome.told, chatcolour::kBlue);
    if (outcome.closeWindow) {
        if (!outcome.told.isEmpty() && setup_.showNotice)
            setup_.showNotice(outcome.told);
        // Closing ends the program, as it always has when the game's connection goes.
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    }
    // The last scores and the chat stay; File offers the next game.
    joinedFromWindow = false;
    setRole(GameRole::None);
    button_start->hide();
    StartGame1->setEnabled(false);
    setStatus(outcome.status, boardpalette::plainText());
    addlinetochat(outcome.hint, chatcolour::kNavy);
    // Asked from the event loop: a choice replaces the client that is still inside its signal.
    QMetaObject::invokeMethod(
        this,
        [this, outcome] {
            QStringList captions;
            for (gameend::Choice choice : outcome.choices)
                captions << gameend::choiceText(choice);
            if (!setup_.offerChoices) {
                if (setup_.showNotice)
                    setup_.showNotice(outcome.told);
                return;
            }
            const int chosen = setup_.offerChoices(outcome.told, captions);
            if (chosen < 0 || chosen >= int(outcome.choices.size()))
                return;
            switch (outcome.choices[std::size_t(chosen)]) {
            case gameend::Choice::JoinGame:
                JoinaGame1Click();
                break;
            case gameend::Choice::HostGame:
                HostaGame1Click();
                break;
            case gameend::Choice::PlaySolo:
                PlaySolo1Click();
                break;
            case gameend::Choice::Close:
                break;
            }
        },
        Qt::QueuedConnection);
}
