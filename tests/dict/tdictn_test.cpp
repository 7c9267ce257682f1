// TDictn against small word lists: query normalisation, the bisection, and
// the life of the record file on disk.
#include "record_list.h"
#include "tdictn.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <bit>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char* const kNotFoundNotice = "English.dic dictionary not found!";

// "accomplishments" is cut to the 14 letters of "accomplishment", so the list
// holds that value twice, side by side. "aahing" and "zymurgy" are the ends.
const std::vector<std::string> kWords = { "aahing", "abacus", "accomplishment", "accomplishments", "bat",
    "cat", "dog", "jinx", "quiz", "quizzes", "xylophone", "zymurgy" };

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

class DictnTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    std::string path(const std::string& name = "English") const
    {
        return dir.path().toStdString() + "/" + name;
    }
    TDictn::Notice noticeSink()
    {
        return [this](const std::string& text) { notices.push_back(text); };
    }
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.path().toStdString()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    QTemporaryDir dir;
    std::vector<std::string> notices;
    const std::string records = recordsOf(kWords);
};

// --- Queries -------------------------------------------------------------

class DictnQuery : public DictnTest {
protected:
    void SetUp() override
    {
        DictnTest::SetUp();
        dictn = std::make_unique<TDictn>(path(), noticeSink(), records);
        ASSERT_TRUE(dictn->isOpen());
    }
    std::unique_ptr<TDictn> dictn;
};

TEST_F(DictnQuery, FirstRecordFoundInCapitalsSmallLettersAndBetweenSpaces)
{
    EXPECT_TRUE(dictn->CheckWord("AAHING"));
    EXPECT_TRUE(dictn->CheckWord("aahing"));
    EXPECT_TRUE(dictn->CheckWord("aAhInG"));
    EXPECT_TRUE(dictn->CheckWord("   aahing  "));
}

TEST_F(DictnQuery, LastRecordFound)
{
    EXPECT_TRUE(dictn->CheckWord("ZYMURGY"));
    EXPECT_TRUE(dictn->CheckWord("zymurgy"));
}

TEST_F(DictnQuery, EveryWordOfTheListFound)
{
    for (const std::string& word : kWords) {
        if (word.size() <= 14) {
            EXPECT_TRUE(dictn->CheckWord(word)) << word;
        }
    }
}

TEST_F(DictnQuery, WordsMissingFromTheListNotFound)
{
    // Before the first record, after the last, between neighbours, and
    // prefixes and extensions of real records.
    for (const char* word :
        { "a", "aa", "zz", "zzz", "zymurgys", "bar", "cab", "do", "dogs", "quizze", "jin" })
        EXPECT_FALSE(dictn->CheckWord(word)) << word;
}

TEST_F(DictnQuery, EmptyAndBlankQueriesNotFound)
{
    EXPECT_FALSE(dictn->CheckWord(""));
    EXPECT_FALSE(dictn->CheckWord(" "));
    EXPECT_FALSE(dictn->CheckWord("               "));
    EXPECT_FALSE(dictn->CheckWord(std::string("\0\0 \0", 4)));
    EXPECT_EQ(dictn->lastRecordReads(), 0);
}

TEST_F(DictnQuery, FifteenLettersNeverMatchButTheirFourteenLetterRecordDoes)
{
    EXPECT_TRUE(dictn->CheckWord("accomplishment"));
    EXPECT_TRUE(dictn->CheckWord("ACCOMPLISHMENT"));
    EXPECT_FALSE(dictn->CheckWord("accomplishments"));
    EXPECT_FALSE(dictn->CheckWord(" ACCOMPLISHMENTS "));
    EXPECT_FALSE(dictn->CheckWord("accomplishmentsxyz"));
}

TEST_F(DictnQuery, WordHeldInTwoAdjacentRecordsFoundAlongWithItsNeighbours)
{
    EXPECT_TRUE(dictn->CheckWord("accomplishment"));
    EXPECT_TRUE(dictn->CheckWord("abacus"));
    EXPECT_TRUE(dictn->CheckWord("bat"));
}

TEST_F(DictnQuery, InnerSpaceNeverMatches)
{
    EXPECT_FALSE(dictn->CheckWord("c at"));
    EXPECT_FALSE(dictn->CheckWord("cat dog"));
    EXPECT_FALSE(dictn->CheckWord("ca  t"));
}

