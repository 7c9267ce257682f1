// A game that ends under a window no lobby started (the host's program ended, the
// host removed the player): the window stays with its roster and chat and plays
// on solo, hosts or joins from the notice or the File menu. And a second copy
// whose port is taken, which says so instead of loading for ever.
#include "host_join_fixture.h"

#include "raw_client.h"
#include "server_limits.h"

#include <memory>
#include <vector>

using testsupport::pumpUntil;

namespace {

const QStringList kNextGameChoices = { "Join a Game\u2026", "Host a Game\u2026", "Play Solo", "Close" };

} // namespace

class GameEndedTest : public HostJoinTest {
protected:
    // Ann hosts from the command line; her program's port is the game's address.
    Tchat& hostAnn()
    {
        annProgram = &program("ann");
        Tchat& ann = open(*annProgram, { "Ann", "x", "true" }, "ann");
        EXPECT_TRUE(pumpUntil([&] { return connected(ann); }));
        return ann;
    }

    // A window with a program of its own that joins Ann's game from the window.
    Tchat& joinAnn(const QString& name)
    {
        Tchat& window = open(program(name.toLower()), { name }, name.toLower());
        window.joinGame(name, "127.0.0.1:" + QString::fromStdString(annProgram->port));
        EXPECT_TRUE(pumpUntil([&] { return connected(window); }));
        window.show();
        return window;
    }

    // Ann removes the window's player; the server lets the connection go at its
    // clock's ticks, driven here.
    void removeFromAnnsGame(Tchat& ann, Tchat& window)
    {
        ann.kicking(window.client().mynumber());
        ASSERT_TRUE(pumpUntil([&] { return !window.client().loggedin(); }));
        for (int tick = 0; tick < serverlimits::kRemovedCloseTicks; ++tick)
            annProgram->server->logintimeTimer();
    }

    static void expectReadyForTheNextGame(Tchat& window)
    {
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(labelOf(window, "label_status2"), "The game has ended.");
        EXPECT_TRUE(chatOf(window).contains("The game has ended. Choose File \u2192 Join a Game..., Host a "
                                            "Game... or Play Solo to play on."));
        EXPECT_TRUE(item(window, "JoinaGame1")->isEnabled());
        EXPECT_TRUE(item(window, "HostaGame1")->isEnabled());
        EXPECT_TRUE(item(window, "PlaySolo1")->isEnabled());
        EXPECT_FALSE(item(window, "StartGame1")->isEnabled());
    }

    Program* annProgram = nullptr;
};

