// Printing the full board onto a 600 dpi A4 page image: every layer's pass over the tables.
#include <benchmark/benchmark.h>

#include <QPageSize>

#include "BenchBoards.h"
#include "print/PrintRoutine.h"

namespace fw {
namespace {

void BM_PrintPage(benchmark::State& state) {
  const auto board = bench::makeBenchBoard(static_cast<bench::BenchBoard>(state.range(0)));
  PrintSettings settings;
  settings.dpiIndex = 3;  // 600 dpi
  settings.layer = static_cast<int>(state.range(1));
  const QSize page = QPageSize(QPageSize::A4).sizePixels(600);
  for (auto _ : state) {
    const QImage image = printToImage(*board, settings, page, kDefaultZoomLevel);
    benchmark::DoNotOptimize(image.constBits());
  }
}

BENCHMARK(BM_PrintPage)
    ->ArgNames({"board", "layer"})
    ->Args({static_cast<int>(bench::BenchBoard::Empty), 0})
    ->Args({static_cast<int>(bench::BenchBoard::Full), 0})
    ->Args({static_cast<int>(bench::BenchBoard::Full), 2})
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseRealTime()  // the page is painted on a pool thread, so the caller's CPU time says little
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace fw
