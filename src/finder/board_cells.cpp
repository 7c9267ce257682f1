// Chains as tile references, and the per-cell facts of a board.
#include "board_cells.h"

std::vector<TileRef> CellPath::tiles() const
{
    std::vector<TileRef> out;
    out.reserve(length);
    for (CellIndex cell : view())
        out.push_back(tileOf(cell));
    return out;
}

BoardFacts::BoardFacts(const Board& board)
{
    constexpr int32_t kCodeOfT = letterCodeOf('t');
    for (int y = 0; y < kBoardRows; ++y) {
        for (int x = 0; x < kBoardColumns; ++x) {
            const CellIndex index = cellIndexOf(x, y);
            const int32_t code = isLetterCode(board.board[x][y]) ? board.board[x][y] : kCodeOfT;
            CellFacts& cell = cells[index];
            cell.letter = static_cast<std::uint8_t>(code - kFirstLetterCode);
            int points = letterValue(code);
            switch (board.bonus[x][y]) {
            case BonusDoubleLetter:
                points *= 2;
                break;
            case BonusTripleLetter:
                points *= 3;
                break;
            case BonusYellowPotion:
                cell.crossing = Crossing::Yellow;
                yellow.insert(index);
                break;
            case BonusRedPotion:
                cell.crossing = Crossing::Red;
                red.insert(index);
                break;
            default:
                break;
            }
            cell.points = static_cast<std::uint8_t>(points);
            cellsOf[cell.letter].insert(index);
        }
    }
}
