#pragma once

#include <QFont>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "render/text/GlyphMasks.h"
#include "render/text/InPlaceTexts.h"
#include "render/text/MaskStore.h"
#include "render/text/TextFaces.h"
#include "render/text/TextPixels.h"
#include "render/text/TextShaper.h"

namespace fw {

class Canvas;

// Board texts rendered once per (string, point size) and kept as one-bit masks, so a redraw
// copies pixels instead of shaping text again; drawing the masks gives the very pixels that
// Canvas::textOut would. This is the front the renderer asks, by table row: it remembers what
// each row held last and hands the work to its pieces. Most texts are put together from glyphs
// (TextShaper places them, GlyphMasks draws them), their masks in a MaskStore; a text that
// cannot be, such as one with a ligature, a fallback font's glyph or a line along it, is drawn
// whole and shared by every row that holds it. Larger glyphs Qt fills as outlines, whose
// pixels depend on where in the image they lie, so texts of those sizes are drawn at their
// very place instead (InPlaceTexts).
class TextCache {
 public:
  TextCache();
  ~TextCache();
  TextCache(const TextCache&) = delete;
  TextCache& operator=(const TextCache&) = delete;
  // For drawing once: rows are not remembered and each text put together from glyphs is made
  // in one spare mask, valid until the next call, so that a drawing of thousands of texts
  // takes no more memory than its largest text. Glyphs are still kept.
  void keepNoRows() { keepsRows_ = false; }

  using Text = TextPixels;
  using Measures = TextFaces::Measures;

  // Called before each drawing that uses entries: forgets everything when the canvas's font
  // face differs from the one cached or the cache has grown too big. Entries stay valid until
  // the next call. A cache that grows too big within one drawing keeps nothing more until then.
  void beginDrawing(const QFont& face);
  const Measures& measures(int points) { return faces_.measures(points); }
  // Measures no smaller than measures(points): those, once known, or else scaled from those of
  // one large size without loading the font at this one. Texts far outside the window are
  // passed over with these.
  Measures roughMeasures(int points) { return faces_.roughMeasures(points); }
  // Changes whenever the cache starts afresh, such as for another font face.
  uint64_t generation() const { return generation_; }
  // The text of `length` Latin-1 characters at `points` (already at least 1) in a given table
  // row (length at most 32): remembers what each row held last, so an unchanged row needs no
  // look-up. Its mask stays valid until the next call.
  Text getForRow(std::size_t row, const char* chars, int length, int points);
  // The text in a table row, of extent width `width` as widthForRow gives it, drawn whole with
  // its drawing corner at window position (x, y) on a canvas-shaped image, so that it comes out
  // as Canvas::textOut draws it there (see InPlaceTexts). Kept while the text, place and canvas
  // stay.
  Text inPlaceForRow(std::size_t row, const char* chars, int length, int points, int width,
                     const Canvas& c, int x, int y);
  // The text extent's width of the text in a table row (length at most 32), as
  // Canvas::textExtent gives it, without rendering the text; remembered with the row.
  int widthForRow(std::size_t row, const char* chars, int length, int points);
  // How far past its extent box a cached text's pixels can reach on every side: render()
  // clips to this margin.
  static int reach(int height) { return textReach(height); }

  // What the cache holds now: texts drawn whole, texts put together in rows, glyphs, and the
  // bytes of all their masks.
  struct Usage {
    std::size_t wholeTexts = 0, composedTexts = 0, glyphs = 0, maskBytes = 0;
  };
  Usage usage() const;
  void clear();

 private:
  struct RowSlot {
    Text own;  // the text put together from glyphs, when `composed`, its mask in the store
    MaskStore::Room room;
    bool composed = false;
    const TextEntry* entry = nullptr;  // a text drawn whole; both unset while only the width
                                       // is known
    int width = 0;
    SlotText text;
  };

  void growRows(std::size_t row);
  // The text into the spare entry, from its glyphs or drawn whole.
  Text spare(const char* chars, int length, int points);
  // A text drawn whole, shared by every row that holds it.
  const TextEntry& whole(const char* chars, int length, int points);
  // Whether the masks kept have passed the cache's limit.
  bool full() const;

  TextFaces faces_;
  TextShaper shaper_{faces_};
  GlyphMasks glyphs_{faces_, shaper_};
  InPlaceTexts inPlace_{faces_, shaper_};
  MaskStore store_;
  std::vector<RowSlot> rows_;
  uint64_t generation_ = 1;  // rows_ entries of older generations are stale
  bool keepsRows_ = true;
  std::unordered_map<std::string, TextEntry> entries_;  // texts drawn whole
  std::size_t entryBytes_ = 0;
  TextEntry spare_;  // a text made while the cache is full, or by a cache that keeps no rows
};

}  // namespace fw
