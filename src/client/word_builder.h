// The word a player builds on the board: twelve slots of letter code and tile reference,
// the rule for which tile may come next, and the board's pixel-to-cell geometry. No widgets.
#pragma once

#include "game_facts.h"
#include "word_scoring.h"

#include <QPoint>
#include <QString>

#include <array>
#include <optional>
#include <vector>

class WordBuilder {
public:
    // The word row shows twelve letters; a thirteenth slot exists in the row but never fills.
    static constexpr int kMaxLetters = kMaxWordTiles;
    static constexpr int kSlotCount = kMaxWordTiles + 1;

    static constexpr int kColumns = kBoardColumns;
    static constexpr int kRows = kBoardRows;
    // Cells sit 40 pixels apart; their 41-pixel tiles overlap the right and lower neighbour.
    static constexpr int kPitch = 40;
    // A drag picks a tile up only inside this square, so crossing a corner picks up nothing.
    static constexpr int kInnerFrom = 9;
    static constexpr int kInnerTo = 33;

    int lettercount() const { return count; }
    // Slot numbers count from 1; anything outside 1 to 13 reads as an empty slot.
    int tag(int slot) const;
    QString hint(int slot) const;

    // Reads a tile reference "c.r"; false unless it is exactly two decimal integers.
    static bool parseHint(const QString& hint, int& c, int& r);
    static QString makeHint(int c, int r);

    // The cell named by the last slot's hint; none when the word is empty or that hint is not
    // a tile reference, in which case any tile may start a new chain.
    std::optional<QPoint> previousTile() const;
    // The adjacency rule alone: one of the eight cells around the previous tile. A cell may
    // come back later in the word (A, B, A) but never directly after itself.
    bool mayFollow(int c, int r) const;
    // mayFollow, and the word still has room.
    bool canAdd(int c, int r) const;

    // Puts the tile in the next slot. The caller has checked canAdd and that the cell holds a
    // letter; only a full word is refused here, so the slots can never overflow.
    bool add(int c, int r, int code);
    // Only the last letter can be taken back; any other slot number changes nothing.
    bool takeBack(int slotNumber);
    void clear();

    // The cells of the word as the server expects them: "+c.r" for each slot from the first
    // up to the first empty one, e.g. "+3.7+4.7+4.8".
    QString wordcompleteFields() const;
    // The same cells as tile references, for the game client to send.
    std::vector<TileRef> tiles() const;

    // The cell under a point of the board; none outside columns 0-12 and rows 0-8 (the
    // board's bottom pixel line falls in row 9 and so is outside).
    static std::optional<QPoint> cellAt(QPoint boardPixel);
    static bool inInnerSquare(QPoint boardPixel, int c, int r);

private:
    struct Slot {
        int tag = 0;
        QString hint;
    };
    std::array<Slot, kSlotCount> entries {};
    int count = 0;
};
