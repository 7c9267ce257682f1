// The window grown and shrunk: the layout keeps its default geometry at the default size,
// grows in proportion and stays centred, draws its pictures for the pixels they cover, maps
// presses on the grown board to the same cells, never holds the window at a grown size, shows the
// review switch's caption whole, and grows the chat's text with everything else.
#include "board_view.h"
#include "chat_pane.h"
#include "layout_scaler.h"
#include "painted_button.h"
#include "pictures.h"
#include "review_panel.h"
#include "tchat.h"
#include "window_palette.h"
#include "word_builder.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include <gtest/gtest.h>

class Scaling : public ::testing::Test {
protected:
    void SetUp() override
    {
        TchatSetup setup;
        setup.arguments = { "Ann" }; // one argument: no role, so showing it connects nowhere
        setup.settingsFile = folder.filePath("s.ini");
        window = std::make_unique<Tchat>(setup);
        window->show(); // a shown window lays itself out at once on every resize
    }

    QWidget* child(const char* name) { return window->findChild<QWidget*>(name); }

    QTemporaryDir folder;
    std::unique_ptr<Tchat> window;
};

TEST_F(Scaling, TheDefaultSizeKeepsTheDefaultGeometry)
{
    window->resize(798, 535);
    EXPECT_EQ(window->layoutScale(), 1.0);
    EXPECT_EQ(child("panel_main")->geometry(), QRect(4, 4, 790, 489));
    EXPECT_EQ(child("panel_board")->geometry(), QRect(5, 6, 530, 476));
    EXPECT_EQ(child("board")->geometry(), QRect(1, 1, 520, 361));
    EXPECT_EQ(child("wordletter2")->geometry(), QRect(47, 3, 40, 40));
    EXPECT_EQ(child("mainchat")->geometry(), QRect(535, 138, 250, 218));
    EXPECT_EQ(child("panel_scrolls"), nullptr) << "made when a round first needs them";
    EXPECT_EQ(window->scrollsPanel().geometry(), QRect(9, 128, 512, 306));
}

TEST_F(Scaling, ScrollsMadeAfterTheWindowGrewTakeItsScale)
{
    window->resize(1600, 1000);
    const qreal s = window->layoutScale();
    ASSERT_GT(s, 1.9);
    QWidget& scrolls = window->scrollsPanel();
    EXPECT_EQ(scrolls.geometry(), LayoutScaler::scaledRect(QRect(9, 128, 512, 306), s));
    auto* list = scrolls.findChild<QWidget*>("listbox_scroll4");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->geometry(), LayoutScaler::scaledRect(QRect(4 + 3 * 127, 56, 123, 245), s));
    // And they follow the window back to its own size.
    window->resize(798, 535);
    EXPECT_EQ(scrolls.geometry(), QRect(9, 128, 512, 306));
}

TEST_F(Scaling, ALargerWindowGrowsEverythingInProportionAndCentred)
{
    window->resize(1600, 1000);
    const qreal s = window->layoutScale();
    QWidget* area = window->centralWidget();
    EXPECT_NEAR(s, LayoutScaler::scaleFor(area->size()), 1e-9);
    EXPECT_GT(s, 1.9);
    const QRect panel = child("panel_main")->geometry();
    EXPECT_NEAR(panel.width(), 790 * s, 1.0);
    EXPECT_NEAR(panel.height(), 489 * s, 1.0);
    // Centred: the same room on both sides.
    EXPECT_LE(std::abs(panel.left() - (area->width() - panel.right() - 1)), 1);
    EXPECT_LE(std::abs(panel.top() - (area->height() - panel.bottom() - 1)), 1);

    auto* board = window->findChild<BoardView*>("board");
    EXPECT_NEAR(board->width(), 520 * s, 2.0);
    EXPECT_NEAR(board->scale(), s, 0.01);
    EXPECT_EQ(child("wordletter5")->geometry(), LayoutScaler::scaledRect(QRect(3 + 44 * 4, 3, 40, 40), s));
    EXPECT_EQ(child("mainchat")->geometry(), LayoutScaler::scaledRect(QRect(535, 138, 250, 218), s));
    // Text grows with its box.
    EXPECT_EQ(child("label_round")->font().pixelSize(), std::lround(14 * s));
    EXPECT_TRUE(child("label_round")->font().bold());

    // Pictures are drawn for the pixels they now cover, not stretched.
    const qreal dpr = window->devicePixelRatioF();
    const QPixmap enter = window->findChild<QLabel*>("button_enter")->pixmap();
    EXPECT_EQ(enter.size(), (Pictures::kWordButtonSize * s * dpr));
}

