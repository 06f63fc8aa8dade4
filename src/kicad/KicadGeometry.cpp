#include "kicad/KicadGeometry.h"

#include <algorithm>
#include <cmath>

namespace fw::kicad {

double distance(PointMm a, PointMm b) {
  return std::hypot(a.x - b.x, a.y - b.y);
}

std::vector<PointMm> arcPolyline(PointMm centre, PointMm start, double sweep) {
  const double r = distance(centre, start);
  const double a0 = std::atan2(start.y - centre.y, start.x - centre.x);
  // A chord of angle s strays r (1 - cos(s / 2)) from its arc.
  const double step = r <= kCurveToleranceMm ? kPi / 2 : 2 * std::acos(1 - kCurveToleranceMm / r);
  const int n = std::clamp(static_cast<int>(std::ceil(std::abs(sweep) / step)), 1, 360);
  std::vector<PointMm> points;
  points.reserve(static_cast<std::size_t>(n) + 1);
  for (int i = 0; i <= n; ++i) {
    const double a = a0 + sweep * i / n;
    points.push_back({centre.x + r * std::cos(a), centre.y + r * std::sin(a)});
  }
  return points;
}

std::vector<PointMm> arcThrough(PointMm s, PointMm m, PointMm e) {
  const double d = 2 * (s.x * (m.y - e.y) + m.x * (e.y - s.y) + e.x * (s.y - m.y));
  if (std::abs(d) < 1e-9) return {s, e};
  const double s2 = s.x * s.x + s.y * s.y, m2 = m.x * m.x + m.y * m.y, e2 = e.x * e.x + e.y * e.y;
  const PointMm c{(s2 * (m.y - e.y) + m2 * (e.y - s.y) + e2 * (s.y - m.y)) / d,
                  (s2 * (e.x - m.x) + m2 * (s.x - e.x) + e2 * (m.x - s.x)) / d};
  auto angle = [&c](PointMm p) { return std::atan2(p.y - c.y, p.x - c.x); };
  auto turn = [](double a) { return std::fmod(std::fmod(a, 2 * kPi) + 2 * kPi, 2 * kPi); };
  const double toEnd = turn(angle(e) - angle(s));
  const double toMid = turn(angle(m) - angle(s));
  // Turning the positive way reaches the middle first, or the arc runs the other way round.
  const double sweep = toMid < toEnd ? toEnd : toEnd - 2 * kPi;
  std::vector<PointMm> points = arcPolyline(c, s, sweep);
  points.back() = e;
  return points;
}

int nearestSize(double mm, const int* sizes, int count) {
  int best = 0;
  for (int i = 1; i < count; ++i)
    if (std::abs(sizes[i] * 25.4 / 360 - mm) < std::abs(sizes[best] * 25.4 / 360 - mm)) best = i;
  return best;
}

double bestOffset(const std::vector<double>& units) {
  constexpr int kTries = 64;
  double best = 0, bestError = 2;
  for (int k = 0; k < kTries; ++k) {
    const double offset = static_cast<double>(k) / kTries;
    double worst = 0;
    for (double u : units) worst = std::max(worst, std::abs(u + offset - std::round(u + offset)));
    if (worst < bestError - 1e-9) {
      bestError = worst;
      best = offset;
    }
  }
  return best;
}

}  // namespace fw::kicad
