#include "fab/Fabrication.h"

#include <QDir>
#include <QFont>
#include <QPainterPath>
#include <QRawFont>
#include <QSaveFile>
#include <array>
#include <cmath>
#include <filesystem>
#include <map>
#include <optional>

#include "board/PrintTables.h"
#include "board/View.h"
#include "fab/GerberWriter.h"

namespace fw {

namespace {

// The frame is centred on this board position.
constexpr int kFrameCentreX = 396;
constexpr int kFrameCentreY = 296;
constexpr long long kUnitNm = 635000;  // one board unit
constexpr long long kProfilePen = 100000;

// Glyph outlines of Liberation Sans, flattened once per character at a fixed em and scaled to
// each text's size: the em is kEm units, and curves are flattened to within half a unit.
constexpr int kEm = 200;

struct Glyph {
  std::vector<std::vector<QPointF>> contours;  // y down from the baseline, in em / kEm
  qreal advance = 0;
};

class GlyphTable {
 public:
  GlyphTable() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(kEm);
    font.setHintingPreference(QFont::PreferNoHinting);
    raw_ = QRawFont::fromFont(font);
    ascent_ = raw_.ascent();
    height_ = raw_.ascent() + raw_.descent();
  }
  const Glyph& at(unsigned char c) {
    std::optional<Glyph>& g = glyphs_[c];
    if (g) return *g;
    g.emplace();
    const QVector<quint32> index = raw_.glyphIndexesForString(QString(QChar(char16_t(c))));
    if (index.isEmpty()) return *g;
    const QVector<QPointF> advance =
        raw_.advancesForGlyphIndexes(index, QRawFont::SeparateAdvances);
    g->advance = advance.isEmpty() ? 0 : advance[0].x();
    for (const QPolygonF& polygon : raw_.pathForGlyph(index[0]).toFillPolygons()) {
      std::vector<QPointF> contour(polygon.begin(), polygon.end());
      if (contour.size() >= 3) g->contours.push_back(std::move(contour));
    }
    return *g;
  }
  qreal ascent() const { return ascent_; }
  qreal height() const { return height_; }

 private:
  QRawFont raw_;
  qreal ascent_ = 0, height_ = 0;
  std::array<std::optional<Glyph>, 256> glyphs_;
};

GlyphTable& glyphTable() {
  static GlyphTable table;
  return table;
}

long long frameLeft(const Board& b) {
  return kFrameCentreX - b.FrameWidth / 2;
}
long long frameTop(const Board& b) {
  return kFrameCentreY + b.FrameHeight / 2;
}

// Every text of the layer as regions, one per glyph, centred on its position like a print.
void texts(GerberWriter& g, const Board& b, int layer) {
  bool any = false;
  for (int32_t i = 0; i < b.TextCount && !any; ++i)
    any = textLayer(b.TextTable[std::size_t(i)]) == layer;
  if (!any) return;
  GlyphTable& table = glyphTable();
  for (int32_t i = 0; i < b.TextCount; ++i) {
    const TextItem& t = b.TextTable[std::size_t(i)];
    const int points = printTextBasePoints(t.size, 100);
    if (textLayer(t) != layer || points <= 0) continue;
    // The em in nanometres: points / 72 inch.
    const double scale = points * 25400000.0 / 72 / kEm;
    const int length = std::min<int>(t.text.length, int(t.text.chars.size()));
    qreal width = 0;
    for (int k = 0; k < length; ++k)
      width += table.at(static_cast<unsigned char>(t.text.chars[std::size_t(k)])).advance;
    const double cx = double(fabX(b, textX(t)));
    const double cy = double(fabY(b, t.y));
    double penX = cx - width * scale / 2;
    const double baseline = cy + (table.height() / 2 - table.ascent()) * scale;
    for (int k = 0; k < length; ++k) {
      const Glyph& glyph = table.at(static_cast<unsigned char>(t.text.chars[std::size_t(k)]));
      if (!glyph.contours.empty()) {
        g.beginRegion();
        for (const auto& contour : glyph.contours) {
          long long firstX = 0, firstY = 0, lastX = 0, lastY = 0;
          for (std::size_t n = 0; n < contour.size(); ++n) {
            const long long x = std::llround(penX + contour[n].x() * scale);
            const long long y = std::llround(baseline - contour[n].y() * scale);
            if (n == 0) {
              g.moveTo(x, y);
              firstX = x;
              firstY = y;
            } else if (x != lastX || y != lastY) {
              g.lineTo(x, y);
            } else {
              continue;
            }
            lastX = x;
            lastY = y;
          }
          if (lastX != firstX || lastY != firstY) g.lineTo(firstX, firstY);
        }
        g.endRegion();
      }
      penX += glyph.advance * scale;
    }
  }
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

std::string copper(const Board& b, int layer) {
  GerberWriter g(layer == kLayer1 ? "Copper,L1,Top" : "Copper,L2,Bot", "Positive");
  texts(g, b, layer);
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
  return g.finish();
}

std::string legend(const Board& b) {
  GerberWriter g("Legend,Top", "Positive");
  texts(g, b, kGraphic);
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
  return g.finish();
}

std::string outline(const Board& b) {
  GerberWriter g("Profile,NP", "");
  const long long w = b.FrameWidth * kUnitNm, h = b.FrameHeight * kUnitNm;
  g.circle(kProfilePen, "Profile");
  g.moveTo(0, 0);
  g.lineTo(w, 0);
  g.lineTo(w, h);
  g.lineTo(0, h);
  g.lineTo(0, 0);
  return g.finish();
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
  switch (file) {
    case FabFile::Layer1:
      return copper(board, kLayer1);
    case FabFile::Layer2:
      return copper(board, kLayer2);
    case FabFile::Graphic:
      return legend(board);
    case FabFile::Outline:
      return outline(board);
    case FabFile::Drill:
      return drill(board);
  }
  return {};
}

std::string fabBaseName(const std::string& currentFileName) {
  if (currentFileName.empty()) return "board";
  const std::string stem = std::filesystem::path(currentFileName).stem().string();
  return stem.empty() ? std::string("board") : stem;
}

bool writeFabFiles(const Board& board, const std::string& folder, const std::string& name,
                   std::string& error) {
  const QDir dir(QFile::decodeName(QByteArray::fromStdString(folder)));
  for (const FabFile f : kFabFiles) {
    const std::string fileName = name + fabFileSuffix(f);
    QSaveFile file(dir.filePath(QFile::decodeName(QByteArray::fromStdString(fileName))));
    const std::string text = fabFileText(board, f);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), qint64(text.size())) != qint64(text.size()) || !file.commit()) {
      error = "cannot write " + fileName + ": " + file.errorString().toStdString();
      return false;
    }
  }
  return true;
}

}  // namespace fw
