#include "extcall/callbacks.h"

#include <sys/mman.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>

#include "console/console.h"
#include "extcall/external_state.h"
#include "extcall/marshaller.h"
#include "extcall/ffi_library.h"
#include "core/machine.h"
#include "core/run_end.h"
#include "platform/fault_guard.h"

namespace kestrel::extcall {

namespace {

// The machine whose handlers the stubs run, and the thread it runs on.
Machine* owner = nullptr;
std::thread::id ownerThread;

void reportStubError(Machine* m, const char* text) {
  if (m != nullptr) m->out.flush();
  std::fprintf(stderr, "kestrel: error in a call-back: %s\n", text);
  std::fflush(stderr);
}

// The value a stub returns: the handler result truncated, kept whole when
// it is an integer too large for 32 bits (a pointer).
int64_t stubResult(double v) {
  const double t = std::trunc(v);
  if (!(t >= -9223372036854775808.0 && t < 9223372036854775808.0)) raiseInvalidFloatOp();
  return static_cast<int64_t>(t);
}

// Runs every handler of one arity; returns the truncated result.
int64_t runHandlers(Machine& m, int arity, const int64_t* args) {
  const std::vector<int32_t>& list = stateOf(m).callbacks.entries[static_cast<size_t>(arity)];
  // Handlers registered while these run are run from the next call on.
  const size_t count = list.size();
  for (size_t h = 0; h < count; ++h) {
    const int32_t depth = m.frames.depth;
    const int32_t position = m.pos;
    const size_t loopTop = m.ctl.loopTop;
    const int32_t loopNesting = m.ctl.loopNesting;
    try {
      m.frames.ensure(depth);
      for (int i = 0; i < arity; ++i) m.frames.number(depth, i) = registerValue(static_cast<uint64_t>(args[i]));
      m.runProcedure(list[h], position);
    } catch (...) {
      // Put the interpreter back where the call-back found it.
      m.frames.depth = depth;
      m.ctl.loopTop = loopTop;
      m.ctl.loopNesting = loopNesting;
      m.pos = position;
      throw;
    }
  }
  return stubResult(m.results.number);
}

void stubEntry(ffi_cif*, void* ret, void** args, void* data) {
  const int arity = static_cast<int>(reinterpret_cast<intptr_t>(data));
  int64_t values[kMaxCallbackArity] = {};
  for (int i = 0; i < arity; ++i) std::memcpy(&values[i], args[i], sizeof(int64_t));
  int64_t result = 0;
  Machine* m = owner;
  if (m == nullptr) {
    reportStubError(nullptr, "no program is running");
  } else if (std::this_thread::get_id() != ownerThread) {
    reportStubError(m, "called from another thread; ignored");
  } else {
    // A fault in the handlers' own work is not the calling library's.
    platform::UnguardedScope ours;
    try {
      result = runHandlers(*m, arity, values);
    } catch (const RuntimeError& e) {
      reportStubError(m, e.what());
    } catch (const ProgramEnd& end) {
      // The end statement ends the program at once, also from here, the
      // way it does at the top level.
      endRunFromCallback(*m, end.status);
    } catch (const std::bad_alloc&) {
      reportStubError(m, texts::kOutOfMemory);
    } catch (...) {
      reportStubError(m, "the handler was stopped");
    }
  }
  const ffi_arg out = static_cast<ffi_arg>(result);
  std::memcpy(ret, &out, sizeof out);
}

// One libffi closure per arity, each reached through a jump placed below
// 2 GiB, so that the stub's address fits the 32-bit variables programs
// keep it in.
class Stubs {
 public:
  static Stubs& instance() {
    static Stubs stubs;
    return stubs;
  }
  uint64_t address(int arity) const { return entries_[static_cast<size_t>(arity)]; }

 private:
  Stubs() {
    for (ffi_type*& t : argTypes_) t = ffi().sint64;
    for (int a = 0; a <= kMaxCallbackArity; ++a) {
      void* code = nullptr;
      auto* closure = static_cast<ffi_closure*>(ffi().closureAlloc(sizeof(ffi_closure), &code));
      if (closure == nullptr ||
          ffi().prepCif(&cifs_[a], FFI_DEFAULT_ABI, static_cast<unsigned>(a), ffi().sint64, argTypes_) != FFI_OK ||
          ffi().prepClosureLoc(closure, &cifs_[a], stubEntry, reinterpret_cast<void*>(static_cast<intptr_t>(a)),
                               code) != FFI_OK) {
        continue;
      }
      entries_[static_cast<size_t>(a)] = reinterpret_cast<uint64_t>(code);
    }
    placeLowJumps();
  }

  // movabs r11, target; jmp r11 (r11 carries no argument).
  void placeLowJumps() {
    constexpr size_t kJumpSize = 32;
    void* page = mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
    if (page == MAP_FAILED) return;
    if (reinterpret_cast<uint64_t>(page) + 4096 > (uint64_t{1} << 31)) {
      munmap(page, 4096);
      return;
    }
    auto* bytes = static_cast<unsigned char*>(page);
    uint64_t low[kMaxCallbackArity + 1] = {};
    for (int a = 0; a <= kMaxCallbackArity; ++a) {
      const uint64_t target = entries_[static_cast<size_t>(a)];
      if (target == 0) continue;
      unsigned char* at = bytes + static_cast<size_t>(a) * kJumpSize;
      const unsigned char code[] = {0xF3, 0x0F, 0x1E, 0xFA,  // endbr64
                                    0x49, 0xBB, 0, 0, 0, 0, 0, 0, 0, 0,  // movabs r11, target
                                    0x41, 0xFF, 0xE3};                   // jmp r11
      std::memcpy(at, code, sizeof code);
      std::memcpy(at + 6, &target, sizeof target);
      low[a] = reinterpret_cast<uint64_t>(at);
    }
    if (mprotect(page, 4096, PROT_READ | PROT_EXEC) != 0) {
      munmap(page, 4096);
      return;
    }
    for (int a = 0; a <= kMaxCallbackArity; ++a)
      if (low[a] != 0) entries_[static_cast<size_t>(a)] = low[a];
  }

  ffi_cif cifs_[kMaxCallbackArity + 1]{};
  ffi_type* argTypes_[kMaxCallbackArity]{};
  std::array<uint64_t, kMaxCallbackArity + 1> entries_{};
};

}  // namespace

uint64_t registerCallback(Machine& m, int32_t entry, int arity) {
  if (arity < 0 || arity > kMaxCallbackArity) return 0;
  std::vector<int32_t>& list = stateOf(m).callbacks.entries[static_cast<size_t>(arity)];
  if (std::find(list.begin(), list.end(), entry) == list.end()) list.push_back(entry);
  owner = &m;
  ownerThread = std::this_thread::get_id();
  return Stubs::instance().address(arity);
}

void releaseCallbacks(Machine& m) {
  if (owner == &m) owner = nullptr;
}

}  // namespace kestrel::extcall
