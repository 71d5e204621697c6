#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/paths.h"
#include "platform/registry_store.h"

namespace kestrel::platform {

namespace {

constexpr const char* kHeader = "kestrel registry 1";

// Names compare without regard to the case of ASCII letters, whatever the locale.
char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool startsWithFolded(const std::string& s, const std::string& prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (fold(s[i]) != fold(prefix[i])) return false;
  return true;
}

bool equalFolded(const std::string& a, const std::string& b) { return a.size() == b.size() && startsWithFolded(a, b); }

std::string quoted(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7f) {
      char buf[5];
      std::snprintf(buf, sizeof buf, "\\x%02x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = fold(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Reads the words and quoted strings of one line.
bool splitLine(const std::string& line, std::vector<std::string>& words) {
  words.clear();
  size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
      ++i;
      continue;
    }
    std::string word;
    if (line[i] == '"') {
      ++i;
      for (;;) {
        if (i >= line.size()) return false;
        const char c = line[i++];
        if (c == '"') break;
        if (c != '\\') {
          word += c;
          continue;
        }
        if (i >= line.size()) return false;
        const char e = line[i++];
        if (e == 'x') {
          if (i + 2 > line.size() || hexDigit(line[i]) < 0 || hexDigit(line[i + 1]) < 0) return false;
          word += static_cast<char>(hexDigit(line[i]) * 16 + hexDigit(line[i + 1]));
          i += 2;
        } else {
          word += e;
        }
      }
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') word += line[i++];
    }
    words.push_back(std::move(word));
  }
  return true;
}

std::string lastPart(const std::string& path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string join(const std::string& path, const std::string& part) { return path.empty() ? part : path + "\\" + part; }

bool makeFolders(const std::string& folder) {
  std::string built;
  size_t start = 0;
  while (start <= folder.size()) {
    size_t slash = folder.find('/', start);
    if (slash == std::string::npos) slash = folder.size();
    built = folder.substr(0, slash);
    if (!built.empty() && ::mkdir(built.c_str(), 0755) != 0 && errno != EEXIST) return false;
    start = slash + 1;
  }
  return true;
}

}  // namespace

RegistryStore::ChangeLock::ChangeLock(const std::string& path) {
  if (path.empty()) return;
  fd_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ >= 0) ::flock(fd_, LOCK_EX);
}

RegistryStore::ChangeLock::~ChangeLock() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

std::string RegistryStore::lockPath(uint32_t root) const {
  if (folder_.empty() || rootName(root) == nullptr || !makeFolders(folder_)) return "";
  return folder_;
}

bool RegistryStore::CaseLess::operator()(const std::string& a, const std::string& b) const {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned char x = static_cast<unsigned char>(fold(a[i]));
    const unsigned char y = static_cast<unsigned char>(fold(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

std::string normalizeKeyPath(const std::string& path) {
  std::string out;
  size_t start = 0;
  while (start <= path.size()) {
    size_t slash = path.find('\\', start);
    if (slash == std::string::npos) slash = path.size();
    if (slash > start) out = join(out, path.substr(start, slash - start));
    start = slash + 1;
  }
  return out;
}

RegistryStore::RegistryStore(std::string folder) : folder_(std::move(folder)) {}

std::string RegistryStore::defaultFolder() {
  const std::string base = configFolder();
  return base.empty() ? std::string() : base + "/kestrel/registry";
}

const char* RegistryStore::rootName(uint32_t root) {
  switch (root) {
    case 0x80000000u: return "classes_root";
    case 0x80000001u: return "current_user";
    case 0x80000002u: return "local_machine";
    case 0x80000003u: return "users";
    case 0x80000004u: return "performance_data";
    case 0x80000005u: return "current_config";
    case 0x80000006u: return "dyn_data";
    default: return nullptr;
  }
}

std::string RegistryStore::filePath(uint32_t root) const { return folder_ + "/" + rootName(root) + ".txt"; }

std::string RegistryStore::serialize(const Root& root) {
  std::string out = std::string(kHeader) + "\n";
  for (const auto& [path, key] : root) {
    if (path.empty() && key.values.empty()) continue;
    out += "key " + quoted(key.name) + "\n";
    for (const auto& [name, v] : key.values) {
      out += "value " + quoted(name) + " ";
      switch (v.type) {
        case RegistryValue::kInteger: out += "integer " + std::to_string(v.integer); break;
        case RegistryValue::kBinary: {
          out += "binary ";
          for (uint8_t b : v.bytes) {
            char buf[3];
            std::snprintf(buf, sizeof buf, "%02x", b);
            out += buf;
          }
          if (v.bytes.empty()) out += "-";
          break;
        }
        case RegistryValue::kExpandString: out += "expand " + quoted(v.text); break;
        default: out += "string " + quoted(v.text); break;
      }
      out += "\n";
    }
  }
  return out;
}

bool RegistryStore::parse(const std::string& text, Root& root) {
  root.clear();
  root[""] = Key{};
  Key* current = &root[""];
  size_t start = 0;
  std::vector<std::string> words;
  bool ok = true;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!splitLine(line, words)) {
      ok = false;
      continue;
    }
    if (words.empty()) continue;
    if (words[0] == "key" && words.size() == 2) {
      const std::string path = normalizeKeyPath(words[1]);
      Key& key = root[path];
      key.name = path;
      current = &key;
    } else if (words[0] == "value" && words.size() == 4) {
      RegistryValue v;
      if (words[2] == "integer") {
        v.type = RegistryValue::kInteger;
        v.integer = static_cast<int32_t>(std::strtol(words[3].c_str(), nullptr, 10));
      } else if (words[2] == "binary") {
        v.type = RegistryValue::kBinary;
        const std::string& hex = words[3];
        for (size_t i = 0; i + 1 < hex.size(); i += 2)
          if (hexDigit(hex[i]) >= 0 && hexDigit(hex[i + 1]) >= 0)
            v.bytes.push_back(static_cast<uint8_t>(hexDigit(hex[i]) * 16 + hexDigit(hex[i + 1])));
      } else if (words[2] == "expand") {
        v.type = RegistryValue::kExpandString;
        v.text = words[3];
      } else {
        v.type = RegistryValue::kString;
        v.text = words[3];
      }
      current->values.emplace_back(words[1], std::move(v));
    } else if (line != kHeader) {
      ok = false;
    }
  }
  // Every key's parents exist.
  std::vector<std::string> paths;
  for (const auto& entry : root) paths.push_back(entry.first);
  for (const std::string& path : paths) {
    std::string parent = path;
    while (!parent.empty()) {
      const size_t slash = parent.rfind('\\');
      parent = slash == std::string::npos ? "" : parent.substr(0, slash);
      Key& key = root[parent];
      if (key.name.empty()) key.name = parent;
    }
  }
  return ok;
}

RegistryStore::Root* RegistryStore::load(uint32_t root) {
  if (rootName(root) == nullptr) return nullptr;
  Loaded& loaded = roots_[root];
  if (folder_.empty()) {
    if (!loaded.known) {
      loaded.keys[""] = Key{};
      loaded.known = true;
    }
    return &loaded.keys;
  }
  const std::string path = filePath(root);
  struct stat st;
  const bool present = ::stat(path.c_str(), &st) == 0;
  const int64_t mtime = present ? static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec : -1;
  const int64_t size = present ? static_cast<int64_t>(st.st_size) : -1;
  const ino_t inode = present ? st.st_ino : 0;
  if (loaded.known && loaded.mtime == mtime && loaded.size == size && loaded.inode == inode) return &loaded.keys;
  std::string text;
  if (present) {
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
      char buf[65536];
      size_t got;
      while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, got);
      std::fclose(f);
    }
  }
  parse(text, loaded.keys);
  loaded.known = true;
  loaded.mtime = mtime;
  loaded.size = size;
  loaded.inode = inode;
  return &loaded.keys;
}

