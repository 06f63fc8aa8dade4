#pragma once

// Compares two boards as a file would: the same counts, rows in use and frame; rows past the
// counts, the file name and SavedFlag are ignored.

#include <algorithm>

#include "board/Board.h"

namespace fw {

inline bool sameContent(const Board& a, const Board& b) {
  auto same = [](const auto& x, const auto& y, int32_t n) {
    return std::equal(x.begin(), x.begin() + n, y.begin());
  };
  return a.PinCount == b.PinCount && a.WirePointCount == b.WirePointCount &&
         a.TextCount == b.TextCount && a.ObjectCount == b.ObjectCount &&
         a.FrameWidth == b.FrameWidth && a.FrameHeight == b.FrameHeight &&
         same(a.PinTable, b.PinTable, a.PinCount) &&
         same(a.WirePointTable, b.WirePointTable, a.WirePointCount) &&
         same(a.TextTable, b.TextTable, a.TextCount) &&
         same(a.ObjectTable, b.ObjectTable, a.ObjectCount) &&
         same(a.ObjectDescriptions, b.ObjectDescriptions, a.ObjectCount);
}

}  // namespace fw
