#pragma once

// The shapes copper is made of, in nanometres of the Gerber frame (origin at the frame's lower
// left corner, y up), and the exact distances between them. Every pad, track and round end is a
// capsule (a circle is one whose axis has no length, an obround one whose axis is the straight
// part of its sides); a text is the box its glyphs are set in.

namespace fw {

struct Vec2 {
  double x = 0;
  double y = 0;
};

struct Bounds {
  double minX = 0;
  double minY = 0;
  double maxX = 0;
  double maxY = 0;
  Bounds grown(double by) const { return {minX - by, minY - by, maxX + by, maxY + by}; }
};

struct CopperShape {
  bool isBox = false;
  Vec2 a;        // capsule: one end of the axis; box: the lower left corner
  Vec2 b;        // capsule: the other end; box: the upper right corner
  double r = 0;  // capsule: the radius around the axis
  Bounds bounds() const;
  // The point of the shape farthest along the unit direction (dx, dy) with dx or dy zero.
  Vec2 extreme(int dx, int dy) const;
};

CopperShape capsule(Vec2 a, Vec2 b, double r);
CopperShape circle(Vec2 centre, double r);
CopperShape box(Bounds bounds);

// The gap between two shapes: 0 when they overlap or touch. `between` (when given) receives the
// point halfway between the nearest points of the two.
double shapeGap(const CopperShape& s, const CopperShape& t, Vec2* between = nullptr);

// Whether the gap between two shapes is at most `gap`: what shapeGap says, without its square
// roots.
bool shapesWithin(const CopperShape& s, const CopperShape& t, double gap);

// Pieces whose gap is at most this far apart touch: it absorbs the rounding of the square roots
// and nothing else, as positions and sizes are whole nanometres.
constexpr double kTouchNm = 0.5;

}  // namespace fw