TEST_F(DictnQuery, NulBytesCountAsSpaces)
{
    EXPECT_TRUE(dictn->CheckWord(std::string("\0cat\0", 5)));
    EXPECT_TRUE(dictn->CheckWord(std::string("quiz\0\0\0", 7)));
    EXPECT_FALSE(dictn->CheckWord(std::string("ca\0t", 4)));
}

TEST_F(DictnQuery, OnlySpacesAreTrimmed)
{
    EXPECT_FALSE(dictn->CheckWord("cat\t"));
    EXPECT_FALSE(dictn->CheckWord("\ncat"));
    EXPECT_FALSE(dictn->CheckWord("\rcat\r"));
}

// --- The search ----------------------------------------------------------

// Three-letter words spread over the alphabet, in order; a word with an extra
// letter sorts strictly between its own and the next one.
std::vector<std::string> spreadWords(int count)
{
    std::vector<std::string> words;
    for (int i = 0; i < count; ++i) {
        const int n = i * 7;
        words.push_back({ static_cast<char>('A' + n / 676 % 26), static_cast<char>('A' + n / 26 % 26),
            static_cast<char>('A' + n % 26) });
    }
    return words;
}

TEST_F(DictnTest, SearchFindsEveryRecordAndNoGapWithinLogReadsForAnyListLength)
{
    std::vector<int> lengths;
    for (int n = 1; n <= 70; ++n)
        lengths.push_back(n);
    for (int n : { 127, 128, 129, 255, 256, 257, 1000, 2047 })
        lengths.push_back(n);

    for (int n : lengths) {
        SCOPED_TRACE("list of " + std::to_string(n));
        const std::vector<std::string> words = spreadWords(n);
        const std::string list = recordsOf(words);
        TDictn dictn(path(), noticeSink(), list);
        ASSERT_TRUE(dictn.isOpen());
        // ceil(log2(n + 1)): the depth of a balanced bisection over n records.
        const int bound = static_cast<int>(std::bit_width(static_cast<unsigned>(n)));

        for (const std::string& word : words) {
            EXPECT_TRUE(dictn.CheckWord(word)) << word;
            EXPECT_LE(dictn.lastRecordReads(), bound) << word;
            EXPECT_GE(dictn.lastRecordReads(), 1) << word;
            EXPECT_FALSE(dictn.CheckWord(word + "M")) << word;
            EXPECT_LE(dictn.lastRecordReads(), bound) << word;
        }
        for (const char* miss : { "A", "ZZZZ" }) {
            EXPECT_FALSE(dictn.CheckWord(miss));
            EXPECT_LE(dictn.lastRecordReads(), bound);
        }
    }
    EXPECT_TRUE(notices.empty());
}

TEST_F(DictnTest, EmptyListFindsNothingWithoutReading)
{
    writeFile(path(), "");
    TDictn dictn(path(), noticeSink(), "");
    EXPECT_TRUE(dictn.isOpen());
    EXPECT_FALSE(dictn.CheckWord("cat"));
    EXPECT_EQ(dictn.lastRecordReads(), 0);
}

TEST_F(DictnTest, ReadFailureMeansNotFound)
{
    TDictn dictn(path(), noticeSink(), records);
    ASSERT_TRUE(dictn.CheckWord("zymurgy"));
    // The file shrinks under the open list: the records it expects are gone.
    ASSERT_EQ(::truncate(path().c_str(), 0), 0);
    EXPECT_FALSE(dictn.CheckWord("zymurgy"));
    EXPECT_FALSE(dictn.CheckWord("cat"));
    ASSERT_EQ(::truncate(path().c_str(), 22), 0);
    EXPECT_FALSE(dictn.CheckWord("cat"));
}

// --- The record file -----------------------------------------------------