TEST_F(Scaling, APressOnTheGrownBoardPicksTheSameCell)
{
    window->resize(1600, 1000);
    const qreal s = window->layoutScale();
    auto* board = window->findChild<BoardView*>("board");
    QSignalSpy pressed(board, &BoardView::pressed);
    for (QPoint cell : { QPoint(0, 0), QPoint(3, 7), QPoint(12, 8) }) {
        const QPointF middle((40 * cell.x() + 20) * s, (40 * cell.y() + 20) * s);
        QTest::mousePress(board, Qt::LeftButton, {}, middle.toPoint());
        QTest::mouseRelease(board, Qt::LeftButton, {}, middle.toPoint());
        ASSERT_FALSE(pressed.isEmpty());
        EXPECT_EQ(WordBuilder::cellAt(pressed.takeLast()[1].toPoint()), cell);
    }
}

TEST_F(Scaling, ShrinkingBackRestoresTheLayoutAndTheMinimumNeverGrows)
{
    const QSize least = window->centralWidget()->minimumSize();
    window->resize(1600, 1000);
    EXPECT_EQ(window->centralWidget()->minimumSize(), least);
    window->resize(798, 535);
    EXPECT_EQ(window->layoutScale(), 1.0);
    EXPECT_EQ(child("board")->geometry(), QRect(1, 1, 520, 361));
    EXPECT_EQ(child("label_round")->font().pixelSize(), 14);
    EXPECT_EQ(child("label_round")->palette().color(QPalette::WindowText), windowpalette::goldText());
    EXPECT_EQ(window->findChild<QLabel*>("button_enter")->pixmap().deviceIndependentSize(),
        QSizeF(Pictures::kWordButtonSize));
    EXPECT_EQ(least, QSize(798, 497));
}

TEST_F(Scaling, ALookSetWhileGrownIsGrownToo)
{
    window->resize(1600, 1000);
    const qreal s = window->layoutScale();
    window->badword(2, "xyz");
    EXPECT_EQ(child("label_status2")->font().pixelSize(), std::lround(14 * s));
    // A font its owner sets while grown is grown too, and shrinks back with the window.
    QFont larger = child("label_round")->font();
    larger.setPixelSize(20);
    child("label_round")->setFont(larger);
    EXPECT_EQ(child("label_round")->font().pixelSize(), std::lround(20 * s));
    window->resize(798, 535);
    EXPECT_EQ(child("label_status2")->font().pixelSize(), 14);
    EXPECT_EQ(child("label_round")->font().pixelSize(), 20);
}

TEST_F(Scaling, AControlAddedWhileGrownIsPlacedLikeTheOthers)
{
    window->resize(1600, 1000);
    auto* extra = new QLabel("extra", child("panel_board"));
    extra->setObjectName("label_extra");
    extra->setGeometry(10, 10, 50, 20); // placed at the layout's own size, as its owner knows it
    window->resize(1500, 980);
    const qreal s = window->layoutScale();
    EXPECT_EQ(extra->geometry(), LayoutScaler::scaledRect(QRect(10, 10, 50, 20), s));
    window->resize(798, 535);
    EXPECT_EQ(extra->geometry(), QRect(10, 10, 50, 20));
    // Its inherited font went back to the layout's own size, not below it.
    EXPECT_NEAR(extra->font().pointSizeF(), child("label_timeperround")->font().pointSizeF(), 0.01);
}

TEST_F(Scaling, GrowingIsAnOption)
{
    QAction* grow = window->findChild<QAction*>("GrowWithWindow1");
    ASSERT_NE(grow, nullptr);
    grow->trigger();
    window->resize(1600, 1000);
    EXPECT_EQ(window->layoutScale(), 1.0);
    EXPECT_EQ(child("panel_main")->geometry(), QRect(4, 4, 790, 489));
    grow->trigger();
    EXPECT_GT(window->layoutScale(), 1.9);
}

