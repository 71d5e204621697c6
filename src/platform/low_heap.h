#pragma once
// Small program-visible blocks (structure data, memory-stream contents) in
// the low arena. A GrowableBlock reserves at least 64 KiB of address space,
// far too much for a 15-byte structure, so small blocks are carved out of
// shared 1 MiB slabs by size class; large ones get a block of their own.
// Addresses never move while a block is allocated.
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/low_arena.h"

namespace kestrel::platform {

class LowHeap {
 public:
  LowHeap() = default;
  ~LowHeap();
  LowHeap(const LowHeap&) = delete;
  LowHeap& operator=(const LowHeap&) = delete;

  // A zero-filled block of `bytes` bytes (nullptr for 0 bytes). Raises
  // "Out of memory" when the arena is full.
  uint8_t* allocate(size_t bytes);
  // Gives back a block from allocate() with the size it was asked for.
  void release(uint8_t* block, size_t bytes);
  // The size that a request of `bytes` really gets (a block may be used up to it).
  static size_t usableSize(size_t bytes);

 private:
  static constexpr size_t kSlabBytes = size_t{1} << 20;
  static constexpr int kClasses = 12;  // 16 bytes to 32 KiB, powers of two
  static int classOf(size_t bytes);

  std::vector<std::unique_ptr<GrowableBlock>> slabs_;
  size_t slabUsed_ = kSlabBytes;  // bump position in the newest slab
  std::array<std::vector<uint8_t*>, kClasses> free_;
  std::map<const uint8_t*, std::unique_ptr<GrowableBlock>> large_;
};

}  // namespace kestrel::platform
