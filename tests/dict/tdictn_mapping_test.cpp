// TDictn through its mapping of the record file: the same answers and record
// counts as the lookup read straight off the format, for record files of any
// bytes; and a file cut short, grown or rewritten under the mapping, which
// must never crash the program.
#include "record_list.h"
#include "tdictn.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

struct Answer {
    bool found = false;
    int reads = 0;
    // False when the query, once trimmed, is empty or fifteen characters or
    // more: no value can equal it, and no record needs to be read to know.
    bool searched = false;
};

// The lookup as the format describes it, over the bytes the file holds now: a
// record past the end of the file cannot be read, which ends it as not found.
Answer modelLookup(const std::string& file, std::int64_t recordsAtOpen, std::string query)
{
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    for (char& c : query)
        c = c == '\0' ? ' ' : c;
    const std::size_t first = query.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    query = query.substr(first, query.find_last_not_of(' ') - first + 1);
    Answer answer;
    answer.searched = query.size() < 15;
    if (query.size() < 15)
        query.resize(15, ' ');
    for (char& c : query)
        c = upper(c);
    std::int64_t low = 0;
    std::int64_t high = recordsAtOpen - 1;
    while (low <= high) {
        const std::int64_t middle = (low + high) / 2;
        ++answer.reads;
        if (static_cast<std::size_t>(middle + 1) * 15 > file.size())
            return answer;
        std::string value = file.substr(static_cast<std::size_t>(middle) * 15 + 1, 14) + " ";
        for (char& c : value)
            c = upper(c);
        const int order = value.compare(query);
        if (order == 0) {
            answer.found = true;
            return answer;
        }
        if (order < 0)
            low = middle + 1;
        else
            high = middle - 1;
    }
    return answer;
}

// Bytes that sit on either side of the letters, in both halves of the byte
// range, and the blanks that queries lose.
const std::string kAwkwardBytes = std::string("@AZ[`az{\x7F\x80\xC1\xDA\xE1\xFA\xFF\x01 ", 17) + '\0';

char anyByte(std::mt19937& rng)
{
    return rng() % 2 ? kAwkwardBytes[rng() % kAwkwardBytes.size()] : static_cast<char>(rng());
}

// The list ends at its first NUL, so records hold none.
char anyRecordByte(std::mt19937& rng)
{
    const char c = anyByte(rng);
    return c == '\0' ? '\x01' : c;
}

