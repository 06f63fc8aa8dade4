#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "board/Board.h"
#include "board/View.h"
#include "render/BitMask.h"

namespace fw {

class Canvas;
class TextCache;

// Each layer's texts merged into one mask of the canvas, kept from one redraw to the next with
// what they were made from: while the texts, the view and the canvas stay, as they do while
// tracks and pads are edited, a redraw draws the masks without merging the texts again, and
// when only a few rows changed, the masks are mended where those rows lay and lie.
class TextLayers {
 public:
  // A renderer that draws once makes every mask afresh and draws texts Qt fills as outlines
  // straight onto the canvas.
  explicit TextLayers(bool drawsOnce) : drawsOnce_(drawsOnce) {}

  // What one drawing's texts come from.
  struct Scene {
    const Board& board;
    const View& view;
    const Canvas& canvas;
    std::array<bool, kLayerCount> shown;
  };
  // Before a drawing's texts, after beginDrawing on the cache: forgets the masks unless they
  // were made for this scene, or keeps them to be mended when only a few rows changed.
  void prepare(const Scene& s, const TextCache& cache);

  // One layer's texts as the drawing draws them: the mask (null when no text lights a pixel),
  // the rows to draw straight onto the canvas after it, and the point size the layer's last
  // text leaves the font at (-1 when it has none).
  struct Layer {
    const BitMask* mask;
    const std::vector<int>& straight;
    int lastPoints;
  };
  // Makes or mends the layer's mask as needed; valid until the next prepare.
  Layer layer(const Scene& s, TextCache& cache, int layer);
  // How many texts the last layer() merged into its mask.
  std::size_t merged() const { return merged_; }

 private:
  struct Key {
    std::array<int, 6> view{};  // zoom factor, window position of the board origin, canvas
    std::array<bool, kLayerCount> shown{};
    uint64_t generation = 0;  // of the text cache
    bool operator==(const Key& o) const {
      return view == o.view && shown == o.shown && generation == o.generation;
    }
  };
  // Where a row's text lies in its layer's mask, in window pixels, both corners inclusive.
  struct Placed {
    int layer = -1;  // none: the text is not in any mask
    int x1 = 0, y1 = 0, x2 = -1, y2 = -1;
    bool meets(const Placed& o) const {
      return x1 <= o.x2 && o.x1 <= x2 && y1 <= o.y2 && o.y1 <= y2;
    }
  };
  class Placer;

  // The rows that differ from those kept, or are new; false when there are too many.
  bool findChanged(const Board& b, std::size_t rows);
  void make(Placer& p, int layer);
  void mend(Placer& p, int layer);
  // The point size the last text of the layer leaves the font at, or -1 when it has none.
  static int lastPointsOf(const Scene& s, int layer);

  std::array<BitMask, kLayerCount> masks_;
  std::array<bool, kLayerCount> made_{};   // masks_[l] holds layer l's texts for key and texts
  std::array<bool, kLayerCount> stale_{};  // masks_[l] still lacks the changed rows' update
  std::array<bool, kLayerCount> anyText_{};
  std::array<int, kLayerCount> lastPoints_{};
  // Rows drawn straight onto the canvas after the layer's mask, by a renderer that draws once.
  std::array<std::vector<int>, kLayerCount> straight_;
  bool drawsOnce_ = false;
  Key key_;
  std::vector<TextItem> texts_;
  std::vector<Placed> placed_;                   // by row
  std::vector<std::pair<int, Placed>> changed_;  // rows edited since, with where they lay before
  std::size_t merged_ = 0;
};

}  // namespace fw
