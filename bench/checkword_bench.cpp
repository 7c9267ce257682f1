// Cost of a lookup on the on-disk word list (bisection with one pread per
// record) against the same lookups in an in-memory hash set, on a fixed sample
// of words and near misses. Also the cost of writing the list out at start-up.
#include "dict_limits.h"
#include "embedded_word_list.h"
#include "tdictn.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <vector>

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

void BM_CheckWord_OnDisk(benchmark::State& state)
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
BENCHMARK(BM_CheckWord_OnDisk);

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
        for (char& c : query)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        found += set.count(query);
        next = next + 1 == words.size() ? 0 : next + 1;
    }
    state.counters["found%"]
        = benchmark::Counter(100.0 * static_cast<double>(found) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_CheckWord_HashSet);

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

BENCHMARK_MAIN();
