#pragma once

#include <cstdint>

namespace fw {

constexpr int kZoomLevels = 6;
constexpr int kGridResolutions = 3;
constexpr int kPinSizes = 10;
constexpr int kWireWidths = 12;

// Pad diameter in pixels by size index and zoom level; the 1x column is also the diameter in
// board units, which the pin hit test uses.
extern const int PinSizePixels[kPinSizes][kZoomLevels];
// Track width in pixels by width index and zoom level; the 1x column is the width in board units.
extern const int WireWidthPixels[kWireWidths][kZoomLevels];

// The workspace: grid steps 0..200 by 0..150, board positions -4..796 by -4..596.
constexpr int kScrollMaxX = 200;
constexpr int kScrollMaxY = 150;
constexpr int kCenterScrollX = 100;
constexpr int kCenterScrollY = 75;
// What one large change of a scroll bar moves, in grid steps.
constexpr int kScrollLargeChange = 5;
// The workspace centre, grid step (100, 75), in board units; one grid step is 4 units.
constexpr int kCenterBoardX = 396;
constexpr int kCenterBoardY = 296;
constexpr int kUnitsPerGridStep = 4;
// New positions are accepted only inside 0..792 by 0..592.
constexpr int kMaxBoardX = 792;
constexpr int kMaxBoardY = 592;

// The window of the drawing rules: the board area runs from y = 60, below the toolbar, to 40
// pixels above the window's foot, where the scroll bar and the status bar sit.
constexpr int kBoardAreaTop = 60;
constexpr int kBoardAreaBottomMargin = 40;

// The zoom level of a new board, "Zoom 4x"; the command line prints graphic pin rings with it.
constexpr int kDefaultZoomLevel = 2;

// The zoom level as a column of the size tables, 0..5 whatever the level holds.
int zoomColumn(int zoomLevel);

// A board position (x, y), signed so that positions left of or above the origin can be seen.
struct BoardPoint {
  int x = 0;
  int y = 0;
  bool operator==(const BoardPoint& o) const { return x == o.x && y == o.y; }
};

struct WindowPoint {
  int x = 0;
  int y = 0;
  bool operator==(const WindowPoint& o) const { return x == o.x && y == o.y; }
};

// Zoom, grid, scroll position, window size and pointer, with every mapping between board units,
// grid steps and pixels. Drawing and pointer handling use these same functions.
//
// The window of the drawing rules is W wide and H high with the board area from y = 60 to
// H - 40. The drawing area widget is that board area: W = widget width, H = widget height + 100,
// and window y = widget y + 60. PointerX, PointerY are widget coordinates.
class View {
 public:
  int ZoomLevel = kDefaultZoomLevel;  // 0..5: 1x, 2x, 4x, 8x, 16x, 32x
  int GridResolution = 0;             // 0..2: 1/1, 1/2, 1/4
  int scrollX = kCenterScrollX;
  int scrollY = kCenterScrollY;
  int W = 800;  // window width
  int H = 700;  // window height (drawing area height + 100)
  int PointerX = 0;
  int PointerY = 0;

  // Sets W and H from the drawing area's size in pixels.
  void setAreaSize(int width, int height) {
    W = width;
    H = height + kBoardAreaTop + kBoardAreaBottomMargin;
  }
  int areaWidth() const { return W; }
  int areaHeight() const { return H - kBoardAreaTop - kBoardAreaBottomMargin; }

  int zoomColumn() const { return fw::zoomColumn(ZoomLevel); }
  int zoomFactor() const;  // pixels per board unit
  int pxPerGrid() const;   // pixels per grid step
  int snapStep() const;    // board units per snap step
  int snapDivisions() const;

  // Board position to window pixels.
  int toWindowX(int boardX) const;
  int toWindowY(int boardY) const;
  WindowPoint toWindow(int boardX, int boardY) const {
    return {toWindowX(boardX), toWindowY(boardY)};
  }
  // Window pixel of grid step g.
  int gridToWindowX(int g) const;
  int gridToWindowY(int g) const;

  // The pointer (PointerX, PointerY) snapped to the nearest snap position.
  BoardPoint snappedPointer() const;
  // The pointer in whole board units, unsnapped (hit tests and the position read-out).
  BoardPoint unsnappedPointer() const;

  // x < 793 and y < 593 compared as unsigned 16-bit numbers, so negative positions fail too.
  static bool acceptsPosition(int x, int y);
};

int clampInt(int v, int lo, int hi);

}  // namespace fw
