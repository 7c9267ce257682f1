// The round review after a dealt round: the words nobody found are the board's words less the
// found ones, best first and counted past the top; choosing a word lights exactly its chain on
// the round's board; the review closes when the next board arrives; a spy has it too.
#include "board_palette.h"
#include "board_view.h"
#include "lexicon.h"
#include "painted_button.h"
#include "painted_look.h"
#include "review_panel.h"
#include "tchat.h"
#include "word_finder.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace {

std::vector<QPoint> pointsOf(const CellPath& path)
{
    std::vector<QPoint> points;
    for (const TileRef& tile : path.tiles())
        points.emplace_back(tile.x, tile.y);
    return points;
}

QString capitals(std::string_view word)
{
    return QString::fromLatin1(word.data(), qsizetype(word.size())).toUpper();
}

} // namespace

class Review : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::mt19937 rng(2024);
        dealBoard(dealt, rng);
        words = finder.solve(dealt);
        ASSERT_GT(words.size(), 60u); // enough that the missed list is cut at its top
        TchatSetup setup;
        setup.settingsFile = folder.filePath("s.ini");
        window = std::make_unique<Tchat>(setup);
        board = window->findChild<BoardView*>("board");
    }

    void deliver(const std::string& line) { window->client().handle(line); }

    // A round on the dealt board in which seat 1 finds the first two words and seat 2 the tenth.
    void playRound(int number)
    {
        deliver("CMD_sendlogininfo+" + std::to_string(number));
        deliver("CMD_newplayerinfo+1+Bob");
        deliver("CMD_newplayerinfo+2+Ann");
        deliver("CMD_startgame+1+3+n+2+");
        for (int y = 0; y < kBoardRows; ++y)
            deliver(boardRowMessage(dealt, y));
        deliver("CMD_setbonustiles+");
        deliver("CMD_nextround+1");
        for (auto [seat, index] : { std::pair { 1, 0 }, std::pair { 1, 1 }, std::pair { 2, 9 } }) {
            const FoundWord& word = words[std::size_t(index)];
            found[seat].insert(capitals(word.word()));
            deliver("CMD_foundword+" + std::to_string(seat) + "+" + std::string(word.word()) + "+"
                + std::to_string(word.score) + "+" + std::to_string(word.score) + "+3+0");
        }
        deliver("CMD_endround+5+3+0+0");
    }

    const ReviewPanel& panel() { return window->reviewPanel(); }

    QTemporaryDir folder;
    Board dealt;
    WordFinder finder { embeddedLexicon() };
    std::vector<FoundWord> words;
    std::map<int, std::set<QString>> found;
    std::unique_ptr<Tchat> window;
    BoardView* board = nullptr;
};

TEST_F(Review, TheMissedWordsAreTheBoardsWordsLessTheFoundOnesBestFirst)
{
    playRound(2);
    auto* button = window->findChild<PaintedButton*>("button_review");
    ASSERT_FALSE(button->isHidden());
    window->ReviewClick();
    ASSERT_TRUE(window->reviewOpen());
    EXPECT_TRUE(window->findChild<QWidget*>("panel_scrolls")->isHidden());
    EXPECT_EQ(button->caption(), "Scores");

    // Worked out afresh from the board the window was dealt, scored as the window knows it.
    const Board known = window->client().state().endedScoringBoard();
    WordFinder own(embeddedLexicon());
    std::vector<std::pair<int64_t, QString>> expected;
    for (const FoundWord& word : own.solve(known)) {
        const QString text = capitals(word.word());
        if (!found[1].count(text) && !found[2].count(text))
            expected.emplace_back(-word.score, text);
    }
    std::sort(expected.begin(), expected.end());
    const RoundReview& review = panel().review();
    ASSERT_EQ(review.missed.size(), std::size_t(RoundReview::kListed));
    EXPECT_EQ(review.missedMore, int(expected.size()) - RoundReview::kListed);
    for (std::size_t i = 0; i < review.missed.size(); ++i) {
        EXPECT_EQ(review.missed[i].word, expected[i].second) << i;
        EXPECT_EQ(review.missed[i].score, -expected[i].first) << i;
    }
    EXPECT_EQ(review.boardWords, int(words.size()));
    EXPECT_EQ(review.totals[1].words, 2);
    EXPECT_EQ(review.totals[1].points, words[0].score + words[1].score);
    EXPECT_EQ(review.totals[2].words, 1);
    EXPECT_EQ(window->findChild<QListWidget*>("listbox_review")->count(), RoundReview::kListed);
    EXPECT_TRUE(
        window->findChild<QLabel*>("label_reviewmore")->text().contains(QString::number(review.missedMore)));
}

