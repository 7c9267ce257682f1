// TServer: the host's game server, a QObject without widgets so lexmire-server
// runs it with no display. It owns the connection slots and the game and wires
// them to each other and to a transport: TCP by default, or one handed in.
#pragma once

#include "server_connections.h"
#include "server_game.h"
#include "server_limits.h"
#include "server_transport.h"
#include "tdictn.h"
#include "tsock.h"

#include <QObject>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class SocketTransport;

// A slot as the program and tests read it: the connection's fields and, for
// seats 1 to 4, the seat's standing.
struct tplayer {
    std::string name;
    uint8_t connected = 0;
    int64_t score = 0;
    int64_t roundscore = 0;
    int64_t wordscore = 0;
    std::string word;
    int32_t partner = 0;
};

class TServer : public QObject {
    Q_OBJECT
public:
    // The game's facts under the names the server's readers know them by.
    static constexpr int kSlots = ::kSlots;
    static constexpr int kSeats = ::kSeats;

    struct Options {
        // The port of the default transport's listener.
        std::string portName = "7772";
        // The dictionary's record file, written from `wordRecords` when missing.
        std::string dictionaryPath;
        std::string_view wordRecords;
        TDictn::Notice dictionaryNotice;
        // Milliseconds in one second of the game clock (tests and demos shorten it).
        int secondMs = 1000;
        // 0 leaves dispatch to whoever calls socktimerTimer (tests drive it
        // by hand); any other value lets the server dispatch by itself, at the
        // next turn of the event loop whenever messages wait.
        int dispatchIntervalMs = 10;
        // The login clock's tick; 0 leaves it to whoever calls logintimeTimer.
        int loginTickMs = serverlimits::kLoginTickMs;
    };

    // Serves on TCP, through its own listener on options.portName.
    explicit TServer(Options options, QObject* parent = nullptr);
    // Serves on the given transport, which must outlive the server.
    TServer(Options options, ServerTransport& transport, QObject* parent = nullptr);
    ~TServer() override;

    // Hosting: starts listening; throws ESockException with the endpoint's text.
    void startListening() { transport_.startListening(); }
    int listeningPort() const { return transport_.listeningPort(); }
    void seed(uint32_t value) { game_.seed(value); }

    // Timer tick handlers; production wires them to their timers, tests call them.
    void socktimerTimer() { connections_.socktimerTimer(); }
    void gametimeTimer() { game_.gametimeTimer(); }
    void logintimeTimer() { connections_.logintimeTimer(); }

    // Hands one message from the connection in slot n to its handler, as the
    // dispatch timer does once it knows the sender.
    void dispatch(int n, std::string_view line) { connections_.dispatch(n, line); }

    // Read-only views for the program and tests.
    tplayer player(int n) const;
    int slotsHandedOut() const { return connections_.slotsHandedOut(); }
    std::size_t queuedMessages() const { return connections_.queuedMessages(); }
    std::size_t queuedMessagesFrom(int n) const { return connections_.slot(n).inbox.size(); }
    bool dispatchTimerActive() const { return connections_.dispatchTimerActive(); }
    bool loginTimerActive() const { return connections_.loginTimerActive(); }
    const Board& currentBoard() const { return game_.currentBoard(); }
    Board& boardForTests() { return game_.boardForTests(); }
    int currentRound() const { return game_.currentRound(); }
    int clockState() const { return game_.clockState(); }
    int secondsLeft() const { return game_.secondsLeft(); }
    bool gameTimerActive() const { return game_.gameTimerActive(); }
    bool isGameRunning() const { return game_.isGameRunning(); }
    TDictn& dictionary() { return game_.dictionary(); }

private:
    TServer(Options options, ServerTransport* transport, QObject* parent);

    // Declared in the order they are built: the transport outlives the slots,
    // and the slots outlive the game that sends through them.
    std::unique_ptr<SocketTransport> ownTransport_;
    ServerTransport& transport_;
    ServerConnections connections_;
    ServerGame game_;
};
