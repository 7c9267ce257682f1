// Tlzrw1 on real files in a temporary folder: round trips through both forms,
// the byte counts returned, the fixed error texts, and that a failed run
// leaves neither a partial output nor a changed previous one.
#include "sample_data.h"
#include "tlzrw1.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Lowers the largest file size this process may write, so that a write fails
// part way as on a full disk; restored when it goes out of scope.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit low = old_;
        low.rlim_cur = std::min(bytes, old_.rlim_cur);
        // Past the limit write() fails with EFBIG instead of the process being killed.
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &low);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_ {};
    void (*oldHandler_)(int) = nullptr;
};

class Tlzrw1Files : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path()
            / ("lexmire_stats_" + std::to_string(::getpid()) + "_" + info->name());
        fs::remove_all(dir);
        ASSERT_TRUE(fs::create_directories(dir));
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string path(const std::string& name) const { return (dir / name).string(); }

    // Every name in the folder, so a left-over temporary file shows.
    std::vector<std::string> folderNames() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string errorOf(const std::function<void()>& run)
    {
        try {
            run();
        } catch (const ELzrw1Error& e) {
            return e.what();
        }
        return "";
    }

    fs::path dir;
    Tlzrw1 doit;
};

TEST_F(Tlzrw1Files, CompressAndDecompressRoundTripAndReturnBytesWritten)
{
    const std::string text = englishText(100000, 30);
    writeFile(path("temp.txt"), text);
    doit.InputFile = path("temp.txt");
    doit.OutputFile = path("tally.tld");
    const std::int64_t written = doit.Compress();
    const std::string packed = readFile(path("tally.tld"));
    EXPECT_EQ(written, static_cast<std::int64_t>(packed.size()));
    EXPECT_EQ(packed, stats::compressLzrw1(text));

    doit.InputFile = path("tally.tld");
    doit.OutputFile = path("back.txt");
    EXPECT_EQ(doit.Decompress(), 100000);
    EXPECT_EQ(readFile(path("back.txt")), text);
    EXPECT_EQ(folderNames(), (std::vector<std::string> { "back.txt", "tally.tld", "temp.txt" }));
}

TEST_F(Tlzrw1Files, GoodModeWritesTheLzhufFormAndDecompressReadsIt)
{
    const std::string text = englishText(40000, 31);
    writeFile(path("temp.txt"), text);
    doit.InputFile = path("temp.txt");
    doit.OutputFile = path("tally.tld");
    doit.CompressMode = CompressionMode::Good;
    doit.Compress();
    EXPECT_EQ(readFile(path("tally.tld")).substr(0, 4), "!HZL");

    doit.InputFile = path("tally.tld");
    doit.OutputFile = path("back.txt");
    EXPECT_EQ(doit.Decompress(), 40000);
    EXPECT_EQ(readFile(path("back.txt")), text);
}

TEST_F(Tlzrw1Files, EmptyInputGivesTheElevenByteFile)
{
    writeFile(path("temp.txt"), "");
    doit.InputFile = path("temp.txt");
    doit.OutputFile = path("tally.tld");
    EXPECT_EQ(doit.Compress(), 11);
    EXPECT_EQ(readFile(path("tally.tld")), std::string("WRZL\0\0\0\0\x01\x00\x80", 11));
    doit.InputFile = path("tally.tld");
    doit.OutputFile = path("back.txt");
    EXPECT_EQ(doit.Decompress(), 0);
    EXPECT_TRUE(fs::exists(path("back.txt")));
    EXPECT_EQ(fs::file_size(path("back.txt")), 0u);
}

TEST_F(Tlzrw1Files, TextInMemoryRoundTripsThroughTheFile)
{
    const std::string text = "10\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n";
    doit.OutputFile = path("tally.tld");
    EXPECT_EQ(doit.compressText(text), 26);
    doit.InputFile = path("tally.tld");
    EXPECT_EQ(doit.decompressText(), text);
    EXPECT_EQ(folderNames(), std::vector<std::string> { "tally.tld" });
}