TEST_F(Review, ChoosingAWordLightsExactlyItsChainOnTheRoundsBoard)
{
    playRound(2);
    window->ReviewClick();
    // The round's board is back while the review is open.
    for (int c = 0; c < kBoardColumns; ++c)
        for (int r = 0; r < kBoardRows; ++r)
            ASSERT_EQ(board->tileAt(c, r), dealt.board[c][r]);
    EXPECT_EQ(board->bonusAt(kCentreColumn, kCentreRow), 3);

    window->reviewPanel().chooseWord(0);
    const ReviewWord& top = panel().shownWords()[0];
    ASSERT_FALSE(top.path.empty());
    EXPECT_EQ(board->marks().review(), top.path);
    EXPECT_EQ(qsizetype(top.path.size()), top.word.size());
    // Laid tile by tile, in the word's order.
    EXPECT_EQ(board->marks().reviewShown(), 1);
    while (board->animating())
        board->animationTick();
    EXPECT_EQ(board->marks().reviewShown(), int(top.path.size()));
    for (std::size_t i = 0; i < top.path.size(); ++i)
        EXPECT_EQ(
            QChar(char('A' + board->tileAt(top.path[i].x(), top.path[i].y()) - 1)), top.word[qsizetype(i)]);

    // A seat's own words, with the chain the finder gives for each.
    window->reviewPanel().chooseList(1);
    const std::vector<ReviewWord>& bobs = panel().shownWords();
    ASSERT_EQ(bobs.size(), 2u);
    EXPECT_GE(bobs[0].score, bobs[1].score);
    EXPECT_TRUE(board->marks().review().empty()); // a new list chooses no word yet
    const int place = bobs[0].word == capitals(words[1].word()) ? 0 : 1;
    ASSERT_EQ(bobs[std::size_t(place)].word, capitals(words[1].word()));
    window->reviewPanel().chooseWord(place);
    // The chain the finder gives on the board as the window knows it.
    WordFinder own(embeddedLexicon());
    const auto& known = own.solve(window->client().state().endedScoringBoard());
    const auto same = std::find_if(
        known.begin(), known.end(), [&](const FoundWord& w) { return w.word() == words[1].word(); });
    ASSERT_NE(same, known.end());
    EXPECT_EQ(board->marks().review(), pointsOf(same->path));
}

TEST_F(Review, TheReviewLastsThroughThePauseAndClosesWhenTheNextBoardArrives)
{
    playRound(2);
    window->ReviewClick();
    window->reviewPanel().chooseWord(3);
    for (int tick = 0; tick < 29; ++tick)
        window->timer2Timer();
    EXPECT_TRUE(window->reviewOpen());
    std::mt19937 rng(7);
    Board next;
    dealBoard(next, rng);
    deliver(boardRowMessage(next, 0));
    EXPECT_FALSE(window->reviewOpen());
    EXPECT_TRUE(board->marks().review().empty());
    EXPECT_EQ(board->tileAt(4, 0), next.board[4][0]);
    EXPECT_EQ(board->tileAt(4, 1), 0); // the rest of the new board is still to come
    EXPECT_TRUE(window->findChild<QPushButton*>("button_review")->isHidden());
}

TEST_F(Review, ScoresGoesBackToTheSeatsLists)
{
    playRound(2);
    window->ReviewClick();
    window->ReviewClick();
    EXPECT_FALSE(window->reviewOpen());
    EXPECT_FALSE(window->findChild<QWidget*>("panel_scrolls")->isHidden());
    EXPECT_EQ(board->tileAt(0, 0), 0); // the board in play is empty between rounds
}

