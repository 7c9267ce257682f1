// Tchat start-up and frame: the roles from the command line, hosting and
// joining, the lobby link, closing, the frame's size, the start dialog and
// the companion windows.
#include "tchat.h"

#include "board_palette.h"
#include "computer_players.h"
#include "game_end.h"
#include "layout_scaler.h"
#include "offered_name.h"
#include "tabout.h"
#include "tgamestartform.h"
#include "thelp.h"
#include "tspylist.h"
#include "window_placement.h"
#include "wire_text.h"

#include <QAction>
#include <QCloseEvent>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

namespace {

constexpr const char* kLoopback = "127.0.0.1";

// The game offers its layout at this size; the frame keeps a small margin.
constexpr int kMarginWidth = 8, kMarginHeight = 8;
// A window larger than the work area is saved this much smaller.
constexpr int kOversizeShrink = 15;

} // namespace

void Tchat::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!shownOnce) {
        shownOnce = true;
        // Taken after the window is up, so an error box has a window to sit on, and
        // once it has painted, so that a start shows the window before anything else.
        if (setup_.afterFirstPaint)
            setup_.afterFirstPaint([this] { processparams(); });
        else
            QMetaObject::invokeMethod(this, &Tchat::processparams, Qt::QueuedConnection);
    }
}

void Tchat::processparams()
{
    button_start->hide();
    StartGame1->setEnabled(false);
    readHostJoinSettings();
    const QStringList& args = setup_.arguments;
    try {
        if (args.isEmpty()) {
            addlinetochat("Loading Solo Game..Please wait.", chatcolour::kNavy);
            if (setup_.showDownload)
                setup_.showDownload();
            playername = offeredname::kSoloName;
            hostpress();
            setRole(GameRole::Solo);
            return;
        }
        if (args.size() < 3) {
            // One or two arguments: no role is taken, and File offers one
            // under the name given, which the host and join dialogs offer.
            playername = args[0];
            addlinetochat("Waiting for a game. Choose File \u2192 Host a Game... or Join a Game... to play.",
                chatcolour::kNavy);
            setStatus("Waiting for a game", boardpalette::plainText());
            return;
        }
        addlinetochat("Loading Multi-player Game.. Please Wait.", chatcolour::kNavy);
        playername = args[0];
        if (args[2] == "true") {
            hostpress();
            setRole(GameRole::Host);
            startAnnouncing();
        } else {
            hostaddress = args[1].toStdString();
            setRole(GameRole::Join);
            joinpress();
        }
        if (setup_.openLobbyLink)
            setup_.openLobbyLink(); // opened, never written to
    } catch (const ESockException& error) {
        const QString text = QString::fromStdString(error.what());
        if (args.isEmpty() || args[2] == "true")
            hostingFailed(text); // the status line says what failed and what to do
        else
            showError(text);
        // No role was taken: File offers hosting and joining instead.
        setRole(GameRole::None);
    }
}

void Tchat::hostpress()
{
    if (setup_.startHosting)
        setup_.startHosting();
    hostaddress = kLoopback;
    client_->setHost(true);
    spylist->setKickEnabled(true);
    client_->connectTo(kLoopback, playername);
    button_start->show();
    StartGame1->setEnabled(true);
}

void Tchat::joinpress() { client_->connectTo(hostaddress, playername); }

void Tchat::closeEvent(QCloseEvent* event)
{
    // Closed from the frame: asked like File → Exit. The program's own closes ask nothing.
    if (event->spontaneous() && !othersMayLoseTheGame()) {
        event->ignore();
        return;
    }
    FormClose();
    QMainWindow::closeEvent(event);
}

void Tchat::FormClose()
{
    QRect bounds = placement::storedBounds(*this);
    if (bounds == loadedBounds)
        return;
    if (QScreen* screen = this->screen()) {
        const QRect work = screen->availableGeometry();
        if (bounds.width() > work.width())
            bounds.setWidth(bounds.width() - kOversizeShrink);
        if (bounds.height() > work.height())
            bounds.setHeight(bounds.height() - kOversizeShrink);
    }
    resize(bounds.size());
    loadedBounds = bounds;
    saveinifile();
}

void Tchat::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void Tchat::FormResize()
{
    // The central area never gets smaller than the game's panel and margins.
    QWidget* area = centralWidget();
    if (!area)
        return;
    // The panel's own size: a grown panel must not hold the window at its grown size.
    const QSize least(
        LayoutScaler::kPanelSize.width() + kMarginWidth, LayoutScaler::kPanelSize.height() + kMarginHeight);
    if (area->minimumSize() != least)
        area->setMinimumSize(least);
}

void Tchat::ResetScreenLocation1Click() { placement::place(*this, QRect(3, 3, 798, 535)); }

void Tchat::Exit1Click()
{
    if (othersMayLoseTheGame())
        close();
}

bool Tchat::othersMayLoseTheGame()
{
    const client::ClientState& state = client_->state();
    if (!state.ishost || !client_->loggedin() || !setup_.ask)
        return true;
    // The host's own computer players leave with it and lose nothing.
    const QString question = gameend::endGameQuestion(
        gameend::otherPeople(state, [this](int number) { return computers && computers->byNumber(number); }));
    return question.isEmpty() || setup_.ask(question);
}

void Tchat::Help2Click()
{
    help->show();
    help->raise();
}

void Tchat::About1Click()
{
    about->show();
    about->raise();
}

void Tchat::button_startClick()
{
    gamestartform->show();
    gamestartform->raise();
    gamestartform->activateWindow(); // already open behind the window: the keyboard goes to it
}

void Tchat::startgame()
{
    if (client_->loggedin()) {
        // A solo game against the computer starts once its computer players sit down.
        if (seatComputersBeforeStart())
            return;
        client_->sendStart(gamestartform->roundsText().toInt(), gamestartform->teamGame(),
            gamestartform->minutesText().toInt());
        return;
    }
    // Not logged in yet: take the host role again; Start works once logged in.
    playername = offeredname::kSoloName;
    client_->setHost(true);
    try {
        if (setup_.startHosting)
            setup_.startHosting();
        if (!client_->isOpen())
            client_->connectTo(hostaddress.empty() ? std::string(kLoopback) : hostaddress, playername);
    } catch (const ESockException& error) {
        showError(QString::fromStdString(error.what()));
    }
}

void Tchat::SpyList1Click()
{
    spylist->show();
    spylist->raise();
}