TEST_F(Tlzrw1Files, OutputReplacesAnExistingFile)
{
    writeFile(path("tally.tld"), std::string(50000, 'o'));
    writeFile(path("temp.txt"), "abc");
    doit.InputFile = path("temp.txt");
    doit.OutputFile = path("tally.tld");
    doit.Compress();
    EXPECT_EQ(readFile(path("tally.tld")), stats::compressLzrw1("abc"));
}

TEST_F(Tlzrw1Files, MissingInputIsRefusedByName)
{
    doit.InputFile = path("nothing.tld");
    doit.OutputFile = path("out.txt");
    const std::string expected = "Lzrw1 (de)compression : Failed to open input file : " + path("nothing.tld");
    EXPECT_EQ(errorOf([&] { doit.Decompress(); }), expected);
    EXPECT_EQ(errorOf([&] { doit.Compress(); }), expected);
    EXPECT_EQ(errorOf([&] { doit.decompressText(); }), expected);
    doit.InputFile = "";
    EXPECT_EQ(errorOf([&] { doit.Compress(); }), "Lzrw1 (de)compression : Failed to open input file : ");
    EXPECT_TRUE(folderNames().empty());
}

TEST_F(Tlzrw1Files, UnwritableOutputIsRefusedByName)
{
    writeFile(path("temp.txt"), "some text");
    doit.InputFile = path("temp.txt");
    for (const std::string& out : { path("no/such/folder/tally.tld"), dir.string(), std::string() }) {
        doit.OutputFile = out;
        const std::string expected = "Lzrw1 (de)compression : Failed to open output file : " + out;
        EXPECT_EQ(errorOf([&] { doit.Compress(); }), expected);
        EXPECT_EQ(errorOf([&] { doit.compressText("x"); }), expected);
    }
    EXPECT_EQ(folderNames(), std::vector<std::string> { "temp.txt" });
}

TEST_F(Tlzrw1Files, InputWithoutASizeIsRefusedByName)
{
    fs::create_directory(dir / "folder");
    doit.InputFile = path("folder");
    doit.OutputFile = path("tally.tld");
    EXPECT_EQ(errorOf([&] { doit.Compress(); }),
        "Lzrw1 compression : Failed to obtain the size of : " + path("folder"));
    EXPECT_EQ(
        errorOf([&] { doit.Decompress(); }), "Lzrw1 : Error reading from input file : " + path("folder"));
    EXPECT_EQ(folderNames(), std::vector<std::string> { "folder" });
}

TEST_F(Tlzrw1Files, BadHeaderNamesTheInputAndLeavesNoOutput)
{
    writeFile(path("tally.tld"), "10\r\n1\r\n0\r\n");
    doit.InputFile = path("tally.tld");
    doit.OutputFile = path("temp.txt");
    const std::string expected
        = path("tally.tld") + " : Lzrw1 decompression : this file has no valid header !";
    EXPECT_EQ(errorOf([&] { doit.Decompress(); }), expected);
    EXPECT_EQ(errorOf([&] { doit.decompressText(); }), expected);
    // Too short to hold an identifier at all.
    writeFile(path("tally.tld"), "WR");
    EXPECT_EQ(errorOf([&] { doit.Decompress(); }), expected);
    EXPECT_EQ(folderNames(), std::vector<std::string> { "tally.tld" });
}

TEST_F(Tlzrw1Files, SizeMismatchLeavesNoOutputAndKeepsThePreviousOne)
{
    // Blocks that decode to fewer bytes than the size field: the first blocks
    // are written out before the shortfall shows, and must not remain.
    std::string packed = stats::compressLzrw1(englishText(70000, 32));
    packed[6] = static_cast<char>(packed[6] + 1);
    writeFile(path("tally.tld"), packed);
    doit.InputFile = path("tally.tld");
    doit.OutputFile = path("temp.txt");
    const std::string mismatch
        = "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
    EXPECT_EQ(errorOf([&] { doit.Decompress(); }), mismatch);
    EXPECT_EQ(folderNames(), std::vector<std::string> { "tally.tld" });

    writeFile(path("temp.txt"), "previous");
    EXPECT_EQ(errorOf([&] { doit.Decompress(); }), mismatch);
    EXPECT_EQ(readFile(path("temp.txt")), "previous");
    EXPECT_EQ(folderNames(), (std::vector<std::string> { "tally.tld", "temp.txt" }));
}

