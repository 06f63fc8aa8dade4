#include "board/Board.h"

#include <algorithm>

namespace fw {

std::unique_ptr<Board> makeBoard() {
  return std::make_unique<Board>();
}

int32_t clampFrameWidth(int32_t width) {
  return std::clamp(width, kMinFrameWidth, kMaxFrameWidth);
}
int32_t clampFrameHeight(int32_t height) {
  return std::clamp(height, kMinFrameHeight, kMaxFrameHeight);
}

void Board::reset() {
  PinCount = 0;
  WirePointCount = 0;
  TextCount = 0;
  ObjectCount = 0;
  FrameWidth = kNewFrameWidth;
  FrameHeight = kNewFrameHeight;
  SavedFlag = true;
  CurrentFileName.clear();
}

namespace {
template <typename Table, typename Row>
bool append(Table& table, int32_t& count, const Row& row) {
  if (count < 0 || count >= static_cast<int32_t>(table.size())) return false;
  table[static_cast<std::size_t>(count)] = row;
  ++count;
  return true;
}
}  // namespace

bool Board::addPin(const Pin& pin) {
  return append(PinTable, PinCount, pin);
}
bool Board::addWirePoint(const WirePoint& point) {
  return append(WirePointTable, WirePointCount, point);
}
bool Board::addText(const TextItem& text) {
  return append(TextTable, TextCount, text);
}

bool Board::addObject(const BoardObject& object, std::string_view description) {
  const int32_t row = ObjectCount;
  if (!append(ObjectTable, ObjectCount, object)) return false;
  ObjectDescriptions[static_cast<std::size_t>(row)].set(description);
  return true;
}

void Board::removeEmptyObjects() {
  int32_t kept = 0;
  for (int32_t i = 0; i < ObjectCount; ++i) {
    const BoardObject& o = ObjectTable[static_cast<std::size_t>(i)];
    if (o.pinCount == 0 && o.pointCount == 0 && o.textCount == 0) continue;
    if (kept != i) {
      ObjectTable[static_cast<std::size_t>(kept)] = o;
      ObjectDescriptions[static_cast<std::size_t>(kept)] =
          ObjectDescriptions[static_cast<std::size_t>(i)];
    }
    ++kept;
  }
  ObjectCount = kept;
}

int32_t Board::wireCount() const {
  int32_t n = 0;
  for (int32_t i = 0; i < WirePointCount; ++i)
    if (isWireStart(WirePointTable[static_cast<std::size_t>(i)])) ++n;
  return n;
}

int32_t Board::wireSegmentCount() const {
  return WirePointCount - wireCount();
}

}  // namespace fw
