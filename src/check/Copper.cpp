#include "check/Copper.h"

#include <algorithm>
#include <thread>

#include "board/Geometry.h"
#include "board/PrintTables.h"
#include "board/View.h"
#include "check/CopperIndex.h"

namespace fw {

namespace {

constexpr double kUnitNm = 635000;  // one board unit, 9/360 inch

bool isPad(const Pin& p) {
  return !isGraphicPin(p) && p.style <= 2;
}

bool isCopperLayer(int layer) {
  return layer == kLayer1 || layer == kLayer2;
}

}  // namespace

struct CopperMap::Index {
  RTree trees[2];
};

double CopperMap::frameX(int x) const {
  return double(2 * x - frameLeft2_) * kUnitNm / 2;
}

double CopperMap::frameY(int y) const {
  return double(frameBottom2_ - 2 * y) * kUnitNm / 2;
}

CopperMap::CopperMap(const Board& b, const TextExtentFn& textExtent)
    : index_(std::make_unique<Index>()) {
  // The frame's lower left corner is the origin, as the Gerber export puts it: an odd frame
  // size puts the frame's edges half a unit between board positions, where the screen draws
  // them.
  frameLeft2_ = frameEdges2(b).left;
  frameBottom2_ = frameEdges2(b).bottom;
  frameWidth_ = b.FrameWidth * kUnitNm;
  frameHeight_ = b.FrameHeight * kUnitNm;
  const auto add = [&](CopperItem item, int layers, const CopperShape& shape, double width,
                       int sizeRow = 0) {
    const int n = int(pieces_.size());
    pieces_.push_back({item, layers, shape, width, sizeRow});
    if (layers & kOnLayer1) onLayer_[0].push_back(n);
    if (layers & kOnLayer2) onLayer_[1].push_back(n);
    return n;
  };

  pieces_.reserve(std::size_t(std::max(b.PinCount, 0)) +
                  std::size_t(std::max(b.WirePointCount, 0)) +
                  std::size_t(std::max(b.TextCount, 0)));
  pieceOfPin_.assign(std::size_t(std::max(b.PinCount, 0)), -1);
  for (int32_t i = 0; i < b.PinCount; ++i) {
    const Pin& p = b.PinTable[std::size_t(i)];
    if (!isPad(p)) continue;
    // An obround pad is 8/5 of its size long and its size across, as the Gerber aperture.
    const long long size = printLengthNm(printPadSize(p.sizeIndex));
    const double half = double(printLengthNm(printPadSize(p.sizeIndex) * 8) / 5 - size) / 2;
    const double s = double(size);
    const Vec2 c{frameX(p.x), frameY(p.y)};
    const double dx = p.style == 1 ? half : 0, dy = p.style == 2 ? half : 0;
    pieceOfPin_[std::size_t(i)] = add({CopperKind::Pad, i}, kOnLayer1 | kOnLayer2,
                                      capsule({c.x - dx, c.y - dy}, {c.x + dx, c.y + dy}, s / 2), s,
                                      std::clamp(int(p.sizeIndex), 0, 11));
  }

  pieceOfPoint_.assign(std::size_t(std::max(b.WirePointCount, 0)), -1);
  for (int32_t i = 1; i < b.WirePointCount; ++i) {
    const WirePoint& w = b.WirePointTable[std::size_t(i)];
    const int layer = wireLayer(w.attr);
    if (isWireStart(w) || !isCopperLayer(layer)) continue;
    const WirePoint& v = b.WirePointTable[std::size_t(i - 1)];
    const double width = double(printLengthNm(printWireWidth(wireWidthIndex(w.attr))));
    const Vec2 from{frameX(v.x & kPositionMask), frameY(v.y & kPositionMask)};
    const Vec2 to{frameX(w.x & kPositionMask), frameY(w.y & kPositionMask)};
    pieceOfPoint_[std::size_t(i)] =
        add({CopperKind::Track, i}, layer == kLayer1 ? kOnLayer1 : kOnLayer2,
            capsule(from, to, width / 2), width);
  }

  pieceOfText_.assign(std::size_t(std::max(b.TextCount, 0)), -1);
  for (int32_t i = 0; i < b.TextCount && textExtent; ++i) {
    const TextItem& t = b.TextTable[std::size_t(i)];
    const int layer = textLayer(t);
    if (!isCopperLayer(layer)) continue;
    const TextExtent e = textExtent(t);
    if (!(e.width > 0 && e.height > 0)) continue;
    const double x = frameX(textX(t)), y = frameY(t.y);
    pieceOfText_[std::size_t(i)] =
        add({CopperKind::Text, i}, layer == kLayer1 ? kOnLayer1 : kOnLayer2,
            box({x - e.width / 2, y - e.height / 2, x + e.width / 2, y + e.height / 2}), 0);
  }

  // Packed in one go (the range constructor sorts the boxes into the tree) rather than
  // inserted one by one, which is several times slower; the two layers side by side.
  const auto pack = [&](int layer) {
    std::vector<RValue> values;
    values.reserve(onLayer_[layer].size());
    for (const int n : onLayer_[layer])
      values.emplace_back(rbox(pieces_[std::size_t(n)].shape.bounds()), n);
    index_->trees[layer] = RTree(values.begin(), values.end());
  };
  std::thread second(pack, 1);
  pack(0);
  second.join();
}

CopperMap::~CopperMap() = default;

void CopperMap::near(int layer, const Bounds& area, std::vector<int>& out) const {
  out.clear();
  index_->trees[layer == kLayer2 ? 1 : 0].query(bgi::intersects(rbox(area)), PieceSink{&out});
}

void CopperMap::forEachNearPair(int layer, double within,
                                const std::function<void(int, int)>& pair) const {
  // The tree lists its pieces leaf by leaf, so a run of them lies close together: one query for
  // the run's bounds finds the neighbours of all of it, at a fraction of the cost of a query a
  // piece. A pair is reported from the run of its lower piece.
  constexpr std::size_t kRun = 16;
  const RTree& tree = index_->trees[layer == kLayer2 ? 1 : 0];
  const std::vector<RValue> order(tree.begin(), tree.end());
  std::vector<RValue> found;
  for (std::size_t start = 0; start < order.size(); start += kRun) {
    const std::size_t end = std::min(start + kRun, order.size());
    RBox area = order[start].first;
    for (std::size_t m = start + 1; m < end; ++m) boost::geometry::expand(area, order[m].first);
    found.clear();
    tree.query(bgi::intersects(grown(area, within)), std::back_inserter(found));
    for (const RValue& v : found) {
      const RBox q = grown(v.first, within);
      for (std::size_t m = start; m < end; ++m) {
        const RBox& b = order[m].first;
        // Branch-free: nearly all of these tests fail, and unpredictably.
        if ((order[m].second < v.second) & (b.min_corner().get<0>() <= q.max_corner().get<0>()) &
            (q.min_corner().get<0>() <= b.max_corner().get<0>()) &
            (b.min_corner().get<1>() <= q.max_corner().get<1>()) &
            (q.min_corner().get<1>() <= b.max_corner().get<1>()))
          pair(order[m].second, v.second);
      }
    }
  }
}

int CopperMap::pieceOf(CopperItem item) const {
  const std::vector<int>& rows = item.kind == CopperKind::Pad     ? pieceOfPin_
                                 : item.kind == CopperKind::Track ? pieceOfPoint_
                                                                  : pieceOfText_;
  return item.row >= 0 && std::size_t(item.row) < rows.size() ? rows[std::size_t(item.row)] : -1;
}

}  // namespace fw
