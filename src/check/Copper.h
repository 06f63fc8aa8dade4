#pragma once

// The copper of a board as shapes in the Gerber frame, with a spatial index per copper layer:
// what the connectivity and the design rule check are computed from. Built from the tables the
// way the Gerber export draws them (src/fab/Fabrication.cpp), so that what is checked is what a
// board house makes.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "board/Board.h"
#include "check/Shapes.h"

namespace fw {

// What a piece of copper comes from. A track segment is named by the wire point row that ends
// it (row i joins row i - 1 to row i).
enum class CopperKind : uint8_t { Pad, Track, Text };
struct CopperItem {
  CopperKind kind = CopperKind::Pad;
  int row = -1;
  bool operator==(const CopperItem& o) const { return kind == o.kind && row == o.row; }
};

// The layers a piece lies on, as bits: a through-hole pad lies on both.
constexpr int kOnLayer1 = 1;
constexpr int kOnLayer2 = 2;

struct CopperPiece {
  CopperItem item;
  int layers = 0;
  CopperShape shape;
  double width = 0;  // a track's printed width in nanometres; a pad's size (its smaller side)
  int sizeRow = 0;   // a pad's row of the pad size table, which also gives its finished hole
};

// A text's printed box in nanometres, centred on its position. The box depends on font metrics,
// which the caller knows (fab/TextBox.h gives the Gerber export's); an empty box or no function
// at all leaves the text out of the copper.
struct TextExtent {
  double width = 0;
  double height = 0;
};
using TextExtentFn = std::function<TextExtent(const TextItem&)>;

class CopperMap {
 public:
  CopperMap(const Board& board, const TextExtentFn& textExtent);
  ~CopperMap();
  CopperMap(const CopperMap&) = delete;
  CopperMap& operator=(const CopperMap&) = delete;

  const std::vector<CopperPiece>& pieces() const { return pieces_; }
  // The pieces on layer (kLayer1 or kLayer2), ascending.
  const std::vector<int>& onLayer(int layer) const { return onLayer_[layer == kLayer2 ? 1 : 0]; }
  // Fills `out` with the pieces on layer whose bounds meet `area` (not necessarily the shapes).
  void near(int layer, const Bounds& area, std::vector<int>& out) const;
  // Calls `pair(i, j)`, i < j, once for every two pieces on layer whose bounds come within
  // `within` of each other (not necessarily the shapes), in no particular order.
  void forEachNearPair(int layer, double within, const std::function<void(int, int)>& pair) const;
  // The piece of an item, or -1 when the item is no copper (a graphic pin, a segment on the
  // graphic layer, a row past the count).
  int pieceOf(CopperItem item) const;

  // The frame in nanometres: the copper belongs inside 0..frameWidth by 0..frameHeight.
  double frameWidth() const { return frameWidth_; }
  double frameHeight() const { return frameHeight_; }
  // Board positions in the Gerber frame, in nanometres.
  double frameX(int x) const;
  double frameY(int y) const;

 private:
  struct Index;
  std::vector<CopperPiece> pieces_;
  std::vector<int> onLayer_[2];
  std::vector<int> pieceOfPin_, pieceOfPoint_, pieceOfText_;
  std::unique_ptr<Index> index_;
  double frameWidth_ = 0, frameHeight_ = 0;
  int frameLeft2_ = 0, frameBottom2_ = 0;  // doubled board positions
};

}  // namespace fw