TEST(LayoutScalerRules, StyleLengthsAndRectanglesScale)
{
    EXPECT_EQ(LayoutScaler::scaledStyleSheet("font-size: 14px; border: 1px solid #d4af37;", 1.5),
        "font-size: 21px; border: 2px solid #d4af37;");
    EXPECT_EQ(LayoutScaler::scaledStyleSheet("padding: 2px 4px; margin: 0px;", 2.0),
        "padding: 4px 8px; margin: 0px;");
    EXPECT_EQ(LayoutScaler::scaledStyleSheet("border: 1px solid red;", 1.2), "border: 1px solid red;");
    // Colours and other numbers stay as they are.
    EXPECT_EQ(LayoutScaler::scaledStyleSheet("rgba(8, 20, 48, 190); 9pt", 2.0), "rgba(8, 20, 48, 190); 9pt");
    // Neighbours stay flush: each edge is rounded, not each size.
    const QRect a = LayoutScaler::scaledRect(QRect(3, 3, 40, 40), 1.3);
    const QRect b = LayoutScaler::scaledRect(QRect(43, 3, 40, 40), 1.3);
    EXPECT_EQ(a.right() + 1, b.left());
    EXPECT_EQ(LayoutScaler::scaleFor(QSize(798, 497)), 1.0);
    EXPECT_EQ(LayoutScaler::scaleFor(QSize(500, 300)), 1.0);
    EXPECT_NEAR(LayoutScaler::scaleFor(QSize(1588, 986)), 2.0, 1e-9);
    EXPECT_EQ(LayoutScaler::scaleFor(QSize(100000, 100000)), LayoutScaler::kMaxScale);
}

TEST_F(Scaling, TheReviewBuiltWhileGrownIsGrownLikeTheRest)
{
    window->resize(1600, 1000);
    const qreal s = window->layoutScale();
    ASSERT_GT(s, 1.0);
    const QWidget& review = window->reviewPanel();
    const QRect own(535, 6, ReviewPanel::kWidth, ReviewPanel::kHeight);
    EXPECT_EQ(review.geometry(), LayoutScaler::scaledRect(own, s));
    EXPECT_TRUE(review.isHidden());
    window->resize(798, 535);
    EXPECT_EQ(review.geometry(), own);
}

TEST_F(Scaling, TeamBallsFirstShownWhileGrownFitTheirPixelsAndFollowTheScale)
{
    window->resize(1600, 1000);
    const qreal s = window->layoutScale();
    const qreal dpr = window->devicePixelRatioF();
    auto* ball = window->findChild<QLabel*>("team3");
    ASSERT_NE(ball, nullptr);
    EXPECT_TRUE(ball->pixmap().isNull()); // no team game yet, nothing drawn
    window->client().handle("CMD_startgame+2+5+y+4+");
    EXPECT_FALSE(ball->isHidden());
    EXPECT_EQ(ball->pixmap().size(), Pictures::teamBall(1, dpr * s).size());
    window->resize(798, 535);
    EXPECT_EQ(ball->pixmap().size(), Pictures::teamBall(1, dpr).size());
}

TEST_F(Scaling, TheReviewSwitchShowsEitherCaptionWholeAtTheDefaultSizeAndGrown)
{
    auto* button = window->findChild<PaintedButton*>("button_review");
    ASSERT_NE(button, nullptr);
    for (const QSize size : { QSize(798, 535), QSize(1700, 1100) }) {
        window->resize(size);
        ASSERT_EQ(window->layoutScale() > 1.9, size.width() > 798);
        for (const char* caption : { ReviewPanel::kOpenCaption, ReviewPanel::kCloseCaption }) {
            button->setText(caption);
            const QString whole = button->caption();
            EXPECT_EQ(button->shownCaption(), whole) << whole.toStdString() << " at " << size.width();
            EXPECT_LE(
                button->fontMetrics().horizontalAdvance(whole) + PaintedButton::kFrameRoom, button->width())
                << whole.toStdString() << " at " << size.width();
        }
    }
}

TEST_F(Scaling, TheChatTextGrowsWithTheWindowFromTheSizeChosen)
{
    auto* chat = window->findChild<ChatPane*>("mainchat");
    ASSERT_NE(chat, nullptr);
    const auto shownSize = [chat] { return chat->document()->defaultFont().pointSizeF(); };
    window->N8Click(12);
    window->resize(1600, 1000);
    const qreal s = window->layoutScale();
    ASSERT_GT(s, 1.9);
    EXPECT_NEAR(shownSize(), 12 * s, 0.01);
    EXPECT_EQ(chat->textSize(), 12) << "the size chosen, as the menu and the settings keep it";
    // A size chosen while grown is grown too, and the window's own size shows it as chosen.
    window->N8Click(14);
    EXPECT_NEAR(shownSize(), 14 * s, 0.01);
    window->resize(798, 535);
    EXPECT_NEAR(shownSize(), 14, 0.01);

    // Grow With Window off: the text keeps the size chosen, whatever the window's size.
    window->findChild<QAction*>("GrowWithWindow1")->trigger();
    window->resize(1600, 1000);
    EXPECT_EQ(window->layoutScale(), 1.0);
    EXPECT_NEAR(shownSize(), 14, 0.01);
}
