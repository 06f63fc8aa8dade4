#pragma once

// Helpers for the text cache's pieces: masks as sets of lit pixels, to compare two ways of
// making the same text.

#include <gtest/gtest.h>

#include <QFont>
#include <QRawFont>
#include <set>
#include <utility>

#include "render/BitMask.h"

namespace fw::test {

using Pixels = std::set<std::pair<int, int>>;  // (x, y) relative to the mask's origin

inline Pixels litPixels(const MaskView& m) {
  Pixels out;
  for (int r = 0; r < m.rows; ++r)
    for (int x = 0; x < m.words * 64; ++x)
      if ((m.row(r)[x / 64] >> (x % 64)) & 1) out.emplace(m.left + x, m.top + r);
  return out;
}

inline Pixels litPixels(const BitMask& m) {
  return litPixels(m.view());
}

// The face named, after checking that this machine has it rather than a substitute.
inline QFont installedFace(const char* family) {
  const QFont f{QString::fromLatin1(family)};
  EXPECT_EQ(QRawFont::fromFont(f).familyName(), f.family()) << family << " is not installed";
  return f;
}

}  // namespace fw::test
