#include "kicad/KicadFootprint.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "board/ObjectGeometry.h"
#include "board/PrintTables.h"
#include "board/View.h"
#include "files/FileIo.h"
#include "kicad/KicadGeometry.h"
#include "kicad/SExpr.h"

namespace fw {

using kicad::kPi;
using kicad::PointMm;

namespace {

// A pad 1 mark of the footprint's own lies this near pad 1 ...
constexpr double kOwnMarkReachMm = 2.54;
// ... and this much nearer to it than the silkscreen comes to any other pad.
constexpr double kOwnMarkMarginMm = 0.1;
// KiCad's usual silkscreen line where a file gives no width.
constexpr double kDefaultSilkWidthMm = 0.12;
// The added pad 1 mark: a line of this width index, two units long, a unit clear of the pad.
constexpr int kMarkWidthIndex = 1;
constexpr int kTextSizePerMm = 8;
// An object file keeps 49 characters of a description (its record's length byte and 49).
constexpr std::size_t kDescriptionFileChars = 49;

struct PadMm {
  PointMm at;
  int sizeIndex = 0;
  int style = 0;
  bool first = false;  // numbered "1"
};

struct WireMm {
  std::vector<PointMm> points;
  int widthIndex = 0;
};

struct TextMm {
  PointMm at;
  double height = 1;
  std::string text;
};

bool toNumber(std::string_view s, double& v) {
  const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && ptr == s.data() + s.size() && std::isfinite(v) && std::abs(v) < 1e6;
}

// (key x y ...) inside `list`: the two numbers after the keyword.
bool pointOf(const SExpr& list, std::string_view key, PointMm& p) {
  const SExpr* e = list.find(key);
  return e && toNumber(e->atomAt(1), p.x) && toNumber(e->atomAt(2), p.y);
}

bool onFrontSilk(const SExpr& item) {
  const SExpr* layer = item.find("layer");
  return layer && (layer->atomAt(1) == "F.SilkS" || layer->atomAt(1) == "F.Silkscreen");
}

int silkWidthIndex(const SExpr& item) {
  double w = kDefaultSilkWidthMm;
  const SExpr* e = item.find("width");
  if (!e)
    if (const SExpr* stroke = item.find("stroke")) e = stroke->find("width");
  if (e) toNumber(e->atomAt(1), w);
  return kicad::nearestSize(w, kPrintWireWidth, kWireWidths);
}

std::string where(const SExpr& e) {
  return "line " + std::to_string(e.line) + ": ";
}

class Importer {
 public:
  explicit Importer(KicadImportReport& report) : report_(report) {}

  bool read(const SExpr& root) {
    if (root.head() != "footprint" && root.head() != "module")
      return refuse("not a KiCad footprint: the file does not begin with 'footprint' or 'module'");
    report_.name = std::string(root.atomAt(1));
    std::string description = report_.name;
    if (const SExpr* d = root.find("descr"); d && !d->atomAt(1).empty())
      description += ": " + std::string(d->atomAt(1));
    description_ = description.substr(0, kDescriptionFileChars);
    while (!description_.empty() && description_.back() == ' ') description_.pop_back();
    for (const SExpr& item : root.items) {
      if (!item.isList) continue;
      const std::string_view key = item.head();
      bool ok = true;
      if (key == "pad")
        ok = pad(item);
      else if (key == "fp_text" && item.atomAt(1) == "reference")
        ok = text(item, item.atomAt(2));
      else if (key == "property" && item.atomAt(1) == "Reference")
        ok = text(item, item.atomAt(2));
      else if (onFrontSilk(item))
        ok = silk(item);
      if (!ok) return false;
    }
    if (pads_.empty())
      return refuse("no through-hole pad" +
                    (report_.smdPadsSkipped > 0
                         ? " (" + std::to_string(report_.smdPadsSkipped) + " SMD pads skipped)"
                         : std::string()) +
                    ": nothing to make pins of");
    if (pads_.size() > std::size_t{kPinCapacity}) return refuse("more pads than a board holds");
    return true;
  }

  bool make(bool acceptRounding, ObjectData& out);

