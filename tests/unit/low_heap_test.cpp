// Small program-visible blocks: zeroed, inside the low arena, never
// overlapping, reused after release.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "platform/low_heap.h"

using namespace kestrel::platform;

TEST(LowHeap, BlocksAreZeroedBelowTwoGiBAndKnownToTheArena) {
  LowHeap heap;
  for (size_t size : {size_t{1}, size_t{15}, size_t{16}, size_t{17}, size_t{4000}, size_t{40000}, size_t{3} << 20}) {
    uint8_t* p = heap.allocate(size);
    ASSERT_NE(p, nullptr);
    EXPECT_LT(reinterpret_cast<uint64_t>(p) + size, uint64_t{1} << 31);
    EXPECT_TRUE(LowArena::instance().contains(reinterpret_cast<uint64_t>(p), size));
    for (size_t i = 0; i < size; ++i) ASSERT_EQ(p[i], 0) << size;
    std::memset(p, 0x5A, size);
    heap.release(p, size);
  }
  EXPECT_EQ(heap.allocate(0), nullptr);
}

TEST(LowHeap, ReusedBlocksAreZeroedAgainAndLiveBlocksDoNotOverlap) {
  LowHeap heap;
  uint8_t* a = heap.allocate(24);
  std::memset(a, 0xFF, 24);
  heap.release(a, 24);
  uint8_t* b = heap.allocate(30);  // the same size class
  EXPECT_EQ(a, b);
  for (int i = 0; i < 30; ++i) ASSERT_EQ(b[i], 0);

  std::set<uint8_t*> starts;
  uint8_t* last = nullptr;
  for (int i = 0; i < 100000; ++i) {  // more than one slab
    uint8_t* p = heap.allocate(20);
    ASSERT_TRUE(starts.insert(p).second);
    if (last != nullptr && p > last) {
      ASSERT_GE(p - last, 32);
    }
    last = p;
  }
}

TEST(LowHeap, LargeBlocksAreReleasedWhole) {
  LowHeap heap;
  const size_t big = size_t{8} << 20;
  uint8_t* p = heap.allocate(big);
  p[big - 1] = 1;
  heap.release(p, big);
  EXPECT_FALSE(LowArena::instance().contains(reinterpret_cast<uint64_t>(p), 1));
}
