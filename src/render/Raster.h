#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

// The pixel geometry of the canvas shapes, computed row by row so that drawing costs only the
// rows that are visible and every pixel of a figure is touched exactly once (which keeps
// inverting figures reversible).
//
// Pixel (x, y) is the unit square with its centre at (x + 0.5, y + 0.5). Internally the shapes
// work in half-pixel units, where that centre is (2x + 1, 2y + 1), so all tests are integer.
namespace fw::raster {

// A run of pixels x1..x2 on one row, both inclusive; empty when x1 > x2.
struct Span {
  int x1 = 0;
  int x2 = -1;
  bool empty() const { return x1 > x2; }
};

// Coordinates far outside any window are clamped to this, which keeps every product in range.
constexpr int kCoordLimit = 1 << 28;
// floor and ceil of finite values well inside the 64-bit range, without a library call.
inline int64_t floorToInt(double x) {
  const int64_t i = static_cast<int64_t>(x);
  return i - (x < double(i) ? 1 : 0);
}
inline int64_t ceilToInt(double x) {
  const int64_t i = static_cast<int64_t>(x);
  return i + (x > double(i) ? 1 : 0);
}

// a / b rounded towards minus infinity (b != 0).
inline int64_t floorDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return q - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

inline int clampCoord(int64_t v) {
  return static_cast<int>(v < -kCoordLimit ? -kCoordLimit : (v > kCoordLimit ? kCoordLimit : v));
}

// The pixels of the ellipse inscribed in the box x1..x1+w-1 by y1..y1+h-1 that lie on row y:
// those whose centres satisfy (u/w)^2 + (v/h)^2 <= 1 with u, v the doubled offsets from the
// box centre. The result is symmetric about the box centre.
Span ellipseRow(int x1, int y1, int w, int h, int y);

// A box x1..x2-1 by y1..y2-1 (right and bottom edges excluded) whose corners are rounded by
// ellipses cornerW wide and cornerH high. Corners of 0 give a rectangle; corners as large as the
// box give its inscribed ellipse.
struct RoundBox {
  int x1 = 0;
  int y1 = 0;
  int x2 = 0;
  int y2 = 0;
  int cornerW = 0;
  int cornerH = 0;

  // Normalised: x1 <= x2, y1 <= y2, corners clamped to 0..box size.
  static RoundBox make(int x1, int y1, int x2, int y2, int cornerW, int cornerH);
  bool isEmpty() const { return x2 <= x1 || y2 <= y1; }
  // The same shape shrunk by d pixels on every side, its corners by 2d.
  RoundBox inset(int d) const;
  Span row(int y) const;
};

// The round end of a wide line of the given width: for each vertical distance d from its
// centre in half pixels, the largest horizontal distance k of a pixel centre inside it
// (k^2 + d^2 < width^2, k of the pixel centres' parity), or -1 when the row misses it.
class Disk {
 public:
  explicit Disk(int width);
  int width() const { return width_; }
  int reach(int64_t d) const {
    const int64_t a = d < 0 ? -d : d;
    return a < int64_t(reach_.size()) ? reach_[std::size_t(a)] : -1;
  }

 private:
  int width_;
  std::vector<int> reach_;
};

// A wide line with round ends: every pixel whose centre lies closer than width / 2 to the
// segment. Odd widths are centred on the pixel centres of the end points, even widths on their
// top-left corners, so a horizontal line of width w covers exactly w rows.
class Capsule {
 public:
  // disk must be the Disk of the same width and outlive the capsule. Without its start cap
  // the capsule leaves out the round end at (x0, y0), for a line continuing one that ended
  // there with the same pen, which drew those pixels already.
  Capsule(int x0, int y0, int x1, int y1, const Disk& disk, bool startCap = true);
  int top() const { return top_; }
  int bottom() const { return bottom_; }
  int left() const { return left_; }
  int right() const { return right_; }
  Span row(int y) const;

