#include "fab/GerberText.h"

#include <QPainterPath>
#include <QTransform>
#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

#include "board/PrintTables.h"
#include "fab/FabCoordinates.h"
#include "fab/TextBox.h"

namespace fw {

namespace {

// Glyph outlines of Liberation Sans, flattened once per character and type size with curves
// kept within kTolerance of the true outline, in nanometres from the glyph's origin, y up.
constexpr double kTolerance = 20000;

using Point = std::pair<long long, long long>;
using Contour = std::vector<Point>;

struct Glyph {
  // One closed contour per region: an outline with its holes joined in by cut-ins, y up.
  std::vector<Contour> regions;
  double advance = 0;  // in nanometres
};

// Twice the signed area of the triangle o, a, b: positive when it turns left. Glyph
// coordinates stay below 10^8 nm, so the products fit.
long long cross(Point o, Point a, Point b) {
  return (a.first - o.first) * (b.second - o.second) - (a.second - o.second) * (b.first - o.first);
}

int sign(long long v) {
  return (v > 0) - (v < 0);
}

// Whether p, on the line through a and b, lies between them.
bool between(Point p, Point a, Point b) {
  return std::min(a.first, b.first) <= p.first && p.first <= std::max(a.first, b.first) &&
         std::min(a.second, b.second) <= p.second && p.second <= std::max(a.second, b.second);
}

// Whether the closed segments a-b and c-d have any point in common.
bool touch(Point a, Point b, Point c, Point d) {
  const int d1 = sign(cross(c, d, a)), d2 = sign(cross(c, d, b));
  const int d3 = sign(cross(a, b, c)), d4 = sign(cross(a, b, d));
  if (d1 * d2 < 0 && d3 * d4 < 0) return true;
  return (d1 == 0 && between(a, c, d)) || (d2 == 0 && between(b, c, d)) ||
         (d3 == 0 && between(c, a, b)) || (d4 == 0 && between(d, a, b));
}

// Whether the segments from s to u and from s to v run along each other for a stretch.
bool fold(Point s, Point u, Point v) {
  return cross(s, u, v) == 0 &&
         (u.first - s.first) * (v.first - s.first) + (u.second - s.second) * (v.second - s.second) >
             0;
}

// Twice the signed area: positive when the contour runs anticlockwise (y up).
long long area2(const Contour& c) {
  long long a = 0;
  for (std::size_t i = 0, n = c.size(); i < n; ++i) a += cross({0, 0}, c[i], c[(i + 1) % n]);
  return a;
}

// Whether p lies inside the closed contour c, which does not pass through p.
bool inside(Point p, const Contour& c) {
  bool in = false;
  for (std::size_t i = 0, j = c.size() - 1; i < c.size(); j = i++) {
    const Point a = c[j], b = c[i];
    if ((a.second > p.second) != (b.second > p.second) &&
        (b.second > a.second ? cross(a, b, p) > 0 : cross(a, b, p) < 0))
      in = !in;
  }
  return in;
}

// The contours that cross or touch themselves or one another, which no Gerber region may;
// neighbouring edges of a contour share their corner and must only not fold back.
std::vector<bool> tangled(const std::vector<Contour>& contours) {
  struct Edge {
    Point a, b;
    std::size_t contour, index;
    long long x0, x1, y0, y1;
  };
  std::vector<Edge> edges;
  std::vector<bool> bad(contours.size(), false);
  for (std::size_t c = 0; c < contours.size(); ++c) {
    const Contour& k = contours[c];
    if (k.size() < 3) bad[c] = true;
    for (std::size_t i = 0; i < k.size(); ++i) {
      const Point a = k[i], b = k[(i + 1) % k.size()];
      edges.push_back({a, b, c, i, std::min(a.first, b.first), std::max(a.first, b.first),
                       std::min(a.second, b.second), std::max(a.second, b.second)});
    }
  }
  for (std::size_t i = 0; i < edges.size(); ++i)
    for (std::size_t j = i + 1; j < edges.size(); ++j) {
      const Edge &s = edges[i], &t = edges[j];
      if (s.x1 < t.x0 || t.x1 < s.x0 || s.y1 < t.y0 || t.y1 < s.y0) continue;
      const std::size_t n = contours[s.contour].size();
      bool meet;
      if (s.contour == t.contour && t.index == s.index + 1)
        meet = fold(s.b, s.a, t.b);
      else if (s.contour == t.contour && s.index == 0 && t.index == n - 1)
        meet = fold(s.a, s.b, t.a);
      else
        meet = touch(s.a, s.b, t.a, t.b);
      if (meet) bad[s.contour] = bad[t.contour] = true;
    }
  return bad;
}

// Marks the points between a and b (indices into c, b after a, wrapping) that lie farther than
// tolerance from the chord a-b, the farthest first, as Douglas and Peucker do.
void keepFar(const Contour& c, std::size_t a, std::size_t b, double tolerance,
             std::vector<bool>& keep) {
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
  if (farthest <= tolerance) return;
  keep[at % n] = true;
  keepFar(c, a, at, tolerance, keep);
  keepFar(c, at, b, tolerance, keep);
}

// A closed contour with the points that change its shape by no more than tolerance left out.
Contour simplified(const Contour& c, double tolerance) {
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
  keepFar(c, 0, far, tolerance, keep);
  keepFar(c, far, n, tolerance, keep);
  Contour out;
  for (std::size_t i = 0; i < n; ++i)
    if (keep[i]) out.push_back(c[i]);
  return out;
}

// The flattened contours simplified each as far as leaves them all apart and uncrossed: a
// contour that the simplification tangles is simplified again with half the tolerance, down
// to the flattened contour itself.
std::vector<Contour> simplifiedApart(const std::vector<Contour>& flat) {
  std::vector<double> tolerance(flat.size(), kTolerance);
  std::vector<Contour> out;
  for (const Contour& c : flat) out.push_back(simplified(c, kTolerance));
  for (bool again = true; again;) {
    again = false;
    const std::vector<bool> bad = tangled(out);
    for (std::size_t i = 0; i < out.size(); ++i) {
      if (!bad[i] || tolerance[i] == 0) continue;
      tolerance[i] = tolerance[i] < 1000 ? 0 : tolerance[i] / 2;
      out[i] = tolerance[i] > 0 ? simplified(flat[i], tolerance[i]) : flat[i];
      again = true;
    }
  }
  return out;
}

// Whether the segment from the corner p to q leaves p into the filled side, which lies left
// of the edges a-p and p-b.
bool intoFill(Point a, Point p, Point b, Point q) {
  if (cross(p, b, a) > 0) return cross(p, b, q) > 0 && cross(p, q, a) > 0;
  return !(cross(p, a, q) >= 0 && cross(p, q, b) >= 0);
}

// Whether a cut-in from outline[i] to holes[h][k] runs through the fill without touching
// any edge of the outline or of the holes not yet joined.
bool cutInFits(const Contour& outline, const std::vector<Contour>& holes, std::size_t h,
               std::size_t i, std::size_t k) {
  const Contour& hole = holes[h];
  const std::size_t n = outline.size(), m = hole.size();
  const Point p = outline[i], q = hole[k];
  if (!intoFill(outline[(i + n - 1) % n], p, outline[(i + 1) % n], q) ||
      !intoFill(hole[(k + m - 1) % m], q, hole[(k + 1) % m], p))
    return false;
  auto blocks = [&](Point a, Point b) {
    if (a == p || b == p) return fold(p, a == p ? b : a, q);
    if (a == q || b == q) return fold(q, a == q ? b : a, p);
    return touch(p, q, a, b);
  };
  for (std::size_t j = 0; j < n; ++j)
    if (blocks(outline[j], outline[(j + 1) % n])) return false;
  for (std::size_t g = h; g < holes.size(); ++g)
    for (std::size_t j = 0; j < holes[g].size(); ++j)
      if (blocks(holes[g][j], holes[g][(j + 1) % holes[g].size()])) return false;
  return true;
}

// The outline (anticlockwise) with its holes (clockwise) joined in one by one by the
// shortest cut-in that fits: from an outline vertex to a hole vertex, round the hole, and
// back along the same segment. The outline grows with each hole, so a later hole may be
// reached through an earlier one.
Contour joined(Contour outline, const std::vector<Contour>& holes) {
  for (std::size_t h = 0; h < holes.size(); ++h) {
    const Contour& hole = holes[h];
    std::vector<std::tuple<long long, std::size_t, std::size_t>> pairs;
    for (std::size_t i = 0; i < outline.size(); ++i)
      for (std::size_t k = 0; k < hole.size(); ++k) {
        const long long dx = outline[i].first - hole[k].first;
        const long long dy = outline[i].second - hole[k].second;
        pairs.emplace_back(dx * dx + dy * dy, i, k);
      }
    std::sort(pairs.begin(), pairs.end());
    // Some pair always fits (the segment from a hole's leftmost vertex to the nearest
    // outline vertex it sees); were none found the hole would stay filled rather than cross.
    for (const auto& [d, i, k] : pairs) {
      if (!cutInFits(outline, holes, h, i, k)) continue;
      Contour out(outline.begin(), outline.begin() + std::ptrdiff_t(i) + 1);
      for (std::size_t j = 0; j <= hole.size(); ++j) out.push_back(hole[(k + j) % hole.size()]);
      out.insert(out.end(), outline.begin() + std::ptrdiff_t(i), outline.end());
      outline = std::move(out);
      break;
    }
  }
  return outline;
}

// The regions of a glyph's contours: a contour inside an even number of others is an outline,
// the others are holes of the contour just around them. Nesting decides, not the font's
// direction of travel.
std::vector<Contour> regionsOf(std::vector<Contour> contours) {
  const std::size_t n = contours.size();
  std::vector<int> depth(n, 0);
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = 0; j < n; ++j)
      if (i != j && inside(contours[i][0], contours[j])) ++depth[i];
  std::vector<Contour> regions;
  for (std::size_t i = 0; i < n; ++i) {
    if (depth[i] % 2) continue;
    Contour outline = contours[i];
    if (area2(outline) < 0) std::reverse(outline.begin(), outline.end());
    std::vector<Contour> holes;
    for (std::size_t j = 0; j < n; ++j) {
      if (depth[j] != depth[i] + 1 || !inside(contours[j][0], contours[i])) continue;
      holes.push_back(contours[j]);
      if (area2(holes.back()) > 0) std::reverse(holes.back().begin(), holes.back().end());
    }
    regions.push_back(joined(std::move(outline), holes));
  }
  return regions;
}

// The closed contours of a path in nanometres, y up, its units `unit` nanometres each.
std::vector<Contour> flattened(const QPainterPath& path, double unit) {
  std::vector<Contour> flat;
  for (const QPolygonF& polygon : path.toSubpathPolygons()) {
    Contour contour;
    for (const QPointF& p : polygon) {
      const Point at{std::llround(p.x() * unit), -std::llround(p.y() * unit)};
      if (contour.empty() || contour.back() != at) contour.push_back(at);
    }
    while (contour.size() > 1 && contour.back() == contour.front()) contour.pop_back();
    if (contour.size() >= 3) flat.push_back(std::move(contour));
  }
  return flat;
}

// Pieces merged by QPainterPath::simplified() may still meet at a corner, where a contour
// passes twice through one point: the later pass moves a micrometre into its own corner,
// inside the smaller angle of its two edges, where no other edge runs.
void separatePasses(std::vector<Contour>& contours) {
  std::set<Point> seen;
  for (Contour& c : contours)
    for (std::size_t i = 0, n = c.size(); i < n; ++i) {
      if (seen.insert(c[i]).second) continue;
      const Point v = c[i], a = c[(i + n - 1) % n], b = c[(i + 1) % n];
      const double ax = double(a.first - v.first), ay = double(a.second - v.second);
      const double bx = double(b.first - v.first), by = double(b.second - v.second);
      const double la = std::hypot(ax, ay), lb = std::hypot(bx, by);
      const double dx = ax / la + bx / lb, dy = ay / la + by / lb, l = std::hypot(dx, dy);
      if (l < 1e-6) continue;  // a straight pass: nothing meets it at a corner
      c[i] = {v.first + std::llround(1000 * dx / l), v.second + std::llround(1000 * dy / l)};
    }
}

class GlyphTable {
 public:
  // The glyph of c at an em of `em` nanometres.
  const Glyph& at(unsigned char c, long long em) {
    auto& byChar = glyphs_[em];
    std::optional<Glyph>& g = byChar[c];
    if (g) return *g;
    g.emplace();
    const GerberFace& face = gerberFace();
    g->advance = face.advance(c) * double(em) / kGerberEm;
    if (face.glyph(c) == 0) return *g;
    // Qt flattens curves to within half a unit: units of twice the tolerance.
    const double unit = 2 * kTolerance;
    const QPainterPath path = QTransform::fromScale(em / unit / kGerberEm, em / unit / kGerberEm)
                                  .map(face.raw().pathForGlyph(face.glyph(c)));
    std::vector<Contour> flat = flattened(path, unit);
    // A few glyphs (A ring, C cedilla) are drawn from overlapping pieces: merged first.
    const std::vector<bool> bad = tangled(flat);
    if (std::find(bad.begin(), bad.end(), true) != bad.end()) {
      flat = flattened(path.simplified(), unit);
      separatePasses(flat);
    }
    g->regions = regionsOf(simplifiedApart(flat));
    return *g;
  }

