// Other players' text inside the window's lines: isolated, and unable to
// close or keep open the isolate around it.
#include "outside_text.h"

#include <gtest/gtest.h>

namespace {

const QChar fsi(0x2068), lri(0x2066), rli(0x2067), pdi(0x2069), rlo(0x202E), pdf(0x202C);

// Isolates still open at the end of a text, as the direction algorithm pairs them.
int openIsolates(const QString& text)
{
    int open = 0;
    for (QChar c : text) {
        if (c == fsi || c == lri || c == rli)
            ++open;
        else if (c == pdi && open > 0)
            --open;
    }
    return open;
}

} // namespace

TEST(OutsideText, PlainTextStaysAsItIs)
{
    for (const QString& text : { QStringLiteral("Ann"), QString(), QStringLiteral("caf\u00e9 5: x") })
        EXPECT_EQ(isolated(text), text);
}

TEST(OutsideText, RightToLeftTextAndControlsGoInsideAnIsolate)
{
    const QString evil = QStringLiteral("evil") + rlo + QStringLiteral("txt.exe");
    EXPECT_EQ(isolated(evil), fsi + evil + pdi);
    const QString hebrew = QStringLiteral("\u05e9\u05dc\u05d5\u05dd");
    EXPECT_EQ(isolated(hebrew), fsi + hebrew + pdi);
    // An override left open needs nothing: the isolate's end ends it.
    const QString override = rlo + QStringLiteral("x") + pdf;
    EXPECT_EQ(isolated(override), fsi + override + pdi);
}

TEST(OutsideText, AStrayPopCannotCloseTheIsolateEarly)
{
    // "x", a pop, then an override: without care the pop would end our
    // isolate and the override would reverse the window's own words.
    const QString name = QStringLiteral("x") + pdi + rlo + QStringLiteral("evil");
    const QString shown = isolated(name) + QStringLiteral(" chats: hi");
    EXPECT_EQ(isolated(name), fsi + QStringLiteral("x") + rlo + QStringLiteral("evil") + pdi);
    // Our isolate closes exactly where the name ends.
    EXPECT_EQ(openIsolates(isolated(name)), 0);
    EXPECT_EQ(shown.indexOf(pdi), shown.indexOf(QStringLiteral(" chats: ")) - 1);
}

TEST(OutsideText, IsolatesLeftOpenAreClosedBeforeOurs)
{
    const QString name
        = QStringLiteral("a") + rli + QStringLiteral("b") + lri + lri + QStringLiteral("c") + pdi;
    const QString result = isolated(name);
    EXPECT_EQ(result, fsi + name + pdi + pdi + pdi);
    EXPECT_EQ(openIsolates(result), 0);
    // Matched pairs inside are kept as they are.
    const QString matched = rli + QStringLiteral("\u05d0") + pdi;
    EXPECT_EQ(isolated(matched), fsi + matched + pdi);
    // Every prefix of the result up to our last pop keeps our isolate open:
    // nothing inside closes it.
    int depth = 0;
    for (qsizetype i = 0; i + 1 < result.size(); ++i) {
        depth += result[i] == pdi ? -1 : (result[i] == fsi || result[i] == lri || result[i] == rli) ? 1 : 0;
        EXPECT_GE(depth, 1) << i;
    }
}
