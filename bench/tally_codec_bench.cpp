// Compress and decompress throughput of the tally file's two forms, and of
// zlib level 1 and LZ4 as yardsticks, on the same ~1 MB of English-like text.
// bytes_per_second is measured on the uncompressed size both ways; "ratio" is
// compressed size over original size. The run ends with the LZRW1/KH times
// as ratios to the yardsticks'.
#include "bench_ratios.h"
#include "lzhuf.h"
#include "tlzrw1.h"

#include <benchmark/benchmark.h>
#include <lz4.h>
#include <zlib.h>

#include <array>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t kTextSize = 1 << 20;

// Sentences from a small vocabulary with varied length and punctuation, and
// tally-like lines mixed in: repetitive like real text, never one sentence
// over and over.
std::string makeText()
{
    static constexpr std::array<std::string_view, 48> kWords
        = { "the", "a", "player", "board", "letters", "found", "word", "longer", "than", "before", "clock",
              "minutes", "round", "score", "points", "opponent", "tally", "wins", "again", "while", "every",
              "corner", "quiet", "quickly", "across", "under", "table", "games", "played", "together",
              "neither", "won", "best", "turn", "seven", "twelve", "bright", "slowly", "garden", "window",
              "river", "stone", "yellow", "morning", "evening", "spelled", "tried", "kept" };
    std::mt19937 rng(20240601);
    std::string out;
    out.reserve(kTextSize + 64);
    while (out.size() < kTextSize) {
        if (rng() % 10 == 0) {
            out += std::to_string(rng() % 500) + "\r\n" + std::to_string(rng() % 50) + " mins-"
                + std::to_string(rng() % 40) + " Words\r\n";
            continue;
        }
        const int words = 4 + static_cast<int>(rng() % 12);
        for (int i = 0; i < words; ++i) {
            std::string_view w = kWords[rng() % kWords.size()];
            if (i == 0) {
                out.push_back(static_cast<char>(w[0] - 'a' + 'A'));
                w.remove_prefix(1);
            } else {
                out.push_back(rng() % 8 == 0 ? ',' : ' ');
                if (out.back() == ',')
                    out.push_back(' ');
            }
            out.append(w);
        }
        const unsigned end = rng() % 6;
        out.append(end == 0 ? "?\r\n" : end == 1 ? "!\r\n" : end == 2 ? ".\r\n" : ". ");
    }
    out.resize(kTextSize);
    return out;
}

const std::string& text()
{
    static const std::string t = makeText();
    return t;
}

std::string zlibCompress(std::string_view in)
{
    uLongf size = compressBound(static_cast<uLong>(in.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(in.data()),
            static_cast<uLong>(in.size()), 1)
        != Z_OK)
        throw std::runtime_error("zlib compression failed");
    out.resize(size);
    return out;
}

std::string zlibDecompress(std::string_view in, std::size_t originalSize)
{
    std::string out(originalSize, '\0');
    uLongf size = static_cast<uLongf>(originalSize);
    if (uncompress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(in.data()),
            static_cast<uLong>(in.size()))
            != Z_OK
        || size != originalSize)
        throw std::runtime_error("zlib decompression failed");
    return out;
}

// One LZ4 block for the whole text, as LZ4_compress_default makes it.
std::string lz4Compress(std::string_view in)
{
    std::string out(static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(in.size()))), '\0');
    const int size = LZ4_compress_default(
        in.data(), out.data(), static_cast<int>(in.size()), static_cast<int>(out.size()));
    if (size <= 0)
        throw std::runtime_error("LZ4 compression failed");
    out.resize(static_cast<std::size_t>(size));
    return out;
}

// The checked decoder, the one fit for untrusted input like ours.
std::string lz4Decompress(std::string_view in, std::size_t originalSize)
{
    std::string out(originalSize, '\0');
    const int size = LZ4_decompress_safe(
        in.data(), out.data(), static_cast<int>(in.size()), static_cast<int>(originalSize));
    if (size < 0 || static_cast<std::size_t>(size) != originalSize)
        throw std::runtime_error("LZ4 decompression failed");
    return out;
}

void report(benchmark::State& state, std::size_t compressed)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text().size()));
    state.counters["ratio"] = static_cast<double>(compressed) / static_cast<double>(text().size());
}

void BM_Lzrw1Compress(benchmark::State& state)
{
    std::size_t compressed = 0;
    for (auto _ : state) {
        const std::string file = stats::compressLzrw1(text());
        compressed = file.size();
        benchmark::DoNotOptimize(file.data());
    }
    report(state, compressed);
}

void BM_Lzrw1Decompress(benchmark::State& state)
{
    const std::string file = stats::compressLzrw1(text());
    if (stats::decompressContainer(file) != text())
        state.SkipWithError("LZRW1/KH round trip differs");
    for (auto _ : state) {
        const std::string out = stats::decompressContainer(file);
        benchmark::DoNotOptimize(out.data());
    }
    report(state, file.size());
}

void BM_LzhufCompress(benchmark::State& state)
{
    std::size_t compressed = 0;
    for (auto _ : state) {
        const std::string file = stats::compressLzhuf(text());
        compressed = file.size();
        benchmark::DoNotOptimize(file.data());
    }
    report(state, compressed);
}

void BM_LzhufDecompress(benchmark::State& state)
{
    const std::string file = stats::compressLzhuf(text());
    if (stats::decompressContainer(file) != text())
        state.SkipWithError("LZHUF round trip differs");
    for (auto _ : state) {
        const std::string out = stats::decompressContainer(file);
        benchmark::DoNotOptimize(out.data());
    }
    report(state, file.size());
}

void BM_ZlibLevel1Compress(benchmark::State& state)
{
    std::size_t compressed = 0;
    for (auto _ : state) {
        const std::string out = zlibCompress(text());
        compressed = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    report(state, compressed);
}

void BM_ZlibLevel1Decompress(benchmark::State& state)
{
    const std::string packed = zlibCompress(text());
    for (auto _ : state) {
        const std::string out = zlibDecompress(packed, text().size());
        benchmark::DoNotOptimize(out.data());
    }
    report(state, packed.size());
}

void BM_Lz4Compress(benchmark::State& state)
{
    std::size_t compressed = 0;
    for (auto _ : state) {
        const std::string out = lz4Compress(text());
        compressed = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    report(state, compressed);
}

void BM_Lz4Decompress(benchmark::State& state)
{
    const std::string packed = lz4Compress(text());
    if (lz4Decompress(packed, text().size()) != text())
        state.SkipWithError("LZ4 round trip differs");
    for (auto _ : state) {
        const std::string out = lz4Decompress(packed, text().size());
        benchmark::DoNotOptimize(out.data());
    }
    report(state, packed.size());
}

BENCHMARK(BM_Lzrw1Compress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lzrw1Decompress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LzhufCompress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LzhufDecompress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibLevel1Compress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibLevel1Decompress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lz4Compress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lz4Decompress)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarksWithRatios(argc, argv,
        { { "BM_Lzrw1Decompress", "BM_Lz4Decompress" }, { "BM_Lzrw1Decompress", "BM_ZlibLevel1Decompress" },
            { "BM_Lzrw1Compress", "BM_Lz4Compress" }, { "BM_Lzrw1Compress", "BM_ZlibLevel1Compress" } });
}
