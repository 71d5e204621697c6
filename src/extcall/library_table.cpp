#include "extcall/library_table.h"

#include <dlfcn.h>
#include <link.h>

#include "extcall/builtin_modules/builtin_module.h"

namespace kestrel::extcall {

namespace {

// Handles the program sees: distinct, nonzero and below 2 GiB, so that they
// fit the 32-bit variables programs keep them in.
constexpr uint64_t kFirstHandle = 0x70000000;
constexpr uint64_t kHandleStep = 0x10000;
constexpr uint32_t kHandleCount = 0x0FFF;

bool endsWithDll(std::string_view name) {
  return name.size() > 4 && upperCase(name.substr(name.size() - 4)) == ".DLL";
}

// Windows spellings of a file name: backslashes become slashes and a drive
// letter goes.
std::string hostSpelling(std::string_view name) {
  std::string s(name);
  for (char& c : s)
    if (c == '\\') c = '/';
  if (s.size() >= 2 && s[1] == ':' && ((s[0] >= 'A' && s[0] <= 'Z') || (s[0] >= 'a' && s[0] <= 'z'))) s.erase(0, 2);
  return s;
}

}  // namespace

std::string upperCase(std::string_view text) {
  std::string s(text);
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}

LibraryTable::LibraryTable(std::string programFolder, bool disabled)
    : programFolder_(std::move(programFolder)), disabled_(disabled) {}

LibraryTable::~LibraryTable() {
  for (auto& entry : entries_)
    if (entry->loaded()) free(*entry);
}

std::shared_ptr<LibraryEntry> LibraryTable::find(std::string_view name) const {
  const std::string upper = upperCase(name);
  for (const auto& entry : entries_)
    if (entry->upperName == upper) return entry;
  return nullptr;
}

std::shared_ptr<LibraryEntry> LibraryTable::use(std::string_view name) {
  std::shared_ptr<LibraryEntry> entry = find(name);
  if (!entry) {
    entry = std::make_shared<LibraryEntry>();
    entry->upperName = upperCase(name);
    entry->name = std::string(name);
    entries_.push_back(entry);
    load(*entry);
  } else if (entry->released) {
    entry->released = false;
    load(*entry);
  }
  return entry;
}

void LibraryTable::forget(std::string_view name) {
  const std::string upper = upperCase(name);
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if ((*it)->upperName == upper) {
      entries_.erase(it);
      return;
    }
  }
}

void LibraryTable::load(LibraryEntry& entry) {
  entry.handle = 0;
  entry.module = nullptr;
  entry.builtin = nullptr;
  if (disabled_) return;
  if (const BuiltinModule* builtin = builtinModule(entry.name)) {
    entry.builtin = builtin;
  } else {
    const std::string given = hostSpelling(entry.name);
    std::vector<std::string> names{given};
    if (given.find('/') == std::string::npos) {
      std::string stem = given;
      if (endsWithDll(stem)) stem.resize(stem.size() - 4);
      names.push_back("lib" + stem + ".so");
      names.push_back(stem + ".so");
    }
    for (const std::string& candidate : names) {
      entry.module = open(candidate);
      if (entry.module != nullptr) break;
    }
    if (entry.module == nullptr) return;
  }
  entry.handle = kFirstHandle + kHandleStep * (nextHandle_++ % kHandleCount);
}

// The program's own folder first, then the dynamic loader's search.
void* LibraryTable::open(const std::string& name) const {
  if (name.empty()) return nullptr;
  if (name.find('/') == std::string::npos && !programFolder_.empty()) {
    if (void* module = dlopen((programFolder_ + "/" + name).c_str(), RTLD_NOW | RTLD_LOCAL)) return module;
  }
  return dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* LibraryTable::function(const LibraryEntry& entry, const std::string& name) const {
  if (!entry.loaded()) return nullptr;
  if (entry.builtin != nullptr) return builtinFunction(*entry.builtin, name);
  return dlsym(entry.module, name.c_str());
}

std::string LibraryTable::fileOf(uint64_t handle) const {
  for (const auto& entry : entries_) {
    if (!entry->loaded() || entry->handle != handle) continue;
    if (entry->builtin != nullptr) return std::string(entry->builtin->name) + ".dll";
    link_map* map = nullptr;
    if (dlinfo(entry->module, RTLD_DI_LINKMAP, &map) == 0 && map != nullptr && map->l_name != nullptr)
      return map->l_name;
  }
  return {};
}

void LibraryTable::free(LibraryEntry& entry) {
  if (entry.module != nullptr) dlclose(entry.module);
  entry.module = nullptr;
}

void LibraryTable::release(LibraryEntry& entry) {
  if (!entry.loaded()) return;
  if (entry.activeCalls > 0) {
    entry.releaseWhenIdle = true;
    return;
  }
  free(entry);
  entry.released = true;
}

void LibraryTable::endCall(LibraryEntry& entry) {
  if (--entry.activeCalls == 0 && entry.releaseWhenIdle) {
    entry.releaseWhenIdle = false;
    release(entry);
  }
}

}  // namespace kestrel::extcall