TEST_F(GameEndedTest, WhenTheHostsProgramEndsEveryJoinerAndSpyStaysWithTheRosterAndTheChat)
{
    hostAnn();
    Tchat& bob = joinAnn("Bob");
    std::vector<std::unique_ptr<testsupport::RawClient>> seats;
    for (const char* name : { "Cy", "Di" }) {
        seats.push_back(std::make_unique<testsupport::RawClient>(std::stoi(annProgram->port)));
        seats.back()->login(name);
    }
    Tchat& sid = joinAnn("Sid");
    ASSERT_TRUE(pumpUntil([&] { return chatOf(sid).contains("You are spying."); }));
    ASSERT_TRUE(pumpUntil([&] { return labelOf(bob, "label_playername4") == "Di"; }));

    annProgram->server.reset(); // Ann's program ends
    ASSERT_TRUE(pumpUntil([&] { return offers.size() == 2; }));
    EXPECT_EQ(offers, QStringList({ "The host has ended the game.", "The host has ended the game." }));
    EXPECT_EQ(offeredChoices, kNextGameChoices);
    EXPECT_TRUE(notices.isEmpty()) << "told once, in the box that offers the next game";
    for (Tchat* window : { &bob, &sid }) {
        expectReadyForTheNextGame(*window);
        EXPECT_TRUE(chatOf(*window).contains("The host has ended the game."));
        EXPECT_TRUE(chatOf(*window).contains("Ann has Connected.")) << "the chat stays";
        EXPECT_EQ(labelOf(*window, "label_playername1"), "Ann") << "the last roster stays";
        EXPECT_EQ(labelOf(*window, "label_playername2"), "Bob");
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join("; ").toStdString();
}

TEST_F(GameEndedTest, ARemovedPlayerPlaysSoloHostsOrJoinsInTheSameWindow)
{
    Tchat& ann = hostAnn();
    Tchat& bob = joinAnn("Bob");
    Tchat& cid = joinAnn("Cid");
    Tchat& dee = joinAnn("Dee");
    ASSERT_TRUE(pumpUntil([&] { return labelOf(ann, "label_playername4") == "Dee"; }));

    // From the notice: a solo game in Bob's own program, in the same window.
    picks = { "Play Solo" };
    removeFromAnnsGame(ann, bob);
    ASSERT_TRUE(pumpUntil([&] { return labelOf(bob, "label_playername1") == "You"; }));
    EXPECT_EQ(offers, QStringList { "You were removed from the game." });
    Program& bobProgram = *programs[1];
    EXPECT_EQ(bobProgram.server->player(1).name, "You");
    EXPECT_TRUE(bob.client().state().ishost);
    EXPECT_TRUE(bob.isVisible());
    EXPECT_FALSE(item(bob, "PlaySolo1")->isEnabled()) << "in a solo game already";
    EXPECT_TRUE(chatOf(bob).contains("You were removed from the game.")) << "the chat stays";

    // From the notice: the host dialog.
    picks = { "Host a Game\u2026" };
    removeFromAnnsGame(ann, cid);
    ASSERT_TRUE(pumpUntil([&] { return cid.hostDialog().isVisible(); }));
    expectReadyForTheNextGame(cid);

    // The box closed without a choice; the File menu offers the same.
    removeFromAnnsGame(ann, dee);
    ASSERT_TRUE(pumpUntil([&] { return offers.size() == 3; }));
    expectReadyForTheNextGame(dee);
    item(dee, "JoinaGame1")->trigger();
    EXPECT_TRUE(dee.joinDialog().isVisible());
    dee.joinDialog().reject();
    item(dee, "PlaySolo1")->trigger();
    ASSERT_TRUE(pumpUntil([&] { return labelOf(dee, "label_playername1") == "You"; }));
    EXPECT_TRUE(dee.client().state().ishost);
    EXPECT_TRUE(errors.isEmpty()) << errors.join("; ").toStdString();
}

TEST_F(GameEndedTest, ASecondCopyWhosePortIsTakenSaysWhatFailedAndWhatThePlayerCanDo)
{
    Program& first = program("first");
    Tchat& firstWindow = open(first, {}, "first");
    ASSERT_TRUE(pumpUntil([&] { return connected(firstWindow); }));
    // Another user's copy on the same machine: its own files, the same port.
    programs.push_back(std::make_unique<Program>());
    Program& second = *programs.back();
    second.dictionary = folder.filePath("second.English");
    second.port = first.port;
    second.server = buildServer(second, second.port);

    Tchat& copy = open(second, {}, "second");
    EXPECT_EQ(errors, QStringList { "Listen - Error Binding Socket" });
    const QString port = QString::fromStdString(first.port);
    auto* status = copy.findChild<QLabel*>("label_status2");
    EXPECT_EQ(status->text(), "Port " + port + " is in use: join or quit");
    EXPECT_LE(status->fontMetrics().horizontalAdvance(status->text()), status->width())
        << "the whole line shows";
    const QString chat = chatOf(copy);
    const qsizetype loading = chat.indexOf("Loading Solo Game..Please wait.");
    const qsizetype failed = chat.indexOf("Could not host a game: port " + port
        + " is in use by another program. Join the game it hosts (File \u2192 Join a Game...) or quit.");
    ASSERT_GE(loading, 0);
    EXPECT_GT(failed, loading) << "the loading line is answered";
    EXPECT_TRUE(item(copy, "JoinaGame1")->isEnabled());
    EXPECT_TRUE(item(copy, "HostaGame1")->isEnabled());
    EXPECT_FALSE(copy.client().isOpen());
}
