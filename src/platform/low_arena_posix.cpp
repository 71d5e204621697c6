#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>

#include "platform/low_arena.h"
#include "state/errors.h"

namespace kestrel::platform {

namespace {
constexpr size_t kGranule = 64 * 1024;
constexpr uint64_t kTwoGiB = uint64_t{1} << 31;

size_t roundUp(size_t n, size_t to) { return (n + to - 1) / to * to; }

// Reserved address space counts against a limit on the process's address
// space (ulimit -v) even before it is used: under one, the arena takes at
// most half of what is left, leaving the rest to the heap and the stack.
size_t largestReservation() {
  rlimit limit{};
  if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return SIZE_MAX;
  size_t used = 0;
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    unsigned long pages = 0;
    if (std::fscanf(statm, "%lu", &pages) == 1) used = pages * static_cast<size_t>(sysconf(_SC_PAGESIZE));
    std::fclose(statm);
  }
  const auto cap = static_cast<size_t>(limit.rlim_cur);
  return used < cap ? (cap - used) / 2 : 0;
}

// MAP_32BIT alone only serves a small window, so explicit address hints below
// 2 GiB are tried with decreasing sizes.
uint8_t* reserveLow(size_t& size) {
  const size_t sizes[] = {size_t{1536} << 20, size_t{1024} << 20, size_t{512} << 20, size_t{256} << 20,
                          size_t{128} << 20,  size_t{64} << 20,   size_t{32} << 20,  size_t{16} << 20,
                          size_t{8} << 20,    size_t{4} << 20};
  const uint64_t hints[] = {0x10000000, 0x20000000, 0x40000000, 0x08000000};
  const size_t largest = largestReservation();
  for (size_t want : sizes) {
    if (want > largest && want > sizes[std::size(sizes) - 1]) continue;
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
  // The smallest released range that fits, so large ranges stay whole.
  auto best = free_.end();
  for (auto it = free_.begin(); it != free_.end(); ++it)
    if (it->second >= bytes && (best == free_.end() || it->second < best->second)) best = it;
  uint8_t* p = nullptr;
  if (best != free_.end()) {
    p = best->first;
    const size_t left = best->second - bytes;
    free_.erase(best);
    if (left > 0) free_[p + bytes] = left;
  } else {
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
  auto next = free_.find(base + bytes);
  if (next != free_.end()) {
    bytes += next->second;
    free_.erase(next);
  }
  auto it = free_.lower_bound(base);
  if (it != free_.begin()) {
    auto prev = std::prev(it);
    if (prev->first + prev->second == base) {
      base = prev->first;
      bytes += prev->second;
      free_.erase(prev);
    }
  }
  if (base + bytes == base_ + used_) {
    used_ -= bytes;  // back to the untouched end
    return;
  }
  free_[base] = bytes;
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
