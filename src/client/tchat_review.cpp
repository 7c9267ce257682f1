// Tchat's round review: the end-of-round panel's second view, which shows the ended round's
// board again and lights the chain of any word chosen in its lists; it closes when the next
// board arrives.
#include "tchat.h"

#include "board_view.h"
#include "layout_scaler.h"
#include "lexicon.h"
#include "review_panel.h"
#include "round_review.h"

#include <QAction>
#include <QPushButton>

bool Tchat::reviewOpen() const { return panel_review && !panel_review->isHidden(); }

void Tchat::offerReview()
{
    const bool offered = RoundReview1 && RoundReview1->isChecked() && client_->state().hasEndedBoard;
    button_review->setText(ReviewPanel::kOpenCaption);
    button_review->setVisible(offered);
    if (offered)
        button_review->raise();
}

ReviewPanel& Tchat::reviewPanel()
{
    if (!panel_review) {
        // The review covers the score panel and the chat pane, so the board stays in sight.
        panel_review = new ReviewPanel(panel_main);
        panel_review->hide();
        panel_review->setGeometry(535, 6, ReviewPanel::kWidth, ReviewPanel::kHeight);
        connect(panel_review, &ReviewPanel::wordChosen, this, &Tchat::reviewWordChosen);
        // Laid out at the window's present scale, like the controls built with the window.
        scaler->apply();
    }
    return *panel_review;
}

void Tchat::ReviewClick()
{
    if (reviewOpen())
        closeReview();
    else
        openReview();
}

void Tchat::openReview()
{
    const client::ClientState& state = client_->state();
    if (!state.hasEndedBoard)
        return;
    reviewPanel().setReview(
        RoundReview::of(state, embeddedLexicon()), state.holdsSeat() ? state.mynumber : 0);
    // The board the round was played on, back in place while the review is open.
    for (int c = 0; c < kBoardColumns; ++c)
        for (int r = 0; r < kBoardRows; ++r) {
            board->setTile(c, r, state.endedtiles[std::size_t(c)][std::size_t(r)]);
            board->setBonus(c, r, state.endedbonus[std::size_t(c)][std::size_t(r)]);
        }
    board->setBookKind(state.bookKind);
    board->clearReview();
    if (panel_scrolls)
        panel_scrolls->hide();
    // The winner's banner waits under the board, which the review needs whole.
    if (!panel_winner->isHidden())
        panel_winner->stackUnder(panel_board);
    panel_review->show();
    panel_review->raise();
    button_review->setText(ReviewPanel::kCloseCaption);
    button_review->raise();
}

void Tchat::closeReview()
{
    if (!reviewOpen())
        return;
    panel_review->hide();
    board->clearReview();
    // Back to the board in play, which is empty between rounds.
    const client::ClientState& state = client_->state();
    for (int c = 0; c < kBoardColumns; ++c)
        for (int r = 0; r < kBoardRows; ++r) {
            board->setTile(c, r, state.boardtiles[std::size_t(c)][std::size_t(r)]);
            board->setBonus(c, r, state.boardbonus[std::size_t(c)][std::size_t(r)]);
        }
    board->setBookKind(state.bookKind);
    scrollsPanel().show();
    panel_scrolls->raise();
    if (!panel_winner->isHidden())
        panel_winner->raise();
    button_review->setText(ReviewPanel::kOpenCaption);
}

void Tchat::boardCellChanged(int c, int r, int code)
{
    // The next board is arriving: the review of the last one ends.
    if (reviewOpen())
        closeReview();
    button_review->hide();
    board->setTile(c, r, code);
}

void Tchat::reviewWordChosen(const std::vector<QPoint>& path)
{
    if (path.empty())
        board->clearReview();
    else
        board->showReview(path);
}
