#include "files/ObjectFile.h"

#include <algorithm>

#include "files/ByteIo.h"
#include "files/FileIo.h"

namespace fw {

namespace {

// A text record keeps the length byte and all 32 characters, then filler up to 66 bytes.
constexpr std::size_t kTextRecordSize = 66;
constexpr std::size_t kTextBytesUsed = 33;
// A description record keeps the length byte and 49 characters, then filler up to 100 bytes.
constexpr std::size_t kDescriptionRecordSize = 100;
constexpr std::size_t kDescriptionBytesUsed = 50;

constexpr std::size_t objectFileSize(std::size_t p, std::size_t w, std::size_t t) {
  std::size_t n = 6 + 6 * p + 4 * w + (w + 1) / 2 * 2 + kDescriptionRecordSize;
  if (t > 0) n += (4 + 2 + kTextRecordSize) * t;
  return n;
}

// The largest object file that fits a board; the reader never looks further into a file.
constexpr std::size_t kMaxObjectFileSize =
    objectFileSize(kPinCapacity, kWirePointCapacity, kTextCapacity);

// The rows written, wherever they come from: a board's tables or an ObjectData.
struct Rows {
  const Pin* pins;
  std::size_t pinCount;
  const WirePoint* points;
  std::size_t pointCount;
  const TextItem* texts;
  std::size_t textCount;
  const DescriptionString& description;
};

std::vector<uint8_t> serialize(const Rows& r) {
  byteio::ByteWriter out(objectFileSize(r.pinCount, r.pointCount, r.textCount));
  out.u16(r.pinCount);
  for (std::size_t i = 0; i < r.pinCount; ++i) {
    out.u16(r.pins[i].x);
    out.u16(r.pins[i].y);
  }
  for (std::size_t i = 0; i < r.pinCount; ++i) {
    out.u8(r.pins[i].sizeIndex);
    out.u8(r.pins[i].style);
  }

  out.u16(r.pointCount);
  for (std::size_t i = 0; i < r.pointCount; ++i) {
    out.u16(r.points[i].x);
    out.u16(r.points[i].y);
  }
  for (std::size_t i = 0; i < r.pointCount; ++i) out.u8(r.points[i].attr);
  out.skip(r.pointCount % 2);

  out.u16(r.textCount);
  if (r.textCount > 0) {
    for (std::size_t i = 0; i < r.textCount; ++i) {
      out.u16(r.texts[i].x);
      out.u16(r.texts[i].y);
    }
    for (std::size_t i = 0; i < r.textCount; ++i) out.u8(r.texts[i].size);
    out.skip(r.textCount);  // one filler byte per text
    for (std::size_t i = 0; i < r.textCount; ++i)
      out.record(r.texts[i].text, kTextBytesUsed, kTextRecordSize);
  }
  out.record(r.description, kDescriptionBytesUsed, kDescriptionRecordSize);
  return out.take();
}

std::size_t clampCount(std::size_t n, int32_t capacity) {
  return std::min(n, static_cast<std::size_t>(capacity));
}

std::size_t boardRows(int32_t count, int32_t capacity) {
  return static_cast<std::size_t>(std::clamp(count, 0, capacity));
}

bool parse(byteio::ByteReader& in, ObjectData& o, std::string& error) {
  if (!in.need(2, "pin count", error)) return false;
  const uint32_t p = in.u16();
  if (!byteio::countWithin(p, kPinCapacity, "pins", error)) return false;
  if (!in.need(6 * std::size_t{p}, "pin table", error)) return false;
  o.pins.resize(p);
  for (Pin& pin : o.pins) {
    pin.x = in.u16();
    pin.y = in.u16();
  }
  for (Pin& pin : o.pins) {
    pin.sizeIndex = in.u8();
    pin.style = in.u8();
  }

  if (!in.need(2, "wire point count", error)) return false;
  const uint32_t w = in.u16();
  if (!byteio::countWithin(w, kWirePointCapacity, "wire points", error)) return false;
  if (!in.need(4 * std::size_t{w} + (w + 1) / 2 * 2, "wire point table", error)) return false;
  o.points.resize(w);
  for (WirePoint& point : o.points) {
    point.x = in.u16();
    point.y = in.u16();
  }
  for (WirePoint& point : o.points) point.attr = in.u8();
  in.skip(w % 2);

  if (!in.need(2, "text count", error)) return false;
  const uint32_t t = in.u16();
  if (!byteio::countWithin(t, kTextCapacity, "texts", error)) return false;
  if (t > 0) {
    if (!in.need((4 + 2 + kTextRecordSize) * t, "text table", error)) return false;
    o.texts.resize(t);
    for (TextItem& text : o.texts) {
      text.x = in.u16();
      text.y = in.u16();
    }
    for (TextItem& text : o.texts) text.size = in.u8();
    in.skip(t);
    for (TextItem& text : o.texts) {
      text.text = byteio::readRecord<32>(in.here(), kTextBytesUsed);
      in.skip(kTextRecordSize);
    }
  }

  if (!in.need(kDescriptionRecordSize, "description", error)) return false;
  o.description = byteio::readRecord<50>(in.here(), kDescriptionBytesUsed);
  return true;
}

// Room for `n` more rows past `count` in a table of `capacity` rows.
bool rowsFit(std::size_t n, int32_t count, int32_t capacity, const char* what, std::string& error) {
  if (count >= 0 && count <= capacity && n <= static_cast<std::size_t>(capacity - count))
    return true;
  error = "the object's " + std::to_string(n) + " " + what + " do not fit beside the board's " +
          std::to_string(count) + "; a board holds " + std::to_string(capacity);
  return false;
}

}  // namespace

std::vector<uint8_t> serializeObjectFile(const Board& b, std::string_view description) {
  DescriptionString d;
  d.set(description);
  const Rows rows{b.PinTable.data(),
                  boardRows(b.PinCount, kPinCapacity),
                  b.WirePointTable.data(),
                  boardRows(b.WirePointCount, kWirePointCapacity),
                  b.TextTable.data(),
                  boardRows(b.TextCount, kTextCapacity),
                  d};
  return serialize(rows);
}

std::vector<uint8_t> serializeObjectFile(const ObjectData& o) {
  const Rows rows{o.pins.data(),   clampCount(o.pins.size(), kPinCapacity),
                  o.points.data(), clampCount(o.points.size(), kWirePointCapacity),
                  o.texts.data(),  clampCount(o.texts.size(), kTextCapacity),
                  o.description};
  return serialize(rows);
}

bool parseObjectFile(const uint8_t* data, std::size_t size, ObjectData& out, std::string& error) {
  byteio::ByteReader in(data, size);
  ObjectData parsed;
  out = ObjectData{};
  if (!parse(in, parsed, error)) return false;
  out = std::move(parsed);
  return true;
}

bool ReadObjectFile(const std::string& path, ObjectData& out, std::string& error) {
  out = ObjectData{};
  std::vector<uint8_t> bytes;
  if (!readFileBytes(path, kMaxObjectFileSize, bytes, error)) return false;
  std::string reason;
  if (!parseObjectFile(bytes.data(), bytes.size(), out, reason)) {
    error = path + ": " + reason;
    return false;
  }
  return true;
}

bool WriteObjectFile(const std::string& path, const Board& board, std::string_view description,
                     std::string& error) {
  return replaceFile(path, serializeObjectFile(board, description), error);
}

bool WriteObjectFile(const std::string& path, const ObjectData& object, std::string& error) {
  return replaceFile(path, serializeObjectFile(object), error);
}

bool loadIntoFreeRows(Board& b, const ObjectData& o, std::string& error) {
  if (!rowsFit(o.pins.size(), b.PinCount, kPinCapacity, "pins", error) ||
      !rowsFit(o.points.size(), b.WirePointCount, kWirePointCapacity, "wire points", error) ||
      !rowsFit(o.texts.size(), b.TextCount, kTextCapacity, "texts", error))
    return false;
  if (b.ObjectCount < 0 || b.ObjectCount >= kObjectCapacity) {
    error =
        "the board already holds " + std::to_string(b.ObjectCount) + " objects, as many as it can";
    return false;
  }
  std::copy(o.pins.begin(), o.pins.end(), b.PinTable.begin() + b.PinCount);
  std::copy(o.points.begin(), o.points.end(), b.WirePointTable.begin() + b.WirePointCount);
  std::copy(o.texts.begin(), o.texts.end(), b.TextTable.begin() + b.TextCount);
  b.ObjectDescriptions[static_cast<std::size_t>(b.ObjectCount)] = o.description;
  return true;
}

bool loadAsBoard(Board& board, const ObjectData& object, std::string& error) {
  board.reset();
  if (!loadIntoFreeRows(board, object, error)) return false;
  board.PinCount = static_cast<int32_t>(object.pins.size());
  board.WirePointCount = static_cast<int32_t>(object.points.size());
  board.TextCount = static_cast<int32_t>(object.texts.size());
  return true;
}

std::string withObjectExtension(const std::string& path) {
  if (path.find('.') == std::string::npos) return path + ".kvo";
  return path;
}

std::string objectLibraryFolder(const std::string& programDirectory) {
  return programDirectory + "/objects";
}

}  // namespace fw
