// Tchat's word building: presses, drags, clicks and typed letters on the board, the twelve
// word slots, the wand, the path drawn over the chosen tiles, and handing the finished word to
// the game client.
#include "tchat.h"

#include "board_view.h"
#include "layout_scaler.h"
#include "sound_player.h"
#include "tile_images.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <cmath>

bool Tchat::hasTile(int c, int r) const
{
    return client_->state().boardtiles[std::size_t(c)][std::size_t(r)] != 0;
}

bool Tchat::isClickMode() const { return ClickLetters1->isChecked(); }

QPixmap Tchat::slotPicture(int code) const
{
    const qreal s = layoutScale();
    if (s == 1.0 || !tiles->isClassic()) {
        QPixmap picture = tiles->tile(code);
        // A tile set's bitmap grows with the slot; only drawn tiles can be drawn anew.
        if (s != 1.0)
            picture.setDevicePixelRatio(picture.devicePixelRatio() / s);
        return picture;
    }
    QPixmap picture = scaledTiles->tile(code);
    picture.setDevicePixelRatio(devicePixelRatioF());
    return picture;
}

void Tchat::drawSlot(int slot)
{
    const int code = word.tag(slot);
    wordletter[slot]->setPixmap(code >= 1 && code <= 26 ? slotPicture(code) : QPixmap());
    wordletter[slot]->setToolTip(word.hint(slot));
}

void Tchat::placeWand(int c, int r)
{
    const qreal s = layoutScale();
    thewand->move(int(std::lround((BoardView::kPitch * c + 20) * s)),
        int(std::lround((BoardView::kPitch * r + 20) * s)));
    thewand->show();
    thewand->raise();
}

std::vector<QPoint> Tchat::wordCells() const
{
    std::vector<QPoint> cells;
    for (const TileRef& tile : word.tiles())
        cells.emplace_back(tile.x, tile.y);
    return cells;
}

void Tchat::showPath()
{
    board->setPath(wordCells());
    board->setLit(typed.litCells());
    board->setTabCyclesChains(!typed.empty());
}

void Tchat::addLetter(int c, int r)
{
    word.add(c, r, client_->state().boardtiles[std::size_t(c)][std::size_t(r)]);
    drawSlot(word.lettercount());
    placeWand(c, r);
    showPath();
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
    // The mouse takes over from a typed word.
    if (!typed.empty())
        clearWordSlots();
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
    const std::vector<QPoint> cells = wordCells();
    if (client_->sendWord(word.tiles()))
        board->holdSent(cells);
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
    typed.clear();
    for (int n = 1; n <= WordBuilder::kMaxLetters; ++n)
        drawSlot(n);
    thewand->hide();
    showPath();
}

void Tchat::wordletter1Click(int slot)
{
    if (!client_->canplay() || slot == 0 || slot != word.lettercount())
        return;
    // A typed word gives its letters back one by one, as Backspace does.
    if (!typed.empty()) {
        typed.backspace();
        playsounds("clear");
        showTypedWord();
        return;
    }
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
    showPath();
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

void Tchat::FlatButton1Click() { panel_dragging->hide(); }

void Tchat::redrawBoardAndSlots()
{
    board->setTileImages(tiles.get());
    for (int n = 1; n <= WordBuilder::kMaxLetters; ++n)
        drawSlot(n);
}

// --- Typing -------------------------------------------------------------------------------

void Tchat::showTypedWord()
{
    // The slots show the chain Enter would send, so the word row and the board agree.
    word.clear();
    for (const TileRef& tile : typed.chosenTiles())
        word.add(tile.x, tile.y, client_->state().boardtiles[std::size_t(tile.x)][std::size_t(tile.y)]);
    for (int n = 1; n <= WordBuilder::kMaxLetters; ++n)
        drawSlot(n);
    if (const std::optional<QPoint> last = word.previousTile())
        placeWand(last->x(), last->y());
    else
        thewand->hide();
    showPath();
}

void Tchat::boardKeyTyped(int key, const QString& text)
{
    if (!typingOn() || !client_->canplay() || !client_->state().holdsSeat())
        return;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        pressdone();
        return;
    case Qt::Key_Escape:
        clearletters();
        return;
    case Qt::Key_Backspace:
        if (word.lettercount() > 0)
            wordletter1Click(word.lettercount());
        return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (typed.cycle(key == Qt::Key_Tab))
            showTypedWord();
        return;
    default:
        break;
    }
    if (text.size() != 1 || text[0].toLatin1() == 0 || letterCodeOf(text[0].toLatin1()) == 0)
        return;
    // Typing takes over from a word built with the mouse.
    if (typed.empty()) {
        dragging = false;
        clearWordSlots();
        typed.setBoard(client_->state().scoringBoard());
    }
    if (!typed.type(text[0].toLatin1())) {
        // Not on the board: nothing is added, and the board says so.
        board->refuseKey();
        return;
    }
    showTypedWord();
    playsounds("place");
}

bool Tchat::typingOn() const { return TypeWords1 && TypeWords1->isChecked(); }

void Tchat::giveBoardTheKeys()
{
    if (!typingOn() || !client_->state().holdsSeat())
        return;
    // A chat line half typed keeps its keys until it is sent or left.
    if (mychat->hasFocus() && !mychat->text().isEmpty() && mychat->text() != "<Enter Chat Here>")
        return;
    board->setFocus(Qt::OtherFocusReason);
}
