// TServer connections: accepting and numbering, login, relays, removal,
// departures and the dispatch of queued messages.
#include "tserver.h"

#include "wire_limits.h"

#include <QPointer>

#include <algorithm>
#include <chrono>

namespace {

std::string withEndByte(std::string_view message)
{
    std::string bytes(message);
    bytes += wire::kEndByte;
    return bytes;
}

} // namespace

TServer::TServer(Options options, QObject* parent)
    : QObject(parent)
    , options_(std::move(options))
    , Sock1(this)
    , tempsock(this)
    , random_(static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()))
    , gamerunning(options_.gamerunning ? options_.gamerunning : std::make_shared<GameRunning>())
{
    Sock1.setPortName(options_.portName);
    Sock1.OnAccept = [this](TSock* sender) { Sock1Accept(sender); };
    Sock1.OnRead = [this](TSock* sender, int count) { Sock1Read(sender, count); };
    tempsock.OnDisconnect = [this](TSock* sender) { tempsockDisconnect(sender); };
    tempsock.OnInfo = [this](TSock* sender, TSocketInfo kind, const std::string& msg) {
        tempsockInfo(sender, kind, msg);
    };

    // The dispatch timer runs only while messages wait, so an idle server wakes nobody.
    socktimer.setInterval(options_.dispatchIntervalMs);
    connect(&socktimer, &QTimer::timeout, this, &TServer::socktimerTimer);
    gametime.setInterval(std::max(1, options_.secondMs));
    connect(&gametime, &QTimer::timeout, this, &TServer::gametimeTimer);

    spell = std::make_unique<TDictn>(options_.dictionaryPath, options_.dictionaryNotice, options_.wordRecords);

    players[1].partner = 3;
    players[2].partner = 4;
    players[3].partner = 1;
    players[4].partner = 2;
}

TServer::~TServer()
{
    // Departures during teardown must not call back into a half-destroyed server.
    for (tplayer& p : players)
        if (p.sock) {
            p.sock->OnInfo = nullptr;
            p.sock->OnDisconnect = nullptr;
            p.sock->OnRead = nullptr;
        }
    Sock1.OnAccept = nullptr;
    Sock1.OnRead = nullptr;
}

void TServer::startListening()
{
    Sock1.setListen(true);
}

void TServer::Sock1Accept(TSock* Sender)
{
    TSock* newSock = nullptr;
    if (!Sender->Accept(newSock) || !newSock)
        return;

    const int n = takeSlot();
    if (n == 0) {
        // A tenth connection: told so and closed at once; nothing else changes.
        newSock->OnInfo = nullptr;
        newSock->OnDisconnect = nullptr;
        newSock->OnRead = nullptr;
        try {
            newSock->Send(withEndByte("CMD_full+"));
        } catch (const ESockException&) {
        }
        delete newSock;
        return;
    }
    newSock->setTag(n);
    newSock->OnDisconnect = tempsock.OnDisconnect;
    newSock->OnInfo = tempsock.OnInfo;
    newSock->OnRead = [this](TSock* sender, int count) { Sock1Read(sender, count); };
    openSlot(n, newSock, nullptr);
}

int TServer::attachForTests(std::function<void(std::string_view)> sink)
{
    const int n = takeSlot();
    if (n == 0) {
        if (sink)
            sink("CMD_full+");
        return 0;
    }
    openSlot(n, nullptr, std::move(sink));
    return n;
}

void TServer::receiveForTests(int n, std::string_view bytes)
{
    if (n >= 1 && n <= kSlots && players[n].connected && !players[n].sock)
        takeBytes(n, bytes);
}

void TServer::detachForTests(int n)
{
    if (n >= 1 && n <= kSlots && players[n].connected && !players[n].sock)
        closeSlot(n);
}

int TServer::takeSlot()
{
    // The lowest free slot among those handed out, else a new one.
    int n = 1;
    while (n <= numslots && players[n].connected)
        ++n;
    if (n > kSlots)
        return 0;
    numslots = std::max(numslots, n);
    return n;
}

