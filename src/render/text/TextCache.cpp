#include "render/text/TextCache.h"

#include <QString>
#include <algorithm>

namespace fw {

namespace {

// Past this many bytes of masks the cache starts afresh, which bounds its memory.
constexpr std::size_t kMaxMaskBytes = std::size_t(48) << 20;

}  // namespace

TextCache::TextCache() = default;
TextCache::~TextCache() = default;

void TextCache::beginDrawing(const QFont& face) {
  if (full()) clear();
  if (!faces_.holds(face)) {
    clear();
    faces_.setFace(face);
  }
  faces_.settle();
}

void TextCache::clear() {
  ++generation_;
  entries_.clear();
  entryBytes_ = 0;
  faces_.clear();
  shaper_.clear();
  glyphs_.clear();
  rows_.clear();  // with the texts the rows put together
  store_.clear();
  inPlace_.clear();
}

bool TextCache::full() const {
  return entryBytes_ + inPlace_.bytesTaken() + glyphs_.bytes() + store_.bytes() > kMaxMaskBytes;
}

TextCache::Usage TextCache::usage() const {
  Usage u;
  u.wholeTexts = entries_.size() + inPlace_.count();
  for (const auto& [key, e] : entries_) u.maskBytes += e.mask.bytes();
  u.maskBytes += inPlace_.bytes();
  for (const RowSlot& r : rows_) u.composedTexts += r.composed ? 1 : 0;
  u.maskBytes += store_.bytes();
  u.glyphs = glyphs_.glyphCount();
  u.maskBytes += glyphs_.bytes();
  return u;
}

const TextEntry& TextCache::whole(const char* chars, int length, int points) {
  std::string key;
  key.reserve(std::size_t(length) + 2);
  key.push_back(char(points & 0xFF));
  key.push_back(char((points >> 8) & 0xFF));
  key.append(chars, std::size_t(length));
  auto it = entries_.find(key);
  if (it != entries_.end()) return it->second;
  TextEntry e;
  glyphs_.drawWhole(QString::fromLatin1(chars, length), points, e.width, e.height, e.mask);
  entryBytes_ += e.mask.bytes();
  return entries_.emplace(std::move(key), std::move(e)).first->second;
}

TextCache::Text TextCache::inPlaceForRow(std::size_t row, const char* chars, int length, int points,
                                         int width, const Canvas& c, int x, int y) {
  length = std::clamp(length, 0, 32);
  // Once the cache is full, the text is drawn into a spare slot that nobody keeps.
  return inPlace_.forRow(row, chars, length, points, width, c, x, y, !full(), generation_);
}

TextCache::Text TextCache::getForRow(std::size_t row, const char* chars, int length, int points) {
  length = std::clamp(length, 0, 32);
  if (!keepsRows_) return spare(chars, length, points);
  if (row >= rows_.size()) growRows(row);
  RowSlot& slot = rows_[row];
  if (slot.text.holds(generation_, chars, length, points)) {
    if (slot.composed) return slot.own;
    if (slot.entry != nullptr) return slot.entry->text();
  }
  if (full()) {
    // Nothing more is kept until the next drawing starts afresh.
    slot.text = SlotText{};
    slot.composed = false;
    slot.entry = nullptr;
    return spare(chars, length, points);
  }
  GlyphMasks::Layout l;
  slot.composed = glyphs_.layOut(chars, length, points, l);
  slot.entry = nullptr;
  if (slot.composed) {
    // Made again where the row's last mask lay when it fits there.
    uint64_t* bits = store_.fit(slot.room, std::size_t(l.rows) * std::size_t(l.words()));
    l.write(bits);
    slot.own = Text{l.width, l.height, MaskView{l.top, l.left, l.rows, l.columns, l.words(), bits}};
  } else {
    slot.entry = &whole(chars, length, points);
  }
  const Text t = slot.composed ? slot.own : slot.entry->text();
  slot.width = t.width;
  slot.text.remember(generation_, chars, length, points);
  return t;
}

TextCache::Text TextCache::spare(const char* chars, int length, int points) {
  GlyphMasks::Layout l;
  if (!glyphs_.layOut(chars, length, points, l)) {
    glyphs_.drawWhole(QString::fromLatin1(chars, length), points, spare_.width, spare_.height,
                      spare_.mask);
    return spare_.text();
  }
  spare_.width = l.width;
  spare_.height = l.height;
  spare_.mask.reset(l.left, l.top, l.rows, l.columns);
  l.write(spare_.mask.bits.data());
  return spare_.text();
}

int TextCache::widthForRow(std::size_t row, const char* chars, int length, int points) {
  length = std::clamp(length, 0, 32);
  if (!keepsRows_) return shaper_.measureWidth(chars, length, points);
  if (row >= rows_.size()) growRows(row);
  RowSlot& slot = rows_[row];
  if (slot.text.holds(generation_, chars, length, points)) return slot.width;
  slot.entry = nullptr;
  slot.composed = false;
  slot.width = shaper_.measureWidth(chars, length, points);
  slot.text.remember(generation_, chars, length, points);
  return slot.width;
}

// Room for a whole text table at once: growing a row at a time would move every slot again.
void TextCache::growRows(std::size_t row) {
  constexpr std::size_t kRowsAtOnce = 16384;
  if (rows_.capacity() <= row) rows_.reserve(std::max(row + 1, kRowsAtOnce));
  rows_.resize(row + 1);
}

}  // namespace fw
