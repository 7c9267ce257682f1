// IniDocument: how lines are read (the private-profile rules), and that edits
// touch only the lines of the keys set.
#include "ini_document.h"

#include <gtest/gtest.h>

TEST(IniDocument, ReadsKeysTheWayPrivateProfileFilesDo)
{
    const IniDocument document("\xEF\xBB\xBF"
                               "early=before any section\n"
                               "  [ Lexmire ]  ignored after the bracket\r\n"
                               "; Top=1\n"
                               "# Top=2\n"
                               "[unclosed\n"
                               "no equals sign\n"
                               "=no key\n"
                               "\tTOP \t=\t 3 4 \t\r"
                               "top=5\n"
                               "Empty=\n"
                               "[Other]\n"
                               "Left=6\n"
                               "[LEXMIRE]\n"
                               "Left=7\n"
                               "Width");
    EXPECT_EQ(document.value("lexmire", "Top"), "3 4");
    EXPECT_EQ(document.value("Lexmire", "Empty"), "");
    EXPECT_EQ(document.value("Lexmire", "Left"), "7") << "a section may come back further down";
    EXPECT_EQ(document.value("Other", "Left"), "6");
    EXPECT_EQ(document.value("Lexmire", "Width"), std::nullopt);
    EXPECT_EQ(document.value("Lexmire", "early"), std::nullopt);
    EXPECT_EQ(document.value("", "early"), "before any section");
    EXPECT_EQ(document.value("unclosed", "no equals sign"), std::nullopt);

    const std::vector<IniDocument::Entry> entries = document.entries("Lexmire");
    EXPECT_EQ(
        entries, (std::vector<IniDocument::Entry> { { "TOP", "3 4" }, { "Empty", "" }, { "Left", "7" } }));
}

TEST(IniDocument, AnEditReplacesOnlyTheValueOnTheFirstLineOfTheKey)
{
    IniDocument document("[Lexmire]\r\n  Top  =  1  \r\ntop=2\r\n");
    ASSERT_TRUE(document.setValue("LEXMIRE", "TOP", "9"));
    EXPECT_EQ(document.bytes(), "[Lexmire]\r\n  Top  =  9\r\ntop=2\r\n");
    ASSERT_TRUE(document.setValue("Lexmire", "Top", "9"));
    EXPECT_EQ(document.bytes(), "[Lexmire]\r\n  Top  =  9\r\ntop=2\r\n");

    IniDocument empty("[Lexmire]\nTiles=\nNext=1");
    ASSERT_TRUE(empty.setValue("Lexmire", "Tiles", "Gold"));
    ASSERT_TRUE(empty.setValue("Lexmire", "Next", ""));
    EXPECT_EQ(empty.bytes(), "[Lexmire]\nTiles=Gold\nNext=");
}

TEST(IniDocument, SameValueLeavesEveryByteAlone)
{
    const std::string text = "\xEF\xBB\xBF[Lexmire]\r\nTop =\t3 \r\n\r\nodd line\r[x]\ny=1";
    IniDocument document(text);
    ASSERT_TRUE(document.setValues("Lexmire", { { "Top", "3" }, { "top", "3" } }));
    EXPECT_EQ(document.bytes(), text);
}

TEST(IniDocument, MissingKeysFollowTheLastKeyOfTheSectionsFirstBlock)
{
    IniDocument document("[Lexmire]\nTop=1\n; about the lobby\n\n[Lobby]\nName=Ann\n[Lexmire]\nLeft=2\n");
    ASSERT_TRUE(document.setValues("Lexmire", { { "Width", "798" }, { "Left", "3" }, { "Height", "535" } }));
    EXPECT_EQ(document.bytes(),
        "[Lexmire]\nTop=1\nWidth=798\nHeight=535\n; about the "
        "lobby\n\n[Lobby]\nName=Ann\n[Lexmire]\nLeft=3\n");

    IniDocument headerOnly("[Lexmire]");
    ASSERT_TRUE(headerOnly.setValue("Lexmire", "Top", "1"));
    EXPECT_EQ(headerOnly.bytes(), "[Lexmire]\nTop=1\n");
}

TEST(IniDocument, AMissingSectionIsAddedAtTheEnd)
{
    IniDocument empty;
    ASSERT_TRUE(empty.setValues("Lexmire", { { "Top", "3" }, { "Tiles", "" } }));
    EXPECT_EQ(empty.bytes(), "[Lexmire]\nTop=3\nTiles=\n");

    IniDocument unended("[Lobby]\r\nName=Ann");
    ASSERT_TRUE(unended.setValue("Lexmire", "Top", "3"));
    EXPECT_EQ(unended.bytes(), "[Lobby]\r\nName=Ann\r\n\r\n[Lexmire]\r\nTop=3\r\n");

    IniDocument blankEnd("[Lobby]\nName=Ann\n\n");
    ASSERT_TRUE(blankEnd.setValue("Lexmire", "Top", "3"));
    EXPECT_EQ(blankEnd.bytes(), "[Lobby]\nName=Ann\n\n[Lexmire]\nTop=3\n");
}

TEST(IniDocument, AValueCannotAddLinesAndBadNamesAreRefused)
{
    IniDocument document("[Lexmire]\n");
    ASSERT_TRUE(document.setValue("Lexmire", "Phrase1", std::string("hi\nTop=999\r\n[Evil]\0x", 20)));
    EXPECT_EQ(document.bytes(), "[Lexmire]\nPhrase1=hi Top=999  [Evil] x\n");
    EXPECT_EQ(document.value("Lexmire", "Top"), std::nullopt);

    const std::string before = document.bytes();
    for (const char* key : { "", "a=b", " Top", "Top ", "[Top", ";Top", "#Top", "To\np" })
        EXPECT_FALSE(document.setValue("Lexmire", key, "1")) << key;
    for (const char* section : { "", "Lex]mire", " Lexmire", "Lex\nmire" })
        EXPECT_FALSE(document.setValue(section, "Top", "1")) << section;
    EXPECT_FALSE(document.setValues("Lexmire", { { "Top", "1" }, { "a=b", "2" } }));
    EXPECT_EQ(document.bytes(), before) << "a refused batch changes nothing";
}

TEST(IniDocument, OldMacLineEndsAreLinesToo)
{
    IniDocument document("[Lobby]\rName=Ann\r[Lexmire]\rTop=1\r");
    EXPECT_EQ(document.value("Lexmire", "Top"), "1");
    EXPECT_EQ(document.value("Lobby", "Name"), "Ann");
    ASSERT_TRUE(document.setValues("Lexmire", { { "Top", "2" }, { "Left", "3" } }));
    EXPECT_EQ(document.bytes(), "[Lobby]\rName=Ann\r[Lexmire]\rTop=2\rLeft=3\r");
}
