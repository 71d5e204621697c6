#pragma once
// libffi, loaded on the first external call or call-back rather than with
// the program, so that programs that make none never load it.
#include <ffi.h>

namespace kestrel::extcall {

struct FfiLibrary {
  decltype(&::ffi_prep_cif) prepCif = nullptr;
  decltype(&::ffi_call) call = nullptr;
  decltype(&::ffi_closure_alloc) closureAlloc = nullptr;
  decltype(&::ffi_prep_closure_loc) prepClosureLoc = nullptr;
  ffi_type* voidType = nullptr;
  ffi_type* sint32 = nullptr;
  ffi_type* uint32 = nullptr;
  ffi_type* sint64 = nullptr;
  ffi_type* pointer = nullptr;
  ffi_type* floatType = nullptr;
  ffi_type* doubleType = nullptr;
};

// The library, loaded on first use; a run-time error when it cannot be.
const FfiLibrary& ffi();

}  // namespace kestrel::extcall
