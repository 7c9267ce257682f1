// ServerConnections: the nine connection slots on a transport. Numbering,
// framing, login, departures, the relays, the inbound queue and its dispatch,
// and sending; the game's commands are handed on to the game.
#pragma once

#include "game_facts.h"
#include "messages.h"
#include "protocol.h"
#include "server_transport.h"

#include <QTimer>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// One connection slot.
struct ServerSlot {
    std::string name;
    uint8_t connected = 0;
    // Which connection holds the slot: messages queued by an earlier occupant
    // are never taken for this one.
    ConnectionId connection = 0;
    // The bytes of a message still on its way.
    wire::MessageFramer framer;
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
    // dispatchIntervalMs is the pace of the dispatch timer; 0 leaves dispatch
    // to whoever calls socktimerTimer (tests drive it by hand).
    ServerConnections(ServerTransport& transport, int dispatchIntervalMs);
    ~ServerConnections();
    ServerConnections(const ServerConnections&) = delete;
    ServerConnections& operator=(const ServerConnections&) = delete;

    void setGame(GameCommands* game) { game_ = game; }

    // The dispatch timer's tick: hands the oldest queued message to its handler.
    void socktimerTimer();
    // Hands one message from the connection in slot n to its handler.
    void dispatch(int n, std::string_view line);

    // One message, without its end byte, to slot n if it is connected.
    void sendTo(int n, std::string_view message);
    // To every connected slot in increasing order, spies and sender included.
    void sendToAll(std::string_view message);

    // Slots 1 to 9; any other number reads as a free slot.
    const ServerSlot& slot(int n) const;
    int slotsHandedOut() const { return numslots; }
    std::size_t queuedMessages() const { return receivedlist.size(); }

private:
    // The transport's events.
    void accepted(ConnectionId id);
    void received(ConnectionId id, std::string_view bytes);
    void ended(ConnectionId id);

    int takeSlot();
    void closeSlot(int n);
    int slotOf(ConnectionId id) const;
    void restartDispatch();

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

    ServerTransport& transport_;
    GameCommands* game_ = nullptr;
    std::array<ServerSlot, kSlots + 1> slots_; // 1..9
    int numslots = 0; // the highest slot handed out so far; never shrinks
    wire::InboundQueue receivedlist;
    QTimer socktimer;
    int dispatchIntervalMs_;
};
