// Undo on the full board: one step back and forth (with the small drawing area the redraw
// after it costs little), what a history of 1000 single-element steps holds, and the worst
// steps: removing the first row of the full texts or wire points, 1000 times over.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "BenchBoards.h"
#include "edit/Editor.h"

namespace fw {
namespace {

class SilentHost : public Host {};

void BM_UndoRedoStep(benchmark::State& state) {
  SilentHost host;
  Editor ed(host, 16, 16);
  ed.board() = *bench::makeBenchBoard(bench::BenchBoard::Full);
  ed.selectTool(Tool::EditPins);
  ed.state().SelectedPin = 1;
  ed.run([&] { ed.tools().pins.SizeChange(7); });
  for (auto _ : state) {
    ed.history().Undo1Click();
    ed.history().Redo1Click();
  }
  state.counters["steps_per_iteration"] = 2;
}

void BM_UndoHistoryOf1000Steps(benchmark::State& state) {
  SilentHost host;
  Editor ed(host, 16, 16);
  ed.board() = *bench::makeBenchBoard(bench::BenchBoard::Full);
  ed.selectTool(Tool::EditPins);
  std::size_t bytes = 0;
  for (auto _ : state) {
    ed.history().clear();
    for (int i = 0; i < 1000; ++i) {
      ed.state().SelectedPin = 1 + (i * 37) % ed.board().PinCount;
      ed.run([&] { ed.tools().pins.SizeChange(i % 10); });
    }
    bytes = ed.history().memoryUsed();
  }
  state.counters["history_MB"] = double(bytes) / (1 << 20);
}

// Removes the first row of a table that is full, shifting the rest down as a deletion does.
template <typename Row, std::size_t N>
void removeFirstRow(std::array<Row, N>& table, int32_t& count) {
  std::copy(table.begin() + 1, table.begin() + count, table.begin());
  --count;
}

// One iteration is one event that removes row 0 of the texts (argument 0) or of the wire
// points (1) of the full board; 1000 of them, and what the history then holds.
void BM_UndoRemoveFirstRowStep(benchmark::State& state) {
  SilentHost host;
  Editor ed(host, 16, 16);
  ed.board() = *bench::makeBenchBoard(bench::BenchBoard::Full);
  ed.history().clear();
  Board& b = ed.board();
  const bool texts = state.range(0) == 0;
  for (auto _ : state) {
    ed.run([&] {
      if (texts)
        removeFirstRow(b.TextTable, b.TextCount);
      else
        removeFirstRow(b.WirePointTable, b.WirePointCount);
    });
  }
  state.counters["history_MB"] = double(ed.history().memoryUsed()) / (1 << 20);
  state.counters["steps"] = double(ed.history().steps());
}

BENCHMARK(BM_UndoRedoStep)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoHistoryOf1000Steps)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRemoveFirstRowStep)
    ->ArgName("points")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace fw
