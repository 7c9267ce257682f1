// What the window spends on its procedural pictures when it starts: the board's
// slate background and the panels' texture, at one and two device pixels per
// logical pixel, beside filling a pixmap of the same size (the floor).
#include "pictures.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

void BM_BoardBackground(benchmark::State& state)
{
    const qreal dpr = qreal(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(Pictures::boardBackground(dpr));
}
BENCHMARK(BM_BoardBackground)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_PanelTexture(benchmark::State& state)
{
    const qreal dpr = qreal(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(Pictures::panelTexture(dpr));
}
BENCHMARK(BM_PanelTexture)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_FillBoardSizedPixmap(benchmark::State& state)
{
    const qreal dpr = qreal(state.range(0));
    for (auto _ : state) {
        QPixmap pixmap(Pictures::kBoardBackgroundSize * dpr);
        pixmap.fill(Qt::darkGray);
        benchmark::DoNotOptimize(pixmap);
    }
}
BENCHMARK(BM_FillBoardSizedPixmap)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
