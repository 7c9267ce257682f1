// What the window does when its game ends under it (the host ended it, the host
// removed this player, the connection broke), and what the host is asked before
// its own leaving ends the game of the people seated with it. No widgets.
#pragma once

#include "client_state.h"
#include "game_client.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace gameend {

// What the player may do next from the notice of a game that ended.
enum class Choice { JoinGame, HostGame, PlaySolo, Close };

struct Outcome {
    QString told; // the chat line and the notice; empty: nothing to tell
    // The program ends, as it always did: a lobby that is linked starts the next game.
    bool closeWindow = true;
    QString status; // the status line of a window that stays
    QString hint; // the chat line under told, saying how to play on
    std::vector<Choice> choices; // the notice's buttons, in order; empty: a plain notice
};

// What a window does when its connection ended as `how`. The host's own window hears
// its own server go only as the program ends; lobbyLinked: the lobby link connected.
Outcome outcomeOf(GameClient::Ending how, bool ownGameHost, bool lobbyLinked);

// The button's caption for a choice.
QString choiceText(Choice choice);

// The names of the people seated with this window's player: every other taken seat
// but the host's own computer players, which leave with the host.
QStringList otherPeople(const client::ClientState& state, const std::function<bool(int)>& ownComputer);

// The question the host is asked before leaving ends their game; empty when
// nobody else would lose a game.
QString endGameQuestion(const QStringList& people);

} // namespace gameend
