// The check of boards with copper at known distances: each rule just kept and just broken.
#include <gtest/gtest.h>

#include <algorithm>

#include "CheckBoards.h"
#include "check/DesignCheck.h"

namespace fw {
namespace {

using test::addPad;
using test::addTrack;

std::vector<Finding> only(const std::vector<Finding>& all, FindingKind kind) {
  std::vector<Finding> out;
  std::copy_if(all.begin(), all.end(), std::back_inserter(out),
               [&](const Finding& f) { return f.kind == kind; });
  return out;
}

const CheckRules& standard() {
  return findRulePreset("Board house, standard")->rules;
}

// Two parallel diagonal tracks whose gap is not a whole number of board units: width index 0
// is 2/360 inch, 2 is 7/360, 6 is 22/360.
TEST(DesignCheck, ClearanceBetweenParallelTracks) {
  struct Case {
    const char* what;
    std::pair<int, int> a0, a1, b0, b1;
    int widthA, widthB;
    double gapMm;
    bool finding;
  };
  const Case cases[] = {
      {"0.19 mm at a slope of 3 in 4",
       {300, 300},
       {308, 306},
       {300, 301},
       {308, 307},
       0,
       2,
       0.1905,
       true},
      {"0.21 mm at a slope of 2 in 3",
       {300, 300},
       {306, 304},
       {300, 302},
       {306, 306},
       0,
       6,
       0.210037,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto b = makeBoard();
    addTrack(*b, {c.a0, c.a1}, kLayer1, c.widthA);
    addTrack(*b, {c.b0, c.b1}, kLayer1, c.widthB);
    const Connectivity conn(*b);
    EXPECT_EQ(conn.islandCount(), 2);
    const auto found = only(checkBoard(conn, standard()), FindingKind::Clearance);
    ASSERT_EQ(found.size(), c.finding ? 1u : 0u);
    if (c.finding) {
      EXPECT_NEAR(found[0].measuredMm, c.gapMm, 1e-6);
      EXPECT_EQ(found[0].requiredMm, 0.2);
      EXPECT_EQ(found[0].layer, kLayer1);
      EXPECT_EQ(found[0].severity, Severity::Error);
      EXPECT_EQ(found[0].item, (CopperItem{CopperKind::Track, 1}));
      EXPECT_EQ(found[0].other, (CopperItem{CopperKind::Track, 3}));
    }
    // Looser rules find it at its own distance, just under them.
    CheckRules looser = standard();
    looser.clearanceMm = c.gapMm + 0.001;
    ASSERT_EQ(only(checkBoard(conn, looser), FindingKind::Clearance).size(), 1u);
    EXPECT_NEAR(only(checkBoard(conn, looser), FindingKind::Clearance)[0].measuredMm, c.gapMm,
                1e-6);
  }
}

// A track that stops 0.049 mm short of an obround pad (5/360 inch wide, its end 4 units from
// the pad's centre, the pad reaching 0.8 x 41/360 inch), then one that reaches it.
TEST(DesignCheck, TrackStoppingShortOfAPad) {
  auto b = makeBoard();
  const int pad = addPad(*b, 320, 300, 4, 1);
  addTrack(*b, {{300, 300}, {316, 300}}, kLayer1, 1);
  auto findings = checkBoard(Connectivity(*b), standard());

  const auto clearance = only(findings, FindingKind::Clearance);
  ASSERT_EQ(clearance.size(), 1u);
  EXPECT_NEAR(clearance[0].measuredMm, 0.049389, 1e-6);
  // Half way across the gap, in the Gerber frame.
  const double padLeft = test::frameXmm(320) - 0.8 * 41 * 25.4 / 360;
  EXPECT_NEAR(clearance[0].xMm, padLeft - 0.049389 / 2, 1e-3);
  EXPECT_NEAR(clearance[0].yMm, test::frameYmm(300), 1e-9);
  const auto loose = only(findings, FindingKind::DanglingEnd);
  ASSERT_EQ(loose.size(), 2u);
  EXPECT_EQ(loose[0].severity, Severity::Warning);
  EXPECT_NEAR(loose[1].xMm, test::frameXmm(316), 1e-9);
  const auto unused = only(findings, FindingKind::UnusedPad);
  ASSERT_EQ(unused.size(), 1u);
  EXPECT_EQ(unused[0].item, (CopperItem{CopperKind::Pad, pad}));
  EXPECT_EQ(unused[0].severity, Severity::Information);
  EXPECT_NEAR(unused[0].xMm, test::frameXmm(320), 1e-9);

  // One unit further the track runs into the pad: one island, one loose end, the pad in use.
  b->WirePointTable[1].x = 317;
  const Connectivity joined(*b);
  EXPECT_EQ(joined.islandCount(), 1);
  findings = checkBoard(joined, standard());
  EXPECT_TRUE(only(findings, FindingKind::Clearance).empty());
  EXPECT_TRUE(only(findings, FindingKind::UnusedPad).empty());
  ASSERT_EQ(only(findings, FindingKind::DanglingEnd).size(), 1u);
  EXPECT_NEAR(only(findings, FindingKind::DanglingEnd)[0].xMm, test::frameXmm(300), 1e-9);
}

// Crossing tracks join on one layer and pass each other on two.
TEST(DesignCheck, CrossingTracksJoinOnlyOnOneLayer) {
  for (const int layer : {kLayer1, kLayer2}) {
    SCOPED_TRACE(layer);
    auto b = makeBoard();
    addTrack(*b, {{300, 300}, {320, 300}}, kLayer1, 5);
    addTrack(*b, {{310, 290}, {310, 310}}, layer, 5);
    const Connectivity conn(*b);
    EXPECT_EQ(conn.islandCount(), layer == kLayer1 ? 1 : 2);
    const auto findings = checkBoard(conn, standard());
    EXPECT_TRUE(only(findings, FindingKind::Clearance).empty());
    EXPECT_EQ(only(findings, FindingKind::DanglingEnd).size(), 4u);
  }
}

// The ring is what the pad's smaller side leaves around the finished hole: a 1.27 mm pad (size
// row 0) around holes of 0.99 and 0.97 mm.
TEST(DesignCheck, PadRingAgainstTheHoleTable) {
  struct Case {
    int style;
    int holeUm;
    bool finding;
  };
  const Case cases[] = {{0, 990, true}, {0, 970, false}, {1, 990, true}, {2, 970, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "style " << c.style << ", hole " << c.holeUm);
    auto b = makeBoard();
    addPad(*b, 300, 300, 0, c.style);
    addPad(*b, 340, 300, 0, GraphicPinFlag);  // no copper, no hole
    CheckRules rules = standard();
    rules.holeUm[0] = c.holeUm;
    const auto ring = only(checkBoard(Connectivity(*b), rules), FindingKind::PadRing);
    ASSERT_EQ(ring.size(), c.finding ? 1u : 0u);
    if (c.finding) {
      EXPECT_NEAR(ring[0].measuredMm, 0.14, 1e-6);
      EXPECT_EQ(ring[0].layer, kBothLayers);
    }
  }
}

// The right edge of the new frame is at board x 522.
TEST(DesignCheck, CopperNearOrPastTheFrame) {
  struct Case {
    const char* what;
    int padX;
    FindingKind kind;
    int findings;
    double measuredMm;
  };
  const double r = 0.635;  // the radius of a pad of size row 0
  const Case cases[] = {
      {"one unit inside", 520, FindingKind::EdgeClearance, 0, 0},
      {"touching the edge", 521, FindingKind::EdgeClearance, 1, 0},
      {"across the edge", 522, FindingKind::OutsideFrame, 1, -r},
      {"wholly outside", 530, FindingKind::OutsideFrame, 1, -8 * 0.635 - r},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto b = makeBoard();
    addPad(*b, c.padX, 300, 0);
    const auto found = only(checkBoard(Connectivity(*b), standard()), c.kind);
    ASSERT_EQ(int(found.size()), c.findings);
    if (c.findings == 0) continue;
    EXPECT_NEAR(found[0].measuredMm, c.measuredMm, 1e-6);
    EXPECT_EQ(found[0].requiredMm, 0.3);
    EXPECT_NEAR(found[0].xMm, test::frameXmm(c.padX) + r, 1e-6);
  }
  // A track too thin and past the bottom edge (board y 375) as well.
  auto b = makeBoard();
  addTrack(*b, {{300, 370}, {300, 380}}, kLayer2, 0);
  const auto findings = checkBoard(Connectivity(*b), standard());
  ASSERT_EQ(only(findings, FindingKind::OutsideFrame).size(), 1u);
  EXPECT_EQ(only(findings, FindingKind::OutsideFrame)[0].layer, kLayer2);
  EXPECT_NEAR(only(findings, FindingKind::OutsideFrame)[0].yMm, -5 * 0.635 - 2 * 25.4 / 720, 1e-6);
  ASSERT_EQ(only(findings, FindingKind::TrackWidth).size(), 1u);
  EXPECT_NEAR(only(findings, FindingKind::TrackWidth)[0].measuredMm, 0.141111, 1e-6);
}

}  // namespace
}  // namespace fw
