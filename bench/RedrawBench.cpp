// Full redraws of the drawing area at 1920 x 1080: empty, typical and full boards at zoom 1x
// and 4x, the empty and full boards at 32x, where nearly all of the board lies off-screen, and the
// full board at the other zooms, also after a text edit each, after a zoom change, while panning
// and as the first redraw of a new renderer. Each warm one reports what its text cache holds.
// Run: build/bin/ferrowrit-bench --benchmark_filter=Redraw --benchmark_repetitions=5
//   --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
#include <string>

#include "BenchBoards.h"
#include "render/BoardRenderer.h"

namespace fw::bench {
namespace {

constexpr int kAreaWidth = 1920;
constexpr int kAreaHeight = 1080;

View benchView(int zoomLevel) {
  View v;
  v.setAreaSize(kAreaWidth, kAreaHeight);
  v.ZoomLevel = zoomLevel;
  return v;
}

// Repeated redraws, as the editor does them after each change: the text cache is warm. With
// editText, a text moves before each redraw, so the merged text layers are mended where it
// was and is.
void redraw(benchmark::State& state, BenchBoard kind, int zoomLevel, bool editText) {
  const auto board = makeBenchBoard(kind);
  const View view = benchView(zoomLevel);
  Canvas canvas(kAreaWidth, kAreaHeight);
  BoardRenderer renderer;
  renderer.drawBoard(canvas, *board, view, Visibility{}, Selection{});
  for (auto _ : state) {
    if (editText) board->TextTable[0].y = uint16_t(board->TextTable[0].y ^ 1);
    renderer.drawBoard(canvas, *board, view, Visibility{}, Selection{});
    benchmark::DoNotOptimize(canvas.scanLine(60));
  }
  // What the text cache holds for this board and zoom, for keeping an eye on its memory.
  const auto usage = renderer.textCacheUsage();
  state.counters["whole_texts"] = double(usage[0]);
  state.counters["glyph_texts"] = double(usage[1]);
  state.counters["glyphs"] = double(usage[2]);
  state.counters["cache_MB"] = double(usage[3]) / (1 << 20);
}

// The first redraw after start-up or a zoom change, which renders every visible text once.
void firstRedraw(benchmark::State& state, BenchBoard kind, int zoomLevel) {
  const auto board = makeBenchBoard(kind);
  const View view = benchView(zoomLevel);
  Canvas canvas(kAreaWidth, kAreaHeight);
  for (auto _ : state) {
    BoardRenderer renderer;
    renderer.drawBoard(canvas, *board, view, Visibility{}, Selection{});
    benchmark::DoNotOptimize(canvas.scanLine(60));
  }
}

// Redraws that alternate between two views the renderer has drawn before, as the editor does.
void alternate(benchmark::State& state, const View (&views)[2]) {
  const auto board = makeBenchBoard(BenchBoard::Full);
  Canvas canvas(kAreaWidth, kAreaHeight);
  BoardRenderer renderer;
  for (const View& v : views) renderer.drawBoard(canvas, *board, v, Visibility{}, Selection{});
  int k = 0;
  for (auto _ : state) {
    k ^= 1;
    renderer.drawBoard(canvas, *board, views[k], Visibility{}, Selection{});
    benchmark::DoNotOptimize(canvas.scanLine(60));
  }
}

// Panning: each redraw shows the board one grid step further left or right than the last.
void pan(benchmark::State& state, int zoomLevel) {
  View views[2] = {benchView(zoomLevel), benchView(zoomLevel)};
  views[1].scrollX += 1;
  alternate(state, views);
}

// A zoom change in the editor: the renderer lives on, so its text cache has seen both zooms
// before, and each redraw puts every visible text together again at the other size.
void zoomChange(benchmark::State& state, int zoomLevel) {
  const View views[2] = {benchView(zoomLevel), benchView(zoomLevel + 1)};
  alternate(state, views);
}

void registerRedrawBenchmarks() {
  for (BenchBoard kind : {BenchBoard::Empty, BenchBoard::Typical, BenchBoard::Full}) {
    for (int zoom : {0, 2}) {
      const std::string suffix =
          std::string("/") + benchBoardName(kind) + "/zoom" + std::to_string(1 << zoom);
      benchmark::RegisterBenchmark(("BM_Redraw" + suffix).c_str(), redraw, kind, zoom, false)
          ->Unit(benchmark::kMillisecond);
    }
  }
  for (BenchBoard kind : {BenchBoard::Empty, BenchBoard::Full}) {
    const std::string name = std::string("BM_Redraw/") + benchBoardName(kind) + "/zoom32";
    benchmark::RegisterBenchmark(name.c_str(), redraw, kind, 5, false)
        ->Unit(benchmark::kMillisecond);
  }
  // The full board at the remaining zooms, so that the text cache's size is seen at every one.
  for (int zoom : {1, 3, 4}) {
    const std::string name = "BM_Redraw/full/zoom" + std::to_string(1 << zoom);
    benchmark::RegisterBenchmark(name.c_str(), redraw, BenchBoard::Full, zoom, false)
        ->Unit(benchmark::kMillisecond);
  }
  for (int zoom : {0, 1, 2}) {
    const std::string name = "BM_RedrawAfterTextEdit/full/zoom" + std::to_string(1 << zoom);
    benchmark::RegisterBenchmark(name.c_str(), redraw, BenchBoard::Full, zoom, true)
        ->Unit(benchmark::kMillisecond);
  }
  for (int zoom : {0, 2, 4}) {
    const std::string name = "BM_RedrawZoomChange/full/zoom" + std::to_string(1 << zoom) + "to" +
                             std::to_string(2 << zoom);
    benchmark::RegisterBenchmark(name.c_str(), zoomChange, zoom)->Unit(benchmark::kMillisecond);
  }
  for (int zoom : {2, 5}) {
    const std::string name = "BM_RedrawPan/full/zoom" + std::to_string(1 << zoom);
    benchmark::RegisterBenchmark(name.c_str(), pan, zoom)->Unit(benchmark::kMillisecond);
  }
  for (int zoom : {0, 2, 3, 4, 5}) {
    const std::string name = "BM_RedrawFirst/full/zoom" + std::to_string(1 << zoom);
    benchmark::RegisterBenchmark(name.c_str(), firstRedraw, BenchBoard::Full, zoom)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
  }
}

}  // namespace
}  // namespace fw::bench

// The one main of the benchmark program: fonts need a QGuiApplication, which runs offscreen.
int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  fw::bench::registerRedrawBenchmarks();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
