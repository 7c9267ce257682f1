// The server's handlers driven straight through dispatch: any message from any
// slot number, with the game clock ticking in between, never breaks the
// server's own rules about rounds, the clock and scores. Four peers hold the
// seats (the host may remove them), so games have players to name.
#include "fuzz_check.h"
#include "fuzz_fixtures.h"
#include "fuzz_input.h"
#include "fuzz_server.h"

#include "tserver.h"
#include "wire_limits.h"
#include "word_scoring.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

// Every two-letter string is a word, so almost any chain of two tiles scores,
// and a few longer words give the engine something to find.
std::vector<std::string> fuzzWords()
{
    std::vector<std::string> words;
    for (char a = 'A'; a <= 'Z'; ++a)
        for (char b = 'A'; b <= 'Z'; ++b)
            words.push_back(std::string { a, b });
    for (const char* w :
        { "ATE", "EAT", "TEA", "SEA", "SEAT", "EATS", "EAST", "TEAS", "AGE", "DOE", "ODE", "IDEA" })
        words.push_back(w);
    return words;
}

struct Fixture {
    FuzzFolder folder { "lexmire-server-fuzz" };
    std::string records = recordsOf(fuzzWords());
};

Fixture* fixture = nullptr;

// What we know of the game from outside, to check the server against.
struct Observed {
    bool team = false;
    int rounds = 0; // rounds asked for; 0 before the first game
    int round = -1;
    std::set<std::string> found[TServer::kSeats + 1];
};

void checkInvariants(const TServer& server)
{
    FUZZ_CHECK(server.slotsHandedOut() == TServer::kSeats);
    FUZZ_CHECK(server.queuedMessages() == 0);
    const int state = server.clockState();
    FUZZ_CHECK(state == csRoundRunning || state == csPause || state == csGameDecided);
    // Words count only while a round runs on the clock.
    if (server.isGameRunning())
        FUZZ_CHECK(server.gameTimerActive() && state == csRoundRunning && server.secondsLeft() > 0);
    FUZZ_CHECK(server.currentRound() >= 0);
    for (int n = 1; n <= TServer::kSlots; ++n)
        FUZZ_CHECK(server.player(n).name.size() <= wire::kMaxNameBytes);
    for (int seat = 1; seat <= TServer::kSeats; ++seat) {
        const tplayer p = server.player(seat);
        FUZZ_CHECK(p.score >= 0 && p.roundscore >= 0 && p.roundscore <= p.score);
        FUZZ_CHECK(p.wordscore >= 0 && p.wordscore <= kMaxWordScore);
    }
    if (server.currentRound() > 0) {
        const Board& board = server.currentBoard();
        for (int x = 0; x < kBoardColumns; ++x)
            for (int y = 0; y < kBoardRows; ++y)
                FUZZ_CHECK(board.board[x][y] >= kFirstLetterCode && board.board[x][y] <= kLastLetterCode);
    }
}

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

struct Start {
    int rounds;
    bool team;
};

// A start request the host may make: "CMD_startgame+" its own number 1 (any
// integer text for 1, such as "01"), rounds 1 to 99, a flag (only "y" asks
// for teams), minutes 1 to 60, and the "+" after them; anything after that
// is ignored.
std::optional<Start> validStart(int n, std::string_view line)
{
    if (n != 1 || !startsWith(line, "CMD_startgame+"))
        return std::nullopt;
    wire::FieldReader fields(line.substr(std::string_view("CMD_startgame+").size()));
    int32_t sender = 0, rounds = 0, minutes = 0;
    std::string_view team;
    if (!fields.nextInt(sender) || sender != 1 || !fields.nextInt(rounds) || !fields.next(team)
        || !fields.nextInt(minutes))
        return std::nullopt;
    if (rounds < 1 || rounds > 99 || minutes < 1 || minutes > 60)
        return std::nullopt;
    return Start { rounds, team == "y" };
}

// No winner yet: nobody holding a seat has scored, or (seats playing alone)
// the best score among the seats held is shared. Seats nobody holds never count.
bool undecided(const std::vector<int64_t>& scores, const std::vector<bool>& held, bool team)
{
    int64_t best = 0;
    int holders = 0;
    for (std::size_t seat = 1; seat < scores.size(); ++seat) {
        if (!held[seat])
            continue;
        if (scores[seat] > best) {
            best = scores[seat];
            holders = 1;
        } else if (scores[seat] == best) {
            ++holders;
        }
    }
    return best == 0 || (!team && holders > 1);
}

