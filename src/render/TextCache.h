#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QRect>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "render/Canvas.h"

namespace fw {

// Board texts rendered once per (string, point size) and kept as one-bit masks, so a redraw
// copies pixels instead of shaping text again. The masks come from drawing with the canvas's
// own font through QPainter; text is aliased, so its pixels are exactly the font colour, and
// while Qt copies glyphs from its glyph cache, drawing at a whole-pixel offset only moves them:
// drawing the masks gives the very pixels that Canvas::textOut would. Larger glyphs Qt fills as
// outlines, whose pixels depend on where in the image they lie, so texts of those sizes are
// drawn at their very place instead (inPlaceForRow). A layer's texts all share one colour, so
// they are merged into one mask of the canvas and drawn in one go.
//
// Most texts are put together from glyphs instead of being drawn whole: each character's glyph
// is drawn by its index once per point size and per 1/64-pixel phase (once per size where
// Qt draws it alike at every phase, as it draws aliased glyphs), and a text is its
// characters' pixels placed at the pen positions the font's shaping gives. Those positions are
// the sum of each pair's distance: a pair shaped once at a probe size shows whether it kerns at
// all, and only kerned pairs are shaped again at each size, so a zoom change costs a few hundred
// glyphs rather than every string. A character or pair that shapes to anything but one glyph
// each of the face's own (ligatures, fallback fonts, control characters), and a face that draws
// lines along its texts, send texts the whole-string way.
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

  // A text's pixels as the cache keeps them.
  struct Text {
    int width = 0;  // the text extent, as Canvas::textExtent gives it
    int height = 0;
    MaskView mask;  // relative to the text's top-left drawing corner
  };
  // Font measures of one point size, for deciding cheaply that a text cannot be visible.
  struct Measures {
    int maxWidth = 0;
    int height = 0;
  };

  // Called before each drawing that uses entries: forgets everything when the canvas's font
  // face differs from the one cached or the cache has grown too big. Entries stay valid until
  // the next call. A cache that grows too big within one drawing keeps nothing more until then.
  void beginDrawing(const QFont& face);
  const Measures& measures(int points);
  // Measures no smaller than measures(points): those, once known, or else scaled from those of
  // one large size without loading the font at this one. Texts far outside the window are
  // passed over with these.
  Measures roughMeasures(int points);
  // Changes whenever the cache starts afresh, such as for another font face.
  uint64_t generation() const { return generation_; }
  // The text of `length` Latin-1 characters at `points` (already at least 1) in a given table
  // row (length at most 32): remembers what each row held last, so an unchanged row needs no
  // look-up. Its mask stays valid until the next call.
  Text getForRow(std::size_t row, const char* chars, int length, int points);
  // The text in a table row, of extent width `width` as widthForRow gives it, drawn whole with
  // its drawing corner at window position (x, y) on a canvas-shaped image, so that it comes out
  // as Canvas::textOut draws it there: Qt fills large glyphs as outlines, and the same outline a
  // whole pixel lower, or cut by the canvas's top edge, can come out a pixel different. Kept
  // while the text, place and canvas stay.
  Text inPlaceForRow(std::size_t row, const char* chars, int length, int points, int width,
                     const Canvas& c, int x, int y);
  // The text extent's width of the text in a table row (length at most 32), as
  // Canvas::textExtent gives it, without rendering the text; remembered with the row.
  int widthForRow(std::size_t row, const char* chars, int length, int points);
  // How far past its extent box a cached text's pixels can reach on every side: render()
  // clips to this margin.
  static int reach(int height) { return 2 * height + 16; }

  // What the cache holds now: texts drawn whole, texts put together in rows, glyphs, and the
  // bytes of all their masks.
  struct Usage {
    std::size_t wholeTexts = 0, composedTexts = 0, glyphs = 0, maskBytes = 0;
  };
  Usage usage() const;
  void clear();

