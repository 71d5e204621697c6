#pragma once
// Built-in modules: the common Windows system libraries (kernel32, user32,
// gdi32, winmm, shell32, advapi32) implemented by the run-time itself, each
// a table of export name -> C function. The functions are called through the
// same marshaller as any shared library, so they take and return plain C
// values with the Windows types' widths.
#include <cstddef>
#include <string_view>

namespace kestrel::extcall {

struct BuiltinFunction {
  const char* name;  // the export name, matched exactly
  void* address;
};

struct BuiltinModule {
  const char* name;  // lower case, without ".dll"
  const BuiltinFunction* functions;
  size_t count;
};

// The module a library name stands for ("USER32", "user32.dll",
// "C:\\Windows\\System32\\User32.DLL" ...), or nullptr.
const BuiltinModule* builtinModule(std::string_view libraryName);
// An export of a module, or nullptr.
void* builtinFunction(const BuiltinModule& module, std::string_view name);

extern const BuiltinModule kKernel32Module;
extern const BuiltinModule kUser32Module;
extern const BuiltinModule kGdi32Module;
extern const BuiltinModule kWinmmModule;
extern const BuiltinModule kShell32Module;
extern const BuiltinModule kAdvapi32Module;

}  // namespace kestrel::extcall

// Casts an implementation to the table's pointer type.
#define KESTREL_EXPORT(name) \
  { #name, reinterpret_cast<void*>(&name) }
