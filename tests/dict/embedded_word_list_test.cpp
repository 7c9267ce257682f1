// The word list built into the program: its shape as a whole, and lookups
// through TDictn on the record file written from it.
#include "dict_limits.h"
#include "embedded_word_list.h"
#include "record_list.h"
#include "tdictn.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace {

std::string_view recordAt(std::string_view list, std::size_t index)
{
    return list.substr(index * kRecordSize, kRecordSize);
}

TEST(EmbeddedWordList, IsSortedWellFormedRecordsOfBoardSizedWords)
{
    const std::string_view list = embeddedWordList();
    ASSERT_EQ(list.size() % kRecordSize, 0u);
    const std::size_t count = list.size() / kRecordSize;
    ASSERT_GT(count, 0u);
    // Keeps every lookup within kMaxRecordReads reads.
    EXPECT_LE(static_cast<std::int64_t>(count), kMaxRecords);

    std::size_t badRecords = 0;
    std::size_t outOfOrder = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view record = recordAt(list, i);
        const std::string_view field = record.substr(1);
        const std::size_t letters = field.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
        const bool wellFormed = record[0] == kRecordMark && letters >= kMinWordLetters
            && letters <= kMaxWordLetters && field.find_first_not_of(' ', letters) == std::string_view::npos;
        if (!wellFormed && badRecords++ < 5)
            ADD_FAILURE() << "record " << i << " is malformed: " << std::string(record);
        // Strictly ascending in byte order: sorted, and no value twice.
        if (i > 0 && std::memcmp(recordAt(list, i - 1).data() + 1, field.data(), kWordFieldSize) >= 0
            && outOfOrder++ < 5)
            ADD_FAILURE() << "record " << i << " does not sort after the one before: " << std::string(field);
    }
    EXPECT_EQ(badRecords, 0u);
    EXPECT_EQ(outOfOrder, 0u);
}

class EmbeddedLookup : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new QTemporaryDir;
        ASSERT_TRUE(dir->isValid());
        dictn = new TDictn(
            dir->path().toStdString() + "/English",
            [](const std::string& text) { ADD_FAILURE() << "notice: " << text; }, embeddedWordList());
        // An independent, in-memory answer to every question.
        const std::string_view list = embeddedWordList();
        for (std::size_t i = 0; i < list.size() / kRecordSize; ++i)
            oracle->insert(wordOfRecord(recordAt(list, i)));
    }
    static void TearDownTestSuite()
    {
        delete dictn;
        delete dir;
        oracle->clear();
    }

    void expectSameAnswer(const std::string& query)
    {
        EXPECT_EQ(dictn->CheckWord(query), oracle->count(query) == 1) << query;
        EXPECT_LE(dictn->lastRecordReads(), kMaxRecordReads) << query;
    }

    static inline QTemporaryDir* dir = nullptr;
    static inline TDictn* dictn = nullptr;
    static inline std::set<std::string>* oracle = new std::set<std::string>;
};

TEST_F(EmbeddedLookup, CommonWordsFoundAndNonWordsNot)
{
    ASSERT_TRUE(dictn->isOpen());
    for (const char* word : { "CAT", "quiz", "Zymurgy", "aa", "dictionary", "lexicon", "wordplay" })
        EXPECT_TRUE(dictn->CheckWord(word)) << word;
    for (const char* word : { "XQZT", "qqq", "zzzzzzzz", "a", "catx", "lexmire" })
        EXPECT_FALSE(dictn->CheckWord(word)) << word;
}

TEST_F(EmbeddedLookup, FirstAndLastRecordsFound)
{
    const std::string_view list = embeddedWordList();
    const std::string first = wordOfRecord(recordAt(list, 0));
    const std::string last = wordOfRecord(recordAt(list, list.size() / kRecordSize - 1));
    EXPECT_TRUE(dictn->CheckWord(first)) << first;
    EXPECT_TRUE(dictn->CheckWord(last)) << last;
    EXPECT_LE(dictn->lastRecordReads(), kMaxRecordReads);
}

TEST_F(EmbeddedLookup, SampledWordsAndNearMissesAnsweredWithinEighteenReads)
{
    const std::string_view list = embeddedWordList();
    const std::size_t count = list.size() / kRecordSize;
    int maxReads = 0;
    for (std::size_t i = 0; i < count; i += 97) {
        const std::string word = wordOfRecord(recordAt(list, i));
        EXPECT_TRUE(dictn->CheckWord(word)) << word;
        maxReads = std::max(maxReads, dictn->lastRecordReads());
        // Neighbours in the sort order that may or may not be words.
        expectSameAnswer(word + "Q");
        expectSameAnswer(word + "S");
        expectSameAnswer(word.substr(0, word.size() - 1));
        std::string changed = word;
        changed.back() = changed.back() == 'Z' ? 'A' : static_cast<char>(changed.back() + 1);
        expectSameAnswer(changed);
    }
    EXPECT_LE(maxReads, kMaxRecordReads);
    // Words too long for the board are never in the list.
    expectSameAnswer("ABCDEFGHIJKLM");
    expectSameAnswer("INTERNATIONAL");
}

} // namespace
