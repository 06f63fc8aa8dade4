// Large texts drawn at their very place: the mask holds what drawText lights there, wherever
// the text lies against the canvas's edges, and is kept while text, place and canvas stay.

#include <gtest/gtest.h>

#include <QPainter>
#include <string>
#include <tuple>

#include "render/Canvas.h"
#include "render/text/InPlaceTexts.h"
#include "render/text/TextFaces.h"
#include "render/text/TextShaper.h"
#include "render/text/TextTestTools.h"

namespace fw {
namespace {

constexpr int kPoints = 60;  // Qt fills glyphs this large as outlines

// What drawText lights on the canvas at window position (x, y), relative to (x, y).
test::Pixels reference(const Canvas& c, TextFaces& faces, const std::string& s, int x, int y) {
  QImage img = textImage(c.width(), c.height());
  img.fill(kTextBlank);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setRenderHint(QPainter::TextAntialiasing, false);
  p.translate(0, -c.yOffset());
  p.setFont(faces.fontAt(kPoints));
  p.setPen(QColor(255, 255, 255));
  p.drawText(QPoint(x, y + faces.metricsAt(kPoints).ascent()), QString::fromLatin1(s.data()));
  p.end();
  test::Pixels out;
  for (int row = 0; row < img.height(); ++row)
    for (int col = 0; col < img.width(); ++col)
      if (img.pixel(col, row) != kTextBlank) out.emplace(col - x, row + c.yOffset() - y);
  return out;
}

TEST(InPlaceTexts, MasksHoldWhatDrawTextLightsWhereverTheTextLies) {
  TextFaces faces;
  faces.setFace(test::installedFace("DejaVu Sans"));
  TextShaper shaper(faces);
  InPlaceTexts texts(faces, shaper);
  const Canvas c(300, 200, 60);  // window rows 60 to 259
  const std::string s = "Wg8";
  const int w = shaper.measureWidth(s.data(), 3, kPoints);
  const int h = faces.metricsAt(kPoints).height();
  // Inside, across each edge, just touching the corner, and wholly outside.
  const int places[][2] = {{100, 100},       {-w / 2, 100},     {300 - w / 2, 120},
                           {50, 60 - h / 2}, {50, 260 - h / 2}, {-w + 3, 60 - h + 3},
                           {400, 100},       {50, -300}};
  for (const auto& [x, y] : places) {
    const TextPixels t = texts.forRow(0, s.data(), 3, kPoints, w, c, x, y, true, 1);
    EXPECT_EQ(t.width, w);
    EXPECT_EQ(test::litPixels(t.mask), reference(c, faces, s, x, y)) << x << "," << y;
  }
}

TEST(InPlaceTexts, ATextIsKeptWhileItsTextPlaceAndCanvasStay) {
  TextFaces faces;
  faces.setFace(test::installedFace("DejaVu Sans"));
  TextShaper shaper(faces);
  InPlaceTexts texts(faces, shaper);
  const Canvas c(300, 200, 60);
  const auto get = [&](const char* s, int x, int y, uint64_t generation, bool keep = true) {
    return texts.forRow(7, s, 2, kPoints, 80, c, x, y, keep, generation);
  };
  const TextPixels first = get("AB", 100, 100, 1);
  const std::size_t taken = texts.bytesTaken();
  EXPECT_GT(taken, 0u);
  EXPECT_EQ(texts.count(), 1u);
  EXPECT_EQ(get("AB", 100, 100, 1).mask.bits, first.mask.bits);
  EXPECT_EQ(texts.bytesTaken(), taken);  // not drawn again
  // Another place, text or generation draws it again, each where drawText puts it.
  for (const auto& [s, x, y, gen] :
       {std::make_tuple("AB", 101, 100, 1), std::make_tuple("AC", 101, 100, 1),
        std::make_tuple("AC", 101, 100, 2)}) {
    const std::size_t before = texts.bytesTaken();
    EXPECT_EQ(test::litPixels(get(s, x, y, uint64_t(gen)).mask), reference(c, faces, s, x, y));
    EXPECT_GT(texts.bytesTaken(), before) << s << " " << x << " " << gen;
  }
  // One not to be kept takes the row's slot away and is counted nowhere.
  const std::size_t before = texts.bytesTaken();
  EXPECT_EQ(test::litPixels(get("AB", 100, 100, 2, false).mask),
            reference(c, faces, "AB", 100, 100));
  EXPECT_EQ(texts.count(), 0u);
  EXPECT_EQ(texts.bytesTaken(), before);
}

}  // namespace
}  // namespace fw
