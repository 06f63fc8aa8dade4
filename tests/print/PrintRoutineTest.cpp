// The printed artwork, checked dot by dot on the page image that PNG output writes.
#include <gtest/gtest.h>

#include <functional>
#include <string>

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

bool dark(const QImage& img, int x, int y) {
  return qGray(img.pixel(x, y)) < 128;
}

// The box of the dark dots within `r`.
QRect inkBox(const QImage& img, QRect r) {
  r = r.intersected(img.rect());
  QRect box;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (dark(img, x, y)) box = box.united(QRect(x, y, 1, 1));
  return box;
}

int inkCount(const QImage& img) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) n += dark(img, x, y);
  return n;
}

// A round pin with a Layer 1 track beside it, and something of another layer reaching left of
// and above it by more than the 20 dots it stands in from the corner. Every layer's print moves
// by the same amount, just enough that none of it is cut off: each print is the print of the
// same board with an extra pin far up and left (where nothing is cut), moved back.
TEST(PrintRoutine, ArtworkReachingPastTheCornerMovesEveryLayerAlike) {
  auto track2 = [](Board& b) {
    b.addWirePoint({90 + WireStartFlag, 96 + WireStartFlag, kWireStartAttr});
    b.addWirePoint({100, 96, 0x15});
  };
  auto text2 = [](Board& b) {
    TextItem t;
    t.text.set("WW");
    t.size = 20;
    t.x = 4096 + 95;
    t.y = 104;
    b.addText(t);
  };
  auto ring = [](Board& b) { b.addPin({98, 98, 3, GraphicPinFlag}); };
  const std::pair<const char*, std::function<void(Board&)>> cases[] = {
      {"Layer 2 track", track2}, {"Layer 2 text", text2}, {"graphic ring", ring}};
  for (const auto& [what, add] : cases) {
    SCOPED_TRACE(what);
    auto b = makeBoard();
    b->addPin({100, 100, 3, 0});
    b->addWirePoint({104 + WireStartFlag, 110 + WireStartFlag, kWireStartAttr});
    b->addWirePoint({120, 110, 0x03});
    add(*b);
    auto far = makeBoard();
    *far = *b;
    far->addPin({60, 60, 0, 0});  // 40 units, 360 dots, further up and left: lands 11..28

    const QImage pins = page(*b, at(2, 100, 3));
    // Where the pin at (100, 100) landed: its 36-dot pad is all the pins-only print holds.
    const QPoint pin = inkBox(pins, pins.rect()).topLeft() + QPoint(18, 18);
    const QPoint d = QPoint(20 + 360, 20 + 360) - pin;
    int left = 1000, top = 1000;
    for (int layer = 0; layer < 4; ++layer) {
      SCOPED_TRACE(layer);
      const QImage img = page(*b, at(2, 100, layer));
      // In register: the pads of the pins-only print are on every layer's print.
      int missing = 0;
      for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) missing += dark(pins, x, y) && !dark(img, x, y);
      EXPECT_EQ(missing, 0);
      // Nothing cut off: the far print holds no ink outside the page moved back, but for the
      // extra pin's pad.
      const QImage whole = printToImage(*far, at(2, 100, layer), QSize(1400, 1100), 2);
      ASSERT_TRUE(QRect(QPoint(0, 0), whole.size()).contains(QRect(d, img.size())));
      EXPECT_EQ(whole.copy(QRect(d, img.size())), img);
      const QRect spill =
          inkBox(whole, QRect(0, 0, 1400, d.y())).united(inkBox(whole, QRect(0, 0, d.x(), 1100)));
      EXPECT_TRUE(QRect(0, 0, 40, 40).contains(spill)) << spill.x() << "," << spill.y();
      const QRect ink = inkBox(img, img.rect());
      left = std::min(left, ink.left());
      top = std::min(top, ink.top());
    }
    // Just enough: some layer's artwork reaches to the left edge and some to the top.
    EXPECT_LE(left, 3);
    EXPECT_LE(top, 3);

    // The ruler lies whole on the page, as many dots as where nothing moves.
    PrintSettings ruled = at(2, 100, 1);
    ruled.ruler = true;
    auto rulerInk = [&](const Board& board, QSize size) {
      return inkCount(printToImage(board, ruled, size, 2)) -
             inkCount(printToImage(board, at(2, 100, 1), size, 2));
    };
    EXPECT_EQ(rulerInk(*b, QSize(900, 700)), rulerInk(*far, QSize(1400, 1100)));
  }
}