 private:
  bool refuse(const std::string& reason) {
    report_.refused = true;
    report_.reason = reason;
    return false;
  }

  bool pad(const SExpr& item) {
    const std::string_view type = item.atomAt(2);
    if (type != "thru_hole" && type != "np_thru_hole") {
      ++report_.smdPadsSkipped;
      return true;
    }
    PadMm p;
    const SExpr* at = item.find("at");
    double w = 0, h = 0, rot = 0;
    if (!pointOf(item, "at", p.at)) return refuse(where(item) + "a pad without its position");
    if (const SExpr* size = item.find("size");
        !size || !toNumber(size->atomAt(1), w) || !toNumber(size->atomAt(2), h) || w < 0 || h < 0)
      return refuse(where(item) + "a pad without its size");
    if (at->items.size() > 3 && !toNumber(at->atomAt(3), rot))
      return refuse(where(*at) + "a pad's rotation is not a number");
    p.sizeIndex = kicad::nearestSize(std::min(w, h), kPrintPadSize, kPinSizes);
    const std::string_view shape = item.atomAt(3);
    if ((shape == "oval" || shape == "roundrect") && std::abs(w - h) > 1e-6) {
      // The direction of the longer side after the pad turns.
      const double a = (rot + (w > h ? 0 : 90)) * kPi / 180;
      p.style = std::abs(std::cos(a)) >= std::abs(std::sin(a)) ? 1 : 2;
    }
    p.first = item.atomAt(1) == "1";
    pads_.push_back(p);
    return true;
  }

  bool text(const SExpr& item, std::string_view value) {
    TextMm t;
    if (!pointOf(item, "at", t.at)) return refuse(where(item) + "the reference has no position");
    if (const SExpr* effects = item.find("effects"))
      if (const SExpr* font = effects->find("font"))
        if (const SExpr* size = font->find("size")) toNumber(size->atomAt(1), t.height);
    t.text = std::string(value.substr(0, 32));
    texts_.push_back(t);
    return true;
  }

  bool silk(const SExpr& item) {
    const std::string_view key = item.head();
    WireMm wire;
    wire.widthIndex = silkWidthIndex(item);
    PointMm a, b, c;
    if (key == "fp_line" && pointOf(item, "start", a) && pointOf(item, "end", b)) {
      wire.points = {a, b};
    } else if (key == "fp_rect" && pointOf(item, "start", a) && pointOf(item, "end", b)) {
      wire.points = {a, {b.x, a.y}, b, {a.x, b.y}, a};
    } else if (key == "fp_poly") {
      const SExpr* pts = item.find("pts");
      if (!pts) return refuse(where(item) + "a polygon without points");
      for (const SExpr& xy : pts->items)
        if (xy.isList && xy.head() == "xy" && toNumber(xy.atomAt(1), a.x) &&
            toNumber(xy.atomAt(2), a.y))
          wire.points.push_back(a);
      if (!wire.points.empty()) wire.points.push_back(wire.points.front());
    } else if (key == "fp_circle" && pointOf(item, "center", a) && pointOf(item, "end", b)) {
      wire.points = kicad::arcPolyline(a, b, 2 * kPi);
    } else if (key == "fp_arc" && pointOf(item, "start", a) && pointOf(item, "end", b)) {
      double angle = 0;
      if (pointOf(item, "mid", c)) {
        wire.points = kicad::arcThrough(a, c, b);
      } else if (const SExpr* e = item.find("angle"); e && toNumber(e->atomAt(1), angle)) {
        // KiCad 5: the centre, the arc's first point, and the turn in degrees.
        wire.points = kicad::arcPolyline(a, b, angle * kPi / 180);
      } else {
        return refuse(where(item) + "an arc with neither a middle point nor an angle");
      }
    } else if (key == "fp_line" || key == "fp_rect" || key == "fp_circle" || key == "fp_arc") {
      return refuse(where(item) + "a " + std::string(key) + " without its points");
    }
    if (wire.points.size() >= 2) wires_.push_back(std::move(wire));
    return true;
  }

