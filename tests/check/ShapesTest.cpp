// The gaps between copper shapes, against distances worked out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "check/Shapes.h"

namespace fw {
namespace {

TEST(CopperShapes, GapsAreEdgeToEdge) {
  const CopperShape track = capsule({0, 0}, {100, 0}, 5);  // along x, 10 wide
  const CopperShape stadium = capsule({-30, 0}, {30, 0}, 20);
  struct Case {
    const char* what;
    CopperShape s, t;
    double gap;
  };
  const Case cases[] = {
      {"circle to circle", circle({0, 0}, 3), circle({10, 0}, 2), 5},
      {"circle beside a track", track, circle({50, 20}, 5), 10},
      {"circle past a track's end", track, circle({110, 0}, 1), 4},
      {"circle off a track's end at an angle", track, circle({103, 4}, 0), 0},
      {"parallel tracks", track, capsule({20, 30}, {80, 30}, 5), 20},
      {"crossing tracks", track, capsule({50, -40}, {50, 40}, 1), 0},
      {"end on to a track", track, capsule({50, 26}, {50, 60}, 1), 20},
      {"stadium end against a circle", stadium, circle({70, 0}, 10), 10},
      {"stadium side against a circle", stadium, circle({30, 40}, 10), 10},
      {"box beside a track", track, box({40, 20, 60, 30}), 15},
      {"box around a track's end", track, box({90, -2, 120, 2}), 0},
      {"track across a box", capsule({-50, 10}, {50, 10}, 1), box({-5, 0, 5, 20}), 0},
      {"box corner to a circle", circle({13, 14}, 0), box({0, 0, 10, 10}), 5},
      {"boxes apart", box({0, 0, 10, 10}), box({13, 14, 20, 20}), 5},
      {"boxes overlapping", box({0, 0, 10, 10}), box({5, 5, 20, 20}), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Vec2 at;
    EXPECT_NEAR(shapeGap(c.s, c.t, &at), c.gap, 1e-9);
    EXPECT_NEAR(shapeGap(c.t, c.s), c.gap, 1e-9);
    // Where a finding is shown: half way across the gap, as far from the one as the other.
    EXPECT_NEAR(shapeGap(circle(at, 0), c.s), c.gap / 2, 1e-9);
    EXPECT_NEAR(shapeGap(circle(at, 0), c.t), c.gap / 2, 1e-9);
  }
}

}  // namespace
}  // namespace fw
