// A whole game in one process: a server on loopback, the host's window and a
// joiner's window. The host starts a three-round game from the start dialog,
// the joiner builds a real word on the dealt board with the mouse, both see it
// scored, and the clock runs the game to its winner.
#include "embedded_word_list.h"
#include "pump.h"
#include "tchat.h"
#include "tdictn.h"
#include "tgamestartform.h"
#include "tserver.h"
#include "word_on_board.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

using testsupport::findWord;
using testsupport::pumpUntil;

TEST(EndToEnd, AWholeGameFromTheStartDialogToTheWinner)
{
    QTemporaryDir folder;
    TServer::Options options;
    options.portName = "0";
    options.dictionaryPath = folder.filePath("English").toStdString();
    options.wordRecords = embeddedWordList();
    options.secondMs = 24 * 3600 * 1000;
    options.dispatchIntervalMs = 0;
    TServer server(std::move(options));
    server.startListening();

    auto makeSetup = [&](QStringList args, const QString& name) {
        TchatSetup setup;
        setup.arguments = args;
        setup.settingsFile = folder.filePath(name + ".ini");
        setup.gamePort = std::to_string(server.listeningPort());
        setup.dispatchIntervalMs = 0;
        setup.startHosting = [&server] { server.startListening(); };
        return setup;
    };
    Tchat host(makeSetup({ "Hosta", "x", "true" }, "host"));
    Tchat joiner(makeSetup({ "Joey", "127.0.0.1", "false" }, "joey"));
    testsupport::setPumpHook([&] {
        while (server.queuedMessages() > 0)
            server.socktimerTimer();
        for (Tchat* window : { &host, &joiner })
            while (window->queuedMessages() > 0)
                window->Timer1Timer();
    });
    host.processparams();
    ASSERT_TRUE(pumpUntil([&] { return host.client().loggedin(); }));
    joiner.processparams();
    ASSERT_TRUE(pumpUntil([&] { return host.findChild<QLabel*>("label_playername2")->text() == "Joey"; }));

    // The host presses Start in the dialog.
    QTest::mouseClick(host.findChild<QPushButton*>("button_start"), Qt::LeftButton);
    ASSERT_TRUE(host.startForm().isVisible() || !host.startForm().isHidden());
    QTest::mouseClick(host.startForm().findChild<QWidget*>("button_startthegame"), Qt::LeftButton);
    ASSERT_TRUE(pumpUntil([&] { return joiner.client().canplay() && host.client().canplay(); }));
    EXPECT_TRUE(host.findChild<QTextEdit*>("mainchat")->toPlainText().contains("You have started a game."));
    EXPECT_TRUE(
        joiner.findChild<QTextEdit*>("mainchat")->toPlainText().contains("Hosta has started a game."));

    // The joiner drags through a real word on the board it was dealt.
    TDictn dictionary(folder.filePath("lookup").toStdString(), {}, embeddedWordList());
    const testsupport::BoardPath path = findWord(joiner, dictionary);
    ASSERT_GE(path.word.size(), 3u);
    QWidget* board = joiner.findChild<QWidget*>("board");
    auto centre = [](QPoint cell) { return QPoint(40 * cell.x() + 20, 40 * cell.y() + 20); };
    QTest::mousePress(board, Qt::LeftButton, {}, centre(path.cells.front()));
    for (std::size_t i = 1; i < path.cells.size(); ++i)
        QTest::mouseMove(board, centre(path.cells[i]));
    QTest::mouseRelease(board, Qt::LeftButton, {}, centre(path.cells.back()));

    const QString entryPrefix = QString::fromStdString(path.word).toUpper() + ": ";
    for (Tchat* window : { &host, &joiner }) {
        auto* list = window->findChild<QListWidget*>("listbox_scroll2");
        ASSERT_TRUE(pumpUntil([&] { return list->count() == 1; }));
        EXPECT_TRUE(list->item(0)->text().startsWith(entryPrefix));
        EXPECT_NE(window->findChild<QLabel*>("label_playerscore2")->text(), "0");
    }

    // Three rounds of two minutes with two pauses between them.
    for (int round = 1; round <= 3; ++round) {
        for (int tick = 0; tick < 120; ++tick)
            server.gametimeTimer();
        if (round < 3)
            for (int tick = 0; tick < 29; ++tick)
                server.gametimeTimer();
    }
    for (Tchat* window : { &host, &joiner }) {
        auto* banner = window->findChild<QWidget*>("panel_winner");
        ASSERT_TRUE(pumpUntil([&] { return !banner->isHidden(); }));
        EXPECT_EQ(window->findChild<QLabel*>("label_winner1")->text(), "Joey Has Won the Game!");
    }
    EXPECT_FALSE(host.findChild<QPushButton*>("button_start")->isHidden());
    testsupport::setPumpHook({});
}
