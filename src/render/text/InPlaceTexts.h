#pragma once

#include <QImage>
#include <QRect>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "render/BitMask.h"
#include "render/text/TextPixels.h"

class QString;

namespace fw {

class Canvas;
class TextFaces;
class TextShaper;

// Texts Qt fills as outlines, drawn at their very place on a canvas-shaped image: an outline's
// pixels depend on where in the image it lies, so the same outline a whole pixel lower, or cut
// by the canvas's top edge, can come out a pixel different. Kept by table row while the text,
// place and canvas stay.
class InPlaceTexts {
 public:
  InPlaceTexts(TextFaces& faces, TextShaper& shaper);
  ~InPlaceTexts();
  InPlaceTexts(const InPlaceTexts&) = delete;
  InPlaceTexts& operator=(const InPlaceTexts&) = delete;

  // The text of `length` (0 to 32) Latin-1 characters in a table row, of extent width `width`,
  // drawn whole with its drawing corner at window position (x, y), so that it comes out as
  // Canvas::textOut draws it there. Kept for the row with the cache's `generation` unless
  // `keep` is false, when it is drawn into a spare slot that nobody keeps. Its mask stays
  // valid until the next call.
  TextPixels forRow(std::size_t row, const char* chars, int length, int points, int width,
                    const Canvas& c, int x, int y, bool keep, uint64_t generation);
  void clear();

  // The texts kept and the bytes of their masks now; and the bytes of every mask kept since
  // clear(), which a text made again in its row's slot counts again.
  std::size_t count() const { return slots_.size(); }
  std::size_t bytes() const;
  std::size_t bytesTaken() const { return bytesTaken_; }

 private:
  struct Slot {
    TextEntry entry;
    SlotText text;
    std::array<int, 5> place{};  // x, y, and the canvas's width, height and top row
  };

  // Where the text's pixels lie as the font gives it, drawn with its pen at (x, baseline).
  QRect inkBox(const QString& text, const char* chars, int length, int points, int x, int baseline);
  void draw(const QString& text, int points, int ascent, const Canvas& c, int x, int y);
  TextPixels keep(Slot& slot, bool keep, const char* chars, int length, int points,
                  const std::array<int, 5>& place, uint64_t generation);

  TextFaces& faces_;
  TextShaper& shaper_;
  std::unordered_map<std::size_t, Slot> slots_;  // by row
  Slot spare_;                                   // one drawn while the cache is full
  QImage canvasShaped_;                          // where they are drawn, as large as the canvas
  BitMask scanWork_;
  // Each character's ink box as the font gives it, from its pen on the baseline, by size.
  std::vector<std::unique_ptr<std::array<std::optional<QRect>, 256>>> ink_;
  std::size_t bytesTaken_ = 0;
};

}  // namespace fw
