// The fast redraw leaves out what cannot be seen and copies texts from a cache; it must give
// exactly the pixels of the straightforward drawing.

#include <gtest/gtest.h>

#include <QPainter>
#include <QRawFont>
#include <algorithm>
#include <random>

#include "render/BoardRenderer.h"
#include "render/PixelTools.h"
#include "render/text/TextCache.h"

namespace fw {
namespace {

// A board with a bit of everything, including values no editor would write.
std::unique_ptr<Board> randomBoard(std::mt19937& rng, int pins, int points, int texts) {
  auto b = makeBoard();
  auto pick = [&](int lo, int hi) { return int(rng() % uint32_t(hi - lo + 1)) + lo; };
  auto position = [&](int limit) {
    // Mostly on the board, some at its edges and a few beyond it.
    const int r = pick(0, 19);
    if (r == 0) return pick(0, 16383);
    if (r == 1) return pick(0, 8);
    return pick(0, limit);
  };
  for (int i = 0; i < pins; ++i) {
    static const uint8_t styles[] = {0, 0, 1, 2, 128, 200, 5};
    b->addPin({uint16_t(position(796)), uint16_t(position(596)), uint8_t(pick(0, 11)),
               styles[pick(0, 6)]});
  }
  while (b->WirePointCount < points) {
    const int n = pick(1, 6);
    int x = position(796), y = position(596);
    for (int k = 0; k < n && b->WirePointCount < points; ++k) {
      WirePoint p;
      const bool start = k == 0;
      const int layer = pick(0, 9) == 0 ? 3 : pick(0, 2);
      p.attr = uint8_t(start && pick(0, 1) ? kWireStartAttr : layer * 16 + pick(0, 12));
      p.x = uint16_t((x & kPositionMask) | (start ? WireStartFlag : 0));
      p.y = uint16_t((y & kPositionMask) | (start ? WireStartFlag : 0));
      b->addWirePoint(p);
      x = std::clamp(x + pick(-60, 60), 0, 16383);
      y = std::clamp(y + pick(-60, 60), 0, 16383);
    }
  }
  // The first row is not always a start on a damaged board.
  if (pick(0, 3) == 0 && b->WirePointCount > 0) b->WirePointTable[0].x &= kPositionMask;
  static const char* words[] = {
      "R1", "C12",  "Text",    "GND", "\xC4\xD6\xDC", "VCC 5V", "a somewhat longer label here",
      "",   "j_y|", "\x01\x7F"};
  for (int i = 0; i < texts; ++i) {
    TextItem t;
    t.text.set(words[pick(0, 9)]);
    t.size = uint8_t(pick(0, 12) == 0 ? pick(0, 255) : pick(5, 50));
    t.x = uint16_t(pick(0, 3) * 4096 + position(796) % 4096);
    t.y = uint16_t(position(596));
    b->addText(t);
  }
  for (int i = 0; i < 3; ++i) {
    BoardObject o;
    o.firstPin = uint16_t(pick(0, pins));
    o.pinCount = uint16_t(pick(0, 6));
    o.firstPoint = uint16_t(pick(0, points));
    o.pointCount = uint16_t(pick(0, 8));
    o.firstText = uint16_t(pick(0, texts));
    o.textCount = uint16_t(pick(0, 3));
    b->addObject(o, "object");
  }
  b->FrameWidth = pick(0, 9) == 0 ? pick(-100, 100000) : pick(16, 799);
  b->FrameHeight = pick(16, 599);
  return b;
}

TEST(RenderEquivalence, FastRedrawMatchesTheReferencePixelForPixel) {
  std::mt19937 rng(20240611);
  auto pick = [&](int lo, int hi) { return int(rng() % uint32_t(hi - lo + 1)) + lo; };
  BoardRenderer fast;  // one renderer throughout, so its caches carry over between boards
  // The command line's kind, which draws large texts straight, used again all the same.
  BoardRenderer once(BoardRenderer::Use::Once);
  for (int round = 0; round < 24; ++round) {
    const auto board = randomBoard(rng, pick(0, 150), pick(0, 600), pick(0, 120));
    View view;
    view.setAreaSize(pick(200, 500), pick(150, 350));
    Visibility vis;
    vis.grid = pick(0, 3) != 0;
    vis.frame = pick(0, 3) != 0;
    vis.layers = {pick(0, 3) != 0, pick(0, 3) != 0, pick(0, 3) != 0};
    vis.completeWire = pick(0, 1) != 0;
    Selection sel;
    sel.pin = pick(0, board->PinCount + 1);
    sel.point = pick(0, board->WirePointCount + 1);
    sel.text = pick(0, board->TextCount + 1);
    sel.object = pick(0, 4);
    // Every zoom level, 32x included, on every board.
    for (int shot = 0; shot < kZoomLevels; ++shot) {
      view.ZoomLevel = shot;
      // Mostly somewhere on the board, sometimes at the ends of the scroll ranges.
      view.scrollX = pick(0, 4) == 0 ? pick(0, 1) * kScrollMaxX : pick(0, kScrollMaxX);
      view.scrollY = pick(0, 4) == 0 ? pick(0, 1) * kScrollMaxY : pick(0, kScrollMaxY);
      Canvas a(view.areaWidth(), view.areaHeight()), b(view.areaWidth(), view.areaHeight());
      BoardRenderer reference;
      fast.drawBoard(a, *board, view, vis, sel);
      reference.drawBoardReference(b, *board, view, vis, sel);
      const test::ImageDiff d = test::compareImages(a.image(), b.image());
      EXPECT_EQ(d.count, 0) << "round " << round << " shot " << shot << " zoom " << view.ZoomLevel
                            << " scroll " << view.scrollX << "," << view.scrollY << ": first at "
                            << d.x << "," << d.y << " " << std::hex << d.a << " vs " << d.b;
      // The canvas is left in the same state for whoever draws next.
      EXPECT_EQ(a.state().penX, b.state().penX);
      EXPECT_EQ(a.state().penY, b.state().penY);
      EXPECT_EQ(a.state().penWidth, b.state().penWidth);
      EXPECT_EQ(a.state().fontPointSize, b.state().fontPointSize);
      // A second fast drawing, from the warm cache, over the first. The reference draws again
      // too: on a damaged board whose first wire row is no start, the first segment begins
      // where the previous drawing left the pen.
      fast.drawBoard(a, *board, view, vis, sel);
      reference.drawBoardReference(b, *board, view, vis, sel);
      EXPECT_EQ(test::compareImages(a.image(), b.image()).count, 0) << "round " << round;
      // Edits at the same view, which the warm drawing must not miss: a few texts, or more
      // than are mended in place, moved, retyped, resized, put on another layer or added; a
      // layer shown or hidden.
      const int edits = pick(0, 5) == 0 ? 70 : pick(1, 4);
      for (int e = 0; e < edits && board->TextCount > 0; ++e) {
        TextItem& t = board->TextTable[std::size_t(pick(0, board->TextCount - 1))];
        switch (pick(0, 4)) {
          case 0:
            t.y = uint16_t(t.y ^ 8);
            break;
          case 1:
            t.text.set("edited");
            break;
          case 2:
            t.size = uint8_t((t.size & ~63) | pick(0, 63));
            break;
          case 3:
            t.size = uint8_t(t.size ^ 64);  // another layer
            break;
          default: {
            TextItem added = t;
            added.x = uint16_t(added.x + 12);
            board->addText(added);
          }
        }
      }
      if (pick(0, 2) == 0) vis.layers[std::size_t(pick(0, 2))] ^= true;
      fast.drawBoard(a, *board, view, vis, sel);
      reference.drawBoardReference(b, *board, view, vis, sel);
      EXPECT_EQ(test::compareImages(a.image(), b.image()).count, 0) << "round " << round;
      EXPECT_EQ(a.state().fontPointSize, b.state().fontPointSize) << "round " << round;
      Canvas c(view.areaWidth(), view.areaHeight());
      once.drawBoard(c, *board, view, vis, sel);
      EXPECT_EQ(test::compareImages(c.image(), b.image()).count, 0) << "once, round " << round;
      EXPECT_EQ(c.state().fontPointSize, b.state().fontPointSize) << "once, round " << round;
    }
  }
}

// Texts of every size (0 .. 63) at every zoom, around and far beyond the window's edges, where
// the fast drawing decides from their widths alone that they cannot be seen.
// Texts in the given face (the canvas's own when null), at every size and zoom, near the window
// and far from it, among them huge texts cut by the top edge.
void expectTextsOfEverySizeMatch(const QFont* face) {
  std::mt19937 rng(15);
  auto pick = [&](int lo, int hi) { return int(rng() % uint32_t(hi - lo + 1)) + lo; };
  // Kerned pairs, ligature candidates, accents and a tab, which texts built from glyphs must
  // place exactly as whole strings; the superscripts come from another font for faces without
  // them, and the last word, a lone one, only in other faces.
  static const char* words[] = {"W",
                                "Wide WW",
                                "gjpqy|",
                                "MMMMMMMM",
                                "i",
                                "AVAVAVAV",
                                "T0001-R",
                                "office fluff",
                                "Ty.To,Yo",
                                "\xBF"
                                "A\xF1o?",
                                "a\tb \xAD-\xA0"
                                "c",
                                "LT'\"f\xEF\xB2\xB3",
                                "\xB2"};
  BoardRenderer fast;
  for (int zoom = 0; zoom < kZoomLevels; ++zoom) {
    auto board = makeBoard();
    for (int size = 0; size < 64; ++size)
      for (int k = 0; k < 6; ++k) {
        TextItem t;
        t.text.set(words[pick(0, face != nullptr ? 12 : 11)]);
        t.size = uint8_t(size + 64 * pick(0, 3));
        // Around the middle of the workspace, within a few of the largest texts' widths.
        t.x = uint16_t(pick(0, 3) * 4096 + std::clamp(400 + pick(-300, 300) / (zoom + 1), 0, 4095));
        t.y = uint16_t(std::clamp(300 + pick(-200, 200) / (zoom + 1), 0, 16383));
        board->addText(t);
      }
    View view;
    view.setAreaSize(pick(150, 400), pick(120, 300));
    view.ZoomLevel = zoom;
    Canvas a(view.areaWidth(), view.areaHeight()), b(view.areaWidth(), view.areaHeight());
    if (face != nullptr) {
      a.setFont(*face);
      b.setFont(*face);
    }
    BoardRenderer reference;
    fast.drawBoard(a, *board, view, Visibility{}, Selection{});
    reference.drawBoardReference(b, *board, view, Visibility{}, Selection{});
    const test::ImageDiff d = test::compareImages(a.image(), b.image());
    EXPECT_EQ(d.count, 0) << (face ? face->family().toStdString() : "") << " zoom " << zoom
                          << ": first at " << d.x << "," << d.y;
    // A warm second drawing gives the same.
    fast.drawBoard(a, *board, view, Visibility{}, Selection{});
    EXPECT_EQ(test::compareImages(a.image(), b.image()).count, 0) << "zoom " << zoom;
    // So does one after a few texts near the window moved and were retyped, which mends the
    // layers where those texts were and are.
    for (int e = 0; e < 3; ++e) {
      TextItem& t = board->TextTable[std::size_t(pick(0, board->TextCount - 1))];
      t.y = uint16_t(t.y + pick(-4, 4));
      t.text.set(words[pick(0, 8)]);
    }
    fast.drawBoard(a, *board, view, Visibility{}, Selection{});
    reference.drawBoardReference(b, *board, view, Visibility{}, Selection{});
    EXPECT_EQ(test::compareImages(a.image(), b.image()).count, 0) << "edited, zoom " << zoom;
  }
}

TEST(RenderEquivalence, TextsOfEverySizeNearAndFarOffScreen) {
  expectTextsOfEverySizeMatch(nullptr);
}

// A board holding one text, at board position (x, y) with its layer bits in x.
std::unique_ptr<Board> boardWithText(const char* word, int size, int x, int y) {
  auto board = makeBoard();
  TextItem t;
  t.text.set(word);
  t.size = uint8_t(size);
  t.x = uint16_t(x);
  t.y = uint16_t(y);
  board->addText(t);
  return board;
}

// Qt fills large glyphs as outlines, and now and then the same outline a whole pixel lower
// comes out a pixel different: such texts, stepped down the window, match the straightforward
// drawing at every place, drawn by both kinds of renderer.
TEST(RenderEquivalence, OutlineTextsMatchWhereverTheyLie) {
  BoardRenderer fast, once(BoardRenderer::Use::Once);
  View view;
  view.setAreaSize(900, 500);
  view.ZoomLevel = 4;
  for (const char* word : {"T00627-R", "T09303-C"})
    for (const int size : {25, 35})
      for (int y = 300; y < 316; ++y) {
        const auto board = boardWithText(word, size, 396, y);
        Canvas a(900, 500), b(900, 500), c(900, 500);
        fast.drawBoard(a, *board, view, Visibility{}, Selection{});
        once.drawBoard(c, *board, view, Visibility{}, Selection{});
        BoardRenderer().drawBoardReference(b, *board, view, Visibility{}, Selection{});
        EXPECT_EQ(test::compareImages(a.image(), b.image()).count, 0) << word << size << " " << y;
        EXPECT_EQ(test::compareImages(c.image(), b.image()).count, 0) << word << size << " " << y;
      }
}

// A large text whose pixels lie outside the font's box for it, as a tab's reach does, coming
// into the window across its left edge while that box is still outside: the fast drawing must
// not take the text for unseen.
TEST(RenderEquivalence, LargeTextsComingInAcrossTheEdgeMatch) {
  BoardRenderer fast, once(BoardRenderer::Use::Once);
  View view;
  view.setAreaSize(600, 300);
  view.ZoomLevel = 5;
  for (int x = 340; x < 420; x += 2) {
    const auto board = boardWithText("W\t\t\t\t\t\t\tW", 13, x, 300);
    Canvas a(600, 300), b(600, 300), c(600, 300);
    fast.drawBoard(a, *board, view, Visibility{}, Selection{});
    once.drawBoard(c, *board, view, Visibility{}, Selection{});
    BoardRenderer().drawBoardReference(b, *board, view, Visibility{}, Selection{});
    EXPECT_EQ(test::compareImages(a.image(), b.image()).count, 0) << x;
    EXPECT_EQ(test::compareImages(c.image(), b.image()).count, 0) << x;
  }
}

// The window draws antialiased texts in the canvas's face between redraws, and Qt shares the
// face's hinting state: a large text drawn after them comes out as in a process that never drew
// any, even where another renderer has drawn before.
TEST(RenderEquivalence, LargeTextsAfterAntialiasedTextsInTheSameFace) {
  View view;
  view.setAreaSize(1266, 767);
  view.ZoomLevel = 5;
  view.scrollX = 101;
  view.scrollY = 76;
  const auto board = boardWithText("T09003-R", 13, 2 * 4096 + 400, 304);
  const auto moved = boardWithText("T09003-R", 13, 2 * 4096 + 396, 304);
  Canvas want(1266, 767), a(1266, 767);
  BoardRenderer().drawBoardReference(want, *moved, view, Visibility{}, Selection{});
  BoardRenderer other, fast;
  for (int k = 0; k < 2; ++k) other.drawBoard(a, *moved, view, Visibility{}, Selection{});
  fast.drawBoard(a, *board, view, Visibility{}, Selection{});
  QImage window(400, 40, QImage::Format_ARGB32_Premultiplied);
  QPainter p(&window);
  QFont font(a.font().family());
  font.setPixelSize(13);
  p.setFont(font);
  p.drawText(2, 30, QStringLiteral("Zoom 32x 1/1 0123456789"));
  p.end();
  fast.drawBoard(a, *moved, view, Visibility{}, Selection{});
  EXPECT_EQ(test::compareImages(a.image(), want.image()).count, 0);
}

// Faces the canvas may be given: one with lines under and through its texts, which belong to
// whole texts, and one that lacks some characters, which come from another font.
TEST(RenderEquivalence, TextsInOtherFacesMatchToo) {
  QFont underlined(QStringLiteral("Liberation Sans"));
  underlined.setUnderline(true);
  underlined.setStrikeOut(true);
  expectTextsOfEverySizeMatch(&underlined);
  const QFont math(QStringLiteral("DejaVu Math TeX Gyre"));
  ASSERT_EQ(QRawFont::fromFont(math).familyName(), QStringLiteral("DejaVu Math TeX Gyre"));
  ASSERT_FALSE(QRawFont::fromFont(math).supportsCharacter(QChar(0xB2)));
  expectTextsOfEverySizeMatch(&math);
}

// Up to the largest size Qt copies glyphs from its cache (64 px, 48 pt), texts of every printable
// character, each after others and so at many phases, come out of the text cache as drawText
// draws them whole, in each face the canvas may take, one of them with ligatures. Larger texts
// are never put together from glyphs: an outline's pixels depend on where it lies.
TEST(RenderEquivalence, TextsPutTogetherFromGlyphsMatchWholeTextsAroundTheOutlineSize) {
  std::string printable;
  for (int c = 0x21; c < 0x7F; ++c) printable += char(c);
  printable += "\xC0\xE9\xF1\xDF";
  std::vector<std::string> texts;
  for (std::size_t at = 0; at < printable.size(); at += 11)
    texts.push_back(printable.substr(at, 11));
  texts.push_back("office flaw");
  QFont underlined(QStringLiteral("Liberation Sans"));
  underlined.setUnderline(true);
  const QFont ligatures(QStringLiteral("DejaVu Sans"));
  ASSERT_EQ(QRawFont::fromFont(ligatures).familyName(), QStringLiteral("DejaVu Sans"));
  for (const QFont& face : {Canvas(10, 10).font(), QFont(QStringLiteral("Liberation Sans")),
                            underlined, QFont(QStringLiteral("DejaVu Math TeX Gyre")), ligatures}) {
    TextCache cache;
    cache.beginDrawing(face);
    for (const int points : {40, 44, 47, 48}) {
      QFont font(face);
      font.setPointSize(points);
      for (const std::string& text : texts) {
        const TextCache::Text e = cache.getForRow(0, text.data(), int(text.size()), points);
        // The reference, its drawing corner at (m, m) of an image with room all round.
        const int m = 2 * e.height + 16;
        QImage ref(e.width + 2 * m, e.height + 2 * m, QImage::Format_RGB32);
        ref.setDotsPerMeterX(3780);
        ref.setDotsPerMeterY(3780);
        ref.fill(qRgb(0, 0, 0));
        QPainter p(&ref);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setFont(font);
        p.setPen(QColor(255, 255, 255));
        p.drawText(QPoint(m, m + QFontMetrics(font, &ref).ascent()),
                   QString::fromLatin1(text.data()));
        p.end();
        int differing = 0;
        for (int y = 0; y < ref.height(); ++y)
          for (int x = 0; x < ref.width(); ++x)
            differing += test::lit(e.mask, x - m, y - m) != (ref.pixel(x, y) != qRgb(0, 0, 0));
        EXPECT_EQ(differing, 0) << face.family().toStdString() << " " << points << " pt, \"" << text
                                << "\"";
      }
    }
  }
}

// Texts far from the window are passed over by measures scaled from a large size: they must
// never fall short of a size's own, at any size a text can take, in any of those faces.
TEST(RenderEquivalence, RoughTextMeasuresNeverFallShortOfTheFontsOwn) {
  QFont underlined(QStringLiteral("Liberation Sans"));
  underlined.setUnderline(true);
  for (const QFont& face :
       {Canvas(10, 10).font(), underlined, QFont(QStringLiteral("DejaVu Math TeX Gyre"))}) {
    TextCache cache;
    cache.beginDrawing(face);
    for (int points = 1; points <= 32 * 63 / 5; ++points) {
      const TextCache::Measures rough = cache.roughMeasures(points);
      const TextCache::Measures exact = cache.measures(points);
      EXPECT_GE(rough.maxWidth, exact.maxWidth) << face.family().toStdString() << " " << points;
      EXPECT_GE(rough.height, exact.height) << face.family().toStdString() << " " << points;
    }
  }
}

// A board of long texts at the largest size, all in view: past its limit the text cache keeps
// nothing more, and the pixels stay those of the straightforward drawing.
TEST(RenderEquivalence, AFullTextCacheStopsGrowingAndDrawsTheSame) {
  View view;
  view.setAreaSize(900, 700);
  view.ZoomLevel = 2;
  // In the middle of the window, so that every text is put together from glyphs.
  const int f = view.zoomFactor();
  const int x = (450 - view.toWindowX(0)) / f, y = (410 - view.toWindowY(0)) / f;
  auto board = makeBoard();
  for (int i = 0; i < 6000; ++i) {
    TextItem t;
    t.text.set(i % 2 ? "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW" : "MWMWMWMWMWMWMWMWMWMWMWMWMWMWMWM");
    t.size = 63;
    t.x = uint16_t(x + i % 7);
    t.y = uint16_t(y + i % 5);
    board->addText(t);
  }
  Canvas a(900, 700), b(900, 700);
  BoardRenderer fast, reference;
  fast.drawBoard(a, *board, view, Visibility{}, Selection{});
  reference.drawBoardReference(b, *board, view, Visibility{}, Selection{});
  EXPECT_EQ(test::compareImages(a.image(), b.image()).count, 0);
  EXPECT_LT(fast.textCacheUsage()[3], std::size_t(50) << 20);
}

// Going back and forth between two zooms puts every text together again at each, where it lay
// before when it fits there: after the first rounds the cache holds no more, and the pixels
// stay those of the straightforward drawing.
TEST(RenderEquivalence, ZoomingBackAndForthKeepsTheCacheFromGrowing) {
  std::mt19937 rng(3);
  const auto board = randomBoard(rng, 20, 100, 3000);
  View views[2];
  for (int z = 0; z < 2; ++z) {
    views[z].setAreaSize(900, 700);
    views[z].ZoomLevel = z;
  }
  Canvas a(900, 700), b(900, 700);
  BoardRenderer fast, reference;
  std::size_t settled = 0;
  for (int round = 0; round < 12; ++round) {
    for (const View& v : views) fast.drawBoard(a, *board, v, Visibility{}, Selection{});
    if (round == 1) settled = fast.textCacheUsage()[3];
  }
  EXPECT_EQ(fast.textCacheUsage()[3], settled);
  reference.drawBoardReference(b, *board, views[1], Visibility{}, Selection{});
  EXPECT_EQ(test::compareImages(a.image(), b.image()).count, 0);
}

// A renderer that draws once, as the command line's does, keeps only glyphs, however many
// texts it draws, and still draws them as the straightforward drawing does.
TEST(RenderEquivalence, ARendererThatDrawsOnceKeepsOnlyGlyphs) {
  std::mt19937 rng(3);
  const auto board = randomBoard(rng, 20, 100, 3000);
  View view;
  view.setAreaSize(900, 700);
  Canvas a(900, 700), b(900, 700);
  BoardRenderer once(BoardRenderer::Use::Once);
  once.drawBoard(a, *board, view, Visibility{}, Selection{});
  const std::array<std::size_t, 4> kept = once.textCacheUsage();
  EXPECT_EQ(kept[0] + kept[1], 0u) << "texts kept whole or put together";
  EXPECT_GT(kept[2], 0u) << "glyphs";
  BoardRenderer().drawBoardReference(b, *board, view, Visibility{}, Selection{});
  EXPECT_EQ(test::compareImages(a.image(), b.image()).count, 0);
}

// Another face starts the cache afresh: after a switch of face it holds what a renderer that
// only ever drew in that face holds, and draws the same.
TEST(RenderEquivalence, AnotherFaceStartsTheCacheAfresh) {
  std::mt19937 rng(5);
  const auto board = randomBoard(rng, 20, 100, 3000);
  View view;
  view.setAreaSize(900, 700);
  const QFont faces[2] = {Canvas(1, 1).font(), QFont(QStringLiteral("DejaVu Sans"))};
  BoardRenderer switching;
  for (const QFont& face : {faces[0], faces[1], faces[0]}) {
    Canvas a(900, 700), b(900, 700);
    a.setFont(face);
    b.setFont(face);
    switching.drawBoard(a, *board, view, Visibility{}, Selection{});
    BoardRenderer fresh;
    fresh.drawBoard(b, *board, view, Visibility{}, Selection{});
    EXPECT_EQ(switching.textCacheUsage(), fresh.textCacheUsage()) << face.family().toStdString();
    EXPECT_EQ(test::compareImages(a.image(), b.image()).count, 0) << face.family().toStdString();
  }
}

TEST(RenderEquivalence, LayerTextsFromTheCacheMatchDirectDrawing) {
  // Texts at every size and zoom, partly outside the canvas on each side.
  auto board = makeBoard();
  int size = 0;
  for (int y = 250; y <= 340; y += 6)
    for (int x = 330; x <= 460; x += 13) {
      TextItem t;
      t.text.set(size % 3 ? "Wide W" : "gjpqy|");
      t.size = uint8_t(size++ % 64);
      t.x = uint16_t(x);
      t.y = uint16_t(y);
      board->addText(t);
    }
  Visibility vis;
  BoardRenderer fast, reference;
  for (int zoom = 0; zoom < kZoomLevels; ++zoom) {
    View view;
    view.setAreaSize(300, 200);
    view.ZoomLevel = zoom;
    Canvas a(300, 200), b(300, 200);
    fast.DrawLayerTexts(a, *board, view, vis, 0);
    // The straightforward way, text by text.
    for (int i = 0; i < board->TextCount; ++i) {
      const TextItem& t = board->TextTable[std::size_t(i)];
      b.setFontPointSize(view.zoomFactor() * (t.size & 63) / 5);
      b.setFontColor(QColor(0, 128, 0));
      const QString s = QString::fromLatin1(t.text.str().c_str());
      const QSize e = b.textExtent(s);
      b.textOut(view.toWindowX(textX(t)) - e.width() / 2, view.toWindowY(t.y) - e.height() / 2, s);
    }
    EXPECT_EQ(test::compareImages(a.image(), b.image()).count, 0) << "zoom " << zoom;
    EXPECT_GT(test::countPixels(a, qRgb(0, 128, 0)), 0);
  }
}

}  // namespace
}  // namespace fw
