// The one rule for text on the wire: Latin-1 when it fits, UTF-8 otherwise.
#include "text_codec.h"

#include <gtest/gtest.h>

using wire::cutText;
using wire::decodeText;
using wire::encodeText;
using wire::readsAsUtf8;

TEST(TextCodec, SendsLatin1WhenEveryCharacterFitsAndUtf8Otherwise)
{
    EXPECT_EQ(encodeText("Bob"), "Bob");
    EXPECT_EQ(encodeText(QString::fromUtf8("José")), "Jos\xE9");
    EXPECT_EQ(encodeText(QString::fromUtf8("Жора")), "\xD0\x96\xD0\xBE\xD1\x80\xD0\xB0");
    // One character past Latin-1 sends the whole text as UTF-8.
    EXPECT_EQ(encodeText(QString::fromUtf8("é€")), "\xC3\xA9\xE2\x82\xAC");
}

TEST(TextCodec, ReadsUtf8WhenWellFormedWithAWideByteAndLatin1Otherwise)
{
    EXPECT_EQ(decodeText("Jos\xE9"), QString::fromUtf8("José")); // an older peer's 8-bit text
    EXPECT_EQ(decodeText("Jos\xC3\xA9"), QString::fromUtf8("José"));
    EXPECT_EQ(decodeText("\xD0\x96\xD0\xBE\xD1\x80\xD0\xB0"), QString::fromUtf8("Жора"));
    EXPECT_EQ(decodeText("Caf\xE9 cr\xE8me"), QString::fromUtf8("Café crème"));
    EXPECT_EQ(decodeText("plain"), "plain");
    EXPECT_EQ(decodeText("\xEF\xBB\xBFhi").front(), QChar(0xFEFF)); // not taken for a byte-order mark
    for (const QString& text : { QString::fromUtf8("José"), QString::fromUtf8("Жора ü"), QString("a+b|c") })
        EXPECT_EQ(decodeText(encodeText(text)), text);
}

TEST(TextCodec, MalformedUtf8ReadsAsLatin1)
{
    EXPECT_FALSE(readsAsUtf8("\xC0\xAF")); // overlong "/"
    EXPECT_FALSE(readsAsUtf8("\xED\xA0\x80")); // a surrogate
    EXPECT_FALSE(readsAsUtf8("\xF4\x90\x80\x80")); // past U+10FFFF
    EXPECT_FALSE(readsAsUtf8("\xC3")); // cut short
    EXPECT_FALSE(readsAsUtf8("ascii only"));
    EXPECT_EQ(decodeText("\xC3"), QString(QChar(0xC3)));
}

TEST(TextCodec, CuttingNeverSplitsAUtf8Character)
{
    const std::string cyrillic = encodeText(QString::fromUtf8("ЖЖЖ")); // six bytes
    EXPECT_EQ(cutText(cyrillic, 5), cyrillic.substr(0, 4));
    EXPECT_EQ(cutText(cyrillic, 6), cyrillic);
    EXPECT_EQ(cutText("Jos\xE9 Jos\xE9", 4), "Jos\xE9"); // Latin-1 is cut byte for byte
    EXPECT_EQ(cutText("abc", 0), "");
}
