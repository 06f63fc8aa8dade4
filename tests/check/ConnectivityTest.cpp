// Islands: copper joined across the layers through pads, what the highlight asks for, and the
// spatial index against comparing every pair.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "CheckBoards.h"
#include "check/DesignCheck.h"

namespace fw {
namespace {

using test::addPad;
using test::addTrack;

// A track on layer 1 into a pad, on from the pad on layer 2, and a text on layer 1 that the
// track runs into; a second track near but apart.
TEST(Connectivity, AnIslandRunsThroughAPadAcrossBothLayers) {
  auto b = makeBoard();
  addPad(*b, 320, 300, 3);
  const int first = addTrack(*b, {{300, 300}, {320, 300}}, kLayer1, 5);
  const int second = addTrack(*b, {{320, 300}, {340, 300}, {340, 320}}, kLayer2, 5);
  addTrack(*b, {{300, 310}, {340, 310}}, kLayer1, 5);
  TextItem t;
  t.text.set("GND");
  t.x = uint16_t(kLayer1 * 4096 + 296);
  t.y = 300;
  b->addText(t);
  // A box 8 units wide: it reaches x 300, where the first track starts.
  const TextExtentFn extent = [](const TextItem&) { return TextExtent{8 * 635000.0, 1e6}; };

  const Connectivity conn(*b, extent);
  EXPECT_EQ(conn.islandCount(), 2);
  const int id = conn.islandOfPin(0);
  // Every row of the wires answers for its segment, the start row for the wire's first.
  for (const int row : {first, first + 1, second, second + 1, second + 2})
    EXPECT_EQ(conn.islandOfWirePoint(row), id) << row;
  const Island island = conn.island(id);
  EXPECT_EQ(island.pins, std::vector<int>{0});
  EXPECT_EQ(island.segments, (std::vector<int>{first + 1, second + 1, second + 2}));
  EXPECT_EQ(island.texts, std::vector<int>{0});
  EXPECT_EQ(conn.island(conn.islandOfWirePoint(second + 3)).segments, std::vector<int>{second + 4});
  EXPECT_NE(conn.islandOfWirePoint(second + 3), id);

  // Without texts the text is no copper; as a graphic pin the pad joins nothing.
  EXPECT_EQ(Connectivity(*b).island(id).texts, std::vector<int>{});
  b->PinTable[0].style = GraphicPinFlag;
  const Connectivity apart(*b, extent);
  EXPECT_EQ(apart.islandCount(), 3);
  EXPECT_EQ(apart.islandOfPin(0), -1);
  EXPECT_NE(apart.islandOfWirePoint(first + 1), apart.islandOfWirePoint(second + 1));
  EXPECT_EQ(apart.island(-1).segments, std::vector<int>{});
}

// A crowded random board: the islands and clearance pairs the R-tree finds are those that
// comparing every pair of pieces finds.
TEST(Connectivity, IndexFindsWhatComparingEveryPairFinds) {
  auto b = makeBoard();
  b->FrameWidth = 240;
  b->FrameHeight = 150;
  std::mt19937 rng(7);
  auto pick = [&](int lo, int hi) { return int(rng() % unsigned(hi - lo + 1)) + lo; };
  for (int i = 0; i < 150; ++i) addPad(*b, pick(300, 500), pick(230, 360), pick(0, 9), pick(0, 2));
  for (int w = 0; w < 150; ++w) {
    const int layer = pick(0, 2), width = pick(0, 6);
    const int x = pick(300, 500), y = pick(230, 360);
    addTrack(*b, {{x, y}, {x + pick(-9, 9), y + pick(-9, 9)}, {x + pick(-9, 9), y}}, layer, width);
  }
  for (int i = 0; i < 60; ++i) {
    TextItem t;
    t.text.set("T");
    t.x = uint16_t(pick(0, 2) * 4096 + pick(300, 500));
    t.y = uint16_t(pick(230, 360));
    b->addText(t);
  }
  const TextExtentFn extent = [](const TextItem& t) {
    return TextExtent{double(t.x % 7) * 300000, double(t.y % 5) * 300000};
  };
  const Connectivity conn(*b, extent);
  const auto& pieces = conn.copper().pieces();
  const double clearance = 1.0e6;
  std::set<std::pair<int, int>> tooClose;
  std::vector<int> parent(pieces.size());
  for (std::size_t i = 0; i < pieces.size(); ++i) parent[i] = int(i);
  std::function<int(int)> root = [&](int i) {
    return parent[std::size_t(i)] == i ? i : root(parent[std::size_t(i)]);
  };
  for (std::size_t i = 0; i < pieces.size(); ++i)
    for (std::size_t j = i + 1; j < pieces.size(); ++j) {
      if ((pieces[i].layers & pieces[j].layers) == 0) continue;
      const double gap = shapeGap(pieces[i].shape, pieces[j].shape);
      if (gap <= kTouchNm) parent[std::size_t(root(int(i)))] = root(int(j));
      if (gap > kTouchNm && gap < clearance)
        tooClose.insert({std::min(pieces[i].item.row * 3 + int(pieces[i].item.kind),
                                  pieces[j].item.row * 3 + int(pieces[j].item.kind)),
                         std::max(pieces[i].item.row * 3 + int(pieces[i].item.kind),
                                  pieces[j].item.row * 3 + int(pieces[j].item.kind))});
    }
  // Same partition: the island numbers map one to one onto the roots, with or without the
  // track-end detail.
  const Connectivity islandsOnly(*b, extent, ConnectivityDetail::Islands);
  std::map<int, int> islandOfRoot;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const auto [at, added] = islandOfRoot.emplace(root(int(i)), conn.islandOfPiece(int(i)));
    EXPECT_EQ(at->second, conn.islandOfPiece(int(i))) << i;
    EXPECT_EQ(islandsOnly.islandOfPiece(int(i)), conn.islandOfPiece(int(i))) << i;
  }
  EXPECT_EQ(int(islandOfRoot.size()), conn.islandCount());
  EXPECT_GT(conn.islandCount(), 50);

  CheckRules rules;
  rules.clearanceMm = clearance / 1e6;
  std::set<std::pair<int, int>> found;
  for (const Finding& f : checkBoard(conn, rules)) {
    if (f.kind != FindingKind::Clearance) continue;
    const int p = f.item.row * 3 + int(f.item.kind), q = f.other.row * 3 + int(f.other.kind);
    found.insert({std::min(p, q), std::max(p, q)});
  }
  // Pairs of one island never count; the pairs of different islands all do.
  std::set<std::pair<int, int>> expected;
  for (const auto& [p, q] : tooClose) {
    const int pp = conn.copper().pieceOf({CopperKind(p % 3), p / 3});
    const int qq = conn.copper().pieceOf({CopperKind(q % 3), q / 3});
    if (conn.islandOfPiece(pp) != conn.islandOfPiece(qq)) expected.insert({p, q});
  }
  EXPECT_GT(expected.size(), 50u);
  EXPECT_EQ(found, expected);
}

}  // namespace
}  // namespace fw
