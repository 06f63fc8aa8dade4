#include "check/Connectivity.h"

#include <numeric>

#include "board/Geometry.h"

namespace fw {

namespace {

// Union-find over pieces, by size with path halving.
class Joins {
 public:
  explicit Joins(std::size_t n) : parent_(n), size_(n, 1) {
    std::iota(parent_.begin(), parent_.end(), 0);
  }
  int find(int i) {
    while (parent_[std::size_t(i)] != i) {
      parent_[std::size_t(i)] = parent_[std::size_t(parent_[std::size_t(i)])];
      i = parent_[std::size_t(i)];
    }
    return i;
  }
  void join(int i, int j) {
    i = find(i);
    j = find(j);
    if (i == j) return;
    if (size_[std::size_t(i)] < size_[std::size_t(j)]) std::swap(i, j);
    parent_[std::size_t(j)] = i;
    size_[std::size_t(i)] += size_[std::size_t(j)];
  }

 private:
  std::vector<int> parent_;
  std::vector<int> size_;
};

}  // namespace

Connectivity::Connectivity(const Board& board, const TextExtentFn& textExtent)
    : copper_(board, textExtent) {
  const std::vector<CopperPiece>& pieces = copper_.pieces();
  const std::size_t n = pieces.size();
  Joins joins(n);
  flags_.assign(n, 0);

  // What touching pieces tell beyond being joined: a track's end that meets other copper is no
  // loose end, and a pad a track meets is in use. Once a pair's pieces are joined already and
  // it could tell nothing new, its shapes are not compared at all: on a crowded board most pairs
  // are such.
  const auto couldTell = [&](int i, int j) {
    const CopperKind p = pieces[std::size_t(i)].item.kind, q = pieces[std::size_t(j)].item.kind;
    const unsigned char f = flags_[std::size_t(i)];
    return p == CopperKind::Track
               ? (f & (kEnd0Joined | kEnd1Joined)) != (kEnd0Joined | kEnd1Joined)
               : p == CopperKind::Pad && q == CopperKind::Track && (f & kPadHasTrack) == 0;
  };
  const auto note = [&](int i, int j) {
    const CopperPiece& p = pieces[std::size_t(i)];
    const CopperPiece& q = pieces[std::size_t(j)];
    unsigned char& f = flags_[std::size_t(i)];
    if (p.item.kind == CopperKind::Track) {
      if (!(f & kEnd0Joined) && shapesWithin(circle(p.shape.a, p.shape.r), q.shape, kTouchNm))
        f |= kEnd0Joined;
      if (!(f & kEnd1Joined) && shapesWithin(circle(p.shape.b, p.shape.r), q.shape, kTouchNm))
        f |= kEnd1Joined;
    } else if (p.item.kind == CopperKind::Pad && q.item.kind == CopperKind::Track) {
      f |= kPadHasTrack;
    }
  };
  std::vector<int> near;
  for (int layer : {kLayer1, kLayer2}) {
    for (const int i : copper_.onLayer(layer)) {
      const CopperShape& s = pieces[std::size_t(i)].shape;
      copper_.near(layer, s.bounds().grown(kTouchNm), near);
      for (const int j : near) {
        if (j <= i) continue;
        const bool tellI = couldTell(i, j), tellJ = couldTell(j, i);
        if (!tellI && !tellJ && joins.find(i) == joins.find(j)) continue;
        if (!shapesWithin(s, pieces[std::size_t(j)].shape, kTouchNm)) continue;
        joins.join(i, j);
        if (tellI) note(i, j);
        if (tellJ) note(j, i);
      }
    }
  }

  // Islands numbered in the order of their first piece, and their pieces gathered by island.
  islandOfPiece_.assign(n, -1);
  std::vector<int> numberOfRoot(n, -1);
  for (std::size_t i = 0; i < n; ++i) {
    int& number = numberOfRoot[std::size_t(joins.find(int(i)))];
    if (number < 0) number = islandCount_++;
    islandOfPiece_[i] = number;
  }
  islandStart_.assign(std::size_t(islandCount_) + 1, 0);
  for (const int id : islandOfPiece_) ++islandStart_[std::size_t(id) + 1];
  std::partial_sum(islandStart_.begin(), islandStart_.end(), islandStart_.begin());
  byIsland_.resize(n);
  std::vector<int> fill(islandStart_.begin(), islandStart_.end() - 1);
  for (std::size_t i = 0; i < n; ++i)
    byIsland_[std::size_t(fill[std::size_t(islandOfPiece_[i])]++)] = int(i);

  segmentOfRow_.assign(std::size_t(std::max(board.WirePointCount, 0)), -1);
  for (int32_t row = 0; row < board.WirePointCount; ++row) {
    const int end = wireSegmentEnd(board, row);
    if (end >= 0) segmentOfRow_[std::size_t(row)] = copper_.pieceOf({CopperKind::Track, end});
  }
}

int Connectivity::islandOf(CopperItem item) const {
  const int piece = copper_.pieceOf(item);
  return piece < 0 ? -1 : islandOfPiece(piece);
}

int Connectivity::islandOfWirePoint(int row) const {
  if (row < 0 || std::size_t(row) >= segmentOfRow_.size()) return -1;
  const int piece = segmentOfRow_[std::size_t(row)];
  return piece < 0 ? -1 : islandOfPiece(piece);
}

std::vector<int> Connectivity::islandPieces(int id) const {
  if (id < 0 || id >= islandCount_) return {};
  return {byIsland_.begin() + islandStart_[std::size_t(id)],
          byIsland_.begin() + islandStart_[std::size_t(id) + 1]};
}

Island Connectivity::island(int id) const {
  Island island;
  for (const int piece : islandPieces(id)) {
    const CopperItem& item = copper_.pieces()[std::size_t(piece)].item;
    (item.kind == CopperKind::Pad     ? island.pins
     : item.kind == CopperKind::Track ? island.segments
                                      : island.texts)
        .push_back(item.row);
  }
  return island;
}

}  // namespace fw
