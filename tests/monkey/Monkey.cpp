// The monkey: a seeded random stream of everything a user can do to the editor, with the
// scripted host answering every question at random, and the board's invariants checked after
// every event. A failure names its seed and event, and the same seed replays it exactly.
//
// Usage: ferrowrit-monkey [EVENTS] [SEED]
#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "edit/Editor.h"
#include "files/ProjectFile.h"
#include "support/SameBoard.h"
#include "support/ScriptedHost.h"

namespace fw {
namespace {

namespace fs = std::filesystem;

class Monkey {
 public:
  Monkey(uint32_t seed, const fs::path& dir) : rng_(seed), dir_(dir), ed_(host_, 400, 300) {
    fs::create_directories(dir / "objects");
    fs::create_directories(dir / "projects");
    ed_.ProgramDirectory = dir.string();
    ed_.RedrawBoard();
  }

  // One random event; false with a reason when an invariant breaks afterwards.
  bool step(std::string& why) {
    answerEverything();
    ed_.run([this] { act(); });
    return check(why);
  }

 private:
  int pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
  bool coin() { return pick(2) == 0; }

  std::string somePath(const char* folder, const char* ext) {
    return (dir_ / folder / ("f" + std::to_string(pick(4)) + ext)).string();
  }

  // Every dialog gets one prepared answer, chosen anew before each event.
  void answerEverything() {
    host_.yesNoAnswers = {coin(), coin()};
    host_.confirmAnswers = {coin()};
    host_.openFileAnswers = {pick(5) == 0 ? std::string()
                             : coin()     ? somePath("projects", ".kvd")
                                          : somePath("objects", ".kvo")};
    host_.saveFileAnswers = {pick(5) == 0 ? std::string()
                             : coin()     ? somePath("projects", ".kvd")
                                          : somePath("objects", ".kvo")};
    host_.frameSizeAnswers = {
        pick(3) == 0 ? std::nullopt
                     : std::optional<std::pair<int, int>>({pick(900) - 50, pick(700) - 50})};
    host_.textOptionsAnswers = {pick(4) == 0 ? std::nullopt
                                             : std::optional<std::pair<std::string, int>>(
                                                   {std::string(pick(34), 'A'), pick(60)})};
    host_.textAnswers = {std::string(pick(60), 'd')};
    host_.printAnswers.clear();
    host_.clearRecord();
  }

  void act() {
    Editor& e = ed_;
    const MouseButton buttons[] = {MouseButton::Left, MouseButton::Right, MouseButton::Middle};
    const int kind = pick(24);
    last_ = kind;
    switch (kind) {
      case 0:
        e.selectTool(static_cast<Tool>(pick(8)));
        break;
      case 1:
      case 2:
      case 3:
        // Anywhere in the drawing area and somewhat beyond it.
        e.mouseMove(pick(520) - 60, pick(420) - 60);
        break;
      case 4:
      case 5:
      case 6:
        e.mouseDown(buttons[pick(3)]);
        break;
      case 7:
      case 8:
        e.mouseUp(buttons[pick(3)], e.view().PointerY + 60 - (pick(8) == 0 ? 200 : 0));
        break;
      case 9: {
        const int which = pick(6);
        const int v = pick(14) - 1;
        if (which == 0) e.commands().viewCommands.ComboBox1Change(v);
        if (which == 1) e.ComboBox3Change(v);
        if (which == 2) e.tools().wireEdit.WireChange(v);
        if (which == 3) e.commands().viewCommands.ComboBox4Change(v);
        if (which == 4) e.tools().pins.SizeChange(v);
        if (which == 5) e.tools().pins.ComboBox2Change(v);
        break;
      }
      case 10: {
        const int which = pick(6);
        if (which == 0) e.tools().wireEdit.segClick();
        if (which == 1) e.tools().wireEdit.compClick();
        if (which == 2) e.tools().wireEdit.SplClick();
        if (which == 3) e.tools().pins.NormalClick();
        if (which == 4) e.tools().pins.outlClick();
        if (which == 5) e.controls().dragConnectedTracks = !e.controls().dragConnectedTracks;
        break;
      }
      case 11:
      case 12:
        e.commands().deletion.DeleteSelection();
        break;
      case 13: {
        const int which = pick(4);
        if (which == 0) e.commands().rotation.N90cc1Click();
        if (which == 1) e.commands().rotation.N180cw1Click();
        if (which == 2) e.commands().rotation.N270cw1Click();
        if (which == 3) e.BitBtn2Click();
        break;
      }
      case 14:
        e.commands().documents.SaveasObject1Click();
        break;
      case 15:
        if (coin())
          e.tools().objectPlacement.InsertObject1Click();
        else
          e.tools().objectPlacement.BitBtn15Click();
        if (coin()) e.FormPaint();
        break;
      case 16: {
        const int which = pick(4);
        if (which == 0) e.commands().documents.NewProject();
        if (which == 1) e.commands().documents.SaveProject();
        if (which == 2) e.commands().documents.OpenProject();
        if (which == 3) e.commands().documents.SaveAs1Click();
        break;
      }
      case 17:
        e.commands().documents.FrameSize1Click();
        break;
      case 18:
      case 19:
        e.history().Undo1Click();
        break;
      case 20:
        e.history().Redo1Click();
        break;
      case 21:
        if (coin())
          e.commands().viewCommands.ScrollBar1Scroll(pick(240) - 20);
        else
          e.commands().viewCommands.ScrollBar2Scroll(pick(190) - 20);
        break;
      case 22:
        e.commands().viewCommands.wheel(pick(5) - 2, coin(), coin());
        break;
      default:
        e.FormPaint();
        break;
    }
  }

