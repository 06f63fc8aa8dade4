#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "board/View.h"
#include "kicad/KicadFootprint.h"
#include "kicad/KicadGeometry.h"

namespace fw {

namespace {

std::string footprint(const std::string& body, const std::string& root = "footprint") {
  return "(" + root + " \"Test_FP\" (version 20211014) (descr \"made for the tests\")\n" + body +
         ")\n";
}
const std::string kPad1 = "(pad \"1\" thru_hole circle (at 0 0) (size 1.7 1.7) (drill 1))\n";

struct Imported {
  bool ok;
  ObjectData object;
  KicadImportReport report;
};
Imported import(const std::string& text, bool accept = false) {
  Imported r;
  r.ok = importKicadFootprint(text, accept, r.object, r.report);
  return r;
}

int x(const WirePoint& p) {
  return p.x & kPositionMask;
}
int y(const WirePoint& p) {
  return p.y & kPositionMask;
}

}  // namespace

TEST(KicadFootprint, PadsBecomePinsOfTheNearestSizeAndStyleAfterRotation) {
  struct Case {
    const char* pad;
    int sizeIndex, style;
  } cases[] = {
      {"thru_hole circle (at 0 0) (size 1.7 1.7)", 1, 0},
      {"thru_hole rect (at 0 0) (size 2.5 1.6)", 1, 0},
      {"thru_hole oval (at 0 0) (size 1.7 2.4)", 1, 2},
      {"thru_hole oval (at 0 0) (size 2.4 1.7)", 1, 1},
      {"thru_hole oval (at 0 0 90) (size 2.4 1.7)", 1, 2},
      {"thru_hole roundrect (at 0 0 270) (size 3 2)", 2, 2},
      {"thru_hole roundrect (at 0 0 180) (size 3 2)", 2, 1},
      {"np_thru_hole circle (at 0 0) (size 3.2 3.2)", 5, 0},
      {"thru_hole circle (at 0 0) (size 7 7)", 9, 0},
  };
  for (const Case& c : cases) {
    const Imported r = import(footprint(std::string("(pad \"1\" ") + c.pad + ")"));
    ASSERT_TRUE(r.ok) << c.pad << ": " << r.report.reason;
    ASSERT_EQ(r.object.pins.size(), 1u);
    EXPECT_EQ(r.object.pins[0].sizeIndex, c.sizeIndex) << c.pad;
    EXPECT_EQ(r.object.pins[0].style, c.style) << c.pad;
  }
}

TEST(KicadFootprint, PinsKeepKicadsLayoutCentredOnTheBoardWithPadOneOnTheGrid) {
  const Imported r = import(footprint(
      "(pad \"2\" thru_hole circle (at 2.54 5.08) (size 1.7 1.7))\n" + kPad1 +
      "(pad \"3\" smd rect (at 9 9) (size 1 1))(pad \"4\" smd rect (at 9 8) (size 1 1))"));
  ASSERT_TRUE(r.ok) << r.report.reason;
  ASSERT_EQ(r.object.pins.size(), 2u);
  const Pin one = r.object.pins[0], two = r.object.pins[1];
  EXPECT_EQ(two.x - one.x, 4);  // 2.54 mm right
  EXPECT_EQ(two.y - one.y, 8);  // 5.08 mm down: the board's y points down as KiCad's does
  EXPECT_EQ(one.x % kUnitsPerGridStep, 0);
  EXPECT_EQ(one.y % kUnitsPerGridStep, 0);
  EXPECT_LE(std::abs((one.x + two.x) / 2 - kCenterBoardX), 2);
  EXPECT_LE(std::abs((one.y + two.y) / 2 - kCenterBoardY), 2);
  EXPECT_EQ(r.report.smdPadsSkipped, 2);
  EXPECT_EQ(r.report.largestErrorMm, 0);
  EXPECT_EQ(r.object.description.str(), "Test_FP: made for the tests");
  // A long description is cut to what an object file keeps, without a trailing blank.
  const Imported longer =
      import("(footprint \"Long\" (descr \"" + std::string(40, 'x') + "   y\")" + kPad1 + ")");
  EXPECT_EQ(longer.object.description.str(), "Long: " + std::string(40, 'x'));
}

TEST(KicadFootprint, RoundingErrorIsReportedAndMoreThanAFifthOfAMillimetreNeedsAccepting) {
  std::string metric;  // a 2 x 20 row at 2.5 mm: the error grows along the row
  for (int i = 0; i < 40; ++i)
    metric += "(pad \"" + std::to_string(i + 1) + "\" thru_hole circle (at " +
              std::to_string(i % 2 * 7.5) + " " + std::to_string(i / 2 * 2.5) +
              ") (size 1.7 1.7))\n";
  struct Case {
    std::string pads;
    double errorMm;  // < 0: more than 0.2 mm
  } cases[] = {
      {"(pad \"1\" thru_hole circle (at 0.1 0.2) (size 1.7 1.7))", 0},
      {kPad1 + "(pad \"2\" thru_hole circle (at 0.3175 0) (size 1.7 1.7))", 0.15875},
      {kPad1 + "(pad \"2\" thru_hole circle (at 5 0) (size 1.7 1.7))", 0.04},
      {metric, -1},
  };
  for (const Case& c : cases) {
    const Imported refused = import(footprint(c.pads));
    const Imported accepted = import(footprint(c.pads), true);
    ASSERT_TRUE(accepted.ok) << accepted.report.reason;
    EXPECT_EQ(refused.ok, c.errorMm >= 0);
    EXPECT_EQ(refused.report.refusedForRounding, c.errorMm < 0);
    if (c.errorMm >= 0) {
      EXPECT_NEAR(accepted.report.largestErrorMm, c.errorMm, 0.011) << c.pads;
    } else {
      EXPECT_GT(accepted.report.largestErrorMm, kKicadMaxRoundingMm);
      EXPECT_NE(refused.report.reason.find("0.2 mm"), std::string::npos);
      EXPECT_TRUE(refused.object.pins.empty());
    }
  }
}

TEST(KicadFootprint, FrontSilkscreenBecomesGraphicWiresAndOtherLayersAreLeftOut) {
  const std::string silk = "(layer \"F.SilkS\") (width 0.12)";
  struct Case {
    std::string item;
    int points;  // -1: a closed curve of many points
    int widthIndex;
  } cases[] = {
      {"(fp_line (start -2.54 -2.54) (end 2.54 -2.54) " + silk + ")", 2, 0},
      {"(fp_line (start -2.54 -2.54) (end 2.54 -2.54) (stroke (width 0.3)) (layer F.Silkscreen))",
       2, 1},
      {"(fp_rect (start -2.54 -2.54) (end 2.54 2.54) (layer F.SilkS) (width 0.5))", 5, 2},
      {"(fp_poly (pts (xy -2.54 -2.54) (xy 2.54 -2.54) (xy 0 2.54)) " + silk + ")", 4, 0},
      {"(fp_circle (center 0 0) (end 5 0) " + silk + ")", -1, 0},
      {"(fp_line (start -2.54 -2.54) (end 2.54 -2.54) (layer F.Fab) (width 0.1))", 0, 0},
      {"(fp_circle (center 0 0) (end 5 0) (layer F.CrtYd) (width 0.05))", 0, 0},
  };
  // Pad 1 is marked by the test's own first line, so no line is added.
  const std::string mark = "(fp_line (start -1.5 0) (end -1.5 0.7) " + silk + ")\n";
  for (const Case& c : cases) {
    const Imported r = import(footprint(kPad1 + mark + c.item));
    ASSERT_TRUE(r.ok) << r.report.reason;
    ASSERT_FALSE(r.report.pad1Marked);
    const std::vector<WirePoint> points(r.object.points.begin() + 2, r.object.points.end());
    if (c.points >= 0) {
      EXPECT_EQ(points.size(), std::size_t(c.points)) << c.item;
    } else {
      EXPECT_GT(points.size(), 12u) << c.item;
    }
    if (points.empty()) continue;
    EXPECT_TRUE(isWireStart(points[0]));
    for (std::size_t i = 1; i < points.size(); ++i) {
      EXPECT_FALSE(isWireStart(points[i]));
      EXPECT_EQ(points[i].attr, kGraphic * 16 + c.widthIndex) << c.item;
    }
    if (c.points != 2) {
      EXPECT_EQ(points.front().x, points.back().x | WireStartFlag) << c.item;
    }
  }
}

TEST(KicadFootprint, ArcsAndCirclesStayWithinATenthOfAMillimetreInBothArcForms) {
  using kicad::PointMm;
  const PointMm c{1, 2};
  const std::vector<PointMm> newForm = kicad::arcThrough({4, 2}, {1, 5}, {-2, 2});
  const std::vector<PointMm> oldForm = kicad::arcPolyline(c, {4, 2}, 3.14159265358979);
  ASSERT_EQ(newForm.size(), oldForm.size());
  for (std::size_t i = 0; i < newForm.size(); ++i)
    EXPECT_LT(kicad::distance(newForm[i], oldForm[i]), 1e-6);
  EXPECT_GT(newForm[newForm.size() / 2].y, c.y);  // through (1, 5), below the centre
  for (double r : {0.05, 0.5, 3.0, 40.0}) {
    const std::vector<PointMm> ring = kicad::arcPolyline(c, {c.x + r, c.y}, -6.2831853);
    for (std::size_t i = 1; i < ring.size(); ++i) {
      EXPECT_NEAR(kicad::distance(ring[i], c), r, 1e-9);
      const PointMm mid{(ring[i].x + ring[i - 1].x) / 2, (ring[i].y + ring[i - 1].y) / 2};
      EXPECT_LE(r - kicad::distance(mid, c), kicad::kCurveToleranceMm + 1e-9) << r;
    }
  }
  // The same half circle written as KiCad 5 and as KiCad 6 writes it gives the same wire.
  const std::string tail = "(layer F.SilkS) (width 0.12))\n" + kPad1;
  const Imported v5 =
      import(footprint("(fp_arc (start 0 0) (end 5 0) (angle 180) " + tail, "module"));
  const Imported v6 = import(footprint("(fp_arc (start 5 0) (mid 0 5) (end -5 0) " + tail));
  ASSERT_TRUE(v5.ok && v6.ok) << v5.report.reason << v6.report.reason;
  EXPECT_EQ(v5.object.points, v6.object.points);
}

TEST(KicadFootprint, PadOneGetsALineUnlessTheSilkscreenMarksItAlready) {
  // Sizes in halves and quarters, so that equal distances are equal to the last bit.
  const std::string dip = kPad1 +
                          "(pad \"2\" thru_hole circle (at 0 2.5) (size 1.7 1.7))"
                          "(pad \"3\" thru_hole circle (at 7.5 2.5) (size 1.7 1.7))"
                          "(pad \"4\" thru_hole circle (at 7.5 0) (size 1.7 1.7))";
  const std::string box = "(fp_rect (start -1.25 -1.25) (end 8.75 3.75) (layer F.SilkS))";
  const std::string corner = "(fp_line (start -1.25 -0.5) (end -0.5 -1.25) (layer F.SilkS))";
  struct Case {
    std::string body;
    bool added;
  } cases[] = {{dip, true}, {dip + box, true}, {dip + box + corner, false}};
  for (const Case& c : cases) {
    const Imported r = import(footprint(c.body));
    ASSERT_TRUE(r.ok) << r.report.reason;
    EXPECT_EQ(r.report.pad1Marked, c.added) << c.body;
    if (!c.added) continue;
    // The last wire: two points left of pad 1, on its row, clear of its pad.
    const Pin one = r.object.pins[0];
    const WirePoint& a = r.object.points[r.object.points.size() - 2];
    const WirePoint& b = r.object.points.back();
    EXPECT_EQ(y(a), one.y);
    EXPECT_EQ(y(b), one.y);
    EXPECT_LT(x(b), x(a));
    EXPECT_LT(x(a), one.x - 1);
  }
}

TEST(KicadFootprint, ReferenceBecomesAGraphicTextInEitherFormat) {
  for (const char* ref : {"(fp_text reference \"REF**\" (at 0 -3) (layer F.SilkS)"
                          " (effects (font (size 1.27 1.27))))",
                          "(property \"Reference\" \"REF**\" (at 0 -3) (layer \"F.SilkS\")"
                          " (effects (font (size 1.27 1.27))))"}) {
    const Imported r = import(footprint(kPad1 + ref, "module"));
    ASSERT_TRUE(r.ok) << r.report.reason;
    ASSERT_EQ(r.object.texts.size(), 1u);
    const TextItem& t = r.object.texts[0];
    EXPECT_EQ(t.text.str(), "REF**");
    EXPECT_EQ(textLayer(t), kGraphic);
    EXPECT_EQ(t.size, 10);
    EXPECT_LT(t.y, r.object.pins[0].y - 2);  // above pad 1
  }
}

TEST(KicadFootprint, RefusesWhatCannotBecomeAnObjectWithAClearReason) {
  struct Case {
    std::string text;
    const char* reason;
  } cases[] = {
      {"(symbol \"x\")", "not a KiCad footprint"},
      {"(footprint \"x\"\n  (pad 1 thru_hole", "line 2, column 3: this '(' is never closed"},
      {footprint("(pad \"1\" smd rect (at 0 0) (size 1 1))"),
       "no through-hole pad (1 SMD pads skipped)"},
      {footprint(kPad1 + "(pad \"2\" thru_hole circle (at 600 0) (size 1.7 1.7))"),
       "the footprint does not fit"},
      {footprint("(pad \"1\" thru_hole circle (size 1 1))"), "line 2: a pad without its position"},
      {footprint(kPad1 + "(fp_arc (start 0 0) (end 1 1) (layer F.SilkS))"), "line 3: an arc"},
  };
  for (const Case& c : cases) {
    const Imported r = import(c.text);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.report.refused);
    EXPECT_NE(r.report.reason.find(c.reason), std::string::npos) << r.report.reason;
    EXPECT_TRUE(r.object.pins.empty() && r.object.points.empty());
  }
}

// Debian's kicad-footprints package, where it is installed: the footprints of the two libraries
// of 2.54 mm parts come in with their pads exactly where KiCad has them.
TEST(KicadFootprint, InstalledDipAndPinHeaderLibrariesImport) {
  const std::filesystem::path root = "/usr/share/kicad/footprints";
  if (!std::filesystem::is_directory(root)) GTEST_SKIP() << "kicad-footprints is not installed";
  for (const char* library : {"Package_DIP.pretty", "Connector_PinHeader_2.54mm.pretty"}) {
    int imported = 0;
    for (const auto& entry : std::filesystem::directory_iterator(root / library)) {
      ObjectData object;
      KicadImportReport report;
      if (!importKicadFootprintFile(entry.path().string(), false, object, report)) {
        // Only footprints of surface pads alone, or of a metric pitch, are refused.
        EXPECT_TRUE(report.refusedForRounding ||
                    report.reason.find("no through-hole pad") != std::string::npos)
            << entry.path() << ": " << report.reason;
        continue;
      }
      ++imported;
      EXPECT_LT(report.largestErrorMm, 0.01) << entry.path();
      EXPECT_GT(object.pins.size(), 0u);
    }
    EXPECT_GT(imported, 50) << library;
  }
}

}  // namespace fw
