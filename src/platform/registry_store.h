#pragma once
// The persistent registry: a tree of keys per root, each key holding named
// values of string, integer or binary type. Each root is one text file
// under $XDG_CONFIG_HOME/kestrel/registry/ (~/.config when the variable is
// unset), rewritten whole on every change through a temporary file and a
// rename, so a crash leaves either the old or the new content, never a mix.
// Names of keys and values compare without regard to letter case and keep
// the case they were created with. Key paths use backslashes; a leading
// backslash is ignored here (relative paths are resolved by the caller).
#include <cstdint>
#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

namespace kestrel::platform {

struct RegistryValue {
  // The numbers are the data types that programs read back.
  enum Type : int { kString = 1, kExpandString = 2, kInteger = 3, kBinary = 4 };
  Type type = kString;
  std::string text;    // string types
  int32_t integer = 0;
  std::vector<uint8_t> bytes;  // binary
};

class RegistryStore {
 public:
  // Files live in `folder`; an empty folder keeps everything in memory.
  explicit RegistryStore(std::string folder);
  // The folder of the user's registry (from XDG_CONFIG_HOME or HOME).
  static std::string defaultFolder();
  // The file name of a predefined root key handle, or nullptr for none.
  static const char* rootName(uint32_t root);

  bool keyExists(uint32_t root, const std::string& path);
  bool createKey(uint32_t root, const std::string& path);  // with its parents
  bool deleteKey(uint32_t root, const std::string& path);  // with its subkeys
  // Copies a key and its subkeys to a new path that does not exist yet.
  bool copyKey(uint32_t root, const std::string& from, const std::string& to);
  std::vector<std::string> subKeys(uint32_t root, const std::string& path);
  std::vector<std::string> valueNames(uint32_t root, const std::string& path);

  // False when the key or value is missing.
  bool getValue(uint32_t root, const std::string& path, const std::string& name, RegistryValue& out);
  bool setValue(uint32_t root, const std::string& path, const std::string& name, const RegistryValue& value);
  bool deleteValue(uint32_t root, const std::string& path, const std::string& name);
  bool renameValue(uint32_t root, const std::string& path, const std::string& from, const std::string& to);

  // The text form of one root (what its file holds) and its reader.
  struct CaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
  };
  struct Key {
    std::string name;  // full path as created
    std::vector<std::pair<std::string, RegistryValue>> values;
  };
  using Root = std::map<std::string, Key, CaseLess>;  // by full path; "" is the root itself
  static std::string serialize(const Root& root);
  static bool parse(const std::string& text, Root& root);

 private:
  struct Loaded {
    Root keys;
    bool known = false;
    // What the file was when last read, to notice other programs' changes.
    int64_t mtime = -1;
    int64_t size = -1;
    ino_t inode = 0;
  };
  // Locks the registry's folder while a change is made, so that programs
  // writing the same root at once do not lose each other's changes (the
  // folder itself is locked: no lock file is left behind).
  class ChangeLock {
   public:
    explicit ChangeLock(const std::string& path);
    ~ChangeLock();
    ChangeLock(const ChangeLock&) = delete;
    ChangeLock& operator=(const ChangeLock&) = delete;

   private:
    int fd_ = -1;
  };
  // Brings the root up to date with its file; nullptr for an unknown root.
  Root* load(uint32_t root);
  // The folder to lock for a change of a root ("" when nothing is kept in files).
  std::string lockPath(uint32_t root) const;
  // Writes the root out atomically; false when that fails.
  bool save(uint32_t root);
  std::string filePath(uint32_t root) const;

  std::string folder_;
  std::map<uint32_t, Loaded> roots_;
};

// Normalises a key path: backslash-separated parts, no empty parts.
std::string normalizeKeyPath(const std::string& path);

}  // namespace kestrel::platform