TEST_F(Review, TheWinnersBannerGivesWayToTheBoardWhileTheReviewIsOpen)
{
    playRound(2);
    deliver("CMD_winner+Bob");
    auto* banner = window->findChild<QWidget*>("panel_winner");
    ASSERT_TRUE(banner->isVisibleTo(window.get()));
    QWidget* parent = banner->parentWidget();
    const QPoint middle = banner->geometry().center();
    EXPECT_TRUE(banner->isAncestorOf(parent->childAt(middle)) || parent->childAt(middle) == banner);

    window->ReviewClick();
    QWidget* shown = parent->childAt(middle);
    EXPECT_FALSE(shown == banner || banner->isAncestorOf(shown)); // the board's first row shows

    window->ReviewClick();
    shown = parent->childAt(middle);
    EXPECT_TRUE(shown == banner || banner->isAncestorOf(shown));
}

TEST_F(Review, ASpySeesTheReviewToo)
{
    playRound(6);
    window->ReviewClick();
    ASSERT_TRUE(window->reviewOpen());
    EXPECT_EQ(panel().review().missed.size(), std::size_t(RoundReview::kListed));
    // Every seat that found words has its list; nobody is marked as the viewer.
    auto* lists = window->findChild<QComboBox*>("combo_review");
    EXPECT_EQ(lists->count(), 3);
    for (int i = 0; i < lists->count(); ++i)
        EXPECT_FALSE(lists->itemText(i).contains("(you)"));
}

TEST_F(Review, TheReviewIsAnOptionReadFromTheSettings)
{
    QFile file(folder.filePath("s.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Lexmire]\nFirsttime=no\nRoundReview=false\n");
    file.close();
    playRound(2);
    EXPECT_FALSE(window->findChild<QAction*>("RoundReview1")->isChecked());
    EXPECT_TRUE(window->findChild<QPushButton*>("button_review")->isHidden());
    window->findChild<QAction*>("RoundReview1")->trigger();
    EXPECT_FALSE(window->findChild<QPushButton*>("button_review")->isHidden());
}

TEST_F(Review, TheOwnSeatIsMarkedInTheRosterAndOnTheEndOfRoundPanel)
{
    playRound(2);
    for (int seat = 1; seat <= 2; ++seat) {
        auto* name = window->findChild<PatchLabel*>(QString("label_playername%1").arg(seat));
        auto* scroll = window->findChild<PatchLabel*>(QString("label_scroll%1").arg(seat));
        ASSERT_TRUE(name && scroll);
        // The texts stay the names; only the look says whose seat it is.
        EXPECT_EQ(name->text(), seat == 1 ? "Bob" : "Ann");
        EXPECT_EQ(scroll->text(), name->text());
        EXPECT_EQ(name->palette().color(QPalette::WindowText) == boardpalette::ownSeatRosterText(), seat == 2)
            << seat;
        EXPECT_EQ(name->patch().fill == boardpalette::ownSeatRosterBackground(), seat == 2) << seat;
        EXPECT_EQ(scroll->patch().fill == boardpalette::ownSeatScrollBackground(), seat == 2) << seat;
    }
    // The marked name is drawn on its patch: the patch's colour shows in its picture.
    const QImage marked = window->findChild<QWidget*>("label_playername2")->grab().toImage();
    EXPECT_EQ(marked.pixelColor(marked.width() - 3, marked.height() / 2).rgb(),
        boardpalette::ownSeatRosterBackground().rgb());
}

TEST(ReviewPanelLists, TheOwnSeatIsMarkedOnceEvenWhenItsNameSaysYou)
{
    RoundReview review;
    for (int n : { 1, 2, 3 })
        review.totals[std::size_t(n)] = { true, n == 1 ? "You" : n == 2 ? "Bob" : "", n, 0 };
    ReviewPanel panel;
    const auto captions = [&panel] {
        QStringList texts;
        auto* lists = panel.findChild<QComboBox*>("combo_review");
        for (int i = 1; i < lists->count(); ++i)
            texts << lists->itemText(i);
        return texts;
    };
    panel.setReview(review, 1);
    EXPECT_EQ(captions(), QStringList({ "You found (1)", "Bob found (2)", "Seat 3 found (3)" }));
    panel.setReview(review, 2);
    EXPECT_EQ(captions(), QStringList({ "You found (1)", "Bob (you) found (2)", "Seat 3 found (3)" }));
    panel.setReview(review, 3);
    EXPECT_EQ(captions(), QStringList({ "You found (1)", "Bob found (2)", "Seat 3 (you) found (3)" }));
    EXPECT_EQ(ReviewPanel::seatListCaption("you", true, 4), "you found (4)");
}
