#include "board/Removal.h"

#include <algorithm>

namespace fw {

namespace {

template <typename Table>
void closeGap(Table& table, int32_t& inUse, int first, int count) {
  std::copy(table.begin() + first + count, table.begin() + inUse, table.begin() + first);
  inUse -= count;
}

// The range [rangeFirst, rangeFirst + rangeCount) after rows [first, first + count) are gone.
void shiftRange(uint16_t& rangeFirst, uint16_t& rangeCount, int first, int count) {
  const int a = rangeFirst;
  const int b = a + rangeCount;
  const int removedEnd = first + count;
  const int before = std::clamp(std::min(removedEnd, a) - first, 0, count);
  const int covered = std::max(0, std::min(b, removedEnd) - std::max(a, first));
  rangeFirst = static_cast<uint16_t>(a - before);
  rangeCount = static_cast<uint16_t>(rangeCount - covered);
}

}  // namespace

void removeRows(Board& b, ElementTable table, int first, int count) {
  int32_t* inUse = table == ElementTable::Pins         ? &b.PinCount
                   : table == ElementTable::WirePoints ? &b.WirePointCount
                                                       : &b.TextCount;
  if (first < 0 || first >= *inUse || count <= 0) return;
  count = std::min(count, *inUse - first);
  switch (table) {
    case ElementTable::Pins:
      closeGap(b.PinTable, b.PinCount, first, count);
      break;
    case ElementTable::WirePoints:
      closeGap(b.WirePointTable, b.WirePointCount, first, count);
      break;
    case ElementTable::Texts:
      closeGap(b.TextTable, b.TextCount, first, count);
      break;
  }
  for (int32_t i = 0; i < b.ObjectCount; ++i) {
    BoardObject& o = b.ObjectTable[static_cast<std::size_t>(i)];
    if (table == ElementTable::Pins) shiftRange(o.firstPin, o.pinCount, first, count);
    if (table == ElementTable::WirePoints) shiftRange(o.firstPoint, o.pointCount, first, count);
    if (table == ElementTable::Texts) shiftRange(o.firstText, o.textCount, first, count);
  }
}

void removeObject(Board& b, int row) {
  if (row < 0 || row >= b.ObjectCount) return;
  const BoardObject o = b.ObjectTable[static_cast<std::size_t>(row)];
  removeRows(b, ElementTable::Pins, o.firstPin, o.pinCount);
  removeRows(b, ElementTable::WirePoints, o.firstPoint, o.pointCount);
  removeRows(b, ElementTable::Texts, o.firstText, o.textCount);
  std::copy(b.ObjectDescriptions.begin() + row + 1, b.ObjectDescriptions.begin() + b.ObjectCount,
            b.ObjectDescriptions.begin() + row);
  closeGap(b.ObjectTable, b.ObjectCount, row, 1);
}

}  // namespace fw
