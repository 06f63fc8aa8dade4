#include "render/text/MaskStore.h"

#include <algorithm>

namespace fw {

uint64_t* MaskStore::fit(Room& room, std::size_t n) {
  if (n > room.capacity) {
    room.bits = words(n);
    room.capacity = n;
  }
  std::fill_n(room.bits, n, uint64_t(0));
  return room.bits;
}

uint64_t* MaskStore::words(std::size_t n) {
  // Blocks of 32,768 words (256 KiB), or one of its own for a larger mask.
  constexpr std::size_t kBlockWords = std::size_t(1) << 15;
  if (used_ + n > size_) {
    size_ = std::max(n, kBlockWords);
    // Left unset: each text blanks its own words.
    blocks_.push_back(std::unique_ptr<uint64_t[]>(new uint64_t[size_]));
    used_ = 0;
    bytes_ += size_ * sizeof(uint64_t);
  }
  uint64_t* at = blocks_.back().get() + used_;
  used_ += n;
  return at;
}

void MaskStore::clear() {
  blocks_.clear();
  used_ = size_ = bytes_ = 0;
}

}  // namespace fw
