// The trie built from record files: lookups, ids, what it skips, and the
// embedded list.
#include "lexicon.h"
#include "word_records.h"

#include "dict_limits.h"
#include "embedded_word_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string record(std::string_view field)
{
    std::string r(kRecordSize, ' ');
    r[0] = kRecordMark;
    r.replace(1, field.size(), field);
    return r;
}

TEST(LexiconTest, FindsEachWordByItsRecordIndexAndNothingElse)
{
    const std::string records = testsupport::makeWordRecords({ "at", "ate", "cat", "cats", "zz" });
    const Lexicon lexicon(records);
    EXPECT_EQ(lexicon.wordCount(), 5u);
    EXPECT_EQ(lexicon.recordCount(), 5u);
    EXPECT_EQ(lexicon.find("at"), 0u);
    EXPECT_EQ(lexicon.find("ATE"), 1u);
    EXPECT_EQ(lexicon.find("Cat"), 2u);
    EXPECT_EQ(lexicon.find("cats"), 3u);
    EXPECT_EQ(lexicon.find("zz"), 4u);
    // Prefixes, extensions, non-letters and the empty word are not words.
    for (const char* miss : { "", "a", "ca", "catss", "c4t", "z", "zzz", "at " })
        EXPECT_FALSE(lexicon.find(miss).has_value()) << miss;
}

TEST(LexiconTest, NodesFollowTheLettersAndRanksAddUpAlongThePath)
{
    const Lexicon lexicon(testsupport::makeWordRecords({ "be", "bed", "bee", "bet" }));
    const auto b = lexicon.child(Lexicon::root(), 'b' - 'a');
    ASSERT_TRUE(b.has_value());
    EXPECT_FALSE(lexicon.child(Lexicon::root(), 'c' - 'a').has_value());
    const auto be = lexicon.child(*b, 'e' - 'a');
    ASSERT_TRUE(be.has_value());
    const Lexicon::Node node = lexicon.nodes()[*be];
    EXPECT_EQ(
        node.bits & Lexicon::kLetterBits, (1u << ('d' - 'a')) | (1u << ('e' - 'a')) | (1u << ('t' - 'a')));
    EXPECT_NE(node.bits & Lexicon::kWordEnd, 0u);
    EXPECT_EQ(lexicon.nodes()[*b].bits & Lexicon::kWordEnd, 0u);
    EXPECT_FALSE(lexicon.child(*be, 26).has_value());
    EXPECT_FALSE(lexicon.child(*be, -1).has_value());
    // Summed along the path, the steps give each word's place in the list.
    const auto rankOf = [&](std::initializer_list<std::uint32_t> path) {
        std::uint32_t rank = 0;
        for (std::uint32_t n : path)
            rank += lexicon.nodes()[n].rankStep;
        return rank;
    };
    EXPECT_EQ(rankOf({ *b, *be }), 0u);
    EXPECT_EQ(rankOf({ *b, *be, *lexicon.child(*be, 'd' - 'a') }), 1u);
    EXPECT_EQ(rankOf({ *b, *be, *lexicon.child(*be, 'e' - 'a') }), 2u);
    EXPECT_EQ(rankOf({ *b, *be, *lexicon.child(*be, 't' - 'a') }), 3u);
}

TEST(LexiconTest, WordsEndingAlikeShareTheirEndings)
{
    // As a trie: the root, c, ca, cat, cats, d, do, dog, dogs, r, ra, rat, rats, rate, rates.
    const Lexicon lexicon(
        testsupport::makeWordRecords({ "cat", "cats", "dog", "dogs", "rat", "rats", "rate", "rates" }));
    EXPECT_LT(lexicon.nodes().size(), 15u);
    const char* words[] = { "cat", "cats", "dog", "dogs", "rat", "rate", "rates", "rats" };
    for (std::uint32_t i = 0; i < 8; ++i)
        EXPECT_EQ(lexicon.find(words[i]), i) << words[i];
    for (const char* miss : { "ca", "dogss", "rte", "ates", "s" })
        EXPECT_FALSE(lexicon.find(miss).has_value()) << miss;

    // "be" and "re" lead on to the same "d", but only one of them is a word.
    const Lexicon alike(testsupport::makeWordRecords({ "be", "bed", "red" }));
    EXPECT_EQ(alike.find("be"), 0u);
    EXPECT_EQ(alike.find("bed"), 1u);
    EXPECT_EQ(alike.find("red"), 2u);
    EXPECT_FALSE(alike.find("re").has_value());
}

