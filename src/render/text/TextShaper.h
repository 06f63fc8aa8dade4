#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class QString;

namespace fw {

class TextFaces;

// Where the glyphs of a text go, learnt from Qt's shaping as texts ask for it, so that a text
// can be put together from its characters' glyphs. A text's pen positions are the sum of each
// pair's distance: a pair shaped once at a probe size shows whether it kerns at all, and only
// kerned pairs are shaped again at each size, so a zoom change costs a few hundred glyphs rather
// than every string. A character or pair that shapes to anything but one glyph each of the
// face's own (ligatures, fallback fonts, control characters) sends texts the whole-string way.
class TextShaper {
 public:
  explicit TextShaper(TextFaces& faces);
  ~TextShaper();
  TextShaper(const TextShaper&) = delete;
  TextShaper& operator=(const TextShaper&) = delete;
  void clear();

  // The pen positions of a text of `length` (1 to 32) Latin-1 characters, in 1/64 pixel from the
  // first, and the extent's width; false when it has to be drawn whole.
  bool place(const char* chars, int length, int points, int32_t* pens, int& width);
  // The text's extent width, from its glyphs' advances when they tell it.
  int measureWidth(const char* chars, int length, int points);
  // Whether the character is one glyph of the face's own, learnt with its advance at this size.
  bool simpleChar(uint8_t c, int points);
  // A simple character's glyph index and advance (1/64 px) at this size.
  uint32_t glyphIndex(uint8_t c, int points) { return size(points).glyphIndex[c]; }
  int32_t advance(uint8_t c, int points) { return size(points).advance[c]; }

 private:
  // What is learnt of the characters at one point size.
  struct Size {
    std::array<int8_t, 256> charState{};  // 0 not yet shaped, 1 one glyph, -1 anything else
    std::array<uint32_t, 256> glyphIndex{};
    std::array<int32_t, 256> advance{};           // 1/64 px
    std::unordered_map<uint32_t, int32_t> pairs;  // kerned (a << 8 | b) -> b's pen x, 1/64 px
  };
  // How a pair of characters shapes at any size: learnt once, at a size above every size drawn.
  enum class PairKind : int8_t { Unknown, Plain, Kerned, Complex };

  Size& size(int points);
  Size& probe();
  bool simpleChar(Size& f, uint8_t c, int points);
  // The distance from a's pen position to b's in 1/64 pixel, or kComplexPair.
  int32_t pairDistance(Size& f, uint8_t a, uint8_t b, int points);
  PairKind pairKind(uint8_t a, uint8_t b);
  // Learns the pair's kind, `together` with those of other pairs, in one shaping; false when
  // anything in it shapes to other than the characters' own glyphs.
  bool learnPairs(uint8_t a, uint8_t b, bool together);
  // Appends to `text`, which holds a pair, a walk through the pairs not yet learnt.
  void walkOpenPairs(QString& text);

  TextFaces& faces_;
  std::vector<std::unique_ptr<Size>> sizes_;  // by point size
  std::vector<PairKind> pairKinds_;           // by a << 8 | b, for the face
  bool pairsOneByOne_ = false;                // pairs are shaped on their own, not together
  std::unique_ptr<Size> probe_;               // the characters at the probe size
};

}  // namespace fw
