#include "check/Connectivity.h"

#include <numeric>
#include <thread>

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

Connectivity::Connectivity(const Board& board, const TextExtentFn& textExtent,
                           ConnectivityDetail detail)
    : copper_(board, textExtent) {
  const bool ends = detail == ConnectivityDetail::IslandsAndEnds;
  const std::vector<CopperPiece>& pieces = copper_.pieces();
  const std::size_t n = pieces.size();
  // The kinds apart from the pieces, as the pair walk reads them for every pair.
  std::vector<CopperKind> kind(n);
  for (std::size_t i = 0; i < n; ++i) kind[i] = pieces[i].item.kind;

  // The two layers are walked side by side, each with joins and flags of its own: only pads
  // lie on both, and their joins and flags are merged after.
  struct LayerWalk {
    Joins joins;
    std::vector<unsigned char> flags;
  };
  const auto walk = [&](int layer, LayerWalk& w) {
    std::vector<unsigned char>& flags = w.flags;
    // What touching pieces tell beyond being joined: a track's end that meets other copper is
    // no loose end, and a pad a track meets is in use. Once a pair's pieces are joined already
    // and it could tell nothing new, its shapes are not compared at all: on a crowded board most
    // pairs are such.
    const auto couldTell = [&](int i, int j) {
      if (!ends) return false;
      const CopperKind p = kind[std::size_t(i)], q = kind[std::size_t(j)];
      const unsigned char f = flags[std::size_t(i)];
      return p == CopperKind::Track
                 ? (f & (kEnd0Joined | kEnd1Joined)) != (kEnd0Joined | kEnd1Joined)
                 : p == CopperKind::Pad && q == CopperKind::Track && (f & kPadHasTrack) == 0;
    };
    const auto note = [&](int i, int j) {
      const CopperShape& p = pieces[std::size_t(i)].shape;
      const CopperShape& q = pieces[std::size_t(j)].shape;
      unsigned char& f = flags[std::size_t(i)];
      if (kind[std::size_t(i)] == CopperKind::Track) {
        if (!(f & kEnd0Joined) && shapesWithin(circle(p.a, p.r), q, kTouchNm)) f |= kEnd0Joined;
        if (!(f & kEnd1Joined) && shapesWithin(circle(p.b, p.r), q, kTouchNm)) f |= kEnd1Joined;
      } else if (kind[std::size_t(i)] == CopperKind::Pad &&
                 kind[std::size_t(j)] == CopperKind::Track) {
        f |= kPadHasTrack;
      }
    };
    copper_.forEachNearPair(layer, kTouchNm, [&](int i, int j) {
      const bool tellI = couldTell(i, j), tellJ = couldTell(j, i);
      if (!tellI && !tellJ && w.joins.find(i) == w.joins.find(j)) return;
      if (!shapesWithin(pieces[std::size_t(i)].shape, pieces[std::size_t(j)].shape, kTouchNm))
        return;
      w.joins.join(i, j);
      if (tellI) note(i, j);
      if (tellJ) note(j, i);
    });
  };
  LayerWalk walks[2] = {{Joins(n), std::vector<unsigned char>(n, 0)},
                        {Joins(n), std::vector<unsigned char>(n, 0)}};
  {
    std::thread second([&] { walk(kLayer2, walks[1]); });
    walk(kLayer1, walks[0]);
    second.join();
  }
  Joins& joins = walks[0].joins;
  flags_.assign(n, 0);
  for (std::size_t i = 0; i < n; ++i) {
    joins.join(int(i), walks[1].joins.find(int(i)));
    flags_[i] = walks[0].flags[i] | walks[1].flags[i];
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
