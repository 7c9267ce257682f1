// Word frequencies: the build-time reading of the counts, the class rule, the
// table per record, and the embedded table itself.
#include "lexicon.h"
#include "word_frequency.h"
#include "word_frequency_conversion.h"
#include "word_records.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(WordFrequencyTest, ClassesDoubleFromOneUp)
{
    EXPECT_EQ(frequencyClassForCount(0), kUnknownFrequencyClass);
    EXPECT_EQ(frequencyClassForCount(1), 1);
    EXPECT_EQ(frequencyClassForCount(2), 2);
    EXPECT_EQ(frequencyClassForCount(3), 2);
    EXPECT_EQ(frequencyClassForCount(4), 3);
    EXPECT_EQ(frequencyClassForCount(1023), 10);
    EXPECT_EQ(frequencyClassForCount(1024), 11);
    EXPECT_EQ(frequencyClassForCount(UINT64_MAX), kTopFrequencyClass);
}

TEST(WordFrequencyTest, ReadsCountsKeepingOnlyWordsABoardCanHold)
{
    const auto counts = parseWordCounts(R"( [
        {"word": "you", "count": 2134713},
        {"word": "I", "count": 2038529},
        {"count": 50, "word": "What", "note": {"nested": [1, 2, null, true]}},
        {"word": "what", "count": 7},
        {"word": "don\u0027t", "count": 9},
        {"word": "caf\u00e9", "count": 9},
        {"word": "abcdefghijklm", "count": 3},
        {"word": "o\"k", "count": 3}
    ] )");
    EXPECT_EQ(counts.size(), 2u);
    EXPECT_EQ(counts.at("you"), 2134713u);
    EXPECT_EQ(counts.at("what"), 57u); // the two letter cases added
    EXPECT_EQ(parseWordCounts("[]").size(), 0u);
}

TEST(WordFrequencyTest, MalformedCountsAreRefused)
{
    for (const char* bad : { "", "{}", "[", "[{\"word\": \"a\"}]", "[{\"word\": \"ab\", \"count\": -3}]",
             "[{\"word\": \"ab\", \"count\": 99999999999999999999999}]", "[{\"word\": \"ab\" \"count\": 1}]",
             "[{\"word\": \"ab\", \"count\": 1}] x", "[{\"word\": \"ab\", \"count\": 1,}]",
             "[{\"word\": \"ab\\",
             "[{\"x\": [[[[[[[[[[[[[[[[[[[[[[[[[[]]]]]]]]]]]]]]]]]]]]]]]]]], \"word\": \"ab\", \"count\": "
             "1}]" })
        EXPECT_THROW(parseWordCounts(bad), std::runtime_error) << bad;
}

TEST(WordFrequencyTest, TableFollowsTheRecordsAndMissingWordsAreRarest)
{
    const std::string records = testsupport::makeWordRecords({ "cat", "dog", "zymurgy" });
    const std::unordered_map<std::string, std::uint64_t> counts { { "dog", 9835 }, { "cat", 3 } };
    const std::string table = frequencyTable(records, counts);
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0], char(frequencyClassForCount(3)));
    EXPECT_EQ(table[1], char(frequencyClassForCount(9835)));
    EXPECT_EQ(table[2], char(kUnknownFrequencyClass));
}

TEST(WordFrequencyTest, EmbeddedTableRanksCommonWordsAboveRareOnes)
{
    ASSERT_FALSE(embeddedFrequencyClasses().empty());
    const int the = frequencyClassOf("the");
    const int house = frequencyClassOf("house");
    const int quixotic = frequencyClassOf("quixotic");
    const int zymurgy = frequencyClassOf("zymurgy");
    EXPECT_GT(the, house);
    EXPECT_GT(house, quixotic);
    EXPECT_GT(quixotic, zymurgy);
    EXPECT_GT(zymurgy, kUnknownFrequencyClass); // counted once: rare, but known
    EXPECT_EQ(frequencyClassOf("ZZZ"), kUnknownFrequencyClass); // a word of ours the counts lack
    EXPECT_EQ(frequencyClassOf("House"), house);
    for (const char* notOurs : { "", "t", "qqqq", "don't", "abcdefghijklmn", "house " })
        EXPECT_EQ(frequencyClassOf(notOurs), kUnknownFrequencyClass) << notOurs;
    // The lexicon carries the same classes.
    const Lexicon& lexicon = embeddedLexicon();
    for (const char* word : { "the", "house", "quixotic", "zzz" })
        EXPECT_EQ(lexicon.frequencyClass(*lexicon.find(word)), frequencyClassOf(word)) << word;
}

} // namespace
