#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QSize>
#include <QString>
#include <memory>
#include <vector>

namespace fw {

enum class RasterMode { Copy, Merge, Invert };  // merge = source OR destination, invert = NOT dest
enum class PenStyle { Solid, DashDotDot };
enum class BrushStyle { Solid, Clear };

// The drawing surface the editor draws on: a QImage backing store (Format_RGB32) with the pen,
// brush, raster mode, font and current pen position that the drawing rules assume.
//
// Coordinates are window coordinates of the drawing rules: the canvas shows window rows
// yOffset .. yOffset + height - 1 (yOffset is 60 for the drawing area, which sits below the
// toolbar), so callers write the formulas as given and the canvas translates.
//
// Shapes follow the classic raster conventions: rectangle, ellipse and rounded rectangle boxes
// exclude their right and bottom edges; lineTo does not draw the end pixel; a pen width of 0 or
// 1 is one pixel; wide lines have round ends.
class Canvas {
 public:
  Canvas(int width, int height, int yOffset = 60);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  void resize(int width, int height);
  int width() const;
  int height() const;
  int yOffset() const;
  const QImage& image() const;
  QImage& image();
  // Window-coordinate pixel (translated by yOffset); black outside.
  QRgb pixelAt(int x, int y) const;

  void setPenColor(const QColor& c);
  void setPenWidth(int w);
  void setPenStyle(PenStyle s);
  void setBrushColor(const QColor& c);
  void setBrushStyle(BrushStyle s);
  void setRasterMode(RasterMode m);
  void setFont(const QFont& f);
  void setFontPointSize(int points);
  void setFontColor(const QColor& c);
  // Opaque text background (drawn in brush colour) or transparent.
  void setTextBackgroundOpaque(bool opaque);

  QColor penColor() const;
  int penWidth() const;
  RasterMode rasterMode() const;
  int penX() const;
  int penY() const;

  void setPixel(int x, int y, const QColor& c);
  void moveTo(int x, int y);
  void lineTo(int x, int y);
  void polyline(const std::vector<QPoint>& points);
  void rectangle(int x1, int y1, int x2, int y2);
  void ellipse(int x1, int y1, int x2, int y2);
  void roundRect(int x1, int y1, int x2, int y2, int cornerW, int cornerH);
  void textOut(int x, int y, const QString& text);
  QSize textExtent(const QString& text);

  // Direct access for fast paths that must produce the same pixels.
  QPainter& painter();

 private:
  struct Impl;
  std::unique_ptr<Impl> d;
};

}  // namespace fw
