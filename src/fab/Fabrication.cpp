#include "fab/Fabrication.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "board/Geometry.h"
#include "board/PrintTables.h"
#include "board/View.h"
#include "fab/GerberText.h"
#include "fab/GerberWriter.h"

namespace fw {

namespace {

constexpr long long kHalfUnitNm = 317500;  // half a board unit of 0.635 mm
constexpr long long kProfilePen = 100000;

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

// Every pad grown by `grow` on each side: the copper with 0, the mask openings with the mask
// expansion.
void pads(GerberWriter& g, const Board& b, long long grow, const char* function) {
  for (int32_t i = 0; i < b.PinCount; ++i) {
    const Pin& p = b.PinTable[std::size_t(i)];
    if (!fabHasPad(p)) continue;
    const long long s = fabLength360(printPadSize(p.sizeIndex)) + 2 * grow;
    const long long o = fabLength360(printPadSize(p.sizeIndex) * 8) / 5 + 2 * grow;
    if (p.style == 0)
      g.circle(s, function);
    else if (p.style == 1)
      g.obround(o, s, function);
    else
      g.obround(s, o, function);
    g.flash(fabX(b, p.x), fabY(b, p.y));
  }
}

void copper(GerberWriter& g, const Board& b, int layer) {
  gerberTexts(g, b, layer);
  tracks(g, b, layer, "Conductor");
  pads(g, b, 0, "ComponentPad");
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
  const long long w = 2 * b.FrameWidth * kHalfUnitNm, h = 2 * b.FrameHeight * kHalfUnitNm;
  g.circle(kProfilePen, "Profile");
  g.moveTo(0, 0);
  g.lineTo(w, 0);
  g.lineTo(w, h);
  g.lineTo(0, h);
  g.lineTo(0, 0);
}

// A Gerber file: the drawing runs twice, once to gather the apertures and once to write.
std::string gerber(const Board& b, FabFile file, const FabOptions& options, const FabSink& sink,
                   bool& ok) {
  GerberWriter g(fabFileFunction(file), fabFilePolarity(file), sink);
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 1) g.start();
    if (file == FabFile::Layer1 || file == FabFile::Layer2)
      copper(g, b, file == FabFile::Layer1 ? kLayer1 : kLayer2);
    else if (file == FabFile::Graphic)
      legend(g, b);
    else if (file == FabFile::MaskTop || file == FabFile::MaskBottom)
      pads(g, b, options.maskExpansionUm * 1000LL, "");
    else
      outline(g, b);
  }
  std::string rest = g.finish();
  ok = g.ok();
  return rest;
}

// Excellon with a tool table and explicit decimal points: a tool per hole diameter, smallest
// first, and the holes of each tool in the order of the pins. A pad's hole is the finished hole
// of its size, whatever its shape: the lead decides the hole, not the pad.
std::string drill(const Board& b, const FabOptions& options) {
  std::map<long long, std::vector<int32_t>> holes;
  for (int32_t i = 0; i < b.PinCount; ++i) {
    const Pin& p = b.PinTable[std::size_t(i)];
    if (!fabHasPad(p)) continue;
    const int row = std::clamp<int>(p.sizeIndex, 0, kFabPadRows - 1);
    holes[options.holeUm[std::size_t(row)] * 1000LL].push_back(i);
  }
  // A board without holes still names a tool, used nowhere: gerbv tells a drill file by one.
  if (holes.empty()) holes[options.holeUm[0] * 1000LL];
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

const char* fabFileSuffix(FabFile file) {
  switch (file) {
    case FabFile::Layer1:
      return "-layer1.gbr";
    case FabFile::Layer2:
      return "-layer2.gbr";
    case FabFile::Graphic:
      return "-graphic.gbr";
    case FabFile::MaskTop:
      return "-mask-top.gbr";
    case FabFile::MaskBottom:
      return "-mask-bottom.gbr";
    case FabFile::Outline:
      return "-outline.gbr";
    case FabFile::Drill:
      return ".drl";
  }
  return "";
}

std::string fabFileName(const std::string& name, FabFile file, bool protel) {
  static const char* const extensions[] = {".GTL", ".GBL", ".GTO", ".GTS", ".GBS", ".GKO", ".XLN"};
  return name + (protel ? extensions[int(file)] : fabFileSuffix(file));
}

std::string fabJobFileName(const std::string& name) {
  return name + ".gbrjob";
}

std::string fabZipFileName(const std::string& name) {
  return name + "-gerber.zip";
}

const char* fabFileFunction(FabFile file) {
  static const char* const functions[] = {"Copper,L1,Top",  "Copper,L2,Bot",  "Legend,Top",
                                          "Soldermask,Top", "Soldermask,Bot", "Profile,NP",
                                          "Plated,1,2,PTH"};
  return functions[int(file)];
}

const char* fabFilePolarity(FabFile file) {
  return file == FabFile::MaskTop || file == FabFile::MaskBottom ? "Negative" : "Positive";
}

std::string fabFileText(const Board& board, FabFile file, const FabOptions& options) {
  if (file == FabFile::Drill) return drill(board, options);
  bool ok = true;
  return gerber(board, file, options, {}, ok);
}

bool writeFabFileText(const Board& board, FabFile file, const FabOptions& options,
                      const FabSink& sink) {
  if (file == FabFile::Drill) return sink(drill(board, options));
  bool ok = true;
  const std::string rest = gerber(board, file, options, sink, ok);
  return ok && (rest.empty() || sink(rest));
}

std::string fabBaseName(const std::string& currentFileName) {
  if (currentFileName.empty()) return "board";
  const std::string stem = std::filesystem::path(currentFileName).stem().string();
  return stem.empty() ? std::string("board") : stem;
}

}  // namespace fw
