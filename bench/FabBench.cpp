// Writing the five fabrication files of the full board into a temporary folder: the glyph
// outlines of ten thousand texts are most of the work. Goal: at most 200 ms.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "BenchBoards.h"
#include "fab/Fabrication.h"

namespace fw {
namespace {

void BM_WriteFabFiles(benchmark::State& state) {
  const auto board = bench::makeBenchBoard(static_cast<bench::BenchBoard>(state.range(0)));
  std::string folder = (std::filesystem::temp_directory_path() / "ferrowrit-fab-XXXXXX").string();
  if (mkdtemp(folder.data()) == nullptr) {
    state.SkipWithError("no temporary folder");
    return;
  }
  std::string error;
  for (auto _ : state) {
    if (!writeFabFiles(*board, folder, "bench", error)) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
}

BENCHMARK(BM_WriteFabFiles)
    ->ArgName("board")
    ->Arg(static_cast<int>(bench::BenchBoard::Typical))
    ->Arg(static_cast<int>(bench::BenchBoard::Full))
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace fw
