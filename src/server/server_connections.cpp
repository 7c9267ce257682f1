// ServerConnections: accepting and numbering, login and its deadline, relays,
// removal, departures and gathered sending.
#include "server_connections.h"

#include "server_limits.h"
#include "server_names.h"
#include "text_codec.h"
#include "wire_limits.h"

#include <QAbstractEventDispatcher>

#include <algorithm>

namespace {

std::string withEndByte(std::string_view message)
{
    std::string bytes;
    bytes.reserve(message.size() + 1);
    bytes += message;
    bytes += wire::kEndByte;
    return bytes;
}

// A relayed line is the sender's name and a lead-in before the text, so the
// text is cut until the relay fits a message; the colour after the last "|"
// is kept whole, and the cut never splits a character.
std::string fittedText(std::string_view text, std::size_t room)
{
    if (text.size() <= room)
        return std::string(text);
    const std::size_t bar = text.rfind('|');
    if (bar == std::string_view::npos || text.size() - bar > room)
        return std::string(wire::cutText(text, room));
    const std::string_view colour = text.substr(bar);
    std::string fitted(wire::cutText(text.substr(0, bar), room - colour.size()));
    fitted += colour;
    return fitted;
}

// A relayed line: the lead-in and as much of the text as lets the whole
// message, its command included, fit the limit.
std::string relayedLine(const std::string& lead, std::string_view text, std::size_t commandBytes)
{
    const std::size_t used = commandBytes + lead.size();
    return lead + fittedText(text, used < wire::kMaxMessageBytes ? wire::kMaxMessageBytes - used : 0);
}

} // namespace

ServerConnections::ServerConnections(ServerTransport& transport, int dispatchIntervalMs, int loginTickMs)
    : transport_(transport)
    , ownDispatch_(dispatchIntervalMs > 0)
    , loginTickMs_(loginTickMs)
{
    transport_.setEvents(ServerTransport::Events {
        [this](ConnectionId id) { accepted(id); },
        [this](ConnectionId id, std::string_view bytes) { received(id, bytes); },
        [this](ConnectionId id) { ended(id); },
    });
    // Both timers run only while they have work, so an idle server wakes nobody.
    socktimer.setInterval(0);
    QObject::connect(&socktimer, &QTimer::timeout, &socktimer, [this] { socktimerTimer(); });
    // What the connections brought in this turn is handled just before the
    // event loop waits again, which spares the zero timer its own turn of the
    // loop (a poll more per message when words come one at a time). The timer
    // stays armed meanwhile, for a loop that never waits and for what is left
    // past the dispatch budget.
    if (const QAbstractEventDispatcher* loop = QAbstractEventDispatcher::instance(); loop && ownDispatch_)
        QObject::connect(loop, &QAbstractEventDispatcher::aboutToBlock, &socktimer, [this] {
            if (socktimer.isActive())
                socktimerTimer();
        });
    logintime.setInterval(std::max(1, loginTickMs_));
    QObject::connect(&logintime, &QTimer::timeout, &logintime, [this] { logintimeTimer(); });
}

ServerConnections::~ServerConnections()
{
    // Departures during teardown must not call back into a half-destroyed server.
    transport_.setEvents({});
}

ServerConnections::SendBatch::SendBatch(ServerConnections& connections)
    : connections_(connections)
{
    ++connections_.batchDepth_;
}

ServerConnections::SendBatch::~SendBatch()
{
    if (connections_.batchDepth_ == 1)
        connections_.flushAll();
    --connections_.batchDepth_;
}

const ServerSlot& ServerConnections::slot(int n) const
{
    static const ServerSlot none;
    return n >= 1 && n <= kSlots ? slots_[std::size_t(n)] : none;
}

bool ServerConnections::isPresent(int n) const
{
    const ServerSlot& s = slot(n);
    return s.connected && s.loggedIn && !s.leaving;
}

void ServerConnections::accepted(ConnectionId id)
{
    const int n = takeSlot();
    if (n == 0) {
        // A tenth connection: told so and closed at once; nothing else changes.
        transport_.send(id, withEndByte(wire::Full {}.compose()));
        transport_.close(id);
        return;
    }
    ServerSlot& slot = slots_[std::size_t(n)];
    slot.connected = 1;
    slot.connection = id;
    sendTo(n, wire::SendLoginInfo { n }.compose());
    restartLoginClock();
}

