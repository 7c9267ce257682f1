// The end of a game as the window tells it, and the host's question before leaving.
#include "game_end.h"

#include "outside_text.h"

namespace gameend {

Outcome outcomeOf(GameClient::Ending how, bool ownGameHost, bool lobbyLinked)
{
    Outcome outcome;
    switch (how) {
    case GameClient::Ending::Removed:
        outcome.told = "You were removed from the game.";
        break;
    case GameClient::Ending::HostEnded:
        outcome.told = ownGameHost ? QString() : QString("The host has ended the game.");
        break;
    case GameClient::Ending::Lost:
        outcome.told = "The connection to the game was lost.";
        break;
    case GameClient::Ending::Closed:
        break;
    }
    // Nothing told: the window closed its own connection, or its program's server went.
    if (outcome.told.isEmpty() || lobbyLinked)
        return outcome;
    outcome.closeWindow = false;
    outcome.status = "The game has ended.";
    outcome.hint
        = "The game has ended. Choose File \u2192 Join a Game..., Host a Game... or Play Solo to play on.";
    outcome.choices = { Choice::JoinGame, Choice::HostGame, Choice::PlaySolo, Choice::Close };
    return outcome;
}

QString choiceText(Choice choice)
{
    switch (choice) {
    case Choice::JoinGame:
        return "Join a Game\u2026";
    case Choice::HostGame:
        return "Host a Game\u2026";
    case Choice::PlaySolo:
        return "Play Solo";
    case Choice::Close:
        break;
    }
    return "Close";
}

QStringList otherPeople(const client::ClientState& state, const std::function<bool(int)>& ownComputer)
{
    QStringList people;
    for (int seat = 1; seat <= kSeats; ++seat) {
        const client::Seat& held = state.seat(seat);
        if (held.taken && seat != state.mynumber && !(ownComputer && ownComputer(seat)))
            people << held.name;
    }
    return people;
}

QString endGameQuestion(const QStringList& people)
{
    if (people.isEmpty())
        return {};
    // A name with right-to-left letters cannot reorder the question around it.
    QStringList shown;
    for (const QString& name : people)
        shown << isolated(name);
    QString names = shown.last();
    if (shown.size() > 1)
        names = shown.mid(0, shown.size() - 1).join(", ") + " and " + names;
    return "End the game for " + names + "?";
}

} // namespace gameend
