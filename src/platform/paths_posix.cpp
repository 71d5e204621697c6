#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <cctype>
#include <vector>

#include "platform/paths.h"

namespace kestrel::platform {

namespace {

bool exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// The entry of `folder` whose name equals `name` but for letter case.
bool findFolded(const std::string& folder, const std::string& name, std::string& found) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return false;
  bool ok = false;
  while (const dirent* entry = ::readdir(dir)) {
    if (::strcasecmp(entry->d_name, name.c_str()) == 0) {
      found = entry->d_name;
      ok = true;
      break;
    }
  }
  ::closedir(dir);
  return ok;
}

}  // namespace

std::string translatePath(std::string_view programPath) {
  std::string path(programPath);
  for (char& c : path)
    if (c == '\\') c = '/';
  if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
    path.erase(0, 2);
    if (path.empty()) return ".";
  }
  if (path.empty() || exists(path)) return path;

  // Walk the parts, replacing each missing one by a case-folded match.
  const bool absolute = path[0] == '/';
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    if (slash > start) parts.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  std::string built = absolute ? "/" : "";
  bool matching = true;
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    std::string candidate = built + part;
    if (matching && !exists(candidate) && part != "." && part != "..") {
      std::string folded;
      if (findFolded(built, part, folded)) candidate = built + folded;
      else matching = false;  // below a missing folder nothing can match
    }
    built = candidate;
    if (i + 1 < parts.size() || path.back() == '/') built += '/';
  }
  return built;
}

}  // namespace kestrel::platform