bool RegistryStore::save(uint32_t root) {
  if (folder_.empty()) return true;
  Loaded& loaded = roots_[root];
  if (!makeFolders(folder_)) return false;
  const std::string path = filePath(root);
  const std::string temp = path + ".tmp-" + std::to_string(::getpid());
  const std::string text = serialize(loaded.keys);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  const bool written = done == text.size() && ::fsync(fd) == 0;
  ::close(fd);
  if (!written || ::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) {
    loaded.mtime = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    loaded.size = static_cast<int64_t>(st.st_size);
    loaded.inode = st.st_ino;
  }
  return true;
}

bool RegistryStore::keyExists(uint32_t root, const std::string& path) {
  Root* keys = load(root);
  return keys != nullptr && keys->count(normalizeKeyPath(path)) != 0;
}

bool RegistryStore::createKey(uint32_t root, const std::string& path) {
  ChangeLock lock(lockPath(root));
  Root* keys = load(root);
  if (keys == nullptr) return false;
  const std::string full = normalizeKeyPath(path);
  if (keys->count(full)) return true;
  std::string built;
  size_t start = 0;
  while (start <= full.size()) {
    size_t slash = full.find('\\', start);
    if (slash == std::string::npos) slash = full.size();
    if (slash > start) {
      built = join(built, full.substr(start, slash - start));
      auto it = keys->find(built);
      if (it == keys->end()) (*keys)[built].name = built;
      else built = it->second.name;  // keep the case the parent was created with
    }
    start = slash + 1;
  }
  return save(root);
}

bool RegistryStore::deleteKey(uint32_t root, const std::string& path) {
  ChangeLock lock(lockPath(root));
  Root* keys = load(root);
  if (keys == nullptr) return false;
  const std::string full = normalizeKeyPath(path);
  if (full.empty() || !keys->count(full)) return false;
  keys->erase(full);
  const std::string prefix = full + "\\";
  for (auto it = keys->lower_bound(prefix); it != keys->end() && startsWithFolded(it->first, prefix);)
    it = keys->erase(it);
  return save(root);
}