 private:
  // A text kept with its own mask.
  struct Entry {
    int width = 0;
    int height = 0;
    BitMask mask;
    Text text() const { return {width, height, mask.view()}; }
  };
  // What composing texts from glyphs needs at one point size, learnt as texts ask for it.
  struct GlyphFace {
    std::array<int8_t, 256> charState{};  // 0 not yet shaped, 1 one glyph, -1 anything else
    std::array<uint32_t, 256> glyphIndex{};
    std::array<int32_t, 256> advance{};            // 1/64 px
    std::unordered_map<uint32_t, int32_t> pairs;   // kerned (a << 8 | b) -> b's pen x, 1/64 px
    std::unordered_map<uint32_t, BitMask> glyphs;  // (char << 6 | phase) -> its pixels
    // The glyphs above by character and phase, found without hashing; a table for each
    // character drawn.
    std::array<std::unique_ptr<std::array<const BitMask*, 64>>, 256> byPhase;
    std::optional<QRawFont> rawFont;  // the face at this size, for drawing glyphs
    int height = -1;                  // the font's height at this size, once asked for
    int8_t phaseFree = 0;             // 0 not yet known, 1 every phase draws alike, -1 not
    // Each character's ink box as the font gives it, from its pen on the baseline; learnt for
    // texts drawn at their place, at the sizes that draw them.
    std::unique_ptr<std::array<std::optional<QRect>, 256>> ink;
  };
  // How a pair of characters shapes at any size: learnt once, at a size above every size drawn.
  enum class PairKind : int8_t { Unknown, Plain, Kerned, Complex };

  const QFont& fontAt(int points);
  void growRows(std::size_t row);
  GlyphFace& glyphFace(int points);
  // Whether the character is one glyph of its own, learnt with its advance at the face's size.
  bool simpleChar(GlyphFace& f, uint8_t c, int points);
  GlyphFace& probe();
  // The face at f's size, for drawing its glyphs by index.
  const QRawFont& rawFont(GlyphFace& f, int points);
  // The distance from a's pen position to b's in 1/64 pixel, or kComplexPair.
  int32_t pairDistance(GlyphFace& f, uint8_t a, uint8_t b, int points);
  PairKind pairKind(uint8_t a, uint8_t b);
  // Learns the pair's kind, `together` with those of other pairs, in one shaping; false when
  // anything in it shapes to other than the characters' own glyphs.
  bool learnPairs(uint8_t a, uint8_t b, bool together);
  // Appends to `text`, which holds a pair, a walk through the pairs not yet learnt.
  void walkOpenPairs(QString& text);
  // The glyph's pixels with the pen `phase` 64ths of a pixel right of the drawing corner,
  // kept once drawn.
  const BitMask& glyph(GlyphFace& f, uint8_t c, int phase, int points);
  void drawGlyph(GlyphFace& f, uint8_t c, int phase, int points, BitMask& mask);
  // Whether the glyphs at f's size come out the same at every phase, learnt once.
  bool phaseFree(GlyphFace& f, int points);
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
  // The text's layout from its glyphs; false when it has to be drawn whole.
  bool layOut(const char* chars, int length, int points, Layout& l);
  // The text into the spare entry, from its glyphs or drawn whole.
  Text spare(const char* chars, int length, int points);
  // The text's extent width, from its glyphs' advances when they tell it.
  int measureWidth(const char* chars, int length, int points);
  // Room for `n` words in the store that composed texts share, as long as the cache lasts.
  uint64_t* storeWords(std::size_t n);
  // The pen positions of a text made of glyphs and the extent's width; false when it has to be
  // drawn whole.
  bool place(GlyphFace& f, const char* chars, int length, int points, int32_t* pens, int& width);
  // A text drawn whole, shared by every row that holds it.
  const Entry& whole(const char* chars, int length, int points);
  // What scan draws: a text, shaped as drawText shapes it, or a glyph already shaped, which
  // comes out the same without shaping it again.
  struct Drawn {
    const QString* text;
    const QGlyphRun* glyph;
  };
  // Draws a text or glyph with its pen starting `phase` 64ths of a pixel right of the drawing
  // corner and keeps its pixels relative to that corner; `area` is where to look first, and
  // the extent (width x height) with a wide margin the second time.
  void scan(const Drawn& what, int phase, int points, QRect area, int width, int height,
            BitMask& mask);
  const QFontMetrics& metricsAt(int points);
  // FreeType keeps TrueType hinting state in a face between glyph loads, and Qt shares one face
  // between every font of its family: after the window's antialiased texts, which load glyphs
  // of the canvas's face too, Qt's outlines of large texts come out a pixel different here and
  // there. Loading one glyph for aliased drawing puts the face back as aliased drawing alone
  // leaves it, as in a process that never draws antialiased text.
  void settleFace();
  // The scratch image, at least w x h, with its painter active.
  QPainter& scratch(int w, int h);
  void render(const QString& text, int points, Entry& e);

