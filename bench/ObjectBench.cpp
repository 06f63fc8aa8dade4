// Objects on the full board: one outline step of a floating or dragged 40-pin footprint (a
// pointer move that erases the outline and draws it at the next grid position), and one
// quarter turn of such an object. Neither may depend on how full the board is.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "BenchBoards.h"
#include "edit/Editor.h"
#include "files/ObjectFile.h"

namespace fw {
namespace {

// A DIL40 at 0.6": two rows of 20 pads, an outline of five points and a reference text.
std::unique_ptr<Board> dil40(int x0, int y0) {
  auto b = makeBoard();
  for (int i = 0; i < 20; ++i) {
    b->addPin({static_cast<uint16_t>(x0 + 4 * i), static_cast<uint16_t>(y0), 2, 2});
    b->addPin({static_cast<uint16_t>(x0 + 4 * i), static_cast<uint16_t>(y0 + 24), 2, 2});
  }
  const int xs[] = {x0 - 4, x0 + 80, x0 + 80, x0 - 4, x0 - 4};
  const int ys[] = {y0 + 4, y0 + 4, y0 + 20, y0 + 20, y0 + 4};
  for (int k = 0; k < 5; ++k) {
    const uint16_t flag = k == 0 ? WireStartFlag : 0;
    b->addWirePoint({static_cast<uint16_t>(xs[k] + flag), static_cast<uint16_t>(ys[k] + flag),
                     static_cast<uint8_t>(k == 0 ? kWireStartAttr : 0x21)});
  }
  TextItem t;
  t.text.set("IC1");
  t.size = 10;
  t.x = static_cast<uint16_t>(2 * 4096 + x0 + 38);
  t.y = static_cast<uint16_t>(y0 + 12);
  b->addText(t);
  return b;
}

class FileHost : public Host {
 public:
  std::string path;
  std::string chooseOpenFile(const FileDialogRequest&) override { return path; }
};

struct Scene {
  FileHost host;
  Editor ed{host};
  explicit Scene(const benchmark::State& state) {
    ed.board() = *bench::makeBenchBoard(static_cast<bench::BenchBoard>(state.range(0)));
  }
  void moveTo(int x, int y) { ed.mouseMove(ed.view().toWindowX(x), ed.view().toWindowY(y) - 60); }
  void steps(benchmark::State& state, int x, int y) {
    int i = 0;
    for (auto _ : state) {
      moveTo(x + ((i & 1) ? 8 : 4), y + ((i & 2) ? 4 : 0));
      ++i;
    }
  }
  // Makes room at the ends of the tables for one DIL40 and puts it there as the last object.
  void appendDil40AsObject() {
    Board& b = ed.board();
    const auto part = dil40(356, 284);
    b.PinCount = std::min(b.PinCount, kPinCapacity - 40);
    b.WirePointCount = std::min(b.WirePointCount, kWirePointCapacity - 5);
    b.TextCount = std::min(b.TextCount, kTextCapacity - 1);
    b.ObjectCount = std::min(b.ObjectCount, kObjectCapacity - 1);
    const BoardObject rows{static_cast<uint16_t>(b.PinCount),       40,
                           static_cast<uint16_t>(b.WirePointCount), 5,
                           static_cast<uint16_t>(b.TextCount),      1};
    for (int i = 0; i < 40; ++i) b.addPin(part->PinTable[std::size_t(i)]);
    for (int i = 0; i < 5; ++i) b.addWirePoint(part->WirePointTable[std::size_t(i)]);
    b.addText(part->TextTable[0]);
    b.addObject(rows, "DIL40 0.6in");
  }
};

void BM_FloatingOutlineStep(benchmark::State& state) {
  Scene s(state);
  Board& b = s.ed.board();
  b.PinCount = std::min(b.PinCount, kPinCapacity - 40);
  b.WirePointCount = std::min(b.WirePointCount, kWirePointCapacity - 5);
  b.TextCount = std::min(b.TextCount, kTextCapacity - 1);
  b.ObjectCount = std::min(b.ObjectCount, kObjectCapacity - 1);
  s.host.path = (std::filesystem::temp_directory_path() / "ferrowrit-bench-dil40.kvo").string();
  std::string error;
  if (!WriteObjectFile(s.host.path, *dil40(100, 100), "DIL40 0.6in", error))
    state.SkipWithError(error.c_str());
  s.ed.RedrawBoard();
  s.ed.tools().objectPlacement.InsertObject1Click();
  s.ed.FormPaint();
  if (!s.ed.state().Placing) state.SkipWithError("object not loaded");
  s.steps(state, 300, 260);
  std::filesystem::remove(s.host.path);
}

void BM_ObjectDragOutlineStep(benchmark::State& state) {
  Scene s(state);
  s.appendDil40AsObject();
  s.ed.RedrawBoard();
  s.ed.selectTool(Tool::EditObject);
  for (int press = 0; press < 2; ++press) {
    s.moveTo(356, 284);
    s.ed.mouseDown(MouseButton::Left);
    if (press == 0) s.ed.mouseUp(MouseButton::Left, s.ed.view().PointerY + 60);
  }
  if (s.ed.state().DragKind != kDragObject) state.SkipWithError("object drag not armed");
  s.steps(state, 356, 284);
}

void BM_QuarterTurnObject(benchmark::State& state) {
  Scene s(state);
  s.appendDil40AsObject();
  const int row = s.ed.board().ObjectCount - 1;
  for (auto _ : state) {
    quarterTurnObject(s.ed.board(), row, true);
    benchmark::DoNotOptimize(s.ed.board().PinTable[0]);
  }
}

#define FW_OBJECT_BENCH(name)                           \
  BENCHMARK(name)                                       \
      ->ArgName("board")                                \
      ->Arg(static_cast<int>(bench::BenchBoard::Empty)) \
      ->Arg(static_cast<int>(bench::BenchBoard::Full))  \
      ->Repetitions(5)                                  \
      ->ReportAggregatesOnly(true)                      \
      ->Unit(benchmark::kMicrosecond)
FW_OBJECT_BENCH(BM_FloatingOutlineStep);
FW_OBJECT_BENCH(BM_ObjectDragOutlineStep);
FW_OBJECT_BENCH(BM_QuarterTurnObject);

}  // namespace
}  // namespace fw
