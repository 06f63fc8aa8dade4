#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace fw {

// The words of the masks of texts put together from glyphs, in blocks that never move, so
// that tens of thousands of small masks cost no allocation each. A text made again takes its
// last words again when it fits in them; nothing is given back before clear().
class MaskStore {
 public:
  // The words a user holds: where they lie and how many.
  struct Room {
    uint64_t* bits = nullptr;
    std::size_t capacity = 0;
  };
  // `n` blank words: the room's own when they fit, else new ones, which the room then holds.
  uint64_t* fit(Room& room, std::size_t n);
  // `n` new words, not yet blanked, valid until clear().
  uint64_t* words(std::size_t n);
  // The bytes of every block.
  std::size_t bytes() const { return bytes_; }
  void clear();

 private:
  std::vector<std::unique_ptr<uint64_t[]>> blocks_;
  std::size_t used_ = 0, size_ = 0;  // words of the last block
  std::size_t bytes_ = 0;            // of all blocks
};

}  // namespace fw
