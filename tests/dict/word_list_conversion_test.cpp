// The build step's conversion of a plain word list into sorted records.
#include "dict_limits.h"
#include "record_list.h"
#include "word_list_conversion.h"

#include <gtest/gtest.h>

namespace {

TEST(WordListConversion, RecordIsMarkerThenCapitalsPaddedWithSpaces)
{
    EXPECT_EQ(wordRecord("cat"),
        std::string("\x1E"
                    "CAT           "));
    EXPECT_EQ(wordRecord("abcdefghijkl"),
        std::string("\x1E"
                    "ABCDEFGHIJKL  "));
    EXPECT_EQ(wordRecord("cat").size(), kRecordSize);
}

TEST(WordListConversion, ConversionKeepsOnlyBoardSizedLowerCaseWords)
{
    const std::string text = "\xEF\xBB\xBF"
                             "cat\r\n"
                             "\r\n"
                             "\n"
                             "  dog \t\n"
                             "Paris\n"
                             "don't\n"
                             "caf\xC3\xA9\n"
                             "abc1\n"
                             "a\n"
                             "ox\n"
                             "abcdefghijkl\n"
                             "abcdefghijklm\n"
                             "hot dog\n"
                             "zebra"; // no final line end
    EXPECT_EQ(wordRecordsFromText(text), recordsOf({ "cat", "dog", "ox", "abcdefghijkl", "zebra" }));
}

TEST(WordListConversion, ConversionSortsByFieldAndDropsDuplicates)
{
    const std::string text = "cats\ncat\nzoo\ncattle\ncat\nca\nzoo\r\ncat\r\n";
    const std::string records = wordRecordsFromText(text);
    // Padding with spaces puts a word before every longer word it begins.
    EXPECT_EQ(records, recordsOf({ "ca", "cat", "cats", "cattle", "zoo" }));
}

TEST(WordListConversion, NothingUsableGivesNoRecords)
{
    EXPECT_EQ(wordRecordsFromText(""), "");
    EXPECT_EQ(wordRecordsFromText("\r\n\n  \nA\nI\n"), "");
}

} // namespace
