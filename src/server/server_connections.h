// ServerConnections: the nine connection slots on a transport. Numbering,
// framing, login and its deadline, departures, the relays, each connection's
// queue and their dispatch in turn, and gathered sending; the game's commands
// are handed on to the game.
#pragma once

#include "game_facts.h"
#include "messages.h"
#include "protocol.h"
#include "server_transport.h"

#include <QTimer>

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One connection slot.
struct ServerSlot {
    std::string name;
    uint8_t connected = 0;
    // Only the first login on a connection counts.
    bool loggedIn = false;
    // Ticks of the login clock this connection has waited without logging in.
    int loginTicks = 0;
    // The peer has gone and its last messages are being handled: nothing more
    // is sent to it.
    bool leaving = false;
    // Which connection holds the slot: nothing of an earlier occupant's is
    // ever taken for this one.
    ConnectionId connection = 0;
    // The bytes of a message still on its way.
    wire::MessageFramer framer;
    // Messages received and waiting for dispatch, oldest first.
    std::deque<std::string> inbox;
    // What this dispatch sends the connection, end bytes included, written
    // in one piece when the dispatch ends.
    std::string gathered;
};

// What the connections hand to the game: its commands, each already checked
// to come from the connection it names, and a newcomer who has just logged in.
class GameCommands {
public:
    virtual void startgame(int n, const wire::StartGame& request) = 0;
    virtual void wordcomplete(int n, const wire::WordComplete& word) = 0;
    // Brings a newcomer into the round in play, if one is.
    virtual void welcome(int n) = 0;

protected:
    ~GameCommands() = default;
};

class ServerConnections {
public:
    // dispatchIntervalMs 0 leaves dispatch to whoever calls socktimerTimer, and
    // loginTickMs 0 the login clock to whoever calls logintimeTimer (tests
    // drive both by hand); otherwise dispatch runs at the next turn of the
    // event loop whenever messages wait, and the login clock ticks every
    // loginTickMs while somebody has not logged in.
    ServerConnections(ServerTransport& transport, int dispatchIntervalMs, int loginTickMs);
    ~ServerConnections();
    ServerConnections(const ServerConnections&) = delete;
    ServerConnections& operator=(const ServerConnections&) = delete;

    void setGame(GameCommands* game) { game_ = game; }

    // Sends made while one of these lives are gathered per connection and
    // written once, when the outermost one ends: a round's start is one write
    // to each connection instead of one per message. Nested ones are free.
    class SendBatch {
    public:
        explicit SendBatch(ServerConnections& connections);
        ~SendBatch();
        SendBatch(const SendBatch&) = delete;
        SendBatch& operator=(const SendBatch&) = delete;

    private:
        ServerConnections& connections_;
    };

    // The dispatch timer's tick: hands every waiting message to its handler,
    // one connection after another in turn, within a time budget.
    void socktimerTimer();
    // The login clock's tick (once a second while somebody has not logged in
    // or a removed connection is still open): closes connections that have
    // waited too long to log in, and removed ones once their goodbye is out.
    void logintimeTimer();
    // Hands one message from the connection in slot n to its handler.
    void dispatch(int n, std::string_view line);

    // One message, without its end byte, to slot n if it is connected.
    void sendTo(int n, std::string_view message);
    // To every connected slot in increasing order, spies and sender included.
    void sendToAll(std::string_view message);

    // Slots 1 to 9; any other number reads as a free slot.
    const ServerSlot& slot(int n) const;
    // Slot n is held by a connection that has logged in.
    bool isPresent(int n) const;
    int slotsHandedOut() const { return numslots; }
    std::size_t queuedMessages() const;
    bool dispatchTimerActive() const { return socktimer.isActive(); }
    bool loginTimerActive() const { return logintime.isActive(); }

private:
    // The transport's events.
    void accepted(ConnectionId id);
    void received(ConnectionId id, std::string_view bytes);
    void ended(ConnectionId id);

    int takeSlot();
    void closeSlot(int n);
    int slotOf(ConnectionId id) const;
    void handleLeftovers(int n);
    void dispatchOne(int n, std::string_view line);
    void restartDispatch();
    void restartLoginClock();
    void flush(int n);
    void flushAll();

    // Handlers.
    void receivedlogininfo(int n, const wire::LoginInfo& login);
    void kickhim(int n, const wire::KickRequest& request);
    void disconnectsock(int n);
    void chat(int n, const wire::ChatRequest& request);
    void action(int n, const wire::ActionRequest& request);
    void playasound(int n, const wire::PlayASound& request);

    // The dispatch table: one route per command, indexed by the command.
    using Route = void (ServerConnections::*)(int n, std::string_view args);
    struct Entry {
        Route route = nullptr;
        bool hostOnly = false;
    };
    static const std::array<Entry, wire::kCommandCount>& routes();
    // Parses the argument text and runs the handler when the message names
    // its own sender.
    template <typename Message, std::optional<Message> (*Parse)(std::string_view), auto Handler>
    void take(int n, std::string_view args);

    // A connection the host removed: out of its slot, told, not yet closed.
    struct Removed {
        ConnectionId connection = 0;
        int ticks = 0;
    };

    ServerTransport& transport_;
    GameCommands* game_ = nullptr;
    std::array<ServerSlot, kSlots + 1> slots_; // 1..9
    std::vector<Removed> removed_;
    int numslots = 0; // the highest slot handed out so far; never shrinks
    int nextTurn_ = 1; // the slot whose message dispatch takes next
    int batchDepth_ = 0;
    QTimer socktimer;
    QTimer logintime;
    bool ownDispatch_;
    int loginTickMs_;
};
