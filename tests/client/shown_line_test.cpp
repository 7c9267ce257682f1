// What the chat pane shows of a line: one paragraph, bounded, no costly stacks.
#include "shown_line.h"

#include <gtest/gtest.h>

using shownline::kEllipsis;
using shownline::kMaxLength;
using shownline::kMaxMarksInARow;
using shownline::shownLine;

namespace {

const QChar fsi(0x2068), pdi(0x2069), rlo(0x202E);

// The longest run of combining marks in a text.
int longestMarkRun(const QString& text)
{
    int longest = 0, run = 0;
    for (QChar c : text) {
        run = c.isMark() ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

} // namespace

TEST(ShownLine, AnOrdinaryLineIsShownAsItIs)
{
    for (const QString& line : { QStringLiteral("Ann chats: hello, www.example.org!"), QString(),
             fsi + QStringLiteral("\u05e9\u05dc\u05d5\u05dd") + pdi
                 + QStringLiteral(" chats: \u00e9t\u00e9 \U0001F600"),
             QStringLiteral("Bo chats: vi\u1ec7t nam") }) {
        EXPECT_EQ(shownLine(line), line);
    }
    const QString exact(kMaxLength, u'x');
    EXPECT_EQ(shownLine(exact), exact);
}

TEST(ShownLine, LineBreaksAndControlsCannotSplitOrHideALine)
{
    // A line break would make two lines of one, each with its own bold part.
    EXPECT_EQ(shownLine(QStringLiteral("Ann chats: a\r\nEve chats: b\rc\nd\te")),
        QStringLiteral("Ann chats: a  Eve chats: b c d e"));
    EXPECT_EQ(shownLine(QStringLiteral("a") + QChar::LineSeparator + "b" + QChar::ParagraphSeparator + "c"
                  + QChar(0x85) + "d" + QChar(0x0B) + QChar(0x0C)),
        QStringLiteral("a b c d  "));
    // A NUL inside a name shows instead of vanishing.
    EXPECT_EQ(shownLine(QStringLiteral("An") + QChar(0) + QStringLiteral("n chats: x")),
        QStringLiteral("An\ufffdn chats: x"));
    EXPECT_EQ(
        shownLine(QString(QChar(0x1B)) + QChar(0x7F) + QChar(0x9B)), QStringLiteral("\ufffd\ufffd\ufffd"));
    // Broken surrogate pairs become replacement characters; whole ones stay.
    EXPECT_EQ(shownLine(QString(QChar(0xD800)) + "a" + QChar(0xDC00) + QStringLiteral("\U0001F600")),
        QStringLiteral("\ufffda\ufffd\U0001F600"));
}

TEST(ShownLine, ALongLineIsCutWithAnEllipsis)
{
    for (const QString& piece : { QStringLiteral(":"), QStringLiteral("|"), QStringLiteral("www."),
             QStringLiteral(" "), QStringLiteral("a\u05d0") }) {
        const QString shown = shownLine(piece.repeated(4000));
        ASSERT_EQ(shown.size(), kMaxLength + 1) << piece.toStdString();
        EXPECT_EQ(shown.back(), QChar(kEllipsis));
        EXPECT_EQ(shown.left(kMaxLength), piece.repeated(4000).left(kMaxLength));
    }
    // A character outside the first plane is never cut in half.
    const QString faces = QString(QChar(u'x')) + QStringLiteral("\U0001F600").repeated(kMaxLength);
    const QString shown = shownLine(faces);
    EXPECT_EQ(shown.size(), kMaxLength);
    EXPECT_TRUE(shown[shown.size() - 2].isLowSurrogate());
    EXPECT_EQ(shown.back(), QChar(kEllipsis));
}

TEST(ShownLine, StacksOfMarksAreCutToAFew)
{
    const QString zalgo
        = QStringLiteral("a") + QString(4000, QChar(0x0301)) + "b" + QString(3, QChar(0x0308));
    const QString shown = shownLine(zalgo);
    EXPECT_EQ(shown,
        QStringLiteral("a") + QString(kMaxMarksInARow, QChar(0x0301)) + "b" + QString(3, QChar(0x0308)));
    EXPECT_EQ(
        longestMarkRun(shownLine(QString(QChar(0x0915)) + QStringLiteral("\u094d\u093f").repeated(900))),
        kMaxMarksInARow);
    // Invisible joiners stack the same way; one between two faces, as a family
    // of faces is written, stays.
    EXPECT_EQ(shownLine(QStringLiteral("x") + QString(100, QChar(0x200D))).size(), 1 + kMaxMarksInARow);
    const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467");
    EXPECT_EQ(shownLine(family), family);
}

TEST(ShownLine, DirectionControlsAreNeverDropped)
{
    // The window's own isolate must close even after a stack of marks, or the
    // rest of its line would be read inside the other player's text.
    const QString name
        = fsi + QStringLiteral("x") + QString(40, QChar(0x0301)) + rlo + QString(40, QChar(0x0301)) + pdi;
    const QString shown = shownLine(name + QStringLiteral(" chats: hi"));
    EXPECT_EQ(shown.count(fsi), 1);
    EXPECT_EQ(shown.count(pdi), 1);
    EXPECT_EQ(shown.count(rlo), 1);
    EXPECT_TRUE(shown.endsWith(pdi + QStringLiteral(" chats: hi")));
    EXPECT_LE(longestMarkRun(shown), kMaxMarksInARow);
}
