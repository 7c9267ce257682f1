// The review view of the end-of-round panel: a choice of list (the words nobody found, or one
// seat's words), the list best first, the count of the rest, each seat's share of the board,
// and what the spell book counted as. Choosing a word asks the board to light its chain.
#pragma once

#include "round_review.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QListWidget;

class ReviewPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 250;
    static constexpr int kHeight = 350;
    // The captions of the switch beside the status line, to the review and back to the scores;
    // both underline the R of Alt+R, so one key opens and closes it.
    static constexpr const char* kOpenCaption = "&Review";
    static constexpr const char* kCloseCaption = "Sco&res";

    explicit ReviewPanel(QWidget* parent = nullptr);

    // Shows a review; ownSeat (1 to 4, or 0 for a spy) is marked in the totals.
    void setReview(RoundReview review, int ownSeat);
    const RoundReview& review() const { return review_; }

    // A seat's list in the choice: "Bob (you) found (3)" for the own seat, "Ann found (1)" for
    // another, and "You found (3)" for an own seat whose name already says it.
    static QString seatListCaption(const QString& name, bool own, int words);

    // The lists on offer: 0 the words nobody found, 1 to 4 a seat's words.
    void chooseList(int list);
    int chosenList() const;
    // The words of the chosen list as shown, best first.
    const std::vector<ReviewWord>& shownWords() const;
    // Chooses a word of the chosen list by its place (0 first); -1 chooses none.
    void chooseWord(int place);

signals:
    // The chain of the chosen word, first letter first; empty when none was chosen or none
    // spells it.
    void wordChosen(const std::vector<QPoint>& path);

private:
    void fillList();
    void fillTotals(int ownSeat);

    RoundReview review_;
    QLabel* title = nullptr;
    QComboBox* lists = nullptr;
    QListWidget* words = nullptr;
    QLabel* more = nullptr;
    QLabel* boardTotals = nullptr;
    std::array<QLabel*, kSeats + 1> seatTotals {};
    QLabel* book = nullptr;
};
