// One preview step, that is one pointer move during a drag or while a wire is drawn: erase the
// inverted preview and draw it at the new grid position. Measured on an empty and on a full
// board (board:0 and board:2); the step must not depend on how full the board is.
#include <benchmark/benchmark.h>

#include "BenchBoards.h"
#include "edit/Editor.h"

namespace fw {
namespace {

class SilentHost : public Host {};

struct Scene {
  SilentHost host;
  Editor ed{host};
  explicit Scene(const benchmark::State& state) {
    ed.board() = *bench::makeBenchBoard(static_cast<bench::BenchBoard>(state.range(0)));
    boardName = bench::benchBoardName(static_cast<bench::BenchBoard>(state.range(0)));
  }
  const char* boardName = "";
  void moveTo(int x, int y) { ed.mouseMove(ed.view().toWindowX(x), ed.view().toWindowY(y) - 60); }
  void clickAt(int x, int y) {
    moveTo(x, y);
    ed.mouseDown(MouseButton::Left);
    ed.mouseUp(MouseButton::Left, ed.view().PointerY + 60);
  }
  // The pin to drag is the last row, at the middle of the window, so that it is the one hit;
  // armed, it is moved one preview step per iteration.
  void dragLastPin(benchmark::State& state) {
    Board& b = ed.board();
    if (b.PinCount == 0) b.addPin(Pin{});
    b.PinTable[static_cast<std::size_t>(b.PinCount - 1)] = Pin{396, 296, 5, 0};
    ed.RedrawBoard();
    ed.selectTool(Tool::EditPins);
    clickAt(396, 296);
    moveTo(396, 296);
    ed.mouseDown(MouseButton::Left);
    if (ed.state().DragKind != kDragPin) state.SkipWithError("pin drag not armed");
    previewSteps(state, 396, 296);
  }
  // Moves between two grid positions near (x, y), one preview step per iteration.
  void previewSteps(benchmark::State& state, int x, int y) {
    int i = 0;
    for (auto _ : state) {
      moveTo(x + ((i & 1) ? 8 : 4), y + ((i & 2) ? 4 : 0));
      ++i;
    }
  }
};

void BM_PinDragPreviewStep(benchmark::State& state) {
  Scene s(state);
  state.SetLabel(s.boardName);
  s.dragLastPin(state);
}

// The same with Drag Connected Tracks on and the last point of each of the last eight wires on
// the pin: the segments that end there stretch with it.
void BM_PinDragPreviewStepWithTracks(benchmark::State& state) {
  Scene s(state);
  state.SetLabel(s.boardName);
  Board& b = s.ed.board();
  int ends = 0;
  for (int row = b.WirePointCount - 1; row > 0 && ends < 8; --row) {
    WirePoint& w = b.WirePointTable[static_cast<std::size_t>(row)];
    if (isWireStart(w) || wireLayer(w.attr) == kGraphic) continue;
    w.x = 396;
    w.y = 296;
    ++ends;
    while (row > 0 && !isWireStart(b.WirePointTable[static_cast<std::size_t>(row)])) --row;
  }
  s.ed.controls().dragConnectedTracks = true;
  state.counters["ends"] = ends;
  s.dragLastPin(state);
}

// The middle point of the last wire, at the middle of the window: both its segments stretch.
void BM_WirePointDragPreviewStep(benchmark::State& state) {
  Scene s(state);
  state.SetLabel(s.boardName);
  Board& b = s.ed.board();
  const auto row = [&](int x, int y, uint8_t attr, bool start) {
    WirePoint w{static_cast<uint16_t>(x + (start ? WireStartFlag : 0)),
                static_cast<uint16_t>(y + (start ? WireStartFlag : 0)), attr};
    if (!b.addWirePoint(w)) b.WirePointTable[static_cast<std::size_t>(b.WirePointCount - 1)] = w;
  };
  if (b.WirePointCount > 0) b.WirePointCount -= 2;
  row(356, 256, kWireStartAttr, true);
  row(396, 296, 0x05, false);
  row(436, 276, 0x15, false);
  s.ed.RedrawBoard();
  s.ed.selectTool(Tool::EditWires);
  s.clickAt(396, 296);
  s.moveTo(396, 296);
  s.ed.mouseDown(MouseButton::Left);
  if (s.ed.state().DragKind != kDragPoint) state.SkipWithError("point drag not armed");
  s.previewSteps(state, 396, 296);
}

// A wire started at the middle of the window; the band follows the pointer.
void BM_RubberBandStep(benchmark::State& state) {
  Scene s(state);
  state.SetLabel(s.boardName);
  Board& b = s.ed.board();
  if (b.WirePointCount == kWirePointCapacity) --b.WirePointCount;  // room for the start
  s.ed.RedrawBoard();
  s.ed.selectTool(Tool::DrawWire);
  s.clickAt(396, 296);
  if (s.ed.state().RubberAnchorX == kNoWire) state.SkipWithError("wire not started");
  s.previewSteps(state, 420, 300);
}

BENCHMARK(BM_PinDragPreviewStep)
    ->ArgName("board")
    ->Arg(static_cast<int>(bench::BenchBoard::Empty))
    ->Arg(static_cast<int>(bench::BenchBoard::Full))
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PinDragPreviewStepWithTracks)
    ->ArgName("board")
    ->Arg(static_cast<int>(bench::BenchBoard::Full))
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WirePointDragPreviewStep)
    ->ArgName("board")
    ->Arg(static_cast<int>(bench::BenchBoard::Empty))
    ->Arg(static_cast<int>(bench::BenchBoard::Full))
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RubberBandStep)
    ->ArgName("board")
    ->Arg(static_cast<int>(bench::BenchBoard::Empty))
    ->Arg(static_cast<int>(bench::BenchBoard::Full))
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace fw