  // The pad that stands for pad 1: the one numbered "1", or the first.
  const PadMm& padOne() const {
    for (const PadMm& p : pads_)
      if (p.first) return p;
    return pads_.front();
  }

  bool marksPadOne() const {
    const PadMm& one = padOne();
    double own = std::numeric_limits<double>::max();
    double others = std::numeric_limits<double>::max();
    for (const WireMm& w : wires_)
      for (const PointMm& q : w.points) {
        own = std::min(own, kicad::distance(q, one.at));
        for (const PadMm& p : pads_)
          if (&p != &one) others = std::min(others, kicad::distance(q, p.at));
      }
    return own <= kOwnMarkReachMm && own + kOwnMarkMarginMm <= others;
  }

  KicadImportReport& report_;
  std::string description_;
  std::vector<PadMm> pads_;
  std::vector<WireMm> wires_;
  std::vector<TextMm> texts_;
};

// Board units, before the footprint is moved onto the board.
struct Units {
  int x, y;
};

bool Importer::make(bool acceptRounding, ObjectData& out) {
  std::vector<double> xs, ys;
  for (const PadMm& p : pads_) {
    xs.push_back(p.at.x / kicad::kBoardUnitMm);
    ys.push_back(p.at.y / kicad::kBoardUnitMm);
  }
  const double ox = kicad::bestOffset(xs), oy = kicad::bestOffset(ys);
  auto units = [&](PointMm p) {
    return Units{static_cast<int>(std::lround(p.x / kicad::kBoardUnitMm + ox)),
                 static_cast<int>(std::lround(p.y / kicad::kBoardUnitMm + oy))};
  };
  double worst = 0;
  for (std::size_t i = 0; i < pads_.size(); ++i) {
    const double ex = xs[i] + ox - std::round(xs[i] + ox), ey = ys[i] + oy - std::round(ys[i] + oy);
    worst = std::max(worst, std::hypot(ex, ey) * kicad::kBoardUnitMm);
  }
  report_.largestErrorMm = worst;
  if (worst > kKicadMaxRoundingMm && !acceptRounding) {
    report_.refusedForRounding = true;
    char mm[16];
    std::snprintf(mm, sizeof mm, "%.3f", worst);
    return refuse(std::string("rounding to the 0.635 mm board unit moves a pad by ") + mm +
                  " mm, more than 0.2 mm; accept the rounding to import it");
  }

  // Pad 1 first, so that it is the anchor put on the grid.
  const PadMm& one = padOne();
  std::vector<const PadMm*> order{&one};
  for (const PadMm& p : pads_)
    if (&p != &one) order.push_back(&p);

  std::vector<std::vector<Units>> wires;
  std::vector<int> widths;
  for (const WireMm& w : wires_) {
    std::vector<Units> points;
    for (const PointMm& q : w.points) {
      const Units u = units(q);
      if (points.empty() || points.back().x != u.x || points.back().y != u.y) points.push_back(u);
    }
    if (points.size() < 2) continue;  // a curve smaller than a board unit
    wires.push_back(std::move(points));
    widths.push_back(w.widthIndex);
  }
  if (!marksPadOne()) {
    // A line two units long, a unit clear of pad 1, on the side facing away from the pads'
    // middle (to the left when pad 1 is the middle).
    double mx = 0, my = 0;
    for (const PadMm& p : pads_) {
      mx += p.at.x / pads_.size();
      my += p.at.y / pads_.size();
    }
    const double dx = one.at.x - mx, dy = one.at.y - my;
    const Units p = units(one.at);
    const int clear = (kPrintPadSize[one.sizeIndex] / kUnitsPer360 + 1) / 2 + 1;
    if (std::abs(dx) >= std::abs(dy)) {
      const int s = dx > 1e-9 ? 1 : -1;
      wires.push_back({{p.x + s * clear, p.y}, {p.x + s * (clear + 2), p.y}});
    } else {
      const int s = dy > 0 ? 1 : -1;
      wires.push_back({{p.x, p.y + s * clear}, {p.x, p.y + s * (clear + 2)}});
    }
    widths.push_back(kMarkWidthIndex);
    report_.pad1Marked = true;
  }

  // Centred on the board's middle with pad 1 on the grid, as the starter library does.
  int loX = std::numeric_limits<int>::max(), hiX = std::numeric_limits<int>::min();
  int loY = loX, hiY = hiX;
  for (const PadMm* p : order) {
    const Units u = units(p->at);
    loX = std::min(loX, u.x), hiX = std::max(hiX, u.x);
    loY = std::min(loY, u.y), hiY = std::max(hiY, u.y);
  }
  const Units first = units(one.at);
  const int dx = centringShift(loX, hiX, first.x, kCenterBoardX);
  const int dy = centringShift(loY, hiY, first.y, kCenterBoardY);
  bool inside = true;
  auto place = [&](Units u, uint16_t& x, uint16_t& y) {
    u.x += dx;
    u.y += dy;
    if (u.x < 0 || u.x > kMaxBoardX || u.y < 0 || u.y > kMaxBoardY) inside = false;
    x = static_cast<uint16_t>(std::clamp(u.x, 0, kMaxBoardX));
    y = static_cast<uint16_t>(std::clamp(u.y, 0, kMaxBoardY));
  };

  ObjectData o;
  for (const PadMm* p : order) {
    Pin pin;
    place(units(p->at), pin.x, pin.y);
    pin.sizeIndex = static_cast<uint8_t>(p->sizeIndex);
    pin.style = static_cast<uint8_t>(p->style);
    o.pins.push_back(pin);
  }
  for (std::size_t i = 0; i < wires.size(); ++i)
    for (std::size_t k = 0; k < wires[i].size(); ++k) {
      WirePoint point;
      place(wires[i][k], point.x, point.y);
      if (k == 0) {
        point.x = static_cast<uint16_t>(point.x + WireStartFlag);
        point.y = static_cast<uint16_t>(point.y + WireStartFlag);
        point.attr = kWireStartAttr;
      } else {
        point.attr = static_cast<uint8_t>(kGraphic * 16 + widths[i]);
      }
      o.points.push_back(point);
    }
  for (const TextMm& t : texts_) {
    // KiCad places a text by its middle; ours stands at its top-left corner.
    const double width = 0.6 * t.height * static_cast<double>(t.text.size());
    TextItem text;
    uint16_t x = 0;
    place(units({t.at.x - width / 2, t.at.y - t.height / 2}), x, text.y);
    text.x = static_cast<uint16_t>(kGraphic * 4096 + x);
    text.size = static_cast<uint8_t>(std::clamp(
        static_cast<int>(std::lround(t.height * kTextSizePerMm)), kMinTextSize, kMaxTextSize));
    text.text.set(t.text);
    o.texts.push_back(text);
  }
  if (o.points.size() > std::size_t{kWirePointCapacity})
    return refuse("more silkscreen points than a board holds");
  if (!inside) return refuse("the footprint does not fit on the board around its middle");
  o.description.set(description_);
  report_.pins = static_cast<int>(o.pins.size());
  out = std::move(o);
  return true;
}

}  // namespace

bool importKicadFootprint(std::string_view text, bool acceptRounding, ObjectData& out,
                          KicadImportReport& report) {
  out = ObjectData{};
  report = KicadImportReport{};
  SExpr root;
  std::string error;
  if (!parseSExpr(text, root, error)) {
    report.refused = true;
    report.reason = error;
    return false;
  }
  Importer importer(report);
  return importer.read(root) && importer.make(acceptRounding, out);
}

bool importKicadFootprintFile(const std::string& path, bool acceptRounding, ObjectData& out,
                              KicadImportReport& report) {
  std::vector<uint8_t> bytes;
  std::string error;
  // One byte past the reader's limit, so that a longer file is refused for its size.
  if (!readFileBytes(path, SExprLimits{}.maxFileSize + 1, bytes, error)) {
    out = ObjectData{};
    report = KicadImportReport{};
    report.refused = true;
    report.reason = error;
    return false;
  }
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return importKicadFootprint(text, acceptRounding, out, report);
}

}  // namespace fw
