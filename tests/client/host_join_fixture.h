// Programs of their own, each a server on a port of its own and a window on it:
// the fixture of the tests that host and join from the window and of games
// that end under a window. Dispatch timers are ticked by hand through the pump.
#pragma once

#include "game_settings.h"
#include "pump.h"
#include "tchat.h"
#include "thostgame.h"
#include "tjoingame.h"
#include "tserver.h"
#include "ttallylist.h"
#include "word_records.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>
#include <QUdpSocket>

#include <gtest/gtest.h>

inline const QHostAddress kLoopback(QHostAddress::LocalHost);

// Whether a datagram sent to 127.0.0.1 arrives here at all; the beacon that
// announces games in tests needs it.
inline bool loopbackUdpWorks()
{
    QUdpSocket receiver;
    if (!receiver.bind(kLoopback, 0))
        return false;
    QUdpSocket sender;
    sender.writeDatagram("probe", kLoopback, receiver.localPort());
    return testsupport::pumpUntil([&] { return receiver.hasPendingDatagrams(); }, 3000);
}

class HostJoinTest : public ::testing::Test {
protected:
    // One program of the test: its own server on a port of its own.
    struct Program {
        QString dictionary;
        std::string port;
        std::unique_ptr<TServer> server;
        int stops = 0;
    };

    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        records
            = testsupport::makeWordRecords({ "cat", "act", "tea", "eat", "ate", "at", "as", "seat", "east" });
        // Announcements nobody here browses for go to this socket, not to a fixed port.
        ASSERT_TRUE(beaconSink.bind(kLoopback, 0));
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
        for (auto& window : windows)
            while (window->queuedMessages() > 0)
                window->Timer1Timer();
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
        server->seed(7);
        return server;
    }

    // A program whose server serves on a port chosen once, which every server
    // it builds afterwards takes again, as the real program keeps 7772.
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

    Tchat& open(Program& p, const QStringList& arguments, const QString& settingsName, quint16 beaconPort = 0)
    {
        TchatSetup setup;
        setup.arguments = arguments;
        setup.settingsFile = settingsPath(settingsName);
        setup.tileFolders = { folder.filePath("tiles") };
        setup.gamePort = p.port;
        setup.dispatchIntervalMs = 0;
        setup.startHosting = [&p] { p.server->startListening(); };
        setup.stopHosting = [this, &p] {
            ++p.stops;
            p.server.reset(); // its connections close and its port is free
            p.server = buildServer(p, p.port);
        };
        setup.openLobbyLink = [this] { ++lobbyLinks; };
        setup.showError = [this](const QString& text) { errors << text; };
        setup.showNotice = [this](const QString& text) { notices << text; };
        setup.ask = [this](const QString& question) {
            questions << question;
            return answers.isEmpty() ? false : answers.takeFirst();
        };
        setup.offerChoices = [this](const QString& text, const QStringList& choices) {
            offers << text;
            offeredChoices = choices;
            return picks.isEmpty() ? -1 : int(choices.indexOf(picks.takeFirst()));
        };
        setup.announceOptions.tryDnsSd = false;
        setup.announceOptions.beaconPort = beaconPort != 0 ? beaconPort : beaconSink.localPort();
        setup.announceOptions.beaconTargets = { discovery::Ipv4Address::localHost() };
        setup.browseOptions = { 0, false, {} };
        windows.push_back(std::make_unique<Tchat>(setup));
        Tchat& window = *windows.back();
        window.processparams();
        return window;
    }

    QString settingsPath(const QString& name) const { return folder.filePath(name + ".ini"); }
    QString stored(const QString& settingsName, settings::SettingKey key) const
    {
        GameSettings file(settingsPath(settingsName));
        file.load();
        return file.text(key);
    }

    static QString chatOf(Tchat& window) { return window.findChild<QTextEdit*>("mainchat")->toPlainText(); }
    static QString labelOf(Tchat& window, const QString& name)
    {
        return window.findChild<QLabel*>(name)->text();
    }
    static QAction* item(Tchat& window, const char* name) { return window.findChild<QAction*>(name); }
    static bool connected(Tchat& window) { return chatOf(window).contains("You are Connected."); }

    QTemporaryDir folder;
    std::string records;
    QUdpSocket beaconSink;
    std::vector<std::unique_ptr<Program>> programs;
    std::vector<std::unique_ptr<Tchat>> windows;
    int lobbyLinks = 0;
    QStringList errors;
    QStringList notices;
    QStringList questions;
    QList<bool> answers; // how the questions are answered, in turn; "no" once they run out
    QStringList offers; // the notices that offered choices
    QStringList offeredChoices; // the last one's buttons
    QStringList picks; // the buttons pressed, in turn; the box closed otherwise once they run out
};
