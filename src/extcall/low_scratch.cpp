#include "extcall/low_scratch.h"

#include <algorithm>
#include <cstring>

namespace kestrel::extcall {

namespace {
constexpr size_t kSharedCapacity = size_t{16} << 20;
constexpr size_t kAlignment = 16;
}  // namespace

LowScratch& LowScratch::instance() {
  static LowScratch scratch;
  return scratch;
}

// A small arena (a process with little address space) gets a smaller block.
LowScratch::LowScratch()
    : block_(std::make_unique<platform::GrowableBlock>(
          std::min(kSharedCapacity, std::max<size_t>(platform::LowArena::instance().size() / 8, 64 * 1024)))) {}

char* LowScratch::copy(std::string_view text) {
  const size_t need = text.size() + 1;
  const size_t start = (top_ + kAlignment - 1) / kAlignment * kAlignment;
  char* to = nullptr;
  if (start + need <= block_->capacity()) {
    block_->growTo(start + need);
    to = reinterpret_cast<char*>(block_->data() + start);
    top_ = start + need;
  } else {
    auto block = std::make_unique<platform::GrowableBlock>(need);
    block->growTo(need);
    to = reinterpret_cast<char*>(block->data());
    large_.push_back(std::move(block));
  }
  std::memcpy(to, text.data(), text.size());
  to[text.size()] = 0;
  return to;
}

void LowScratch::release(Mark mark) {
  while (large_.size() > mark.large) large_.pop_back();
  if (mark.top < top_) top_ = mark.top;
}

}  // namespace kestrel::extcall
