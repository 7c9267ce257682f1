// The review of a round that ended: every word each seat found, the words nobody found, best
// first, and how much of the board each seat took, worked out by the window's own finder from
// the board it was dealt. No widgets.
#pragma once

#include "client_state.h"
#include "game_facts.h"

#include <QPoint>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

class Lexicon;

struct ReviewWord {
    QString word; // in capitals
    int64_t score = 0; // a found word: what the server gave; a missed one: its best chain's
    std::vector<QPoint> path; // the chain to light, first letter first; empty when none spells it
};

struct ReviewTotals {
    bool taken = false;
    QString name;
    int words = 0;
    int64_t points = 0;
};

class RoundReview {
public:
    // A list shows this many words, best first, and counts the rest: enough to study, short
    // enough to read in the pause between rounds.
    static constexpr int kListed = 50;

    // The review of the ended round in the state; empty (no board words) when none ended.
    static RoundReview of(const client::ClientState& state, const Lexicon& lexicon);

    // The spell book's kind the scores use (a BonusKind), BonusNone when it was not known and
    // the book's cell counts as a plain one.
    int bookKind = BonusNone;
    int boardWords = 0;
    int64_t boardPoints = 0;
    // Seats 1 to 4: the words each found, best first, at most kListed, and how many more.
    std::array<std::vector<ReviewWord>, kSeats + 1> found;
    std::array<int, kSeats + 1> foundMore {};
    std::array<ReviewTotals, kSeats + 1> totals;
    // Words the board held that nobody found, best first, at most kListed, and how many more.
    std::vector<ReviewWord> missed;
    int missedMore = 0;
};
