// The printed artwork, checked dot by dot on the page image that PNG output writes.
#include <gtest/gtest.h>

#include "print/PrintRoutine.h"

namespace fw {
namespace {

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

PrintSettings at(int dpiIndex, int scale, int layer = 0) {
  PrintSettings s;
  s.dpiIndex = dpiIndex;
  s.scale = scale;
  s.layer = layer;
  return s;
}

// Two round size-3 pins on a row, a Layer 1 track with a Layer 2 piece in it below them, and a
// Layer 1 text below that.
std::unique_ptr<Board> sampleBoard() {
  auto b = makeBoard();
  b->addPin({100, 100, 3, 0});
  b->addPin({104, 100, 3, 0});
  b->addWirePoint({100 + WireStartFlag, 120 + WireStartFlag, kWireStartAttr});
  b->addWirePoint({120, 120, 0x03});
  b->addWirePoint({140, 120, 0x13});  // on Layer 2
  b->addWirePoint({160, 120, 0x03});
  TextItem t;
  t.text.set("R1");
  t.size = 20;
  t.x = 130;
  t.y = 140;
  b->addText(t);
  return b;
}

QImage page(const Board& b, const PrintSettings& s) {
  return printToImage(b, s, QSize(900, 700), 2);
}

TEST(PrintRoutine, PinsLandWhereTheUnitsPutThem) {
  const auto b = sampleBoard();
  const QImage img = page(*b, at(2, 100));  // 360 dpi: one unit of 1/360 inch is a dot
  // The top-left pin's centre is 20 dots in; its round pad spans 36 dots, 2..37.
  EXPECT_EQ(img.pixel(1, 20), kWhite);
  EXPECT_EQ(img.pixel(2, 20), kBlack);
  EXPECT_EQ(img.pixel(20, 2), kBlack);
  EXPECT_EQ(img.pixel(20, 20), kWhite);  // its drill hole
  EXPECT_EQ(img.pixel(12, 20), kBlack);
  // The pin 4 units to the right has its hole at dot 56.
  EXPECT_EQ(img.pixel(56, 20), kWhite);
  EXPECT_EQ(img.pixel(56 + 10, 20), kBlack);
  EXPECT_EQ(img.pixel(74, 20), kWhite);

  // 720 dpi at 50% puts the pads on the same dots as 360 dpi at 100%.
  const QImage fine = page(*b, at(4, 50));
  for (const QPoint& dot : {QPoint(1, 20), QPoint(2, 20), QPoint(37, 20), QPoint(20, 1),
                            QPoint(20, 2), QPoint(56, 20), QPoint(73, 20), QPoint(74, 20)})
    EXPECT_EQ(fine.pixel(dot), img.pixel(dot)) << dot.x() << "," << dot.y();
}

TEST(PrintRoutine, EachLayerPrintsItsOwnTracksAndTextsAndEveryPad) {
  const auto b = sampleBoard();
  auto blackIn = [](const QImage& img, QRect r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) n += img.pixel(x, y) == kBlack;
    return n;
  };
  // In dots at 360 dpi: the first Layer 1 segment, the Layer 2 segment, the text, the pads.
  const QRect layer1Track(40, 196, 140, 8), layer2Track(220, 196, 140, 8);
  const QRect text(250, 350, 80, 60), pads(0, 0, 80, 40);
  struct Case {
    int layer;
    bool track1, track2, texts;
  };
  const Case cases[] = {{0, true, false, true},
                        {1, false, true, false},
                        {2, false, false, false},
                        {3, false, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.layer);
    const QImage img = page(*b, at(2, 100, c.layer));
    EXPECT_EQ(blackIn(img, layer1Track) > 0, c.track1);
    EXPECT_EQ(blackIn(img, layer2Track) > 0, c.track2);
    EXPECT_EQ(blackIn(img, text) > 0, c.texts);
    EXPECT_GT(blackIn(img, pads), 1000);
  }
}

TEST(PrintRoutine, TextSizesFollowScaleAndResolution) {
  EXPECT_EQ(printTextPoints(8, at(2, 100)), 3);
  EXPECT_EQ(printTextPoints(8, at(3, 100)), 5);
  EXPECT_EQ(printTextPoints(8 + 64, at(3, 100)), 5);  // only the low six bits are the size
  EXPECT_EQ(printTextPoints(5, at(0, 10)), 0);
}

TEST(PrintRoutine, MirrorFlipsAndNegativeInvertsTheArtworkExactly) {
  const auto b = sampleBoard();
  PrintSettings plain = at(2, 100);
  const QImage positive = page(*b, plain);
  PrintSettings mirrored = plain;
  mirrored.mirror = true;
  EXPECT_EQ(page(*b, mirrored), positive.mirrored(true, false));

  PrintSettings negative = plain;
  negative.negative = true;
  const QImage neg = page(*b, negative);
  const QRect area = negativeArea(*b, plain, 2);
  ASSERT_FALSE(area.isEmpty());
  EXPECT_EQ(area.left(), 2 - 28);  // grown by 2 mm, 28 dots at 360 dpi
  int wrong = 0;
  for (int y = 0; y < positive.height(); ++y)
    for (int x = 0; x < positive.width(); ++x) {
      const QRgb want = area.contains(x, y) ? (positive.pixel(x, y) ^ 0xFFFFFF) | 0xFF000000
                                            : positive.pixel(x, y);
      wrong += neg.pixel(x, y) != want;
    }
  EXPECT_EQ(wrong, 0);
}

TEST(PrintRoutine, ABoardWithoutPinsStillLandsOnThePage) {
  auto b = makeBoard();
  b->addWirePoint({300 + WireStartFlag, 300 + WireStartFlag, kWireStartAttr});
  b->addWirePoint({310, 300, 0x05});
  EXPECT_TRUE(boardHasMaterial(*b));
  const QImage img = page(*b, at(2, 100));
  EXPECT_EQ(img.pixel(30, 20), kBlack);  // the track starts 20 dots in
  EXPECT_FALSE(boardHasMaterial(*makeBoard()));
}

}  // namespace
}  // namespace fw
