// Writing the fabrication set of the full board into a temporary folder: the glyph outlines of
// ten thousand texts are most of the work. Goal: the set at most 200 ms, with its zip at most
// 300 ms. The zip's deflating runs on threads beside the texts' making, so its times are wall
// times and the CPU column counts every thread of the process.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "BenchBoards.h"
#include "fab/Fabrication.h"

namespace fw {
namespace {

void writeSet(benchmark::State& state, bool zip) {
  const auto board = bench::makeBenchBoard(static_cast<bench::BenchBoard>(state.range(0)));
  std::string folder = (std::filesystem::temp_directory_path() / "ferrowrit-fab-XXXXXX").string();
  if (mkdtemp(folder.data()) == nullptr) {
    state.SkipWithError("no temporary folder");
    return;
  }
  FabOptions options;
  options.zip = zip;
  for (auto _ : state) {
    FabReport report;
    if (!writeFabSet(*board, folder, "bench", options, report)) {
      state.SkipWithError(report.error.c_str());
      break;
    }
  }
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
}

void BM_WriteFabSet(benchmark::State& state) {
  writeSet(state, false);
}

void BM_WriteFabSetWithZip(benchmark::State& state) {
  writeSet(state, true);
}

BENCHMARK(BM_WriteFabSet)
    ->ArgName("board")
    ->Arg(static_cast<int>(bench::BenchBoard::Typical))
    ->Arg(static_cast<int>(bench::BenchBoard::Full))
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_WriteFabSetWithZip)
    ->ArgName("board")
    ->Arg(static_cast<int>(bench::BenchBoard::Typical))
    ->Arg(static_cast<int>(bench::BenchBoard::Full))
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace fw
