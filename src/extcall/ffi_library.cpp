#include "extcall/ffi_library.h"

#include <string>

#include "platform/plugin.h"
#include "state/errors.h"

namespace kestrel::extcall {

namespace {

FfiLibrary load() {
  FfiLibrary f;
  std::string error;
  const char* library = "libffi.so.8";
  auto symbol = [&](const char* name) {
    void* address = error.empty() ? platform::librarySymbol(library, name, error) : nullptr;
    if (address == nullptr && error.empty()) error = name;
    return address;
  };
  f.prepCif = reinterpret_cast<decltype(f.prepCif)>(symbol("ffi_prep_cif"));
  f.call = reinterpret_cast<decltype(f.call)>(symbol("ffi_call"));
  f.closureAlloc = reinterpret_cast<decltype(f.closureAlloc)>(symbol("ffi_closure_alloc"));
  f.prepClosureLoc = reinterpret_cast<decltype(f.prepClosureLoc)>(symbol("ffi_prep_closure_loc"));
  f.voidType = static_cast<ffi_type*>(symbol("ffi_type_void"));
  f.sint32 = static_cast<ffi_type*>(symbol("ffi_type_sint32"));
  f.uint32 = static_cast<ffi_type*>(symbol("ffi_type_uint32"));
  f.sint64 = static_cast<ffi_type*>(symbol("ffi_type_sint64"));
  f.pointer = static_cast<ffi_type*>(symbol("ffi_type_pointer"));
  f.floatType = static_cast<ffi_type*>(symbol("ffi_type_float"));
  f.doubleType = static_cast<ffi_type*>(symbol("ffi_type_double"));
  if (!error.empty()) raise("External calls are not available (" + error + ")");
  return f;
}

}  // namespace

const FfiLibrary& ffi() {
  static const FfiLibrary library = load();
  return library;
}

}  // namespace kestrel::extcall
