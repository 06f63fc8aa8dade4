#pragma once

// Which copper is joined to which, from the copper alone: pieces on one layer that overlap or
// touch are joined, and a through-hole pad joins the two layers. An island is a set of joined
// copper. Built once per board state (a few milliseconds for a full board); the questions after
// that are answered from tables.

#include <vector>

#include "check/Copper.h"

namespace fw {

// The items of one island, each list by ascending row. A segment is named by the wire point
// row that ends it.
struct Island {
  std::vector<int> pins;
  std::vector<int> segments;
  std::vector<int> texts;
};

// What a connectivity finds out beside the islands: which track ends and pads touch other
// copper (what the board check needs) costs more than the islands alone, as pieces known to be
// joined must still be compared.
enum class ConnectivityDetail { Islands, IslandsAndEnds };

class Connectivity {
 public:
  // `textExtent` gives a text's printed box; without one, texts are no copper.
  explicit Connectivity(const Board& board, const TextExtentFn& textExtent = {},
                        ConnectivityDetail detail = ConnectivityDetail::IslandsAndEnds);

  const CopperMap& copper() const { return copper_; }
  int islandCount() const { return islandCount_; }
  // The island of a piece of copper (0 .. islandCount() - 1).
  int islandOfPiece(int piece) const { return islandOfPiece_[std::size_t(piece)]; }
  // The island of an item, or -1 when it is no copper.
  int islandOf(CopperItem item) const;
  int islandOfPin(int row) const { return islandOf({CopperKind::Pad, row}); }
  // A wire point row stands for the segment the editor shows for it: the one it ends, or for
  // the start of a wire the wire's first segment.
  int islandOfWirePoint(int row) const;
  // The island's items; empty for an island number out of range.
  Island island(int id) const;
  // The pieces of an island, ascending.
  std::vector<int> islandPieces(int id) const;

  // Whether a track's end (0: the point of the row before, 1: its own row's point) touches
  // other copper of its layer. This and padHasTrack answer false when built for the islands
  // alone.
  bool trackEndJoined(int piece, int end) const {
    return (flags_[std::size_t(piece)] & (end == 0 ? kEnd0Joined : kEnd1Joined)) != 0;
  }
  // Whether a track touches the pad.
  bool padHasTrack(int piece) const { return (flags_[std::size_t(piece)] & kPadHasTrack) != 0; }

 private:
  static constexpr unsigned char kEnd0Joined = 1, kEnd1Joined = 2, kPadHasTrack = 4;
  CopperMap copper_;
  int islandCount_ = 0;
  std::vector<int> islandOfPiece_;
  std::vector<int> islandStart_;   // island i's pieces are byIsland_[islandStart_[i] ..
  std::vector<int> byIsland_;      //   islandStart_[i + 1])
  std::vector<int> segmentOfRow_;  // the piece a wire point row stands for, or -1
  std::vector<unsigned char> flags_;
};

}  // namespace fw
