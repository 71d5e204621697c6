#include "platform/low_heap.h"

#include <cstring>

namespace kestrel::platform {

LowHeap::~LowHeap() = default;

int LowHeap::classOf(size_t bytes) {
  int c = 0;
  size_t size = 16;
  while (size < bytes) {
    size <<= 1;
    ++c;
  }
  return c;
}

size_t LowHeap::usableSize(size_t bytes) {
  if (bytes == 0) return 0;
  const int c = classOf(bytes);
  return c < kClasses ? size_t{16} << c : bytes;
}

uint8_t* LowHeap::allocate(size_t bytes) {
  if (bytes == 0) return nullptr;
  const int c = classOf(bytes);
  if (c >= kClasses) {
    auto block = std::make_unique<GrowableBlock>(bytes);
    block->growTo(bytes);
    uint8_t* p = block->data();
    large_.emplace(p, std::move(block));
    return p;
  }
  const size_t size = size_t{16} << c;
  std::vector<uint8_t*>& list = free_[static_cast<size_t>(c)];
  if (!list.empty()) {
    uint8_t* p = list.back();
    list.pop_back();
    std::memset(p, 0, size);
    return p;
  }
  if (slabUsed_ + size > kSlabBytes) {
    auto slab = std::make_unique<GrowableBlock>(kSlabBytes);
    slab->growTo(kSlabBytes);
    slabs_.push_back(std::move(slab));
    slabUsed_ = 0;
  }
  uint8_t* p = slabs_.back()->data() + slabUsed_;  // fresh slab memory is zero
  slabUsed_ += size;
  return p;
}

void LowHeap::release(uint8_t* block, size_t bytes) {
  if (block == nullptr) return;
  const int c = classOf(bytes);
  if (c >= kClasses) {
    large_.erase(block);
    return;
  }
  free_[static_cast<size_t>(c)].push_back(block);
}

}  // namespace kestrel::platform
