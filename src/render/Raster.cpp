#include "render/Raster.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace fw::raster {

namespace {

__extension__ typedef __int128 Wide;

int64_t ceilDiv(int64_t a, int64_t b) {
  return -floorDiv(-a, b);
}

// Largest k >= 0 with k * k <= m (m >= 0).
int64_t isqrt(int64_t m) {
  int64_t k = static_cast<int64_t>(std::sqrt(static_cast<double>(m)));
  while (k > 0 && k * k > m) --k;
  while ((k + 1) * (k + 1) <= m) ++k;
  return k;
}

// Largest k <= limit with k of the given parity (0 even, 1 odd); may be negative.
int64_t withParity(int64_t k, int parity) {
  return ((k - parity) & 1) ? k - 1 : k;
}

}  // namespace

Span ellipseRow(int x1, int y1, int w, int h, int y) {
  if (w <= 0 || h <= 0) return {};
  const int64_t v = 2 * int64_t(y) + 1 - 2 * int64_t(y1) - h;
  const int64_t av = v < 0 ? -v : v;
  if (av >= h) return {};
  const int parity = (w + 1) & 1;  // parity of the doubled column offsets from the centre
  // Largest u with u^2 h^2 <= w^2 (h^2 - v^2); 64 bits suffice below 2^15.
  int64_t u = static_cast<int64_t>(double(w) * std::sqrt(double(h) * h - double(v) * v) / h);
  if (u < 0) u = 0;
  if (w < (1 << 15) && h < (1 << 15)) {
    const int64_t hh = int64_t(h) * h;
    const int64_t q = int64_t(w) * w * (hh - v * v);
    while (u > 0 && u * u * hh > q) --u;
    while ((u + 1) * (u + 1) * hh <= q) ++u;
  } else {
    const Wide hh = Wide(h) * h;
    const Wide q = Wide(w) * w * (hh - Wide(v) * v);
    while (u > 0 && Wide(u) * u * hh > q) --u;
    while (Wide(u + 1) * (u + 1) * hh <= q) ++u;
  }
  u = withParity(u, parity);
  if (u < 0) return {};
  const int64_t base = 2 * int64_t(x1) + w - 1;
  return {clampCoord((base - u) / 2), clampCoord((base + u) / 2)};
}

RoundBox RoundBox::make(int x1, int y1, int x2, int y2, int cornerW, int cornerH) {
  RoundBox b;
  b.x1 = std::min(x1, x2);
  b.x2 = std::max(x1, x2);
  b.y1 = std::min(y1, y2);
  b.y2 = std::max(y1, y2);
  b.cornerW = std::clamp(cornerW, 0, b.x2 - b.x1);
  b.cornerH = std::clamp(cornerH, 0, b.y2 - b.y1);
  return b;
}

RoundBox RoundBox::inset(int d) const {
  RoundBox b = *this;
  b.x1 += d;
  b.y1 += d;
  b.x2 -= d;
  b.y2 -= d;
  if (b.x2 < b.x1) b.x2 = b.x1;
  if (b.y2 < b.y1) b.y2 = b.y1;
  b.cornerW = std::clamp(cornerW - 2 * d, 0, b.x2 - b.x1);
  b.cornerH = std::clamp(cornerH - 2 * d, 0, b.y2 - b.y1);
  return b;
}

Span RoundBox::row(int y) const {
  if (isEmpty() || y < y1 || y >= y2) return {};
  if (cornerW == 0 || cornerH == 0) return {x1, x2 - 1};
  if (cornerW == x2 - x1 && cornerH == y2 - y1) return ellipseRow(x1, y1, cornerW, cornerH, y);
  const int64_t yy = 2 * int64_t(y) + 1;
  int cornerTop;
  if (yy < 2 * int64_t(y1) + cornerH)
    cornerTop = y1;
  else if (yy > 2 * int64_t(y2) - cornerH)
    cornerTop = y2 - cornerH;
  else
    return {x1, x2 - 1};
  // Inside the corner zones a pixel must lie in the corner ellipse; between them every pixel
  // of the row is inside, so the row runs from the left corner's first pixel to the right
  // corner's last.
  const Span left = ellipseRow(x1, cornerTop, cornerW, cornerH, y);
  const Span right = ellipseRow(x2 - cornerW, cornerTop, cornerW, cornerH, y);
  const int l = left.empty() ? x1 + cornerW / 2 : left.x1;
  const int r = right.empty() ? int(floorDiv(2 * int64_t(x2) - cornerW - 1, 2)) : right.x2;
  return {l, r};
}

Disk::Disk(int width) : width_(std::max(width, 1)) {
  const int64_t r = width_;
  const int parity = 1 - (width_ & 1);  // odd widths sit on pixel centres, even on corners
  reach_.resize(std::size_t(r));
  for (int64_t d = 0; d < r; ++d) {
    const int64_t m = r * r - d * d - 1;
    reach_[std::size_t(d)] = m < 0 ? -1 : int(withParity(isqrt(m), parity));
  }
}

Capsule::Capsule(int x0, int y0, int x1, int y1, const Disk& disk, bool startCap)
    : disk_(disk), startCap_(startCap) {
  const int w = disk.width();
  const int o = w & 1;
  ax_ = 2 * int64_t(x0) + o;
  ay_ = 2 * int64_t(y0) + o;
  bx_ = 2 * int64_t(x1) + o;
  by_ = 2 * int64_t(y1) + o;
  r_ = w;
  dx_ = bx_ - ax_;
  dy_ = by_ - ay_;
  len2_ = dx_ * dx_ + dy_ * dy_;
  rlen_ = double(r_) * std::sqrt(double(len2_));
  if (dx_ != 0) {
    slabSlope_ = -double(dy_) / double(dx_);
    slabWidth_ = double(len2_) / double(dx_);
  }
  if (dy_ != 0) {
    stripSlope_ = double(dx_) / double(dy_);
    stripHalf_ = std::fabs(rlen_ / double(dy_));
  }
  par_ = 1 - o;
  top_ = clampCoord(floorDiv(std::min(ay_, by_) - r_ - 1, 2) + 1);
  bottom_ = clampCoord(ceilDiv(std::max(ay_, by_) + r_ - 1, 2) - 1);
  left_ = clampCoord(floorDiv(std::min(ax_, bx_) - r_ - 1, 2) + 1);
  right_ = clampCoord(ceilDiv(std::max(ax_, bx_) + r_ - 1, 2) - 1);
}

StepRange thinLineSteps(int64_t n, int64_t D, int64_t d, int64_t kLo, int64_t kHi, int64_t mLo,
                        int64_t mHi) {
  StepRange r;
  r.first = std::max<int64_t>(0, kLo);
  r.last = std::min<int64_t>(n - 1, kHi);
  if (r.first > r.last) return r;
  // m(k) = floor((2 k d + D) / 2D) grows with k from 0 to at most d.
  if (mHi < 0 || mLo > d) {
    r.last = r.first - 1;
    return r;
  }
  if (mLo > 0) r.first = std::max(r.first, ceilDiv(2 * D * mLo - D, 2 * d));
  if (d > 0 && mHi < d) r.last = std::min(r.last, ceilDiv(2 * D * (mHi + 1) - D, 2 * d) - 1);
  return r;
}

}  // namespace fw::raster
