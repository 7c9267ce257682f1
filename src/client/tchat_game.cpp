// Tchat game display: the start of a game, each round's board, found and
// refused words, the clock, the end of a round and the winner.
#include "tchat.h"

#include "board_view.h"
#include "clock_text.h"
#include "sound_player.h"
#include "tile_images.h"
#include "ttallylist.h"
#include "wire_text.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>
#include <climits>

namespace {

constexpr int kPauseSeconds = 30;

// The nine bonus cells every window draws: red potions in the corners,
// yellow potions inside, the spell book in the centre.
struct BonusCell {
    int c, r, kind;
};
constexpr BonusCell kBonusLayout[9] = { { 0, 0, 2 }, { 0, 8, 2 }, { 12, 0, 2 }, { 12, 8, 2 }, { 3, 2, 1 }, { 3, 6, 1 },
    { 9, 2, 1 }, { 9, 6, 1 }, { 6, 4, 3 } };

// The score after the last ": " in a filed entry; the word before it may hold
// ": " too, as the server sends it.
int entryScore(const QString& entry)
{
    const int colon = entry.lastIndexOf(": ");
    return colon < 0 ? 0 : entry.mid(colon + 2).toInt();
}

} // namespace

bool Tchat::showGameTerms(wire::FieldReader& fields)
{
    std::string_view rounds, team;
    int32_t minutes = 0;
    if (!fields.next(rounds))
        return false;
    label_status1->setText("Rounds in Game: " + fromWire(rounds));
    if (!fields.next(team) || !fields.nextInt(minutes))
        return false;
    timePerRound = minutes;
    label_timeperround->setText(QString("Time Per Round: %1").arg(minutes));
    for (int seat = 1; seat <= 4; ++seat)
        seatLabel("team", seat)->setVisible(team == "y");
    return true;
}

void Tchat::startthegame(std::string_view args)
{
    wire::FieldReader fields(args);
    int32_t starter = 0;
    panel_winner->hide();
    button_start->hide();
    clearWordSlots();
    if (!fields.nextInt(starter) || !showGameTerms(fields))
        return;
    for (int seat = 1; seat <= 4; ++seat) {
        seatLabel("label_playerscore", seat)->setText("0");
        seatLabel("label_bonus", seat)->setText({});
    }
    addlinetochat(starter == mynumber ? QString("You have started a game.") : seatCaption(starter) + " has started a game.",
                  chatcolour::kNavy);
    loadchecklist();
}

void Tchat::boardtileline(std::string_view args)
{
    wire::FieldReader fields(args);
    int32_t r = 0;
    if (!fields.nextInt(r) || r < 0 || r > 8)
        return;
    auto codes = fields.list(64);
    if (!codes)
        return;
    for (int c = 0; c < 13 && c < int(codes->size()); ++c) {
        std::optional<int32_t> code = wire::strictToInt((*codes)[std::size_t(c)]);
        // Only empty (0) and the letters have tiles; anything else would be a
        // letter nobody can see, yet could pick up.
        if (!code || *code < 0 || *code >= TileImages::kCount)
            return;
        if (*code == boardtiles[c][r])
            continue;
        boardtiles[c][r] = *code;
        board->setTile(c, r, *code);
    }
}

void Tchat::setbonustiles()
{
    for (const BonusCell& cell : kBonusLayout) {
        boardbonus[cell.c][cell.r] = cell.kind;
        board->setBonus(cell.c, cell.r, cell.kind);
    }
}

void Tchat::nextround(std::string_view args)
{
    playsounds(turnSound == 1 ? "turnnew" : "start");
    panel_scrolls->hide();
    // The minutes come from the server unchecked: past the clock's range the
    // count stops at its end instead of overflowing.
    secondsleft = int(std::clamp<int64_t>(int64_t(timePerRound) * 60, INT_MIN, INT_MAX));
    timePrefix = "Time: ";
    startClockTimer();
    gamerunning->value = true;
    if (mynumber < 5)
        canplay = true;
    for (int seat = 1; seat <= 4; ++seat) {
        findChild<QListWidget*>(QString("listbox_scroll%1").arg(seat))->clear();
        seatLabel("label_wordcount", seat)->setText("Word Count: 0");
    }
    clearWordSlots();
    label_round->setText(fromWire(args));
}

void Tchat::startClockTimer()
{
    if (secondsleft > 0 && !timer2.isActive())
        timer2.start();
}

void Tchat::timer2Timer()
{
    if (secondsleft > 0)
        processgametime();
    if (secondsleft <= 0)
        timer2.stop(); // nothing to count until the next round or correction
}

void Tchat::processgametime()
{
    secondsleft -= 1;
    label_time->setText(clockText(timePrefix, secondsleft));
    if (secondsleft <= 0)
        gamerunning->value = false;
}

void Tchat::updatetime(std::string_view args)
{
    std::optional<int32_t> seconds = wire::strictToInt(args);
    if (!seconds)
        return;
    secondsleft = *seconds;
    startClockTimer();
}

