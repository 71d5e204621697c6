#pragma once
// Procedure frames and the control stacks: parameter slots per call depth,
// return positions, counted loops, subroutine returns, selection levels,
// open argument lists and the function result registers.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "state/errors.h"
#include "state/str.h"

namespace kestrel {

inline constexpr int kSlotsPerFrame = 11;

struct ByRefSlot {
  uint8_t kind = 0;
  int32_t index = 0;  // wider than the 16 bits of the byte code: element numbers can be larger
};

class Frames {
 public:
  Frames();
  int32_t depth = 0;  // 0 outside any procedure

  // Reserves the numeric and by-reference slots of depths 0 to `maxDepth` at
  // once (committed as they are used), so that their addresses never move:
  // the fast path keeps pointers to them. Deeper frames are a stack overflow.
  void reserve(int32_t maxDepth);

  // Makes sure frame `d` exists (all three sorts of slots).
  void ensure(int32_t d) {
    if (d < 0) [[unlikely]] raiseDepth(d);
    size_t need = (static_cast<size_t>(d) + 1) * kSlotsPerFrame;
    if (numeric_.size() < need) [[unlikely]] grow(need);
  }
  double& number(int32_t d, int slot) { return numeric_[index(d, slot)]; }
  Str& text(int32_t d, int slot) { return strings_[index(d, slot)]; }
  ByRefSlot& byRef(int32_t d, int slot) { return byRef_[index(d, slot)]; }

  // The eleven numeric slots of frame `d` (valid until a deeper frame grows
  // the stores).
  double* numbers(int32_t d) {
    ensure(d);
    return &numeric_[static_cast<size_t>(d) * kSlotsPerFrame];
  }

  ByRefSlot* references(int32_t d) {
    ensure(d);
    return &byRef_[static_cast<size_t>(d) * kSlotsPerFrame];
  }

  // The same for a frame known to exist (`ensure` has made it).
  double* numbersOf(int32_t d) { return numeric_.data() + static_cast<size_t>(d) * kSlotsPerFrame; }
  ByRefSlot* referencesOf(int32_t d) { return byRef_.data() + static_cast<size_t>(d) * kSlotsPerFrame; }

  // The current frame of a procedure body is depth - 1.
  int32_t current() const { return depth - 1; }

 private:
  size_t index(int32_t d, int slot) {
    if (slot < 0 || slot >= kSlotsPerFrame) [[unlikely]] raiseSlot(slot);
    ensure(d);
    return static_cast<size_t>(d) * kSlotsPerFrame + static_cast<size_t>(slot);
  }
  void grow(size_t need);
  [[noreturn]] static void raiseSlot(int slot);
  [[noreturn]] static void raiseDepth(int32_t d);

  size_t reserved_ = 0;  // slots whose addresses never move
  std::vector<double> numeric_;
  std::vector<Str> strings_;
  std::vector<ByRefSlot> byRef_;
};

struct LoopRecord {
  uint8_t marker = 1;
  uint8_t kind = 0;
  int16_t index = 0;
  double limit = 0;
  double step = 0;
  // A loop on a 32-bit integer variable whose step and limit are 32-bit
  // integers too (the fast path's counted loop): the variable's address, the
  // rounded step and the last value that runs the body (counting up) or the
  // first (counting down). Null `counted` for every other loop.
  uint8_t* counted = nullptr;
  int32_t countStep = 0;
  int32_t countLimit = 0;
};

struct SelectionLevel {
  Str text;
  double number = 0;
  uint8_t mode = 0;  // 1 string selector, 0 numeric
};

inline constexpr int kSubroutineStackSize = 101;
inline constexpr int kSelectionLevels = 11;
inline constexpr int kOpenArgCapacity = 256;  // elements 1 to 255 are used

struct ControlStacks {
  // Return positions, written at the depth of the call that made them, and
  // the entry positions of the procedures called (for the post-mortem and
  // the profile).
  std::vector<int32_t> returnPositions;
  std::vector<int32_t> callEntries;
  void setReturnPosition(int32_t d, int32_t position, int32_t entry) {
    if (d < 0) return;
    if (returnPositions.size() <= static_cast<size_t>(d)) {
      returnPositions.resize(static_cast<size_t>(d) + 16);
      callEntries.resize(static_cast<size_t>(d) + 16);
    }
    returnPositions[static_cast<size_t>(d)] = position;
    callEntries[static_cast<size_t>(d)] = entry;
  }

  std::vector<LoopRecord> loops;  // records below loopTop are live
  size_t loopTop = 0;
  int32_t loopNesting = 0;

  std::array<int32_t, kSubroutineStackSize> subroutines{};
  int32_t subroutineCount = 0;
  bool subroutineEverCalled = false;

  std::array<SelectionLevel, kSelectionLevels> selections;
  int32_t selectionLevel = 0;

  int32_t openNumberCount = 0;
  int32_t openStringCount = 0;
  std::array<double, kOpenArgCapacity> openNumbers{};
  std::array<Str, kOpenArgCapacity> openStrings;
};

struct ResultRegisters {
  double number = 0;        // numeric function result
  Str text;                 // string function result
  uint8_t variantIsString = 0;
  // Result slots B and C with their shared mode byte (1 string, 0 number).
  Str slotBText, slotCText;
  double slotBNumber = 0, slotCNumber = 0;
  uint8_t slotMode = 0;
};

}  // namespace kestrel
