#include "edit/commands/UndoHistory.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace fw {

namespace {

// The rows that differ between two tables of `before` and `after` rows in use, compared from
// both ends; a row that one side lacks differs.
template <typename Row, std::size_t N>
UndoHistory::TableChange diffRows(const std::array<Row, N>& a, int32_t na,
                                  const std::array<Row, N>& b, int32_t nb) {
  static_assert(std::is_trivially_copyable_v<Row>);
  UndoHistory::TableChange c;
  c.countBefore = na;
  c.countAfter = nb;
  const int32_t common = std::min(na, nb);
  int32_t first = 0;
  while (first < common && a[std::size_t(first)] == b[std::size_t(first)]) ++first;
  if (first == common && na == nb) {
    c.first = na;  // nothing changed
    return c;
  }
  // Rows from `lastA` before and from `lastB` after are equal. When the counts differ they stand
  // shifted by the difference: a removal or insertion keeps only the rows it took or put, not
  // the whole tail it moved (deleting text 0 of a full board would otherwise keep 760 KB).
  int32_t lastA = na, lastB = nb;
  while (lastA > first && lastB > first && a[std::size_t(lastA - 1)] == b[std::size_t(lastB - 1)]) {
    --lastA;
    --lastB;
  }
  c.first = first;
  c.before.resize(sizeof(Row) * std::size_t(lastA - first));
  c.after.resize(sizeof(Row) * std::size_t(lastB - first));
  if (!c.before.empty()) std::memcpy(c.before.data(), &a[std::size_t(first)], c.before.size());
  if (!c.after.empty()) std::memcpy(c.after.data(), &b[std::size_t(first)], c.after.size());
  return c;
}

bool unchanged(const UndoHistory::TableChange& c) {
  return c.countBefore == c.countAfter && c.before.empty() && c.after.empty();
}

// Moves the equal tail to where the other side has it, then writes the differing rows in front
// of it; the two ranges do not overlap.
template <typename Row, std::size_t N>
void restoreRows(std::array<Row, N>& table, int32_t& count, const UndoHistory::TableChange& c,
                 bool forward) {
  const int32_t rowsBefore = int32_t(c.before.size() / sizeof(Row));
  const int32_t rowsAfter = int32_t(c.after.size() / sizeof(Row));
  const int32_t tail =
      c.countBefore - c.first - rowsBefore;  // equals countAfter - first - rowsAfter
  const int32_t from = c.first + (forward ? rowsBefore : rowsAfter);
  const int32_t to = c.first + (forward ? rowsAfter : rowsBefore);
  if (tail > 0 && from != to)
    std::memmove(table.data() + to, table.data() + from, sizeof(Row) * std::size_t(tail));
  const std::vector<uint8_t>& rows = forward ? c.after : c.before;
  if (!rows.empty()) std::memcpy(&table[std::size_t(c.first)], rows.data(), rows.size());
  count = forward ? c.countAfter : c.countBefore;
}

std::size_t stepBytes(const UndoHistory::Step& s) {
  std::size_t n = sizeof(UndoHistory::Step);
  for (const UndoHistory::TableChange* c :
       {&s.pins, &s.points, &s.texts, &s.objects, &s.descriptions})
    n += c->before.capacity() + c->after.capacity();
  return n;
}

// Only the rows in use: the diff never looks past the counts.
template <typename Row, std::size_t N>
void copyRows(const std::array<Row, N>& from, int32_t count, std::array<Row, N>& to) {
  std::copy_n(from.begin(), std::clamp<int32_t>(count, 0, int32_t(N)), to.begin());
}

}  // namespace

UndoHistory::UndoHistory(EditContext& ctx) : ctx_(ctx), before_(makeBoard()) {}
UndoHistory::~UndoHistory() = default;

void UndoHistory::beginStep() {
  if (depth_++ > 0) return;
  snapshot();
  skipStep_ = false;
  savedInStep_ = false;
  updateControls();
}

void UndoHistory::endStep() {
  if (depth_ == 0 || --depth_ > 0) return;
  // A save inside this event marks the state the event leaves, after whatever it changed first.
  const bool saved = savedInStep_;
  savedInStep_ = false;
  if (skipStep_) {
    ++boardChanges_;  // and whatever the event changed after the jump or the new history
    if (saved) savedPosition_ = long(position_);
    updateControls();
    return;
  }
  const Board& a = *before_;
  const Board& b = ctx_.board;
  Step s;
  s.pins = diffRows(a.PinTable, a.PinCount, b.PinTable, b.PinCount);
  s.points = diffRows(a.WirePointTable, a.WirePointCount, b.WirePointTable, b.WirePointCount);
  s.texts = diffRows(a.TextTable, a.TextCount, b.TextTable, b.TextCount);
  s.objects = diffRows(a.ObjectTable, a.ObjectCount, b.ObjectTable, b.ObjectCount);
  s.descriptions =
      diffRows(a.ObjectDescriptions, a.ObjectCount, b.ObjectDescriptions, b.ObjectCount);
  s.frameWidthBefore = a.FrameWidth;
  s.frameHeightBefore = a.FrameHeight;
  s.frameWidthAfter = b.FrameWidth;
  s.frameHeightAfter = b.FrameHeight;
  const bool changed = !unchanged(s.pins) || !unchanged(s.points) || !unchanged(s.texts) ||
                       !unchanged(s.objects) || !unchanged(s.descriptions) ||
                       a.FrameWidth != b.FrameWidth || a.FrameHeight != b.FrameHeight;
  if (changed) {
    ++boardChanges_;
    record(std::move(s));
    // Whatever changed the board, it no longer holds what was saved: leaving now would lose it.
    ctx_.board.SavedFlag = saved;
  }
  if (saved) savedPosition_ = long(position_);
  updateControls();
}