// The drill mark is a white hole in the middle of the pad: a fifth of the pad size as radius for
// a round pad, a quarter for an oval one (lying or standing), which leaves an oval's narrow side
// about as much copper as a round pad of the same size keeps. Measured across the hole's middle
// at 360 dpi and 100%, where a unit is a dot; the hole's one-dot edge is ink.
TEST(PrintRoutine, DrillMarksOfOvalPadsHaveTheOvalsRadius) {
  const int padSize = 108;  // size item 9
  struct Case {
    int style;
    int radius;
  };
  for (const Case& c : {Case{0, padSize / 5}, Case{1, padSize / 4}, Case{2, padSize / 4}}) {
    SCOPED_TRACE(c.style);
    auto b = makeBoard();
    b->addPin({200, 200, 9, uint8_t(c.style)});
    const QImage img = printToImage(*b, at(2, 100), QSize(400, 400), 2);
    const QRect pad = inkBox(img, img.rect());
    ASSERT_FALSE(pad.isEmpty());
    const QPoint centre = pad.center();
    ASSERT_FALSE(dark(img, centre.x(), centre.y()));
    auto whiteRun = [&](int dx, int dy) {
      int n = 0;
      while (!dark(img, centre.x() + (n + 1) * dx, centre.y() + (n + 1) * dy)) ++n;
      return n;
    };
    const int across = whiteRun(-1, 0) + 1 + whiteRun(1, 0);
    const int down = whiteRun(0, -1) + 1 + whiteRun(0, 1);
    EXPECT_NEAR(across, 2 * c.radius - 2, 1);
    EXPECT_NEAR(down, 2 * c.radius - 2, 1);
  }
}

// Crop marks continue the frame's edges about 3 mm out from each corner, about 0.2 mm wide at
// 100%, on every layer's print; an odd frame size puts them half a board unit between positions.
TEST(PrintRoutine, FrameMarksStandAtTheFrameCornersOnEveryLayer) {
  struct Case {
    int width, height, dpiIndex, scale;
    QSize page;
  };
  for (const Case& c :
       {Case{252, 158, 2, 100, QSize(2400, 1600)}, Case{101, 61, 3, 100, QSize(1700, 1200)},
        Case{101, 61, 4, 50, QSize(1000, 700)}}) {
    SCOPED_TRACE(c.width);
    auto b = makeBoard();
    b->FrameWidth = c.width;
    b->FrameHeight = c.height;
    b->addPin({396, 296, 3, 0});  // the frame's middle
    const double dotsPerMm = kPrintDpiTable[c.dpiIndex] / 25.4 * c.scale / 100;
    const double dotsPerUnit = 0.635 * dotsPerMm;
    for (int layer = 0; layer < 4; ++layer) {
      SCOPED_TRACE(layer);
      PrintSettings s = at(c.dpiIndex, c.scale, layer);
      s.frameMarks = true;
      const QImage img = printToImage(*b, s, c.page, 2);
      const QRect pad =
          inkBox(img, QRect(QPoint(c.page.width() / 4, c.page.height() / 4), c.page / 2));
      ASSERT_FALSE(pad.isEmpty());
      const QPointF centre((pad.left() + pad.right() + 1) / 2.0,
                           (pad.top() + pad.bottom() + 1) / 2.0);
      const double halfW = dotsPerUnit * c.width / 2, halfH = dotsPerUnit * c.height / 2;
      const int mm = int(dotsPerMm + 0.5);
      for (const int sx : {-1, 1})
        for (const int sy : {-1, 1}) {
          const QPointF corner(centre.x() + sx * halfW, centre.y() + sy * halfH);
          const int cx = qRound(corner.x()), cy = qRound(corner.y());
          // Along the horizontal edge, then along the vertical one.
          const QRect h = inkBox(
              img, QRect(QPoint(cx + sx * mm / 2, cy - mm), QPoint(cx + sx * 5 * mm, cy + mm))
                       .normalized());
          const QRect v = inkBox(
              img, QRect(QPoint(cx - mm, cy + sy * mm / 2), QPoint(cx + mm, cy + sy * 5 * mm))
                       .normalized());
          ASSERT_FALSE(h.isEmpty() || v.isEmpty()) << sx << "," << sy;
          EXPECT_LE(std::abs((h.top() + h.bottom() + 1) / 2.0 - corner.y()), 1.0);
          EXPECT_LE(std::abs((v.left() + v.right() + 1) / 2.0 - corner.x()), 1.0);
          const double hLength = sx < 0 ? corner.x() - h.left() : h.right() + 1 - corner.x();
          const double vLength = sy < 0 ? corner.y() - v.top() : v.bottom() + 1 - corner.y();
          for (const double length : {hLength, vLength}) {
            EXPECT_GE(length, 2.8 * dotsPerMm);
            EXPECT_LE(length, 3.2 * dotsPerMm);
          }
          for (const int width : {h.height(), v.width()}) EXPECT_LE(width, 0.3 * dotsPerMm + 1);
        }
    }
  }
}

