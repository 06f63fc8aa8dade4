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
// closest-point routine finds them; returns the square of the distance between them.
double segmentDistance2(Vec2 p1, Vec2 q1, Vec2 p2, Vec2 q2, Vec2& c1, Vec2& c2) {
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
  const Vec2 d = c1 - c2;
  return dot(d, d);
}

// The nearest point of segment p-q to point v; returns the square of the distance.
double pointDistance2(Vec2 v, Vec2 p, Vec2 q, Vec2& c) {
  const Vec2 d = q - p;
  const double a = dot(d, d);
  c = a > 0 ? p + std::clamp(dot(v - p, d) / a, 0.0, 1.0) * d : p;
  const Vec2 e = v - c;
  return dot(e, e);
}

// Where segment p-q enters the box, when it does (Liang and Barsky's clipping).
bool segmentEntersBox(Vec2 p, Vec2 q, const Bounds& box, Vec2& at) {
  const Vec2 d = q - p;
  double t0 = 0, t1 = 1;
  const auto clip = [&](double pp, double qq) {
    if (pp == 0) return qq >= 0;
    const double r = qq / pp;
    if (pp < 0) {
      if (r > t1) return false;
      t0 = std::max(t0, r);
    } else {
      if (r < t0) return false;
      t1 = std::min(t1, r);
    }
    return true;
  };
  if (!(clip(-d.x, p.x - box.minX) && clip(d.x, box.maxX - p.x) && clip(-d.y, p.y - box.minY) &&
        clip(d.y, box.maxY - p.y)))
    return false;
  at = p + t0 * d;
  return true;
}

// The square of the distance from segment p-q to a box, and the nearest points (cs on the
// segment, cb on the box): 0 where the segment enters the box. Apart, a segment and a box come
// nearest at an end of the segment or a corner of the box.
double segmentBoxDistance2(Vec2 p, Vec2 q, const Bounds& box, Vec2& cs, Vec2& cb) {
  if (segmentEntersBox(p, q, box, cs)) {
    cb = cs;
    return 0;
  }
  double best = INFINITY;
  for (const Vec2 end : {p, q}) {
    const Vec2 c{std::clamp(end.x, box.minX, box.maxX), std::clamp(end.y, box.minY, box.maxY)};
    const Vec2 e = end - c;
    if (dot(e, e) < best) {
      best = dot(e, e);
      cs = end;
      cb = c;
    }
  }
  for (const Vec2 corner : {Vec2{box.minX, box.minY}, Vec2{box.maxX, box.minY},
                            Vec2{box.maxX, box.maxY}, Vec2{box.minX, box.maxY}}) {
    Vec2 c;
    const double d = pointDistance2(corner, p, q, c);
    if (d < best) {
      best = d;
      cs = c;
      cb = corner;
    }
  }
  return best;
}

double boxGap2(const Bounds& p, const Bounds& q) {
  const double dx = std::max({0.0, p.minX - q.maxX, q.minX - p.maxX});
  const double dy = std::max({0.0, p.minY - q.maxY, q.minY - p.maxY});
  return dx * dx + dy * dy;
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
    gap = std::sqrt(boxGap2(p, q));
    // Half way across the gap, in the middle of where the boxes face each other.
    const auto across = [](double pMin, double pMax, double qMin, double qMax) {
      return pMax < qMin   ? (pMax + qMin) / 2
             : qMax < pMin ? (qMax + pMin) / 2
                           : (std::max(pMin, qMin) + std::min(pMax, qMax)) / 2;
    };
    if (between)
      *between = {across(p.minX, p.maxX, q.minX, q.maxX), across(p.minY, p.maxY, q.minY, q.maxY)};
    return gap;
  }
  if (s.isBox || t.isBox) {
    const CopperShape& cap = s.isBox ? t : s;
    const CopperShape& bx = s.isBox ? s : t;
    const double d = std::sqrt(segmentBoxDistance2(cap.a, cap.b, bx.bounds(), cs, ct));
    gap = std::max(0.0, d - cap.r);
    if (between && d > 0) cs = cs + (cap.r / d) * (ct - cs);
  } else {
    const double d = std::sqrt(segmentDistance2(s.a, s.b, t.a, t.b, cs, ct));
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

bool shapesWithin(const CopperShape& s, const CopperShape& t, double gap) {
  Vec2 cs, ct;
  if (s.isBox && t.isBox) return boxGap2(s.bounds(), t.bounds()) <= gap * gap;
  if (s.isBox || t.isBox) {
    const CopperShape& cap = s.isBox ? t : s;
    const double reach = cap.r + gap;
    return segmentBoxDistance2(cap.a, cap.b, (s.isBox ? s : t).bounds(), cs, ct) <= reach * reach;
  }
  // Track segments of one wire share their ends.
  const auto same = [](Vec2 p, Vec2 q) { return p.x == q.x && p.y == q.y; };
  if (same(s.a, t.a) || same(s.a, t.b) || same(s.b, t.a) || same(s.b, t.b)) return true;
  const double reach = s.r + t.r + gap;
  return segmentDistance2(s.a, s.b, t.a, t.b, cs, ct) <= reach * reach;
}

}  // namespace fw
