#include <cstring>

#include "extcall/builtin_modules/builtin_module.h"

namespace kestrel::extcall {

namespace {

const BuiltinModule* const kModules[] = {&kKernel32Module, &kUser32Module,  &kGdi32Module,
                                         &kWinmmModule,    &kShell32Module, &kAdvapi32Module};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
    if (x != b[i]) return false;
  }
  return true;
}

}  // namespace

const BuiltinModule* builtinModule(std::string_view name) {
  const size_t slash = name.find_last_of("/\\");
  if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
  if (name.size() > 4 && equalsIgnoringCase(name.substr(name.size() - 4), ".dll")) name.remove_suffix(4);
  for (const BuiltinModule* module : kModules)
    if (equalsIgnoringCase(name, module->name)) return module;
  return nullptr;
}

void* builtinFunction(const BuiltinModule& module, std::string_view name) {
  for (size_t i = 0; i < module.count; ++i)
    if (name == module.functions[i].name) return module.functions[i].address;
  return nullptr;
}

}  // namespace kestrel::extcall
