// Texts put together from glyph masks against the same texts drawn whole, and glyphs drawn once
// per character, phase and size however many texts use them.

#include <gtest/gtest.h>

#include <QString>
#include <string>
#include <vector>

#include "render/text/GlyphMasks.h"
#include "render/text/TextFaces.h"
#include "render/text/TextShaper.h"
#include "render/text/TextTestTools.h"

namespace fw {
namespace {

struct Pieces {
  explicit Pieces(const QFont& face) { faces.setFace(face); }
  TextFaces faces;
  TextShaper shaper{faces};
  GlyphMasks glyphs{faces, shaper};
};

test::Pixels composed(GlyphMasks& glyphs, const std::string& s, int points, int& width) {
  GlyphMasks::Layout l;
  if (!glyphs.layOut(s.data(), int(s.size()), points, l)) return {{-1, -1}};
  width = l.width;
  BitMask m;
  m.reset(l.left, l.top, l.rows, l.columns);
  l.write(m.bits.data());
  return test::litPixels(m);
}

TEST(GlyphMasks, ComposedTextsHaveTheWholeTextsPixels) {
  const std::vector<std::string> texts = {"R1 C22", "Wave To", "g_j|Q@", "0.1uF 50V",
                                          "\xC5\xE6\xDF"};
  for (const char* family : {"DejaVu Sans", "DejaVu Math TeX Gyre"}) {
    Pieces p(test::installedFace(family));
    for (const int points : {7, 15, 31}) {
      for (const std::string& s : texts) {
        int width = 0;
        const test::Pixels glyphs = composed(p.glyphs, s, points, width);
        int wholeWidth = 0, height = 0;
        BitMask whole;
        p.glyphs.drawWhole(QString::fromLatin1(s.data()), points, wholeWidth, height, whole);
        EXPECT_EQ(glyphs, test::litPixels(whole)) << family << " " << points << " \"" << s << "\"";
        EXPECT_EQ(width, wholeWidth) << family << " " << points << " \"" << s << "\"";
      }
    }
  }
}

TEST(GlyphMasks, EachGlyphIsDrawnOncePerSize) {
  Pieces p(test::installedFace("DejaVu Sans"));
  int width = 0;
  composed(p.glyphs, "0110", 12, width);
  const std::size_t glyphs = p.glyphs.glyphCount();
  const std::size_t bytes = p.glyphs.bytes();
  EXPECT_GE(glyphs, 2u);  // the zero and the one, at least once each
  EXPECT_GT(bytes, 0u);
  // The same text again, and texts of its glyphs at the same pens, take no new glyphs.
  composed(p.glyphs, "0110", 12, width);
  composed(p.glyphs, "011", 12, width);
  composed(p.glyphs, "01", 12, width);
  EXPECT_EQ(p.glyphs.glyphCount(), glyphs);
  EXPECT_EQ(p.glyphs.bytes(), bytes);
  // Another size draws its own.
  composed(p.glyphs, "0110", 13, width);
  EXPECT_GT(p.glyphs.glyphCount(), glyphs);
  p.glyphs.clear();
  EXPECT_EQ(p.glyphs.glyphCount(), 0u);
  EXPECT_EQ(p.glyphs.bytes(), 0u);
}

TEST(GlyphMasks, AFaceWithALineAlongItsTextsIsNotComposed) {
  QFont underlined = test::installedFace("DejaVu Sans");
  underlined.setUnderline(true);
  Pieces p(underlined);
  GlyphMasks::Layout l;
  EXPECT_FALSE(p.glyphs.layOut("R1", 2, 12, l));
}

}  // namespace
}  // namespace fw
