// The chat pane: line formatting, scrolling and link clicks.
#include "chat_pane.h"

#include "shown_line.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

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

namespace {

// The fragments of a line that are underlined.
QStringList underlinedOf(const ChatPane& pane, int line)
{
    QStringList parts;
    const QTextBlock block = pane.document()->findBlockByNumber(line);
    for (auto it = block.begin(); !it.atEnd(); ++it)
        if (it.fragment().charFormat().fontUnderline())
            parts << it.fragment().text();
    return parts;
}

// The lines a hostile host sent in one batch, as the window hands them on.
QStringList hostileLines()
{
    QStringList lines;
    const QString name = QStringLiteral("Eve chats: ");
    lines << name + QString(4000, u':') << QString(4000, u':') << name + QString(4000, u'|')
          << name + QStringLiteral("www.").repeated(1000) << name + QString(4000, u' ') + QStringLiteral("x")
          << QStringLiteral("E") + QChar(0) + QStringLiteral("ve chats: nul")
          << name + QStringLiteral("a\r\nb\rc\nd") << name + QStringLiteral("\r\n").repeated(2000)
          << name + QString(4000, u'a') << name + QStringLiteral("a") + QString(3000, QChar(0x0301))
          << name + QStringLiteral("a\u05d0b\u0628").repeated(1000)
          << name + (QString(QChar(0x202E)) + QStringLiteral("ab")).repeated(1300)
          << name + QString(4000, QChar(0x200D)) << name + QStringLiteral("http://").repeated(570)
          << name + QString(4000, QChar(0xD800)) << name + QStringLiteral("\u0915\u094d").repeated(2000)
          << name + QStringLiteral("ok");
    return lines;
}

} // namespace

TEST_F(ChatPaneTest, HostileLinesAreEachOneBoundedLine)
{
    const QStringList lines = hostileLines();
    for (const QString& line : lines)
        pane.addLine(line, Qt::darkRed, false);

    // One block per line and the empty one after the last: no line broke in two.
    ASSERT_EQ(pane.document()->blockCount(), lines.size() + 1);
    for (int n = 0; n < lines.size(); ++n) {
        const QString shown = pane.document()->findBlockByNumber(n).text();
        EXPECT_LE(shown.size(), shownline::kMaxLength + 1) << n;
        EXPECT_EQ(shown, shownline::shownLine(lines[n])) << n;
    }
    // The name is still bold up to its colon, however many colons follow.
    const auto colons = runsOfLine(pane, 0);
    ASSERT_EQ(colons.size(), 2u);
    EXPECT_EQ(colons[0].text, QStringLiteral("Eve chats:"));
    EXPECT_EQ(colons[0].weight, QFont::Bold);
    EXPECT_EQ(colons[1].weight, QFont::Normal);
    EXPECT_EQ(runsOfLine(pane, 1)[0].text, QStringLiteral(":"));
    EXPECT_EQ(pane.document()->findBlockByNumber(5).text(), QStringLiteral("E\ufffdve chats: nul"));
    // "www." over and over is one word and no address.
    EXPECT_TRUE(underlinedOf(pane, 3).isEmpty());
    EXPECT_EQ(pane.document()->findBlockByNumber(lines.size() - 1).text(), QStringLiteral("Eve chats: ok"));
}

TEST_F(ChatPaneTest, AWordWiderThanThePaneWrapsAnywhere)
{
    EXPECT_EQ(pane.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    pane.addLine(QStringLiteral("Eve chats: ") + QString(400, u'w'), Qt::black, false);
    const QTextBlock block = pane.document()->firstBlock();
    const QTextLayout* layout = block.layout();
    ASSERT_TRUE(layout);
    // Laid out as many lines, none wider than the page: the view never scrolls sideways.
    EXPECT_GT(layout->lineCount(), 3);
    const qreal page = pane.document()->textWidth();
    for (int i = 0; i < layout->lineCount(); ++i)
        EXPECT_LE(layout->lineAt(i).naturalTextWidth(), page) << i;
    EXPECT_EQ(pane.horizontalScrollBar()->maximum(), 0);
}

TEST_F(ChatPaneTest, OnlyWebLinksAreUnderlinedAndClickable)
{
    pane.addLine(QStringLiteral("Eve chats: file:///tmp/x mailto:a@b.org?attach=/etc/passwd http://a.org/x "
                                "telnet://t.org www.b.org news:n gopher://g.org ftp://f.org https://c.org/"),
        Qt::black, false);
    EXPECT_EQ(underlinedOf(pane, 0),
        QStringList({ QStringLiteral("http://a.org/x"), QStringLiteral("www.b.org"),
            QStringLiteral("https://c.org/") }));
    // The bold name keeps its weight beside an underlined link.
    EXPECT_EQ(runsOfLine(pane, 0)[0].text, QStringLiteral("Eve chats:"));

    QSignalSpy spy(&pane, &ChatPane::linkActivated);
    const QString text = pane.toPlainText();
    for (const char* plain : { "file:", "mailto:", "telnet:", "news:", "gopher:", "ftp:" }) {
        const int at = int(text.indexOf(QLatin1StringView(plain))) + 2;
        QTest::mouseMove(pane.viewport(), pointOf(at));
        EXPECT_EQ(pane.viewport()->cursor().shape(), Qt::ArrowCursor) << plain;
        QTest::mouseClick(pane.viewport(), Qt::LeftButton, {}, pointOf(at));
    }
    EXPECT_EQ(spy.count(), 0);
    QTest::mouseClick(
        pane.viewport(), Qt::LeftButton, {}, pointOf(int(text.indexOf(QStringLiteral("https:"))) + 3));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toString(), QStringLiteral("https://c.org/"));
}

