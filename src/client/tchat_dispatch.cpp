// Tchat connection and dispatch: the inbound queue, the login reply, the
// roster of seats and spies, departures, version warnings, and removal.
#include "tchat.h"

#include "sound_player.h"
#include "tspylist.h"
#include "ttallylist.h"
#include "wire_limits.h"
#include "wire_text.h"

#include <QLabel>
#include <QListWidget>
#include <QMenu>

namespace {

// A server announces at most five spies at a time; a list far longer than
// that can only come from a broken or hostile server.
constexpr int kMaxSpyLines = 64;

// The dispatcher's pace: one message per tick. At this pace the phrase
// cooldown of 100 ticks lasts the two seconds the phrase editor promises.
constexpr int kDispatchIntervalMs = 20;

// Phrase buttons work again on the 101st dispatcher tick after a phrase.
constexpr int kPhraseCooldownTicks = 100;

const QString kWaiting = "<Waiting>";

} // namespace

bool Tchat::send(const std::string& message)
{
    try {
        sock.Send(message + wire::kEndByte);
        return true;
    } catch (const ESockException& error) {
        // Only possible while no connection was ever opened, or after it
        // ended; the player sees the endpoint's text, as any error of the program.
        if (setup_.showError)
            setup_.showError(QString::fromStdString(error.what()));
        return false;
    }
}

bool Tchat::takeServerBytes(std::string_view bytes)
{
    bool overflow = false;
    auto result = framer.feed(bytes, [&](std::string&& message) {
        if (receivedlist.size() >= wire::kMaxClientQueue) {
            overflow = true;
            return;
        }
        receivedlist.push(0, std::move(message));
    });
    // A server that floods us or never ends a message is not one we can follow.
    return result == wire::MessageFramer::Result::Ok && !overflow;
}

void Tchat::sockRead(TSock* Sender, int)
{
    if (!takeServerBytes(Sender->Receive()))
        Sender->Close();
    restartDispatch();
}

bool Tchat::receiveServerBytes(std::string_view bytes)
{
    if (!serverBytesRefused)
        serverBytesRefused = !takeServerBytes(bytes);
    restartDispatch();
    return !serverBytesRefused;
}

void Tchat::restartDispatch()
{
    // A message arriving while idle is handled at the next turn of the event
    // loop; what queues behind it keeps the pace of one per tick.
    if ((!receivedlist.empty() || !phraseready) && !Timer1.isActive())
        Timer1.start(receivedlist.empty() ? kDispatchIntervalMs : 0);
}

void Tchat::Timer1Timer()
{
    if (Timer1.isActive() && Timer1.interval() != kDispatchIntervalMs)
        Timer1.setInterval(kDispatchIntervalMs);
    processsocktimer();
    if (!phraseready)
        ++phraseticks;
    if (phraseticks > kPhraseCooldownTicks) {
        phraseready = true;
        phraseticks = 0;
    }
    if (receivedlist.empty() && phraseready)
        Timer1.stop();
}

void Tchat::processsocktimer()
{
    const wire::QueuedMessage message = receivedlist.take();
    const wire::SplitLine line = wire::splitCommand(message.line);
    const std::string_view command = line.command;
    const std::string_view args = line.args;
    if (command.empty())
        return;
    if (command == "CMD_sendlogininfo")
        sendloginfo(args);
    else if (command == "CMD_chat" || command == "CMD_action")
        chatrecieved(args);
    else if (command == "CMD_newplayerinfo" || command == "CMD_existingplayers")
        newplayerinfo(args);
    else if (command == "CMD_playerdisconnected")
        playerdisconnected(args);
    else if (command == "CMD_startgame")
        startthegame(args);
    else if (command == "CMD_endround")
        endturn(args);
    else if (command == "CMD_winner")
        postwinner(args);
    else if (command == "CMD_foundword")
        foundword(args);
    else if (command == "CMD_updatetime")
        updatetime(args);
    else if (command == "CMD_nextround")
        nextround(args);
    else if (command == "CMD_badword")
        badword(args);
    else if (command == "CMD_havewrongversion")
        addlinetochat(fromWire(args) + " has a different version of the game then you.", chatcolour::kBlue);
    else if (command == "CMD_wrongversion")
        addlinetochat("You have a different version of the game then the host.", chatcolour::kBlue);
    else if (command == "CMD_boardtileline")
        boardtileline(args);
    else if (command == "CMD_gamestats")
        gamestats(args);
    else if (command == "CMD_setbonustiles")
        setbonustiles();
    else if (command == "CMD_playasound")
        playasound(args);
}

void Tchat::sendloginfo(std::string_view args)
{
    std::optional<int32_t> number = wire::strictToInt(args);
    if (!number)
        return;
    mynumber = *number;
    loggedin = true;
    send("CMD_logininfo+" + std::to_string(mynumber) + "+" + std::string(wire::kVersionText) + "+" + loginname);
}

void Tchat::newplayerinfo(std::string_view args)
{
    wire::FieldReader fields(args);
    int32_t n = 0;
    if (!fields.nextInt(n))
        return;
    const QString name = fromWire(fields.rest());

    if (n == mynumber) {
        addlinetochat("You are Connected.", chatcolour::kNavy);
        loadinifile();
    } else {
        addlinetochat(name + " has Connected.", chatcolour::kNavy);
        playsounds("entered");
    }
    if (n > 4) {
        if (spylist->lines().size() < kMaxSpyLines)
            spylist->addSpyLine(QString("%1: %2").arg(n).arg(name));
        addlinetochat(n == mynumber ? QString("You are spying.") : name + " is spying.", chatcolour::kNavy);
    } else if (n >= 1) {
        seatLabel("label_playername", n)->setText(name);
    }
    loadchecklist();
}

void Tchat::playerdisconnected(std::string_view args)
{
    wire::FieldReader fields(args);
    int32_t n = 0;
    if (!fields.nextInt(n))
        return;
    const QString name = fromWire(fields.rest());

    if (n == mynumber) {
        loggedin = false;
        // Closing ends the program once this handler has returned.
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
    if (n >= 1 && n < 5) {
        QLabel* label = seatLabel("label_playername", n);
        if (label->text() != kWaiting)
            addlinetochat(label->text() + " disconnected.", chatcolour::kGrey);
        label->setText(kWaiting);
    }
    loadchecklist();
    const QString spyLine = QString("%1: %2").arg(n).arg(name);
    if (spylist->lines().contains(spyLine)) {
        addlinetochat(name + " has left.", chatcolour::kSpyLeft);
        spylist->removeSpyLine(spyLine);
    }
}

void Tchat::loadchecklist()
{
    QStringList others;
    for (int seat = 1; seat <= 4; ++seat) {
        if (seat == mynumber)
            continue;
        const QString caption = seatCaption(seat);
        if (caption != kWaiting)
            others << caption;
    }
    tallylist->setPlayersInGame(others);
}

void Tchat::label_playername1ContextPopup(int seat, const QPoint& globalPos)
{
    RemoveFromGame1->setEnabled(ishost && seatCaption(seat) != kWaiting);
    popupKickSeat = seat;
    if (!globalPos.isNull())
        popup_kick->popup(globalPos);
}

void Tchat::RemoveFromGame1Click()
{
    kicking(popupKickSeat);
}

void Tchat::kicking(int number)
{
    if (ishost && loggedin)
        send("CMD_kickhim+" + std::to_string(mynumber) + "+" + std::to_string(number) + "+");
}
