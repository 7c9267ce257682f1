// What the window does when its game ends under it, what the host is asked before
// leaving, and how a failure to host is told: no window needed.
#include "game_end.h"
#include "hosting_failure.h"

#include <gtest/gtest.h>

using gameend::Choice;
using Ending = GameClient::Ending;

TEST(GameEnd, AGameEndedUnderAWindowNoLobbyStartedLeavesItOpenToPlayOn)
{
    const std::pair<Ending, const char*> told[] = {
        { Ending::HostEnded, "The host has ended the game." },
        { Ending::Removed, "You were removed from the game." },
        { Ending::Lost, "The connection to the game was lost." },
    };
    for (const auto& [how, text] : told) {
        const gameend::Outcome outcome = gameend::outcomeOf(how, false, false);
        EXPECT_EQ(outcome.told, text);
        EXPECT_FALSE(outcome.closeWindow) << text;
        EXPECT_EQ(outcome.status, "The game has ended.");
        EXPECT_EQ(outcome.hint,
            "The game has ended. Choose File \u2192 Join a Game..., Host a Game... or Play Solo to play on.");
        EXPECT_EQ(outcome.choices,
            (std::vector<Choice> { Choice::JoinGame, Choice::HostGame, Choice::PlaySolo, Choice::Close }));
    }
    QStringList captions;
    for (Choice choice : { Choice::JoinGame, Choice::HostGame, Choice::PlaySolo, Choice::Close })
        captions << gameend::choiceText(choice);
    EXPECT_EQ(captions, QStringList({ "Join a Game\u2026", "Host a Game\u2026", "Play Solo", "Close" }));
}

TEST(GameEnd, AWindowALobbyStartedEndsTheProgramAsItAlwaysHas)
{
    const gameend::Outcome removed = gameend::outcomeOf(Ending::Removed, false, true);
    EXPECT_EQ(removed.told, "You were removed from the game.");
    EXPECT_TRUE(removed.closeWindow) << "the lobby starts the next game";
    EXPECT_TRUE(removed.choices.empty());
    const gameend::Outcome ended = gameend::outcomeOf(Ending::HostEnded, false, true);
    EXPECT_EQ(ended.told, "The host has ended the game.");
    EXPECT_TRUE(ended.closeWindow);
    // The host's own window, and a connection this window closed itself, tell nothing and close.
    for (const gameend::Outcome& quiet : { gameend::outcomeOf(Ending::HostEnded, true, false),
             gameend::outcomeOf(Ending::Closed, false, false) }) {
        EXPECT_TRUE(quiet.told.isEmpty());
        EXPECT_TRUE(quiet.closeWindow);
    }
}

TEST(GameEnd, OnlyThePeopleSeatedWithTheHostAreNamedInItsQuestion)
{
    client::ClientState state;
    state.mynumber = 1;
    const char* names[] = { "", "Host", "Bob", "Ada (computer)", "Cara" };
    for (int seat = 1; seat <= 4; ++seat)
        state.seats[std::size_t(seat)] = { true, names[seat], 0, {}, {}, {} };
    state.spies.push_back({ 5, "Spy" });
    const auto ownComputer = [](int number) { return number == 3; };
    const QStringList people = gameend::otherPeople(state, ownComputer);
    EXPECT_EQ(people, QStringList({ "Bob", "Cara" }));
    EXPECT_EQ(gameend::endGameQuestion(people), "End the game for Bob and Cara?");
    // Without the computer player marked as the host's own, it counts as a person.
    EXPECT_EQ(gameend::otherPeople(state, {}), QStringList({ "Bob", "Ada (computer)", "Cara" }));

    EXPECT_EQ(gameend::endGameQuestion({ "Bob" }), "End the game for Bob?");
    EXPECT_EQ(gameend::endGameQuestion({ "Bob", "Cara", "Dan" }), "End the game for Bob, Cara and Dan?");
    EXPECT_TRUE(gameend::endGameQuestion({}).isEmpty()) << "nobody else: no question";
    // A right-to-left name cannot reorder the question around it.
    const QString hebrew = QString::fromUtf8("דנה");
    EXPECT_EQ(gameend::endGameQuestion({ hebrew }),
        "End the game for " + QString(QChar(0x2068)) + hebrew + QChar(0x2069) + "?");
    state.seats[2].taken = false;
    state.seats[4].taken = false;
    EXPECT_TRUE(gameend::otherPeople(state, ownComputer).isEmpty());
}

TEST(HostingFailure, ATakenPortIsToldWithWhatThePlayerCanDo)
{
    const QString taken = "Listen - Error Binding Socket";
    EXPECT_TRUE(hostingfailure::portTaken(taken));
    EXPECT_EQ(hostingfailure::statusText("7772", taken), "Port 7772 is in use: join or quit");
    EXPECT_EQ(hostingfailure::chatText("7772", taken),
        "Could not host a game: port 7772 is in use by another program. Join the game it hosts "
        "(File \u2192 Join a Game...) or quit.");
    const QString other = "The game server could not be started.";
    EXPECT_FALSE(hostingfailure::portTaken(other));
    EXPECT_EQ(hostingfailure::statusText("7772", other), "Could not host a game");
    EXPECT_EQ(hostingfailure::chatText("7772", other), "Could not host a game: " + other);
}
