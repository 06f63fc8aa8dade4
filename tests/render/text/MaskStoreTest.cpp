// The store that composed texts' masks share: a text made again takes its old words when it
// fits, and the bytes counted are those of whole blocks.

#include <gtest/gtest.h>

#include "render/text/MaskStore.h"

namespace fw {
namespace {

constexpr std::size_t kBlockBytes = (std::size_t(1) << 15) * sizeof(uint64_t);

TEST(MaskStore, ARoomIsReusedWhileTheMaskFitsAndBlankedEachTime) {
  MaskStore store;
  MaskStore::Room room;
  uint64_t* first = store.fit(room, 10);
  for (int i = 0; i < 10; ++i) first[i] = ~uint64_t(0);
  MaskStore::Room other;
  uint64_t* second = store.fit(other, 4);
  EXPECT_NE(second, first);

  // Smaller: the same words, blank again.
  EXPECT_EQ(store.fit(room, 8), first);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(first[i], 0u) << i;
  EXPECT_EQ(room.capacity, 10u);
  // Larger: new words past the other room's, which stay its own.
  uint64_t* grown = store.fit(room, 11);
  EXPECT_GE(grown, second + 4);
  EXPECT_EQ(room.capacity, 11u);
  EXPECT_EQ(store.bytes(), kBlockBytes);
}

TEST(MaskStore, BlocksAreCountedWholeAndALargeMaskGetsOneOfItsOwn) {
  MaskStore store;
  EXPECT_EQ(store.bytes(), 0u);
  uint64_t* a = store.words(32760);
  uint64_t* b = store.words(8);  // fills the first block exactly
  EXPECT_EQ(b, a + 32760);
  EXPECT_EQ(store.bytes(), kBlockBytes);
  store.words(1);  // a second block
  EXPECT_EQ(store.bytes(), 2 * kBlockBytes);
  const std::size_t large = 40000;
  uint64_t* big = store.words(large);
  big[large - 1] = 1;  // all of it is there
  EXPECT_EQ(store.bytes(), 2 * kBlockBytes + large * sizeof(uint64_t));
  store.clear();
  EXPECT_EQ(store.bytes(), 0u);
}

}  // namespace
}  // namespace fw
