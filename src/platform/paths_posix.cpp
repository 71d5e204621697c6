#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <vector>

#include "platform/paths.h"

namespace kestrel::platform {

namespace {

bool exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// The entry of `folder` whose name equals `name` apart from case; empty
// when there is none.
std::string caseInsensitiveEntry(const std::string& folder, std::string_view name) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return {};
  std::string found;
  while (const dirent* e = readdir(dir)) {
    if (equalsIgnoringCase(e->d_name, name)) {
      found = e->d_name;
      break;
    }
  }
  closedir(dir);
  return found;
}

}  // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string windowsToPosixPath(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
    path.remove_prefix(2);
    if (path.empty()) return ".";  // a drive alone is the current directory
  }
  std::string out(path);
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

std::string translatePath(std::string_view windowsPath) {
  std::string path = windowsToPosixPath(windowsPath);
  if (path.empty() || exists(path)) return path;

  // Walk the parts; `resolved` is the folder found so far (with its slash).
  std::string resolved;
  size_t at = 0;
  if (path[0] == '/') {
    resolved = "/";
    at = 1;
  }
  bool matching = true;
  while (at <= path.size()) {
    size_t slash = path.find('/', at);
    if (slash == std::string::npos) slash = path.size();
    const std::string_view part(path.data() + at, slash - at);
    std::string piece(part);
    if (matching && !part.empty() && part != "." && part != "..") {
      if (!exists(resolved + piece)) {
        std::string match = caseInsensitiveEntry(resolved, part);
        if (match.empty()) matching = false;
        else piece = match;
      }
    }
    resolved += piece;
    if (slash < path.size()) resolved += '/';
    at = slash + 1;
  }
  return resolved;
}

std::string configFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return xdg;
  std::string home;
  if (const char* h = std::getenv("HOME"); h != nullptr && h[0] != 0) {
    home = h;
  } else {
    // Without HOME (a service, env -i) the password database knows the home.
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr && found->pw_dir[0] == '/')
      home = found->pw_dir;
  }
  return home.empty() ? std::string() : home + "/.config";
}

}  // namespace kestrel::platform
