// ServerConnections: accepting and numbering, login, relays, removal,
// departures and sending.
#include "server_connections.h"

#include "text_codec.h"
#include "wire_limits.h"

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

} // namespace

ServerConnections::ServerConnections(ServerTransport& transport, int dispatchIntervalMs)
    : transport_(transport)
    , dispatchIntervalMs_(dispatchIntervalMs)
{
    transport_.setEvents(ServerTransport::Events {
        [this](ConnectionId id) { accepted(id); },
        [this](ConnectionId id, std::string_view bytes) { received(id, bytes); },
        [this](ConnectionId id) { ended(id); },
    });
    // The dispatch timer runs only while messages wait, so an idle server wakes nobody.
    socktimer.setInterval(dispatchIntervalMs_);
    QObject::connect(&socktimer, &QTimer::timeout, &socktimer, [this] { socktimerTimer(); });
}

ServerConnections::~ServerConnections()
{
    // Departures during teardown must not call back into a half-destroyed server.
    transport_.setEvents({});
}

const ServerSlot& ServerConnections::slot(int n) const
{
    static const ServerSlot none;
    return n >= 1 && n <= kSlots ? slots_[std::size_t(n)] : none;
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
    slot.framer = wire::MessageFramer();
    sendTo(n, wire::SendLoginInfo { n }.compose());
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
    if (const int n = slotOf(id))
        closeSlot(n);
}

void ServerConnections::closeSlot(int n)
{
    ServerSlot& slot = slots_[std::size_t(n)];
    if (slot.connected)
        for (int k = 1; k <= numslots; ++k)
            if (k != n && slots_[std::size_t(k)].connected)
                sendTo(k, wire::PlayerDisconnected { n, slot.name }.compose());
    // Scores and the seat's word list stay for whoever takes the seat next.
    slot.connected = 0;
    slot.name.clear();
    slot.connection = 0;
    slot.framer = wire::MessageFramer();
}

void ServerConnections::receivedlogininfo(int n, const wire::LoginInfo& login)
{
    ServerSlot& newcomer = slots_[std::size_t(n)];
    // One name must not bloat every roster message; a UTF-8 name is never
    // cut inside a character.
    const std::string name(wire::cutText(login.name, wire::kMaxNameBytes));
    newcomer.name = name;
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
    if (request.target >= 1 && request.target <= kSlots)
        disconnectsock(request.target);
}

void ServerConnections::disconnectsock(int n)
{
    // The transport reports the end before close returns, which frees the slot.
    if (n >= 1 && n <= kSlots && slots_[std::size_t(n)].connected)
        transport_.close(slots_[std::size_t(n)].connection);
}

void ServerConnections::chat(int n, const wire::ChatRequest& request)
{
    sendToAll(wire::ChatLine { slots_[std::size_t(n)].name + " chats: " + request.text }.composeChat());
}

void ServerConnections::action(int n, const wire::ActionRequest& request)
{
    sendToAll(wire::ChatLine { slots_[std::size_t(n)].name + " " + request.text }.composeAction());
}

void ServerConnections::playasound(int, const wire::PlayASound& request) { sendToAll(request.compose()); }

void ServerConnections::sendTo(int n, std::string_view message)
{
    if (n < 1 || n > kSlots || !slots_[std::size_t(n)].connected)
        return;
    const ConnectionId id = slots_[std::size_t(n)].connection;
    transport_.send(id, withEndByte(message));
    // A peer that stops reading would make us hold everything sent to it.
    if (transport_.pendingOutput(id) > wire::kMaxPendingOutputBytes)
        disconnectsock(n);
}

void ServerConnections::sendToAll(std::string_view message)
{
    for (int k = 1; k <= numslots; ++k)
        if (slots_[std::size_t(k)].connected)
            sendTo(k, message);
}
