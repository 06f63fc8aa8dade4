// Every glyph of a text is written as Gerber regions whose contours are simple, their holes
// joined by cut-ins, and whose holes stay empty, so that copper under a text stays whole.
#include <gtest/gtest.h>

#include <QFont>
#include <QPainterPath>
#include <QRawFont>
#include <QTransform>
#include <cmath>
#include <regex>
#include <set>
#include <sstream>

#include "board/PrintTables.h"
#include "fab/Fabrication.h"

namespace fw {
namespace {

using Point = std::pair<long long, long long>;
using Contour = std::vector<Point>;  // as drawn: the last point repeats the first
using Region = std::vector<Contour>;

// The regions of a Gerber file: G36 to G37, D02 begins a contour and D01 draws, a coordinate
// left out keeps its value.
std::vector<Region> regionsIn(const std::string& gerber) {
  const std::regex op("(X(-?[0-9]+))?(Y(-?[0-9]+))?D0([12])\\*");
  std::vector<Region> regions;
  std::istringstream in(gerber);
  long long x = 0, y = 0;
  bool inside = false;
  for (std::string line; std::getline(in, line);) {
    std::smatch m;
    if (line == "G36*") {
      regions.emplace_back();
      inside = true;
    } else if (line == "G37*") {
      inside = false;
    } else if (std::regex_match(line, m, op)) {
      if (m[1].matched) x = std::stoll(m[2]);
      if (m[3].matched) y = std::stoll(m[4]);
      if (!inside) continue;
      if (m[5] == "2" || regions.back().empty()) regions.back().emplace_back();
      regions.back().back().push_back({x, y});
    }
  }
  return regions;
}

long long cross(Point o, Point a, Point b) {
  return (a.first - o.first) * (b.second - o.second) - (a.second - o.second) * (b.first - o.first);
}

bool between(Point p, Point a, Point b) {
  return std::min(a.first, b.first) <= p.first && p.first <= std::max(a.first, b.first) &&
         std::min(a.second, b.second) <= p.second && p.second <= std::max(a.second, b.second);
}

// Whether the closed segments a-b and c-d have a point in common.
bool touch(Point a, Point b, Point c, Point d) {
  const long long d1 = cross(c, d, a), d2 = cross(c, d, b), d3 = cross(a, b, c),
                  d4 = cross(a, b, d);
  if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0)))
    return true;
  return (d1 == 0 && between(a, c, d)) || (d2 == 0 && between(b, c, d)) ||
         (d3 == 0 && between(c, a, b)) || (d4 == 0 && between(d, a, b));
}

// Whether the segments from s to u and from s to v overlap beyond s.
bool fold(Point s, Point u, Point v) {
  return cross(s, u, v) == 0 &&
         (u.first - s.first) * (v.first - s.first) + (u.second - s.second) * (v.second - s.second) >
             0;
}

// What makes the region no valid Gerber region, or "": contours must close, and no two edges
// may cross, overlap or touch, except an edge and its exact reverse (a cut-in), neighbouring
// edges at their corner, and other edges at a cut-in's ends.
std::string faultOf(const Region& region) {
  struct Edge {
    Point a, b;
    std::size_t contour, index, count;
  };
  std::vector<Edge> edges;
  for (std::size_t c = 0; c < region.size(); ++c) {
    const Contour& k = region[c];
    if (k.size() < 4 || k.front() != k.back()) return "a contour that does not close";
    for (std::size_t i = 0; i + 1 < k.size(); ++i)
      edges.push_back({k[i], k[i + 1], c, i, k.size() - 1});
  }
  std::set<Point> cutInEnds;
  for (const Edge& s : edges)
    for (const Edge& t : edges)
      if (s.a == t.b && s.b == t.a) cutInEnds.insert(s.a);
  for (std::size_t i = 0; i < edges.size(); ++i)
    for (std::size_t j = i + 1; j < edges.size(); ++j) {
      const Edge &s = edges[i], &t = edges[j];
      if (s.a == t.b && s.b == t.a) continue;
      bool bad;
      if (s.contour == t.contour && t.index == s.index + 1)
        bad = fold(s.b, s.a, t.b);
      else if (s.contour == t.contour && s.index == 0 && t.index == s.count - 1)
        bad = fold(s.a, s.b, t.a);
      else if ((s.a == t.a || s.a == t.b) && cutInEnds.count(s.a))
        bad = fold(s.a, s.b, s.a == t.a ? t.b : t.a);
      else if ((s.b == t.a || s.b == t.b) && cutInEnds.count(s.b))
        bad = fold(s.b, s.a, s.b == t.a ? t.b : t.a);
      else
        bad = touch(s.a, s.b, t.a, t.b);
      if (bad)
        return "edges " + std::to_string(i) + " and " + std::to_string(j) + " meet near (" +
               std::to_string(s.a.first) + ", " + std::to_string(s.a.second) + ")";
    }
  return "";
}

// The nonzero winding number of the region's contours round (x, y).
int winding(const Region& region, double x, double y) {
  int w = 0;
  for (const Contour& c : region)
    for (std::size_t i = 0; i + 1 < c.size(); ++i) {
      const double ax = double(c[i].first), ay = double(c[i].second);
      const double bx = double(c[i + 1].first), by = double(c[i + 1].second);
      const double side = (bx - ax) * (y - ay) - (by - ay) * (x - ax);
      if (ay <= y && by > y && side > 0) ++w;
      if (ay > y && by <= y && side < 0) --w;
    }
  return w;
}

