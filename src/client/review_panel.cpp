// The round review's panel: lists, totals and the spell book's note.
#include "review_panel.h"

#include "board_palette.h"
#include "pictures.h"
#include "window_style.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>

namespace {

// A word's row: the word, then its score right-aligned, in the list's fixed-width face.
constexpr int kWordColumn = 14;

QString row(const ReviewWord& word)
{
    return QString("%1%2").arg(word.word, -kWordColumn).arg(word.score, 5);
}

QLabel* makeLabel(QWidget* parent, const QString& name, QRect geometry)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setTextFormat(Qt::PlainText); // names come from other players
    return label;
}

QString bookNote(int kind)
{
    if (kind == BonusNone)
        return "The spell book's kind was not learnt this round: its cell counts as a plain one.";
    return "This round's spell book: " + Pictures::bonusCaption(Pictures::SpellBook, kind) + ".";
}

} // namespace

ReviewPanel::ReviewPanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName("panel_review");
    resize(kWidth, kHeight);
    setAttribute(Qt::WA_StyledBackground);
    const QString text = boardpalette::reviewPanelText().name();
    setStyleSheet(QString("#panel_review { background: %1; border: 2px solid %3; border-radius: 8px; }"
                          "QLabel { color: %2; background: transparent; }")
                      .arg(boardpalette::reviewPanelBackground().name(), text,
                          windowstyle::css(windowpalette::parchmentEdge())));

    title = makeLabel(this, "label_reviewtitle", QRect(10, 6, 230, 20));
    title->setText("Round Review");
    title->setStyleSheet(QString("color: %1; font-weight: bold; font-size: 14px;").arg(text));

    lists = new QComboBox(this);
    lists->setObjectName("combo_review");
    lists->setGeometry(8, 29, 234, 22);
    lists->setToolTip("Which words to list");
    connect(lists, &QComboBox::currentIndexChanged, this, [this] { fillList(); });

    words = new QListWidget(this);
    words->setObjectName("listbox_review");
    words->setGeometry(8, 54, 234, 160);
    words->setToolTip("Choose a word to light its chain on the board");
    words->setStyleSheet(
        QString("QListWidget { background: %2; border: 1px solid %3;"
                "color: %1; font-family: monospace; }"
                "QListWidget::item:selected { background: %4; color: %5; }")
            .arg(text, windowstyle::css(windowpalette::veilLight(170)),
                windowstyle::css(windowpalette::parchmentRule()),
                windowstyle::css(windowpalette::reviewChosen()), windowstyle::css(windowpalette::white()))
        + windowstyle::scrollBar());
    connect(words, &QListWidget::currentRowChanged, this, [this](int place) {
        const std::vector<ReviewWord>& shown = shownWords();
        emit wordChosen(place >= 0 && place < int(shown.size()) ? shown[std::size_t(place)].path
                                                                : std::vector<QPoint> {});
    });

    more = makeLabel(this, "label_reviewmore", QRect(10, 216, 230, 16));
    boardTotals = makeLabel(this, "label_reviewboard", QRect(10, 233, 230, 30));
    boardTotals->setWordWrap(true);
    boardTotals->setStyleSheet("font-weight: bold;");
    for (int n = 1; n <= kSeats; ++n)
        seatTotals[std::size_t(n)]
            = makeLabel(this, QString("label_reviewtotal%1").arg(n), QRect(10, 264 + 15 * (n - 1), 230, 15));
    book = makeLabel(this, "label_reviewbook", QRect(10, 324, 230, 24));
    book->setWordWrap(true);
    book->setStyleSheet(QString("color: %1; font-size: 10px;").arg(boardpalette::reviewPanelNote().name()));
}

void ReviewPanel::setReview(RoundReview review, int ownSeat)
{
    review_ = std::move(review);
    const QSignalBlocker quiet(lists);
    lists->clear();
    lists->addItem(
        QString("Nobody found (%1)").arg(review_.missed.size() + std::size_t(review_.missedMore)), 0);
    for (int n = 1; n <= kSeats; ++n) {
        const ReviewTotals& totals = review_.totals[std::size_t(n)];
        if (!totals.taken && review_.found[std::size_t(n)].empty())
            continue;
        const QString name = totals.name.isEmpty() ? QString("Seat %1").arg(n) : totals.name;
        lists->addItem(seatListCaption(name, n == ownSeat, totals.words), n);
    }
    lists->setCurrentIndex(0);
    fillList();
    fillTotals(ownSeat);
    book->setText(bookNote(review_.bookKind));
}

QString ReviewPanel::seatListCaption(const QString& name, bool own, int words)
{
    // A player named "You" is told so once, not "You (you)".
    const bool saysYou = name.compare("you", Qt::CaseInsensitive) == 0;
    return QString("%1%2 found (%3)").arg(name, own && !saysYou ? " (you)" : "").arg(words);
}

void ReviewPanel::chooseList(int list)
{
    const int index = lists->findData(list);
    if (index >= 0)
        lists->setCurrentIndex(index);
}

int ReviewPanel::chosenList() const { return lists->currentData().toInt(); }

const std::vector<ReviewWord>& ReviewPanel::shownWords() const
{
    const int list = chosenList();
    return list >= 1 && list <= kSeats ? review_.found[std::size_t(list)] : review_.missed;
}

void ReviewPanel::chooseWord(int place) { words->setCurrentRow(place); }

void ReviewPanel::fillList()
{
    const QSignalBlocker quiet(words);
    words->clear();
    for (const ReviewWord& word : shownWords())
        words->addItem(row(word));
    const int list = chosenList();
    const int rest = list >= 1 && list <= kSeats ? review_.foundMore[std::size_t(list)] : review_.missedMore;
    more->setText(rest > 0 ? QString("… and %1 more").arg(rest) : QString());
    emit wordChosen({});
}

void ReviewPanel::fillTotals(int ownSeat)
{
    boardTotals->setText(QString("Of the %1 words on the board, worth %2 points, found:")
                             .arg(review_.boardWords)
                             .arg(review_.boardPoints));
    for (int n = 1; n <= kSeats; ++n) {
        QLabel* label = seatTotals[std::size_t(n)];
        const ReviewTotals& totals = review_.totals[std::size_t(n)];
        if (!totals.taken && totals.words == 0) {
            label->clear();
            continue;
        }
        label->setText(
            QString("%1: %2 words, %3 points").arg(totals.name).arg(totals.words).arg(totals.points));
        label->setStyleSheet(n == ownSeat ? QString("color: %1; background: %2; font-weight: bold;"
                                                    "border-radius: 3px;")
                                                .arg(boardpalette::ownSeatScrollText().name(),
                                                    boardpalette::ownSeatScrollBackground().name())
                                          : QString());
    }
}
