#pragma once
// Directory searches with Windows wildcards and attribute bits: the search
// behind the find-first and find-next functions.
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::platform {

// The Windows attribute bits as this system gives them: read-only when the
// owner may not write, hidden for names that start with a dot, system for
// entries that are neither files nor folders (devices, pipes, sockets),
// directory, and archive for every plain file. Volume is never set.
enum FileAttribute : int {
  kAttrReadOnly = 1,
  kAttrHidden = 2,
  kAttrSystem = 4,
  kAttrVolume = 8,
  kAttrDirectory = 16,
  kAttrArchive = 32,
};

struct FoundFile {
  bool valid = false;     // false until a search found something
  std::string name;
  std::string shortName;  // the 8.3 alias, empty when the name already fits 8.3
  uint64_t size = 0;
  int attributes = 0;
  time_t modified = 0;    // last write, seconds since the epoch
};

// `*` matches any run of characters, `?` one character, letters match
// either case; a pattern ending in ".*" also matches names without a dot
// ("*.*" matches everything).
bool wildcardMatch(std::string_view pattern, std::string_view name);

// The 8.3 alias of `name`: empty when it fits 8.3 already, else up to six
// characters, "~N" and up to three characters of the extension, upper case.
std::string shortNameOf(std::string_view name, int number);

// The date and time of `t` in local time packed as the old directory entries
// held them: date in the high 16 bits (year - 1980, month, day), time in the
// low 16 (hours, minutes, seconds / 2). 0 for dates before 1980.
int32_t packedDateTime(time_t t);

class FileSearch {
 public:
  // Starts a search: `pattern` is a (Windows-style) path whose last part may
  // hold wildcards; `mask` selects which hidden, system, volume and directory
  // entries are returned besides plain files. Returns false when nothing
  // matches (the search is then closed).
  bool first(std::string_view pattern, int mask);
  bool next();
  // The entry found last (kept after the search ends).
  const FoundFile& found() const { return record_; }

 private:
  std::vector<FoundFile> matches_;
  size_t next_ = 0;
  FoundFile record_;
};

}  // namespace kestrel::platform