// Every event copies the board it finds, but only the rows in use: on a full board (about 780 KB)
// a whole step, copy, change and diff, takes about 0.1 ms, and an emptier board costs less.
void UndoHistory::snapshot() {
  const Board& b = ctx_.board;
  Board& s = *before_;
  copyRows(b.PinTable, b.PinCount, s.PinTable);
  copyRows(b.WirePointTable, b.WirePointCount, s.WirePointTable);
  copyRows(b.TextTable, b.TextCount, s.TextTable);
  copyRows(b.ObjectTable, b.ObjectCount, s.ObjectTable);
  copyRows(b.ObjectDescriptions, b.ObjectCount, s.ObjectDescriptions);
  s.PinCount = b.PinCount;
  s.WirePointCount = b.WirePointCount;
  s.TextCount = b.TextCount;
  s.ObjectCount = b.ObjectCount;
  s.FrameWidth = b.FrameWidth;
  s.FrameHeight = b.FrameHeight;
}

void UndoHistory::record(Step&& s) {
  while (steps_.size() > position_) {  // a new change drops what could be redone
    bytes_ -= stepBytes(steps_.back());
    steps_.pop_back();
  }
  if (savedPosition_ > long(position_)) savedPosition_ = -1;
  bytes_ += stepBytes(s);
  steps_.push_back(std::move(s));
  ++position_;
  // Past the limit the oldest steps go, so that a long session cannot fill the memory. The state
  // before a dropped step can no longer be reached: a saved state there (position 0) becomes -1,
  // and undo and redo never mark the board saved again; later ones move down with the steps.
  while (bytes_ > byteLimit_ && steps_.size() > 1) {
    bytes_ -= stepBytes(steps_.front());
    steps_.pop_front();
    --position_;
    if (savedPosition_ >= 0) --savedPosition_;
  }
}

// A wire counts as being drawn only under Draw Wire: other tools leave WireLastX as it was.
bool UndoHistory::busy() const {
  const EditorState& s = ctx_.state;
  return (ctx_.toolIs(Tool::DrawWire) && s.WireLastX != kNoWire) || s.Placing ||
         s.DragKind != kDragNone;
}

bool UndoHistory::canUndo() const {
  return position_ > 0 && !busy();
}

bool UndoHistory::canRedo() const {
  return position_ < steps_.size() && !busy();
}

void UndoHistory::Undo1Click() {
  if (!canUndo()) return;
  --position_;
  apply(steps_[position_], false);
  afterJump("Undone");
}

void UndoHistory::Redo1Click() {
  if (!canRedo()) return;
  apply(steps_[position_], true);
  ++position_;
  afterJump("Redone");
}

void UndoHistory::apply(const Step& s, bool forward) {
  Board& b = ctx_.board;
  restoreRows(b.PinTable, b.PinCount, s.pins, forward);
  restoreRows(b.WirePointTable, b.WirePointCount, s.points, forward);
  restoreRows(b.TextTable, b.TextCount, s.texts, forward);
  restoreRows(b.ObjectTable, b.ObjectCount, s.objects, forward);
  int32_t descriptions = 0;
  restoreRows(b.ObjectDescriptions, descriptions, s.descriptions, forward);
  b.FrameWidth = forward ? s.frameWidthAfter : s.frameWidthBefore;
  b.FrameHeight = forward ? s.frameHeightAfter : s.frameHeightBefore;
}

// The saved state is known by its place in the history: arriving there is saved again.
void UndoHistory::afterJump(const char* message) {
  skipStep_ = true;
  ++boardChanges_;
  ctx_.board.SavedFlag = savedPosition_ == long(position_);
  ctx_.state.clearSelections();
  ctx_.redraw();
  ctx_.controls.panel[2] = message;
  updateControls();
}

void UndoHistory::clear() {
  skipStep_ = true;
  ++boardChanges_;
  steps_.clear();
  bytes_ = 0;
  position_ = 0;
  savedPosition_ = 0;
  ctx_.board.SavedFlag = true;
  updateControls();
}

void UndoHistory::markSaved() {
  ctx_.board.SavedFlag = true;
  if (depth_ > 0)
    savedInStep_ = true;
  else
    savedPosition_ = long(position_);
}

void UndoHistory::forgetSaved() {
  ctx_.board.SavedFlag = false;
  savedInStep_ = false;
  savedPosition_ = -1;
}

void UndoHistory::markUnsaved() {
  ctx_.board.SavedFlag = false;
}

void UndoHistory::updateControls() {
  ctx_.controls.undo = canUndo();
  ctx_.controls.redo = canRedo();
}

}  // namespace fw