// The millimetres a cut-off warning gives before "mm past the EDGE edge", or 0 without it.
double mmPast(const std::string& message, const std::string& edge) {
  const std::size_t at = message.find(" mm past the " + edge + " edge");
  if (at == std::string::npos) return 0;
  return std::stod(message.substr(message.rfind(' ', at - 1) + 1));
}

// What the page cuts off, as the warning says it, against the ink of the same print on a page
// large enough for all of it.
TEST(PrintRoutine, APrintReachingPastThePageSaysHowMuchIsCutOff) {
  struct Case {
    const char* what;
    int pinX, pinY;  // one more pin, besides the sample board's
    bool ruler, mirror;
    QSize area;
  };
  const Case cases[] = {
      {"on the page", 104, 100, false, false, {900, 700}},
      {"a pad past the right edge", 200, 100, false, false, {900, 700}},
      {"a pad past the bottom edge", 100, 180, false, false, {900, 700}},
      {"past both", 200, 180, false, false, {900, 700}},
      {"only the ruler past the right edge", 104, 100, true, false, {600, 700}},
      {"only the ruler past the bottom edge", 104, 100, true, false, {900, 480}},
      {"mirrored: the page turned over, past its left edge", 200, 100, false, true, {900, 700}},
  };
  for (const Case& c : cases) {
    auto b = sampleBoard();
    b->addPin({uint16_t(c.pinX), uint16_t(c.pinY), 3, 0});
    PrintSettings s = at(2, 100);
    s.ruler = c.ruler;
    const QImage whole = printToImage(*b, s, QSize(2000, 2000), 2);
    const QRect ink = inkBox(whole, whole.rect());
    const double right = std::max(0, ink.right() + 1 - c.area.width()) * 25.4 / 360;
    const double bottom = std::max(0, ink.bottom() + 1 - c.area.height()) * 25.4 / 360;
    s.mirror = c.mirror;
    const std::string message = artworkCutOff(*b, s, c.area, 2);
    EXPECT_EQ(message.empty(), right == 0 && bottom == 0) << c.what << ": " << message;
    EXPECT_NEAR(mmPast(message, c.mirror ? "left" : "right"), right, 0.15) << c.what;
    EXPECT_NEAR(mmPast(message, "bottom"), bottom, 0.15) << c.what << ": " << message;
  }
}

}  // namespace
}  // namespace fw
