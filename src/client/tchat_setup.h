// TchatSetup: what the program hands the main window (its files, and the few
// things only the program can do), and the player's answer to opening a link.
#pragma once

#include "game_announcer.h"
#include "game_browser.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>

// The player's answer when asked whether to open a link from the chat.
struct LinkAnswer {
    bool open = false;
    bool dontAskAgain = false; // until the program ends; a refusal never silences the question
};

// What the program hands the window: where its files are and the few things
// only the program can do (the window never includes server code).
struct TchatSetup {
    QStringList arguments; // the command line, without the program name
    QString settingsFile; // "brellowlobby.ini"
    QStringList tileFolders; // folders searched for "<set>.bmp"
    std::string gamePort = "7772"; // the game server's port
    // Switches the game server's listener on; throws ESockException.
    std::function<void()> startHosting;
    // Ends whatever the program's own server holds (a solo game, everybody
    // connected to it) and leaves it not listening, so this window can host
    // anew as number 1 or join another host. Throws std::exception.
    std::function<void()> stopHosting;
    // How a game hosted from this window is announced, and how the join
    // dialog listens for games (tests point both at a port of their own).
    discovery::GameAnnouncer::Options announceOptions;
    discovery::GameBrowser::Options browseOptions;
    // Opens the link to the lobby program (hosting or joining from the command line).
    std::function<void()> openLobbyLink;
    // Whether that link connected: a lobby program started this window and starts
    // its next game, so a game that ends under the window ends the program.
    std::function<bool()> lobbyLinkConnected;
    // Runs work once the window has first painted itself; the command line is read
    // then. Unset (tests), the command line is read at the next turn of the event loop.
    std::function<void(std::function<void()>)> afterFirstPaint;
    // Shows the lobby download window (solo starts only).
    std::function<void()> showDownload;
    // Opens a web address (http or https, fully encoded) from the chat pane
    // with the desktop's handler.
    std::function<void(const QString&)> openLink;
    // Asks whether to open that address, showing it whole; without it no link opens.
    std::function<LinkAnswer(const QString&)> confirmLink;
    // Error boxes, notices and questions; tests replace them so nothing modal appears.
    std::function<void(const QString&)> showError;
    std::function<void(const QString&)> showNotice;
    std::function<bool(const QString&)> ask;
    // A notice with a button for each choice; gives the index of the one pressed,
    // or -1 when the box was closed otherwise.
    std::function<int(const QString&, const QStringList&)> offerChoices;
    // Milliseconds between dispatcher ticks while a phrase cools down; 0 leaves
    // every tick to whoever calls Timer1Timer, as tests do.
    int dispatchIntervalMs = 20;
};
