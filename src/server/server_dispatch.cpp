// ServerConnections: framing received bytes into each connection's queue,
// the dispatch that serves the queues in turn, and the one table that sends
// each command to its handler.
#include "server_connections.h"

#include "server_limits.h"
#include "wire_limits.h"

#include <chrono>
#include <functional>
#include <type_traits>

void ServerConnections::received(ConnectionId id, std::string_view bytes)
{
    const int n = slotOf(id);
    if (n == 0)
        return; // not a slot of ours (any more): discard
    ServerSlot& slot = slots_[std::size_t(n)];
    bool flooding = false;
    const auto result = slot.framer.feed(bytes, [&](std::string&& message) {
        // An honest peer's messages are all handled at the next turn of the
        // event loop, so a full queue can only be a flood.
        if (slot.inbox.size() >= wire::kMaxQueuedPerConnection) {
            flooding = true;
            return;
        }
        slot.inbox.push_back(std::move(message));
    });
    if (result == wire::MessageFramer::Result::Overflow || flooding)
        disconnectsock(n);
    restartDispatch();
}

std::size_t ServerConnections::queuedMessages() const
{
    std::size_t total = 0;
    for (const ServerSlot& slot : slots_)
        total += slot.inbox.size();
    return total;
}

void ServerConnections::restartDispatch()
{
    // Messages are handled at the next turn of the event loop, after every
    // connection that is ready has been read, so what arrives together is
    // handled together and answered in one write per connection.
    if (ownDispatch_ && !socktimer.isActive() && queuedMessages() > 0)
        socktimer.start();
}

void ServerConnections::socktimerTimer()
{
    using Clock = std::chrono::steady_clock;
    // A dispatch the event loop runs stops at its budget, so timers and reads
    // stay prompt, and goes on at the next turn. One a caller runs (tests, the
    // in-memory soak) takes everything waiting, at most what the queues hold,
    // so what it handles never depends on how fast the machine is.
    const Clock::time_point deadline = Clock::now() + serverlimits::kDispatchBudget;
    const auto pastBudget = [&] { return ownDispatch_ && Clock::now() >= deadline; };
    SendBatch batch(*this);
    // One message from each waiting connection in turn, so no backlog delays
    // another connection's messages; each connection's in the order they came.
    bool took = true;
    while (took) {
        took = false;
        for (int step = 0; step < kSlots; ++step) {
            const int n = nextTurn_;
            nextTurn_ = nextTurn_ % kSlots + 1;
            ServerSlot& slot = slots_[std::size_t(n)];
            if (slot.inbox.empty())
                continue;
            const std::string line = std::move(slot.inbox.front());
            slot.inbox.pop_front();
            took = true;
            dispatchOne(n, line);
            if (pastBudget())
                break;
        }
        if (pastBudget())
            break;
    }
    if (queuedMessages() == 0)
        socktimer.stop();
}

void ServerConnections::dispatch(int n, std::string_view line)
{
    SendBatch batch(*this);
    dispatchOne(n, line);
}

void ServerConnections::dispatchOne(int n, std::string_view line)
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
        at(Command::startgame).route = &C::take<StartGame, &StartGame::parse, &G::startgame>;
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
