#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/file_search.h"
#include "platform/paths.h"

namespace kestrel::platform {

namespace {

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }
char upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool matchFrom(std::string_view p, std::string_view n) {
  // Iterative matching with one backtracking point for the last star.
  size_t pi = 0, ni = 0, starP = std::string_view::npos, starN = 0;
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == '?' || lower(p[pi]) == lower(n[ni]))) {
      ++pi, ++ni;
    } else if (pi < p.size() && p[pi] == '*') {
      starP = pi++;
      starN = ni;
    } else if (starP != std::string_view::npos) {
      pi = starP + 1;
      ni = ++starN;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

bool fitsEightThree(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  const size_t dot = name.find('.');
  if (dot != name.rfind('.') || dot == 0) return false;
  const std::string_view base = name.substr(0, std::min(dot, name.size()));
  const std::string_view ext = dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
  if (base.size() > 8 || ext.size() > 3 || (dot != std::string_view::npos && ext.empty())) return false;
  for (char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 32 || u >= 127 || std::strchr("\"*+,/:;<=>?[\\]|", c) != nullptr) return false;
  }
  return true;
}

// The alias characters of a part: upper case, invalid ones as underscores,
// blanks and dots left out.
std::string aliasPart(std::string_view part, size_t limit) {
  std::string out;
  for (char c : part) {
    if (out.size() == limit) break;
    const auto u = static_cast<unsigned char>(c);
    if (c == ' ' || c == '.') continue;
    if (u < 32 || u >= 127 || std::strchr("\"*+,/:;<=>?[\\]|", c) != nullptr) out += '_';
    else out += upper(c);
  }
  return out;
}

int attributesOf(const std::string& name, const struct stat& st) {
  int attr = 0;
  if (S_ISDIR(st.st_mode)) attr |= kAttrDirectory;
  else if (S_ISREG(st.st_mode)) attr |= kAttrArchive;
  else attr |= kAttrSystem;
  if (!S_ISDIR(st.st_mode) && (st.st_mode & S_IWUSR) == 0) attr |= kAttrReadOnly;
  if (name.size() > 1 && name[0] == '.' && name != "..") attr |= kAttrHidden;
  return attr;
}

// Windows lists names in upper-case order, with "." and ".." first.
bool listedBefore(const FoundFile& a, const FoundFile& b) {
  const size_t n = std::min(a.name.size(), b.name.size());
  for (size_t i = 0; i < n; ++i) {
    const char x = upper(a.name[i]), y = upper(b.name[i]);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  }
  if (a.name.size() != b.name.size()) return a.name.size() < b.name.size();
  return a.name < b.name;
}

}  // namespace

bool wildcardMatch(std::string_view pattern, std::string_view name) {
  if (matchFrom(pattern, name)) return true;
  if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
      name.find('.') == std::string_view::npos)
    return matchFrom(pattern.substr(0, pattern.size() - 2), name);
  return false;
}

std::string shortNameOf(std::string_view name, int number) {
  if (fitsEightThree(name) || name == "." || name == "..") return {};
  const size_t dot = name.rfind('.');
  const bool hasExt = dot != std::string_view::npos && dot > 0 && dot + 1 < name.size();
  const std::string_view base = hasExt ? name.substr(0, dot) : name;
  std::string tail = "~" + std::to_string(number);
  std::string alias = aliasPart(base, 8 - tail.size());
  if (alias.empty()) alias = "_";
  alias += tail;
  if (hasExt) {
    const std::string ext = aliasPart(name.substr(dot + 1), 3);
    if (!ext.empty()) alias += "." + ext;
  }
  return alias;
}

int32_t packedDateTime(time_t t) {
  struct tm local;
  if (localtime_r(&t, &local) == nullptr || local.tm_year < 80) return 0;
  const uint32_t date = static_cast<uint32_t>(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
  const uint32_t time = static_cast<uint32_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
  return static_cast<int32_t>(date << 16 | time);
}

bool FileSearch::first(std::string_view pattern, int mask) {
  matches_.clear();
  next_ = 0;
  std::string path = windowsToPosixPath(pattern);
  const size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string namePattern = slash == std::string::npos ? path : path.substr(slash + 1);
  if (!folder.empty()) folder = translatePath(folder);
  if (namePattern.empty()) return false;

  const int excluded = ~mask & (kAttrHidden | kAttrSystem | kAttrVolume | kAttrDirectory);
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return false;
  std::vector<std::string> names;
  while (const dirent* e = readdir(dir)) {
    const std::string name = e->d_name;
    if ((name == "." || name == "..") && (folder == "/" || folder == "//")) continue;
    if (wildcardMatch(namePattern, name)) names.push_back(name);
  }
  closedir(dir);
  for (const std::string& name : names) {
    struct stat st;
    const std::string full = (folder.empty() ? std::string() : folder) + name;
    if (stat(full.c_str(), &st) != 0 && lstat(full.c_str(), &st) != 0) continue;
    FoundFile f;
    f.valid = true;
    f.name = name;
    f.attributes = attributesOf(name, st);
    if ((f.attributes & excluded) != 0) continue;
    f.size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
    f.modified = st.st_mtime;
    matches_.push_back(std::move(f));
  }
  std::sort(matches_.begin(), matches_.end(), listedBefore);
  // Aliases are numbered in listing order among names with the same stem.
  std::vector<std::string> stems;
  for (FoundFile& f : matches_) {
    const std::string first = shortNameOf(f.name, 1);
    if (first.empty()) continue;
    const int number = static_cast<int>(std::count(stems.begin(), stems.end(), first)) + 1;
    stems.push_back(first);
    f.shortName = shortNameOf(f.name, number);
  }
  return next();
}

bool FileSearch::next() {
  if (next_ >= matches_.size()) {
    matches_.clear();
    next_ = 0;
    return false;
  }
  record_ = matches_[next_++];
  return true;
}

}  // namespace kestrel::platform
