// The settings file read once: GameSettings::load of a usual shared file
// (9 KB) and of one just under the cap (4 MB), each beside a bare read of the
// same file, and the refusal of a file past the cap beside the bare read of
// the small one. Also one save's edit of the 4 MB file in memory beside a copy
// of its bytes. Saves on disk are left out: their flush to disk dominates and
// depends on the disk, not on this code.
#include "bench_ratios.h"
#include "game_settings.h"
#include "ini_document.h"
#include "safe_read.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <string>

namespace {

QTemporaryDir* folder = nullptr;

// Another program's section of `filler` bytes of key lines, then ours.
std::string sharedFile(std::size_t filler)
{
    std::string text = "[BrellowLobby]\r\n";
    for (int n = 0; text.size() < filler; ++n)
        text += "Recent" + std::to_string(n) + "=player " + std::to_string(n * 7919) + " at 192.168.1."
            + std::to_string(n % 250) + "\r\n";
    text
        += "[Lexmire]\r\nTop=40\r\nLeft=60\r\nWidth=1024\r\nHeight=700\r\nTextsize=10\r\nTextcolor=clNavy\r\n"
           "Clickletters=0\r\nRounds=5\r\nTimeperround=3\r\nPlaysounds=true\r\nTurnsound=1\r\n"
           "Phrase1=Caf\xe9 cr\xe8me\r\nPhrase2=Well played\r\nTiles=Gold\r\nFirsttime=no\r\n";
    return text;
}

QString put(const char* name, const std::string& bytes)
{
    const QString path = folder->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()))
        std::abort();
    return path;
}

QString smallFile, capFile, overFile;

void rawRead(benchmark::State& state, const QString& path)
{
    const std::string name = QFile::encodeName(path).toStdString();
    for (auto _ : state) {
        fileio::ReadResult result = fileio::readFile(name, UINT64_MAX);
        benchmark::DoNotOptimize(result.bytes.data());
    }
}

void load(benchmark::State& state, const QString& path)
{
    for (auto _ : state) {
        GameSettings settings(path);
        const QString problem = settings.load();
        benchmark::DoNotOptimize(settings.number(settings::SettingKey::Width));
        if (path != overFile && !problem.isEmpty())
            state.SkipWithError("the file was refused");
    }
}

void BM_RawRead9K(benchmark::State& state) { rawRead(state, smallFile); }
void BM_Load9K(benchmark::State& state) { load(state, smallFile); }
void BM_RawRead4M(benchmark::State& state) { rawRead(state, capFile); }
void BM_Load4M(benchmark::State& state) { load(state, capFile); }
void BM_Refuse16M(benchmark::State& state) { load(state, overFile); }

void BM_CopyBytes4M(benchmark::State& state)
{
    const std::string bytes = sharedFile(4u * 1024 * 1024 - 1024);
    for (auto _ : state) {
        std::string copy = bytes;
        benchmark::DoNotOptimize(copy.data());
    }
}

void BM_EditThreeKeys4M(benchmark::State& state)
{
    const std::string bytes = sharedFile(4u * 1024 * 1024 - 1024);
    for (auto _ : state) {
        IniDocument document(bytes);
        document.setValues(
            "Lexmire", { { "Top", "41" }, { "Textsize", "12" }, { "ChatterSounds", "false" } });
        benchmark::DoNotOptimize(document.bytes().data());
    }
}

BENCHMARK(BM_RawRead9K);
BENCHMARK(BM_Load9K);
BENCHMARK(BM_Refuse16M);
BENCHMARK(BM_RawRead4M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load4M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyBytes4M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditThreeKeys4M)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    folder = &dir;
    smallFile = put("small.ini", sharedFile(9000));
    capFile = put("cap.ini", sharedFile(4u * 1024 * 1024 - 1024));
    overFile = put("over.ini", sharedFile(16u * 1024 * 1024));
    return runBenchmarksWithRatios(argc, argv,
        { { "BM_Load9K", "BM_RawRead9K" }, { "BM_Refuse16M", "BM_RawRead9K" },
            { "BM_Load4M", "BM_RawRead4M" }, { "BM_EditThreeKeys4M", "BM_CopyBytes4M" } });
}