TEST(LexiconTest, SkipsWhatNoBoardCanHoldAndSortsAnUnsortedList)
{
    std::string records;
    records += record("TOO");
    records += record("A"); // one letter
    records += record("ABCDEFGHIJKLM"); // thirteen letters
    records += record("TO O"); // a space inside
    records += record("T0");
    records += record("AN");
    records += record("TOO"); // again
    records += record("ON");
    std::string badMark = record("IN");
    badMark[0] = 'X';
    records += badMark;
    records += "\x1E"
               "PARTIAL"; // a cut record
    const Lexicon lexicon(records);
    EXPECT_EQ(lexicon.wordCount(), 3u);
    EXPECT_EQ(lexicon.recordCount(), 9u);
    EXPECT_EQ(lexicon.find("too"), 0u); // the first of the two
    EXPECT_EQ(lexicon.find("an"), 5u);
    EXPECT_EQ(lexicon.find("on"), 7u);
    for (const char* skipped : { "a", "abcdefghijklm", "to", "in", "partial" })
        EXPECT_FALSE(lexicon.find(skipped).has_value()) << skipped;
}

TEST(LexiconTest, FrequencyClassesLineUpWithRecordsOrAreIgnored)
{
    const std::string records = testsupport::makeWordRecords({ "an", "on", "to" });
    const std::vector<std::uint8_t> classes { 3, 0, 200 };
    const Lexicon lexicon(records, classes);
    EXPECT_EQ(lexicon.frequencyClass(0), 3);
    EXPECT_EQ(lexicon.frequencyClass(1), kUnknownFrequencyClass);
    EXPECT_EQ(lexicon.frequencyClass(2), kTopFrequencyClass); // a hostile value is capped
    EXPECT_EQ(lexicon.frequencyClass(99), kUnknownFrequencyClass);

    const std::vector<std::uint8_t> tooShort { 3, 4 };
    const Lexicon unmatched(records, tooShort);
    for (std::uint32_t id = 0; id < 3; ++id)
        EXPECT_EQ(unmatched.frequencyClass(id), kUnknownFrequencyClass);
}

TEST(LexiconTest, EmbeddedListIsHeldWholeAndSmall)
{
    const Lexicon& lexicon = embeddedLexicon();
    EXPECT_EQ(&lexicon, &embeddedLexicon());
    EXPECT_EQ(lexicon.recordCount(), embeddedWordList().size() / kRecordSize);
    EXPECT_EQ(lexicon.wordCount(), lexicon.recordCount());
    EXPECT_LT(lexicon.memoryBytes(), std::size_t(20) << 20);
    // Every record is found under its own index.
    const std::string_view records = embeddedWordList();
    for (std::size_t i = 0; i < lexicon.recordCount(); i += 997) {
        const std::string_view field = records.substr(i * kRecordSize + 1, kWordFieldSize);
        EXPECT_EQ(lexicon.find(field.substr(0, field.find(' '))), i);
    }
}

TEST(LexiconTest, EmptyInputGivesAnEmptyLexicon)
{
    const Lexicon lexicon("");
    EXPECT_EQ(lexicon.wordCount(), 0u);
    EXPECT_FALSE(lexicon.find("at").has_value());
    EXPECT_FALSE(lexicon.child(Lexicon::root(), 0).has_value());
}

} // namespace