  // Which text at which size a slot holds, and of which generation.
  struct SlotText {
    uint64_t generation = 0;
    int points = 0;
    int length = -1;
    std::array<char, 32> chars{};
  };
  struct RowSlot {
    Text own;  // the text put together from glyphs, when `composed`, its mask in the store
    uint64_t* ownBits = nullptr;
    std::size_t ownCapacity = 0;  // words at ownBits
    bool composed = false;
    const Entry* entry = nullptr;  // a text drawn whole; both unset while only the width is known
    int width = 0;
    SlotText text;
  };
  struct InPlaceSlot {
    Entry entry;
    SlotText text;
    std::array<int, 5> place{};  // x, y, and the canvas's width, height and top row
  };

  // Where the text's pixels lie as the font gives it, drawn with its pen at (x, baseline).
  QRect inkBox(const QString& text, const char* chars, int length, int points, int x, int baseline);
  void drawInPlace(const QString& text, int points, int ascent, const Canvas& c, int x, int y);
  Text keepInPlace(InPlaceSlot& slot, bool keep, const char* chars, int length, int points,
                   const std::array<int, 5>& place);
  // Whether the slot holds the given text of this generation.
  bool holds(const SlotText& slot, const char* chars, int length, int points) const;
  void remember(SlotText& slot, const char* chars, int length, int points);

  // Whether the masks kept have passed the cache's limit.
  bool full() const;

  QFont face_;
  std::vector<RowSlot> rows_;
  uint64_t generation_ = 1;  // rows_ entries of older generations are stale
  bool hasFace_ = false;
  bool decorated_ = false;  // the face underlines, overlines or strikes out
  bool keepsRows_ = true;
  std::unordered_map<std::string, Entry> entries_;
  std::vector<Measures> measures_;                    // by point size; height 0 = not measured yet
  std::vector<std::optional<QFontMetrics>> metrics_;  // by point size
  std::vector<std::optional<QFont>> fonts_;           // by point size
  std::vector<std::unique_ptr<GlyphFace>> glyphFaces_;  // by point size
  std::vector<PairKind> pairKinds_;                     // by a << 8 | b, for the face
  bool pairsOneByOne_ = false;        // pairs are shaped on their own, not together
  std::unique_ptr<GlyphFace> probe_;  // the characters at the probe size
  std::unordered_map<std::size_t, InPlaceSlot> inPlace_;  // texts drawn at their place, by row
  Entry spare_;  // a text made while the cache is full, or by a cache that keeps no rows
  InPlaceSlot spareInPlace_;                   // one drawn so while the cache is full
  QImage canvasShaped_;                        // where they are drawn, as large as the canvas
  QImage device_{1, 1, QImage::Format_RGB32};  // measures at its 96 dpi
  QImage scratch_;                             // texts are drawn here to be scanned
  QPainter painter_;
  BitMask scanWork_;
  // Composed texts' masks, in blocks that never move; a row's mask is made again in place
  // when it fits.
  std::vector<std::unique_ptr<uint64_t[]>> store_;
  std::size_t storeUsed_ = 0, storeSize_ = 0;  // words of the last block
  std::size_t storeBytes_ = 0;                 // of all blocks
  std::optional<QRawFont> settleFont_;         // the face at a small size, for settleFace
  quint32 settleGlyph_ = 0;                    // its "H"
  std::size_t maskBytes_ = 0;
};

}  // namespace fw
