// Game windows on a real server in one process, on loopback: the fixture of
// the window tests. Dispatch timers are ticked by hand through the pump.
#pragma once

#include "pump.h"
#include "raw_client.h"
#include "tchat.h"
#include "tserver.h"
#include "word_records.h"

#include <QLabel>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <memory>

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        records
            = testsupport::makeWordRecords({ "cat", "act", "tea", "eat", "ate", "at", "as", "seat", "east" });
        TServer::Options options;
        options.portName = "0";
        options.dictionaryPath = folder.filePath("English").toStdString();
        options.wordRecords = records;
        options.secondMs = 24 * 3600 * 1000;
        options.dispatchIntervalMs = 0;
        server = std::make_unique<TServer>(std::move(options));
        server->seed(99);
        server->startListening();
        ASSERT_TRUE(lobby.listen(QHostAddress::LocalHost, 0));
        testsupport::setPumpHook([this] { tickEverything(); });
    }

    void TearDown() override
    {
        testsupport::setPumpHook({});
        windows.clear();
        lobbyLinks.clear();
    }

    void tickEverything()
    {
        while (server && server->queuedMessages() > 0)
            server->socktimerTimer();
        for (auto& window : windows)
            while (window->queuedMessages() > 0)
                window->Timer1Timer();
    }

    // A window started with the given command line; its role is taken at once.
    Tchat& open(const QStringList& arguments, const QString& settingsName = "settings")
    {
        TchatSetup setup;
        setup.arguments = arguments;
        setup.settingsFile = folder.filePath(settingsName + ".ini");
        setup.tileFolders = { folder.filePath("tiles") };
        setup.gamePort = std::to_string(server->listeningPort());
        // Each window's own link to the lobby the fixture listens as.
        auto link = std::make_shared<TSock*>(nullptr);
        setup.openLobbyLink = [this, link] {
            lobbyLinks.push_back(std::make_unique<TSock>());
            lobbyLinks.back()->setHostName("127.0.0.1");
            lobbyLinks.back()->setPortName(std::to_string(lobby.serverPort()));
            lobbyLinks.back()->Open();
            *link = lobbyLinks.back().get();
        };
        setup.lobbyLinkConnected = [link] { return *link && (*link)->Connected(); };
        setup.dispatchIntervalMs = 0; // the pump hook ticks every window
        setup.startHosting = [this] { server->startListening(); };
        setup.showDownload = [this] { ++downloadsShown; };
        setup.openLink = [this](const QString& link) { links << link; };
        setup.showError = [this](const QString& text) { errors << text; };
        setup.showNotice = [this](const QString& text) { notices << text; };
        setup.ask = [this](const QString& question) {
            questions << question;
            return answer;
        };
        windows.push_back(std::make_unique<Tchat>(setup));
        Tchat& window = *windows.back();
        window.processparams();
        return window;
    }

    // A window that has logged in and seen its own arrival.
    Tchat& join(const QString& name, const QStringList& role = { "127.0.0.1", "false" })
    {
        Tchat& window = open(QStringList { name } + role, name);
        EXPECT_TRUE(testsupport::pumpUntil([&] { return chatOf(window).contains("You are Connected."); }));
        return window;
    }

    static QString chatOf(Tchat& window) { return window.findChild<QTextEdit*>("mainchat")->toPlainText(); }
    static QString labelOf(Tchat& window, const QString& name)
    {
        return window.findChild<QLabel*>(name)->text();
    }
    // The whole name a roster line shows: a name too wide for its place is
    // elided there and whole in the tooltip.
    static QString seatNameOf(Tchat& window, int seat)
    {
        const auto* label = window.findChild<QLabel*>(QString("label_playername%1").arg(seat));
        return label->toolTip().isEmpty() ? label->text() : label->toolTip();
    }

    QTemporaryDir folder;
    std::string records;
    std::unique_ptr<TServer> server;
    QTcpServer lobby;
    std::vector<std::unique_ptr<TSock>> lobbyLinks;
    std::vector<std::unique_ptr<Tchat>> windows;
    int downloadsShown = 0;
    QStringList links;
    QStringList errors;
    QStringList notices;
    QStringList questions;
    bool answer = false; // how every question is answered
};