bool RegistryStore::copyKey(uint32_t root, const std::string& from, const std::string& to) {
  ChangeLock lock(lockPath(root));
  Root* keys = load(root);
  if (keys == nullptr) return false;
  const std::string source = normalizeKeyPath(from);
  const std::string target = normalizeKeyPath(to);
  if (!keys->count(source) || keys->count(target) || target.empty()) return false;
  if (startsWithFolded(target + "\\", source + "\\")) return false;  // into itself
  std::vector<std::pair<std::string, Key>> copies;
  auto copyOf = [&](const Key& key) {
    Key copy = key;
    copy.name = target + key.name.substr(source.size());
    copies.emplace_back(copy.name, std::move(copy));
  };
  copyOf(keys->find(source)->second);
  const std::string prefix = source.empty() ? "" : source + "\\";
  for (auto it = keys->lower_bound(prefix); it != keys->end() && startsWithFolded(it->first, prefix); ++it)
    if (it->first.size() > prefix.size()) copyOf(it->second);
  for (auto& [path, key] : copies) (*keys)[path] = std::move(key);
  // Parents of the target.
  std::string parent = target;
  while (parent.find('\\') != std::string::npos) {
    parent = parent.substr(0, parent.rfind('\\'));
    Key& key = (*keys)[parent];
    if (key.name.empty()) key.name = parent;
  }
  return save(root);
}

std::vector<std::string> RegistryStore::subKeys(uint32_t root, const std::string& path) {
  std::vector<std::string> names;
  Root* keys = load(root);
  if (keys == nullptr) return names;
  const std::string full = normalizeKeyPath(path);
  if (!keys->count(full)) return names;
  const std::string prefix = full.empty() ? "" : full + "\\";
  for (auto it = keys->lower_bound(prefix); it != keys->end() && startsWithFolded(it->first, prefix); ++it) {
    if (it->first.size() == prefix.size()) continue;
    if (it->first.find('\\', prefix.size()) == std::string::npos) names.push_back(lastPart(it->second.name));
  }
  return names;
}

std::vector<std::string> RegistryStore::valueNames(uint32_t root, const std::string& path) {
  std::vector<std::string> names;
  Root* keys = load(root);
  if (keys == nullptr) return names;
  auto it = keys->find(normalizeKeyPath(path));
  if (it == keys->end()) return names;
  for (const auto& entry : it->second.values) names.push_back(entry.first);
  return names;
}

bool RegistryStore::getValue(uint32_t root, const std::string& path, const std::string& name, RegistryValue& out) {
  Root* keys = load(root);
  if (keys == nullptr) return false;
  auto it = keys->find(normalizeKeyPath(path));
  if (it == keys->end()) return false;
  for (const auto& entry : it->second.values) {
    if (equalFolded(entry.first, name)) {
      out = entry.second;
      return true;
    }
  }
  return false;
}

bool RegistryStore::setValue(uint32_t root, const std::string& path, const std::string& name, const RegistryValue& value) {
  ChangeLock lock(lockPath(root));
  Root* keys = load(root);
  if (keys == nullptr) return false;
  auto it = keys->find(normalizeKeyPath(path));
  if (it == keys->end()) return false;
  bool found = false;
  for (auto& entry : it->second.values) {
    if (equalFolded(entry.first, name)) {
      entry.second = value;
      found = true;
      break;
    }
  }
  if (!found) it->second.values.emplace_back(name, value);
  return save(root);
}

bool RegistryStore::deleteValue(uint32_t root, const std::string& path, const std::string& name) {
  ChangeLock lock(lockPath(root));
  Root* keys = load(root);
  if (keys == nullptr) return false;
  auto it = keys->find(normalizeKeyPath(path));
  if (it == keys->end()) return false;
  auto& values = it->second.values;
  for (auto v = values.begin(); v != values.end(); ++v) {
    if (equalFolded(v->first, name)) {
      values.erase(v);
      return save(root);
    }
  }
  return false;
}

bool RegistryStore::renameValue(uint32_t root, const std::string& path, const std::string& from, const std::string& to) {
  ChangeLock lock(lockPath(root));
  Root* keys = load(root);
  if (keys == nullptr) return false;
  auto it = keys->find(normalizeKeyPath(path));
  if (it == keys->end()) return false;
  auto& values = it->second.values;
  auto* source = static_cast<std::pair<std::string, RegistryValue>*>(nullptr);
  for (auto& entry : values) {
    if (equalFolded(entry.first, to)) return false;
    if (equalFolded(entry.first, from)) source = &entry;
  }
  if (source == nullptr) return false;
  source->first = to;
  return save(root);
}

}  // namespace kestrel::platform
