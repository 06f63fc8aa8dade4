#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace fw {

constexpr int32_t kPinCapacity = 4001;
constexpr int32_t kWirePointCapacity = 20001;
constexpr int32_t kTextCapacity = 10001;
constexpr int32_t kObjectCapacity = 4000;
constexpr int32_t kDescriptionCapacity = 4001;

// Bit 14 of a wire point's x marks the first point of a wire; y carries it too.
constexpr uint16_t WireStartFlag = 0x4000;
constexpr uint16_t kPositionMask = 0x3FFF;
// A pin style above 127 is a graphic pin: outline only, double size, no hole.
constexpr uint8_t GraphicPinFlag = 128;
// A wire begun by drawing has this attr on its first row (no segment ends there).
constexpr uint8_t kWireStartAttr = 0xFF;

// A text's size: 5..50, drawn at size * zoomFactor / 5 points.
constexpr int kMinTextSize = 5;
constexpr int kMaxTextSize = 50;

constexpr int32_t kNewFrameWidth = 252;
constexpr int32_t kNewFrameHeight = 158;
// The frame sizes the Frame Size dialog's scroll bars reach, in board units.
constexpr int32_t kMinFrameWidth = 16;
constexpr int32_t kMaxFrameWidth = 799;
constexpr int32_t kMinFrameHeight = 16;
constexpr int32_t kMaxFrameHeight = 599;
// A frame size the scroll bars cannot show (only a project file brings one) is pulled into range.
int32_t clampFrameWidth(int32_t width);
int32_t clampFrameHeight(int32_t height);

enum Layer : int { kLayer1 = 0, kLayer2 = 1, kGraphic = 2 };
constexpr int kLayerCount = 3;

// A string held as a length byte plus a fixed number of 8-bit characters.
template <std::size_t N>
struct ShortString {
  uint8_t length = 0;
  std::array<char, N> chars{};

  std::string str() const { return std::string(chars.data(), length <= N ? length : N); }
  void set(std::string_view s) {
    length = static_cast<uint8_t>(s.size() < N ? s.size() : N);
    chars.fill(0);
    for (std::size_t i = 0; i < length; ++i) chars[i] = s[i];
  }
  bool operator==(const ShortString& o) const {
    return length == o.length &&
           std::equal(chars.begin(), chars.begin() + (length <= N ? length : N), o.chars.begin());
  }
};

using TextString = ShortString<32>;
using DescriptionString = ShortString<50>;

struct Pin {
  uint16_t x = 0;
  uint16_t y = 0;
  uint8_t sizeIndex = 0;  // 0..9, item of the pin size list
  uint8_t style = 0;      // 0 circle, 1 horizontal, 2 vertical, 128 graphic
  bool operator==(const Pin& o) const {
    return x == o.x && y == o.y && sizeIndex == o.sizeIndex && style == o.style;
  }
};

struct WirePoint {
  uint16_t x = 0;    // bits 0..13 position, bit 14 WireStartFlag
  uint16_t y = 0;    // bits 0..13 position, bit 14 set with the flag in x
  uint8_t attr = 0;  // layer * 16 + widthIndex
  bool operator==(const WirePoint& o) const { return x == o.x && y == o.y && attr == o.attr; }
};

struct TextItem {
  TextString text;
  uint8_t size = 0;  // relative size 5..50, readers use the low 6 bits
  uint16_t x = 0;    // layer * 4096 + x
  uint16_t y = 0;
  bool operator==(const TextItem& o) const {
    return text == o.text && size == o.size && x == o.x && y == o.y;
  }
};

struct BoardObject {
  uint16_t firstPin = 0;
  uint16_t pinCount = 0;
  uint16_t firstPoint = 0;
  uint16_t pointCount = 0;
  uint16_t firstText = 0;
  uint16_t textCount = 0;
  bool operator==(const BoardObject& o) const {
    return firstPin == o.firstPin && pinCount == o.pinCount && firstPoint == o.firstPoint &&
           pointCount == o.pointCount && firstText == o.firstText && textCount == o.textCount;
  }
};

inline bool isWireStart(const WirePoint& p) {
  return p.x > 16383;
}
inline int wireLayer(uint8_t attr) {
  return attr / 16;
}
inline int wireWidthIndex(uint8_t attr) {
  return attr & 15;
}
inline int textLayer(const TextItem& t) {
  return (t.x / 4096) & 3;
}
inline int textX(const TextItem& t) {
  return t.x & 4095;
}
inline bool isGraphicPin(const Pin& p) {
  return p.style > 127;
}

// The one document: fixed-capacity tables with explicit counts. Rows past a count are free
// and are not cleared by a reset. About 800 KB: allocate it on the heap.
class Board {
 public:
  std::array<Pin, kPinCapacity> PinTable{};
  int32_t PinCount = 0;
  std::array<WirePoint, kWirePointCapacity> WirePointTable{};
  int32_t WirePointCount = 0;
  std::array<TextItem, kTextCapacity> TextTable{};
  int32_t TextCount = 0;
  std::array<BoardObject, kObjectCapacity> ObjectTable{};
  int32_t ObjectCount = 0;
  std::array<DescriptionString, kDescriptionCapacity> ObjectDescriptions{};

  int32_t FrameWidth = kNewFrameWidth;
  int32_t FrameHeight = kNewFrameHeight;
  bool SavedFlag = true;
  std::string CurrentFileName;

  // Empty board: counts 0, new frame, saved, no file name. Rows past the counts keep their values.
  void reset();

  // Appending goes through one capacity check per table; false means the table is full and
  // nothing was written.
  bool addPin(const Pin& pin);
  bool addWirePoint(const WirePoint& point);
  bool addText(const TextItem& text);
  bool addObject(const BoardObject& object, std::string_view description);

  // Removes every object with no pins, points and texts, with its description.
  void removeEmptyObjects();

  int32_t wireCount() const;         // rows that start a wire
  int32_t wireSegmentCount() const;  // rows that do not
};

std::unique_ptr<Board> makeBoard();

}  // namespace fw
