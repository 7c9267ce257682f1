// A computer player's decisions, apart from any connection: which words of a
// board it will find, in which order, and when each is ready to send. Time is
// whatever clock the caller keeps (the live player's ticks, or the
// calibration's simulated round), so the same code plays and is measured.
#pragma once

#include "bot_level.h"
#include "word_finder.h"

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

// The board as players see it: the spell book's kind is never told, so the
// centre counts as a plain cell.
Board withPlainBook(Board board);

class PlayPlanner {
public:
    // The lexicon must outlive the planner.
    PlayPlanner(const Lexicon& lexicon, const BotLevel& level, std::uint32_t seed);

    const BotLevel& level() const { return level_; }

    // A new round on a board as players see it. Solves it, keeps the words
    // this level knows in the order it will find them, and sets the moment of
    // the first word (the round begins at 0 ms).
    void startRound(const Board& board);
    // The round is over: nothing more is sent until the next startRound.
    void endRound();
    bool inRound() const { return inRound_; }

    // The word to send at nowMs (milliseconds since startRound) while the
    // round's clock shows secondsLeft, or nothing: none is due yet, the round
    // is about to end, or the list is spent. A word comes at most once a round.
    std::optional<FoundWord> next(std::int64_t nowMs, int secondsLeft);

    // When the next word is due, in the round's milliseconds.
    std::int64_t nextDueMs() const { return nextDueMs_; }
    // The least time between two words: the level's ceiling on its pace.
    std::int64_t leastGapMs() const;
    std::size_t wordsLeft() const { return order_.size() - sent_; }
    std::size_t wordsSent() const { return sent_; }

private:
    double unitRandom();
    double weightOf(const FoundWord& word, const Board& board) const;
    std::int64_t thinkMs();

    BotLevel level_;
    WordFinder finder_;
    std::mt19937 random_;
    std::vector<FoundWord> order_; // the known words, in the order they come to mind
    std::vector<std::pair<double, std::size_t>> keys_; // working space for the ordering
    std::size_t sent_ = 0;
    std::int64_t nextDueMs_ = 0;
    bool inRound_ = false;
};
