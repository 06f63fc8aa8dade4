#include "render/text/TextLayers.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "render/BoardMapping.h"
#include "render/Raster.h"
#include "render/text/TextCache.h"

namespace fw {

namespace {

// Past this many changed rows the masks are made again from scratch.
constexpr std::size_t kMaxChangedRows = 64;

// Qt copies glyphs from its glyph cache while the font's pixel size is at most 64, and fills
// larger ones as outlines; the canvas's 96 dpi make that 48 points.
constexpr int kLargestCachedGlyphPoints = 64 * 72 / 96;

bool shownIn(const TextLayers::Scene& s, int layer) {
  return layer >= 0 && layer < kLayerCount && s.shown[std::size_t(layer)];
}

}  // namespace

// Row by row, a text's pixels from the cache and where they go in the window.
class TextLayers::Placer {
 public:
  Placer(const Scene& s, TextCache& cache, bool drawsOnce)
      : s(s), cache_(cache), drawsOnce_(drawsOnce), map_(s.view), area_(s.canvas) {}

  struct Placement {
    MaskView mask;
    int x = 0, y = 0;
    bool straight = false;  // to be drawn straight onto the canvas instead
  };

  // Row i's text and where it goes, unless it cannot touch the canvas or has no pixels. The
  // mask stays valid until the next call.
  bool place(int i, Placement& out) {
    const TextItem& t = s.board.TextTable[std::size_t(i)];
    const int points = std::max(textPoints(s.view, t), 1);
    const int length = std::min<int>(t.text.length, int(t.text.chars.size()));
    const int xw = map_.x(textX(t));
    const int yw = map_.y(t.y);
    // A text reaches at most its characters' widest advance each way from its centre,
    // plus the glyphs' overhang; fallback glyphs get as much again. A tab reaches the next
    // tab stop, further than any character.
    const bool tab = std::memchr(t.text.chars.data(), '\t', std::size_t(length)) != nullptr;
    // The font's measures at this size are asked for only once a text may be in view.
    const TextCache::Measures rough = cache_.roughMeasures(points);
    const int64_t roughX = int64_t(length) * rough.maxWidth + TextCache::reach(rough.height);
    const int64_t roughY = rough.height + TextCache::reach(rough.height);
    if (!tab && !area_.touches(xw - roughX, yw - roughY, xw + roughX, yw + roughY)) return false;
    const TextCache::Measures& m = cache_.measures(points);
    const int64_t reach = TextCache::reach(m.height);
    const int64_t reachX = int64_t(length) * m.maxWidth + reach;
    const int64_t reachY = m.height + reach;
    if (!tab && !area_.touches(xw - reachX, yw - reachY, xw + reachX, yw + reachY)) return false;
    // Near the edges, again with the text's own width, measured without drawing it: no
    // pixel of a cached text lies further than TextCache::reach past its extent box.
    if (tab || !area_.contains(xw - reachX, yw - reachY, xw + reachX, yw + reachY)) {
      const int width = cache_.widthForRow(std::size_t(i), t.text.chars.data(), length, points);
      const int64_t left = xw - width / 2;
      const int64_t top = yw - m.height / 2;
      if (!area_.touches(left - reach, top - reach, left + width + reach, top + m.height + reach))
        return false;
    }
    // Drawn only once, a text Qt fills as outlines costs less drawn straight onto the canvas
    // than drawn at its place on an image of its own and kept, which pays off only later.
    if (drawsOnce_ && points > kLargestCachedGlyphPoints) {
      out.straight = true;
      return true;
    }
    // Qt fills glyphs above its glyph-cache size as outlines, and an outline's pixels depend
    // on where in the image it lies, not only on its phase: now and then one moved by whole
    // pixels comes out a pixel different, and so does one cut by the canvas's top edge. Such
    // texts are kept as drawn on a canvas-shaped image at their very place.
    if (points > kLargestCachedGlyphPoints) {
      const int width = cache_.widthForRow(std::size_t(i), t.text.chars.data(), length, points);
      out.x = raster::clampCoord(xw - width / 2);
      out.y = raster::clampCoord(yw - m.height / 2);
      out.mask = cache_
                     .inPlaceForRow(std::size_t(i), t.text.chars.data(), length, points, width,
                                    s.canvas, out.x, out.y)
                     .mask;
    } else {
      const TextCache::Text e =
          cache_.getForRow(std::size_t(i), t.text.chars.data(), length, points);
      out.x = xw - e.width / 2;
      out.y = yw - e.height / 2;
      out.mask = e.mask;
    }
    return !out.mask.empty();
  }

  static Placed placedAt(int layer, const Placement& p) {
    const MaskView& m = p.mask;
    return {layer, p.x + m.left, p.y + m.top, p.x + m.left + m.width - 1, p.y + m.top + m.rows - 1};
  }

  const Scene& s;

