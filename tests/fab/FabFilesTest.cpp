// The fabrication files read as text: coordinates, apertures, the drill table, attributes,
// text regions, and writing them into a folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <sstream>

#include "fab/Fabrication.h"

namespace fw {
namespace {

bool has(const std::string& text, const std::string& line) {
  return text.find(line + "\n") != std::string::npos;
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

Pin pin(int x, int y, int sizeIndex, int style) {
  return {uint16_t(x), uint16_t(y), uint8_t(sizeIndex), uint8_t(style)};
}

// The frame of a new board is 252 x 158 units around (396, 296): its lower left corner is the
// board position (270, 375), and a unit is 0.635 mm.
TEST(FabFiles, PadsAndTracksLieWhereTheFrameCornerIsTheOrigin) {
  auto b = makeBoard();
  b->addPin(pin(300, 350, 3, 0));
  b->addWirePoint({280 + WireStartFlag, 360 + WireStartFlag, kWireStartAttr});
  b->addWirePoint({320, 360, 0x05});  // Layer 1, width 5 (18/360 inch)
  b->addWirePoint({320, 340, 0x15});  // Layer 2: not in the Layer 1 file
  const std::string l1 = fabFileText(*b, FabFile::Layer1);
  EXPECT_TRUE(has(l1, "X19050000Y15875000D03*")) << l1;  // 30 and 25 units in
  // A coordinate that does not change is left out.
  EXPECT_TRUE(has(l1, "X6350000Y9525000D02*\nX31750000D01*")) << l1;
  EXPECT_EQ(l1.find("Y22225000"), std::string::npos) << "the Layer 2 segment's end point";
  const std::string l2 = fabFileText(*b, FabFile::Layer2);
  EXPECT_TRUE(has(l2, "X31750000Y9525000D02*\nY22225000D01*")) << l2;
  EXPECT_TRUE(has(l2, "X19050000Y15875000D03*")) << "pads are on both copper layers";

  // Another frame moves the origin: 100 x 60 units puts the corner at (346, 326), and 101 x 61
  // half a unit further out, at (345.5, 326.5), where the screen draws it.
  b->FrameWidth = 100;
  b->FrameHeight = 60;
  EXPECT_TRUE(has(fabFileText(*b, FabFile::Layer1), "X-29210000Y-15240000D03*"));
  EXPECT_TRUE(has(fabFileText(*b, FabFile::Outline), "X63500000D01*\nY38100000D01*"));
  b->FrameWidth = 101;
  b->FrameHeight = 61;
  EXPECT_TRUE(has(fabFileText(*b, FabFile::Layer1), "X-28892500Y-14922500D03*"));
  EXPECT_TRUE(has(fabFileText(*b, FabFile::Outline), "X64135000D01*\nY38735000D01*"));
}

TEST(FabFiles, AperturesHaveThePrintSizesAtFullScale) {
  struct Case {
    int sizeIndex, style;
    FabFile file;
    int maskExpansionUm;
    std::string aperture;  // the definition after %ADDnn
  };
  // 36/360 inch is 2.54 mm, 18/360 inch 1.27 mm; ovals are 1.6 times as long. The masks grow
  // every pad by the expansion on each side.
  const Case cases[] = {
      {3, 0, FabFile::Layer1, 50, "C,2.540000"},
      {3, 1, FabFile::Layer1, 50, "O,4.064000X2.540000"},
      {3, 2, FabFile::Layer1, 50, "O,2.540000X4.064000"},
      {0, 0, FabFile::Layer1, 50, "C,1.270000"},
      {9, 0, FabFile::Layer1, 50, "C,7.620000"},
      {11, 0, FabFile::Layer1, 50, "C,13.546667"},
      {7, 1, FabFile::Layer1, 50, "O,8.128000X5.080000"},
      {3, 0, FabFile::MaskTop, 50, "C,2.640000"},
      {3, 1, FabFile::MaskBottom, 50, "O,4.164000X2.640000"},
      {0, 2, FabFile::MaskTop, 0, "O,1.270000X2.032000"},
      {9, 0, FabFile::MaskBottom, 1000, "C,9.620000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(fabFileSuffix(c.file) + (" " + c.aperture));
    auto b = makeBoard();
    b->addPin(pin(300, 300, c.sizeIndex, c.style));
    FabOptions options;
    options.maskExpansionUm = c.maskExpansionUm;
    const std::string text = fabFileText(*b, c.file, options);
    EXPECT_TRUE(has(text, "%ADD10" + c.aperture + "*%")) << text;
    EXPECT_TRUE(has(text, "X19050000Y47625000D03*")) << text;
  }
  // Tracks by width index, and a graphic pin's ring on the legend as an annulus: 2 x 36 with
  // a pen of 8/360 inch.
  auto b = makeBoard();
  b->addWirePoint({280 + WireStartFlag, 360 + WireStartFlag, kWireStartAttr});
  b->addWirePoint({320, 360, 0x00});
  b->addWirePoint({320, 380, 0x0B});
  b->addWirePoint({330, 380, 0x2B});
  b->addPin(pin(300, 300, 3, GraphicPinFlag));
  const std::string l1 = fabFileText(*b, FabFile::Layer1);
  EXPECT_TRUE(has(l1, "%ADD10C,0.141111*%")) << l1;
  EXPECT_TRUE(has(l1, "%ADD11C,5.080000*%")) << l1;
  const std::string legend = fabFileText(*b, FabFile::Graphic);
  EXPECT_TRUE(has(legend, "%ADD10C,5.080000*%")) << legend;
  EXPECT_TRUE(has(legend, "%ADD11C,5.644444X4.515556*%")) << legend;
  EXPECT_EQ(l1.find("D03*"), std::string::npos) << "a graphic pin has no pad";
}

TEST(FabFiles, TheDrillFileHasOneToolPerFinishedHoleAndOneHolePerPad) {
  auto b = makeBoard();
  b->addPin(pin(300, 350, 3, 1));  // 2.54 mm pads: 1.2 mm, whatever the shape
  b->addPin(pin(310, 350, 7, 0));  // 5.08 mm: 1.8 mm, made 0.9 mm below
  b->addPin(pin(320, 350, 0, 0));  // 1.27 mm: 0.7 mm
  b->addPin(pin(330, 350, 3, 0));
  b->addPin(pin(340, 350, 3, GraphicPinFlag));
  b->addPin(pin(350, 350, 3, 7));  // a style without a pad
  FabOptions options;
  options.holeUm[7] = 900;
  const std::vector<std::string> lines = linesOf(fabFileText(*b, FabFile::Drill, options));
  const std::vector<std::string> expected = {"T1C0.700",
                                             "T2C0.900",
                                             "T3C1.200",
                                             "%",
                                             "G90",
                                             "G05",
                                             "T1",
                                             "X31.750Y15.875",
                                             "T2",
                                             "X25.400Y15.875",
                                             "T3",
                                             "X19.050Y15.875",
                                             "X38.100Y15.875",
                                             "M30"};
  ASSERT_GE(lines.size(), expected.size());
  EXPECT_EQ(lines.front(), "M48");
  EXPECT_NE(std::find(lines.begin(), lines.end(), "METRIC,TZ"), lines.end());
  const std::vector<std::string> tail(lines.end() - long(expected.size()), lines.end());
  EXPECT_EQ(tail, expected);
}

TEST(FabFiles, EveryFileCarriesItsAttributes) {
  auto b = makeBoard();
  b->addPin(pin(300, 350, 3, 0));
  struct Case {
    FabFile file;
    std::string function;
  };
  const Case cases[] = {
      {FabFile::Layer1, "G04 #@! TF.FileFunction,Copper,L1,Top*"},
      {FabFile::Layer2, "G04 #@! TF.FileFunction,Copper,L2,Bot*"},
      {FabFile::Graphic, "G04 #@! TF.FileFunction,Legend,Top*"},
      {FabFile::MaskTop, "G04 #@! TF.FileFunction,Soldermask,Top*"},
      {FabFile::MaskBottom, "G04 #@! TF.FileFunction,Soldermask,Bot*"},
      {FabFile::Outline, "G04 #@! TF.FileFunction,Profile,NP*"},
      {FabFile::Drill, "; #@! TF.FileFunction,Plated,1,2,PTH"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(fabFileSuffix(c.file));
    const std::string text = fabFileText(*b, c.file);
    EXPECT_TRUE(has(text, c.function)) << text;
    if (c.file == FabFile::Drill) {
      EXPECT_TRUE(has(text, "; #@! TA.AperFunction,Plated,PTH,ComponentDrill"));
      continue;
    }
    EXPECT_TRUE(has(text, "G04 #@! TF.GenerationSoftware,Ferrowrit,Ferrowrit,5.0*"));
    EXPECT_TRUE(has(text, std::string("G04 #@! TF.FilePolarity,") + fabFilePolarity(c.file) + "*"));
    // Every file declares an aperture, even where nothing takes one (the outline takes its pen).
    EXPECT_NE(text.find("%ADD10"), std::string::npos) << text;
    EXPECT_TRUE(has(text, "%FSLAX46Y46*%\n%MOMM*%"));
    EXPECT_EQ(text.substr(text.size() - 5), "M02*\n");
    for (const char* old : {"G54", "G70", "G71", "G90", "G91", "%IP", "%AS", "%MI", "%SF"})
      EXPECT_EQ(text.find(old), std::string::npos) << old;
  }
  EXPECT_TRUE(has(fabFileText(*b, FabFile::Layer1), "G04 #@! TA.AperFunction,ComponentPad*"));
  EXPECT_STREQ(fabFilePolarity(FabFile::MaskTop), "Negative");
  EXPECT_STREQ(fabFilePolarity(FabFile::Layer2), "Positive");
}

// The regions of "HI" on Layer 2 at size 26 (12 points, an em of 4.233 mm), centred on the
// text's position: closed contours of straight segments, within the text's box.
TEST(FabFiles, ATextIsFilledGlyphOutlinesOnItsLayer) {
  auto b = makeBoard();
  TextItem t;
  t.text.set("HI");
  t.size = 26;
  t.x = uint16_t(4096 + 300);
  t.y = 350;
  b->addText(t);
  EXPECT_EQ(fabFileText(*b, FabFile::Layer1).find("G36"), std::string::npos);
  const std::vector<std::string> lines = linesOf(fabFileText(*b, FabFile::Layer2));
  const std::regex point("(X(-?[0-9]+))?(Y(-?[0-9]+))?D0([12])\\*");
  long long x = 0, y = 0;
  int regions = 0, contours = 0;
  long long minX = 1LL << 50, maxX = -minX, minY = minX, maxY = -minX;
  bool inside = false;
  std::string start, last;
  for (const std::string& line : lines) {
    if (line == "G36*") {
      EXPECT_FALSE(inside);
      inside = true;
      ++regions;
      continue;
    }
    if (line == "G37*") {
      EXPECT_EQ(last, start) << "a contour ends where it began";
      inside = false;
      continue;
    }
    std::smatch m;
    if (!std::regex_match(line, m, point)) continue;
    EXPECT_TRUE(inside) << line;
    if (m[1].matched) x = std::stoll(m[2]);
    if (m[3].matched) y = std::stoll(m[4]);
    const std::string at = std::to_string(x) + "," + std::to_string(y);
    if (m[5] == "2") {
      if (!start.empty()) {
        EXPECT_EQ(last, start) << "a contour ends where it began";
      }
      start = at;
      ++contours;
    }
    last = at;
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
  }
  EXPECT_EQ(regions, 2);
  EXPECT_EQ(contours, 2);
  const long long cx = 30 * 635000, cy = 25 * 635000;
  EXPECT_NEAR((minX + maxX) / 2, cx, 200000);
  EXPECT_NEAR((minY + maxY) / 2, cy, 800000);
  // Capitals of Liberation Sans stand about 0.69 em high.
  EXPECT_NEAR(maxY - minY, 2900000, 300000);
  EXPECT_GT(maxX - minX, 2000000);
  EXPECT_LT(maxX - minX, 4500000);
}

}  // namespace
}  // namespace fw
