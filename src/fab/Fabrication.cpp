#include "fab/Fabrication.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>

#include "board/PrintTables.h"
#include "board/View.h"
#include "fab/GerberText.h"
#include "fab/GerberWriter.h"
#include "files/FileIo.h"

namespace fw {

namespace {

// The frame is centred on this board position.
constexpr int kFrameCentreX = 396;
constexpr int kFrameCentreY = 296;
constexpr long long kUnitNm = 635000;  // one board unit
constexpr long long kProfilePen = 100000;

long long frameLeft(const Board& b) {
  return kFrameCentreX - b.FrameWidth / 2;
}
long long frameTop(const Board& b) {
  return kFrameCentreY + b.FrameHeight / 2;
}

// Each segment on its end point's layer, as the print routine walks the wires.
void tracks(GerberWriter& g, const Board& b, int layer, const char* function) {
  long long atX = 0, atY = 0;
  bool penThere = false;
  for (int32_t i = 0; i < b.WirePointCount; ++i) {
    const WirePoint& w = b.WirePointTable[std::size_t(i)];
    const long long x = fabX(b, w.x & kPositionMask);
    const long long y = fabY(b, w.y & kPositionMask);
    if (!isWireStart(w) && wireLayer(w.attr) == layer) {
      g.circle(fabLength360(printWireWidth(wireWidthIndex(w.attr))), function);
      if (!penThere) g.moveTo(atX, atY);
      g.lineTo(x, y);
      penThere = true;
    } else {
      penThere = false;
    }
    atX = x;
    atY = y;
  }
}

bool isPad(const Pin& p) {
  return !isGraphicPin(p) && p.style <= 2;
}

void copper(GerberWriter& g, const Board& b, int layer) {
  gerberTexts(g, b, layer);
  tracks(g, b, layer, "Conductor");
  for (int32_t i = 0; i < b.PinCount; ++i) {
    const Pin& p = b.PinTable[std::size_t(i)];
    if (!isPad(p)) continue;
    const long long s = fabLength360(printPadSize(p.sizeIndex));
    const long long o = fabLength360(printPadSize(p.sizeIndex) * 8) / 5;
    if (p.style == 0)
      g.circle(s, "ComponentPad");
    else if (p.style == 1)
      g.obround(o, s, "ComponentPad");
    else
      g.obround(s, o, "ComponentPad");
    g.flash(fabX(b, p.x), fabY(b, p.y));
  }
}

void legend(GerberWriter& g, const Board& b) {
  gerberTexts(g, b, kGraphic);
  tracks(g, b, kGraphic, "");
  const long long pen = fabLength360(printRingPen(zoomColumn(kDefaultZoomLevel)));
  for (int32_t i = 0; i < b.PinCount; ++i) {
    const Pin& p = b.PinTable[std::size_t(i)];
    if (!isGraphicPin(p)) continue;
    // The ring twice the pad's size, as an annulus: a circle with a round hole.
    const long long d = 2 * fabLength360(printPadSize(p.sizeIndex));
    g.circle(d + pen, "", d - pen);
    g.flash(fabX(b, p.x), fabY(b, p.y));
  }
}

void outline(GerberWriter& g, const Board& b) {
  const long long w = b.FrameWidth * kUnitNm, h = b.FrameHeight * kUnitNm;
  g.circle(kProfilePen, "Profile");
  g.moveTo(0, 0);
  g.lineTo(w, 0);
  g.lineTo(w, h);
  g.lineTo(0, h);
  g.lineTo(0, 0);
}

// A Gerber file: the drawing runs twice, once to gather the apertures and once to write.
std::string gerber(const Board& b, FabFile file, const FabSink& sink, bool& ok) {
  static const char* const functions[] = {"Copper,L1,Top", "Copper,L2,Bot", "Legend,Top",
                                          "Profile,NP"};
  GerberWriter g(functions[int(file)], file == FabFile::Outline ? "" : "Positive", sink);
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 1) g.start();
    if (file == FabFile::Layer1 || file == FabFile::Layer2)
      copper(g, b, file == FabFile::Layer1 ? kLayer1 : kLayer2);
    else if (file == FabFile::Graphic)
      legend(g, b);
    else
      outline(g, b);
  }
  std::string rest = g.finish();
  ok = g.ok();
  return rest;
}