void TServer::openSlot(int n, TSock* sock, std::function<void(std::string_view)> sink)
{
    tplayer& slot = players[n];
    slot.connected = 1;
    slot.sock = sock;
    slot.sink = std::move(sink);
    slot.connectionId = nextConnectionId++;
    slot.framer = wire::MessageFramer();
    sendTo(n, "CMD_sendlogininfo+" + std::to_string(n));
}

void TServer::Sock1Read(TSock* Sender, int)
{
    const int n = Sender->Tag();
    if (n < 1 || n > kSlots || players[n].sock != Sender) {
        Sender->Receive(); // not a slot of ours (any more): discard
        return;
    }
    takeBytes(n, Sender->Receive());
}

void TServer::takeBytes(int n, std::string_view bytes)
{
    tplayer& slot = players[n];
    const uint64_t id = slot.connectionId;
    bool flooding = false;
    auto result = slot.framer.feed(bytes, [&](std::string&& message) {
        if (receivedlist.countFrom(id) >= wire::kMaxQueuedPerConnection) {
            flooding = true;
            return;
        }
        receivedlist.push(id, std::move(message));
    });
    if (result == wire::MessageFramer::Result::Overflow || flooding)
        disconnectsock(n);
    restartDispatch();
}

void TServer::restartDispatch()
{
    // A message arriving at an idle queue is handled at the next turn of the
    // event loop; what queues behind it keeps the pace of one per interval.
    if (options_.dispatchIntervalMs > 0 && !receivedlist.empty() && !socktimer.isActive())
        socktimer.start(0);
}

int TServer::slotOf(uint64_t connectionId) const
{
    for (int n = 1; n <= kSlots; ++n)
        if (players[n].connected && players[n].connectionId == connectionId)
            return n;
    return 0;
}

void TServer::socktimerTimer()
{
    if (socktimer.isActive() && socktimer.interval() != options_.dispatchIntervalMs)
        socktimer.setInterval(options_.dispatchIntervalMs);
    if (receivedlist.empty()) {
        socktimer.stop();
        return;
    }
    const wire::QueuedMessage message = receivedlist.take();
    if (receivedlist.empty())
        socktimer.stop();

    // The sender is the connection the message came in on; a message from a
    // connection that has gone is dropped.
    const int n = slotOf(message.origin);
    if (n != 0)
        dispatch(n, message.line);
}

void TServer::dispatch(int n, std::string_view line)
{
    if (n < 1 || n > kSlots)
        return;
    const wire::SplitLine split = wire::splitCommand(line);
    if (split.command.empty())
        return;
    // Every client command names its sender first; a message naming anybody
    // else is dropped.
    wire::FieldReader fields(split.args);
    int32_t claimed = 0;
    if (!fields.nextInt(claimed) || claimed != n)
        return;

    const std::string_view command = split.command;
    if (command == "CMD_logininfo")
        receivedlogininfo(n, fields);
    else if (command == "CMD_kickhim")
        kickhim(n, fields);
    else if (command == "CMD_chat")
        chat(n, fields);
    else if (command == "CMD_action")
        action(n, fields);
    else if (command == "CMD_startgame")
        startgame(n, split.args, fields);
    else if (command == "CMD_useletter")
        useletter();
    else if (command == "CMD_wordcomplete")
        wordcomplete(n, fields);
    else if (command == "CMD_playasound")
        playasound(n, fields);
}