 private:
  TextCache& cache_;
  bool drawsOnce_;
  Mapping map_;
  Visible area_;
};

// Rows are compared byte for byte, which at worst takes equal rows for changed ones.
static_assert(std::has_unique_object_representations_v<TextItem>, "text rows have no padding");

void TextLayers::prepare(const Scene& s, const TextCache& cache) {
  const Mapping map(s.view);
  Key k;
  k.view = {map.f, map.baseX, map.baseY, s.canvas.width(), s.canvas.height(), s.canvas.yOffset()};
  k.shown = s.shown;
  k.generation = cache.generation();
  const Board& b = s.board;
  const int n = rowsInUse(b.TextCount, kTextCapacity);
  const std::size_t rows = std::size_t(n);
  const std::size_t bytes = rows * sizeof(TextItem);
  if (k == key_ && texts_.size() == rows &&
      (bytes == 0 || std::memcmp(texts_.data(), b.TextTable.data(), bytes) == 0))
    return;
  if (!drawsOnce_ && k == key_ && rows >= texts_.size() && placed_.size() == texts_.size() &&
      std::find(stale_.begin(), stale_.end(), true) == stale_.end() && findChanged(b, rows)) {
    texts_.resize(rows);
    for (const auto& [row, before] : changed_)
      texts_[std::size_t(row)] = b.TextTable[std::size_t(row)];
    placed_.resize(rows);
    stale_.fill(true);
    return;
  }
  key_ = k;
  texts_.assign(b.TextTable.begin(), b.TextTable.begin() + n);
  placed_.assign(rows, Placed{});
  made_.fill(false);
  stale_.fill(false);
}

bool TextLayers::findChanged(const Board& b, std::size_t rows) {
  changed_.clear();
  for (std::size_t i = 0; i < rows; ++i) {
    if (i < texts_.size() && std::memcmp(&texts_[i], &b.TextTable[i], sizeof(TextItem)) == 0)
      continue;
    if (changed_.size() == kMaxChangedRows) return false;
    changed_.emplace_back(int(i), i < placed_.size() ? placed_[i] : Placed{});
  }
  return true;
}

TextLayers::Layer TextLayers::layer(const Scene& s, TextCache& cache, int layer) {
  const std::size_t l = std::size_t(layer);
  Placer p(s, cache, drawsOnce_);
  merged_ = 0;
  // The font size the layer's last text leaves changes only with the rows.
  if (made_[l] && stale_[l]) {
    mend(p, layer);
    lastPoints_[l] = lastPointsOf(s, layer);
  }
  stale_[l] = false;
  if (!made_[l]) {
    make(p, layer);
    lastPoints_[l] = lastPointsOf(s, layer);
  }
  return {anyText_[l] ? &masks_[l] : nullptr, straight_[l], lastPoints_[l]};
}

// The layer's texts all take one colour: they are merged into one mask of the canvas.
void TextLayers::make(Placer& p, int layer) {
  const std::size_t l = std::size_t(layer);
  const Board& b = p.s.board;
  const Canvas& c = p.s.canvas;
  bool anyText = false;
  straight_[l].clear();
  if (shownIn(p.s, layer)) {
    const int n = rowsInUse(b.TextCount, kTextCapacity);
    for (int i = 0; i < n; ++i) {
      if (textLayer(b.TextTable[std::size_t(i)]) != layer) continue;
      Placed& where = placed_[std::size_t(i)];
      where = Placed{};
      Placer::Placement at;
      if (!p.place(i, at)) continue;
      if (at.straight) {
        straight_[l].push_back(i);
        continue;
      }
      if (!anyText) masks_[l].reset(0, c.yOffset(), c.height(), c.width());
      anyText = true;
      masks_[l].merge(at.mask, at.x, at.y);
      ++merged_;
      where = Placer::placedAt(layer, at);
    }
  }
  made_[l] = true;
  anyText_[l] = anyText;
}

// Mends the layer's mask after a few rows changed: clears where they lay before and lie now,
// then merges again every text of the layer that reaches into those places.
void TextLayers::mend(Placer& p, int layer) {
  const std::size_t l = std::size_t(layer);
  const Board& b = p.s.board;
  const Canvas& c = p.s.canvas;
  std::vector<Placed> places;
  for (const auto& [row, before] : changed_) {
    Placed& where = placed_[std::size_t(row)];
    if (before.layer == layer) {
      places.push_back(before);
      // A text moved to another layer is no longer in this mask.
      if (where.layer == layer) where = Placed{};
    }
    if (textLayer(b.TextTable[std::size_t(row)]) != layer) continue;
    where = Placed{};
    Placer::Placement at;
    if (!shownIn(p.s, layer) || !p.place(row, at)) continue;
    where = Placer::placedAt(layer, at);
    places.push_back(where);
  }
  if (places.empty()) return;
  BitMask& mask = masks_[l];
  if (!anyText_[l]) mask.reset(0, c.yOffset(), c.height(), c.width());
  anyText_[l] = true;
  Placed around = places.front();
  for (const Placed& q : places) {
    mask.clear(q.x1, q.y1, q.x2, q.y2);
    around = {layer, std::min(around.x1, q.x1), std::min(around.y1, q.y1),
              std::max(around.x2, q.x2), std::max(around.y2, q.y2)};
  }
  const int n = rowsInUse(b.TextCount, kTextCapacity);
  for (int i = 0; i < n; ++i) {
    const Placed& where = placed_[std::size_t(i)];
    if (where.layer != layer || !where.meets(around)) continue;
    if (std::none_of(places.begin(), places.end(), [&](const Placed& q) { return where.meets(q); }))
      continue;
    Placer::Placement at;
    if (p.place(i, at)) {
      mask.merge(at.mask, at.x, at.y);
      ++merged_;
    }
  }
}

int TextLayers::lastPointsOf(const Scene& s, int layer) {
  for (int i = rowsInUse(s.board.TextCount, kTextCapacity) - 1; i >= 0; --i)
    if (textLayer(s.board.TextTable[std::size_t(i)]) == layer)
      return textPoints(s.view, s.board.TextTable[std::size_t(i)]);
  return -1;
}

}  // namespace fw