TEST_F(DictnTest, MissingFileWrittenFromTheRecordsPrivatelyAndWithoutLeftovers)
{
    TDictn dictn(path(), noticeSink(), records);
    EXPECT_TRUE(dictn.isOpen());
    EXPECT_EQ(dictn.filePath(), path());
    EXPECT_EQ(readFile(path()), records);
    EXPECT_EQ(entries(), std::vector<std::string> { "English" });
    struct stat st { };
    ASSERT_EQ(::stat(path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u);
    EXPECT_TRUE(notices.empty());
}

TEST_F(DictnTest, MissingFoldersCreatedPrivateToTheUser)
{
    const std::string nested = path("run/lexmire/English");
    TDictn dictn(nested, noticeSink(), records);
    ASSERT_TRUE(dictn.isOpen());
    EXPECT_TRUE(dictn.CheckWord("cat"));
    for (const char* folder : { "run", "run/lexmire" }) {
        struct stat st { };
        ASSERT_EQ(::stat(path(folder).c_str(), &st), 0) << folder;
        EXPECT_TRUE(S_ISDIR(st.st_mode)) << folder;
        EXPECT_EQ(st.st_mode & 077, 0u) << folder;
    }
}

TEST_F(DictnTest, FileDeletedBetweenRunsIsWrittenAgain)
{
    {
        TDictn first(path(), noticeSink(), records);
        ASSERT_TRUE(first.CheckWord("cat"));
    }
    ASSERT_FALSE(fs::exists(path()));
    TDictn second(path(), noticeSink(), records);
    EXPECT_TRUE(second.CheckWord("cat"));
    EXPECT_EQ(readFile(path()), records);
}

TEST_F(DictnTest, StaleFileOfAnotherSizeIsRewritten)
{
    const std::string others = recordsOf({ "cow", "pig" });
    for (const std::string& stale : { std::string(),
             std::string("\x1E"
                         "CAT",
                 4),
             records + others, others, std::string(records.size() + 7, 'x') }) {
        SCOPED_TRACE("stale size " + std::to_string(stale.size()));
        writeFile(path(), stale);
        TDictn dictn(path(), noticeSink(), records);
        EXPECT_EQ(readFile(path()), records);
        EXPECT_TRUE(dictn.CheckWord("cat"));
        EXPECT_FALSE(dictn.CheckWord("cow"));
    }
    EXPECT_TRUE(notices.empty());
}

TEST_F(DictnTest, LeftOverOfTheRightSizeIsReused)
{
    // A file left by a crash of the same version is used as it is.
    std::vector<std::string> words = kWords;
    words.back() = "zebra";
    const std::string leftOver = recordsOf(words);
    ASSERT_EQ(leftOver.size(), records.size());
    writeFile(path(), leftOver);
    TDictn dictn(path(), noticeSink(), records);
    EXPECT_TRUE(dictn.CheckWord("zebra"));
    EXPECT_FALSE(dictn.CheckWord("zymurgy"));
}

TEST_F(DictnTest, SymlinkAtThePathIsReplacedNotFollowed)
{
    // Even a link to a list of the right size is not trusted: whatever it
    // points at is neither read nor written.
    const std::string target = path("target");
    const std::string linked
        = recordsOf({ "cow", "cow", "cow", "cow", "cow", "cow", "cow", "cow", "cow", "cow", "cow", "cow" });
    ASSERT_EQ(linked.size(), records.size());
    for (const std::string& content : { std::string("keep"), linked }) {
        writeFile(target, content);
        fs::create_symlink(target, path());
        {
            TDictn dictn(path(), noticeSink(), records);
            EXPECT_TRUE(dictn.CheckWord("cat"));
            EXPECT_FALSE(dictn.CheckWord("cow"));
            EXPECT_FALSE(fs::is_symlink(path()));
        }
        EXPECT_EQ(readFile(target), content);
    }
    EXPECT_TRUE(notices.empty());
}

TEST_F(DictnTest, RecordsEndAtTheirFirstNulByte)
{
    const std::string withTail = records + std::string("\0junk", 5);
    TDictn dictn(path(), noticeSink(), withTail);
    EXPECT_EQ(readFile(path()), records);
    EXPECT_TRUE(dictn.CheckWord("zymurgy"));
}

TEST_F(DictnTest, CloseDeletesOnlyItsOwnFileAndTwiceIsHarmless)
{
    writeFile(path("English.bak"), "sibling");
    writeFile(path("Other"), "other");
    TDictn dictn(path(), noticeSink(), records);
    ASSERT_TRUE(dictn.isOpen());

    dictn.CloseDictionary();
    EXPECT_FALSE(dictn.isOpen());
    EXPECT_FALSE(dictn.CheckWord("cat"));
    EXPECT_EQ(entries(), (std::vector<std::string> { "English.bak", "Other" }));
    EXPECT_EQ(readFile(path("English.bak")), "sibling");

    // A file put at the path after closing belongs to someone else.
    writeFile(path(), "new");
    dictn.CloseDictionary();
    EXPECT_EQ(readFile(path()), "new");
}

TEST_F(DictnTest, CloseKeepsAFileThatReplacedItsOwn)
{
    TDictn dictn(path(), noticeSink(), records);
    ASSERT_TRUE(dictn.isOpen());
    // Another copy of the program rewrote the list under the same name.
    writeFile(path("fresh"), records);
    fs::rename(path("fresh"), path());
    dictn.CloseDictionary();
    EXPECT_EQ(readFile(path()), records);
}

TEST_F(DictnTest, ReopenAfterCloseWritesTheFileAgain)
{
    TDictn dictn(path(), noticeSink(), records);
    dictn.CloseDictionary();
    ASSERT_FALSE(fs::exists(path()));
    dictn.OpenDictionary();
    EXPECT_TRUE(dictn.isOpen());
    EXPECT_TRUE(dictn.CheckWord("jinx"));
    EXPECT_EQ(readFile(path()), records);
}

TEST_F(DictnTest, OpeningWhenOpenKeepsOneDescriptor)
{
    const auto openDescriptors
        = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator {}); };
    const auto before = openDescriptors();
    {
        TDictn dictn(path(), noticeSink(), records);
        dictn.OpenDictionary();
        EXPECT_TRUE(dictn.CheckWord("cat"));
        EXPECT_EQ(openDescriptors(), before + 1);
    }
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_FALSE(fs::exists(path()));
}

