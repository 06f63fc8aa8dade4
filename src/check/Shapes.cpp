#include "check/Shapes.h"

#include <algorithm>
#include <cmath>

namespace fw {

namespace {

Vec2 operator-(Vec2 p, Vec2 q) {
  return {p.x - q.x, p.y - q.y};
}
Vec2 operator+(Vec2 p, Vec2 q) {
  return {p.x + q.x, p.y + q.y};
}
Vec2 operator*(double k, Vec2 p) {
  return {k * p.x, k * p.y};
}
double dot(Vec2 p, Vec2 q) {
  return p.x * q.x + p.y * q.y;
}
Vec2 midpoint(Vec2 p, Vec2 q) {
  return {(p.x + q.x) / 2, (p.y + q.y) / 2};
}

// The nearest points of two segments p1-q1 and p2-q2 (either may have no length), as Ericson's
// closest-point routine finds them; returns the distance between them.
double segmentDistance(Vec2 p1, Vec2 q1, Vec2 p2, Vec2 q2, Vec2& c1, Vec2& c2) {
  const Vec2 d1 = q1 - p1, d2 = q2 - p2, r = p1 - p2;
  const double a = dot(d1, d1), e = dot(d2, d2), f = dot(d2, r);
  double s = 0, t = 0;
  if (a <= 0 && e <= 0) {
    s = t = 0;
  } else if (a <= 0) {
    t = std::clamp(f / e, 0.0, 1.0);
  } else {
    const double c = dot(d1, r);
    if (e <= 0) {
      s = std::clamp(-c / a, 0.0, 1.0);
    } else {
      const double b = dot(d1, d2), denom = a * e - b * b;
      s = denom > 0 ? std::clamp((b * f - c * e) / denom, 0.0, 1.0) : 0.0;
      t = (b * s + f) / e;
      if (t < 0) {
        t = 0;
        s = std::clamp(-c / a, 0.0, 1.0);
      } else if (t > 1) {
        t = 1;
        s = std::clamp((b - c) / a, 0.0, 1.0);
      }
    }
  }
  c1 = p1 + s * d1;
  c2 = p2 + t * d2;
  return std::hypot(c1.x - c2.x, c1.y - c2.y);
}

bool inside(const Bounds& box, Vec2 p) {
  return p.x >= box.minX && p.x <= box.maxX && p.y >= box.minY && p.y <= box.maxY;
}

// The distance from segment p-q to a box, and the nearest points (cs on the segment, cb on the
// box). Inside the box it is 0, and across an edge the distance to that edge is 0.
double segmentBoxDistance(Vec2 p, Vec2 q, const Bounds& box, Vec2& cs, Vec2& cb) {
  const Vec2 corners[4] = {
      {box.minX, box.minY}, {box.maxX, box.minY}, {box.maxX, box.maxY}, {box.minX, box.maxY}};
  if (inside(box, p) || inside(box, q)) {
    cs = cb = inside(box, p) ? p : q;
    return 0;
  }
  double best = INFINITY;
  for (int k = 0; k < 4; ++k) {
    const Vec2 u = corners[k], v = corners[(k + 1) % 4];
    Vec2 s, t;
    const double d = segmentDistance(p, q, u, v, s, t);
    if (d < best) {
      best = d;
      cs = s;
      cb = t;
    }
  }
  return best;
}

}  // namespace

Bounds CopperShape::bounds() const {
  if (isBox) return {a.x, a.y, b.x, b.y};
  return {std::min(a.x, b.x) - r, std::min(a.y, b.y) - r, std::max(a.x, b.x) + r,
          std::max(a.y, b.y) + r};
}

Vec2 CopperShape::extreme(int dx, int dy) const {
  if (isBox) {
    const Vec2 c = midpoint(a, b);
    return {dx < 0 ? a.x : dx > 0 ? b.x : c.x, dy < 0 ? a.y : dy > 0 ? b.y : c.y};
  }
  const Vec2 end = dot(b - a, {double(dx), double(dy)}) > 0 ? b : a;
  return {end.x + r * dx, end.y + r * dy};
}

CopperShape capsule(Vec2 a, Vec2 b, double r) {
  CopperShape s;
  s.a = a;
  s.b = b;
  s.r = r;
  return s;
}

CopperShape circle(Vec2 centre, double r) {
  return capsule(centre, centre, r);
}

CopperShape box(Bounds bounds) {
  CopperShape s;
  s.isBox = true;
  s.a = {bounds.minX, bounds.minY};
  s.b = {bounds.maxX, bounds.maxY};
  return s;
}

double shapeGap(const CopperShape& s, const CopperShape& t, Vec2* between) {
  Vec2 cs, ct;
  double gap = 0;
  if (s.isBox && t.isBox) {
    const Bounds p = s.bounds(), q = t.bounds();
    const double dx = std::max({0.0, p.minX - q.maxX, q.minX - p.maxX});
    const double dy = std::max({0.0, p.minY - q.maxY, q.minY - p.maxY});
    gap = std::hypot(dx, dy);
    // The nearest points: each box's point clamped towards the other's overlap.
    const double x = dx > 0 ? (p.maxX < q.minX ? (p.maxX + q.minX) / 2 : (q.maxX + p.minX) / 2)
                            : (std::max(p.minX, q.minX) + std::min(p.maxX, q.maxX)) / 2;
    const double y = dy > 0 ? (p.maxY < q.minY ? (p.maxY + q.minY) / 2 : (q.maxY + p.minY) / 2)
                            : (std::max(p.minY, q.minY) + std::min(p.maxY, q.maxY)) / 2;
    if (between) *between = {x, y};
    return gap;
  }
  if (s.isBox || t.isBox) {
    const CopperShape& cap = s.isBox ? t : s;
    const CopperShape& bx = s.isBox ? s : t;
    const double d = segmentBoxDistance(cap.a, cap.b, bx.bounds(), cs, ct);
    gap = std::max(0.0, d - cap.r);
    if (between && d > 0) cs = cs + (cap.r / d) * (ct - cs);
  } else {
    const double d = segmentDistance(s.a, s.b, t.a, t.b, cs, ct);
    gap = std::max(0.0, d - s.r - t.r);
    if (between && d > 0) {
      const Vec2 u = (1 / d) * (ct - cs);
      cs = cs + s.r * u;
      ct = ct - t.r * u;
    }
  }
  if (between) *between = midpoint(cs, ct);
  return gap;
}

}  // namespace fw
