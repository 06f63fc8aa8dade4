#include "check/DesignCheck.h"

#include <algorithm>
#include <cmath>

namespace fw {

namespace {

constexpr double kNmPerMm = 1e6;

class Checker {
 public:
  Checker(const Connectivity& c, const CheckRules& rules)
      : c_(c), pieces_(c.copper().pieces()), rules_(rules) {}

  std::vector<Finding> run() {
    clearances();
    for (std::size_t i = 0; i < pieces_.size(); ++i) {
      const CopperPiece& p = pieces_[i];
      edge(p);
      if (p.item.kind == CopperKind::Track) track(int(i));
      if (p.item.kind == CopperKind::Pad) pad(int(i));
    }
    std::stable_sort(out_.begin(), out_.end(), [](const Finding& a, const Finding& b) {
      return std::pair(a.severity, a.kind) < std::pair(b.severity, b.kind);
    });
    return std::move(out_);
  }

 private:
  static int layerOf(const CopperPiece& p) {
    return p.layers == (kOnLayer1 | kOnLayer2) ? kBothLayers
           : p.layers == kOnLayer1             ? kLayer1
                                               : kLayer2;
  }

  Finding& add(FindingKind kind, Severity severity, int layer, Vec2 at, const CopperItem& item) {
    Finding f;
    f.kind = kind;
    f.severity = severity;
    f.layer = layer;
    f.xMm = at.x / kNmPerMm;
    f.yMm = at.y / kNmPerMm;
    f.item = item;
    out_.push_back(f);
    return out_.back();
  }

  void values(Finding& f, double measuredNm, double requiredMm) {
    f.hasValues = true;
    f.measuredMm = measuredNm / kNmPerMm;
    f.requiredMm = requiredMm;
  }

  // Every pair of pieces of different islands on a layer that come within the clearance, in
  // the order of layer and pieces. Two pads lie on both layers: they are reported once, for
  // both.
  void clearances() {
    const double clearance = rules_.clearanceMm * kNmPerMm;
    if (!(clearance > 0)) return;
    for (int layer : {kLayer1, kLayer2}) {
      std::vector<std::pair<int, int>> close;
      c_.copper().forEachNearPair(layer, clearance, [&](int i, int j) {
        if (c_.islandOfPiece(i) == c_.islandOfPiece(j)) return;
        const CopperPiece& p = pieces_[std::size_t(i)];
        const CopperPiece& q = pieces_[std::size_t(j)];
        if (layer == kLayer2 && layerOf(p) == kBothLayers && layerOf(q) == kBothLayers) return;
        if (!shapesWithin(p.shape, q.shape, clearance - kTouchNm)) return;
        close.emplace_back(i, j);
      });
      std::sort(close.begin(), close.end());
      for (const auto& [i, j] : close) {
        const CopperPiece& p = pieces_[std::size_t(i)];
        const CopperPiece& q = pieces_[std::size_t(j)];
        Vec2 at;
        const double gap = shapeGap(p.shape, q.shape, &at);
        if (gap >= clearance - kTouchNm) continue;
        const bool bothPads = layerOf(p) == kBothLayers && layerOf(q) == kBothLayers;
        Finding& f = add(FindingKind::Clearance, Severity::Error, bothPads ? kBothLayers : layer,
                         at, p.item);
        f.other = q.item;
        values(f, gap, rules_.clearanceMm);
      }
    }
  }

  // The side of the frame the piece comes nearest, or passes.
  void edge(const CopperPiece& p) {
    const Bounds b = p.shape.bounds();
    const double w = c_.copper().frameWidth(), h = c_.copper().frameHeight();
    const double sides[4] = {b.minX, w - b.maxX, b.minY, h - b.maxY};
    static const int dx[4] = {-1, 1, 0, 0}, dy[4] = {0, 0, -1, 1};
    const int k = int(std::min_element(sides, sides + 4) - sides);
    if (sides[k] >= rules_.edgeMm * kNmPerMm - kTouchNm) return;
    Finding& f = add(sides[k] < 0 ? FindingKind::OutsideFrame : FindingKind::EdgeClearance,
                     Severity::Error, layerOf(p), p.shape.extreme(dx[k], dy[k]), p.item);
    values(f, sides[k], rules_.edgeMm);
  }

  void track(int i) {
    const CopperPiece& p = pieces_[std::size_t(i)];
    if (p.width < rules_.minWidthMm * kNmPerMm - kTouchNm) {
      Finding& f = add(FindingKind::TrackWidth, Severity::Error, layerOf(p),
                       {(p.shape.a.x + p.shape.b.x) / 2, (p.shape.a.y + p.shape.b.y) / 2}, p.item);
      values(f, p.width, rules_.minWidthMm);
    }
    for (int end = 0; end < 2; ++end)
      if (!c_.trackEndJoined(i, end))
        add(FindingKind::DanglingEnd, Severity::Warning, layerOf(p),
            end == 0 ? p.shape.a : p.shape.b, p.item);
  }

  // The ring is what is left of the pad's smaller side around the finished hole.
  void pad(int i) {
    const CopperPiece& p = pieces_[std::size_t(i)];
    const Vec2 centre{(p.shape.a.x + p.shape.b.x) / 2, (p.shape.a.y + p.shape.b.y) / 2};
    const double hole = rules_.holeUm[std::size_t(p.sizeRow)] * 1000.0;
    const double ring = (p.width - hole) / 2;
    if (ring < rules_.minRingMm * kNmPerMm - kTouchNm) {
      Finding& f = add(FindingKind::PadRing, Severity::Error, kBothLayers, centre, p.item);
      values(f, ring, rules_.minRingMm);
    }
    if (!c_.padHasTrack(i))
      add(FindingKind::UnusedPad, Severity::Information, kBothLayers, centre, p.item);
  }

  const Connectivity& c_;
  const std::vector<CopperPiece>& pieces_;
  const CheckRules& rules_;
  std::vector<Finding> out_;
};

}  // namespace

std::vector<Finding> checkBoard(const Connectivity& connectivity, const CheckRules& rules) {
  return Checker(connectivity, rules).run();
}

const char* findingKindName(FindingKind kind) {
  switch (kind) {
    case FindingKind::Clearance:
      return "clearance";
    case FindingKind::TrackWidth:
      return "track-width";
    case FindingKind::PadRing:
      return "pad-ring";
    case FindingKind::EdgeClearance:
      return "edge-clearance";
    case FindingKind::OutsideFrame:
      return "outside-frame";
    case FindingKind::DanglingEnd:
      return "dangling-end";
    case FindingKind::UnusedPad:
      return "unused-pad";
  }
  return "";
}

const char* severityName(Severity severity) {
  switch (severity) {
    case Severity::Error:
      return "error";
    case Severity::Warning:
      return "warning";
    case Severity::Information:
      return "information";
  }
  return "";
}

const char* findingLayerName(int layer) {
  return layer == kLayer1 ? "layer1" : layer == kLayer2 ? "layer2" : "both";
}

const char* copperKindName(CopperKind kind) {
  return kind == CopperKind::Pad ? "pin" : kind == CopperKind::Track ? "segment" : "text";
}

}  // namespace fw
