// A window with none to three computer players seated takes every way out of
// its game: hosting, joining, exiting, a new game, and switching twice. Each
// program has its own server on a port of its own, rebuilt when the window
// leaves its game, as the real program does.
#include "computer_name.h"
#include "computer_player.h"
#include "computer_players.h"
#include "pump.h"
#include "tchat.h"
#include "tserver.h"
#include "word_records.h"

#include <QAction>
#include <QLabel>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QUdpSocket>

#include <gtest/gtest.h>

using testsupport::pumpUntil;

namespace {

// Participants whose connection the server still holds.
int connectedTo(const TServer& server)
{
    int count = 0;
    for (int n = 1; n <= kSlots; ++n)
        count += server.player(n).connected ? 1 : 0;
    return count;
}

class ComputersAtASwitch : public ::testing::TestWithParam<int> {
protected:
    struct Program {
        QString dictionary;
        std::string port;
        std::unique_ptr<TServer> server;
    };

    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        records = testsupport::makeWordRecords({ "cat", "act", "tea", "eat", "ate", "seat", "east" });
        // A hosted game's announcement goes to this socket, not to a fixed port.
        ASSERT_TRUE(beaconSink.bind(QHostAddress::LocalHost, 0));
        testsupport::setPumpHook([this] { tickEverything(); });
    }

    void TearDown() override
    {
        testsupport::setPumpHook({});
        windows.clear();
        programs.clear();
    }

    void tickEverything()
    {
        for (auto& program : programs)
            while (program->server && program->server->queuedMessages() > 0)
                program->server->socktimerTimer();
        for (auto& window : windows) {
            while (window->queuedMessages() > 0)
                window->Timer1Timer();
            for (const auto& player : window->computerPlayers().players())
                while (player->client().queuedMessages() > 0)
                    player->client().Timer1Timer();
        }
    }

    std::unique_ptr<TServer> buildServer(Program& program, const std::string& port)
    {
        TServer::Options options;
        options.portName = port;
        options.dictionaryPath = program.dictionary.toStdString();
        options.wordRecords = records;
        options.secondMs = 24 * 3600 * 1000;
        options.dispatchIntervalMs = 0;
        auto server = std::make_unique<TServer>(std::move(options));
        server->seed(5);
        return server;
    }

    Program& program(const QString& name)
    {
        programs.push_back(std::make_unique<Program>());
        Program& p = *programs.back();
        p.dictionary = folder.filePath(name + ".English");
        p.server = buildServer(p, "0");
        p.server->startListening();
        p.port = std::to_string(p.server->listeningPort());
        return p;
    }

    Tchat& open(Program& p, const QStringList& arguments, const QString& settingsName)
    {
        TchatSetup setup;
        setup.arguments = arguments;
        setup.settingsFile = folder.filePath(settingsName + ".ini");
        setup.tileFolders = { folder.filePath("tiles") };
        setup.gamePort = p.port;
        setup.dispatchIntervalMs = 0;
        setup.startHosting = [&p] { p.server->startListening(); };
        setup.stopHosting = [this, &p] {
            p.server.reset();
            p.server = buildServer(p, p.port);
        };
        setup.showError = [this](const QString& text) { errors << text; };
        setup.showNotice = [](const QString&) {};
        setup.ask = [](const QString&) { return false; };
        setup.announceOptions.tryDnsSd = false;
        setup.announceOptions.beaconPort = beaconSink.localPort();
        setup.announceOptions.beaconTargets = { discovery::Ipv4Address::localHost() };
        setup.browseOptions = { 0, false, {} };
        windows.push_back(std::make_unique<Tchat>(setup));
        Tchat& window = *windows.back();
        window.processparams();
        return window;
    }

    static QString chatOf(Tchat& window) { return window.findChild<QTextEdit*>("mainchat")->toPlainText(); }
    static bool connected(Tchat& window) { return chatOf(window).contains("You are Connected."); }
    static int computersSeen(Tchat& window)
    {
        int seen = 0;
        for (int seat = 1; seat <= kSeats; ++seat) {
            const client::Seat& held = window.client().state().seat(seat);
            seen += held.taken && computername::isComputerName(held.name) ? 1 : 0;
        }
        return seen;
    }

    // The host seats this many computers through File → Add Computer Player,
    // each of another level, and sees every one sit down.
    void seatComputers(Tchat& window, int count)
    {
        for (int n = 1; n <= count; ++n) {
            QAction* item = window.findChild<QAction*>(QString("AddComputerLevel%1").arg(n));
            ASSERT_TRUE(item);
            item->trigger();
            ASSERT_TRUE(pumpUntil([&] { return computersSeen(window) == n; }));
        }
        ASSERT_EQ(int(window.computerPlayers().players().size()), count);
        ASSERT_EQ(window.computerPlayers().joining(), 0);
    }

    // A solo game at start-up with the computers of the test's parameter seated.
    Tchat& soloWithComputers(Program& own)
    {
        Tchat& window = open(own, {}, "solo");
        EXPECT_TRUE(pumpUntil([&] { return connected(window); }));
        seatComputers(window, GetParam());
        EXPECT_EQ(connectedTo(*own.server), 1 + GetParam());
        return window;
    }

