#include <gtest/gtest.h>

#include <QFontInfo>
#include <functional>
#include <random>

#include "render/Canvas.h"
#include "render/PixelTools.h"

namespace fw {
namespace {

using test::boundsOf;
using test::Box;
using test::countPixels;
using test::rgb;

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

class CanvasTest : public ::testing::Test {
 protected:
  Canvas c{200, 150, 60};

  void white() {
    c.setPenColor(Qt::white);
    c.setBrushColor(Qt::white);
    c.setBrushStyle(BrushStyle::Solid);
  }
};

TEST_F(CanvasTest, WindowRowsAreTranslatedByTheOffset) {
  EXPECT_EQ(c.width(), 200);
  EXPECT_EQ(c.height(), 150);
  c.setPixel(5, 60, Qt::red);
  c.setPixel(6, 209, Qt::red);
  c.setPixel(7, 59, Qt::red);   // above the canvas: ignored
  c.setPixel(8, 210, Qt::red);  // below
  EXPECT_EQ(c.image().pixel(5, 0), rgb(255, 0, 0));
  EXPECT_EQ(c.image().pixel(6, 149), rgb(255, 0, 0));
  EXPECT_EQ(countPixels(c, rgb(255, 0, 0)), 2);
  EXPECT_EQ(c.pixelAt(-1, 100), kBlack);
  EXPECT_EQ(c.pixelAt(0, 59), kBlack);
  EXPECT_EQ(c.scanLine(59), nullptr);
  EXPECT_NE(c.scanLine(60), nullptr);
  EXPECT_EQ(c.scanLine(210), nullptr);

  c.resize(50, 40);
  EXPECT_EQ(c.width(), 50);
  EXPECT_EQ(countPixels(c, rgb(255, 0, 0)), 0);
  c.resize(0, -3);  // never an empty image
  EXPECT_EQ(c.width(), 1);
  EXPECT_EQ(c.height(), 1);
}

// A window-sized canvas lives in memory of its own: a copy of its picture keeps its pixels while
// the canvas draws on, and outlives the canvas.
TEST(LargeCanvas, PictureCopiesStayAsTheyWereAndOutliveTheCanvas) {
  QImage copy;
  {
    Canvas big(1920, 1080, 60);
    big.setPixel(1919, 1139, Qt::red);
    copy = big.image();
    big.setPixel(0, 60, Qt::red);
    EXPECT_EQ(big.pixelAt(0, 60), rgb(255, 0, 0));
    big.resize(1920, 1200);
    EXPECT_EQ(big.pixelAt(1919, 1139), kBlack);
  }
  EXPECT_EQ(copy.pixel(1919, 1079), rgb(255, 0, 0));
  EXPECT_EQ(copy.pixel(0, 0), kBlack);
}

TEST_F(CanvasTest, BoxesExcludeTheirRightAndBottomEdges) {
  white();
  c.rectangle(10, 70, 20, 75);
  Box b = boundsOf(c, kWhite);
  EXPECT_EQ(b.x1, 10);
  EXPECT_EQ(b.x2, 19);
  EXPECT_EQ(b.y1, 70);
  EXPECT_EQ(b.y2, 74);
  EXPECT_EQ(countPixels(c, kWhite), 50);

  // A pad of 16 pixels around (100, 120): -8 .. +7, symmetric about the box centre.
  c.resize(200, 150);
  c.ellipse(92, 112, 108, 128);
  b = boundsOf(c, kWhite);
  EXPECT_EQ(b.x1, 92);
  EXPECT_EQ(b.x2, 107);
  EXPECT_EQ(b.y1, 112);
  EXPECT_EQ(b.y2, 127);
  for (int y = 112; y < 128; ++y)
    for (int x = 92; x < 108; ++x) {
      EXPECT_EQ(c.pixelAt(x, y), c.pixelAt(199 - x, y)) << x << "," << y;  // mirrored at 99.5
      EXPECT_EQ(c.pixelAt(x, y), c.pixelAt(x, 239 - y)) << x << "," << y;
      EXPECT_EQ(c.pixelAt(x, y), c.pixelAt(y - 20, x + 20)) << x << "," << y;  // diagonal
    }
  EXPECT_EQ(c.pixelAt(92, 112), kBlack);  // corners are cut
  EXPECT_EQ(c.pixelAt(92, 120), kWhite);

  // Reversed corners describe the same box; an empty box draws nothing.
  c.resize(200, 150);
  c.ellipse(108, 128, 92, 112);
  EXPECT_EQ(boundsOf(c, kWhite).x1, 92);
  c.resize(200, 150);
  c.ellipse(50, 100, 50, 110);
  c.rectangle(50, 100, 60, 100);
  EXPECT_EQ(countPixels(c, kWhite), 0);
  // A box of one pixel is that pixel.
  c.ellipse(40, 90, 41, 91);
  EXPECT_EQ(countPixels(c, kWhite), 1);
  EXPECT_EQ(c.pixelAt(40, 90), kWhite);
}

TEST_F(CanvasTest, RoundRectsHaveRoundEndsAndStayInTheirBox) {
  white();
  // The horizontal pad of 16 pixels: 24 x 16 pixels with half circles at the ends.
  c.roundRect(88, 112, 112, 128, 16, 16);
  const Box b = boundsOf(c, kWhite);
  EXPECT_EQ(b.x1, 88);
  EXPECT_EQ(b.x2, 111);
  EXPECT_EQ(b.y1, 112);
  EXPECT_EQ(b.y2, 127);
  EXPECT_EQ(c.pixelAt(88, 112), kBlack);
  EXPECT_EQ(c.pixelAt(100, 112), kWhite);  // the straight middle reaches the top row
  EXPECT_EQ(c.pixelAt(88, 120), kWhite);
  // Each end is the left or right half of the 16-pixel circle.
  Canvas circle(200, 150, 60);
  circle.setPenColor(Qt::white);
  circle.setBrushColor(Qt::white);
  circle.ellipse(88, 112, 104, 128);
  for (int y = 112; y < 128; ++y)
    for (int x = 88; x < 96; ++x) EXPECT_EQ(c.pixelAt(x, y), circle.pixelAt(x, y));

  // Corners larger than the box are limited to it; zero corners give a rectangle.
  c.resize(200, 150);
  c.roundRect(10, 70, 20, 80, 500, 500);
  Canvas e(200, 150, 60);
  e.setPenColor(Qt::white);
  e.setBrushColor(Qt::white);
  e.ellipse(10, 70, 20, 80);
  EXPECT_EQ(test::compareImages(c.image(), e.image()).count, 0);
  c.resize(200, 150);
  c.roundRect(10, 70, 20, 80, 0, 0);
  EXPECT_EQ(countPixels(c, kWhite), 100);
}

TEST_F(CanvasTest, PenLiesInsideTheBoxAndBrushFillsTheRest) {
  c.setPenColor(Qt::red);
  c.setBrushColor(Qt::blue);
  c.setPenWidth(2);
  c.rectangle(10, 70, 20, 80);
  EXPECT_EQ(c.pixelAt(10, 70), rgb(255, 0, 0));
  EXPECT_EQ(c.pixelAt(11, 71), rgb(255, 0, 0));
  EXPECT_EQ(c.pixelAt(12, 72), rgb(0, 0, 255));
  EXPECT_EQ(c.pixelAt(17, 77), rgb(0, 0, 255));
  EXPECT_EQ(c.pixelAt(18, 78), rgb(255, 0, 0));
  EXPECT_EQ(c.pixelAt(20, 80), kBlack);
  EXPECT_EQ(countPixels(c, rgb(0, 0, 255)), 36);

  // A ring of pen width 2 around a radius of 16, clear brush: nothing inside.
  c.resize(200, 150);
  c.setBrushStyle(BrushStyle::Clear);
  c.ellipse(84, 104, 116, 136);
  EXPECT_EQ(c.pixelAt(84, 120), rgb(255, 0, 0));
  EXPECT_EQ(c.pixelAt(85, 120), rgb(255, 0, 0));
  EXPECT_EQ(c.pixelAt(86, 120), kBlack);
  EXPECT_EQ(c.pixelAt(115, 120), rgb(255, 0, 0));
  EXPECT_EQ(c.pixelAt(116, 120), kBlack);
  EXPECT_EQ(c.pixelAt(100, 104), rgb(255, 0, 0));
  EXPECT_EQ(c.pixelAt(100, 103), kBlack);
  EXPECT_EQ(c.pixelAt(100, 120), kBlack);
  EXPECT_EQ(countPixels(c, rgb(0, 0, 255)), 0);
}

TEST_F(CanvasTest, LineToLeavesOutItsEndPixelAndMovesThePen) {
  white();
  c.moveTo(10, 70);
  c.lineTo(20, 70);
  EXPECT_EQ(c.state().penX, 20);
  EXPECT_EQ(c.state().penY, 70);
  EXPECT_EQ(countPixels(c, kWhite), 10);
  EXPECT_EQ(c.pixelAt(10, 70), kWhite);
  EXPECT_EQ(c.pixelAt(19, 70), kWhite);
  EXPECT_EQ(c.pixelAt(20, 70), kBlack);

  // Diagonal and steep lines: one pixel per step of the longer axis.
  c.resize(200, 150);
  c.moveTo(10, 70);
  c.lineTo(20, 90);
  EXPECT_EQ(countPixels(c, kWhite), 20);
  EXPECT_EQ(c.pixelAt(10, 70), kWhite);
  EXPECT_EQ(c.pixelAt(20, 90), kBlack);
  c.lineTo(20, 90);  // zero length: nothing
  EXPECT_EQ(countPixels(c, kWhite), 20);

  // Widths 0 and 1 are the same one-pixel pen.
  Canvas w0(200, 150, 60), w1(200, 150, 60);
  for (Canvas* k : {&w0, &w1}) {
    k->setPenColor(Qt::white);
    k->setPenWidth(k == &w0 ? 0 : 1);
    k->moveTo(3, 61);
    k->lineTo(177, 133);
  }
  EXPECT_EQ(test::compareImages(w0.image(), w1.image()).count, 0);
  EXPECT_EQ(countPixels(w0, kWhite), 174);

  // A polyline neither uses nor moves the current position.
  c.resize(200, 150);
  c.moveTo(1, 61);
  c.polyline({{10, 70}, {30, 70}, {30, 90}});
  EXPECT_EQ(c.state().penX, 1);
  EXPECT_EQ(countPixels(c, kWhite), 40);
  EXPECT_EQ(c.pixelAt(30, 70), kWhite);  // inner corner drawn once by the second leg
  EXPECT_EQ(c.pixelAt(30, 90), kBlack);
}

TEST_F(CanvasTest, WideLinesAreAsWideAsThePenWithRoundEnds) {
  white();
  for (int w : {2, 3, 5, 8, 13}) {
    c.resize(200, 150);
    c.setPenWidth(w);
    c.moveTo(50, 100);
    c.lineTo(150, 100);
    const Box b = boundsOf(c, kWhite);
    EXPECT_EQ(b.height(), w) << w;
    EXPECT_EQ(b.width(), 100 + w) << w;
    // Round ends: the end columns of wider pens are narrower than the middle.
    if (w >= 5) {
      EXPECT_LT(countPixels(c, kWhite, b.x1, b.y1, b.x1, b.y2), w) << w;
    }
    EXPECT_EQ(countPixels(c, kWhite, 100, b.y1, 100, b.y2), w) << w;
    // Vertical lines are the same shape turned.
    Canvas v(200, 300, 60);
    v.setPenColor(Qt::white);
    v.setPenWidth(w);
    v.moveTo(100, 80);
    v.lineTo(100, 180);
    const Box bv = boundsOf(v, kWhite);
    EXPECT_EQ(bv.width(), w) << w;
    EXPECT_EQ(bv.height(), b.width()) << w;
  }
  // A wide line of no length is a round dot of the pen's width.
  c.resize(200, 150);
  c.setPenWidth(7);
  c.moveTo(100, 100);
  c.lineTo(100, 100);
  const Box dot = boundsOf(c, kWhite);
  EXPECT_EQ(dot.width(), 7);
  EXPECT_EQ(dot.height(), 7);
  EXPECT_EQ(dot.x1, 97);
}

TEST_F(CanvasTest, ConnectedWideLinesCoverTheUnionOfTheirSegments) {
  // A wire drawn point after point must look the same as its segments drawn one by one.
  std::mt19937 rng(11);
  for (RasterMode mode : {RasterMode::Copy, RasterMode::Merge}) {
    for (int width : {2, 5, 8, 13}) {
      Canvas chained(200, 150, 60), separate(200, 150, 60);
      std::vector<QPoint> points;
      for (int i = 0; i < 8; ++i) points.emplace_back(int(rng() % 200), 60 + int(rng() % 150));
      for (Canvas* k : {&chained, &separate}) {
        k->setRasterMode(mode);
        k->setPenColor(QColor(0, 128, 0));
        k->setPenWidth(width);
        k->moveTo(points[0].x(), points[0].y());
        for (std::size_t i = 1; i < points.size(); ++i) {
          if (k == &separate) k->image();  // touching the image ends the chain
          k->lineTo(points[i].x(), points[i].y());
        }
      }
      EXPECT_EQ(test::compareImages(chained.image(), separate.image()).count, 0) << width;
    }
  }
}

TEST_F(CanvasTest, FiguresLookTheSameWherever) {
  // Figures are drawn from per-size stamps near the origin and worked out row by row far
  // away from it; a canvas showing rows far down must show the same pixels.
  constexpr int kFar = (1 << 24) + 1000;
  std::mt19937 rng(17);
  Canvas near(300, 200, 60), far(300, 200, kFar);
  for (int i = 0; i < 300; ++i) {
    const int kind = int(rng() % 4);
    const int x = int(rng() % 300), y = int(rng() % 200);
    const int w = 1 + int(rng() % 60), h = 1 + int(rng() % 60);
    const int pen = 1 + int(rng() % 6);
    for (Canvas* k : {&near, &far}) {
      const int oy = k->yOffset();
      k->setPenColor(QColor::fromRgb(0xFF000000u | (i * 0x9E3779u)));
      k->setBrushColor(QColor::fromRgb(0xFF000000u | (i * 0x7F4A7Cu)));
      k->setBrushStyle(i % 3 ? BrushStyle::Solid : BrushStyle::Clear);
      k->setRasterMode(i % 5 ? RasterMode::Copy : RasterMode::Merge);
      k->setPenWidth(kind == 0 ? pen + 1 : pen);
      switch (kind) {
        case 0:
          k->moveTo(x, oy + y);
          k->lineTo(x + w - 30, oy + y + h - 30);
          break;
        case 1:
          k->ellipse(x, oy + y, x + w, oy + y + h);
          break;
        case 2:
          k->roundRect(x, oy + y, x + w, oy + y + h, w / 2, h / 3);
          break;
        default:
          k->rectangle(x, oy + y, x + w, oy + y + h);
      }
    }
  }
  EXPECT_EQ(test::compareImages(near.image(), far.image()).count, 0);
  EXPECT_GT(countPixels(near, kBlack), 0);
}

TEST_F(CanvasTest, MergeModeOrsThePenIntoTheImage) {
  c.setRasterMode(RasterMode::Merge);
  c.setPenColor(QColor(0, 128, 0));
  c.setPenWidth(5);
  c.moveTo(20, 100);
  c.lineTo(180, 100);
  c.setPenColor(QColor(128, 0, 0));
  c.moveTo(100, 65);
  c.lineTo(100, 200);
  EXPECT_EQ(c.pixelAt(100, 100), rgb(128, 128, 0));
  EXPECT_EQ(c.pixelAt(40, 100), rgb(0, 128, 0));
  EXPECT_EQ(c.pixelAt(100, 150), rgb(128, 0, 0));
  // Drawing the same track again changes nothing.
  const QImage before = c.image().copy();
  c.moveTo(100, 65);
  c.lineTo(100, 200);
  EXPECT_EQ(test::compareImages(before, c.image()).count, 0);

  c.setRasterMode(RasterMode::Copy);
  c.setPenColor(Qt::blue);
  c.moveTo(20, 100);
  c.lineTo(180, 100);
  EXPECT_EQ(c.pixelAt(100, 100), rgb(0, 0, 255));
}

// Every figure drawn twice in inverting mode leaves the image as it was, and drawn once
// changes every pixel it covers exactly once (so a figure over black turns white, not grey or
// back to black where its parts overlap).
TEST_F(CanvasTest, InvertingFiguresTwiceRestoresTheImage) {
  std::mt19937 rng(7);
  // Some busy background.
  for (int i = 0; i < 3000; ++i)
    c.setPixel(int(rng() % 200), 60 + int(rng() % 150), QColor::fromRgb(rng() & 0xFFFFFF));
  const QImage background = c.image().copy();

  const std::vector<std::pair<const char*, std::function<void(Canvas&)>>> figures = {
      {"thin line",
       [](Canvas& k) {
         k.moveTo(3, 62);
         k.lineTo(190, 170);
       }},
      {"wide line",
       [](Canvas& k) {
         k.setPenWidth(9);
         k.moveTo(30, 190);
         k.lineTo(170, 80);
       }},
      {"wide line off the edge",
       [](Canvas& k) {
         k.setPenWidth(6);
         k.moveTo(-50, 40);
         k.lineTo(250, 260);
       }},
      {"dashed polyline",
       [](Canvas& k) {
         k.setPenStyle(PenStyle::DashDotDot);
         k.polyline({{5, 65}, {195, 65}, {195, 205}, {5, 205}, {5, 65}});
       }},
      {"ellipse filled",
       [](Canvas& k) {
         k.setPenWidth(3);
         k.ellipse(20, 80, 90, 150);
       }},
      {"ellipse clear",
       [](Canvas& k) {
         k.setBrushStyle(BrushStyle::Clear);
         k.ellipse(20, 80, 90, 150);
       }},
      {"rectangle clear",
       [](Canvas& k) {
         k.setBrushStyle(BrushStyle::Clear);
         k.rectangle(100, 70, 180, 140);
       }},
      {"round rect", [](Canvas& k) { k.roundRect(60, 120, 140, 160, 40, 40); }},
  };
  for (const auto& [name, draw] : figures) {
    c.setPenWidth(1);
    c.setPenStyle(PenStyle::Solid);
    c.setBrushStyle(BrushStyle::Solid);
    c.setBrushColor(Qt::red);
    c.setPenColor(Qt::green);
    c.setRasterMode(RasterMode::Invert);
    draw(c);
    EXPECT_GT(test::compareImages(background, c.image()).count, 0) << name;
    draw(c);
    EXPECT_EQ(test::compareImages(background, c.image()).count, 0) << name;

    Canvas blank(200, 150, 60);
    blank.setRasterMode(RasterMode::Invert);
    draw(blank);
    EXPECT_EQ(countPixels(blank, kWhite) + countPixels(blank, kBlack), 200 * 150) << name;
  }
}

TEST_F(CanvasTest, DashDotDotGapsTakeTheBrushWhenItIsSolid) {
  for (int y = 60; y < 210; ++y)
    for (int x = 0; x < 200; ++x) c.setPixel(x, y, QColor(128, 128, 128));
  c.setPenStyle(PenStyle::DashDotDot);
  c.setPenColor(Qt::blue);
  c.setBrushColor(Qt::black);
  c.setBrushStyle(BrushStyle::Solid);
  c.moveTo(0, 100);
  c.lineTo(48, 100);
  // dash 9, gap 3, dot 3, gap 3, dot 3, gap 3, twice
  const std::string expected = "DDDDDDDDD...DDD...DDD...DDDDDDDDD...DDD...DDD...";
  std::string seen;
  for (int x = 0; x < 48; ++x) seen += c.pixelAt(x, 100) == rgb(0, 0, 255) ? 'D' : '.';
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(c.pixelAt(9, 100), kBlack);

  c.setBrushStyle(BrushStyle::Clear);
  c.moveTo(0, 110);
  c.lineTo(48, 110);
  EXPECT_EQ(c.pixelAt(9, 110), rgb(128, 128, 128));
  EXPECT_EQ(c.pixelAt(0, 110), rgb(0, 0, 255));
}

TEST_F(CanvasTest, TextSizesFollowThePointSizeAt96Dpi) {
  c.resize(600, 300);
  c.setFontPointSize(8);
  const QSize s8 = c.textExtent("Text");
  c.setFontPointSize(16);
  const QSize s16 = c.textExtent("Text");
  c.setFontPointSize(40);
  const QSize s40 = c.textExtent("Text");
  EXPECT_GT(s8.width(), 0);
  EXPECT_GE(s8.height(), 10);  // 8 points = 10.7 pixels
  EXPECT_LE(s8.height(), 14);
  EXPECT_GT(s16.width(), s8.width() * 3 / 2);
  EXPECT_GT(s40.height(), s16.height() * 2);
  EXPECT_EQ(c.textExtent("").width(), 0);
  EXPECT_EQ(QFontInfo(c.font()).family(), QString("Liberation Sans"));

  // The text lies within its extent, starting at the given top-left corner.
  c.setFontColor(QColor(0, 128, 0));
  c.setFontPointSize(16);
  c.textOut(100, 100, "Text");
  const Box b = boundsOf(c, rgb(0, 128, 0));
  ASSERT_FALSE(b.empty());
  EXPECT_GE(b.x1, 100);
  EXPECT_LE(b.x2, 100 + s16.width());
  EXPECT_GE(b.y1, 100);
  EXPECT_LE(b.y2, 100 + s16.height());
  // Aliased: only the font colour and the background.
  EXPECT_EQ(countPixels(c, rgb(0, 128, 0)) + countPixels(c, kBlack), 600 * 300);
}

TEST_F(CanvasTest, TextIsDrawnInTheFontColourWhateverTheRasterMode) {
  c.resize(400, 200);
  c.setFontPointSize(20);
  c.setFontColor(QColor(0, 128, 0));
  c.setBrushColor(Qt::yellow);
  c.setRasterMode(RasterMode::Invert);
  c.setTextBackgroundOpaque(true);
  c.textOut(10, 80, "Opaque");
  const QSize e = c.textExtent("Opaque");
  EXPECT_EQ(countPixels(c, rgb(0, 128, 0)) + countPixels(c, rgb(255, 255, 0)),
            e.width() * e.height());
  EXPECT_EQ(c.pixelAt(10, 80), rgb(255, 255, 0));
  EXPECT_EQ(c.pixelAt(10 + e.width(), 80), kBlack);

  c.setTextBackgroundOpaque(false);
  c.textOut(10, 150, "Clear");
  EXPECT_EQ(c.pixelAt(10, 150), kBlack);
  EXPECT_GT(countPixels(c, rgb(0, 128, 0), 0, 150, 399, 259), 0);
}

TEST_F(CanvasTest, TinyAndHugeFontSizesAreHandled) {
  for (int points : {-5, 0, 1}) {
    c.setFontPointSize(points);
    EXPECT_EQ(c.state().fontPointSize, 1);
    EXPECT_GE(c.textExtent("abc").height(), 1);
    c.textOut(10, 100, "abc");
  }
  c.setFontPointSize(1000000);
  EXPECT_LE(c.state().fontPointSize, 1000);
  c.setFontPointSize(400);
  c.textOut(-200, 0, "W");  // mostly outside the canvas
  SUCCEED();
}

TEST_F(CanvasTest, FarAwayCoordinatesAreClippedWithoutHarm) {
  white();
  c.setPenWidth(1);
  c.moveTo(-2000000000, 100);
  c.lineTo(2000000000, 100);
  EXPECT_EQ(countPixels(c, kWhite), 200);
  c.resize(200, 150);
  c.setPenWidth(40);
  c.moveTo(-1000000, -1000000);
  c.lineTo(1000000, 1000000);
  EXPECT_GT(countPixels(c, kWhite), 0);
  c.resize(200, 150);
  c.ellipse(-100000, -100000, 100000, 100000);
  EXPECT_EQ(countPixels(c, kWhite), 200 * 150);
  c.resize(200, 150);
  c.ellipse(5000, 5000, 6000, 6000);
  c.moveTo(5000, 5000);
  c.lineTo(6000, 7000);
  EXPECT_EQ(countPixels(c, kWhite), 0);
}

}  // namespace
}  // namespace fw
