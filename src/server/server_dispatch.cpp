// ServerConnections: framing received bytes into the inbound queue, the
// dispatch timer, and the one table that sends each command to its handler.
#include "server_connections.h"

#include "wire_limits.h"

#include <functional>
#include <type_traits>

void ServerConnections::received(ConnectionId id, std::string_view bytes)
{
    const int n = slotOf(id);
    if (n == 0)
        return; // not a slot of ours (any more): discard
    bool flooding = false;
    const auto result = slots_[std::size_t(n)].framer.feed(bytes, [&](std::string&& message) {
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

void ServerConnections::restartDispatch()
{
    // A message arriving at an idle queue is handled at the next turn of the
    // event loop; what queues behind it keeps the pace of one per interval.
    if (dispatchIntervalMs_ > 0 && !receivedlist.empty() && !socktimer.isActive())
        socktimer.start(0);
}

void ServerConnections::socktimerTimer()
{
    if (socktimer.isActive() && socktimer.interval() != dispatchIntervalMs_)
        socktimer.setInterval(dispatchIntervalMs_);
    if (receivedlist.empty()) {
        socktimer.stop();
        return;
    }
    const wire::QueuedMessage message = receivedlist.take();
    if (receivedlist.empty())
        socktimer.stop();

    // The sender is the connection the message came in on; a message from a
    // connection that has gone is dropped.
    if (const int n = slotOf(message.origin))
        dispatch(n, message.line);
}

void ServerConnections::dispatch(int n, std::string_view line)
{
    if (n < 1 || n > kSlots)
        return;
    const wire::Incoming incoming = wire::readLine(line);
    const Entry& entry = routes()[static_cast<std::size_t>(incoming.command)];
    if (!entry.route || (entry.hostOnly && n != 1))
        return;
    (this->*entry.route)(n, incoming.args);
}

template <typename Message, std::optional<Message> (*Parse)(std::string_view), auto Handler>
void ServerConnections::take(int n, std::string_view args)
{
    const std::optional<Message> message = Parse(args);
    // Every client command names its sender first; a message naming anybody
    // else is dropped.
    if (!message || message->number != n)
        return;
    if constexpr (std::is_invocable_v<decltype(Handler), ServerConnections&, int, const Message&>)
        std::invoke(Handler, *this, n, *message);
    else if (game_)
        std::invoke(Handler, *game_, n, *message);
}

const std::array<ServerConnections::Entry, wire::kCommandCount>& ServerConnections::routes()
{
    static constexpr std::array<Entry, wire::kCommandCount> table = [] {
        using namespace wire;
        using C = ServerConnections;
        using G = GameCommands;
        std::array<Entry, kCommandCount> t {};
        const auto at = [&t](Command command) -> Entry& { return t[static_cast<std::size_t>(command)]; };
        at(Command::logininfo).route = &C::take<LoginInfo, &LoginInfo::parse, &C::receivedlogininfo>;
        at(Command::chat).route = &C::take<ChatRequest, &ChatRequest::parse, &C::chat>;
        at(Command::action).route = &C::take<ActionRequest, &ActionRequest::parse, &C::action>;
        at(Command::playasound).route = &C::take<PlayASound, &PlayASound::parse, &C::playasound>;
        at(Command::kickhim).route = &C::take<KickRequest, &KickRequest::parse, &C::kickhim>;
        at(Command::startgame).route = &C::take<StartGame, &StartGame::parseRequest, &G::startgame>;
        at(Command::wordcomplete).route = &C::take<WordComplete, &WordComplete::parse, &G::wordcomplete>;
        // Only the host (always connection 1) removes players and starts games.
        at(Command::kickhim).hostOnly = true;
        at(Command::startgame).hostOnly = true;
        // The windows' useletter is known and means nothing here; the
        // server's own commands coming back, and unknown ones, have no route either.
        return t;
    }();
    return table;
}
