#pragma once
// Program-visible memory. Programs keep addresses of variables, array
// elements, structures and streams in 32-bit integers and hand them to
// external code, so every such block lives below 2 GiB, and a block that
// grows keeps its address.
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace kestrel::platform {

class GrowableBlock;

class LowArena {
 public:
  static LowArena& instance();

  // True when [address, address + length) lies inside the used part of one
  // live block.
  bool contains(uint64_t address, size_t length) const;
  // Bytes of address space the arena holds (0 when no low memory was found).
  size_t size() const { return size_; }

 private:
  friend class GrowableBlock;
  LowArena();
  uint8_t* reserve(size_t bytes, const GrowableBlock* owner);
  void release(uint8_t* base, size_t bytes);
  void commit(uint8_t* base, size_t bytes);

  uint8_t* base_ = nullptr;
  size_t size_ = 0;
  size_t used_ = 0;
  std::map<uint8_t*, size_t> free_;  // released ranges, merged with their neighbours
  std::map<uint64_t, const GrowableBlock*> live_;
};

// A byte block in the low arena that grows in place up to a fixed capacity.
class GrowableBlock {
 public:
  explicit GrowableBlock(size_t capacity);
  ~GrowableBlock();
  GrowableBlock(const GrowableBlock&) = delete;
  GrowableBlock& operator=(const GrowableBlock&) = delete;

  uint8_t* data() const { return base_; }
  size_t size() const { return size_; }
  size_t capacity() const { return capacity_; }
  // Grows to `bytes` (new bytes are zero); raises "Out of memory" beyond the
  // capacity. Never shrinks.
  void growTo(size_t bytes);

 private:
  uint8_t* base_;
  size_t size_ = 0;
  size_t committed_ = 0;
  size_t capacity_;
};

}  // namespace kestrel::platform
