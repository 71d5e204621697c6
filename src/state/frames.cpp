#include "state/frames.h"

namespace kestrel {

namespace {
// Frames exist for the first 50 slots' worth of depths from the start, as the
// run-time has always had them; deeper calls grow all three stores together.
constexpr size_t kInitialSlots = 55;
}  // namespace

Frames::Frames() { grow(kInitialSlots); }

void Frames::reserve(int32_t maxDepth) {
  reserved_ = (static_cast<size_t>(std::max(maxDepth, 0)) + 2) * kSlotsPerFrame + 12;
  numeric_.reserve(reserved_);
  byRef_.reserve(reserved_);
}

void Frames::grow(size_t need) {
  size_t n = std::max(need + 12, numeric_.size());
  if (reserved_ != 0 && n > reserved_) raise(texts::kStackOverflow);
  numeric_.resize(n, 0.0);
  strings_.resize(n);
  byRef_.resize(n);
}

void Frames::raiseSlot(int slot) { raise("Parameter slot out of range (" + std::to_string(slot) + ")"); }

void Frames::raiseDepth(int32_t d) { raise("Call depth out of range (" + std::to_string(d) + ")"); }

}  // namespace kestrel
