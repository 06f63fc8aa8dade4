#include "fab/GerberText.h"

#include <QFont>
#include <QPainterPath>
#include <QRawFont>
#include <QTransform>
#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <vector>

#include "board/PrintTables.h"
#include "fab/Fabrication.h"

namespace fw {

namespace {

// Glyph outlines of Liberation Sans, flattened once per character and type size with curves
// kept within kTolerance of the true outline, in nanometres from the glyph's origin, y up.
constexpr double kTolerance = 20000;
constexpr int kEm = 1000;  // the font's size while it is read

struct Glyph {
  std::vector<std::vector<std::pair<long long, long long>>> contours;  // closed, y up
  double advance = 0;                                                  // in nanometres
};

using Contour = std::vector<std::pair<long long, long long>>;

// Marks the points between a and b (indices into c, b after a, wrapping) that lie farther than
// kTolerance from the chord a-b, the farthest first, as Douglas and Peucker do.
void keepFar(const Contour& c, std::size_t a, std::size_t b, std::vector<bool>& keep) {
  const std::size_t n = c.size();
  const double ax = double(c[a].first), ay = double(c[a].second);
  const double dx = double(c[b % n].first) - ax, dy = double(c[b % n].second) - ay;
  const double length = std::hypot(dx, dy);
  double farthest = 0;
  std::size_t at = 0;
  for (std::size_t i = a + 1; i < b; ++i) {
    const double px = double(c[i % n].first) - ax, py = double(c[i % n].second) - ay;
    const double d = length > 0 ? std::abs(px * dy - py * dx) / length : std::hypot(px, py);
    if (d > farthest) {
      farthest = d;
      at = i;
    }
  }
  if (farthest <= kTolerance) return;
  keep[at % n] = true;
  keepFar(c, a, at, keep);
  keepFar(c, at, b, keep);
}

// A closed contour with the points that change its shape by no more than kTolerance left out.
Contour simplified(const Contour& c) {
  const std::size_t n = c.size();
  std::size_t far = 0;
  double best = -1;
  for (std::size_t i = 1; i < n; ++i) {
    const double d = std::hypot(double(c[i].first - c[0].first), double(c[i].second - c[0].second));
    if (d > best) {
      best = d;
      far = i;
    }
  }
  std::vector<bool> keep(n, false);
  keep[0] = keep[far] = true;
  keepFar(c, 0, far, keep);
  keepFar(c, far, n, keep);
  Contour out;
  for (std::size_t i = 0; i < n; ++i)
    if (keep[i]) out.push_back(c[i]);
  return out;
}

class GlyphTable {
 public:
  GlyphTable() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(kEm);
    font.setHintingPreference(QFont::PreferNoHinting);
    raw_ = QRawFont::fromFont(font);
    ascent_ = raw_.ascent() / kEm;
    height_ = (raw_.ascent() + raw_.descent()) / kEm;
  }
  // The glyph of c at an em of `em` nanometres.
  const Glyph& at(unsigned char c, long long em) {
    auto& byChar = glyphs_[em];
    std::optional<Glyph>& g = byChar[c];
    if (g) return *g;
    g.emplace();
    const QVector<quint32> index = raw_.glyphIndexesForString(QString(QChar(char16_t(c))));
    if (index.isEmpty()) return *g;
    const QVector<QPointF> advance =
        raw_.advancesForGlyphIndexes(index, QRawFont::SeparateAdvances);
    g->advance = advance.isEmpty() ? 0 : advance[0].x() * em / kEm;
    // Qt flattens curves to within half a unit: units of twice the tolerance.
    const double unit = 2 * kTolerance;
    const QPainterPath path =
        QTransform::fromScale(em / unit / kEm, em / unit / kEm).map(raw_.pathForGlyph(index[0]));
    for (const QPolygonF& polygon : path.toFillPolygons()) {
      Contour contour;
      for (const QPointF& p : polygon) {
        const std::pair<long long, long long> at{std::llround(p.x() * unit),
                                                 -std::llround(p.y() * unit)};
        if (contour.empty() || contour.back() != at) contour.push_back(at);
      }
      if (contour.size() > 1 && contour.back() == contour.front()) contour.pop_back();
      if (contour.size() >= 3) contour = simplified(contour);
      if (contour.size() >= 3) g->contours.push_back(std::move(contour));
    }
    return *g;
  }
  // In ems.
  double ascent() const { return ascent_; }
  double height() const { return height_; }

 private:
  QRawFont raw_;
  double ascent_ = 0, height_ = 0;
  std::map<long long, std::array<std::optional<Glyph>, 256>> glyphs_;
};

GlyphTable& glyphTable() {
  static GlyphTable table;
  return table;
}

}  // namespace

// Every text of the layer as regions, one per glyph, centred on its position like a print.
void gerberTexts(GerberWriter& g, const Board& b, int layer) {
  bool any = false;
  for (int32_t i = 0; i < b.TextCount && !any; ++i)
    any = textLayer(b.TextTable[std::size_t(i)]) == layer;
  if (!any || g.declaring()) return;  // regions take no aperture
  GlyphTable& table = glyphTable();
  for (int32_t i = 0; i < b.TextCount; ++i) {
    const TextItem& t = b.TextTable[std::size_t(i)];
    const int points = printTextBasePoints(t.size, 100);
    if (textLayer(t) != layer || points <= 0) continue;
    const long long em = points * 25400000LL / 72;  // points / 72 inch
    const int length = std::min<int>(t.text.length, int(t.text.chars.size()));
    auto glyphAt = [&](int k) -> const Glyph& {
      return table.at(static_cast<unsigned char>(t.text.chars[std::size_t(k)]), em);
    };
    double width = 0;
    for (int k = 0; k < length; ++k) width += glyphAt(k).advance;
    double penX = double(fabX(b, textX(t))) - width / 2;
    const long long baseline =
        fabY(b, t.y) + std::llround((table.height() / 2 - table.ascent()) * double(em));
    for (int k = 0; k < length; ++k) {
      const Glyph& glyph = glyphAt(k);
      const long long x0 = std::llround(penX);
      if (!glyph.contours.empty()) {
        g.beginRegion();
        for (const auto& contour : glyph.contours) {
          g.moveTo(x0 + contour[0].first, baseline + contour[0].second);
          for (std::size_t n = 1; n < contour.size(); ++n)
            g.lineTo(x0 + contour[n].first, baseline + contour[n].second);
          g.lineTo(x0 + contour[0].first, baseline + contour[0].second);
        }
        g.endRegion();
      }
      penX += glyph.advance;
    }
  }
}

}  // namespace fw
