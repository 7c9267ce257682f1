// TServer: the host's game server. Owns the nine connection slots, the inbound
// queue and its dispatch, the board, word checking, scores and the game clock.
// A QObject without widgets, so lexmire-server runs it with no display.
#pragma once

#include "board.h"
#include "game_running.h"
#include "protocol.h"
#include "tdictn.h"
#include "tsock.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

// One connection slot.
struct tplayer {
    std::string name;
    uint8_t connected = 0;
    TSock* sock = nullptr;
    int64_t score = 0;
    int64_t roundscore = 0;
    int64_t wordscore = 0;
    std::string word;
    int32_t partner = 0;
    // Our own additions: which connection currently holds the slot (messages
    // queued by an earlier occupant are never taken for this one) and the
    // bytes of a message still on its way.
    uint64_t connectionId = 0;
    wire::MessageFramer framer;
    // A connection without a socket (attachForTests) is told its messages here.
    std::function<void(std::string_view)> sink;
};

// Clock states, kept in the game clock's tag.
enum ClockState { csRoundRunning = 0, csPause = 1, csGameDecided = 2 };

class TServer : public QObject {
    Q_OBJECT
public:
    static constexpr int kSlots = 9;
    static constexpr int kSeats = 4;

    struct Options {
        std::string portName = "7772";
        // The dictionary's record file, written from `wordRecords` when missing.
        std::string dictionaryPath;
        std::string_view wordRecords;
        TDictn::Notice dictionaryNotice;
        // Milliseconds in one second of the game clock (tests and demos shorten it).
        int secondMs = 1000;
        // Interval of the dispatch timer; 0 leaves dispatch to whoever calls
        // socktimerTimer (tests drive it by hand).
        int dispatchIntervalMs = 10;
        // The program's shared flag; the server makes its own when none is given.
        std::shared_ptr<GameRunning> gamerunning;
    };

    explicit TServer(Options options, QObject* parent = nullptr);
    ~TServer() override;

    // Hosting: starts listening; throws ESockException with the endpoint's text.
    void startListening();
    int listeningPort() const { return Sock1.localPort(); }
    void seed(uint32_t value) { random_.seed(value); }

    // Timer tick handlers; production wires them to their timers, tests call them.
    void socktimerTimer();
    void gametimeTimer();

    // Hands one message from the connection in slot n to its handler, as the
    // dispatch timer does once it knows the sender.
    void dispatch(int n, std::string_view line);

    // Connections without sockets, so the fuzzer and tests can drive many
    // connections through the real slot, framing and departure code. attach
    // takes a slot as an accepted connection would and returns its number; when
    // all nine are taken the sink hears "CMD_full+" and 0 is returned. Every
    // message for the connection, without its end byte, goes to the sink.
    int attachForTests(std::function<void(std::string_view)> sink);
    // Bytes from such a connection, taken as a read from its socket would be.
    void receiveForTests(int n, std::string_view bytes);
    // Such a connection going away, as its socket closing would.
    void detachForTests(int n);

    // Read-only views for the program and tests.
    const tplayer& player(int n) const { return players[n]; }
    int slotsHandedOut() const { return numslots; }
    const Board& currentBoard() const { return board_; }
    Board& boardForTests() { return board_; }
    int currentRound() const { return round; }
    int clockState() const { return gametimeTag; }
    int secondsLeft() const { return timeleft; }
    bool gameTimerActive() const { return gametime.isActive(); }
    bool isGameRunning() const { return gamerunning->value; }
    std::size_t queuedMessages() const { return receivedlist.size(); }
    TDictn& dictionary() { return *spell; }

private:
    // Connections and login.
    void Sock1Accept(TSock* Sender);
    void Sock1Read(TSock* Sender, int Count);
    void tempsockDisconnect(TSock* Sender);
    void tempsockInfo(TSock* Sender, TSocketInfo SocketInfo, const std::string& Msg);
    int takeSlot();
    void openSlot(int n, TSock* sock, std::function<void(std::string_view)> sink);
    void takeBytes(int n, std::string_view bytes);
    void closeSlot(int n);
    void receivedlogininfo(int n, wire::FieldReader fields);
    void kickhim(int n, wire::FieldReader fields);
    void disconnectsock(int n);
    void chat(int n, wire::FieldReader fields);
    void action(int n, wire::FieldReader fields);
    void playasound(int n, wire::FieldReader fields);
    void useletter() { }

    // Game rules.
    void startgame(int n, std::string_view args, wire::FieldReader fields);
    void clearit1();
    void findplayer();
    void getboardarray();
    void wordcomplete(int n, wire::FieldReader fields);
    bool checkforwin();
    void setClockState(ClockState state);

    // Sending.
    void sendTo(int n, std::string_view message);
    void sendToAll(std::string_view message);
    void sendBoardTo(int n);
    int slotOf(uint64_t connectionId) const;
    void restartDispatch();

    Options options_;
    TSock Sock1;
    TSock tempsock;
    wire::InboundQueue receivedlist;
    QTimer socktimer;
    QTimer gametime;
    int gametimeTag = csRoundRunning; // the clock state
    std::unique_ptr<TDictn> spell;
    std::array<std::vector<std::string>, kSeats + 1> wordlist; // 1..4
    std::array<tplayer, kSlots + 2> players;                    // 1..10
    int numslots = 0;
    uint64_t nextConnectionId = 1;

    Board board_ {};
    std::mt19937 random_;
    int round = 0;
    int numrounds = 0;
    int roundtime = 0;
    bool teamgame = false;
    int timeleft = 0;
    std::shared_ptr<GameRunning> gamerunning;
};
