// Undo on the full board: one step back and forth (with the small drawing area the redraw
// after it costs little), and what a history of 1000 single-element steps holds.
#include <benchmark/benchmark.h>

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
  ed.run([&] { ed.pins().SizeChange(7); });
  for (auto _ : state) {
    ed.history().Undo1Click();
    ed.history().Redo1Click();
  }
  state.counters["steps_per_iteration"] = 2;
}

void BM_HistoryOf1000Steps(benchmark::State& state) {
  SilentHost host;
  Editor ed(host, 16, 16);
  ed.board() = *bench::makeBenchBoard(bench::BenchBoard::Full);
  ed.selectTool(Tool::EditPins);
  std::size_t bytes = 0;
  for (auto _ : state) {
    ed.history().clear();
    for (int i = 0; i < 1000; ++i) {
      ed.state().SelectedPin = 1 + (i * 37) % ed.board().PinCount;
      ed.run([&] { ed.pins().SizeChange(i % 10); });
    }
    bytes = ed.history().memoryUsed();
  }
  state.counters["history_MB"] = double(bytes) / (1 << 20);
}

BENCHMARK(BM_UndoRedoStep)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HistoryOf1000Steps)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace fw
