#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "board/PrintTables.h"
#include "board/View.h"
#include "files/ObjectLibrary.h"

// The starter library as the build turns it into object files: every footprint's pads where the
// part's leads go, pin 1 where it is expected and marked, and its outline clear of its pads as
// they are etched.

namespace fw {
namespace {

constexpr double kUnitMm = 0.635;
constexpr double kDotMm = 25.4 / 360;  // the print tables' unit
constexpr double kOutlineClearanceMm = 0.3;
constexpr double kPadGapMm = 0.6;  // the library's rule for neighbouring pads
constexpr double kToleranceMm = 0.01;

struct Vec {
  double x = 0, y = 0;
};
Vec operator+(Vec a, Vec b) {
  return {a.x + b.x, a.y + b.y};
}
Vec operator-(Vec a, Vec b) {
  return {a.x - b.x, a.y - b.y};
}
Vec operator*(double k, Vec a) {
  return {k * a.x, k * a.y};
}
double dot(Vec a, Vec b) {
  return a.x * b.x + a.y * b.y;
}
double cross(Vec a, Vec b) {
  return a.x * b.y - a.y * b.x;
}
double length(Vec a) {
  return std::hypot(a.x, a.y);
}

double pointToSegment(Vec p, Vec a, Vec b) {
  const Vec d = b - a;
  const double l = dot(d, d);
  const double t = l == 0 ? 0 : std::clamp(dot(p - a, d) / l, 0.0, 1.0);
  return length(p - (a + t * d));
}
double segmentToSegment(Vec p, Vec q, Vec a, Vec b) {
  const double s1 = cross(b - a, p - a), s2 = cross(b - a, q - a);
  const double s3 = cross(q - p, a - p), s4 = cross(q - p, b - p);
  if (((s1 < 0 && s2 > 0) || (s1 > 0 && s2 < 0)) && ((s3 < 0 && s4 > 0) || (s3 > 0 && s4 < 0)))
    return 0;
  return std::min({pointToSegment(p, a, b), pointToSegment(q, a, b), pointToSegment(a, p, q),
                   pointToSegment(b, p, q)});
}

// Everything in mm. A pad as etched is the set of points within `radius` of its core a-b: a
// circle, or a stadium 1.6 times as long as wide along x (horizontal) or y (vertical).
struct Pad {
  Vec a, b;
  double radius = 0;
  Vec at;
  int size = 0, style = 0;
};
struct Wire {
  Vec a, b;
  double halfWidth = 0;
  int width = 0;
};
struct Ring {
  Vec at;
  double radius = 0;
  int size = 0;
};
struct Footprint {
  std::vector<Pad> pads;  // in pin order
  std::vector<Wire> wires;
  std::vector<Ring> rings;
  std::vector<Vec> plusSigns;
};  // positions from pin 1, as the library gives them

Vec unitsToMm(int x, int y) {
  return {x * kUnitMm, y * kUnitMm};
}

Footprint footprintOf(const ObjectData& o) {
  Footprint f;
  const auto first =
      std::find_if(o.pins.begin(), o.pins.end(), [](const Pin& p) { return !isGraphicPin(p); });
  const Vec pin1 = first == o.pins.end() ? Vec{} : unitsToMm(first->x, first->y);
  auto fromPin1 = [&](int x, int y) { return unitsToMm(x, y) - pin1; };
  for (const Pin& p : o.pins) {
    const double d = printPadSize(p.sizeIndex) * kDotMm;
    const Vec at = fromPin1(p.x, p.y);
    if (isGraphicPin(p)) {
      f.rings.push_back({at, d, p.sizeIndex});
      continue;
    }
    const Vec along = p.style == 1 ? Vec{0.3 * d, 0} : p.style == 2 ? Vec{0, 0.3 * d} : Vec{};
    f.pads.push_back({at - along, at + along, d / 2, at, p.sizeIndex, p.style});
  }
  for (std::size_t i = 1; i < o.points.size(); ++i) {
    const WirePoint& w = o.points[i];
    if (isWireStart(w) || wireLayer(w.attr) != kGraphic) continue;
    const WirePoint& from = o.points[i - 1];
    const int width = wireWidthIndex(w.attr);
    f.wires.push_back({fromPin1(from.x & kPositionMask, from.y & kPositionMask),
                       fromPin1(w.x & kPositionMask, w.y & kPositionMask),
                       printWireWidth(width) * kDotMm / 2, width});
  }
  for (const TextItem& t : o.texts)
    if (textLayer(t) == kGraphic && t.text.str() == "+")
      f.plusSigns.push_back(fromPin1(textX(t), t.y));
  return f;
}

// Clearances edge to edge, each fault one line.
std::string clearanceFaults(const Footprint& f) {
  const double ringHalfPen = printRingPen(zoomColumn(kDefaultZoomLevel)) * kDotMm / 2;
  std::ostringstream faults;
  for (std::size_t i = 0; i < f.pads.size(); ++i) {
    const Pad& p = f.pads[i];
    for (std::size_t j = i + 1; j < f.pads.size(); ++j) {
      const Pad& q = f.pads[j];
      const double gap = segmentToSegment(p.a, p.b, q.a, q.b) - p.radius - q.radius;
      if (gap < kPadGapMm) faults << "pads " << i + 1 << " and " << j + 1 << ": " << gap << "\n";
    }
    for (const Wire& w : f.wires) {
      const double gap = segmentToSegment(p.a, p.b, w.a, w.b) - p.radius - w.halfWidth;
      if (gap < kOutlineClearanceMm)
        faults << "pad " << i + 1 << ", the wire from " << w.a.x / kUnitMm << "," << w.a.y / kUnitMm
               << ": " << gap << "\n";
    }
    for (const Ring& r : f.rings) {
      // The core's distances from the ring's centre run from `nearest` to `farthest`.
      const double nearest = pointToSegment(r.at, p.a, p.b);
      const double farthest = std::max(length(p.a - r.at), length(p.b - r.at));
      const double apart = r.radius < nearest    ? nearest - r.radius
                           : r.radius > farthest ? r.radius - farthest
                                                 : 0;
      const double gap = apart - p.radius - ringHalfPen;
      if (gap < kOutlineClearanceMm) faults << "pad " << i + 1 << ", ring: " << gap << "\n";
    }
  }
  return faults.str();
}

enum class Layout {
  Line,      // pins in order along a line, `pitch` apart
  Dil,       // down one row, back up the other (anticlockwise), rows `rows` apart
  Zigzag,    // odd pins in one row, each even pin `rows` across from the odd one before it
  Triangle,  // pins 1 and 3 `pitch` apart, pin 2 `rows` off their middle, square to them
};
enum class Place { Left, TopLeft, BottomLeft };

bool near(double a, double b) {
  return std::abs(a - b) < kToleranceMm;
}
bool same(Vec a, Vec b) {
  return length(a - b) < kToleranceMm;
}

// Equal steps of `pitch` from pin `first`, `count` pins, all the same way.
bool evenRow(const std::vector<Pad>& p, std::size_t first, std::size_t count, std::size_t stride,
             double pitch) {
  const Vec step = p[first + stride].at - p[first].at;
  for (std::size_t k = 1; k < count; ++k) {
    const Vec d = p[first + k * stride].at - p[first + (k - 1) * stride].at;
    if (!same(d, step) || !near(length(d), pitch)) return false;
  }
  return true;
}

bool layoutHolds(const std::vector<Pad>& p, Layout layout, double pitch, double rows) {
  const std::size_t n = p.size();
  switch (layout) {
    case Layout::Line:
      return n < 2 || evenRow(p, 0, n, 1, pitch);
    case Layout::Dil: {
      const std::size_t h = n / 2;
      if (n % 2 != 0 || !evenRow(p, 0, h, 1, pitch) || !evenRow(p, h, h, 1, pitch)) return false;
      const Vec down = p[1].at - p[0].at, across = p[n - 1].at - p[0].at;
      for (std::size_t k = 0; k < h; ++k)
        if (!same(p[n - 1 - k].at - p[k].at, across)) return false;
      return near(length(across), rows) && near(dot(down, across), 0) && cross(down, across) < 0;
    }
    case Layout::Zigzag: {
      const std::size_t h = n / 2;
      if (n < 4 || n % 2 != 0 || !evenRow(p, 0, h, 2, pitch) || !evenRow(p, 1, h, 2, pitch))
        return false;
      const Vec across = p[1].at - p[0].at;
      return same(p[n - 1].at - p[n - 2].at, across) && near(length(across), rows) &&
             near(dot(across, p[2].at - p[0].at), 0);
    }
    case Layout::Triangle: {
      if (n != 3) return false;
      const Vec ends = p[2].at - p[0].at, off = p[1].at - 0.5 * (p[0].at + p[2].at);
      return near(length(ends), pitch) && near(length(off), rows) && near(dot(ends, off), 0);
    }
  }
  return false;
}

bool placeHolds(const std::vector<Pad>& p, Place place) {
  double left = p[0].at.x, top = p[0].at.y, bottom = p[0].at.y;
  for (const Pad& q : p) {
    left = std::min(left, q.at.x);
    top = std::min(top, q.at.y);
    bottom = std::max(bottom, q.at.y);
  }
  const bool isLeft = near(p[0].at.x, left);
  if (place == Place::TopLeft) return isLeft && near(p[0].at.y, top);
  if (place == Place::BottomLeft) return isLeft && near(p[0].at.y, bottom);
  return isLeft;
}

// A quarter turn `turns` times clockwise on screen (y grows downwards) about `c`.
Vec turned(Vec v, Vec c, int turns) {
  for (int i = 0; i < turns; ++i) v = c + Vec{-(v.y - c.y), v.x - c.x};
  return v;
}

// Whether every point of `wires` turned lies on a wire of the same width in `onto`.
bool wiresLieOn(const std::vector<Wire>& wires, Vec c, int turns, const std::vector<Wire>& onto) {
  for (const Wire& w : wires) {
    const Vec a = turned(w.a, c, turns), b = turned(w.b, c, turns);
    const int steps = 1 + int(length(b - a) / 0.05);
    for (int s = 0; s <= steps; ++s) {
      const Vec at = a + (double(s) / steps) * (b - a);
      if (std::none_of(onto.begin(), onto.end(), [&](const Wire& o) {
            return o.width == w.width && pointToSegment(at, o.a, o.b) < 1e-6;
          }))
        return false;
    }
  }
  return true;
}

// Pin 1 is marked when no turn of the part that lays the pads onto themselves but pin 1 onto
// another pin also lays the artwork onto itself: the graphic wires, rings and '+' signs. Other
// texts are labels and mark nothing. A part whose pads no turn maps onto themselves (the
// trimmers) is told by its pads. A '+' stands nearest to pin 1.
std::string markFault(const Footprint& f) {
  for (const Vec& plus : f.plusSigns)
    for (std::size_t i = 1; i < f.pads.size(); ++i)
      if (length(plus - f.pads[i].at) <= length(plus - f.pads[0].at))
        return "a '+' is no nearer pin 1 than pin " + std::to_string(i + 1);
  Vec lo = f.pads[0].at, hi = lo;
  for (const Pad& p : f.pads) {
    lo = {std::min(lo.x, p.at.x), std::min(lo.y, p.at.y)};
    hi = {std::max(hi.x, p.at.x), std::max(hi.y, p.at.y)};
  }
  const Vec c = 0.5 * (lo + hi);
  for (int turns = 1; turns < 4; ++turns) {
    std::vector<std::size_t> image;
    for (const Pad& p : f.pads) {
      const int style = p.style == 0 || turns % 2 == 0 ? p.style : 3 - p.style;
      const Vec at = turned(p.at, c, turns);
      const auto hit = std::find_if(f.pads.begin(), f.pads.end(), [&](const Pad& q) {
        return same(q.at, at) && q.size == p.size && q.style == style;
      });
      if (hit == f.pads.end()) break;
      image.push_back(std::size_t(hit - f.pads.begin()));
    }
    if (image.size() != f.pads.size() || image[0] == 0) continue;
    const bool ringsLie = std::all_of(f.rings.begin(), f.rings.end(), [&](const Ring& r) {
      return std::any_of(f.rings.begin(), f.rings.end(), [&](const Ring& o) {
        return o.size == r.size && same(o.at, turned(r.at, c, turns));
      });
    });
    const bool plusLies = std::all_of(f.plusSigns.begin(), f.plusSigns.end(), [&](Vec s) {
      return std::any_of(f.plusSigns.begin(), f.plusSigns.end(),
                         [&](Vec o) { return same(o, turned(s, c, turns)); });
    });
    std::vector<Wire> back;  // the artwork turned, to be laid back onto the drawing
    for (const Wire& w : f.wires)
      back.push_back({turned(w.a, c, turns), turned(w.b, c, turns), w.halfWidth, w.width});
    if (ringsLie && plusLies && wiresLieOn(f.wires, c, turns, f.wires) &&
        wiresLieOn(f.wires, c, 0, back))
      return "turned " + std::to_string(90 * turns) + " degrees, pin " +
             std::to_string(image[0] + 1) + " looks like pin 1";
  }
  return "";
}

struct Row {
  const char* file;
  int pins;
  Layout layout;
  double pitch, rows;  // mm; rows 0 where there is one row
  Place pin1;
  bool pin1Marked;  // false for parts that go in either way round
};

using L = Layout;
using P = Place;
const Row kRows[] = {
    {"dil8_300.kvo", 8, L::Dil, 2.54, 7.62, P::TopLeft, true},
    {"dil14_300.kvo", 14, L::Dil, 2.54, 7.62, P::TopLeft, true},
    {"dil16_300.kvo", 16, L::Dil, 2.54, 7.62, P::TopLeft, true},
    {"dil18_300.kvo", 18, L::Dil, 2.54, 7.62, P::TopLeft, true},
    {"dil20_300.kvo", 20, L::Dil, 2.54, 7.62, P::TopLeft, true},
    {"dil24_300.kvo", 24, L::Dil, 2.54, 7.62, P::TopLeft, true},
    {"dil28_300.kvo", 28, L::Dil, 2.54, 7.62, P::TopLeft, true},
    {"dil24_600.kvo", 24, L::Dil, 2.54, 15.24, P::TopLeft, true},
    {"dil28_600.kvo", 28, L::Dil, 2.54, 15.24, P::TopLeft, true},
    {"dil40_600.kvo", 40, L::Dil, 2.54, 15.24, P::TopLeft, true},
    {"header_1x2.kvo", 2, L::Line, 2.54, 0, P::Left, true},
    {"header_1x3.kvo", 3, L::Line, 2.54, 0, P::Left, true},
    {"header_1x4.kvo", 4, L::Line, 2.54, 0, P::Left, true},
    {"header_1x5.kvo", 5, L::Line, 2.54, 0, P::Left, true},
    {"header_1x6.kvo", 6, L::Line, 2.54, 0, P::Left, true},
    {"header_1x7.kvo", 7, L::Line, 2.54, 0, P::Left, true},
    {"header_1x8.kvo", 8, L::Line, 2.54, 0, P::Left, true},
    {"header_1x9.kvo", 9, L::Line, 2.54, 0, P::Left, true},
    {"header_1x10.kvo", 10, L::Line, 2.54, 0, P::Left, true},
    {"header_2x3.kvo", 6, L::Zigzag, 2.54, 2.54, P::BottomLeft, true},
    {"header_2x5.kvo", 10, L::Zigzag, 2.54, 2.54, P::BottomLeft, true},
    {"to92.kvo", 3, L::Line, 2.54, 0, P::Left, true},
    {"to220_standing.kvo", 3, L::Line, 2.54, 0, P::Left, true},
    {"resistor_762.kvo", 2, L::Line, 7.62, 0, P::Left, false},
    {"resistor_1016.kvo", 2, L::Line, 10.16, 0, P::Left, false},
    {"resistor_1270.kvo", 2, L::Line, 12.7, 0, P::Left, false},
    {"diode_762.kvo", 2, L::Line, 7.62, 0, P::Left, true},
    {"diode_1016.kvo", 2, L::Line, 10.16, 0, P::Left, true},
    {"diode_1270.kvo", 2, L::Line, 12.7, 0, P::Left, true},
    {"resistor_standing.kvo", 2, L::Line, 2.54, 0, P::Left, false},
    {"cap_radial_254.kvo", 2, L::Line, 2.54, 0, P::Left, true},
    {"cap_radial_508.kvo", 2, L::Line, 5.08, 0, P::Left, true},
    {"cap_ceramic_254.kvo", 2, L::Line, 2.54, 0, P::Left, false},
    {"cap_ceramic_508.kvo", 2, L::Line, 5.08, 0, P::Left, false},
    {"led_3mm.kvo", 2, L::Line, 2.54, 0, P::Left, true},
    {"led_5mm.kvo", 2, L::Line, 2.54, 0, P::Left, true},
    {"crystal_hc49.kvo", 2, L::Line, 5.08, 0, P::Left, false},
    {"trimmer_rm5.kvo", 3, L::Triangle, 5.08, 2.54, P::TopLeft, true},
    {"trimmer_10mm.kvo", 3, L::Triangle, 10.16, 5.08, P::BottomLeft, true},
    {"screw_terminal_2.kvo", 2, L::Line, 5.08, 0, P::Left, false},
    {"screw_terminal_3.kvo", 3, L::Line, 5.08, 0, P::Left, false},
};

TEST(StarterLibrary, EveryFootprintHasItsPinsInPlaceMarkedAndClearOfItsOutline) {
  std::ifstream in(FW_STARTER_LIBRARY);
  ASSERT_TRUE(in) << FW_STARTER_LIBRARY;
  std::stringstream text;
  text << in.rdbuf();
  std::vector<LibraryObject> lib;
  std::string error;
  ASSERT_TRUE(parseObjectLibrary(text.str(), lib, error)) << error;

  std::map<std::string, const Row*> rows;
  for (const Row& r : kRows) rows[r.file] = &r;
  for (const LibraryObject& o : lib) {
    SCOPED_TRACE(o.fileName);
    const auto row = rows.find(o.fileName);
    ASSERT_NE(row, rows.end()) << "a footprint without a row in kRows";
    const Row& r = *row->second;
    rows.erase(row);
    const Footprint f = footprintOf(o.object);
    ASSERT_EQ(int(f.pads.size()), r.pins);
    EXPECT_TRUE(layoutHolds(f.pads, r.layout, r.pitch, r.rows)) << "pitch or rows";
    EXPECT_TRUE(placeHolds(f.pads, r.pin1)) << "pin 1's place";
    if (r.pin1Marked) {
      EXPECT_EQ(markFault(f), "");
    }
    EXPECT_EQ(clearanceFaults(f), "");
  }
  for (const auto& [file, row] : rows) ADD_FAILURE() << file << " is not in the library";
}

}  // namespace
}  // namespace fw
