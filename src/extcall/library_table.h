#pragma once
// The loaded-library table: one entry per library name (compared upper
// case), in the order the names were first used. A library that fails to
// load keeps an entry with handle 0, so later calls report it missing without
// trying again.
//
// A library released after a call-and-release statement keeps its entry; the
// next call that names it loads it again, and shutdown skips it, so a library
// is never released twice. A release asked for while a call into that
// library is still running (from a call-back) waits until the call returns.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::extcall {

struct BuiltinModule;

struct LibraryEntry {
  std::string upperName;
  std::string name;             // as the program first gave it
  uint64_t handle = 0;          // what the program sees; 0 when loading failed
  void* module = nullptr;       // the dynamic loader's handle
  const BuiltinModule* builtin = nullptr;
  bool released = false;        // freed by a call-and-release statement
  int activeCalls = 0;
  bool releaseWhenIdle = false;

  bool loaded() const { return handle != 0 && !released; }
};

class LibraryTable {
 public:
  // `programFolder` is searched first; with `disabled` nothing loads.
  LibraryTable(std::string programFolder, bool disabled);
  ~LibraryTable();  // frees the loaded libraries in table order
  LibraryTable(const LibraryTable&) = delete;
  LibraryTable& operator=(const LibraryTable&) = delete;

  // The entry for `name`: added (and loaded) on first use; a released entry
  // is loaded again.
  std::shared_ptr<LibraryEntry> use(std::string_view name);
  // The entry for `name` if there is one; never loads.
  std::shared_ptr<LibraryEntry> find(std::string_view name) const;
  // Removes the entry without freeing its library.
  void forget(std::string_view name);
  // An export of a loaded library, or nullptr.
  void* function(const LibraryEntry& entry, const std::string& name) const;
  // The file behind a loaded library's handle ("" when none).
  std::string fileOf(uint64_t handle) const;
  // Frees the library once (deferred while a call into it runs).
  void release(LibraryEntry& entry);
  // Call bookkeeping for the deferred release.
  void beginCall(LibraryEntry& entry) { ++entry.activeCalls; }
  void endCall(LibraryEntry& entry);

  size_t size() const { return entries_.size(); }

 private:
  void load(LibraryEntry& entry);
  void* open(const std::string& name) const;
  void free(LibraryEntry& entry);

  std::string programFolder_;
  bool disabled_;
  uint32_t nextHandle_ = 0;
  std::vector<std::shared_ptr<LibraryEntry>> entries_;
};

std::string upperCase(std::string_view text);

}  // namespace kestrel::extcall
