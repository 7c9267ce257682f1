// The chat pane: line formatting, scrolling and link clicks.
#include "chat_pane.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace {

struct Run {
    QString text;
    int weight;
    QColor colour;
};

// The text runs of one line of the pane with their weight and colour.
std::vector<Run> runsOfLine(const ChatPane& pane, int line)
{
    std::vector<Run> runs;
    const QTextBlock block = pane.document()->findBlockByNumber(line);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        runs.push_back({ f.text(), f.charFormat().fontWeight(), f.charFormat().foreground().color() });
    }
    return runs;
}

class ChatPaneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pane.resize(300, 120);
        pane.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
    }

    // The viewport point in the middle of a character of the document.
    QPoint pointOf(int position)
    {
        QTextCursor c(pane.document());
        c.setPosition(position);
        const QRect left = pane.cursorRect(c);
        c.setPosition(position + 1);
        const QRect right = pane.cursorRect(c);
        return { (left.x() + right.x()) / 2, left.center().y() };
    }

    ChatPane pane;
};

} // namespace

TEST_F(ChatPaneTest, PartUpToTheFirstColonIsBoldTheRestRegular)
{
    const QColor navy(0, 0, 128);
    pane.addLine(QStringLiteral("Ann chats: see: this"), navy, false);
    pane.addLine(QStringLiteral("Loading Solo Game..Please wait."), Qt::red, false);
    pane.addLine(QStringLiteral(":lead"), Qt::blue, false);

    const auto first = runsOfLine(pane, 0);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].text, QStringLiteral("Ann chats:"));
    EXPECT_EQ(first[0].weight, QFont::Bold);
    EXPECT_EQ(first[1].text, QStringLiteral(" see: this"));
    EXPECT_EQ(first[1].weight, QFont::Normal);
    EXPECT_EQ(first[0].colour, navy);
    EXPECT_EQ(first[1].colour, navy);

    const auto second = runsOfLine(pane, 1);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].weight, QFont::Normal);
    EXPECT_EQ(second[0].colour, QColor(Qt::red));

    const auto third = runsOfLine(pane, 2);
    ASSERT_EQ(third.size(), 2u);
    EXPECT_EQ(third[0].text, QStringLiteral(":"));
    EXPECT_EQ(third[0].weight, QFont::Bold);
    EXPECT_EQ(third[1].weight, QFont::Normal);

    // Each line ends with a line break.
    EXPECT_EQ(
        pane.toPlainText(), QStringLiteral("Ann chats: see: this\nLoading Solo Game..Please wait.\n:lead\n"));
}

TEST_F(ChatPaneTest, ScrollOffKeepsTheViewAndSelectionScrollOnFollows)
{
    for (int i = 0; i < 40; ++i)
        pane.addLine(QStringLiteral("Bob chats: line %1").arg(i), Qt::black, false);
    QScrollBar* bar = pane.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    bar->setValue(bar->maximum() / 3);
    const int kept = bar->value();
    QTextCursor sel(pane.document());
    sel.setPosition(5);
    sel.setPosition(12, QTextCursor::KeepAnchor);
    pane.setTextCursor(sel);
    bar->setValue(kept);

    const int maxBefore = bar->maximum();
    for (int i = 0; i < 40; ++i)
        pane.addLine(QStringLiteral("Bob chats: more %1").arg(i), Qt::black, true);
    EXPECT_GT(bar->maximum(), maxBefore);
    EXPECT_EQ(bar->value(), kept);
    EXPECT_EQ(pane.textCursor().selectionStart(), 5);
    EXPECT_EQ(pane.textCursor().selectionEnd(), 12);

    // A bare caret at the end stays at its place too, not at the new end.
    QTextCursor caret(pane.document());
    caret.movePosition(QTextCursor::End);
    pane.setTextCursor(caret);
    const int caretAt = caret.position();
    pane.addLine(QStringLiteral("Bob chats: one more"), Qt::black, true);
    EXPECT_EQ(pane.textCursor().position(), caretAt);
    EXPECT_FALSE(pane.textCursor().hasSelection());

    pane.addLine(QStringLiteral("Bob chats: back on"), Qt::black, false);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_GT(bar->value(), kept);
}

TEST_F(ChatPaneTest, TextSizeAppliesToTheWholePane)
{
    pane.addLine(QStringLiteral("Cid chats: hi"), Qt::black, false);
    pane.setTextSize(14);
    EXPECT_EQ(pane.textSize(), 14);
    QTextCursor c(pane.document());
    c.setPosition(2);
    EXPECT_EQ(QFontInfo(c.charFormat().font()).pointSize(), 14);
}

TEST_F(ChatPaneTest, ClickingALinkSelectsAndEmitsItAndTheCursorShowsIt)
{
    pane.addLine(QStringLiteral("Ann chats: try (www.example.com). ok"), Qt::black, false);
    pane.addLine(QStringLiteral("Bob chats: no link here"), Qt::black, false);
    QSignalSpy spy(&pane, &ChatPane::linkActivated);
    const QString text = pane.toPlainText();
    const int linkStart = int(text.indexOf(QStringLiteral("www.")));

    QTest::mouseMove(pane.viewport(), pointOf(linkStart + 5));
    EXPECT_EQ(pane.viewport()->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(pane.viewport(), pointOf(int(text.indexOf(QStringLiteral("here")))));
    EXPECT_EQ(pane.viewport()->cursor().shape(), Qt::ArrowCursor);

    QTest::mouseClick(pane.viewport(), Qt::LeftButton, {}, pointOf(linkStart + 5));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toString(), QStringLiteral("www.example.com"));
    EXPECT_EQ(pane.textCursor().selectedText(), QStringLiteral("www.example.com"));
    EXPECT_EQ(pane.textCursor().selectionStart(), linkStart);

    // The word's opening bracket belongs to the word, so it finds the link too.
    QTest::mouseClick(pane.viewport(), Qt::LeftButton, {}, pointOf(linkStart - 1));
    EXPECT_EQ(spy.count(), 2);

    // No link under the point, or a right press: nothing is emitted.
    QTest::mouseClick(
        pane.viewport(), Qt::LeftButton, {}, pointOf(int(text.indexOf(QStringLiteral("here")))));
    QTest::mouseClick(pane.viewport(), Qt::RightButton, {}, pointOf(linkStart + 5));
    QTest::mouseClick(pane.viewport(), Qt::LeftButton, {}, QPoint(pane.viewport()->width() - 3, 3));
    EXPECT_EQ(spy.count(), 2);
}
