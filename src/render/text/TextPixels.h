#pragma once

#include <QImage>
#include <QRgb>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "render/BitMask.h"
#include "render/Canvas.h"

// What the pieces of the text cache share: a text's pixels, the images texts are drawn on to be
// scanned, and which text a remembered slot holds.

namespace fw {

// A text's pixels as the cache keeps them.
struct TextPixels {
  int width = 0;  // the text extent, as Canvas::textExtent gives it
  int height = 0;
  MaskView mask;  // relative to the text's top-left drawing corner
};

// A text kept with its own mask.
struct TextEntry {
  int width = 0;
  int height = 0;
  BitMask mask;
  TextPixels text() const { return {width, height, mask.view()}; }
};

// How far past its extent box a cached text's pixels can reach on every side: texts are drawn
// clipped to this margin.
inline int textReach(int height) {
  return 2 * height + 16;
}

// Texts are drawn white on this and scanned for the pixels that differ.
constexpr QRgb kTextBlank = 0xFF000000u;
constexpr int kTextDotsPerMeter = 3780;  // 96 dpi, as the canvas

// An image to draw texts on, at least 1 x 1, at the canvas's resolution; not yet filled.
inline QImage textImage(int w, int h) {
  QImage img = newImage(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
  img.setDotsPerMeterX(kTextDotsPerMeter);
  img.setDotsPerMeterY(kTextDotsPerMeter);
  return img;
}

// Which text at which size a slot holds, and of which generation of the cache.
struct SlotText {
  uint64_t generation = 0;
  int points = 0;
  int length = -1;
  std::array<char, 32> chars{};

  bool holds(uint64_t gen, const char* s, int n, int pts) const {
    return generation == gen && points == pts && length == n &&
           std::memcmp(chars.data(), s, std::size_t(n)) == 0;
  }
  void remember(uint64_t gen, const char* s, int n, int pts) {
    generation = gen;
    points = pts;
    length = n;
    std::memcpy(chars.data(), s, std::size_t(n));
  }
};

}  // namespace fw