int ServerConnections::takeSlot()
{
    // The lowest free slot among those handed out, else a new one.
    int n = 1;
    while (n <= numslots && slots_[std::size_t(n)].connected)
        ++n;
    if (n > kSlots)
        return 0;
    numslots = std::max(numslots, n);
    return n;
}

int ServerConnections::slotOf(ConnectionId id) const
{
    for (int n = 1; n <= kSlots; ++n)
        if (slots_[std::size_t(n)].connected && slots_[std::size_t(n)].connection == id)
            return n;
    return 0;
}

void ServerConnections::ended(ConnectionId id)
{
    std::erase_if(removed_, [id](const Removed& r) { return r.connection == id; });
    const int n = slotOf(id);
    if (n == 0)
        return;
    SendBatch batch(*this);
    // What the peer sent before it went still counts, and is handled before
    // anybody hears it has gone. A connection the server closed itself had
    // its queue dropped first, so this finds nothing to do.
    handleLeftovers(n);
    closeSlot(n);
}

void ServerConnections::handleLeftovers(int n)
{
    ServerSlot& slot = slots_[std::size_t(n)];
    const ConnectionId id = slot.connection;
    slot.leaving = true;
    while (!slot.inbox.empty() && slot.connected && slot.connection == id) {
        const std::string line = std::move(slot.inbox.front());
        slot.inbox.pop_front();
        dispatchOne(n, line);
    }
}

void ServerConnections::closeSlot(int n)
{
    ServerSlot& slot = slots_[std::size_t(n)];
    if (!slot.connected)
        return;
    const std::string name = slot.name;
    // Cleared first: announcing the departure may close further connections,
    // and none of them may find this one still seated.
    slot = ServerSlot {};
    for (int k = 1; k <= numslots; ++k)
        if (k != n && slots_[std::size_t(k)].connected)
            sendTo(k, wire::PlayerDisconnected { n, name }.compose());
    restartLoginClock();
    // Scores and the seat's word list stay with the game for whoever takes
    // the seat next.
}

void ServerConnections::logintimeTimer()
{
    SendBatch batch(*this);
    for (int n = 1; n <= numslots; ++n) {
        ServerSlot& slot = slots_[std::size_t(n)];
        if (!slot.connected || slot.loggedIn)
            continue;
        // Closed at the first tick after the whole timeout has passed, never before.
        if (++slot.loginTicks > serverlimits::kLoginTimeoutSeconds)
            disconnectsock(n);
    }
    std::vector<ConnectionId> due;
    for (Removed& r : removed_)
        if (++r.ticks >= serverlimits::kRemovedCloseTicks)
            due.push_back(r.connection);
    std::erase_if(removed_, [](const Removed& r) { return r.ticks >= serverlimits::kRemovedCloseTicks; });
    for (ConnectionId id : due)
        transport_.close(id);
    restartLoginClock();
}

void ServerConnections::restartLoginClock()
{
    const bool waiting = !removed_.empty()
        || std::any_of(slots_.begin() + 1, slots_.end(),
            [](const ServerSlot& slot) { return slot.connected && !slot.loggedIn; });
    if (!waiting)
        logintime.stop();
    else if (loginTickMs_ > 0 && !logintime.isActive())
        logintime.start();
}

void ServerConnections::receivedlogininfo(int n, const wire::LoginInfo& login)
{
    ServerSlot& newcomer = slots_[std::size_t(n)];
    // A second login would rename a player mid-game, and wins are counted by name.
    if (!newcomer.connected || newcomer.loggedIn)
        return;
    const std::string name = servernames::givenName(login.name, n, [this, n](std::string_view candidate) {
        for (int k = 1; k <= numslots; ++k)
            if (k != n && slots_[std::size_t(k)].loggedIn
                && servernames::sameName(slots_[std::size_t(k)].name, candidate))
                return true;
        return false;
    });
    newcomer.name = name;
    newcomer.loggedIn = true;
    restartLoginClock();
    sendToAll(wire::PlayerInfo { n, name }.composeNew());
    for (int k = 1; k <= numslots; ++k)
        if (k != n && slots_[std::size_t(k)].connected)
            sendTo(n, wire::PlayerInfo { k, slots_[std::size_t(k)].name }.composeExisting());

    // Warnings only: the newcomer stays seated and plays on.
    if (login.version != wire::kVersionText) {
        sendTo(1, wire::HaveWrongVersion { name }.compose());
        sendTo(n, wire::WrongVersion {}.compose());
    }
    if (newcomer.connected && game_)
        game_->welcome(n);
}