 private:
  std::map<long long, std::array<std::optional<Glyph>, 256>> glyphs_;
};

GlyphTable& glyphTable() {
  static GlyphTable table;
  return table;
}

}  // namespace

// Every text of the layer as regions, one per glyph outline with its holes, centred on its
// position like a print.
void gerberTexts(GerberWriter& g, const Board& b, int layer) {
  bool any = false;
  for (int32_t i = 0; i < b.TextCount && !any; ++i)
    any = textLayer(b.TextTable[std::size_t(i)]) == layer;
  if (!any || g.declaring()) return;  // regions take no aperture
  GlyphTable& table = glyphTable();
  for (int32_t i = 0; i < b.TextCount; ++i) {
    const TextItem& t = b.TextTable[std::size_t(i)];
    const long long em = gerberTextEm(t.size);
    if (textLayer(t) != layer || em <= 0) continue;
    const int length = std::min<int>(t.text.length, int(t.text.chars.size()));
    auto glyphAt = [&](int k) -> const Glyph& {
      return table.at(static_cast<unsigned char>(t.text.chars[std::size_t(k)]), em);
    };
    double width = 0;
    for (int k = 0; k < length; ++k) width += glyphAt(k).advance;
    double penX = double(fabX(b, textX(t))) - width / 2;
    const long long baseline =
        fabY(b, t.y) +
        std::llround((gerberFace().height() / 2 - gerberFace().ascent()) * double(em));
    for (int k = 0; k < length; ++k) {
      const Glyph& glyph = glyphAt(k);
      const long long x0 = std::llround(penX);
      for (const Contour& contour : glyph.regions) {
        g.beginRegion();
        g.moveTo(x0 + contour[0].first, baseline + contour[0].second);
        for (std::size_t n = 1; n < contour.size(); ++n)
          g.lineTo(x0 + contour[n].first, baseline + contour[n].second);
        g.lineTo(x0 + contour[0].first, baseline + contour[0].second);
        g.endRegion();
      }
      penX += glyph.advance;
    }
  }
}

}  // namespace fw