class MappedDictn : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    std::string path() const { return dir.path().toStdString() + "/English"; }
    static std::string readAll(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Rewrites the bytes in place, in the same file, as an editor would not.
    void overwrite(const std::string& bytes)
    {
        const int fd = ::open(path().c_str(), O_WRONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
        ::close(fd);
    }
    void expectLikeModel(TDictn& dictn, std::int64_t recordsAtOpen, const std::string& query)
    {
        expectLikeModel(dictn, readAll(path()), recordsAtOpen, query);
    }
    void expectLikeModel(
        TDictn& dictn, const std::string& file, std::int64_t recordsAtOpen, const std::string& query)
    {
        const Answer expected = modelLookup(file, recordsAtOpen, query);
        EXPECT_EQ(dictn.CheckWord(query), expected.found) << testing::PrintToString(query);
        EXPECT_EQ(dictn.lastRecordReads(), expected.searched ? expected.reads : 0)
            << testing::PrintToString(query);
    }

    QTemporaryDir dir;
};

std::vector<std::string> spreadWords(int count)
{
    std::vector<std::string> words;
    for (int i = 0; i < count; ++i) {
        const int n = i * 7;
        words.push_back({ static_cast<char>('A' + n / 676 % 26), static_cast<char>('A' + n / 26 % 26),
            static_cast<char>('A' + n % 26), 'S' });
    }
    return words;
}

TEST_F(MappedDictn, AnyBytesGiveTheAnswersAndReadsOfTheFormat)
{
    std::mt19937 rng(11);
    for (int list = 0; list < 40; ++list) {
        // Half the lists are sorted words in any letter case, half are records of any bytes.
        std::string records;
        std::vector<std::string> words;
        const int count = 1 + static_cast<int>(rng() % 300);
        for (int i = 0; i < count; ++i) {
            std::string word;
            for (int n = 1 + static_cast<int>(rng() % 14); n > 0; --n)
                word.push_back(
                    list % 2 ? static_cast<char>((rng() % 2 ? 'a' : 'A') + rng() % 26) : anyRecordByte(rng));
            words.push_back(word);
        }
        if (list % 2) {
            records = recordsOf(words);
        } else {
            for (const std::string& word : words)
                records += '\x1E' + word + std::string(14 - word.size(), ' ');
        }
        TDictn dictn(path(), {}, records);
        ASSERT_TRUE(dictn.isOpen());
        ASSERT_EQ(dictn.isMapped(), !records.empty());
        const auto recordsAtOpen = static_cast<std::int64_t>(records.size() / 15);
        const std::string file = readAll(path());
        ASSERT_EQ(file, records);

        for (int q = 0; q < 300; ++q) {
            std::string query = words[rng() % words.size()];
            switch (rng() % 6) {
            case 0:
                for (char& c : query)
                    c = c >= 'A' && c <= 'Z' && rng() % 2 ? static_cast<char>(c + 32) : c;
                break;
            case 1:
                query = std::string(rng() % 3, rng() % 2 ? ' ' : '\0') + query + std::string(rng() % 3, ' ');
                break;
            case 2:
                query[rng() % query.size()] = anyByte(rng);
                break;
            case 3:
                query += anyByte(rng);
                break;
            case 4:
                query = std::string(1 + rng() % 16, 'x');
                for (char& c : query)
                    c = anyByte(rng);
                break;
            default:
                break;
            }
            expectLikeModel(dictn, file, recordsAtOpen, query);
        }
    }
}

TEST_F(MappedDictn, FileCutBelowTheMiddleFailsTheLookupThenReadsWhatIsLeft)
{
    const std::vector<std::string> words = spreadWords(2000);
    const std::string records = recordsOf(words);
    TDictn dictn(path(), {}, records);
    ASSERT_TRUE(dictn.isMapped());
    ASSERT_TRUE(dictn.CheckWord(words[1500]));

    // Only the first page is left: the first record looked at is gone.
    ASSERT_EQ(::truncate(path().c_str(), 4096), 0);
    EXPECT_FALSE(dictn.CheckWord(words[10]));
    EXPECT_EQ(dictn.lastRecordReads(), 1);
    EXPECT_FALSE(dictn.isMapped());
    for (const int i : { 0, 10, 999, 1999 })
        expectLikeModel(dictn, 2000, words[static_cast<std::size_t>(i)]);

    // Written back in place, the same file answers again.
    overwrite(records);
    for (const int i : { 0, 10, 999, 1999 })
        EXPECT_TRUE(dictn.CheckWord(words[static_cast<std::size_t>(i)]));
    EXPECT_FALSE(dictn.CheckWord("ZZZZ"));
    EXPECT_TRUE(dictn.isOpen());
}

TEST_F(MappedDictn, FileCutAboveTheMiddleStillAnswersFromWhatIsLeft)
{
    const std::vector<std::string> words = spreadWords(2000);
    TDictn dictn(path(), {}, recordsOf(words));
    // Records up to 1332 are whole, the rest of their page reads as zeros and
    // the pages after it are gone. A search below the middle record never
    // leaves the whole ones.
    ASSERT_EQ(::truncate(path().c_str(), 20000), 0);
    for (const int i : { 0, 100, 500, 998, 999 })
        EXPECT_TRUE(dictn.CheckWord(words[static_cast<std::size_t>(i)])) << i;
    EXPECT_TRUE(dictn.isMapped());
    // Above it, the second record looked at is gone.
    EXPECT_FALSE(dictn.CheckWord(words[1200]));
    EXPECT_EQ(dictn.lastRecordReads(), 2);
    EXPECT_FALSE(dictn.isMapped());
    for (const int i : { 0, 100, 999, 1200, 1332, 1999 })
        expectLikeModel(dictn, 2000, words[static_cast<std::size_t>(i)]);
    EXPECT_TRUE(dictn.CheckWord(words[100]));
}

TEST_F(MappedDictn, FileGrownOrRewrittenInPlaceIsSearchedAsItWasAtOpenInLength)
{
    const std::vector<std::string> words = spreadWords(300);
    const std::string records = recordsOf(words);
    TDictn dictn(path(), {}, records);
    // Records appended after open are not searched: the count is taken at open.
    std::ofstream(path(), std::ios::binary | std::ios::app) << recordsOf({ "ZZZZ" });
    EXPECT_FALSE(dictn.CheckWord("ZZZZ"));
    EXPECT_TRUE(dictn.CheckWord(words.back()));

    // The same file rewritten with other words of the same length: the
    // lookups see them, as reads of the file would.
    std::vector<std::string> others = words;
    for (std::string& word : others)
        word[3] = 'T';
    overwrite(recordsOf(others));
    EXPECT_TRUE(dictn.isMapped());
    for (int i = 0; i < 300; i += 37) {
        EXPECT_FALSE(dictn.CheckWord(words[static_cast<std::size_t>(i)]));
        EXPECT_TRUE(dictn.CheckWord(others[static_cast<std::size_t>(i)]));
    }
}

TEST_F(MappedDictn, EachOpenListSurvivesItsOwnFileBeingCut)
{
    const std::vector<std::string> words = spreadWords(1000);
    const std::string otherPath = dir.path().toStdString() + "/Other";
    auto first = std::make_unique<TDictn>(path(), TDictn::Notice {}, recordsOf(words));
    TDictn second(otherPath, {}, recordsOf(words));
    first.reset();
    ASSERT_EQ(::truncate(otherPath.c_str(), 0), 0);
    EXPECT_FALSE(second.CheckWord(words[500]));
    EXPECT_FALSE(second.CheckWord(words[0]));
}

// A counting handler put in place before any list is open.
int busErrorsSeen = 0;
void countBusError(int, siginfo_t*, void*) { ++busErrorsSeen; }

TEST_F(MappedDictn, OtherBusErrorsReachTheHandlerThatWasThereAndItIsPutBack)
{
    struct sigaction counting { };
    counting.sa_sigaction = countBusError;
    counting.sa_flags = SA_SIGINFO;
    sigemptyset(&counting.sa_mask);
    struct sigaction before { };
    ASSERT_EQ(::sigaction(SIGBUS, &counting, &before), 0);

    busErrorsSeen = 0;
    {
        TDictn dictn(path(), {}, recordsOf(spreadWords(100)));
        ASSERT_TRUE(dictn.isMapped());
        ::raise(SIGBUS);
        EXPECT_EQ(busErrorsSeen, 1);
        EXPECT_TRUE(dictn.CheckWord("AAAS"));
    }
    struct sigaction after { };
    ASSERT_EQ(::sigaction(SIGBUS, nullptr, &after), 0);
    EXPECT_EQ(after.sa_sigaction, countBusError);
    ::sigaction(SIGBUS, &before, nullptr);
}

TEST_F(MappedDictn, OtherBusErrorsStillEndTheProgram)
{
    // Under the default action, a bus error that is not a lookup's still
    // ends the program (under a sanitizer, its report ends it instead).
    EXPECT_DEATH(
        {
            TDictn dictn(path(), {}, recordsOf(spreadWords(100)));
            ::raise(SIGBUS);
        },
        "");
}

} // namespace