// Samples of the true glyph outline farther than this from its edge (micrometres) must be
// filled or empty in the file as in the font: curves are written within 40 um of the outline,
// and aligning the boxes costs at most 20 um more.
constexpr double kMargin = 70;

TEST(GerberRegions, EveryGlyphIsSimpleWithItsHolesEmpty) {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(1000);
  font.setHintingPreference(QFont::PreferNoHinting);
  const QRawFont raw = QRawFont::fromFont(font);
  ASSERT_TRUE(raw.isValid());
  // Printable ASCII, and the Latin-1 letters the font draws from overlapping pieces.
  std::string glyphs = "\xC5\xC7\xE7";
  for (int c = 0x21; c < 0x7F; ++c) glyphs += char(c);
  for (const int size : {5, 20, 50}) {
    auto b = makeBoard();
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
      TextItem t;
      t.text.set(glyphs.substr(i, 1));
      t.size = uint8_t(size);
      t.x = uint16_t(300 + 24 * (i % 10));
      t.y = uint16_t(200 + 24 * (i / 10));
      b->addText(t);
    }
    // Each region belongs to the text nearest to its box's centre.
    std::map<int, std::vector<Region>> byText;
    for (const Region& r : regionsIn(fabFileText(*b, FabFile::Layer1))) {
      long long x0 = 1LL << 50, x1 = -x0, y0 = x0, y1 = -x0;
      for (const Contour& c : r)
        for (const Point& p : c) {
          x0 = std::min(x0, p.first), x1 = std::max(x1, p.first);
          y0 = std::min(y0, p.second), y1 = std::max(y1, p.second);
        }
      int nearest = 0;
      double best = 1e300;
      for (int i = 0; i < b->TextCount; ++i) {
        const TextItem& t = b->TextTable[std::size_t(i)];
        const double d = std::hypot(double(fabX(*b, textX(t)) - (x0 + x1) / 2),
                                    double(fabY(*b, t.y) - (y0 + y1) / 2));
        if (d < best) best = d, nearest = i;
      }
      byText[nearest].push_back(r);
    }
    const double em = printTextBasePoints(size, 100) * 25400.0 / 72;  // micrometres
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
      const int c = static_cast<unsigned char>(glyphs[i]);
      SCOPED_TRACE("glyph " + std::to_string(c) + " at size " + std::to_string(size));
      const std::vector<Region>& regions = byText[int(i)];
      ASSERT_FALSE(regions.empty());
      for (const Region& r : regions) EXPECT_EQ(faultOf(r), "");

      // The font's outline in micrometres, flattened within half a micrometre, y up.
      const QVector<quint32> index = raw.glyphIndexesForString(QString(QChar(char16_t(c))));
      const QList<QPolygonF> outline = QTransform::fromScale(em / 1000, -em / 1000)
                                           .map(raw.pathForGlyph(index[0]))
                                           .toSubpathPolygons();
      QRectF box;
      for (const QPolygonF& p : outline) box |= p.boundingRect();
      double x0 = 1e300, x1 = -x0, y0 = x0, y1 = -x0;
      for (const Region& r : regions)
        for (const Contour& k : r)
          for (const Point& p : k) {
            x0 = std::min(x0, p.first / 1e3), x1 = std::max(x1, p.first / 1e3);
            y0 = std::min(y0, p.second / 1e3), y1 = std::max(y1, p.second / 1e3);
          }
      const QPointF shift = QPointF((x0 + x1) / 2, (y0 + y1) / 2) - box.center();
      // Samples on a grid, and the box's centre, which lies in the bowl of o, O, 0 and D.
      std::vector<QPointF> samples{box.center()};
      for (int i = 0; i <= 40; ++i)
        for (int j = 0; j <= 40; ++j)
          samples.emplace_back(box.left() + box.width() * i / 40,
                               box.top() + box.height() * j / 40);
      int mismatches = 0;
      for (std::size_t s = 0; s < samples.size(); ++s) {
        const QPointF p = samples[s];
        double distance = 1e300;
        bool filled = false;
        for (const QPolygonF& poly : outline) {
          filled = filled != poly.containsPoint(p, Qt::OddEvenFill);
          for (int i = 0; i + 1 < poly.size(); ++i) {
            const QPointF a = poly[i], d = poly[i + 1] - a;
            const double len2 = QPointF::dotProduct(d, d);
            const double u =
                len2 > 0 ? std::clamp(QPointF::dotProduct(p - a, d) / len2, 0.0, 1.0) : 0;
            const QPointF near = a + u * d - p;
            distance = std::min(distance, std::hypot(near.x(), near.y()));
          }
        }
        if (s == 0 && std::string("oO0D").find(char(c)) != std::string::npos) {
          EXPECT_TRUE(!filled && distance > kMargin) << "the bowl's centre is clear of the ink";
        }
        if (distance <= kMargin) continue;
        bool covered = false;
        for (const Region& r : regions)
          covered = covered || winding(r, (p.x() + shift.x()) * 1e3, (p.y() + shift.y()) * 1e3);
        if (covered != filled) ++mismatches;
      }
      EXPECT_EQ(mismatches, 0) << "samples filled in the font but not in the file, or the reverse";
    }
  }
}

}  // namespace
}  // namespace fw
