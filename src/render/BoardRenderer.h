#pragma once

#include <array>
#include <cstdint>

#include "board/Board.h"
#include "board/View.h"
#include "render/Canvas.h"

namespace fw {

// Layer colours and the other fixed colours of the board drawing.
namespace colors {
const QColor kBackground(0, 0, 0);
const QColor kGrid(128, 128, 128);
const QColor kWorkspace(0, 0, 255);
const QColor kFrame(255, 0, 0);
const QColor kCentreCross(255, 255, 0);
const QColor kPad(255, 255, 255);
const QColor kHole(0, 0, 0);
const QColor kHighlight(255, 255, 0);
const QColor kGraphicTextNormal(255, 0, 255);  // fuchsia, graphic texts in the normal pass
QColor layerColor(int layer);                  // green, maroon, purple
}  // namespace colors

// What the view shows: grid dots, frame and centre cross, the three layers, and whether a
// selected wire point highlights its complete wire.
struct Visibility {
  bool grid = true;
  bool frame = true;
  std::array<bool, kLayerCount> layers{true, true, true};
  bool completeWire = false;
};

// The four 1-based selection numbers; 0 = nothing of that kind.
struct Selection {
  int32_t pin = 0;
  int32_t point = 0;
  int32_t text = 0;
  int32_t object = 0;
};

// Passing this added to a wire point row asks DrawSelectedSegment for no marker.
constexpr int kNoMarker = 16384;

// The board drawing routines. They keep no state between calls except caches that never
// change a pixel (text layouts); an instance lives as long as its canvas.
class BoardRenderer {
 public:
  // How often a renderer draws: the editor's again and again, so it keeps every text it draws
  // as pixels; the command line's once, so texts that only pay off when drawn again are drawn
  // straight.
  enum class Use { Repeated, Once };
  explicit BoardRenderer(Use use = Use::Repeated);
  ~BoardRenderer();

  // The full repaint of the drawing area. Callers also reset the editor's inverted previews.
  void drawBoard(Canvas& c, const Board& b, const View& v, const Visibility& vis,
                 const Selection& sel);
  // The same drawing done the straightforward way, without culling or caches; tests compare
  // the two pixel by pixel.
  void drawBoardReference(Canvas& c, const Board& b, const View& v, const Visibility& vis,
                          const Selection& sel);

  // One pin with the pen and brush colours the caller set, then its drill hole.
  void DrawPin(Canvas& c, const Board& b, const View& v, int row);
  // The shape of a pin at window position (xw, yw) in the current pen and brush, without its
  // drill hole: the pad of its style, or a graphic pin's double-size ring, which leaves the
  // brush solid again.
  void DrawPinShape(Canvas& c, const Pin& p, const View& v, int xw, int yw);
  // A wire point's segment in yellow, 1 pixel wide, with a marker unless row > 16383.
  void DrawSelectedSegment(Canvas& c, const Board& b, const View& v, int rowArg);
  // The same with the row and the marker given apart, for rows above 16383.
  void DrawSelectedSegment(Canvas& c, const Board& b, const View& v, int row, bool withMarker);
  // Every text of a layer in the layer's text colour, transparent background.
  void DrawLayerTexts(Canvas& c, const Board& b, const View& v, const Visibility& vis, int layer);

  // What the text cache holds: whole texts, texts put together from glyphs, glyphs, run bytes.
  std::array<std::size_t, 4> textCacheUsage() const;

  // The text colour of a layer in the normal pass (fuchsia for the Graphic layer).
  static QColor textColor(int layer);

 private:
  struct Cache;
  std::unique_ptr<Cache> cache_;
};

}  // namespace fw
