// The game's facts, once: the board's shape, seats and spies, letters and their
// values, the bonus cells, the word and round bounds. Server, game client, word
// finder and view all take them from here.
#pragma once

#include <array>
#include <cstdint>

// The board: 13 columns (x 0 to 12) by 9 rows (y 0 to 8), column first.
constexpr int kBoardColumns = 13;
constexpr int kBoardRows = 9;
constexpr int kBoardCells = kBoardColumns * kBoardRows;

// Connection numbers 1 to 9: seats 1 to 4 play, 5 to 9 are spies who watch and chat.
constexpr int kSeats = 4;
constexpr int kFirstSpy = kSeats + 1;
constexpr int kSlots = 9;

constexpr bool isSeat(int number) { return number >= 1 && number <= kSeats; }
constexpr bool isSpy(int number) { return number >= kFirstSpy && number <= kSlots; }
// Seats 1 and 3, and seats 2 and 4, are partners in a team game.
constexpr int partnerOf(int seat) { return isSeat(seat) ? (seat + 1) % kSeats + 1 : 0; }

// The word row holds twelve letters, so no word is longer.
constexpr int kMaxWordTiles = 12;

// Letter codes 1 to 26 stand for a to z; 0 is an empty cell.
constexpr int32_t kFirstLetterCode = 1;
constexpr int32_t kLastLetterCode = 26;
constexpr bool isLetterCode(int32_t code) { return code >= kFirstLetterCode && code <= kLastLetterCode; }
constexpr char letterOf(int32_t code)
{
    return isLetterCode(code) ? char('a' + (code - kFirstLetterCode)) : 't';
}
constexpr int32_t letterCodeOf(char letter)
{
    return letter >= 'a' && letter <= 'z' ? letter - 'a' + kFirstLetterCode
        : letter >= 'A' && letter <= 'Z'  ? letter - 'A' + kFirstLetterCode
                                          : 0;
}

// Point value of each letter a to z: the rarer the letter, the more it is worth.
constexpr std::array<int, 26> kLetterWorth {
    1, 3, 3, 1, 1, 5, 3, 3, 1, 5, 5, 1, 3, // a to m
    1, 1, 3, 10, 1, 1, 1, 1, 7, 5, 10, 3, 10, // n to z
};
// Any code outside 1 to 26 is worth 1.
constexpr int letterValue(int32_t code)
{
    return isLetterCode(code) ? kLetterWorth[std::size_t(code - 1)] : 1;
}

// Kinds of bonus cell, as the server scores them.
enum BonusKind : int32_t {
    BonusNone = 0,
    BonusYellowPotion = 1, // doubles the word
    BonusRedPotion = 2, // triples the word
    BonusDoubleLetter = 3,
    BonusTripleLetter = 4,
};

struct FixedBonusCell {
    int x;
    int y;
    BonusKind kind;
};

// Red potions on the corners, yellow potions in a ring around the centre. No two
// potion cells touch, so a word never crosses two potions in a row.
constexpr std::array<FixedBonusCell, 8> kFixedBonusCells { {
    { 0, 0, BonusRedPotion },
    { 0, kBoardRows - 1, BonusRedPotion },
    { kBoardColumns - 1, 0, BonusRedPotion },
    { kBoardColumns - 1, kBoardRows - 1, BonusRedPotion },
    { 3, 2, BonusYellowPotion },
    { 3, 6, BonusYellowPotion },
    { 9, 2, BonusYellowPotion },
    { 9, 6, BonusYellowPotion },
} };

// The spell book in the centre takes one of the four kinds, drawn anew each round;
// the players are never told which, so the window only shows a book there.
constexpr int kCentreColumn = 6;
constexpr int kCentreRow = 4;

// What a start request may ask for. The start dialog offers 3 to 9 rounds of 1 to
// 5 minutes; the server's wider bounds only keep a request from another program
// from overflowing the clock arithmetic.
constexpr int kDialogMinRounds = 3;
constexpr int kDialogMaxRounds = 9;
constexpr int kDialogMinMinutes = 1;
constexpr int kDialogMaxMinutes = 5;
constexpr int kServerMinRounds = 1;
constexpr int kServerMaxRounds = 99;
constexpr int kServerMinMinutes = 1;
constexpr int kServerMaxMinutes = 60;

// The pause after a round's end, and after a last round that decided nothing.
// Both are counted down once in the ending tick, so the next board follows 29
// or 19 seconds later; every window shows the longer pause.
constexpr int kPauseBetweenRounds = 30;
constexpr int kPauseAfterUndecidedGame = 20;

// Seconds left at which the server sends its clock corrections (it sends one less).
constexpr std::array<int, 4> kClockCorrectionPoints { 100, 80, 40, 20 };
