#include "board/View.h"

namespace fw {

const int PinSizePixels[kPinSizes][kZoomLevels] = {
    {2, 4, 8, 16, 32, 64},      {3, 5, 11, 21, 43, 85},    {3, 6, 12, 24, 48, 96},
    {4, 8, 16, 32, 64, 128},    {5, 9, 18, 37, 73, 146},   {5, 10, 20, 40, 80, 160},
    {6, 12, 25, 50, 100, 200},  {8, 16, 32, 64, 128, 256}, {10, 20, 40, 80, 160, 320},
    {12, 24, 48, 96, 192, 384},
};

const int WireWidthPixels[kWireWidths][kZoomLevels] = {
    {1, 1, 1, 2, 5, 10},      {1, 1, 2, 5, 10, 19},      {1, 2, 3, 6, 13, 26},
    {1, 2, 5, 10, 20, 40},    {2, 3, 6, 13, 26, 51},     {2, 4, 8, 16, 32, 64},
    {2, 5, 10, 20, 40, 79},   {3, 6, 13, 26, 51, 102},   {4, 8, 16, 32, 64, 128},
    {5, 10, 20, 40, 80, 160}, {6, 12, 25, 50, 100, 200}, {8, 16, 32, 64, 128, 256},
};

int zoomColumn(int zoomLevel) {
  return clampInt(zoomLevel, 0, kZoomLevels - 1);
}

namespace {
// The pointer formulas measure from the middle of the board area; 30 is half the toolbar.
constexpr int kHalfTop = kBoardAreaTop / 2;
int gridIndex(int g) {
  return clampInt(g, 0, kGridResolutions - 1);
}
}  // namespace

int clampInt(int v, int lo, int hi) {
  return v < lo ? lo : (v > hi ? hi : v);
}

int View::zoomFactor() const {
  return 1 << zoomColumn();
}
int View::pxPerGrid() const {
  return 4 * zoomFactor();
}
int View::snapStep() const {
  return 4 >> gridIndex(GridResolution);
}
int View::snapDivisions() const {
  return 1 << gridIndex(GridResolution);
}

int View::toWindowX(int boardX) const {
  const int p = pxPerGrid();
  return W / 2 - p * scrollX + zoomFactor() * boardX + p;
}

int View::toWindowY(int boardY) const {
  const int p = pxPerGrid();
  return H / 2 - p * scrollY + zoomFactor() * boardY + p;
}

int View::gridToWindowX(int g) const {
  return W / 2 + pxPerGrid() * (g - scrollX);
}
int View::gridToWindowY(int g) const {
  return H / 2 + pxPerGrid() * (g - scrollY);
}

BoardPoint View::snappedPointer() const {
  const int p = pxPerGrid();
  const int s = snapStep();
  const int r = snapDivisions();
  const int q = s * zoomFactor();
  const int half = p / (2 * r);
  const int x = ((PointerX - W / 2 + p * scrollX + half) / q) * s - 4;
  const int y = ((PointerY + kHalfTop - (H - kBoardAreaTop) / 2 + p * scrollY + half) / q) * s - 4;
  return {x, y};
}

BoardPoint View::unsnappedPointer() const {
  const int f = zoomFactor();
  const int x = ((4 * f * scrollX + PointerX + f / 2 - W / 2) / f) - 4;
  const int y = ((4 * f * scrollY + PointerY + f / 2 + kHalfTop - (H - kBoardAreaTop) / 2) / f) - 4;
  return {x, y};
}

bool View::acceptsPosition(int x, int y) {
  return static_cast<uint16_t>(x) < kMaxBoardX + 1 && static_cast<uint16_t>(y) < kMaxBoardY + 1;
}

}  // namespace fw
