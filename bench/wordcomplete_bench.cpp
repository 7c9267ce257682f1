// The server's word check for a twelve-letter word: rebuilding it from its
// tile references, the dictionary lookup on disk, the duplicate check and
// scoring, through the same dispatch the network uses.
#include "embedded_word_list.h"
#include "memory_transport.h"
#include "tserver.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr const char* kWord = "relationship";

struct BenchServer {
    BenchServer()
    {
        TServer::Options options;
        options.dictionaryPath = folder.filePath("English").toStdString();
        options.wordRecords = embeddedWordList();
        options.secondMs = 24 * 3600 * 1000;
        options.dispatchIntervalMs = 0;
        server = std::make_unique<TServer>(std::move(options), transport);
        server->dispatch(1, "CMD_startgame+1+3+n+5+");
        // The word along row 4, across the spell book in the centre.
        for (int x = 0; x < 12; ++x)
            server->boardForTests().board[x][4] = kWord[x] - 'a' + 1;
        message = "CMD_wordcomplete+1";
        for (int x = 0; x < 12; ++x)
            message += "+" + std::to_string(x) + ".4";
    }
    QTemporaryDir folder;
    // No connection: the word is checked and scored, and its answer goes to nobody.
    InMemoryTransport transport;
    std::unique_ptr<TServer> server;
    std::string message;
};

void BM_WordcompleteTwelveLetters(benchmark::State& state)
{
    BenchServer bench;
    bench.server->dispatch(1, bench.message); // accepted once; refused as a repeat after
    for (auto _ : state)
        bench.server->dispatch(1, bench.message);
}
BENCHMARK(BM_WordcompleteTwelveLetters);

void BM_WordcompleteTwelveLetterNonWord(benchmark::State& state)
{
    BenchServer bench;
    std::string reversed = "CMD_wordcomplete+1";
    for (int x = 11; x >= 0; --x)
        reversed += "+" + std::to_string(x) + ".4";
    for (auto _ : state)
        bench.server->dispatch(1, reversed);
}
BENCHMARK(BM_WordcompleteTwelveLetterNonWord);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
