// gerbv, an independent Gerber viewer, reads every file we write without a complaint, and its
// picture of Layer 1 matches our own 100% prints of Layer 1. Skipped where gerbv is missing.
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <cmath>

#include "board/PrintTables.h"
#include "board/View.h"
#include "fab/Fabrication.h"
#include "files/TestFolder.h"
#include "print/PrintRoutine.h"

namespace fw {
namespace {

constexpr int kDpi = 360;  // one dot per 1/360 inch: the print tables' own unit

QString gerbv() {
  return QStandardPaths::findExecutable(QStringLiteral("gerbv"));
}

// Runs gerbv's PNG export with `extra` options; returns its standard error.
std::string renderWithGerbv(const std::string& file, const std::string& png,
                            const QStringList& extra = {}, int dpi = kDpi) {
  QProcess p;
  QStringList args = {QStringLiteral("--export=png"), QStringLiteral("--dpi=%1").arg(dpi),
                      QStringLiteral("--output=") + QString::fromStdString(png)};
  args += extra;
  args << QString::fromStdString(file);
  p.start(gerbv(), args);
  EXPECT_TRUE(p.waitForFinished(60000));
  return p.readAllStandardError().toStdString();
}

// Pins of every style and size, tracks of many widths on both layers and the graphic layer, all
// far enough in from the top-left pin that a 360 dpi print cuts nothing off.
std::unique_ptr<Board> sampleBoard(bool withTexts) {
  auto b = makeBoard();
  for (int i = 0; i < 10; ++i) {
    for (int style = 0; style < 3; ++style)
      b->addPin({uint16_t(290 + 16 * i), uint16_t(240 + 14 * style), uint8_t(i), uint8_t(style)});
  }
  b->addPin({300, 340, 3, GraphicPinFlag});
  for (int w = 0; w < 12; ++w) {
    const int layer = w % 3;
    b->addWirePoint(
        {uint16_t(296 + WireStartFlag), uint16_t(290 + 3 * w + WireStartFlag), kWireStartAttr});
    b->addWirePoint({uint16_t(340 + 4 * w), uint16_t(290 + 3 * w), uint8_t(16 * layer + w)});
    b->addWirePoint({uint16_t(360 + 4 * w), uint16_t(320 + 2 * w), uint8_t(16 * layer + w)});
  }
  if (withTexts) {
    const char* words[] = {"Layer1 Rx", "BOTTOM 8", "legend &@%"};
    for (int layer = 0; layer < 3; ++layer) {
      TextItem t;
      t.text.set(words[layer]);
      t.size = uint8_t(10 + 15 * layer);
      t.x = uint16_t(4096 * layer + 400);
      t.y = uint16_t(250 + 30 * layer);
      b->addText(t);
    }
  }
  return b;
}

// Every file of the set, of a board with everything and of an empty one, whose layers have
// nothing to draw.
TEST(Gerbv, ReadsEveryFileWithoutErrorsOrWarnings) {
  if (gerbv().isEmpty()) GTEST_SKIP() << "gerbv is not installed";
  for (const bool empty : {false, true}) {
    SCOPED_TRACE(empty ? "empty board" : "sample board");
    TestFolder folder;
    const auto b = empty ? makeBoard() : sampleBoard(true);
    FabReport report;
    ASSERT_TRUE(writeFabSet(*b, folder.path(), "sample", {}, report)) << report.error;
    for (const FabFile f : kFabFiles) {
      SCOPED_TRACE(fabFileSuffix(f));
      const std::string png = folder.path() + "/out" + fabFileSuffix(f) + ".png";
      EXPECT_EQ(renderWithGerbv(folder.path() + "/sample" + fabFileSuffix(f), png), "");
      QImage image(QString::fromStdString(png));
      ASSERT_FALSE(image.isNull());
      if (empty && f != FabFile::Outline) continue;
      // Something was drawn: not every pixel has the background's colour.
      const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
      bool varied = false;
      for (int y = 0; y < gray.height() && !varied; ++y)
        for (int x = 0; x < gray.width() && !varied; ++x)
          varied = gray.pixelColor(x, y) != gray.pixelColor(0, 0);
      EXPECT_TRUE(varied);
    }
  }
}

bool darkNear(const QImage& img, int x, int y, int r) {
  for (int dy = -r; dy <= r; ++dy)
    for (int dx = -r; dx <= r; ++dx) {
      const int px = x + dx, py = y + dy;
      if (px >= 0 && py >= 0 && px < img.width() && py < img.height() &&
          img.constScanLine(py)[px] < 128)
        return true;
    }
  return false;
}

// The pads of the top row reach above the top-left pin's centre by more than its 20 dots, so the
// artwork moves down until they lie whole on the page. At 600 dpi the top-left pin is also a
// 2.54 mm oval pad, 92 by 60 dots, that would be cut: the artwork moves right as well, until
// the pad touches the left edge. Either way the print matches gerbv's picture.
TEST(Gerbv, Layer1MatchesThePrintAtFullScale) {
  if (gerbv().isEmpty()) GTEST_SKIP() << "gerbv is not installed";
  struct Case {
    int dpiIndex;
    bool ovalCorner;
    QSize page;
  };
  for (const Case& c : {Case{2, false, QSize(1000, 900)}, Case{3, true, QSize(1800, 1500)}}) {
    const int dpi = kPrintDpiTable[c.dpiIndex];
    SCOPED_TRACE(dpi);
    TestFolder folder;
    auto b = sampleBoard(false);
    if (c.ovalCorner) b->addPin({280, 230, 3, 1});
    FabOptions options;
    options.maskExpansionUm = 0;  // the mask's pads then have the copper's size
    FabReport report;
    ASSERT_TRUE(writeFabSet(*b, folder.path(), "sample", options, report)) << report.error;

    PrintSettings settings;
    settings.dpiIndex = c.dpiIndex;
    const QImage print = printToImage(*b, settings, c.page, kDefaultZoomLevel)
                             .convertToFormat(QImage::Format_Grayscale8);

    int ox = 30000, oy = 30000;
    for (int32_t i = 0; i < b->PinCount; ++i) {
      ox = std::min<int>(ox, b->PinTable[std::size_t(i)].x);
      oy = std::min<int>(oy, b->PinTable[std::size_t(i)].y);
    }
    // Where the top-left pin's centre lands: 20 dots in, or as far in as the pads reaching
    // furthest past it need to lie whole on the page (the tracks start well inside).
    int cx = 20, cy = 20;
    for (int32_t i = 0; i < b->PinCount; ++i) {
      const Pin& p = b->PinTable[std::size_t(i)];
      if (isGraphicPin(p)) continue;
      const int s = printPadSize(p.sizeIndex);
      const int hx = p.style == 1 ? s * 8 / 10 : s / 2, hy = p.style == 2 ? s * 8 / 10 : s / 2;
      cx = std::max(cx, (hx - 9 * (p.x - ox)) * dpi / 360);
      cy = std::max(cy, (hy - 9 * (p.y - oy)) * dpi / 360);
    }
    auto dotX = [&](int x) { return 9 * (x - ox) * dpi / 360 + cx; };
    auto dotY = [&](int y) { return 9 * (y - oy) * dpi / 360 + cy; };
    if (c.ovalCorner) {
      // The pad's full length on its middle row and full height on its middle column, but for
      // the hole.
      const int hole = printHoleRadius(36, 1) * dpi / 360 + 2;
      for (int x = 0; x < 2 * cx; ++x)
        EXPECT_TRUE(std::abs(x - cx) <= hole || print.constScanLine(cy)[x] < 128) << x;
      for (int y = 0; y < 2 * cy; ++y)
        EXPECT_TRUE(std::abs(y - cy) <= hole || print.constScanLine(y)[cx] < 128) << y;
      EXPECT_GE(print.constScanLine(cy)[2 * cx + 1], 128);
    }

    // gerbv's window is moved so that its corner is the same point of the board.
    const int left = 396 - b->FrameWidth / 2, top = 296 + b->FrameHeight / 2;
    const double originX = (9.0 * (ox - left)) / 360 - double(cx) / dpi;
    const double originY = (9.0 * (top - oy)) / 360 + double(cy - c.page.height()) / dpi;
    const auto render = [&](FabFile f) {
      const std::string png = folder.path() + "/window" + fabFileSuffix(f) + ".png";
      const std::string err = renderWithGerbv(
          folder.path() + "/sample" + fabFileSuffix(f), png,
          {QStringLiteral("--origin=%1x%2").arg(originX, 0, 'f', 6).arg(originY, 0, 'f', 6),
           QStringLiteral("--window_inch=%1x%2")
               .arg(double(c.page.width()) / dpi, 0, 'f', 6)
               .arg(double(c.page.height()) / dpi, 0, 'f', 6),
           QStringLiteral("--border=0"), QStringLiteral("--background=#FFFFFF"),
           QStringLiteral("--foreground=#000000FF")},
          dpi);
      EXPECT_EQ(err, "");
      return QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_Grayscale8);
    };
    const QImage viewer = render(FabFile::Layer1);
    ASSERT_EQ(viewer.size(), c.page);

    // Both masks open every pad in the window: each pad's centre is dark.
    for (const FabFile f : {FabFile::MaskTop, FabFile::MaskBottom}) {
      SCOPED_TRACE(fabFileSuffix(f));
      const QImage mask = render(f);
      ASSERT_EQ(mask.size(), c.page);
      int pads = 0;
      for (int32_t i = 0; i < b->PinCount; ++i) {
        const Pin& p = b->PinTable[std::size_t(i)];
        const int x = dotX(p.x), y = dotY(p.y);
        if (isGraphicPin(p) || x >= c.page.width() || y >= c.page.height()) continue;
        EXPECT_LT(mask.constScanLine(y)[x], 128) << p.x << "," << p.y;
        ++pads;
      }
      EXPECT_GE(pads, 20);
    }

    // The print leaves the holes white inside the pads; the Gerber pads are whole.
    auto inHole = [&](int x, int y) {
      for (int32_t i = 0; i < b->PinCount; ++i) {
        const Pin& p = b->PinTable[std::size_t(i)];
        if (isGraphicPin(p)) continue;
        const int r = printHoleRadius(printPadSize(p.sizeIndex), p.style) * dpi / 360 + 2;
        const int dx = x - dotX(p.x), dy = y - dotY(p.y);
        if (dx * dx + dy * dy <= r * r) return true;
      }
      return false;
    };
    int dark = 0, onlyPrint = 0, onlyViewer = 0;
    for (int y = 0; y < c.page.height(); ++y)
      for (int x = 0; x < c.page.width(); ++x) {
        const bool p = print.constScanLine(y)[x] < 128, v = viewer.constScanLine(y)[x] < 128;
        if (p == v || inHole(x, y)) continue;
        // Anti-aliased edges may differ by a dot or two.
        if (p && !darkNear(viewer, x, y, 2)) ++onlyPrint;
        if (v && !darkNear(print, x, y, 2)) ++onlyViewer;
      }
    for (int y = 0; y < c.page.height(); ++y)
      for (int x = 0; x < c.page.width(); ++x) dark += print.constScanLine(y)[x] < 128;
    EXPECT_GT(dark, 20000);
    EXPECT_EQ(onlyPrint, 0);
    EXPECT_EQ(onlyViewer, 0);
  }
}

}  // namespace
}  // namespace fw