void ServerConnections::kickhim(int, const wire::KickRequest& request)
{
    const int target = request.target;
    if (target < 1 || target > kSlots || !slots_[std::size_t(target)].connected)
        return;
    ServerSlot& slot = slots_[std::size_t(target)];
    // Its own departure tells the removed window why the connection ends.
    sendTo(target, wire::PlayerDisconnected { target, slot.name }.compose());
    flush(target);
    if (!slot.connected)
        return; // it had stopped reading, and is gone already
    // Everybody else is told at once and the number is free; what it queued
    // is dropped, and whatever it sends now is not read into any slot. Its
    // connection stays open only until its goodbye has had time to arrive.
    const ConnectionId id = slot.connection;
    closeSlot(target);
    removed_.push_back(Removed { id, 0 });
    if (removed_.size() > serverlimits::kMaxRemovedWaiting) {
        const ConnectionId oldest = removed_.front().connection;
        removed_.erase(removed_.begin());
        transport_.close(oldest);
    }
    restartLoginClock();
}

void ServerConnections::disconnectsock(int n)
{
    if (n < 1 || n > kSlots || !slots_[std::size_t(n)].connected)
        return;
    ServerSlot& slot = slots_[std::size_t(n)];
    // A connection the server closes has its waiting messages dropped: they
    // are a flood, or come from a peer that stopped reading or never logged in.
    slot.inbox.clear();
    slot.gathered.clear();
    // The transport reports the end before close returns, which frees the slot.
    transport_.close(slot.connection);
}

void ServerConnections::chat(int n, const wire::ChatRequest& request)
{
    const std::size_t command = wire::ChatLine {}.composeChat().size();
    const std::string lead = slots_[std::size_t(n)].name + " chats: ";
    sendToAll(wire::ChatLine { relayedLine(lead, request.text, command) }.composeChat());
}

void ServerConnections::action(int n, const wire::ActionRequest& request)
{
    const std::size_t command = wire::ChatLine {}.composeAction().size();
    const std::string lead = slots_[std::size_t(n)].name + " ";
    sendToAll(wire::ChatLine { relayedLine(lead, request.text, command) }.composeAction());
}

void ServerConnections::playasound(int, const wire::PlayASound& request) { sendToAll(request.compose()); }

void ServerConnections::sendTo(int n, std::string_view message)
{
    if (n < 1 || n > kSlots)
        return;
    ServerSlot& slot = slots_[std::size_t(n)];
    if (!slot.connected || slot.leaving)
        return;
    slot.gathered += message;
    slot.gathered += wire::kEndByte;
    if (batchDepth_ == 0 || slot.gathered.size() >= serverlimits::kMaxGatheredBytes)
        flush(n);
}

void ServerConnections::sendToAll(std::string_view message)
{
    for (int k = 1; k <= numslots; ++k)
        if (slots_[std::size_t(k)].connected)
            sendTo(k, message);
}

void ServerConnections::flush(int n)
{
    ServerSlot& slot = slots_[std::size_t(n)];
    if (slot.gathered.empty() || !slot.connected)
        return;
    std::string bytes;
    bytes.swap(slot.gathered);
    const ConnectionId id = slot.connection;
    transport_.send(id, bytes);
    // A peer that stops reading would make us hold everything sent to it.
    if (transport_.pendingOutput(id) > wire::kMaxPendingOutputBytes)
        disconnectsock(n);
}

void ServerConnections::flushAll()
{
    // A write may end a connection, whose departure is then gathered for the
    // others: go round until nothing is left.
    bool wrote = true;
    while (wrote) {
        wrote = false;
        for (int n = 1; n <= numslots; ++n)
            if (!slots_[std::size_t(n)].gathered.empty() && slots_[std::size_t(n)].connected) {
                flush(n);
                wrote = true;
            }
    }
}