// Excellon with a tool table and explicit decimal points: a tool per hole diameter, smallest
// first, and the holes of each tool in the order of the pins.
std::string drill(const Board& b) {
  std::map<long long, std::vector<int32_t>> holes;
  for (int32_t i = 0; i < b.PinCount; ++i) {
    const Pin& p = b.PinTable[std::size_t(i)];
    if (!isPad(p)) continue;
    holes[fabLength360(2 * printHoleRadius(printPadSize(p.sizeIndex), p.style))].push_back(i);
  }
  std::string out;
  out.reserve(64 + std::size_t(b.PinCount) * 24);
  out +=
      "M48\n"
      "; #@! TF.GenerationSoftware,Ferrowrit,Ferrowrit,5.0\n"
      "; #@! TF.FileFunction,Plated,1,2,PTH\n"
      "; #@! TF.FilePolarity,Positive\n"
      "FMAT,2\n"
      "METRIC,TZ\n"
      "; #@! TA.AperFunction,Plated,PTH,ComponentDrill\n";
  int tool = 1;
  for (const auto& entry : holes) {
    out += 'T' + std::to_string(tool++) + 'C';
    appendMillimetres(out, entry.first, 3);
    out += '\n';
  }
  out += "%\nG90\nG05\n";
  tool = 1;
  for (const auto& entry : holes) {
    out += 'T' + std::to_string(tool++) + '\n';
    for (const int32_t i : entry.second) {
      const Pin& p = b.PinTable[std::size_t(i)];
      out += 'X';
      appendMillimetres(out, fabX(b, p.x), 3);
      out += 'Y';
      appendMillimetres(out, fabY(b, p.y), 3);
      out += '\n';
    }
  }
  out += "M30\n";
  return out;
}

}  // namespace

long long fabX(const Board& b, int x) {
  return (x - frameLeft(b)) * kUnitNm;
}

long long fabY(const Board& b, int y) {
  return (frameTop(b) - y) * kUnitNm;
}

long long fabLength360(int q) {
  return (q * 25400000LL * 2 + 360) / 720;
}

const char* fabFileSuffix(FabFile file) {
  switch (file) {
    case FabFile::Layer1:
      return "-layer1.gbr";
    case FabFile::Layer2:
      return "-layer2.gbr";
    case FabFile::Graphic:
      return "-graphic.gbr";
    case FabFile::Outline:
      return "-outline.gbr";
    case FabFile::Drill:
      return ".drl";
  }
  return "";
}

std::string fabFileText(const Board& board, FabFile file) {
  if (file == FabFile::Drill) return drill(board);
  bool ok = true;
  return gerber(board, file, {}, ok);
}

std::string fabBaseName(const std::string& currentFileName) {
  if (currentFileName.empty()) return "board";
  const std::string stem = std::filesystem::path(currentFileName).stem().string();
  return stem.empty() ? std::string("board") : stem;
}

bool writeFabFiles(const Board& board, const std::string& folder, const std::string& name,
                   std::string& error) {
  // Each file is written beside its place, and only when all five are whole are they renamed
  // over the old ones, so a failure leaves an old export as it was. The files can be made again
  // from the project at any time, so unlike a project file they are not forced to disk first:
  // that would take longer than writing them. They go through the same FileReplacement as the
  // project file, with the flush left out.
  const std::filesystem::path dir(folder);
  std::array<std::unique_ptr<FileReplacement>, std::size(kFabFiles)> files;
  const auto failed = [&](std::size_t i, const std::string& alreadyReplaced) {
    error = "cannot write " + name + fabFileSuffix(kFabFiles[i]) + ": " +
            std::strerror(files[i]->errorNumber() != 0 ? files[i]->errorNumber() : EIO) +
            alreadyReplaced;
    return false;
  };
  for (std::size_t i = 0; i < files.size(); ++i) {
    const FabFile f = kFabFiles[i];
    files[i] = std::make_unique<FileReplacement>((dir / (name + fabFileSuffix(f))).string());
    FileReplacement& file = *files[i];
    const FabSink sink = [&](std::string_view piece) {
      return file.write(piece.data(), piece.size());
    };
    bool ok = file.open();
    if (ok && f == FabFile::Drill)
      ok = sink(drill(board));
    else if (ok)
      gerber(board, f, sink, ok);
    if (!ok || !file.close(false)) return failed(i, "");
  }
  // A rename seldom fails once the files are written; when one does after others, the user is
  // told which files are new already.
  std::string replaced;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (!files[i]->replaceTarget(false))
      return failed(i, replaced.empty() ? "" : "; already replaced:" + replaced);
    replaced += " " + name + fabFileSuffix(kFabFiles[i]);
  }
  return true;
}

bool writeFabSet(const Board& board, const std::string& folder, const std::string& name,
                 const FabOptions& options, FabReport& report) {
  (void)options;
  if (!writeFabFiles(board, folder, name, report.error)) return false;
  for (const FabFile f : kFabFiles) report.files.push_back(name + fabFileSuffix(f));
  return true;
}

}  // namespace fw
