// Tchat's game display: the start of a game, each round's board and clock,
// found and refused words, the end of a round and the winner, and what the
// tally records of them.
#include "tchat.h"

#include "outside_text.h"
#include "painted_look.h"
#include "window_palette.h"

#include "board_palette.h"
#include "board_view.h"
#include "clock_text.h"
#include "sound_player.h"
#include "ttallylist.h"
#include "wire_text.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using client::ClockPhase;

namespace {

QString points(int64_t value) { return QString::number(value); }

// "Ann", "Ann and Bob": a team named by a partner who has left since reads
// as the player who is still there.
QString winnerBanner(QString winner)
{
    if (winner.endsWith(" and "))
        winner.chop(5);
    const bool plural = winner.contains(" and ") || winner == "You";
    return isolated(winner) + (plural ? " Have Won the Game!" : " Has Won the Game!");
}

} // namespace

QString Tchat::timePrefix() const
{
    switch (client_->state().phase) {
    case ClockPhase::Round:
        return "Time: ";
    case ClockPhase::Pause:
        return "Wait: ";
    case ClockPhase::None:
        break;
    }
    return {};
}

void Tchat::showGameTerms()
{
    const client::GameTerms& terms = client_->state().terms;
    label_status1->setText(QString("Rounds in Game: %1").arg(terms.rounds));
    label_timeperround->setText(QString("Time Per Round: %1").arg(terms.minutes));
    if (terms.teamGame && !teamBallsDrawn())
        drawTeamBalls();
    for (int seat = 1; seat <= kSeats; ++seat)
        seatLabel("team", seat)->setVisible(terms.teamGame);
}

void Tchat::markOwnSeat()
{
    using namespace boardpalette;
    const int own = client_->state().holdsSeat() ? client_->mynumber() : 0;
    // Each label restyled only when the mark moves; the scrolls may be made later than the names.
    const auto moved = [](QWidget* label, bool marked) {
        const QVariant was = label->property("ownSeat");
        if (was.isValid() && was.toBool() == marked)
            return false;
        label->setProperty("ownSeat", marked);
        return true;
    };
    for (int n = 1; n <= kSeats; ++n) {
        const bool mine = n == own;
        // The text stays the seat's name (it is the seat's caption); the look says whose it is.
        if (auto* name = qobject_cast<PatchLabel*>(seatLabel("label_playername", n));
            name && moved(name, mine)) {
            setTextLook(name, mine ? ownSeatRosterText() : windowpalette::white(), 0, true);
            name->setPatch(
                mine ? Patch { ownSeatRosterBackground(), ownSeatRosterText(), 1.0, 3.0 } : Patch {});
            name->setContentsMargins(mine ? 2 : 0, 0, 0, 0);
            name->setToolTip(mine ? QString("You") : QString());
        }
        if (auto* scroll = qobject_cast<PatchLabel*>(seatLabel("label_scroll", n));
            scroll && moved(scroll, mine)) {
            setTextLook(scroll, mine ? ownSeatScrollText() : windowpalette::parchmentTitle(), 13, true);
            scroll->setPatch(mine ? Patch { ownSeatScrollBackground(), {}, 1.0, 3.0 } : Patch {});
        }
    }
}

void Tchat::showSeatScores()
{
    markOwnSeat();
    for (int n = 1; n <= kSeats; ++n) {
        const client::Seat& seat = client_->state().seat(n);
        seatLabel("label_playerscore", n)->setText(points(seat.score));
        seatLabel("label_bonus", n)->setText(seat.bonus ? "+" + points(*seat.bonus) : QString());
    }
}

void Tchat::showSeatWords(int n)
{
    QListWidget* list = seatList(n);
    list->clear();
    for (const client::FiledWord& entry : client_->state().seat(n).words)
        list->addItem(entry.word + ": " + points(entry.score));
}

void Tchat::startthegame(int starter)
{
    panel_winner->hide();
    button_start->hide();
    clearWordSlots();
    showGameTerms();
    showSeatScores();
    // A new game starts with a fresh status line.
    setStatus({}, boardpalette::plainText());
    addlinetochat(starter == client_->mynumber() ? QString("You have started a game.")
                                                 : isolated(seatCaption(starter)) + " has started a game.",
        chatcolour::kNavy);
    loadchecklist();
}

void Tchat::setbonustiles()
{
    for (int c = 0; c < kBoardColumns; ++c)
        for (int r = 0; r < kBoardRows; ++r)
            if (const int kind = client_->state().boardbonus[std::size_t(c)][std::size_t(r)])
                board->setBonus(c, r, kind);
    board->setBookKind(client_->state().bookKind);
}