void TServer::receivedlogininfo(int n, wire::FieldReader fields)
{
    std::string_view version;
    if (!fields.next(version))
        return;
    std::string name(fields.rest().substr(0, wire::kMaxNameBytes));

    tplayer& newcomer = players[n];
    newcomer.name = name;
    sendToAll("CMD_newplayerinfo+" + std::to_string(n) + "+" + name);
    for (int k = 1; k <= numslots; ++k)
        if (k != n && players[k].connected)
            sendTo(n, "CMD_existingplayers+" + std::to_string(k) + "+" + players[k].name);

    if (version != wire::kVersionText) {
        if (players[1].connected)
            sendTo(1, "CMD_havewrongversion+" + name);
        if (newcomer.connected)
            sendTo(n, "CMD_wrongversion+");
    }

    // A latecomer joins the round in play; during a pause it waits for the next deal.
    if (gamerunning->value && newcomer.connected) {
        sendTo(n, "CMD_gamestats+" + std::to_string(numrounds) + (teamgame ? "+y+" : "+n+")
                   + std::to_string(roundtime / 60) + "+");
        if (n <= kSeats)
            sendBoardTo(n);
    }
}

void TServer::kickhim(int n, wire::FieldReader fields)
{
    int32_t target = 0;
    if (n != 1 || !fields.nextInt(target) || target < 1 || target > kSlots)
        return;
    disconnectsock(target);
}

void TServer::disconnectsock(int n)
{
    if (n < 1 || n > kSlots || !players[n].connected)
        return;
    if (players[n].sock)
        players[n].sock->Close();
    else
        closeSlot(n); // a connection without a socket goes at once, as a close would
}

void TServer::tempsockDisconnect(TSock* Sender)
{
    const int n = Sender->Tag();
    if (n >= 1 && n <= kSlots && players[n].sock == Sender && players[n].connected)
        Sender->Close();
}

void TServer::tempsockInfo(TSock* Sender, TSocketInfo SocketInfo, const std::string& Msg)
{
    const int n = Sender->Tag();
    if (n < 1 || n > kSlots || players[n].sock != Sender)
        return;
    // A reset or an aborted connection is as final as a close: free the slot
    // the same way, so no slot stays taken by a dead peer.
    if (SocketInfo == siError) {
        Sender->Close();
        return;
    }
    if (Msg != "Socket Closed")
        return;

    closeSlot(n);
    // The endpoint may be inside its own notification: delete it afterwards.
    Sender->OnInfo = nullptr;
    Sender->OnDisconnect = nullptr;
    Sender->OnRead = nullptr;
    Sender->deleteLater();
}

void TServer::closeSlot(int n)
{
    tplayer& slot = players[n];
    if (slot.connected)
        for (int k = 1; k <= numslots; ++k)
            if (k != n && players[k].connected)
                sendTo(k, "CMD_playerdisconnected+" + std::to_string(n) + "+" + slot.name);
    slot.connected = 0;
    slot.name.clear();
    slot.sock = nullptr;
    slot.sink = nullptr;
    slot.connectionId = 0;
    slot.framer = wire::MessageFramer();
}

void TServer::chat(int n, wire::FieldReader fields)
{
    sendToAll("CMD_chat+" + players[n].name + " chats: " + std::string(fields.rest()));
}

void TServer::action(int n, wire::FieldReader fields)
{
    sendToAll("CMD_action+" + players[n].name + " " + std::string(fields.rest()));
}

void TServer::playasound(int n, wire::FieldReader fields)
{
    sendToAll("CMD_playasound+" + std::to_string(n) + "+" + std::string(fields.rest()));
}

void TServer::sendTo(int n, std::string_view message)
{
    if (n < 1 || n > kSlots + 1)
        return;
    TSock* sock = players[n].sock;
    if (!players[n].connected)
        return;
    if (!sock) {
        if (players[n].sink)
            players[n].sink(message);
        return;
    }
    try {
        sock->Send(withEndByte(message));
    } catch (const ESockException&) {
        return; // the connection is going; its close frees the slot
    }
    // A peer that stops reading would make us hold everything sent to it.
    if (sock->pendingOutput() > wire::kMaxPendingOutputBytes)
        disconnectsock(n);
}

void TServer::sendToAll(std::string_view message)
{
    for (int k = 1; k <= numslots; ++k)
        if (players[k].connected)
            sendTo(k, message);
}
