// Finding links in the chat pane's text.
#include "link_finder.h"

#include <gtest/gtest.h>

namespace {

// Position of the n-th occurrence of a character, to point into a word.
int at(const QString& text, QChar c, int nth = 0)
{
    qsizetype pos = -1;
    for (int i = 0; i <= nth; ++i)
        pos = text.indexOf(c, pos + 1);
    return int(pos);
}

} // namespace

TEST(LinkFinder, TrailingPunctuationAndLeadingBracketAreLeftOut)
{
    const QString text = QStringLiteral("look (www.example.com). now");
    // Anywhere in the word finds the same link, the brackets included.
    for (int pos : { at(text, u'('), at(text, u'x'), at(text, u')'), at(text, u'.', 2) }) {
        const auto link = findLinkAt(text, pos);
        ASSERT_TRUE(link) << pos;
        EXPECT_EQ(link->text, QStringLiteral("www.example.com"));
        EXPECT_EQ(link->start, at(text, u'w'));
        EXPECT_EQ(link->length, 15);
        EXPECT_EQ(text.mid(link->start, link->length), link->text);
    }
}

TEST(LinkFinder, LetterCaseIsKeptAndOnlyLettersDigitsSlashEndALink)
{
    const QString text = QStringLiteral("see HTTP://Foo.com/x?");
    const auto link = findLinkAt(text, text.size() - 1);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->text, QStringLiteral("HTTP://Foo.com/x"));
    EXPECT_EQ(link->start, 4);

    const QString slash = QStringLiteral("ftp://host/dir/!!");
    ASSERT_TRUE(findLinkAt(slash, 0));
    EXPECT_EQ(findLinkAt(slash, 0)->text, QStringLiteral("ftp://host/dir/"));

    const QString mail = QStringLiteral("mailto:ann@x.org,");
    ASSERT_TRUE(findLinkAt(mail, 3));
    EXPECT_EQ(findLinkAt(mail, 3)->text, QStringLiteral("mailto:ann@x.org"));
}

TEST(LinkFinder, APrefixAloneIsNoLink)
{
    EXPECT_FALSE(findLinkAt(QStringLiteral("http://"), 2));
    EXPECT_FALSE(findLinkAt(QStringLiteral("go to www. now"), 7));
    // Trailing characters are removed before the length is compared.
    EXPECT_FALSE(findLinkAt(QStringLiteral("news:!?"), 0));
    const auto shortest = findLinkAt(QStringLiteral("news:a"), 0);
    ASSERT_TRUE(shortest);
    EXPECT_EQ(shortest->text, QStringLiteral("news:a"));
}

TEST(LinkFinder, NothingOutsideAWordOrWithoutAPrefix)
{
    const QString text = QStringLiteral("a www.x.org b\r\nplain words\nwww.y.org");
    EXPECT_FALSE(findLinkAt(text, text.size()));
    EXPECT_FALSE(findLinkAt(text, text.size() + 10));
    EXPECT_FALSE(findLinkAt(text, -1));
    EXPECT_FALSE(findLinkAt(text, at(text, u' '))); // on a blank between words
    EXPECT_FALSE(findLinkAt(text, at(text, u'p'))); // a word with no prefix
    EXPECT_FALSE(findLinkAt(text, at(text, u'\n'))); // on a line break
    EXPECT_FALSE(findLinkAt(QString(), 0));

    // Line breaks delimit words just as blanks do.
    const auto last = findLinkAt(text, text.size() - 1);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->text, QStringLiteral("www.y.org"));
    EXPECT_EQ(last->start, text.lastIndexOf(QStringLiteral("www.")));

    const QString paragraphs = QStringLiteral("x") + QChar::ParagraphSeparator + QStringLiteral("www.z.net");
    ASSERT_TRUE(findLinkAt(paragraphs, 3));
    EXPECT_EQ(findLinkAt(paragraphs, 3)->start, 2);
}

TEST(LinkFinder, PrefixesAreTriedInTheirOrderNotByPlaceInTheWord)
{
    // "www." comes first in the word, but "http://" comes first in the order.
    const QString text = QStringLiteral("www.a.com/http://b.org");
    const auto link = findLinkAt(text, 0);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->text, QStringLiteral("http://b.org"));
    EXPECT_EQ(link->start, 10);

    // "mailto:" before "www.", although the address holds "www." too.
    const auto mail = findLinkAt(QStringLiteral("www.site/mailto:me@x.io"), 2);
    ASSERT_TRUE(mail);
    EXPECT_EQ(mail->text, QStringLiteral("mailto:me@x.io"));

    // The first prefix in the order decides alone: too short means no link,
    // even if a later prefix would have given one.
    EXPECT_FALSE(findLinkAt(QStringLiteral("www.long.example/http://"), 0));
}

TEST(LinkFinder, APrefixInsideAWordStartsTheLinkThere)
{
    const QString text = QStringLiteral("hi xwww.a.b there");
    const auto link = findLinkAt(text, at(text, u'x'));
    ASSERT_TRUE(link);
    EXPECT_EQ(link->text, QStringLiteral("www.a.b"));
    EXPECT_EQ(link->start, at(text, u'x') + 1);
    EXPECT_EQ(link->length, 7);

    const auto upper = findLinkAt(QStringLiteral("(Telnet://BBS.Example)"), 1);
    ASSERT_TRUE(upper);
    EXPECT_EQ(upper->text, QStringLiteral("Telnet://BBS.Example"));
    EXPECT_EQ(upper->start, 1);
}

TEST(LinkFinder, NonAsciiTextKeepsPositionsAligned)
{
    // Characters whose lower case is longer must not shift the link.
    const QString text = QStringLiteral("\u0130\u0130 \u0130www.\u00e9t\u00e9.fr");
    const auto link = findLinkAt(text, 4);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->start, 4);
    EXPECT_EQ(link->text, QStringLiteral("www.\u00e9t\u00e9.fr"));
}
