// Finding links in the chat pane's text.
#include "link_finder.h"

#include <QUrl>

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

    const QString slash = QStringLiteral("https://host/dir/!!");
    ASSERT_TRUE(findLinkAt(slash, 0));
    EXPECT_EQ(findLinkAt(slash, 0)->text, QStringLiteral("https://host/dir/"));

    const QString comma = QStringLiteral("Www.X.org/a1,");
    ASSERT_TRUE(findLinkAt(comma, 3));
    EXPECT_EQ(findLinkAt(comma, 3)->text, QStringLiteral("Www.X.org/a1"));
}

TEST(LinkFinder, APrefixAloneIsNoLink)
{
    EXPECT_FALSE(findLinkAt(QStringLiteral("http://"), 2));
    EXPECT_FALSE(findLinkAt(QStringLiteral("go to www. now"), 7));
    // Trailing characters are removed before the length is compared.
    EXPECT_FALSE(findLinkAt(QStringLiteral("https://!?"), 0));
    const auto shortest = findLinkAt(QStringLiteral("http://a"), 0);
    ASSERT_TRUE(shortest);
    EXPECT_EQ(shortest->text, QStringLiteral("http://a"));
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

    // "mailto:" comes before "www." and is no web link, so the whole word
    // is plain text although it holds "www." too.
    EXPECT_FALSE(findLinkAt(QStringLiteral("www.site/mailto:me@x.io"), 2));
    // "https://" is a prefix of its own, not "http://" with an "s".
    const auto secure = findLinkAt(QStringLiteral("www.a.com/https://b.org"), 0);
    ASSERT_TRUE(secure);
    EXPECT_EQ(secure->text, QStringLiteral("https://b.org"));

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

    const auto upper = findLinkAt(QStringLiteral("(HTTPS://BBS.Example)"), 1);
    ASSERT_TRUE(upper);
    EXPECT_EQ(upper->text, QStringLiteral("HTTPS://BBS.Example"));
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

TEST(LinkFinder, OnlyWebAddressesAreLinks)
{
    // What a click once handed to the desktop whatever its scheme: plain text now.
    for (const char* word : { "file:///tmp/x", "file:///dev/zero", "telnet://bbs.example.org",
             "mailto:ann@x.org?attach=/etc/passwd", "news:comp.lang.c", "gopher://hole.example/1",
             "ftp://files.example/pub", "ftp://www.example.org", "file:///home/www.example.org/x",
             "javascript:alert(1)//www", "data:text/html,www" }) {
        const QString text = QStringLiteral("see ") + QString::fromUtf8(word) + QStringLiteral(" now");
        for (int position = 0; position < text.size(); ++position)
            EXPECT_FALSE(findLinkAt(text, position)) << word << " at " << position;
        EXPECT_TRUE(findLinks(text).empty()) << word;
    }

    // A web address inside another word is a link of its own, and what opens
    // is exactly what is underlined.
    const auto inside = findLinkAt(QStringLiteral("data:text/html,www.x.org"), 2);
    ASSERT_TRUE(inside);
    EXPECT_EQ(inside->text, QStringLiteral("www.x.org"));
    EXPECT_EQ(inside->address, QUrl(QStringLiteral("http://www.x.org")));

    const QString web = QStringLiteral("a http://a.org/x b https://b.org c www.c.org");
    const auto links = findLinks(web);
    ASSERT_EQ(links.size(), 3u);
    EXPECT_EQ(links[0].address, QUrl(QStringLiteral("http://a.org/x")));
    EXPECT_EQ(links[1].address, QUrl(QStringLiteral("https://b.org")));
    EXPECT_EQ(links[2].address, QUrl(QStringLiteral("http://www.c.org")));
}

TEST(LinkFinder, AddressesThatCouldReadAsOthersAreNoLinks)
{
    // A direction override would show "exe.txt" for "txt.exe"; invisible and
    // control characters could hide anything; a user name makes the start of
    // the address look like its host.
    for (const QString& word :
        { QStringLiteral("http://good.example/\u202Etxt.exe"), QStringLiteral("http://go\u200Bod.example/x"),
            QStringLiteral("www.a\u2066b.example"), QStringLiteral("http://a.example/\x01x"),
            QStringLiteral("http://a.example/") + QChar(0xD800) + "x",
            QStringLiteral("http://a.example/\uE000x"), QStringLiteral("http://bank.example@evil.example/"),
            QStringLiteral("https://user:pw@host.example/"), QStringLiteral("http:///nohost") }) {
        EXPECT_FALSE(findLinkAt(word, 0)) << word.toStdString();
        EXPECT_FALSE(webAddressOf(word).isValid()) << word.toStdString();
    }
    // A trailing isolate around the text is no part of the word's link.
    const QString isolatedLink = QChar(0x2068) + QStringLiteral("www.a.example") + QChar(0x2069);
    const auto link = findLinkAt(isolatedLink, 3);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->text, QStringLiteral("www.a.example"));
    EXPECT_EQ(link->start, 1);
}

