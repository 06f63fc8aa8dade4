#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>
#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "render/BitMask.h"

class QGlyphRun;
class QString;

namespace fw {

class TextFaces;
class TextShaper;

// Texts and glyphs drawn with the canvas's font through QPainter and kept as one-bit masks.
// Text is aliased, so its pixels are exactly the font colour, and while Qt copies glyphs from
// its glyph cache, drawing at a whole-pixel offset only moves them: a text put together from
// its glyphs' masks at the pen positions the shaper gives has the very pixels that drawing it
// whole has. Each glyph is drawn by its index once per point size and per 1/64-pixel phase, or
// once per size where Qt draws it alike at every phase, as it draws aliased glyphs.
class GlyphMasks {
 public:
  GlyphMasks(TextFaces& faces, TextShaper& shaper);
  ~GlyphMasks();
  GlyphMasks(const GlyphMasks&) = delete;
  GlyphMasks& operator=(const GlyphMasks&) = delete;
  void clear();

  // A text put together from glyphs: its extent, the bounds of its lit pixels, and each glyph
  // with the pixel its pen lies in.
  struct Layout {
    int width = 0;
    int height = 0;
    int top = 0, left = 0, rows = 0, columns = 0;  // rows 0 when nothing is lit
    int count = 0;
    std::array<const BitMask*, 32> glyphs{};
    std::array<int, 32> wholes{};
    int words() const { return (columns + 63) / 64; }
    // Lights the glyphs' pixels in rows x words() blank words.
    void write(uint64_t* bits) const;
  };
  // The text's layout from its glyphs, drawing those not drawn yet; false when it has to be
  // drawn whole. The layout's glyphs stay valid until clear().
  bool layOut(const char* chars, int length, int points, Layout& l);
  // The text drawn whole: its extent and its pixels relative to its drawing corner.
  void drawWhole(const QString& text, int points, int& width, int& height, BitMask& mask);

  // The glyphs drawn so far and the bytes of their masks.
  std::size_t glyphCount() const;
  std::size_t bytes() const { return bytes_; }

 private:
  // The glyphs drawn at one point size.
  struct Size {
    std::unordered_map<uint32_t, BitMask> glyphs;  // (char << 6 | phase) -> its pixels
    // The glyphs above by character and phase, found without hashing; a table for each
    // character drawn.
    std::array<std::unique_ptr<std::array<const BitMask*, 64>>, 256> byPhase;
    int height = -1;       // the font's height at this size, once asked for
    int8_t phaseFree = 0;  // 0 not yet known, 1 every phase draws alike, -1 not
  };
  // What scan draws: a text, shaped as drawText shapes it, or a glyph already shaped, which
  // comes out the same without shaping it again.
  struct Drawn {
    const QString* text;
    const QGlyphRun* glyph;
  };

  Size& size(int points);
  // The glyph's pixels with the pen `phase` 64ths of a pixel right of the drawing corner,
  // kept once drawn.
  const BitMask& glyph(Size& f, uint8_t c, int phase, int points);
  void drawGlyph(uint8_t c, int phase, int points, BitMask& mask);
  // Whether the glyphs at f's size come out the same at every phase, learnt once.
  bool phaseFree(Size& f, int points);
  // Draws a text or glyph with its pen starting `phase` 64ths of a pixel right of the drawing
  // corner and keeps its pixels relative to that corner; `area` is where to look first, and
  // the extent (width x height) with a wide margin the second time.
  void scan(const Drawn& what, int phase, int points, QRect area, int width, int height,
            BitMask& mask);
  // The scratch image, at least w x h, with its painter active.
  QPainter& scratch(int w, int h);

  TextFaces& faces_;
  TextShaper& shaper_;
  std::vector<std::unique_ptr<Size>> sizes_;  // by point size
  std::size_t bytes_ = 0;
  QImage scratch_;  // texts are drawn here to be scanned
  QPainter painter_;
  BitMask scanWork_;
};

}  // namespace fw
