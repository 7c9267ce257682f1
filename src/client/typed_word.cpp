// Typed words: each letter asks the finder for the chains that spell the word so far.
#include "typed_word.h"

#include "finder_limits.h"

void TypedWord::setBoard(const Board& board)
{
    board_ = board;
    clear();
}

bool TypedWord::type(char letter)
{
    if (letterIndexOf(letter) < 0 || typed_.size() >= kMaxTypedLetters)
        return false;
    const std::string longer = typed_ + char(letter | 0x20); // small letters, as the finder reads them
    std::optional<TypedChains> found = findTypedChains(board_, longer);
    if (!found)
        return false;
    typed_ = longer;
    chains_ = std::move(found);
    chosen_ = 0;
    return true;
}

bool TypedWord::backspace()
{
    if (typed_.empty())
        return false;
    typed_.pop_back();
    // What was typed before was spelled, so a shorter word is too.
    chains_ = typed_.empty() ? std::nullopt : findTypedChains(board_, typed_);
    if (!chains_)
        typed_.clear();
    chosen_ = 0;
    return true;
}

void TypedWord::clear()
{
    typed_.clear();
    chains_.reset();
    chosen_ = 0;
}

bool TypedWord::cycle(bool forward)
{
    const std::size_t count = chains().size();
    if (count < 2)
        return false;
    chosen_ = forward ? (chosen_ + 1) % count : (chosen_ + count - 1) % count;
    return true;
}

const std::vector<ScoredChain>& TypedWord::chains() const
{
    static const std::vector<ScoredChain> kNone;
    return chains_ ? chains_->chains : kNone;
}

std::vector<QPoint> TypedWord::chosenCells() const
{
    std::vector<QPoint> cells;
    for (const TileRef& tile : chosenTiles())
        cells.emplace_back(tile.x, tile.y);
    return cells;
}

std::vector<TileRef> TypedWord::chosenTiles() const
{
    if (chains().empty())
        return {};
    return chains()[chosen_].path.tiles();
}

std::vector<QPoint> TypedWord::litCells() const
{
    std::vector<QPoint> cells;
    if (!chains_)
        return cells;
    CellSet all;
    for (const CellSet& layer : chains_->lit)
        all |= layer;
    all.forEach([&](CellIndex cell) {
        const TileRef tile = tileOf(cell);
        cells.emplace_back(tile.x, tile.y);
    });
    return cells;
}
