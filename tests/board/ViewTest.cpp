#include <gtest/gtest.h>

#include "board/View.h"

namespace fw {
namespace {

// The drawing area of an 800 x 700 window: 800 x 600 pixels, window y = widget y + 60.
View view(int zoom, int grid, int sx = kCenterScrollX, int sy = kCenterScrollY) {
  View v;
  v.setAreaSize(800, 600);
  v.ZoomLevel = zoom;
  v.GridResolution = grid;
  v.scrollX = sx;
  v.scrollY = sy;
  return v;
}

void pointAt(View& v, int windowX, int windowY) {
  v.PointerX = windowX;
  v.PointerY = windowY - 60;
}

TEST(ViewScale, ZoomAndGridTables) {
  for (int z = 0; z < kZoomLevels; ++z) {
    const View v = view(z, 0);
    EXPECT_EQ(v.zoomFactor(), 1 << z);
    EXPECT_EQ(v.pxPerGrid(), 4 << z);
  }
  const int steps[kGridResolutions] = {4, 2, 1};
  for (int g = 0; g < kGridResolutions; ++g) {
    EXPECT_EQ(view(2, g).snapStep(), steps[g]);
    EXPECT_EQ(view(2, g).snapDivisions(), 4 / steps[g]);
  }
  // The 1x column is the size in board units; the largest pad doubles with each zoom step.
  EXPECT_EQ(PinSizePixels[3][0], 4);
  EXPECT_EQ(PinSizePixels[9][5], 384);
  EXPECT_EQ(WireWidthPixels[0][0], 1);
  EXPECT_EQ(WireWidthPixels[11][5], 256);
}

TEST(ViewMapping, BoardToWindowAtTheCentre) {
  const View v = view(2, 0);
  EXPECT_EQ(v.W, 800);
  EXPECT_EQ(v.toWindowX(396), 400);
  EXPECT_EQ(v.toWindowX(0), -1184);
  EXPECT_EQ(v.toWindowY(296), v.H / 2);
  EXPECT_EQ(v.gridToWindowX(100), v.toWindowX(396));
  EXPECT_EQ(v.gridToWindowY(0), v.toWindowY(-4));
}

TEST(ViewMapping, ZoomKeepsTheMiddleGridStep) {
  for (int sx : {0, 37, 100, 200}) {
    for (int z = 0; z < kZoomLevels; ++z) {
      const View v = view(z, 0, sx, 20);
      EXPECT_EQ(v.gridToWindowX(sx), 400) << "zoom " << z << " scroll " << sx;
      EXPECT_EQ(v.toWindowX(4 * sx - 4), 400) << "zoom " << z << " scroll " << sx;
      EXPECT_EQ(v.gridToWindowY(20), v.H / 2);
    }
  }
}

TEST(ViewMapping, PointerOverADrawnPositionMapsBackToIt) {
  // Whatever the zoom, grid and scroll, a pointer on the pixel where a snap position is drawn
  // snaps to that position, and the unsnapped read-out gives the same board position.
  for (int z = 0; z < kZoomLevels; ++z) {
    for (int g = 0; g < kGridResolutions; ++g) {
      for (auto [sx, sy] : {std::pair{100, 75}, {4, 140}, {196, 4}}) {
        View v = view(z, g, sx, sy);
        const int s = v.snapStep();
        for (int k = -3; k <= 3; ++k) {
          const int x = 4 * sx - 4 + k * s;
          const int y = 4 * sy - 4 - k * s;
          pointAt(v, v.toWindowX(x), v.toWindowY(y));
          EXPECT_EQ(v.snappedPointer(), (BoardPoint{x, y})) << z << " " << g << " " << k;
          EXPECT_EQ(v.unsnappedPointer(), (BoardPoint{x, y})) << z << " " << g << " " << k;
        }
      }
    }
  }
}

TEST(ViewSnapping, WholeGridAtZoom4SnapsAtHalfAStep) {
  View v = view(2, 0);
  const int gx = v.toWindowX(396);
  const int gy = v.toWindowY(296);
  pointAt(v, gx + 7, gy + 7);
  EXPECT_EQ(v.snappedPointer(), (BoardPoint{396, 296}));
  pointAt(v, gx + 8, gy + 8);
  EXPECT_EQ(v.snappedPointer(), (BoardPoint{400, 300}));
  pointAt(v, gx + 23, gy);
  EXPECT_EQ(v.snappedPointer().x, 400);
  pointAt(v, gx + 24, gy);
  EXPECT_EQ(v.snappedPointer().x, 404);
  // Left of a grid point the half step rounds the other way.
  pointAt(v, gx - 8, gy);
  EXPECT_EQ(v.snappedPointer().x, 396);
  pointAt(v, gx - 9, gy);
  EXPECT_EQ(v.snappedPointer().x, 392);
}

TEST(ViewSnapping, HalfAndQuarterGrids) {
  View half = view(2, 1);
  const int gx = half.toWindowX(396);
  pointAt(half, gx + 3, 300);
  EXPECT_EQ(half.snappedPointer().x, 396);
  pointAt(half, gx + 4, 300);
  EXPECT_EQ(half.snappedPointer().x, 398);

  // At 1x with the quarter grid a snap step is one pixel: every pixel is its own position.
  View quarter = view(0, 2);
  const int qx = quarter.toWindowX(396);
  const int qy = quarter.toWindowY(296);
  for (int d = -20; d <= 20; ++d) {
    pointAt(quarter, qx + d, qy - d);
    EXPECT_EQ(quarter.snappedPointer(), (BoardPoint{396 + d, 296 - d})) << d;
  }
}

TEST(ViewSnapping, UnsnappedPointerRoundsToTheNearestUnit) {
  View v = view(3, 0);  // 8 pixels per board unit
  const int x0 = v.toWindowX(396);
  pointAt(v, x0 + 3, 300);
  EXPECT_EQ(v.unsnappedPointer().x, 396);
  pointAt(v, x0 + 4, 300);
  EXPECT_EQ(v.unsnappedPointer().x, 397);
}

TEST(ViewAcceptance, PositionsOutsideTheWorkspaceAreRefused) {
  View v = view(2, 0, 0, 0);  // scrolled to the top left corner
  pointAt(v, v.toWindowX(-4), v.toWindowY(-4));
  const BoardPoint p = v.snappedPointer();
  EXPECT_LT(p.x, 0);
  EXPECT_LT(p.y, 0);
  EXPECT_FALSE(View::acceptsPosition(p.x, p.y));
  EXPECT_FALSE(View::acceptsPosition(p.x, 10));
  EXPECT_FALSE(View::acceptsPosition(10, p.y));

  EXPECT_TRUE(View::acceptsPosition(0, 0));
  EXPECT_TRUE(View::acceptsPosition(792, 592));
  EXPECT_FALSE(View::acceptsPosition(793, 592));
  EXPECT_FALSE(View::acceptsPosition(792, 593));
  EXPECT_FALSE(View::acceptsPosition(-1, 0));
}

TEST(ViewArea, AreaSizeAndWindowSize) {
  View v;
  v.setAreaSize(1024, 500);
  EXPECT_EQ(v.W, 1024);
  EXPECT_EQ(v.H, 600);
  EXPECT_EQ(v.areaWidth(), 1024);
  EXPECT_EQ(v.areaHeight(), 500);
  // The middle grid step is drawn at the window's middle, y 300, which is widget row 240.
  EXPECT_EQ(v.gridToWindowY(v.scrollY) - 60, 240);
}

TEST(ViewRange, OutOfRangeZoomAndGridAreClamped) {
  View v = view(9, 7);
  EXPECT_EQ(v.zoomFactor(), 32);
  EXPECT_EQ(v.snapStep(), 1);
  v.ZoomLevel = -3;
  v.GridResolution = -1;
  EXPECT_EQ(v.zoomFactor(), 1);
  EXPECT_EQ(v.snapStep(), 4);
}

}  // namespace
}  // namespace fw
