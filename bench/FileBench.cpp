// Reading and saving project files. The save is the whole atomic write: temporary file, fsync,
// rename over the previous file.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "BenchBoards.h"
#include "files/ProjectFile.h"

namespace {

// The full board with every table at capacity, objects included: 4000 objects of one pin, five
// wire points and two texts each, with descriptions of 50 characters.
std::unique_ptr<fw::Board> fullBoardWithObjects() {
  auto b = fw::bench::makeBenchBoard(fw::bench::BenchBoard::Full);
  for (int i = 0; i < fw::kObjectCapacity; ++i) {
    const fw::BoardObject o{uint16_t(i), 1, uint16_t(5 * i), 5, uint16_t(2 * i), 2};
    b->addObject(o, "Object " + std::to_string(i) + std::string(50, '.'));
  }
  return b;
}

class BenchFolder {
 public:
  BenchFolder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "ferrowrit-bench-XXXXXX").string();
    if (mkdtemp(tmpl.data()) != nullptr) path_ = tmpl;
  }
  ~BenchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string file(const char* name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::unique_ptr<fw::Board> typicalBoard() {
  return fw::bench::makeBenchBoard(fw::bench::BenchBoard::Typical);
}

void BM_ReadProject(benchmark::State& state, std::unique_ptr<fw::Board> (*make)()) {
  BenchFolder folder;
  const std::string path = folder.file("board.kvd");
  std::string error;
  if (!fw::WriteProjectFile(path, *make(), error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  auto board = fw::makeBoard();
  for (auto _ : state) {
    if (!fw::ReadProjectFile(path, *board, error)) {
      state.SkipWithError(error.c_str());
      break;
    }
    benchmark::DoNotOptimize(board->PinCount);
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(std::filesystem::file_size(path)));
}

void BM_WriteProject(benchmark::State& state, std::unique_ptr<fw::Board> (*make)()) {
  BenchFolder folder;
  const std::string path = folder.file("board.kvd");
  const auto board = make();
  std::string error;
  for (auto _ : state) {
    if (!fw::WriteProjectFile(path, *board, error)) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(fw::serializeProjectFile(*board).size()));
}

// The format alone, without the file system: bytes to board and board to bytes.
void BM_ParseProject(benchmark::State& state) {
  const std::vector<uint8_t> bytes = fw::serializeProjectFile(*fullBoardWithObjects());
  auto board = fw::makeBoard();
  std::string error;
  for (auto _ : state) {
    if (!fw::parseProjectFile(bytes.data(), bytes.size(), *board, error)) {
      state.SkipWithError(error.c_str());
      break;
    }
    benchmark::DoNotOptimize(board->PinCount);
  }
}

void BM_SerializeProject(benchmark::State& state) {
  const auto board = fullBoardWithObjects();
  for (auto _ : state) benchmark::DoNotOptimize(fw::serializeProjectFile(*board));
}

}  // namespace

BENCHMARK(BM_ParseProject)->Name("BM_ParseProject/full")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SerializeProject)->Name("BM_SerializeProject/full")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadProject, full, fullBoardWithObjects)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ReadProject, typical, typicalBoard)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_WriteProject, full, fullBoardWithObjects)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_WriteProject, typical, typicalBoard)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
