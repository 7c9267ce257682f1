// ServerGame: the game on the host. Starting a game, dealing rounds, the game
// clock, checking and scoring words, and naming the winner; it talks to the
// players through the connection slots.
#pragma once

#include "board.h"
#include "server_connections.h"
#include "tdictn.h"

#include <QTimer>

#include <array>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

// Clock states, kept in the game clock's tag.
enum ClockState { csRoundRunning = 0, csPause = 1, csGameDecided = 2 };

// A seat's standing in the game.
struct SeatScore {
    int64_t score = 0;
    int64_t roundscore = 0;
    int64_t wordscore = 0;
    std::string word; // the word under test
    int32_t partner = 0;
};

class ServerGame : public GameCommands {
public:
    // secondMs is the length of one second of the game clock (tests and demos
    // shorten it).
    ServerGame(ServerConnections& connections, std::unique_ptr<TDictn> dictionary, int secondMs);
    ServerGame(const ServerGame&) = delete;
    ServerGame& operator=(const ServerGame&) = delete;

    void seed(uint32_t value) { random_.seed(value); }
    // The game clock's tick.
    void gametimeTimer();

    void startgame(int n, const wire::StartGame& request) override;
    void wordcomplete(int n, const wire::WordComplete& word) override;
    void welcome(int n) override;

    // Seats 1 to 4; any other number reads as a seat that never scored.
    const SeatScore& seat(int n) const;
    const Board& currentBoard() const { return board_; }
    Board& boardForTests() { return board_; }
    int currentRound() const { return round; }
    int clockState() const { return gametimeTag; }
    int secondsLeft() const { return timeleft; }
    bool gameTimerActive() const { return gametime.isActive(); }
    bool isGameRunning() const { return gamerunning; }
    TDictn& dictionary() { return *spell; }

private:
    void clearit1();
    void findplayer();
    void getboardarray();
    bool checkforwin();
    void setClockState(ClockState state) { gametimeTag = state; }
    std::string boardRow(int y) const;
    void sendBoardTo(int n);

    ServerConnections& connections_;
    std::unique_ptr<TDictn> spell;
    std::array<SeatScore, kSeats + 1> seats_; // 1..4
    std::array<std::unordered_set<std::string>, kSeats + 1> wordlist; // 1..4: words accepted this round
    QTimer gametime;
    int gametimeTag = csRoundRunning; // the clock state
    Board board_ {};
    std::mt19937 random_;
    int round = 0;
    int numrounds = 0;
    int roundtime = 0; // seconds per round
    bool teamgame = false;
    int timeleft = 0;
    // Words count only while the server's own clock runs a round; nobody else
    // decides when a round is over.
    bool gamerunning = false;
};
