#include "check/Copper.h"

#include <algorithm>

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
  // inserted one by one, which is several times slower.
  for (int layer = 0; layer < 2; ++layer) {
    std::vector<RValue> values;
    values.reserve(onLayer_[layer].size());
    for (const int n : onLayer_[layer])
      values.emplace_back(rbox(pieces_[std::size_t(n)].shape.bounds()), n);
    index_->trees[layer] = RTree(values.begin(), values.end());
  }
}

CopperMap::~CopperMap() = default;

void CopperMap::near(int layer, const Bounds& area, std::vector<int>& out) const {
  out.clear();
  index_->trees[layer == kLayer2 ? 1 : 0].query(bgi::intersects(rbox(area)), PieceSink{&out});
}

int CopperMap::pieceOf(CopperItem item) const {
  const std::vector<int>& rows = item.kind == CopperKind::Pad     ? pieceOfPin_
                                 : item.kind == CopperKind::Track ? pieceOfPoint_
                                                                  : pieceOfText_;
  return item.row >= 0 && std::size_t(item.row) < rows.size() ? rows[std::size_t(item.row)] : -1;
}

}  // namespace fw
