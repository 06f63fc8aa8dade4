// gerbv, an independent Gerber viewer, reads every file we write without a complaint, and its
// picture of Layer 1 matches our own 100% print of Layer 1. Skipped where gerbv is missing.
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
                            const QStringList& extra = {}) {
  QProcess p;
  QStringList args = {QStringLiteral("--export=png"), QStringLiteral("--dpi=%1").arg(kDpi),
                      QStringLiteral("--output=") + QString::fromStdString(png)};
  args += extra;
  args << QString::fromStdString(file);
  p.start(gerbv(), args);
  EXPECT_TRUE(p.waitForFinished(60000));
  return p.readAllStandardError().toStdString();
}

// Pins of every style and size, tracks of many widths on both layers and the graphic layer.
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
        {uint16_t(290 + WireStartFlag), uint16_t(290 + 3 * w + WireStartFlag), kWireStartAttr});
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

TEST(Gerbv, Layer1MatchesThePrintAtFullScale) {
  if (gerbv().isEmpty()) GTEST_SKIP() << "gerbv is not installed";
  TestFolder folder;
  const auto b = sampleBoard(false);
  FabOptions options;
  options.maskExpansionUm = 0;  // the mask's pads then have the copper's size
  FabReport report;
  ASSERT_TRUE(writeFabSet(*b, folder.path(), "sample", options, report)) << report.error;

  PrintSettings settings;
  settings.dpiIndex = 2;  // 360 dpi
  const QSize page(1000, 900);
  const QImage print = printToImage(*b, settings, page, kDefaultZoomLevel)
                           .convertToFormat(QImage::Format_Grayscale8);

  // The print puts the smallest pin x and y 20 dots in from its corner; gerbv's window is moved
  // so that its corner is the same point of the board.
  int ox = 30000, oy = 30000;
  for (int32_t i = 0; i < b->PinCount; ++i) {
    ox = std::min<int>(ox, b->PinTable[std::size_t(i)].x);
    oy = std::min<int>(oy, b->PinTable[std::size_t(i)].y);
  }
  const int left = 396 - b->FrameWidth / 2, top = 296 + b->FrameHeight / 2;
  const double originX = (9.0 * (ox - left) - 20) / kDpi;
  const double originY = (9.0 * (top - oy) + 20 - page.height()) / kDpi;
  const auto render = [&](FabFile f) {
    const std::string png = folder.path() + "/window" + fabFileSuffix(f) + ".png";
    const std::string err = renderWithGerbv(
        folder.path() + "/sample" + fabFileSuffix(f), png,
        {QStringLiteral("--origin=%1x%2").arg(originX, 0, 'f', 6).arg(originY, 0, 'f', 6),
         QStringLiteral("--window_inch=%1x%2")
             .arg(double(page.width()) / kDpi, 0, 'f', 6)
             .arg(double(page.height()) / kDpi, 0, 'f', 6),
         QStringLiteral("--border=0"), QStringLiteral("--background=#FFFFFF"),
         QStringLiteral("--foreground=#000000FF")});
    EXPECT_EQ(err, "");
    return QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_Grayscale8);
  };
  const QImage viewer = render(FabFile::Layer1);
  ASSERT_EQ(viewer.size(), page);

  // Both masks open every pad in the window: each pad's centre is dark.
  for (const FabFile f : {FabFile::MaskTop, FabFile::MaskBottom}) {
    SCOPED_TRACE(fabFileSuffix(f));
    const QImage mask = render(f);
    ASSERT_EQ(mask.size(), page);
    int pads = 0;
    for (int32_t i = 0; i < b->PinCount; ++i) {
      const Pin& p = b->PinTable[std::size_t(i)];
      const int x = 9 * (p.x - ox) + 20, y = 9 * (p.y - oy) + 20;
      if (isGraphicPin(p) || x >= page.width() || y >= page.height()) continue;
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
      const int r = printHoleRadius(printPadSize(p.sizeIndex), p.style) + 2;
      const int dx = x - (9 * (p.x - ox) + 20), dy = y - (9 * (p.y - oy) + 20);
      if (dx * dx + dy * dy <= r * r) return true;
    }
    return false;
  };
  int dark = 0, onlyPrint = 0, onlyViewer = 0;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x) {
      if (inHole(x, y)) continue;
      const bool p = print.constScanLine(y)[x] < 128, v = viewer.constScanLine(y)[x] < 128;
      dark += p;
      // Anti-aliased edges may differ by a dot or two.
      if (p && !v && !darkNear(viewer, x, y, 2)) ++onlyPrint;
      if (v && !p && !darkNear(print, x, y, 2)) ++onlyViewer;
    }
  EXPECT_GT(dark, 20000);
  EXPECT_EQ(onlyPrint, 0);
  EXPECT_EQ(onlyViewer, 0);
}

}  // namespace
}  // namespace fw
