#include "board/ObjectGeometry.h"

#include <algorithm>

#include "board/View.h"

namespace fw {

namespace {

// Visits the board position of every element of the object, masked as the box and the bounds
// read them: pins as stored, wire points masked with 16383, texts' x with 4095.
template <typename Visit>
void forEachPosition(const Board& b, const BoardObject& o, bool pins, bool points, bool texts,
                     Visit visit) {
  if (pins)
    forEachRow(o.firstPin, o.pinCount, kPinCapacity,
               [&](std::size_t k) { visit(b.PinTable[k].x, b.PinTable[k].y); });
  if (points)
    forEachRow(o.firstPoint, o.pointCount, kWirePointCapacity, [&](std::size_t k) {
      visit(b.WirePointTable[k].x & kPositionMask, b.WirePointTable[k].y & kPositionMask);
    });
  if (texts)
    forEachRow(o.firstText, o.textCount, kTextCapacity,
               [&](std::size_t k) { visit(textX(b.TextTable[k]), b.TextTable[k].y); });
}

ObjectBox boxOver(const Board& b, const BoardObject& o, bool pins, bool points, bool texts) {
  ObjectBox box;
  forEachPosition(b, o, pins, points, texts, [&box](int x, int y) {
    box.minX = std::min(box.minX, x);
    box.minY = std::min(box.minY, y);
    box.maxX = std::max(box.maxX, x);
    box.maxY = std::max(box.maxY, y);
  });
  return box;
}

}  // namespace

BoardObject rowsPastCounts(const Board& board, int pinCount, int pointCount, int textCount) {
  BoardObject o;
  o.firstPin = static_cast<uint16_t>(board.PinCount);
  o.pinCount = static_cast<uint16_t>(pinCount);
  o.firstPoint = static_cast<uint16_t>(board.WirePointCount);
  o.pointCount = static_cast<uint16_t>(pointCount);
  o.firstText = static_cast<uint16_t>(board.TextCount);
  o.textCount = static_cast<uint16_t>(textCount);
  return o;
}

ObjectBox objectBox(const Board& b, const BoardObject& o) {
  return boxOver(b, o, o.pinCount > 0, o.pinCount == 0 && o.pointCount > 0,
                 o.pinCount == 0 && o.pointCount == 0);
}

ObjectBox wholeObjectBox(const Board& b, const BoardObject& o) {
  return boxOver(b, o, true, true, true);
}

void moveObjectRows(Board& b, const BoardObject& o, int dx, int dy) {
  forEachRow(o.firstPin, o.pinCount, kPinCapacity, [&](std::size_t k) {
    b.PinTable[k].x = static_cast<uint16_t>(b.PinTable[k].x + dx);
    b.PinTable[k].y = static_cast<uint16_t>(b.PinTable[k].y + dy);
  });
  forEachRow(o.firstPoint, o.pointCount, kWirePointCapacity, [&](std::size_t k) {
    b.WirePointTable[k].x = static_cast<uint16_t>(b.WirePointTable[k].x + dx);
    b.WirePointTable[k].y = static_cast<uint16_t>(b.WirePointTable[k].y + dy);
  });
  forEachRow(o.firstText, o.textCount, kTextCapacity, [&](std::size_t k) {
    b.TextTable[k].x = static_cast<uint16_t>(b.TextTable[k].x + dx);
    b.TextTable[k].y = static_cast<uint16_t>(b.TextTable[k].y + dy);
  });
}

int centringShift(int lo, int hi, int anchor, int middle) {
  const int d = middle - (lo + (hi - lo) / 2);
  const int off = ((anchor + d) % kUnitsPerGridStep + kUnitsPerGridStep) % kUnitsPerGridStep;
  return d + (off <= kUnitsPerGridStep / 2 ? -off : kUnitsPerGridStep - off);
}

// The positions are read from the moved 16-bit values, as a placement stores them: a floating
// object's elements left of or above its origin hold wrapped values that come right only there.
bool objectFitsOnBoard(const Board& b, const BoardObject& o, int dx, int dy) {
  bool fits = true;
  auto check = [&](int x, int y) { fits = fits && View::acceptsPosition(x, y); };
  auto moved = [](uint16_t v, int d) { return static_cast<uint16_t>(v + d); };
  forEachRow(o.firstPin, o.pinCount, kPinCapacity,
             [&](std::size_t k) { check(moved(b.PinTable[k].x, dx), moved(b.PinTable[k].y, dy)); });
  // A wire point keeps the start flag in both coordinates alike, and a text one of the three
  // layers: a value that has wrapped into the flag or layer bits does not fit either.
  forEachRow(o.firstPoint, o.pointCount, kWirePointCapacity, [&](std::size_t k) {
    const WirePoint& p = b.WirePointTable[k];
    const uint16_t x = moved(p.x, dx), y = moved(p.y, dy);
    fits = fits && (x & 0x8000) == 0 && (x & WireStartFlag) == (y & WireStartFlag);
    check(x & kPositionMask, y & kPositionMask);
  });
  forEachRow(o.firstText, o.textCount, kTextCapacity, [&](std::size_t k) {
    const TextItem& t = b.TextTable[k];
    const uint16_t x = moved(t.x, dx);
    fits = fits && x / 4096 < kLayerCount;
    check(x & 4095, moved(t.y, dy));
  });
  return fits;
}

}  // namespace fw