TEST_F(Tlzrw1Files, TruncatedFileIsAReadErrorWithNoOutput)
{
    const std::string fast = stats::compressLzrw1(englishText(70000, 33));
    const std::string good = stats::compressLzhuf(englishText(70000, 33));
    writeFile(path("a.tld"), fast.substr(0, fast.size() - 5));
    writeFile(path("b.tld"), good.substr(0, good.size() / 2));
    doit.OutputFile = path("temp.txt");
    doit.InputFile = path("a.tld");
    EXPECT_EQ(
        errorOf([&] { doit.Decompress(); }), "Lzrw1 : Error reading from input file : " + path("a.tld"));
    doit.InputFile = path("b.tld");
    EXPECT_EQ(errorOf([&] { doit.Decompress(); }),
        "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !");
    EXPECT_EQ(errorOf([&] { doit.decompressText(); }),
        "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !");
    EXPECT_EQ(folderNames(), (std::vector<std::string> { "a.tld", "b.tld" }));
}

TEST_F(Tlzrw1Files, FailedWriteNamesTheOutputAndKeepsThePreviousFile)
{
    const std::string noise = randomBytes(200000, 40);
    writeFile(path("temp.txt"), noise);
    writeFile(path("big.tld"), stats::compressLzrw1(noise));
    writeFile(path("tally.tld"), "previous tally");
    writeFile(path("back.txt"), "previous text");
    const FileSizeLimit limit(65536);

    doit.InputFile = path("temp.txt");
    doit.OutputFile = path("tally.tld");
    EXPECT_EQ(
        errorOf([&] { doit.Compress(); }), "Lzrw1 : Error writing to output file : " + path("tally.tld"));
    EXPECT_EQ(readFile(path("tally.tld")), "previous tally");

    doit.InputFile = path("big.tld");
    doit.OutputFile = path("back.txt");
    EXPECT_EQ(
        errorOf([&] { doit.Decompress(); }), "Lzrw1 : Error writing to output file : " + path("back.txt"));
    EXPECT_EQ(readFile(path("back.txt")), "previous text");

    EXPECT_EQ(folderNames(), (std::vector<std::string> { "back.txt", "big.tld", "tally.tld", "temp.txt" }));
}

TEST_F(Tlzrw1Files, AFifoOrALinkAsInputIsRefusedAtOnce)
{
    // Nobody writes to the FIFO, so an input opened as a file would wait for ever.
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
    writeFile(path("real.tld"), stats::compressLzrw1("abc"));
    fs::create_symlink(path("real.tld"), path("link.tld"));
    doit.OutputFile = path("out.txt");
    for (const std::string& input : { path("fifo"), path("link.tld") }) {
        doit.InputFile = input;
        EXPECT_EQ(
            errorOf([&] { doit.decompressText(); }), "Lzrw1 : Error reading from input file : " + input);
        EXPECT_EQ(errorOf([&] { doit.Decompress(); }), "Lzrw1 : Error reading from input file : " + input);
        EXPECT_EQ(
            errorOf([&] { doit.Compress(); }), "Lzrw1 compression : Failed to obtain the size of : " + input);
    }
    EXPECT_EQ(folderNames(), (std::vector<std::string> { "fifo", "link.tld", "real.tld" }));
}

TEST_F(Tlzrw1Files, ALinkAtTheOutputIsReplacedNotWrittenThrough)
{
    writeFile(path("victim"), "someone else's file");
    fs::create_symlink(path("victim"), path("tally.tld"));
    doit.OutputFile = path("tally.tld");
    doit.compressText("abc");
    EXPECT_EQ(readFile(path("victim")), "someone else's file");
    EXPECT_FALSE(fs::is_symlink(path("tally.tld")));
    EXPECT_EQ(readFile(path("tally.tld")), stats::compressLzrw1("abc"));
}

} // namespace