    // The computers are gone from the window and from the server they sat on.
    void expectComputersGone(Tchat& window)
    {
        EXPECT_TRUE(window.computerPlayers().players().empty());
        for (int seat = 1; seat <= kSeats; ++seat) {
            const auto* marker = window.findChild<QLabel*>(QString("label_computer%1").arg(seat));
            EXPECT_FALSE(marker->isVisibleTo(&window)) << "seat " << seat;
            const auto* level = window.findChild<QLabel*>(QString("label_computerlevel%1").arg(seat));
            EXPECT_FALSE(level->isVisibleTo(&window)) << "seat " << seat;
            // No name of the game left behind in the seat's caption.
            const auto* name = window.findChild<QLabel*>(QString("label_playername%1").arg(seat));
            EXPECT_FALSE(computername::isComputerName(name->text() + name->toolTip())) << "seat " << seat;
        }
    }

    QTemporaryDir folder;
    std::string records;
    QUdpSocket beaconSink;
    std::vector<std::unique_ptr<Program>> programs;
    std::vector<std::unique_ptr<Tchat>> windows;
    QStringList errors;
};

} // namespace

TEST_P(ComputersAtASwitch, HostingAGameLetsTheSoloGamesComputersGo)
{
    Program& own = program("own");
    Tchat& window = soloWithComputers(own);
    window.hostGame("Hana");
    ASSERT_TRUE(
        pumpUntil([&] { return window.client().loggedin() && own.server->player(1).name == "Hana"; }));
    expectComputersGone(window);
    EXPECT_EQ(connectedTo(*own.server), 1) << "only the host sits in the new game";
    EXPECT_EQ(computersSeen(window), 0);
    EXPECT_TRUE(errors.isEmpty()) << errors.join("; ").toStdString();
}

TEST_P(ComputersAtASwitch, JoiningAGameLetsTheSoloGamesComputersGo)
{
    Program& remote = program("remote");
    Tchat& rex = open(remote, { "Rex", "x", "true" }, "rex");
    ASSERT_TRUE(pumpUntil([&] { return connected(rex); }));
    Program& own = program("own");
    Tchat& window = soloWithComputers(own);

    window.joinGame("Jo", QString("127.0.0.1:%1").arg(QString::fromStdString(remote.port)));
    ASSERT_TRUE(
        pumpUntil([&] { return window.client().loggedin() && remote.server->player(2).name == "Jo"; }));
    expectComputersGone(window);
    EXPECT_EQ(connectedTo(*own.server), 0) << "the solo game's server holds nobody";
    EXPECT_EQ(connectedTo(*remote.server), 2);
    EXPECT_EQ(computersSeen(rex), 0);
    EXPECT_TRUE(errors.isEmpty()) << errors.join("; ").toStdString();
}

TEST_P(ComputersAtASwitch, ExitingClosesEveryComputersConnection)
{
    Program& own = program("own");
    Tchat& window = soloWithComputers(own);
    window.show();
    window.Exit1Click();
    EXPECT_FALSE(window.isVisible());
    windows.clear(); // the program ends with its window
    EXPECT_TRUE(pumpUntil([&] { return connectedTo(*own.server) == 0; }));
}

TEST_P(ComputersAtASwitch, ANewGameKeepsTheComputersSeated)
{
    Program& own = program("own");
    Tchat& window = soloWithComputers(own);
    int starts = 0;
    QObject::connect(&window.client(), &GameClient::gameStarted, [&] { ++starts; });
    window.startgame();
    ASSERT_TRUE(pumpUntil([&] { return starts == 1 && window.client().canplay(); }));
    window.startgame(); // a new game over the running one
    ASSERT_TRUE(pumpUntil([&] { return starts == 2 && window.client().canplay(); }));
    EXPECT_EQ(int(window.computerPlayers().players().size()), GetParam());
    EXPECT_EQ(computersSeen(window), GetParam());
    for (const auto& player : window.computerPlayers().players())
        EXPECT_TRUE(pumpUntil([&] { return player->client().canplay(); }))
            << "every computer plays the new game";
    EXPECT_EQ(connectedTo(*own.server), 1 + GetParam());
}

TEST_P(ComputersAtASwitch, SwitchingTwiceLetsEachTablesComputersGo)
{
    // A port nobody listens on: the join is refused and given up.
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const QString refused = QString("127.0.0.1:%1").arg(closed.serverPort());
    closed.close();

    Program& own = program("own");
    Tchat& window = soloWithComputers(own);
    window.joinGame("Jo", refused);
    ASSERT_TRUE(pumpUntil([&] { return window.findChild<QAction*>("HostaGame1")->isEnabled(); }));
    expectComputersGone(window);
    EXPECT_EQ(connectedTo(*own.server), 0);

    // File → Host a Game...: the host seats computers at its new table, and
    // they play there.
    window.hostGame("Hana");
    ASSERT_TRUE(
        pumpUntil([&] { return window.client().loggedin() && own.server->player(1).name == "Hana"; }));
    EXPECT_EQ(connectedTo(*own.server), 1);
    seatComputers(window, GetParam());
    EXPECT_EQ(connectedTo(*own.server), 1 + GetParam());
    int starts = 0;
    QObject::connect(&window.client(), &GameClient::gameStarted, [&] { ++starts; });
    window.startgame();
    ASSERT_TRUE(pumpUntil([&] { return starts == 1 && window.client().canplay(); }));
    EXPECT_EQ(computersSeen(window), GetParam());
    EXPECT_TRUE(errors.isEmpty()) << errors.join("; ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(NoneToThree, ComputersAtASwitch, ::testing::Values(0, 1, 2, 3),
    [](const ::testing::TestParamInfo<int>& info) { return std::to_string(info.param) + "Computers"; });
