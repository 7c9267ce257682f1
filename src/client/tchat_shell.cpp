// Tchat start-up and frame: the roles from the command line, hosting and
// joining, the lobby link, closing, the frame's size, the start dialog and
// the companion windows.
#include "tchat.h"

#include "tabout.h"
#include "tgamestartform.h"
#include "thelp.h"
#include "tspylist.h"
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
        // Taken after the window is up, so an error box has a window to sit on.
        QMetaObject::invokeMethod(this, &Tchat::processparams, Qt::QueuedConnection);
    }
}

void Tchat::processparams()
{
    button_start->hide();
    StartGame1->setEnabled(false);
    loginname.clear();
    const QStringList& args = setup_.arguments;
    try {
        if (args.isEmpty()) {
            addlinetochat("Loading Solo Game..Please wait.", chatcolour::kNavy);
            if (setup_.showDownload)
                setup_.showDownload();
            hostaddress = kLoopback;
            playername = "You";
            hostpress();
            return;
        }
        addlinetochat("Loading Multi-player Game.. Please Wait.", chatcolour::kNavy);
        if (args.size() < 3)
            return; // one or two arguments: no role is taken
        playername = args[0];
        if (args[2] == "true") {
            hostaddress = kLoopback;
            hostpress();
        } else {
            hostaddress = args[1].toStdString();
            joinpress();
        }
        Sock11.Open(); // the lobby link: opened, never written to
    } catch (const ESockException& error) {
        if (setup_.showError)
            setup_.showError(QString::fromStdString(error.what()));
    }
}

void Tchat::hostpress()
{
    if (setup_.startHosting)
        setup_.startHosting();
    loginname = playername.toStdString() + wire::kEndByte;
    ishost = true;
    spylist->setKickEnabled(true);
    sock.setHostName(kLoopback);
    sock.Open();
    button_start->show();
    StartGame1->setEnabled(true);
}

void Tchat::joinpress()
{
    loginname = playername.toStdString() + wire::kEndByte;
    sock.setHostName(hostaddress);
    sock.Open();
}

void Tchat::sockInfo(TSock*, TSocketInfo, const std::string& Msg)
{
    if (Msg == "Socket Closed")
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void Tchat::closeEvent(QCloseEvent* event)
{
    FormClose();
    QMainWindow::closeEvent(event);
}

void Tchat::FormClose()
{
    QRect bounds = geometry();
    if (bounds == loadedBounds)
        return;
    if (QScreen* screen = this->screen()) {
        const QRect work = screen->availableGeometry();
        if (bounds.width() > work.width())
            bounds.setWidth(bounds.width() - kOversizeShrink);
        if (bounds.height() > work.height())
            bounds.setHeight(bounds.height() - kOversizeShrink);
    }
    setGeometry(bounds);
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
    const QSize least(panel_main->width() + kMarginWidth, panel_main->height() + kMarginHeight);
    if (area->minimumSize() != least)
        area->setMinimumSize(least);
}

void Tchat::ResetScreenLocation1Click()
{
    setGeometry(3, 3, 798, 535);
}

void Tchat::Exit1Click()
{
    close();
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
}

void Tchat::startgame()
{
    const std::string team = gamestartform->teamGame() ? "y" : "n";
    if (loggedin) {
        send("CMD_startgame+" + std::to_string(mynumber) + "+" + gamestartform->roundsText().toStdString() + "+" + team
             + "+" + gamestartform->minutesText().toStdString() + "+");
        return;
    }
    // Not logged in yet: take the host role again; Start works once logged in.
    playername = "You";
    loginname = "You" + std::string(1, wire::kEndByte);
    ishost = true;
    try {
        if (setup_.startHosting)
            setup_.startHosting();
        sock.setHostName(hostaddress.empty() ? std::string(kLoopback) : hostaddress);
        sock.Open();
    } catch (const ESockException& error) {
        if (setup_.showError)
            setup_.showError(QString::fromStdString(error.what()));
    }
}

void Tchat::SpyList1Click()
{
    spylist->show();
    spylist->raise();
}
