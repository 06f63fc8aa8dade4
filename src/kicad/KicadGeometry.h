#pragma once

#include <vector>

namespace fw::kicad {

// Millimetres as KiCad writes them: x right, y down, as on the board.
struct PointMm {
  double x = 0;
  double y = 0;
};

constexpr double kPi = 3.14159265358979323846;
constexpr double kBoardUnitMm = 0.635;
// How far a polyline may stray from the arc or circle it stands for.
constexpr double kCurveToleranceMm = 0.1;

double distance(PointMm a, PointMm b);

// The arc about `centre` from `start`, turning by `sweep` radians (positive turns clockwise on
// the screen, as y points down), as a polyline within the tolerance; both ends included.
std::vector<PointMm> arcPolyline(PointMm centre, PointMm start, double sweep);

// The arc through three points (KiCad 6 and later); a straight line when they are in a row.
std::vector<PointMm> arcThrough(PointMm start, PointMm mid, PointMm end);

// The index 0..count-1 of the entry of `sizes` (in 1/360 inch) nearest to `mm`.
int nearestSize(double mm, const int* sizes, int count);

// The part of a board unit (0 <= offset < 1) that, added to every value (in board units), keeps
// the largest distance to a whole unit smallest.
double bestOffset(const std::vector<double>& units);

}  // namespace fw::kicad
