#pragma once

#include <QFont>
#include <QRgb>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace fw {

class Canvas;

// Board texts rendered once per (string, point size) and kept as runs of set pixels, so a
// redraw copies pixels instead of shaping text again. The runs come from drawing the string
// with the canvas's own font through QPainter; text is aliased, so its pixels are exactly the
// font colour, and drawing at a whole-pixel offset only moves them: copying the runs gives the
// very pixels that Canvas::textOut would.
class TextCache {
 public:
  // One pixel run, relative to the text's top-left drawing corner; x1..x2 inclusive.
  struct Run {
    int dy;
    int x1;
    int x2;
  };
  struct Entry {
    int width = 0;  // the text extent, as Canvas::textExtent gives it
    int height = 0;
    int top = 0;  // bounds of the runs, relative to the drawing corner
    int bottom = -1;
    int left = 0;
    int right = -1;
    std::vector<Run> runs;
  };
  // Font measures of one point size, for deciding cheaply that a text cannot be visible.
  struct Measures {
    int maxWidth = 0;
    int height = 0;
  };

  // Forgets everything when the canvas's font face differs from the one cached.
  void useFont(const QFont& face);
  const Measures& measures(int points);
  // The text of `length` Latin-1 characters at `points` (already at least 1).
  const Entry& get(const char* chars, int length, int points);
  // Writes the entry's pixels in the colour with its corner at window position (x, y).
  static void blit(Canvas& c, const Entry& e, int x, int y, QRgb colour);

  std::size_t size() const { return entries_.size(); }
  void clear();

 private:
  QFont fontAt(int points) const;
  void render(const QString& text, int points, Entry& e);

  QFont face_;
  bool hasFace_ = false;
  std::unordered_map<std::string, Entry> entries_;
  std::unordered_map<int, Measures> measures_;
  std::size_t runCount_ = 0;
};

}  // namespace fw