  bool check(std::string& why) {
    const Board& b = ed_.board();
    auto fail = [&why](const std::string& w) {
      why = w;
      return false;
    };
    if (b.PinCount < 0 || b.PinCount > kPinCapacity) return fail("pin count");
    if (b.WirePointCount < 0 || b.WirePointCount > kWirePointCapacity)
      return fail("wire point count");
    if (b.TextCount < 0 || b.TextCount > kTextCapacity) return fail("text count");
    if (b.ObjectCount < 0 || b.ObjectCount > kObjectCapacity) return fail("object count");
    for (int32_t i = 0; i < b.ObjectCount; ++i) {
      const BoardObject& o = b.ObjectTable[std::size_t(i)];
      if (o.firstPin + o.pinCount > b.PinCount || o.firstPoint + o.pointCount > b.WirePointCount ||
          o.firstText + o.textCount > b.TextCount)
        return fail("object " + std::to_string(i + 1) + " reaches past the counts (tool " +
                    std::to_string(int(ed_.controls().tool)) + ", points " +
                    std::to_string(o.firstPoint) + "+" + std::to_string(o.pointCount) + " of " +
                    std::to_string(b.WirePointCount) + ", pins " + std::to_string(o.firstPin) +
                    "+" + std::to_string(o.pinCount) + " of " + std::to_string(b.PinCount) +
                    ", texts " + std::to_string(o.firstText) + "+" + std::to_string(o.textCount) +
                    " of " + std::to_string(b.TextCount) + ")");
    }
    for (int32_t i = 0; i < b.PinCount; ++i) {
      const Pin& p = b.PinTable[std::size_t(i)];
      if (!View::acceptsPosition(p.x, p.y)) return fail("pin " + std::to_string(i) + " off board");
    }
    for (int32_t i = 0; i < b.WirePointCount; ++i) {
      const WirePoint& p = b.WirePointTable[std::size_t(i)];
      if (!View::acceptsPosition(p.x & kPositionMask, p.y & kPositionMask) || p.x > 0x7FFF ||
          (p.x & WireStartFlag) != (p.y & WireStartFlag))
        return fail("wire point " + std::to_string(i) + " off board or flags broken");
      if (!isWireStart(p) && wireLayer(p.attr) > 2)
        return fail("wire point " + std::to_string(i) + " layer");
    }
    if (b.WirePointCount > 0 && !isWireStart(b.WirePointTable[0]))
      return fail("the first wire point is no start");
    for (int32_t i = 0; i < b.TextCount; ++i) {
      const TextItem& t = b.TextTable[std::size_t(i)];
      if (!View::acceptsPosition(textX(t), t.y) || textLayer(t) > 2 || t.x > 0x3FFF)
        return fail("text " + std::to_string(i) + " off board or layer (x " + std::to_string(t.x) +
                    ", y " + std::to_string(t.y) + ", tool " +
                    std::to_string(int(ed_.controls().tool)) + ")");
    }
    // A saved board is the one in its file, and the history stands where it was saved.
    if (b.SavedFlag) {
      if (long(ed_.history().position()) != ed_.history().savedPosition())
        return fail("saved, but the history stands at step " +
                    std::to_string(ed_.history().position()) + " and was saved at " +
                    std::to_string(ed_.history().savedPosition()));
      auto onDisk = makeBoard();
      std::string readError;
      if (!b.CurrentFileName.empty() && (!ReadProjectFile(b.CurrentFileName, *onDisk, readError) ||
                                         serializeProjectFile(*onDisk) != serializeProjectFile(b)))
        return fail("saved, but " + b.CurrentFileName + " holds another board " + readError);
    }
    // A project file keeps 31 characters of a text or a 50-character description; the reader
    // puts a blank in the last place. Everything else comes back as it was.
    const std::vector<uint8_t> bytes = serializeProjectFile(b);
    auto back = makeBoard();
    std::string error;
    if (!parseProjectFile(bytes.data(), bytes.size(), *back, error))
      return fail("the board's own file is refused: " + error);
    if (serializeProjectFile(*back) != bytes) return fail("the file does not read back the same");
    return true;
  }

  int last_ = -1;

 public:
  int lastKind() const { return last_; }

 private:
  std::mt19937 rng_;
  fs::path dir_;
  ScriptedHost host_;
  Editor ed_;
};

}  // namespace
}  // namespace fw

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  const long events = argc > 1 ? std::atol(argv[1]) : 1000000;
  const uint32_t seed = argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 1;
  std::string tmpl = (std::filesystem::temp_directory_path() / "ferrowrit-monkey-XXXXXX").string();
  if (mkdtemp(tmpl.data()) == nullptr) return 2;
  const std::filesystem::path dir(tmpl);
  int status = 0;
  {
    fw::Monkey monkey(seed, dir);
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < events; ++i) {
      std::string why;
      if (!monkey.step(why)) {
        std::printf("monkey: seed %u, event %ld (kind %d): %s\n", seed, i, monkey.lastKind(),
                    why.c_str());
        status = 1;
        break;
      }
    }
    const double s =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (status == 0)
      std::printf("monkey: %ld events, seed %u, %.0f events/s, no invariant broken\n", events, seed,
                  events / std::max(s, 1e-9));
  }
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
  return status;
}
