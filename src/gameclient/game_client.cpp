// GameClient's connection, inbound queue and dispatch, and what it sends.
#include "game_client.h"

#include "colour_text.h"
#include "text_codec.h"
#include "wire_limits.h"

#include <QElapsedTimer>

namespace {

// Phrase buttons work again on the 101st dispatcher tick after a phrase; at
// the dispatcher's pace of 20 ms that is the two seconds the phrase editor
// promises.
constexpr int kPhraseCooldownTicks = 100;

// One tick handles every waiting message, within this budget, so a round's
// eleven messages land together and the window still stays responsive under
// a flood.
constexpr qint64 kDispatchBudgetMs = 4;

QString endpointText(int code)
{
    switch (code) {
    case 10061:
        return "the connection was refused";
    case 10060:
        return "no answer";
    case 10065:
        return "the host is unreachable";
    case 10051:
        return "the network is unreachable";
    case 10049:
        return "the address is not usable";
    default:
        return QString::fromStdString(socketErrorName(code));
    }
}

} // namespace

GameClient::GameClient(Options options, QObject* parent)
    : QObject(parent)
    , options_(std::move(options))
    , sock(this)
{
    sock.setPortName(options_.port);
    sock.OnRead = [this](TSock* sender, int) { sockRead(sender); };
    sock.OnConnect = [this](TSock*) {
        connecting_ = false;
        connectTimer.stop();
    };
    sock.OnEnded = [this](TSock*, const TSockEnd& end) { sockEnded(end); };

    // The dispatcher runs only while messages wait or a phrase cools down, so
    // an idle participant wakes nobody.
    Timer1.setInterval(options_.dispatchIntervalMs);
    connect(&Timer1, &QTimer::timeout, this, &GameClient::Timer1Timer);
    timer2.setInterval(options_.clockIntervalMs);
    connect(&timer2, &QTimer::timeout, this, &GameClient::timer2Timer);
    connectTimer.setSingleShot(true);
    connectTimer.setInterval(options_.connectTimeoutMs);
    connect(&connectTimer, &QTimer::timeout, this, &GameClient::connectTimerTimer);
}

GameClient::~GameClient()
{
    sock.OnRead = nullptr;
    sock.OnConnect = nullptr;
    sock.OnEnded = nullptr;
}

void GameClient::connectTo(const std::string& host, const QString& name)
{
    hostaddress_ = host;
    playername_ = name;
    loginname_ = wire::encodeText(name) + wire::kEndByte;
    removedByServer_ = false;
    connecting_ = true;
    sock.setHostName(host);
    // Raises ESockException for a host or port that cannot be looked up.
    sock.Open();
    if (connecting_ && options_.connectTimeoutMs > 0)
        connectTimer.start();
}

void GameClient::disconnectFromGame()
{
    connecting_ = false;
    connectTimer.stop();
    if (sock.isOpen())
        sock.Close();
}

bool GameClient::isOpen() const { return sock.isOpen(); }

void GameClient::connectTimerTimer()
{
    if (!connecting_)
        return;
    connecting_ = false;
    sock.OnEnded = nullptr; // the attempt is given up, not ended by the server
    sock.Close();
    sock.OnEnded = [this](TSock*, const TSockEnd& end) { sockEnded(end); };
    emit connectFailed(QString::fromStdString(hostaddress_),
        QString("no answer within %1 seconds").arg(options_.connectTimeoutMs / 1000));
}

void GameClient::sockEnded(const TSockEnd& end)
{
    if (end.reason == TSockEnd::ConnectFailed) {
        connecting_ = false;
        connectTimer.stop();
        sock.Close();
        emit connectFailed(QString::fromStdString(hostaddress_), endpointText(end.code));
        return;
    }
    if (end.reason == TSockEnd::Failed)
        sock.Close(); // a broken connection stays open until its owner lets it go
    state_.loggedin = false;
    Ending ending = Ending::Lost;
    if (removedByServer_)
        ending = Ending::Removed;
    else if (end.reason == TSockEnd::ClosedByPeer)
        ending = Ending::HostEnded;
    else if (end.reason == TSockEnd::ClosedHere && !bytesRefused_)
        ending = Ending::Closed;
    emit connectionEnded(ending);
}

// ---------------------------------------------------------------------------
// Receiving and dispatch

bool GameClient::takeServerBytes(std::string_view bytes)
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

void GameClient::sockRead(TSock* sender)
{
    if (!takeServerBytes(sender->Receive())) {
        bytesRefused_ = true;
        sender->Close();
    }
    restartDispatch();
}

bool GameClient::receiveServerBytes(std::string_view bytes)
{
    if (!bytesRefused_)
        bytesRefused_ = !takeServerBytes(bytes);
    restartDispatch();
    return !bytesRefused_;
}

void GameClient::restartDispatch()
{
    if (options_.dispatchIntervalMs <= 0)
        return;
    // Messages are handled at the next turn of the event loop; a cooling
    // phrase keeps the pace of one tick per interval.
    if (!receivedlist.empty())
        Timer1.start(0);
    else if (!phraseready_ && !Timer1.isActive())
        Timer1.start(options_.dispatchIntervalMs);
}

