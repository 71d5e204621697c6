#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "platform/directory_listing.h"

namespace kestrel::platform {

namespace {

// What an entry is, from the directory's own note where it has one, else
// from the file system. Read-only: no write permission bit at all (so even
// the superuser sees it), or none that lets this process write.
void classify(const std::string& full, unsigned char type, DirectoryEntry& e) {
  struct stat st;
  bool known = false;
  if (type == DT_LNK || type == DT_UNKNOWN) {
    if (lstat(full.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
      e.link = true;
      known = stat(full.c_str(), &st) == 0;
    } else {
      known = type == DT_UNKNOWN && lstat(full.c_str(), &st) == 0;
    }
  } else {
    known = stat(full.c_str(), &st) == 0;
  }
  if (!known) return;
  e.directory = S_ISDIR(st.st_mode);
  e.system = !S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode);
  e.readOnly = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || access(full.c_str(), W_OK) != 0;
}

}  // namespace

bool listDirectory(const std::string& folder, std::vector<DirectoryEntry>& entries, bool foldersOnly) {
  entries.clear();
  DIR* dir = opendir(folder.empty() ? "/" : folder.c_str());
  if (dir == nullptr) return false;
  while (const dirent* d = readdir(dir)) {
    const std::string name = d->d_name;
    if (name == "." || name == "..") continue;
    if (foldersOnly && d->d_type != DT_DIR && d->d_type != DT_LNK && d->d_type != DT_UNKNOWN) continue;
    DirectoryEntry e;
    e.name = name;
    e.hidden = name[0] == '.';
    classify(joinPath(folder, name), d->d_type, e);
    if (foldersOnly && !e.directory) continue;
    entries.push_back(std::move(e));
  }
  closedir(dir);
  return true;
}

std::string currentDirectory() {
  char buffer[PATH_MAX];
  if (getcwd(buffer, sizeof buffer) == nullptr) return "/";
  return buffer;
}

std::string absolutePath(std::string_view path, std::string_view base) {
  std::vector<std::string_view> parts;
  auto take = [&parts](std::string_view text) {
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find('/', start);
      if (end == std::string_view::npos) end = text.size();
      const std::string_view part = text.substr(start, end - start);
      if (part == "..") {
        if (!parts.empty()) parts.pop_back();
      } else if (!part.empty() && part != ".") {
        parts.push_back(part);
      }
      start = end + 1;
    }
  };
  if (path.empty() || path[0] != '/') take(base);
  take(path);
  std::string out;
  for (std::string_view part : parts) {
    out += '/';
    out += part;
  }
  return out.empty() ? "/" : out;
}

std::string parentPath(std::string_view path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string_view::npos || slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

std::string joinPath(std::string_view folder, std::string_view name) {
  std::string out(folder);
  if (out.empty() || out.back() != '/') out += '/';
  out += name;
  return out;
}

}  // namespace kestrel::platform
