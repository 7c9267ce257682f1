// Tchat's word building: presses, drags and clicks on the board, the twelve
// word slots, the wand, and handing the finished word to the game client.
#include "tchat.h"

#include "board_view.h"
#include "sound_player.h"
#include "tile_images.h"

#include <QAction>
#include <QLabel>
#include <QWidget>


bool Tchat::hasTile(int c, int r) const
{
    return client_->state().boardtiles[std::size_t(c)][std::size_t(r)] != 0;
}

bool Tchat::isClickMode() const
{
    return ClickLetters1->isChecked();
}

void Tchat::drawSlot(int slot)
{
    const int code = word.tag(slot);
    wordletter[slot]->setPixmap(code >= 1 && code <= 26 ? tiles->tile(code) : QPixmap());
    wordletter[slot]->setToolTip(word.hint(slot));
}

void Tchat::placeWand(int c, int r)
{
    thewand->move(BoardView::kPitch * c + 20, BoardView::kPitch * r + 20);
    thewand->show();
    thewand->raise();
}

void Tchat::addLetter(int c, int r)
{
    word.add(c, r, client_->state().boardtiles[std::size_t(c)][std::size_t(r)]);
    drawSlot(word.lettercount());
    placeWand(c, r);
    playsounds("place");
}

void Tchat::boardMouseDown(Qt::MouseButton button, QPoint point)
{
    if (!client_->canplay() || !client_->state().holdsSeat())
        return;
    if (button == Qt::RightButton) {
        pressdone();
        return;
    }
    if (word.lettercount() >= WordBuilder::kMaxLetters)
        return;
    std::optional<QPoint> cell = WordBuilder::cellAt(point);
    if (!cell || !word.canAdd(cell->x(), cell->y()) || !hasTile(cell->x(), cell->y()))
        return;
    if (!isClickMode())
        dragging = true;
    addLetter(cell->x(), cell->y());
}

void Tchat::boardMouseMove(QPoint point)
{
    if (!dragging || word.lettercount() + 1 > WordBuilder::kMaxLetters)
        return;
    std::optional<QPoint> cell = WordBuilder::cellAt(point);
    if (!cell || !WordBuilder::inInnerSquare(point, cell->x(), cell->y()))
        return;
    int pc = 0, pr = 0;
    if (word.lettercount() > 0 && WordBuilder::parseHint(word.hint(word.lettercount()), pc, pr)
        && pc == cell->x() && pr == cell->y())
        return;
    if (word.canAdd(cell->x(), cell->y()) && hasTile(cell->x(), cell->y()))
        addLetter(cell->x(), cell->y());
}

void Tchat::boardMouseUp(Qt::MouseButton)
{
    if (isClickMode())
        return;
    dragging = false;
    pressdone();
}

void Tchat::thewandMouseDown(Qt::MouseButton button)
{
    if (client_->canplay() && client_->state().holdsSeat() && button == Qt::RightButton)
        pressdone();
}

void Tchat::pressdone()
{
    if (!client_->canplay() || word.hint(1).isEmpty() || !client_->loggedin())
        return;
    client_->sendWord(word.tiles());
    clearletters();
}

void Tchat::clearletters()
{
    if (!client_->canplay())
        return;
    clearWordSlots();
}

void Tchat::clearWordSlots()
{
    word.clear();
    for (int n = 1; n <= WordBuilder::kMaxLetters; ++n)
        drawSlot(n);
    thewand->hide();
}

void Tchat::wordletter1Click(int slot)
{
    if (!client_->canplay() || slot == 0 || slot != word.lettercount())
        return;
    int c = 0, r = 0;
    if (WordBuilder::parseHint(word.hint(slot), c, r))
        playsounds("clear");
    word.takeBack(slot);
    drawSlot(slot);
    if (word.lettercount() == 0) {
        thewand->hide();
    } else if (WordBuilder::parseHint(word.hint(word.lettercount()), c, r)) {
        placeWand(c, r);
    } else {
        thewand->hide();
    }
}

void Tchat::button_enterClick()
{
    pressdone();
    playsounds("clear");
}

void Tchat::button_clearClick()
{
    clearletters();
    playsounds("clear");
}

void Tchat::ClickLetters1Click()
{
    // The item toggles its own tick before this runs.
    ClickLetters1->setData(ClickLetters1->isChecked() ? 0 : 1);
    saveinifile();
}

void Tchat::FlatButton1Click()
{
    panel_dragging->hide();
}

void Tchat::redrawBoardAndSlots()
{
    board->setTileImages(tiles.get());
    for (int n = 1; n <= WordBuilder::kMaxLetters; ++n)
        drawSlot(n);
}
