#include "files/ProjectFile.h"

#include <algorithm>

#include "files/ByteIo.h"
#include "files/FileIo.h"

namespace fw {

namespace {

constexpr std::size_t kTextRecordSize = 32;
constexpr std::size_t kDescriptionRecordSize = 50;
constexpr std::size_t kObjectRecordSize = 12;
constexpr const char* kNotAProjectFile = "not a Ferrowrit project file";

// The largest file a board at full capacity can need. Bytes past the last block are ignored, so
// the reader never has to look further than this into a file.
constexpr std::size_t kMaxProjectFileSize =
    2 + 6 * std::size_t{kPinCapacity} + 2 + 4 * std::size_t{kWirePointCapacity} +
    (std::size_t{kWirePointCapacity} + 1) + 2 + 4 * std::size_t{kTextCapacity} +
    (std::size_t{kTextCapacity} + 1) + kTextRecordSize * std::size_t{kTextCapacity} + 2 +
    kObjectRecordSize * std::size_t{kObjectCapacity} + 4 +
    kDescriptionRecordSize * std::size_t{kObjectCapacity};

// ---- writing ----------------------------------------------------------------------------------

// The bytes a board with these counts takes; every block is a whole number of 2-byte units.
std::size_t serializedSize(std::size_t p, std::size_t w, std::size_t t, std::size_t o) {
  std::size_t n = 12 + 6 * p + 4 * w + (w + 1) / 2 * 2 + 62 * o;
  if (t > 0) n += 4 * t + (t + 1) / 2 * 2 + kTextRecordSize * t;
  return n;
}

// ---- reading ----------------------------------------------------------------------------------

bool rangeWithin(uint32_t first, uint32_t count, int32_t tableCount, uint32_t objectRow,
                 const char* what, std::string& error) {
  if (first + count <= static_cast<uint32_t>(tableCount)) return true;
  error = "object " + std::to_string(objectRow + 1) + " refers to " + what + " " +
          std::to_string(first + 1) + " to " + std::to_string(first + count) + " of only " +
          std::to_string(tableCount);
  return false;
}

// A project file has no signature, so what is plainly not a board is told by its counts: a
// count beyond its table's capacity is never written for a board, and nearly every other kind
// of file trips over the first one (the first two bytes of a text, a picture or an archive read
// as 8000 pins and more). Such a file is called what it most likely is rather than a damaged
// board. A file that ends before its blocks keeps the "ends inside" wording: that is what a cut
// board looks like. Bytes after the last block are still ignored, as they always were.
bool countFits(uint32_t count, int32_t capacity, const char* what, std::string& error) {
  if (count <= static_cast<uint32_t>(capacity)) return true;
  error = std::string(kNotAProjectFile) + " (it holds " + std::to_string(count) + " " + what +
          "; a board has at most " + std::to_string(capacity) + ")";
  return false;
}

}  // namespace

std::vector<uint8_t> serializeProjectFile(const Board& b) {
  // The counts never leave 0..capacity; clamping only guarantees the tables are never overrun.
  const auto p = static_cast<std::size_t>(std::clamp(b.PinCount, 0, kPinCapacity));
  const auto w = static_cast<std::size_t>(std::clamp(b.WirePointCount, 0, kWirePointCapacity));
  const auto t = static_cast<std::size_t>(std::clamp(b.TextCount, 0, kTextCapacity));
  const auto o = static_cast<std::size_t>(std::clamp(b.ObjectCount, 0, kObjectCapacity));
  byteio::ByteWriter out(serializedSize(p, w, t, o));

  out.u16(static_cast<uint32_t>(p));
  for (std::size_t i = 0; i < p; ++i) {
    out.u16(b.PinTable[i].x);
    out.u16(b.PinTable[i].y);
  }
  for (std::size_t i = 0; i < p; ++i) {
    out.u8(b.PinTable[i].sizeIndex);
    out.u8(b.PinTable[i].style);
  }

  out.u16(static_cast<uint32_t>(w));
  for (std::size_t i = 0; i < w; ++i) {
    out.u16(b.WirePointTable[i].x);
    out.u16(b.WirePointTable[i].y);
  }
  for (std::size_t i = 0; i < w; ++i) out.u8(b.WirePointTable[i].attr);
  out.padToEven();

  out.u16(static_cast<uint32_t>(t));
  if (t > 0) {
    for (std::size_t i = 0; i < t; ++i) {
      out.u16(b.TextTable[i].x);
      out.u16(b.TextTable[i].y);
    }
    for (std::size_t i = 0; i < t; ++i) out.u8(b.TextTable[i].size);
    out.padToEven();
    for (std::size_t i = 0; i < t; ++i)
      out.record(b.TextTable[i].text, kTextRecordSize, kTextRecordSize);
  }

  out.u16(static_cast<uint32_t>(o));
  for (std::size_t i = 0; i < o; ++i) {
    const BoardObject& r = b.ObjectTable[i];
    out.u16(r.firstPin);
    out.u16(r.pinCount);
    out.u16(r.firstPoint);
    out.u16(r.pointCount);
    out.u16(r.firstText);
    out.u16(r.textCount);
  }
  out.u16(static_cast<uint32_t>(b.FrameWidth) & 0xFFFF);
  out.u16(static_cast<uint32_t>(b.FrameHeight) & 0xFFFF);
  for (std::size_t i = 0; i < o; ++i)
    out.record(b.ObjectDescriptions[i], kDescriptionRecordSize, kDescriptionRecordSize);

  return out.take();
}

bool parseProjectFile(const uint8_t* data, std::size_t size, Board& out, std::string& error) {
  byteio::ByteReader in(data, size);

  if (!in.need(2, "pin count", error)) return false;
  const uint32_t p = in.u16();
  if (!countFits(p, kPinCapacity, "pins", error)) return false;
  if (!in.need(6 * std::size_t{p}, "pin table", error)) return false;
  for (uint32_t i = 0; i < p; ++i) {
    out.PinTable[i].x = in.u16();
    out.PinTable[i].y = in.u16();
  }
  for (uint32_t i = 0; i < p; ++i) {
    out.PinTable[i].sizeIndex = in.u8();
    out.PinTable[i].style = in.u8();
  }

  if (!in.need(2, "wire point count", error)) return false;
  const uint32_t w = in.u16();
  if (!countFits(w, kWirePointCapacity, "wire points", error)) return false;
  if (!in.need(4 * std::size_t{w} + (w + 1) / 2 * 2, "wire point table", error)) return false;
  for (uint32_t i = 0; i < w; ++i) {
    out.WirePointTable[i].x = in.u16();
    out.WirePointTable[i].y = in.u16();
  }
  for (uint32_t i = 0; i < w; ++i) out.WirePointTable[i].attr = in.u8();
  in.skipFiller();

  if (!in.need(2, "text count", error)) return false;
  const uint32_t t = in.u16();
  if (!countFits(t, kTextCapacity, "texts", error)) return false;
  if (t > 0) {
    if (!in.need((4 + kTextRecordSize) * t + (t + 1) / 2 * 2, "text table", error)) return false;
    for (uint32_t i = 0; i < t; ++i) {
      out.TextTable[i].x = in.u16();
      out.TextTable[i].y = in.u16();
    }
    for (uint32_t i = 0; i < t; ++i) out.TextTable[i].size = in.u8();
    in.skipFiller();
    for (uint32_t i = 0; i < t; ++i) {
      out.TextTable[i].text = byteio::readRecord<32>(in.here(), kTextRecordSize);
      in.skip(kTextRecordSize);
    }
  }

  if (!in.need(2, "object count", error)) return false;
  const uint32_t o = in.u16();
  if (!countFits(o, kObjectCapacity, "objects", error)) return false;
  if (!in.need(kObjectRecordSize * o, "object table", error)) return false;
  for (uint32_t i = 0; i < o; ++i) {
    BoardObject& r = out.ObjectTable[i];
    r.firstPin = in.u16();
    r.pinCount = in.u16();
    r.firstPoint = in.u16();
    r.pointCount = in.u16();
    r.firstText = in.u16();
    r.textCount = in.u16();
    if (!rangeWithin(r.firstPin, r.pinCount, static_cast<int32_t>(p), i, "pins", error) ||
        !rangeWithin(r.firstPoint, r.pointCount, static_cast<int32_t>(w), i, "wire points",
                     error) ||
        !rangeWithin(r.firstText, r.textCount, static_cast<int32_t>(t), i, "texts", error))
      return false;
  }

  if (!in.need(4, "frame size", error)) return false;
  const int32_t frameWidth = in.u16();
  const int32_t frameHeight = in.u16();

  if (o > 0) {
    if (!in.need(kDescriptionRecordSize * o, "object descriptions", error)) return false;
    for (uint32_t i = 0; i < o; ++i) {
      out.ObjectDescriptions[i] = byteio::readRecord<50>(in.here(), kDescriptionRecordSize);
      in.skip(kDescriptionRecordSize);
    }
  }

  out.PinCount = static_cast<int32_t>(p);
  out.WirePointCount = static_cast<int32_t>(w);
  out.TextCount = static_cast<int32_t>(t);
  out.ObjectCount = static_cast<int32_t>(o);
  out.FrameWidth = frameWidth;
  out.FrameHeight = frameHeight;
  out.SavedFlag = true;
  return true;
}

bool ReadProjectFile(const std::string& path, Board& board, std::string& error) {
  // Nothing past the largest possible board matters, so a huge file costs no more than that.
  std::vector<uint8_t> bytes;
  if (!readFileBytes(path, kMaxProjectFileSize, bytes, error)) return false;

  auto fresh = makeBoard();
  std::string reason;
  if (!parseProjectFile(bytes.data(), bytes.size(), *fresh, reason)) {
    error = path + ": " + reason;
    return false;
  }

  // The whole file is good: take over the rows in use, the counts and the frame. Rows past the
  // counts keep whatever they held, as after New.
  auto copyRows = [](auto& to, const auto& from, int32_t n) {
    std::copy(from.begin(), from.begin() + n, to.begin());
  };
  copyRows(board.PinTable, fresh->PinTable, fresh->PinCount);
  copyRows(board.WirePointTable, fresh->WirePointTable, fresh->WirePointCount);
  copyRows(board.TextTable, fresh->TextTable, fresh->TextCount);
  copyRows(board.ObjectTable, fresh->ObjectTable, fresh->ObjectCount);
  copyRows(board.ObjectDescriptions, fresh->ObjectDescriptions, fresh->ObjectCount);
  board.PinCount = fresh->PinCount;
  board.WirePointCount = fresh->WirePointCount;
  board.TextCount = fresh->TextCount;
  board.ObjectCount = fresh->ObjectCount;
  board.FrameWidth = fresh->FrameWidth;
  board.FrameHeight = fresh->FrameHeight;
  board.SavedFlag = true;
  return true;
}

bool WriteProjectFile(const std::string& path, const Board& board, std::string& error) {
  return replaceFile(path, serializeProjectFile(board), error);
}

std::string withProjectExtension(const std::string& path) {
  if (path.find('.') == std::string::npos) return path + ".kvd";
  return path;
}

}  // namespace fw