TEST_F(ChatPaneTest, IsolatesAroundANameStayAndTheNameIsStillBold)
{
    const QString evil = QChar(0x2068) + QStringLiteral("evil\u202Etxt.exe") + QChar(0x2069);
    pane.addLine(evil + QStringLiteral(" chats: ") + QChar(0x2068)
            + QStringLiteral("\u05e9\u05dc\u05d5\u05dd") + QChar(0x2069),
        Qt::black, false);
    const auto runs = runsOfLine(pane, 0);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].text, evil + QStringLiteral(" chats:"));
    EXPECT_EQ(runs[0].weight, QFont::Bold);
    EXPECT_EQ(runs[1].text,
        QStringLiteral(" ") + QChar(0x2068) + QStringLiteral("\u05e9\u05dc\u05d5\u05dd") + QChar(0x2069));
    EXPECT_EQ(runs[1].weight, QFont::Normal);
}

TEST_F(ChatPaneTest, AFloodKeepsThePaneWithinItsBounds)
{
    // Long lines first: the characters' bound holds the pane well before the lines' does.
    const QString longLine = QStringLiteral("Eve chats: ") + QString(4000, u'x');
    int added = 0;
    for (; added < 2 * ChatPane::kMaxCharacters / shownline::kMaxLength; ++added) {
        pane.addLine(longLine, Qt::black, false);
        ASSERT_LE(pane.document()->characterCount(), ChatPane::kMaxCharacters + 1) << added;
    }
    EXPECT_LT(pane.document()->blockCount(), ChatPane::kMaxCharacters / shownline::kMaxLength + 2);

    EXPECT_EQ(pane.document()->lastBlock().previous().text(), shownline::shownLine(longLine));

    // Short lines: the lines' bound. The newest line is always the last, the oldest go.
    pane.clear();
    for (int n = 0; n < ChatPane::kMaxLines + ChatPane::kMaxLines / 5; ++n) {
        pane.addLine(QStringLiteral("Eve chats: %1").arg(n), Qt::black, false);
        ASSERT_LE(pane.document()->blockCount(), ChatPane::kMaxLines + 1) << n;
    }
    const int lines = pane.document()->blockCount() - 1;
    EXPECT_GT(lines, ChatPane::kMaxLines / 2);
    const int last = ChatPane::kMaxLines + ChatPane::kMaxLines / 5 - 1;
    EXPECT_EQ(
        pane.document()->findBlockByNumber(lines - 1).text(), QStringLiteral("Eve chats: %1").arg(last));
    EXPECT_EQ(pane.document()->firstBlock().text(), QStringLiteral("Eve chats: %1").arg(last - lines + 1));
}

TEST_F(ChatPaneTest, WithScrollOffOldLinesGoingKeepTheViewAndSelectionOnTheirText)
{
    for (int n = 0; n < ChatPane::kMaxLines - 1; ++n)
        pane.addLine(QStringLiteral("Eve chats: %1").arg(n), Qt::black, false);
    QScrollBar* bar = pane.verticalScrollBar();
    // Look at line 3000 and select part of line 3001.
    const QTextBlock watched = pane.document()->findBlockByNumber(3000);
    bar->setValue(int(pane.document()->documentLayout()->blockBoundingRect(watched).top()));
    const QString topText = pane.cursorForPosition(QPoint(5, 5)).block().text();
    const int selected = watched.next().position() + 4;
    QTextCursor sel(pane.document());
    sel.setPosition(selected);
    sel.setPosition(selected + 5, QTextCursor::KeepAnchor);
    const QString selectedText = sel.selectedText();
    pane.setTextCursor(sel);
    bar->setValue(int(pane.document()->documentLayout()->blockBoundingRect(watched).top()));

    // Past the bound: the oldest tenth goes while the player reads.
    const int firstBefore = pane.document()->firstBlock().text().mid(11).toInt();
    for (int n = 0; n < 3; ++n)
        pane.addLine(QStringLiteral("Eve chats: more %1").arg(n), Qt::black, true);
    ASSERT_GT(pane.document()->firstBlock().text().mid(11).toInt(), firstBefore);
    EXPECT_EQ(pane.cursorForPosition(QPoint(5, 5)).block().text(), topText);
    EXPECT_EQ(pane.textCursor().selectedText(), selectedText);
}
