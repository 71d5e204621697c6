#include <sys/mman.h>

#include <algorithm>

#include "platform/low_arena.h"
#include "state/errors.h"

namespace kestrel::platform {

namespace {
constexpr size_t kGranule = 64 * 1024;
constexpr uint64_t kTwoGiB = uint64_t{1} << 31;

size_t roundUp(size_t n, size_t to) { return (n + to - 1) / to * to; }

// MAP_32BIT alone only serves a small window, so explicit address hints below
// 2 GiB are tried with decreasing sizes.
uint8_t* reserveLow(size_t& size) {
  const size_t sizes[] = {size_t{1536} << 20, size_t{1024} << 20, size_t{512} << 20,
                          size_t{256} << 20, size_t{128} << 20};
  const uint64_t hints[] = {0x10000000, 0x20000000, 0x40000000, 0x08000000};
  for (size_t want : sizes) {
    for (uint64_t hint : hints) {
      if (hint + want > kTwoGiB) continue;
      int flags = MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE;
#ifdef MAP_FIXED_NOREPLACE
      flags |= MAP_FIXED_NOREPLACE;
#endif
      void* p = mmap(reinterpret_cast<void*>(hint), want, PROT_NONE, flags, -1, 0);
      if (p == MAP_FAILED) continue;
      if (reinterpret_cast<uint64_t>(p) + want > kTwoGiB) {
        munmap(p, want);
        continue;
      }
      size = want;
      return static_cast<uint8_t*>(p);
    }
  }
  size = 0;
  return nullptr;
}
}  // namespace

LowArena& LowArena::instance() {
  static LowArena arena;
  return arena;
}

LowArena::LowArena() { base_ = reserveLow(size_); }

uint8_t* LowArena::reserve(size_t bytes, const GrowableBlock* owner) {
  bytes = roundUp(std::max<size_t>(bytes, 1), kGranule);
  // The smallest free range that fits, so that large ranges stay whole for
  // the large stores of the next machine.
  size_t best = free_.size();
  for (size_t i = 0; i < free_.size(); ++i) {
    if (free_[i].second >= bytes && (best == free_.size() || free_[i].second < free_[best].second)) best = i;
  }
  uint8_t* p = nullptr;
  if (best < free_.size()) {
    auto [start, length] = free_[best];
    p = start;
    if (length == bytes)
      free_.erase(free_.begin() + static_cast<long>(best));
    else
      free_[best] = {start + bytes, length - bytes};
  }
  if (p == nullptr) {
    if (base_ == nullptr || bytes > size_ - used_) raise(texts::kOutOfMemory);
    p = base_ + used_;
    used_ += bytes;
  }
  live_[reinterpret_cast<uint64_t>(p)] = owner;
  return p;
}

void LowArena::release(uint8_t* base, size_t bytes) {
  bytes = roundUp(std::max<size_t>(bytes, 1), kGranule);
  live_.erase(reinterpret_cast<uint64_t>(base));
  mprotect(base, bytes, PROT_NONE);
  madvise(base, bytes, MADV_DONTNEED);
  // Free ranges are kept in address order and merged with their
  // neighbours; one that reaches the top goes back to the unused part.
  auto at = std::lower_bound(free_.begin(), free_.end(), std::make_pair(base, size_t{0}));
  at = free_.insert(at, {base, bytes});
  if (at + 1 != free_.end() && at->first + at->second == (at + 1)->first) {
    at->second += (at + 1)->second;
    free_.erase(at + 1);
  }
  if (at != free_.begin() && (at - 1)->first + (at - 1)->second == at->first) {
    (at - 1)->second += at->second;
    at = free_.erase(at) - 1;
  }
  if (at->first + at->second == base_ + used_) {
    used_ -= at->second;
    free_.erase(at);
  }
}

void LowArena::commit(uint8_t* base, size_t bytes) {
  if (bytes == 0) return;
  if (mprotect(base, roundUp(bytes, kGranule), PROT_READ | PROT_WRITE) != 0)
    raise(texts::kOutOfMemory);
}

bool LowArena::contains(uint64_t address, size_t length) const {
  if (address + length < address) return false;
  auto it = live_.upper_bound(address);
  if (it == live_.begin()) return false;
  --it;
  const GrowableBlock* block = it->second;
  return address + length <= it->first + block->size();
}

GrowableBlock::GrowableBlock(size_t capacity)
    : base_(LowArena::instance().reserve(capacity, this)),
      capacity_(roundUp(std::max<size_t>(capacity, 1), kGranule)) {}

GrowableBlock::~GrowableBlock() { LowArena::instance().release(base_, capacity_); }

void GrowableBlock::growTo(size_t bytes) {
  if (bytes <= size_) return;
  if (bytes > capacity_) raise(texts::kOutOfMemory);
  if (bytes > committed_) {
    size_t want = std::min(capacity_, roundUp(std::max(bytes, committed_ * 2), kGranule));
    LowArena::instance().commit(base_ + committed_, want - committed_);
    committed_ = want;
  }
  size_ = bytes;  // committed pages start as zero and the block never shrinks
}

}  // namespace kestrel::platform
