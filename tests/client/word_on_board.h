// A real word on a window's board, for tests that play one: found by walking every chain of
// touching cells and asking the dictionary.
#pragma once

#include "tchat.h"
#include "tdictn.h"

#include <QPoint>

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

struct BoardPath {
    std::vector<QPoint> cells;
    std::string word;
};

// The first word of three to five letters found on the window's board; empty when none is.
inline BoardPath findWord(const Tchat& window, TDictn& dictionary)
{
    const auto letterAt = [&window](QPoint cell) {
        return char(
            'a' + window.client().state().boardtiles[std::size_t(cell.x())][std::size_t(cell.y())] - 1);
    };
    BoardPath best;
    std::function<bool(BoardPath&)> walk = [&](BoardPath& path) {
        if (path.word.size() >= 3 && dictionary.CheckWord(path.word)) {
            best = path;
            return true;
        }
        if (path.word.size() == 5)
            return false;
        const QPoint last = path.cells.back();
        for (int dc = -1; dc <= 1; ++dc)
            for (int dr = -1; dr <= 1; ++dr) {
                const QPoint next(last.x() + dc, last.y() + dr);
                if ((dc == 0 && dr == 0) || next.x() < 0 || next.y() < 0 || next.x() >= kBoardColumns
                    || next.y() >= kBoardRows)
                    continue;
                path.cells.push_back(next);
                path.word += letterAt(next);
                if (walk(path))
                    return true;
                path.cells.pop_back();
                path.word.pop_back();
            }
        return false;
    };
    for (int c = 0; c < kBoardColumns; ++c)
        for (int r = 0; r < kBoardRows; ++r) {
            BoardPath start { { QPoint(c, r) }, std::string(1, letterAt(QPoint(c, r))) };
            if (walk(start))
                return best;
        }
    return best;
}

} // namespace testsupport
