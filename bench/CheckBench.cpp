// The design rule check and the island query of the full board (4001 pins, 20001 wire points,
// 10001 texts, all crowded onto the workspace); the text boxes come from the font, through the
// QGuiApplication of the program's main. Goals: the whole check at most 150 ms; a
// highlight at most 20 ms, building the connectivity included, as the editor builds it afresh
// when the board has changed since the last one.
#include <benchmark/benchmark.h>

#include "BenchBoards.h"
#include "check/DesignCheck.h"
#include "fab/TextBox.h"

namespace fw {
namespace {

TextExtent gerberExtent(const TextItem& t) {
  const GerberTextBox b = gerberTextBox(t);
  return {b.width, b.height};
}

void BM_CheckBoard(benchmark::State& state) {
  const auto board = bench::makeBenchBoard(static_cast<bench::BenchBoard>(state.range(0)));
  const CheckRules rules = findRulePreset("standard")->rules;
  std::size_t findings = 0;
  for (auto _ : state) {
    const Connectivity connectivity(*board, gerberExtent);
    findings = checkBoard(connectivity, rules).size();
    benchmark::DoNotOptimize(findings);
  }
  state.counters["findings"] = double(findings);
}

// One click of Highlight Connection on a board just changed: the connectivity built, then the
// island of a pin gathered.
void BM_CheckHighlight(benchmark::State& state) {
  const auto board = bench::makeBenchBoard(bench::BenchBoard::Full);
  int row = 0;
  std::size_t items = 0;
  for (auto _ : state) {
    const Connectivity connectivity(*board, gerberExtent, ConnectivityDetail::Islands);
    const Island island = connectivity.island(connectivity.islandOfPin(row));
    items = island.pins.size() + island.segments.size() + island.texts.size();
    benchmark::DoNotOptimize(items);
    row = (row + 997) % board->PinCount;
  }
  state.counters["items"] = double(items);
}

// Further clicks on the same board state: the island alone.
void BM_CheckHighlightCached(benchmark::State& state) {
  const auto board = bench::makeBenchBoard(bench::BenchBoard::Full);
  const Connectivity connectivity(*board, gerberExtent);
  int row = 0;
  for (auto _ : state) {
    const Island island = connectivity.island(connectivity.islandOfWirePoint(row));
    benchmark::DoNotOptimize(island.segments.data());
    row = (row + 4001) % board->WirePointCount;
  }
  state.counters["islands"] = double(connectivity.islandCount());
}

BENCHMARK(BM_CheckBoard)
    ->ArgName("board")
    ->Arg(static_cast<int>(bench::BenchBoard::Typical))
    ->Arg(static_cast<int>(bench::BenchBoard::Full))
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckHighlight)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckHighlightCached)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace fw
