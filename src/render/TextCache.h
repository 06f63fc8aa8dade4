#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "render/Canvas.h"

namespace fw {

// Board texts rendered once per (string, point size) and kept as rows of pixel runs, so a
// redraw copies pixels instead of shaping text again. The runs come from drawing the string
// with the canvas's own font through QPainter; text is aliased, so its pixels are exactly the
// font colour, and drawing at a whole-pixel offset only moves them: drawing the runs gives the
// very pixels that Canvas::textOut would.
class TextCache {
 public:
  TextCache();
  ~TextCache();
  TextCache(const TextCache&) = delete;
  TextCache& operator=(const TextCache&) = delete;

  struct Entry {
    int width = 0;  // the text extent, as Canvas::textExtent gives it
    int height = 0;
    RunMask mask;  // relative to the text's top-left drawing corner
  };
  // Font measures of one point size, for deciding cheaply that a text cannot be visible.
  struct Measures {
    int maxWidth = 0;
    int height = 0;
  };

  // Called before each drawing that uses entries: forgets everything when the canvas's font
  // face differs from the one cached or the cache has grown too big. Entries stay valid until
  // the next call.
  void beginDrawing(const QFont& face);
  const Measures& measures(int points);
  // The text of `length` Latin-1 characters at `points` (already at least 1).
  const Entry& get(const char* chars, int length, int points);
  // The same for the text in a given table row (length at most 32): remembers what each row
  // held last, so an unchanged row needs no look-up.
  const Entry& getForRow(std::size_t row, const char* chars, int length, int points);
  // The text extent's width of the text in a table row (length at most 32), as
  // Canvas::textExtent gives it, without rendering the text; remembered with the row.
  int widthForRow(std::size_t row, const char* chars, int length, int points);
  // How far past its extent box a cached text's pixels can reach on every side: render()
  // clips to this margin.
  static int reach(int height) { return 2 * height + 16; }
  // Draws the entry's pixels in the colour with its corner at window position (x, y).
  static void blit(Canvas& c, const Entry& e, int x, int y, const QColor& colour);

  std::size_t size() const { return entries_.size(); }
  void clear();

 private:
  // A pixel run found while scanning a drawn text.
  struct ScanRun {
    int y, x1, x2;
  };

  QFont fontAt(int points) const;
  const QFontMetrics& metricsAt(int points);
  // The scratch image, at least w x h, with its painter active.
  QPainter& scratch(int w, int h);
  void render(const QString& text, int points, Entry& e);

  struct RowSlot {
    const Entry* entry = nullptr;  // null while only the width is known
    int width = 0;
    uint64_t generation = 0;
    int points = 0;
    int length = -1;
    std::array<char, 32> chars{};
  };

  // Whether the slot holds the given text of this generation.
  bool holds(const RowSlot& slot, const char* chars, int length, int points) const;
  void remember(RowSlot& slot, const char* chars, int length, int points);

  QFont face_;
  std::vector<RowSlot> rows_;
  uint64_t generation_ = 1;  // rows_ entries of older generations are stale
  bool hasFace_ = false;
  std::unordered_map<std::string, Entry> entries_;
  std::vector<Measures> measures_;                    // by point size; height 0 = not measured yet
  std::vector<std::optional<QFontMetrics>> metrics_;  // by point size
  QImage device_{1, 1, QImage::Format_RGB32};         // measures at its 96 dpi
  QImage scratch_;                                    // texts are drawn here to be scanned
  QPainter painter_;
  std::vector<ScanRun> scanRuns_;
  std::size_t spanCount_ = 0;
};

}  // namespace fw
