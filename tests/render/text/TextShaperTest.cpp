// Pens placed from pairs learnt once against Qt's own layout of whole strings: the same pen
// positions and extent width, kerned pairs included, and no placing where Qt's shaping does
// more than one glyph per character.

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QGlyphRun>
#include <QTextLayout>
#include <array>
#include <string>
#include <vector>

#include "render/text/TextFaces.h"
#include "render/text/TextShaper.h"
#include "render/text/TextTestTools.h"

namespace fw {
namespace {

// Qt's pen positions for the whole string, in 1/64 pixel, as drawText places them.
std::vector<int32_t> qtPens(const QFont& font, QPaintDevice* device, const std::string& s) {
  QTextLayout layout(QString::fromLatin1(s.data(), qsizetype(s.size())), font, device);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  std::vector<int32_t> pens;
  for (const QGlyphRun& run : layout.glyphRuns())
    for (const QPointF& p : run.positions()) pens.push_back(int32_t(std::lround(p.x() * 64)));
  return pens;
}

TEST(TextShaper, PensFromLearntPairsAreThoseOfQtsLayout) {
  const std::vector<std::string> texts = {"AVATAR To WAVE", "Ty. Yo, LT", "R12 C3 GND",
                                          "\xC4rger f\xFCr 5V", "fjord (x)"};
  const struct {
    const char* family;
    bool kerns;
  } kFaces[] = {{"DejaVu Sans", true}, {"Liberation Sans", true}, {"DejaVu Math TeX Gyre", false}};
  for (const auto& [family, kerns] : kFaces) {
    TextFaces faces;
    faces.setFace(test::installedFace(family));
    TextShaper shaper(faces);
    int kerned = 0;
    for (const int points : {9, 20, 47}) {
      const QFont font = faces.fontAt(points);  // a copy: the table grows as sizes are asked for
      for (const std::string& s : texts) {
        std::array<int32_t, 32> pens{};
        int width = 0;
        const int n = int(s.size());
        const bool placed = shaper.place(s.data(), n, points, pens.data(), width);
        const std::vector<int32_t> qt = qtPens(font, faces.device(), s);
        const std::string where = std::string(family) + " " + std::to_string(points) + " \"" + s;
        EXPECT_EQ(shaper.measureWidth(s.data(), n, points),
                  faces.metricsAt(points).horizontalAdvance(QString::fromLatin1(s.data())))
            << where;
        if (!placed) continue;  // drawn whole: the width above is all that counts
        ASSERT_EQ(qt.size(), s.size()) << where;
        int32_t plain = 0;
        for (int i = 0; i < n; ++i) {
          EXPECT_EQ(pens[std::size_t(i)], qt[std::size_t(i)]) << where << "\" char " << i;
          kerned += pens[std::size_t(i)] != plain;
          plain = pens[std::size_t(i)] + shaper.advance(uint8_t(s[std::size_t(i)]), points);
        }
      }
    }
    // The strings are chosen so that some pairs kern in the faces that kern.
    EXPECT_TRUE(!kerns || kerned > 0) << family;
  }
}

TEST(TextShaper, CharactersQtShapesOtherwiseAreNotPlaced) {
  TextFaces faces;
  faces.setFace(test::installedFace("DejaVu Sans"));
  TextShaper shaper(faces);
  std::array<int32_t, 32> pens{};
  int width = 0;
  // A tab, a control character, the soft hyphen, and a ligature of the face.
  const std::string texts[] = {"a\tb", std::string("a\x01") + "b", "co\xADop", "office"};
  for (const std::string& s : texts)
    EXPECT_FALSE(shaper.place(s.data(), int(s.size()), 12, pens.data(), width)) << s;
  EXPECT_TRUE(shaper.place("orbit", 5, 12, pens.data(), width));
  EXPECT_FALSE(shaper.place("", 0, 12, pens.data(), width));
}

}  // namespace
}  // namespace fw
