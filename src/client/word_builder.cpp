// The word being built and the adjacency rule between its tiles.
#include "word_builder.h"

#include <QStringList>

#include <cstdlib>

int WordBuilder::tag(int slot) const
{
    if (slot < 1 || slot > kSlotCount)
        return 0;
    return entries[size_t(slot - 1)].tag;
}

QString WordBuilder::hint(int slot) const
{
    if (slot < 1 || slot > kSlotCount)
        return {};
    return entries[size_t(slot - 1)].hint;
}

bool WordBuilder::parseHint(const QString& hint, int& c, int& r)
{
    const QStringList parts = hint.split(QLatin1Char('.'));
    if (parts.size() != 2)
        return false;
    bool okColumn = false;
    bool okRow = false;
    const int column = parts[0].toInt(&okColumn);
    const int row = parts[1].toInt(&okRow);
    if (!okColumn || !okRow)
        return false;
    c = column;
    r = row;
    return true;
}

QString WordBuilder::makeHint(int c, int r)
{
    return QString::number(c) + QLatin1Char('.') + QString::number(r);
}

std::optional<QPoint> WordBuilder::previousTile() const
{
    int c = 0;
    int r = 0;
    if (count == 0 || !parseHint(hint(count), c, r))
        return std::nullopt;
    return QPoint(c, r);
}

bool WordBuilder::mayFollow(int c, int r) const
{
    const std::optional<QPoint> previous = previousTile();
    if (!previous)
        return true;
    const int dc = std::abs(c - previous->x());
    const int dr = std::abs(r - previous->y());
    return dc <= 1 && dr <= 1 && (dc != 0 || dr != 0);
}

bool WordBuilder::canAdd(int c, int r) const { return count < kMaxLetters && mayFollow(c, r); }

bool WordBuilder::add(int c, int r, int code)
{
    if (count >= kMaxLetters)
        return false;
    Slot& slot = entries[size_t(count)];
    slot.tag = code;
    slot.hint = makeHint(c, r);
    ++count;
    return true;
}

bool WordBuilder::takeBack(int slotNumber)
{
    if (slotNumber == 0 || slotNumber != count)
        return false;
    entries[size_t(count - 1)] = Slot {};
    --count;
    return true;
}

void WordBuilder::clear()
{
    entries.fill(Slot {});
    count = 0;
}

QString WordBuilder::wordcompleteFields() const
{
    QString fields;
    for (int slot = 1; slot <= kMaxLetters; ++slot) {
        const QString& reference = entries[size_t(slot - 1)].hint;
        if (reference.isEmpty())
            break;
        fields += QLatin1Char('+') + reference;
    }
    return fields;
}

std::vector<TileRef> WordBuilder::tiles() const
{
    std::vector<TileRef> cells;
    for (int slot = 1; slot <= kMaxLetters; ++slot) {
        int c = 0, r = 0;
        if (!parseHint(entries[size_t(slot - 1)].hint, c, r))
            break;
        cells.push_back(TileRef { c, r });
    }
    return cells;
}

std::optional<QPoint> WordBuilder::cellAt(QPoint boardPixel)
{
    // Negative points arrive while a drag holds the mouse outside the board; they are no cell.
    if (boardPixel.x() < 0 || boardPixel.y() < 0)
        return std::nullopt;
    const int c = boardPixel.x() / kPitch;
    const int r = boardPixel.y() / kPitch;
    if (c >= kColumns || r >= kRows)
        return std::nullopt;
    return QPoint(c, r);
}

bool WordBuilder::inInnerSquare(QPoint boardPixel, int c, int r)
{
    const int x = boardPixel.x() - kPitch * c;
    const int y = boardPixel.y() - kPitch * r;
    return x >= kInnerFrom && x <= kInnerTo && y >= kInnerFrom && y <= kInnerTo;
}