void Tchat::nextround(int round, bool tieBreak)
{
    playsounds(turnSound == 1 ? "turnnew" : "start");
    closeReview();
    scrollsPanel().hide(); // made with the first round, where nobody waits for a word
    button_review->hide();
    for (int seat = 1; seat <= kSeats; ++seat) {
        seatList(seat)->clear();
        seatLabel("label_wordcount", seat)->setText("Word Count: 0");
    }
    clearWordSlots();
    board->clearMarks();
    giveBoardTheKeys();
    label_round->setText(QString::number(round));
    // Each round starts with a fresh status line; a tie-break says why it is there.
    if (tieBreak) {
        const QString why = "Tie! One more round decides it.";
        setStatus(why, boardpalette::plainText());
        addlinetochat(why, chatcolour::kNavy);
    } else {
        setStatus({}, boardpalette::plainText());
    }
}

void Tchat::showClock(int secondsLeft) { label_time->setText(clockText(timePrefix(), secondsLeft)); }

void Tchat::foundword(const wire::FoundWord& found, bool mine)
{
    showSeatScores();
    showSeatWords(found.seat);
    board->setBookKind(client_->state().bookKind);
    if (!mine)
        return;
    const QString word = fromWire(found.word).toUpper();
    board->answerSent(BoardMarks::Answer::Found, "+" + points(found.wordScore));
    setStatus(word + "+" + points(found.wordScore), boardpalette::foundText());
    playsounds("goodword");
    tallyOwnWord(word, found.wordScore);
}

void Tchat::badword(int reason, const QString& refused)
{
    QString line = refused;
    if (reason == wire::BadWord::AlreadyFound)
        line += " already exists.";
    else if (reason == wire::BadWord::NotAWord)
        line += " is not a valid word.";
    board->answerSent(BoardMarks::Answer::Refused);
    setStatus(line, boardpalette::refusedText());
    playsounds("badword");
}

void Tchat::endturn(const GameClient::RoundScores& scores)
{
    scrollsPanel(); // a window that came in at the round's end has not made them yet
    for (int seat = 1; seat <= kSeats; ++seat) {
        seatLabel("label_scroll", seat)->setText(seatCaption(seat));
        seatLabel("label_wordcount", seat)
            ->setText(QString("Word Count: %1").arg(client_->state().seat(seat).words.size()));
        seatLabel("label_points", seat)->setText("for " + points(scores[std::size_t(seat - 1)]) + " points");
    }
    showSeatScores();
    scrollsPanel().show();
    panel_scrolls->raise();
    playsounds("roundover");
    dragging = false;
    clearWordSlots();
    board->clearMarks();
    board->clearAll();
    offerReview();
    if (client_->state().holdsSeat())
        tallyRoundScore(scores[std::size_t(client_->mynumber() - 1)]);
    setStatus("Next Round will start in a moment", boardpalette::plainText());
}

void Tchat::postwinner(const QString& winner)
{
    setStatus("Game Over!", boardpalette::plainText());
    playsounds("gameover");
    const QString banner = winnerBanner(winner);
    label_winner1->setText(banner);
    label_winner2->setText(banner);
    if (client_->state().ishost) {
        button_start->show();
        StartGame1->setEnabled(true);
    }
    panel_winner->show();
    panel_winner->raise();
    tallyWinner(winner);
}

void Tchat::gamestats()
{
    panel_winner->hide();
    playsounds("start");
    clearWordSlots();
    showGameTerms();
    showSeatScores();
    label_round->setText(QString::number(client_->state().round));
    showClock(client_->state().secondsleft);
    giveBoardTheKeys();
}

void Tchat::setStatus(const QString& line, const QColor& colour)
{
    label_status2->setText(line);
    setTextLook(label_status2, colour, 14, true);
}

// The tally records only seated players in games with another seated player:
// a person, or a computer player the player chose to tally.
void Tchat::tallyOwnWord(const QString& found, int64_t score)
{
    if (!client_->state().holdsSeat() || !tallyHasOpponent())
        return;
    tallylist->ownWordAccepted(found, int(std::min<int64_t>(score, INT32_MAX)));
}

void Tchat::tallyRoundScore(int64_t score)
{
    if (!client_->state().holdsSeat() || !tallyHasOpponent() || score > INT32_MAX || score < INT32_MIN)
        return;
    const int words = int(client_->state().seat(client_->mynumber()).words.size());
    tallylist->roundEnded(client_->state().terms.minutes, words, int(score));
}

void Tchat::tallyWinner(const QString& winner)
{
    if (!client_->state().holdsSeat() || !tallyHasOpponent() || winner.contains(" and "))
        return;
    tallylist->addgame(winner == seatCaption(client_->mynumber()) ? QString("addtomine") : winner);
}