TEST(LinkFinder, WebAddressesAreWhatAClickOpens)
{
    EXPECT_EQ(webAddressOf(QStringLiteral("www.Example.org/Path")).toString(QUrl::FullyEncoded),
        QStringLiteral("http://www.example.org/Path"));
    EXPECT_EQ(webAddressOf(QStringLiteral("HTTPS://a.example/x?q=1")).toString(QUrl::FullyEncoded),
        QStringLiteral("https://a.example/x?q=1"));
    // The address as it will be opened is plain ASCII: a host that looks like
    // another in other letters shows in its encoded form.
    EXPECT_EQ(webAddressOf(QStringLiteral("http://g\u043E\u043Egle.com/\u00e9")).toString(QUrl::FullyEncoded),
        QStringLiteral("http://xn--ggle-55da.com/%C3%A9"));
    EXPECT_FALSE(webAddressOf(QStringLiteral("ftp://a.example")).isValid());
    EXPECT_FALSE(webAddressOf(QString()).isValid());
}

TEST(LinkFinder, EveryLinkOfALineIsTheLinkAtEachOfItsCharacters)
{
    const QString text = QStringLiteral("(www.a.org). x http://b.org/c/ ftp://c.org https://d.org?, www.");
    const auto links = findLinks(text);
    ASSERT_EQ(links.size(), 3u);
    EXPECT_EQ(links[0].text, QStringLiteral("www.a.org"));
    EXPECT_EQ(links[1].text, QStringLiteral("http://b.org/c/"));
    EXPECT_EQ(links[2].text, QStringLiteral("https://d.org"));
    for (const FoundLink& link : links)
        EXPECT_EQ(text.mid(link.start, link.length), link.text);

    // Each character of a word finds its word's link, or nothing when the word has none.
    for (int position = 0; position < text.size(); ++position) {
        const auto at = findLinkAt(text, position);
        const qsizetype wordStart = text.lastIndexOf(u' ', position) + 1;
        const FoundLink* expected = nullptr;
        for (const FoundLink& link : links)
            if (text[position] != u' ' && text.lastIndexOf(u' ', link.start) + 1 == wordStart)
                expected = &link;
        ASSERT_EQ(bool(at), expected != nullptr) << position;
        if (at) {
            EXPECT_EQ(at->start, expected->start) << position;
            EXPECT_EQ(at->length, expected->length) << position;
        }
    }
}

namespace {

// The finder's steps over a line of n characters: for the whole line, and for
// the word under the middle character (as the pointer asks).
struct Steps {
    qsizetype line = 0;
    qsizetype pointer = 0;
};

Steps stepsOf(const QString& text)
{
    Steps steps;
    LinkSearchSteps count;
    findLinks(text, &count);
    steps.line = count.count;
    count = {};
    findLinkAt(text, int(text.size() / 2), &count);
    steps.pointer = count.count;
    return steps;
}

QString repeated(const QString& piece, qsizetype length)
{
    QString text;
    while (text.size() < length)
        text += piece;
    text.truncate(length);
    return text;
}

} // namespace

TEST(LinkFinder, StepsGrowNoFasterThanTheText)
{
    // Shapes that made a naive search slow: runs of near-prefixes, one long
    // word, many short words, a prefix repeated.
    for (const QString& piece : { QStringLiteral("www."), QStringLiteral("w"), QStringLiteral("http:/"),
             QStringLiteral("https:/"), QStringLiteral(":"), QStringLiteral("|"), QStringLiteral("a "),
             QStringLiteral("mailto"), QStringLiteral("http://"), QStringLiteral(" ") }) {
        const Steps small = stepsOf(repeated(piece, 2000));
        const Steps large = stepsOf(repeated(piece, 8000));
        EXPECT_LE(small.line, kMaxLinkStepsPerCharacter * 2000) << piece.toStdString();
        EXPECT_LE(large.line, kMaxLinkStepsPerCharacter * 8000) << piece.toStdString();
        EXPECT_LE(large.pointer, kMaxLinkStepsPerCharacter * 8000) << piece.toStdString();
        // Four times the text, about four times the work, never sixteen.
        EXPECT_LE(double(large.line), 4.1 * double(small.line)) << piece.toStdString();
        EXPECT_LE(double(large.pointer), 4.1 * double(small.pointer)) << piece.toStdString();
    }
    // The count is real work, not a constant: a long word costs more than a short one.
    EXPECT_GT(stepsOf(repeated(QStringLiteral("www."), 8000)).line, 8000);
}
