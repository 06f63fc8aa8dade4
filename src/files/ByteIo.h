#pragma once

// Private to src/files: the little-endian reading and writing that the project file and the
// object file formats share.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "board/Board.h"

namespace fw::byteio {

// Fills a buffer sized in advance; every byte not written stays 0.
class ByteWriter {
 public:
  explicit ByteWriter(std::size_t size) : bytes_(size, 0) {}
  void u8(uint8_t v) { bytes_[at_++] = v; }
  void u16(std::size_t v) {
    bytes_[at_] = static_cast<uint8_t>(v & 0xFF);
    bytes_[at_ + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
    at_ += 2;
  }
  // Filler stays 0.
  void skip(std::size_t n) { at_ += n; }
  // Blocks of single bytes end on a 2-byte boundary; the filler byte stays 0.
  void padToEven() { skip(at_ % 2); }
  // A string record of `recordSize` bytes: the length as held, then the characters that fit in
  // the `used` bytes of the record that hold the string; everything after the last stored
  // character stays 0.
  template <std::size_t N>
  void record(const ShortString<N>& s, std::size_t used, std::size_t recordSize) {
    bytes_[at_] = s.length;
    const std::size_t stored = std::min<std::size_t>({s.length, N, used - 1});
    std::memcpy(bytes_.data() + at_ + 1, s.chars.data(), stored);
    at_ += recordSize;
  }
  std::vector<uint8_t> take() {
    bytes_.resize(at_);
    return std::move(bytes_);
  }

 private:
  std::vector<uint8_t> bytes_;
  std::size_t at_ = 0;
};

class ByteReader {
 public:
  ByteReader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  // True when `n` more bytes are there; otherwise `error` names the block that is cut short.
  bool need(std::size_t n, const char* block, std::string& error) const {
    if (size_ - pos_ >= n) return true;
    error =
        std::string("the file ends inside the ") + block + " (" + std::to_string(size_) + " bytes)";
    return false;
  }
  uint8_t u8() { return data_[pos_++]; }
  uint16_t u16() {
    const uint16_t v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
  }
  void skip(std::size_t n) { pos_ += n; }
  // Steps over the filler byte that ends a block of single bytes on a 2-byte boundary.
  void skipFiller() {
    if (pos_ % 2 != 0) ++pos_;
  }
  const uint8_t* here() const { return data_ + pos_; }

 private:
  const uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// A string record read back: the length is capped at N and the characters are taken from the
// `used` bytes of the record that hold the string; characters past the length are held as
// zeros. When the record has room for fewer than N characters, a string of full length has lost
// its last characters in the file: it keeps its length and gets blanks in their place. Keeping
// the length makes the bytes written for a loaded string the same as the bytes it was loaded
// from, and a blank is the one character that changes nothing visible.
template <std::size_t N>
ShortString<N> readRecord(const uint8_t* rec, std::size_t used) {
  ShortString<N> s;
  s.length = static_cast<uint8_t>(std::min<std::size_t>(rec[0], N));
  const std::size_t inFile = std::min<std::size_t>(s.length, used - 1);
  std::memcpy(s.chars.data(), rec + 1, inFile);
  for (std::size_t i = inFile; i < s.length; ++i) s.chars[i] = ' ';
  return s;
}

// True when a table of `count` rows fits a board's `capacity`; otherwise `error` says so.
inline bool countWithin(uint32_t count, int32_t capacity, const char* what, std::string& error) {
  if (count <= static_cast<uint32_t>(capacity)) return true;
  error = "the file holds " + std::to_string(count) + " " + what + ", more than the " +
          std::to_string(capacity) + " a board can hold";
  return false;
}

}  // namespace fw::byteio
