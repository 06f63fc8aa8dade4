#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QSize>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "board/View.h"
#include "render/BitMask.h"

namespace fw {

enum class RasterMode { Copy, Merge, Invert };  // merge = source OR destination, invert = NOT dest
enum class PenStyle { Solid, DashDotDot };
enum class BrushStyle { Solid, Clear };

// A new image, not yet filled. One of some megabytes lives in memory the kernel may map in 2 MB
// pages: touching a fresh image 4 KB page by page costs several milliseconds per megabyte on
// some machines. Smaller images, or a refused allocation, get QImage's own memory.
QImage newImage(int w, int h, QImage::Format format);

// The drawing surface the editor draws on: a QImage backing store (Format_RGB32) with the pen,
// brush, raster mode, font and current pen position that the drawing rules assume.
//
// Coordinates are window coordinates of the drawing rules: the canvas shows window rows
// yOffset .. yOffset + height - 1 (yOffset is the board area's top row for the drawing area, which
// sits below the toolbar), so callers write the formulas as given and the canvas translates.
//
// Shapes follow the classic raster conventions: rectangle, ellipse and rounded rectangle boxes
// exclude their right and bottom edges; lineTo does not draw the end pixel; a pen width of 0 or
// 1 is one pixel; wide lines have round ends.
//
// Lines and shapes are rasterised by the canvas itself, row by row, so that their pixel extents
// are exact and symmetric and every pixel of one figure is written once: a figure drawn twice
// in inverting mode restores the image exactly. The pen of a shape lies inside its box (a
// rectangle or ellipse never covers more than its box), and the brush fills what the pen leaves
// inside. A dash-dot-dot pen applies to one-pixel lines; its gaps take the brush colour while
// the brush is solid (an opaque background) and are left alone while it is clear. Text is drawn
// by QPainter with an aliased "Arial" (Liberation Sans) and, as in classic raster APIs, is not
// subject to the raster mode.
class Canvas {
 public:
  Canvas(int width, int height, int yOffset = kBoardAreaTop);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // New size; the image is cleared to black.
  void resize(int width, int height);
  int width() const;
  int height() const;
  int yOffset() const;
  const QImage& image() const;
  QImage& image();
  // Window-coordinate pixel (translated by yOffset); black outside.
  QRgb pixelAt(int x, int y) const;
  // The image row that shows window row y, for fast paths that write pixels themselves;
  // nullptr outside the canvas.
  QRgb* scanLine(int y);

  void setPenColor(const QColor& c);
  void setPenWidth(int w);
  void setPenStyle(PenStyle s);
  void setBrushColor(const QColor& c);
  void setBrushStyle(BrushStyle s);
  void setRasterMode(RasterMode m);
  // A font face (its point size is kept); text is always drawn aliased.
  void setFont(const QFont& f);
  // Point size at the image's 96 dpi; sizes below 1 are drawn at 1 point.
  void setFontPointSize(int points);
  void setFontColor(const QColor& c);
  // Opaque text background (drawn in brush colour) or transparent.
  void setTextBackgroundOpaque(bool opaque);

  // The drawing state as it stands: pen, brush, raster mode, current position and the text
  // settings (the point size is the one actually used, at least 1).
  struct State {
    QColor penColor;
    int penWidth;
    PenStyle penStyle;
    QColor brushColor;
    BrushStyle brushStyle;
    RasterMode rasterMode;
    int penX, penY;
    int fontPointSize;
    QColor fontColor;
    bool textBackgroundOpaque;
  };
  State state() const;
  // The current font with its point size.
  QFont font() const;

  // Sets one pixel to the colour, whatever the raster mode.
  void setPixel(int x, int y, const QColor& c);
  void moveTo(int x, int y);
  void lineTo(int x, int y);
  // Lines through the points in order; the current position is neither used nor changed.
  void polyline(const std::vector<QPoint>& points);
  void rectangle(int x1, int y1, int x2, int y2);
  void ellipse(int x1, int y1, int x2, int y2);
  void roundRect(int x1, int y1, int x2, int y2, int cornerW, int cornerH);
  // Text with its top left corner at (x, y), in the font colour.
  void textOut(int x, int y, const QString& text);
  QSize textExtent(const QString& text);

  // Sets the pixels the mask lights, with its origin at (x, y), to the colour whatever the
  // raster mode, as text is drawn. The mask must stay unchanged until drawn (see beginBatch).
  void pixelMask(int x, int y, const BitMask& mask, const QColor& c);
  // Sets the pixels (x0 + i * dx, y0 + j * dy) with x <= x1 and y <= y1 to the colour, as
  // setPixel does for each; dx and dy are at least 1.
  void dotGrid(int x0, int dx, int x1, int y0, int dy, int y1, const QColor& c);

  // Between beginBatch and endBatch the pixel, line, shape, mask and grid operations are
  // collected and drawn at endBatch band by band, each band of rows running every operation
  // that touches it in the order given. The pixels are the same as drawing at once; only the
  // memory is visited in a friendlier order. Text, the painter, reading pixels, the image or
  // a resize draw what was collected first. `expectedOps`, when known, saves growing the list
  // of operations step by step on the first batch.
  void beginBatch(std::size_t expectedOps = 0);
  void endBatch();

  // Direct access for fast paths that must produce the same pixels. The painter works in
  // window coordinates and carries the canvas's pen, brush, raster mode and font as they are
  // when it is asked for; it stays valid until the image is next asked for or resized.
  QPainter& painter();

 private:
  struct Impl;
  std::unique_ptr<Impl> d;
};

}  // namespace fw