void Tchat::foundword(std::string_view args)
{
    wire::FieldReader fields(args);
    int32_t n = 0, partner = 0;
    std::string_view wordField, wordScore, seatScore;
    if (!fields.nextInt(n) || !fields.next(wordField))
        return;
    const QString found = fromWire(wordField).toUpper();
    if (!fields.next(wordScore))
        return;
    if (n >= 1 && n <= 4)
        seatLabel("label_bonus", n)->setText("+" + fromWire(wordScore));
    if (!fields.next(seatScore))
        return;
    if (n >= 1 && n <= 4)
        seatLabel("label_playerscore", n)->setText(fromWire(seatScore));
    if (!fields.nextInt(partner))
        return;
    if (partner >= 1 && partner <= 4)
        seatLabel("label_playerscore", partner)->setText(fromWire(fields.rest()));
    std::optional<int32_t> score = wire::strictToInt(wordScore);
    if (!score || n < 1 || n > 4)
        return;
    addtolist(findChild<QListWidget*>(QString("listbox_scroll%1").arg(n)), *score, found);
    if (n == mynumber) {
        setStatus(found + seatLabel("label_bonus", n)->text(), Qt::white);
        playsounds("goodword");
        tallyOwnWord(found, *score);
    }
}

void Tchat::addtolist(QListWidget* list, int score, const QString& word)
{
    // No round yields this many words; more can only come from a hostile server.
    constexpr int kMaxWordsShown = 5000;
    if (list->count() >= kMaxWordsShown)
        return;
    const QString entry = word + ": " + QString::number(score);
    for (int i = 0; i < list->count(); ++i)
        if (entryScore(list->item(i)->text()) < score) {
            list->insertItem(i, entry);
            return;
        }
    list->addItem(entry);
}

void Tchat::badword(std::string_view args)
{
    wire::FieldReader fields(args);
    int32_t reason = 0, seat = 0;
    std::string_view refused;
    if (!fields.nextInt(reason) || !fields.nextInt(seat) || !fields.next(refused))
        return;
    QString line = fromWire(refused);
    if (reason == 1)
        line += " already exists.";
    else if (reason == 2)
        line += " is not a valid word.";
    setStatus(line, Qt::red);
    playsounds("badword");
}

void Tchat::endturn(std::string_view args)
{
    for (int seat = 1; seat <= 4; ++seat) {
        seatLabel("label_scroll", seat)->setText(seatCaption(seat));
        const int words = findChild<QListWidget*>(QString("listbox_scroll%1").arg(seat))->count();
        seatLabel("label_wordcount", seat)->setText(QString("Word Count: %1").arg(words));
    }
    panel_scrolls->show();
    panel_scrolls->raise();
    canplay = false;
    gamerunning->value = false;
    timePrefix = "Wait: ";
    secondsleft = kPauseSeconds;
    startClockTimer();
    playsounds("roundover");
    dragging = false;
    clearWordSlots();

    wire::FieldReader fields(args);
    auto scores = fields.list(4);
    if (scores) {
        for (int seat = 1; seat <= 4 && seat <= int(scores->size()); ++seat) {
            const QString value = fromWire((*scores)[std::size_t(seat - 1)]);
            if (value != "0")
                seatLabel("label_bonus", seat)->setText("+" + value);
            seatLabel("label_points", seat)->setText("for " + value + " points");
            if (seat == mynumber)
                tallyRoundScore(value);
        }
    }
    for (int c = 0; c < 13; ++c)
        for (int r = 0; r < 9; ++r) {
            boardtiles[c][r] = 0;
            boardbonus[c][r] = 0;
        }
    board->clearAll();
    setStatus("Next Round will start in a moment", Qt::white);
}

void Tchat::postwinner(std::string_view args)
{
    const QString winner = fromWire(args);
    secondsleft = 1;
    startClockTimer();
    setStatus("Game Over!", Qt::white);
    playsounds("gameover");
    const QString banner = winner + (winner.contains(" and ") ? " Have Won the Game!" : " Has Won the Game!");
    label_winner1->setText(banner);
    label_winner2->setText(banner);
    if (ishost) {
        button_start->show();
        StartGame1->setEnabled(true);
    }
    panel_winner->show();
    panel_winner->raise();
    tallyWinner(winner);
}

void Tchat::gamestats(std::string_view args)
{
    panel_winner->hide();
    playsounds("start");
    clearWordSlots();
    if (mynumber < 5)
        canplay = true;
    gamerunning->value = true;
    wire::FieldReader fields(args);
    showGameTerms(fields);
}

void Tchat::setStatus(const QString& line, const QColor& colour)
{
    label_status2->setText(line);
    label_status2->setStyleSheet(QString("color: %1; font-weight: bold; font-size: 14px;").arg(colour.name()));
}

// The tally records only seated players in games with another seated player.
void Tchat::tallyOwnWord(const QString& found, int score)
{
    if (mynumber >= 5 || tallylist->playersInGame().isEmpty())
        return;
    tallylist->ownWordAccepted(found, score);
}

void Tchat::tallyRoundScore(const QString& score)
{
    if (mynumber >= 5 || tallylist->playersInGame().isEmpty())
        return;
    std::optional<int32_t> value = wire::strictToInt(score.toStdString());
    if (!value)
        return;
    const int words = findChild<QListWidget*>(QString("listbox_scroll%1").arg(mynumber))->count();
    tallylist->roundEnded(timePerRound, words, *value);
}

void Tchat::tallyWinner(const QString& winner)
{
    if (mynumber >= 5 || tallylist->playersInGame().isEmpty() || winner.contains(" and "))
        return;
    tallylist->addgame(winner == seatCaption(mynumber) ? QString("addtomine") : winner);
}