 private:
  const Disk& disk_;
  bool startCap_;
  int64_t ax_, ay_, bx_, by_, r_;
  int64_t dx_, dy_, len2_;
  double rlen_;
  // The band between the end circles, per row offset ty from the start point: along the
  // segment between ty * slabSlope_ and that + slabWidth_; across it within
  // ty * stripSlope_ -/+ stripHalf_ (column offsets, half pixels).
  double slabSlope_ = 0, slabWidth_ = 0, stripSlope_ = 0, stripHalf_ = 0;
  int par_;
  int top_, bottom_, left_, right_;
};

// Inline: it runs once per row of every wide line.
inline Span Capsule::row(int y) const {
  if (y < top_ || y > bottom_) return {};
  const int64_t yy = 2 * int64_t(y) + 1;
  const auto pixels = [this](int64_t lo, int64_t hi) {
    return Span{clampCoord((lo + ax_ - 1) / 2), clampCoord((hi + ax_ - 1) / 2)};
  };
  if (dy_ == 0 && startCap_) {
    // Level: the band is as high as the end circles, so the row runs from circle to circle.
    const int k = disk_.reach(yy - ay_);
    if (k < 0) return {};
    return pixels(std::min<int64_t>(0, dx_) - k, std::max<int64_t>(0, dx_) + k);
  }
  if (dx_ == 0 && startCap_) {
    // Upright: between the end points the band is as wide as the circles' middle row.
    const int64_t along = (yy - ay_) * dy_;
    const int k = along > 0 && along < len2_
                      ? disk_.reach(0)
                      : std::max(disk_.reach(yy - ay_), disk_.reach(yy - by_));
    if (k < 0) return {};
    return pixels(-k, k);
  }
  // Column offsets from the start point, in half pixels, of the end circles and the band.
  int64_t lo = std::numeric_limits<int64_t>::max();
  int64_t hi = std::numeric_limits<int64_t>::min();
  const int ka = startCap_ ? disk_.reach(yy - ay_) : -1;
  if (ka >= 0) {
    lo = -ka;
    hi = ka;
  }
  const int kb = disk_.reach(yy - by_);
  if (kb >= 0) {
    lo = std::min(lo, dx_ - kb);
    hi = std::max(hi, dx_ + kb);
  }
  if (len2_ > 0) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const double ty = double(yy - ay_);
    double blo = -kInf, bhi = kInf;
    bool band = true;
    if (dx_ != 0) {
      const double t1 = ty * slabSlope_, t2 = t1 + slabWidth_;
      blo = std::min(t1, t2);
      bhi = std::max(t1, t2);
    } else {
      const double along = ty * double(dy_);
      band = along > 0 && along < double(len2_);
    }
    if (dy_ != 0) {
      const double c = ty * stripSlope_;
      blo = std::max(blo, c - stripHalf_);
      bhi = std::min(bhi, c + stripHalf_);
    } else {
      band = band && std::fabs(ty * double(dx_)) < rlen_;
    }
    if (band && blo < bhi) {
      int64_t first = floorToInt(blo) + 1;
      if ((first - par_) & 1) ++first;
      int64_t last = ceilToInt(bhi) - 1;
      if ((last - par_) & 1) --last;
      if (first <= last) {
        lo = std::min(lo, first);
        hi = std::max(hi, last);
      }
    }
  }
  if (lo > hi) return {};
  return pixels(lo, hi);
}

// A one-pixel line from (x0, y0) towards (x1, y1) without its end pixel: pixel k (k = 0 ..
// n - 1, n the longer of the two distances) lies k steps along the major axis and the
// rounded fraction of the minor distance across. visit(x, y, k) is called only for pixels
// inside xmin..xmax by ymin..ymax, in order of k.
template <typename Visit>
void thinLine(int x0, int y0, int x1, int y1, int xmin, int xmax, int ymin, int ymax,
              Visit&& visit);

// The k range of a thin line whose major coordinate is limited to [majLo, majHi] and whose
// minor offset m(k) = floor((2 k d + D) / (2 D)) to [mLo, mHi]; empty when first > last.
struct StepRange {
  int64_t first = 0;
  int64_t last = -1;
};
StepRange thinLineSteps(int64_t n, int64_t D, int64_t d, int64_t kLo, int64_t kHi, int64_t mLo,
                        int64_t mHi);

template <typename Visit>
void thinLine(int x0, int y0, int x1, int y1, int xmin, int xmax, int ymin, int ymax,
              Visit&& visit) {
  const int64_t dx = int64_t(x1) - x0;
  const int64_t dy = int64_t(y1) - y0;
  const int64_t adx = dx < 0 ? -dx : dx;
  const int64_t ady = dy < 0 ? -dy : dy;
  const int sx = dx < 0 ? -1 : 1;
  const int sy = dy < 0 ? -1 : 1;
  const bool xMajor = adx >= ady;
  const int64_t n = xMajor ? adx : ady;
  if (n == 0 || xmin > xmax || ymin > ymax) return;
  const int64_t D = n;
  const int64_t d = xMajor ? ady : adx;
  // Limits of k along the major axis and of the minor offset m.
  auto stepsWithin = [](int64_t origin, int s, int64_t lo, int64_t hi, int64_t& kLo, int64_t& kHi) {
    if (s > 0) {
      kLo = lo - origin;
      kHi = hi - origin;
    } else {
      kLo = origin - hi;
      kHi = origin - lo;
    }
  };
  int64_t kLo, kHi, mLo, mHi;
  if (xMajor) {
    stepsWithin(x0, sx, xmin, xmax, kLo, kHi);
    stepsWithin(y0, sy, ymin, ymax, mLo, mHi);
  } else {
    stepsWithin(y0, sy, ymin, ymax, kLo, kHi);
    stepsWithin(x0, sx, xmin, xmax, mLo, mHi);
  }
  const StepRange range = thinLineSteps(n, D, d, kLo, kHi, mLo, mHi);
  if (range.first > range.last) return;
  // Bresenham from the first visible step: m = (2 k d + D) div 2D, e the remainder.
  const int64_t num = 2 * range.first * d + D;
  int64_t m = num / (2 * D);
  int64_t e = num % (2 * D);
  for (int64_t k = range.first; k <= range.last; ++k) {
    const int64_t major = (xMajor ? x0 : y0) + (xMajor ? sx : sy) * k;
    const int64_t minor = (xMajor ? y0 : x0) + (xMajor ? sy : sx) * m;
    if (xMajor)
      visit(int(major), int(minor), k);
    else
      visit(int(minor), int(major), k);
    e += 2 * d;
    if (e >= 2 * D) {
      e -= 2 * D;
      ++m;
    }
  }
}

}  // namespace fw::raster