void GameClient::Timer1Timer()
{
    // Only a tick of the client's own timer stops at the budget; a tick a
    // caller runs (tests, a computer player's driver) handles all that waits,
    // whatever the machine's speed.
    const bool timed = options_.dispatchIntervalMs > 0;
    QElapsedTimer budget;
    budget.start();
    while (!receivedlist.empty()) {
        processsocktimer();
        if (timed && budget.elapsed() >= kDispatchBudgetMs)
            break;
    }
    if (!phraseready_)
        ++phraseticks_;
    if (phraseticks_ > kPhraseCooldownTicks) {
        phraseready_ = true;
        phraseticks_ = 0;
    }
    if (options_.dispatchIntervalMs <= 0)
        return;
    if (!receivedlist.empty())
        Timer1.start(0);
    else if (!phraseready_)
        Timer1.start(options_.dispatchIntervalMs);
    else
        Timer1.stop();
}

void GameClient::processsocktimer()
{
    if (receivedlist.empty())
        return;
    const wire::QueuedMessage message = receivedlist.take();
    handle(message.line);
}

void GameClient::handle(std::string_view line)
{
    using Handler = void (GameClient::*)(std::string_view);
    using wire::Command;
    static const auto table = [] {
        std::array<Handler, wire::kCommandCount> handlers {};
        handlers[size_t(Command::sendlogininfo)] = &GameClient::sendloginfo;
        handlers[size_t(Command::chat)] = &GameClient::chatrecieved;
        handlers[size_t(Command::action)] = &GameClient::chatrecieved;
        handlers[size_t(Command::newplayerinfo)] = &GameClient::newplayerinfo;
        handlers[size_t(Command::existingplayers)] = &GameClient::newplayerinfo;
        handlers[size_t(Command::playerdisconnected)] = &GameClient::playerdisconnected;
        handlers[size_t(Command::startgame)] = &GameClient::startthegame;
        handlers[size_t(Command::endround)] = &GameClient::endturn;
        handlers[size_t(Command::winner)] = &GameClient::postwinner;
        handlers[size_t(Command::foundword)] = &GameClient::foundword;
        handlers[size_t(Command::updatetime)] = &GameClient::updatetime;
        handlers[size_t(Command::nextround)] = &GameClient::nextround;
        handlers[size_t(Command::badword)] = &GameClient::badword;
        handlers[size_t(Command::havewrongversion)] = &GameClient::havewrongversion;
        handlers[size_t(Command::wrongversion)] = &GameClient::wrongversionreceived;
        handlers[size_t(Command::boardtileline)] = &GameClient::boardtileline;
        handlers[size_t(Command::gamestats)] = &GameClient::gamestats;
        handlers[size_t(Command::setbonustiles)] = &GameClient::setbonustiles;
        handlers[size_t(Command::playasound)] = &GameClient::playasound;
        return handlers;
    }();
    const wire::Incoming in = wire::readLine(line);
    // Anything else ("CMD_full" included) is not for a window.
    if (const Handler handler = table[size_t(in.command)])
        (this->*handler)(in.args);
}

// ---------------------------------------------------------------------------
// Sending

bool GameClient::send(const std::string& message)
{
    try {
        sock.Send(message + wire::kEndByte);
        return true;
    } catch (const ESockException& error) {
        // Only possible while no connection was ever opened, or after it ended.
        emit sendFailed(QString::fromStdString(error.what()));
        return false;
    }
}

bool GameClient::sendWord(std::span<const TileRef> tiles)
{
    if (!state_.canplay || !state_.loggedin || tiles.empty() || tiles.size() > std::size_t(kMaxWordTiles))
        return false;
    return send(wire::WordComplete { state_.mynumber, { tiles.begin(), tiles.end() } }.compose());
}

bool GameClient::sendit(const QString& entry, uint32_t chatColour, uint32_t actionColour)
{
    if (!state_.loggedin || entry.isEmpty())
        return false;
    if (!entry.startsWith("/"))
        return send(wire::ChatRequest {
            state_.mynumber, wire::encodeText(entry) + "|" + wire::colourToText(chatColour) }
                        .compose());
    if (entry.startsWith("/me"))
        return send(wire::ActionRequest {
            state_.mynumber, wire::encodeText(entry.mid(4)) + "|" + wire::colourToText(actionColour) }
                        .compose());
    return false;
}

bool GameClient::sendPhrase(const QString& phrase, uint32_t actionColour)
{
    if (!phraseready_)
        return false;
    const std::string body
        = phrase.startsWith("/me") ? wire::encodeText(phrase.mid(4)) : " says: " + wire::encodeText(phrase);
    // Without a connection the error is reported and the cooldown does not start.
    if (!send(
            wire::ActionRequest { state_.mynumber, body + "|" + wire::colourToText(actionColour) }.compose()))
        return false;
    phraseready_ = false;
    restartDispatch();
    return true;
}

bool GameClient::sendSound(int number)
{
    if (number < 1 || !state_.holdsSeat() || !state_.loggedin)
        return false;
    return send(wire::PlayASound { state_.mynumber, "wave" + std::to_string(number) }.compose());
}

bool GameClient::sendStart(int rounds, bool teamGame, int minutes)
{
    if (!state_.loggedin)
        return false;
    return send(wire::StartGame { state_.mynumber, rounds, teamGame ? "y" : "n", minutes }.compose());
}

bool GameClient::kicking(int number)
{
    if (!state_.ishost || !state_.loggedin)
        return false;
    return send(wire::KickRequest { state_.mynumber, number }.compose());
}
