#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QRawFont>
#include <optional>
#include <vector>

namespace fw {

// The canvas's font face at each point size a drawing asks for, measured at the canvas's 96
// dpi, and the face Qt's shaping and drawing share, settled before each drawing.
class TextFaces {
 public:
  TextFaces();
  // Font measures of one point size, for deciding cheaply that a text cannot be visible.
  struct Measures {
    int maxWidth = 0;
    int height = 0;
  };

  // Whether the face, whatever its point size, is the one held.
  bool holds(const QFont& face) const;
  // Takes the face, without its point size; sizes already made must be cleared first.
  void setFace(const QFont& face);
  // The face underlines, overlines or strikes out: a line that belongs to the whole text.
  bool decorated() const { return decorated_; }
  // Forgets every size, keeping the face.
  void clear();

  const QFont& fontAt(int points);
  const QFontMetrics& metricsAt(int points);
  // The face at this size, for drawing glyphs by index, at the resolution drawText takes it.
  const QRawFont& rawFontAt(int points);
  const Measures& measures(int points);
  // Measures no smaller than measures(points): those, once known, or else scaled from those of
  // one large size without loading the font at this one.
  Measures roughMeasures(int points);
  // The 96 dpi device that shaping measures at.
  QPaintDevice* device() { return &device_; }

  // FreeType keeps TrueType hinting state in a face between glyph loads, and Qt shares one face
  // between every font of its family: after the window's antialiased texts, which load glyphs
  // of the canvas's face too, Qt's outlines of large texts come out a pixel different here and
  // there. Loading one glyph for aliased drawing puts the face back as aliased drawing alone
  // leaves it, as in a process that never draws antialiased text.
  void settle();

 private:
  QFont face_;
  bool hasFace_ = false;
  bool decorated_ = false;
  QImage device_{1, 1, QImage::Format_RGB32};         // measures at its 96 dpi
  std::vector<Measures> measures_;                    // by point size; height 0 = not measured yet
  std::vector<std::optional<QFontMetrics>> metrics_;  // by point size
  std::vector<std::optional<QFont>> fonts_;           // by point size
  std::vector<std::optional<QRawFont>> rawFonts_;     // by point size
  std::optional<QRawFont> settleFont_;                // the face at a small size, for settle
  quint32 settleGlyph_ = 0;                           // its "H"
};

}  // namespace fw
