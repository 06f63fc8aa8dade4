// The cache in front of the text pieces, by table row: an unchanged row is answered from what
// it held, a row made again takes its old place in the store, and the widths it gives without
// drawing are the canvas's own.

#include <gtest/gtest.h>

#include <string>

#include "render/Canvas.h"
#include "render/text/TextCache.h"
#include "render/text/TextTestTools.h"

namespace fw {
namespace {

TEST(TextCache, RowsRememberTheirTextsAndReuseTheirPlace) {
  Canvas canvas(100, 100);
  TextCache cache;
  cache.beginDrawing(canvas.font());
  const TextCache::Text a = cache.getForRow(3, "R12", 3, 15);
  const TextCache::Usage first = cache.usage();
  EXPECT_EQ(first.composedTexts, 1u);
  EXPECT_EQ(cache.getForRow(3, "R12", 3, 15).mask.bits, a.mask.bits);
  // A shorter text in the same row fits where the last one lay.
  const TextCache::Text b = cache.getForRow(3, "R1", 2, 15);
  EXPECT_EQ(b.mask.bits, a.mask.bits);
  EXPECT_EQ(cache.usage().maskBytes, first.maskBytes);
  EXPECT_NE(test::litPixels(b.mask), test::litPixels(cache.getForRow(4, "R12", 3, 15).mask));
}

TEST(TextCache, RowWidthsAreTheCanvasTextExtents) {
  for (const char* family : {"DejaVu Sans", "Liberation Sans"}) {
    Canvas canvas(100, 100);
    canvas.setFont(test::installedFace(family));
    TextCache cache;
    cache.beginDrawing(canvas.font());
    // Composed, with a ligature, with a tab and empty.
    const std::string texts[] = {"C12 AV", "office", "a\tb", ""};
    for (const int points : {6, 21, 60}) {
      canvas.setFontPointSize(points);
      std::size_t row = 0;
      for (const std::string& s : texts) {
        const int n = int(s.size());
        const int width = canvas.textExtent(QString::fromLatin1(s.data(), n)).width();
        EXPECT_EQ(cache.widthForRow(row, s.data(), n, points), width) << family << " " << s;
        // Once drawn, the row gives the same width.
        if (points < 48) {
          EXPECT_EQ(cache.getForRow(row, s.data(), n, points).width, width) << s;
        }
        EXPECT_EQ(cache.widthForRow(row++, s.data(), n, points), width) << family << " " << s;
      }
    }
  }
}

}  // namespace
}  // namespace fw