// The four seats, held by peers that have logged in, so the game has players
// to name; what the server sends them is not kept.
void seatPlayers(FuzzServer& fuzz)
{
    for (int seat = 1; seat <= TServer::kSeats; ++seat) {
        const ConnectionId id = fuzz.transport.connect([](std::string_view) {});
        fuzz.transport.deliver(
            id, "CMD_logininfo+" + std::to_string(seat) + "+2.0.5+Seat" + std::to_string(seat) + "\xFF");
        fuzz.server.socktimerTimer();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Timers need an event dispatcher; nothing here ever runs the loop.
    new QCoreApplication(*argc, *argv);
    static Fixture instance;
    fixture = &instance;
    return 0;
}

// Input: lines. A line's first byte picks the slot (its value modulo 11, so 0
// and 10 are tried too); 220 and above first tick a running game clock 1 to 128
// times. The rest of the line is the message.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzServer fuzz(fixture->folder.path(), fixture->records);
    TServer& server = fuzz.server;
    server.seed(7);
    FUZZ_CHECK(server.dictionary().isOpen());
    seatPlayers(fuzz);
    for (int seat = 1; seat <= TServer::kSeats; ++seat)
        FUZZ_CHECK(server.player(seat).name == "Seat" + std::to_string(seat));

    FuzzInput input(data, size);
    Observed seen;
    while (!input.empty()) {
        const uint8_t head = input.byte();
        const std::string_view line = input.until('\n');
        const int n = head % 11;
        if (head >= 220)
            // Only a running clock ticks, as its timer does.
            for (int i = 0, ticks = 1 << ((head - 220) % 8); i < ticks && server.gameTimerActive(); ++i)
                server.gametimeTimer();

        std::vector<int64_t> before;
        std::vector<bool> held;
        for (int seat = 0; seat <= TServer::kSeats; ++seat) {
            before.push_back(server.player(seat).score);
            held.push_back(server.player(seat).connected != 0);
        }
        const int64_t roundBefore = n >= 1 && n <= TServer::kSeats ? server.player(n).roundscore : 0;
        const bool wasRunning = server.isGameRunning();

        server.dispatch(n, line);
        checkInvariants(server);

        const std::optional<Start> start = validStart(n, line);
        if (start) {
            // A new game: round 1 on a full clock, every score back to 0.
            FUZZ_CHECK(
                server.currentRound() == 1 && server.isGameRunning() && server.secondsLeft() % 60 == 0);
            for (int seat = 1; seat <= TServer::kSeats; ++seat)
                FUZZ_CHECK(server.player(seat).score == 0 && server.player(seat).roundscore == 0);
            seen.team = start->team;
            seen.rounds = start->rounds;
        } else if (server.currentRound() > seen.round && server.currentRound() > seen.rounds
            && seen.rounds > 0) {
            // Rounds beyond those asked for are played only while the game is undecided.
            FUZZ_CHECK(undecided(before, held, seen.team));
        }
        if (start || server.currentRound() != seen.round) {
            seen.round = server.currentRound();
            for (auto& words : seen.found)
                words.clear();
        }
        // Only a word from a seat in a running round scores, once per round.
        for (int seat = 1; seat <= TServer::kSeats; ++seat) {
            const int64_t gained = server.player(seat).score - before[std::size_t(seat)];
            if (gained == 0 || start)
                continue;
            FUZZ_CHECK(startsWith(line, "CMD_wordcomplete+") && wasRunning && gained > 0);
            if (seat != n) {
                // Only a partner, in a team game, follows the scorer's total.
                FUZZ_CHECK(seen.team && seat == server.player(n).partner);
                FUZZ_CHECK(server.player(seat).score == server.player(n).score);
                continue;
            }
            FUZZ_CHECK(server.player(n).roundscore - roundBefore == server.player(n).wordscore);
            FUZZ_CHECK(server.player(n).wordscore > 0 && server.player(n).wordscore <= kMaxWordScore);
            FUZZ_CHECK(seen.found[n].insert(server.player(n).word).second);
        }
    }
    return 0;
}
