// Cost of a lookup in the word list written to disk (CheckWord, through its
// mapping of the file) against the same lookups in an in-memory hash set and
// in a plain bisection over a mapping of the same file, on a fixed sample of
// words and near misses; the run ends with the ratios between them. Also the
// cost of writing the list out at start-up.
#include "bench_ratios.h"
#include "dict_limits.h"
#include "embedded_word_list.h"
#include "tdictn.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A private folder for the record file, removed when the program ends.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "checkword_bench.XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a scratch folder");
        path = pattern;
    }
    ~ScratchFolder() { std::filesystem::remove_all(path); }
    std::string path;
};

std::string wordAt(std::size_t index)
{
    const std::string_view field = embeddedWordList().substr(index * kRecordSize + 1, kWordFieldSize);
    return std::string(field.substr(0, field.find(' ')));
}

// Every 211th word of the list in small letters, as a player types them, each
// followed by a near miss that sorts right beside it.
const std::vector<std::string>& sample()
{
    static const std::vector<std::string> words = [] {
        std::vector<std::string> out;
        const std::size_t count = embeddedWordList().size() / kRecordSize;
        for (std::size_t i = 0; i < count; i += 211) {
            std::string word = wordAt(i);
            for (char& c : word)
                c = static_cast<char>(c - 'A' + 'a');
            out.push_back(word);
            out.push_back(word + "qx");
        }
        return out;
    }();
    return words;
}

char upperCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

void BM_CheckWord(benchmark::State& state)
{
    ScratchFolder folder;
    TDictn dictn(
        folder.path + "/English", [](const std::string&) {}, embeddedWordList());
    const auto& words = sample();
    std::size_t next = 0;
    std::int64_t found = 0;
    std::int64_t reads = 0;
    for (auto _ : state) {
        found += dictn.CheckWord(words[next]);
        reads += dictn.lastRecordReads();
        next = next + 1 == words.size() ? 0 : next + 1;
    }
    state.counters["found%"]
        = benchmark::Counter(100.0 * static_cast<double>(found) / static_cast<double>(state.iterations()));
    state.counters["reads"]
        = benchmark::Counter(static_cast<double>(reads) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_CheckWord);

void BM_CheckWord_HashSet(benchmark::State& state)
{
    // The same answers from memory: capitals as stored, the query upper-cased
    // as CheckWord does, so both do comparable work per lookup.
    std::unordered_set<std::string> set;
    const std::size_t count = embeddedWordList().size() / kRecordSize;
    set.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        set.insert(wordAt(i));
    const auto& words = sample();
    std::size_t next = 0;
    std::int64_t found = 0;
    std::string query;
    for (auto _ : state) {
        query = words[next];
        std::transform(query.begin(), query.end(), query.begin(), upperCase);
        found += set.count(query);
        next = next + 1 == words.size() ? 0 : next + 1;
    }
    state.counters["found%"]
        = benchmark::Counter(100.0 * static_cast<double>(found) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_CheckWord_HashSet);

// The file searched the plain way: the query trimmed, padded and put in
// capitals, then at each step of the bisection the record's value formed and
// compared byte by byte, as the format describes it, but reading through a
// mapping instead of one read per step.
class PlainMappedList {
public:
    explicit PlainMappedList(const std::string& path)
    {
        std::ofstream(path, std::ios::binary) << embeddedWordList();
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st { };
        if (fd < 0 || ::fstat(fd, &st) != 0)
            throw std::runtime_error("cannot open " + path);
        size_ = static_cast<std::size_t>(st.st_size);
        void* mapped = ::mmap(nullptr, size_, PROT_READ, MAP_SHARED, fd, 0);
        ::close(fd);
        if (mapped == MAP_FAILED)
            throw std::runtime_error("cannot map " + path);
        records_ = static_cast<const char*>(mapped);
    }
    ~PlainMappedList() { ::munmap(const_cast<char*>(records_), size_); }

    bool contains(const std::string& query) const
    {
        const std::size_t first = query.find_first_not_of(' ');
        if (first == std::string::npos)
            return false;
        std::string word = query.substr(first, query.find_last_not_of(' ') - first + 1);
        if (word.size() < kWordWidth)
            word.resize(kWordWidth, ' ');
        std::transform(word.begin(), word.end(), word.begin(), upperCase);
        char value[kWordWidth];
        std::int64_t low = 0;
        std::int64_t high = static_cast<std::int64_t>(size_ / kRecordSize) - 1;
        while (low <= high) {
            const std::int64_t middle = low + (high - low) / 2;
            const char* record = records_ + middle * static_cast<std::int64_t>(kRecordSize);
            std::transform(record + 1, record + kRecordSize, value, upperCase);
            value[kWordWidth - 1] = ' ';
            const int order = std::string_view(value, kWordWidth).compare(word);
            if (order == 0)
                return true;
            if (order < 0)
                low = middle + 1;
            else
                high = middle - 1;
        }
        return false;
    }

private:
    const char* records_ = nullptr;
    std::size_t size_ = 0;
};

void BM_PlainMappedBisection(benchmark::State& state)
{
    ScratchFolder folder;
    const PlainMappedList list(folder.path + "/English");
    const auto& words = sample();
    std::size_t next = 0;
    std::int64_t found = 0;
    for (auto _ : state) {
        found += list.contains(words[next]);
        next = next + 1 == words.size() ? 0 : next + 1;
    }
    state.counters["found%"]
        = benchmark::Counter(100.0 * static_cast<double>(found) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_PlainMappedBisection);

// Start-up: the list written to a fresh file and opened, then closed and deleted.
void BM_OpenAndCloseDictionary(benchmark::State& state)
{
    ScratchFolder folder;
    const std::string path = folder.path + "/English";
    for (auto _ : state) {
        TDictn dictn(
            path, [](const std::string&) {}, embeddedWordList());
        benchmark::DoNotOptimize(dictn.isOpen());
    }
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(embeddedWordList().size()));
}
BENCHMARK(BM_OpenAndCloseDictionary)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarksWithRatios(argc, argv,
        { { "BM_CheckWord", "BM_CheckWord_HashSet" }, { "BM_PlainMappedBisection", "BM_CheckWord_HashSet" },
            { "BM_CheckWord", "BM_PlainMappedBisection" } });
}
