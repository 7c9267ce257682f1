// A word typed on the keyboard: the letters so far, every chain on the board that spells them
// (the cells to light), and the chain Enter would send, which Tab moves through. No widgets.
#pragma once

#include "board.h"
#include "typed_chains.h"

#include <QPoint>

#include <optional>
#include <string>
#include <vector>

class TypedWord {
public:
    // A new board forgets what was typed.
    void setBoard(const Board& board);
    const Board& board() const { return board_; }

    const std::string& typed() const { return typed_; }
    bool empty() const { return typed_.empty(); }

    // Adds a letter (a to z, either case) when some chain spells what was typed with it; a
    // letter that makes no chain, or a thirteenth, changes nothing and gives false.
    bool type(char letter);
    // Takes back the last letter; false when nothing was typed.
    bool backspace();
    void clear();
    // The next (or, going back, the previous) chain for the same letters, wrapping round; false
    // when there is no other.
    bool cycle(bool forward = true);

    // The chains for what was typed, best first; empty when nothing was typed.
    const std::vector<ScoredChain>& chains() const;
    std::size_t chosenIndex() const { return chosen_; }
    // The chain Enter sends: the best one until Tab chose another. Empty when nothing was typed.
    std::vector<QPoint> chosenCells() const;
    std::vector<TileRef> chosenTiles() const;
    // Every cell on some chain that spells what was typed, in reading order.
    std::vector<QPoint> litCells() const;

private:
    Board board_ {};
    std::string typed_;
    std::optional<TypedChains> chains_;
    std::size_t chosen_ = 0;
};