TEST_F(DictnTest, DestructionDeletesTheFile)
{
    {
        TDictn dictn(path(), noticeSink(), records);
        ASSERT_TRUE(fs::exists(path()));
    }
    EXPECT_TRUE(entries().empty());
}

// --- Failures ------------------------------------------------------------

TEST_F(DictnTest, NothingToWriteAndNoFileGivesTheNoticeOnce)
{
    TDictn dictn(path(), noticeSink(), std::string_view {});
    EXPECT_FALSE(dictn.isOpen());
    EXPECT_EQ(notices, std::vector<std::string> { kNotFoundNotice });
    EXPECT_FALSE(dictn.CheckWord("cat"));
    EXPECT_EQ(dictn.lastRecordReads(), 0);
    EXPECT_TRUE(entries().empty());
    dictn.CloseDictionary();
    EXPECT_EQ(notices.size(), 1u);
}

TEST_F(DictnTest, UnopenableFileGivesTheNoticeOnce)
{
    // With nothing to write, a folder at the path, or a link to a list, is
    // not opened as the list.
    writeFile(path("target"), records);
    fs::create_symlink(path("target"), path("Linked"));
    fs::create_directory(path("Folder"));
    const std::string nothing("\0", 1);
    for (const char* name : { "Folder", "Linked" }) {
        SCOPED_TRACE(name);
        notices.clear();
        TDictn dictn(path(name), noticeSink(), nothing);
        EXPECT_FALSE(dictn.isOpen());
        EXPECT_EQ(notices, std::vector<std::string> { kNotFoundNotice });
        EXPECT_FALSE(dictn.CheckWord("cat"));
        dictn.CloseDictionary();
    }
    EXPECT_TRUE(fs::is_directory(path("Folder")));
    EXPECT_TRUE(fs::is_symlink(path("Linked")));
    EXPECT_EQ(readFile(path("target")), records);
}

TEST_F(DictnTest, UncreatableFileThrowsWithItsPath)
{
    // A plain file stands where the folder should be, which even root cannot get past.
    writeFile(path("blocker"), "x");
    const std::string blocked = path("blocker/sub/English");
    try {
        TDictn dictn(blocked, noticeSink(), records);
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file " + blocked);
    }
    EXPECT_TRUE(notices.empty());
    EXPECT_EQ(entries(), std::vector<std::string> { "blocker" });
}

TEST_F(DictnTest, FolderInTheWayOfTheFileThrows)
{
    fs::create_directories(path("English/inside"));
    EXPECT_THROW(TDictn(path(), noticeSink(), records), std::runtime_error);
    EXPECT_EQ(entries(), std::vector<std::string> { "English" });
}

} // namespace
