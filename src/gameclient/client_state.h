// What one participant knows of the game, as plain data: the roster of seats
// and spies, scores, each seat's words of the round, the board, the clock and
// the game's terms. GameClient keeps it; views and computer players read it.
#pragma once

#include "board.h"
#include "game_facts.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace client {

// What the host chose for the game. Before any start every window shows 3 and 3.
struct GameTerms {
    int rounds = 3;
    bool teamGame = false;
    int minutes = 3;
};

// One word of a seat's list: filed best score first, equal scores in the
// order they were found.
struct FiledWord {
    QString word; // in capitals
    int64_t score = 0;
};

struct Seat {
    bool taken = false;
    QString name;
    int64_t score = 0; // the game score, as the server last said
    std::optional<int64_t> bonus; // the last word's or round's points shown beside the score
    std::optional<int64_t> roundPoints; // the round score, once the round has ended
    std::vector<FiledWord> words; // this round's words
};

struct Spy {
    int number = 0;
    QString name;
};

// The pictures every window draws on the fixed bonus cells.
enum BonusPicture : int { NoPicture = 0, YellowPotion = 1, RedPotion = 2, SpellBook = 3 };

// The clock's prefix: nothing before the first round, "Time: " during a
// round, "Wait: " between rounds.
enum class ClockPhase { None, Round, Pause };

struct ClientState {
    bool loggedin = false;
    int mynumber = 0;
    bool ishost = false;
    bool canplay = false;
    GameTerms terms;
    int round = 0;
    int secondsleft = 0;
    ClockPhase phase = ClockPhase::None;
    std::array<Seat, kSeats + 1> seats {}; // 1 to 4
    std::vector<Spy> spies;
    std::array<std::array<int, kBoardRows>, kBoardColumns> boardtiles {};
    std::array<std::array<int, kBoardRows>, kBoardColumns> boardbonus {};
    // The spell book's kind this round (a BonusKind) once the scores of accepted words leave
    // only one; BonusNone until then. Kept through the pause for the round's review.
    int bookKind = BonusNone;
    // The board of the round that ended last, kept through the pause for the round's review
    // (the board itself is emptied at the round's end); forgotten when the next round starts.
    bool hasEndedBoard = false;
    std::array<std::array<int, kBoardRows>, kBoardColumns> endedtiles {};
    std::array<std::array<int, kBoardRows>, kBoardColumns> endedbonus {};

    bool isSpy() const { return mynumber >= kFirstSpy; }
    bool holdsSeat() const { return isSeat(mynumber); }
    const Seat& seat(int n) const { return seats[std::size_t(isSeat(n) ? n : 0)]; }
    // Names of the other seated players: the opponents a seated player's
    // tally records, or everybody for a spy.
    std::vector<QString> opponents() const;
    // The board in play (or the one that ended) as the server scores it: potions as the
    // kinds they are, the book as its deduced kind, or no bonus while that is not known.
    Board scoringBoard() const;
    Board endedScoringBoard() const;
};

// Files a word into a list: before the first entry that scores lower, so the
// list stays best first and equal scores keep their order.
void fileWord(std::vector<FiledWord>& list, const QString& word, int64_t score);

} // namespace client
