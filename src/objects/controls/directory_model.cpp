#include "objects/controls/directory_model.h"

#include <algorithm>
#include <deque>

#include "objects/string_list.h"
#include "platform/directory_listing.h"
#include "platform/files.h"

namespace kestrel::objects {

namespace {

bool has(int32_t kinds, DirKind kind) { return (kinds & (1 << kind)) != 0; }

// The trees the system makes up as they are read, which have no end.
bool systemTree(const std::string& path) { return path == "/proc" || path == "/sys" || path == "/dev"; }

struct Subfolder {
  std::string name;
  bool link;
};

}  // namespace

DirectoryModel::DirectoryModel(std::string root) : root_(std::move(root)) {}

const DirectoryModel::Node* DirectoryModel::node(int32_t number) const {
  if (number < 0 || static_cast<size_t>(number) >= nodes_.size()) return nullptr;
  return &nodes_[static_cast<size_t>(number)];
}

void DirectoryModel::rebuild(bool drive) {
  nodes_.clear();
  if (listener_ != nullptr) listener_->cleared();
  if (drive) add(-1, "C:", false);
}

// A folder shows when the kinds allow every attribute it has; one without
// any needs the normal kind.
bool DirectoryModel::shows(bool hidden, bool readOnly) const {
  if (has(kinds_, kDirAll)) return true;
  if (hidden && !has(kinds_, kDirHidden)) return false;
  if (readOnly && !has(kinds_, kDirReadOnly)) return false;
  return hidden || readOnly || has(kinds_, kDirNormal);
}

bool DirectoryModel::hasSubfolder(const std::string& path) const {
  std::vector<platform::DirectoryEntry> entries;
  if (!readable_ || !platform::listDirectory(path, entries, true)) return false;
  return std::any_of(entries.begin(), entries.end(),
                     [this](const platform::DirectoryEntry& e) { return e.directory && shows(e.hidden, e.readOnly); });
}

int32_t DirectoryModel::add(int32_t parent, const std::string& name, bool link) {
  Node n;
  n.parent = parent;
  n.name = name;
  n.path = parent < 0 ? root_ : platform::joinPath(nodes_[static_cast<size_t>(parent)].path, name);
  n.link = link;
  n.expandable = fastLoad_ || hasSubfolder(n.path);
  nodes_.push_back(std::move(n));
  const auto number = static_cast<int32_t>(nodes_.size() - 1);
  if (listener_ != nullptr) listener_->added(number);
  return number;
}

void DirectoryModel::load(int32_t number) {
  if (node(number) == nullptr || nodes_[static_cast<size_t>(number)].loaded) return;
  nodes_[static_cast<size_t>(number)].loaded = true;
  const std::string path = nodes_[static_cast<size_t>(number)].path;
  std::vector<platform::DirectoryEntry> entries;
  if (readable_) platform::listDirectory(path, entries, true);
  std::vector<Subfolder> folders;
  for (const platform::DirectoryEntry& e : entries)
    if (e.directory && shows(e.hidden, e.readOnly)) folders.push_back({e.name, e.link});
  std::sort(folders.begin(), folders.end(), [](const Subfolder& a, const Subfolder& b) {
    const int order = compareText(a.name, b.name);
    return order != 0 ? order < 0 : a.name < b.name;
  });
  for (const Subfolder& f : folders) add(number, f.name, f.link);
  Node& n = nodes_[static_cast<size_t>(number)];
  if (n.expandable != !folders.empty()) {
    n.expandable = !folders.empty();
    if (listener_ != nullptr) listener_->expandableChanged(number);
  }
}

void DirectoryModel::expand(int32_t number) {
  if (node(number) == nullptr) return;
  load(number);
  Node& n = nodes_[static_cast<size_t>(number)];
  if (n.expanded) return;
  n.expanded = true;
  if (listener_ != nullptr) listener_->expandedChanged(number);
}

void DirectoryModel::collapse(int32_t number) {
  if (node(number) == nullptr || !nodes_[static_cast<size_t>(number)].expanded) return;
  nodes_[static_cast<size_t>(number)].expanded = false;
  if (listener_ != nullptr) listener_->expandedChanged(number);
}

void DirectoryModel::collapseAll() {
  for (size_t i = 0; i < nodes_.size(); ++i) collapse(static_cast<int32_t>(i));
}

int32_t DirectoryModel::reveal(const std::string& path) {
  if (nodes_.empty() || !readable_) return path == root_ && !nodes_.empty() ? 0 : -1;
  std::string rest;
  if (path == root_) return 0;
  const std::string prefix = root_ == "/" ? "/" : root_ + "/";
  if (path.compare(0, prefix.size(), prefix) != 0 || !platform::directoryExists(path)) return -1;
  rest = path.substr(prefix.size());
  int32_t at = 0;
  size_t start = 0;
  while (start < rest.size()) {
    size_t end = rest.find('/', start);
    if (end == std::string::npos) end = rest.size();
    const std::string name = rest.substr(start, end - start);
    start = end + 1;
    expand(at);
    int32_t child = -1;
    for (size_t i = 0; i < nodes_.size(); ++i)
      if (nodes_[i].parent == at && nodes_[i].name == name) child = static_cast<int32_t>(i);
    if (child < 0) {
      // A folder the kinds leave out: it shows because the program went there.
      std::vector<platform::DirectoryEntry> entries;
      platform::listDirectory(nodes_[static_cast<size_t>(at)].path, entries, true);
      const auto it = std::find_if(entries.begin(), entries.end(),
                                   [&name](const platform::DirectoryEntry& e) { return e.name == name && e.directory; });
      if (it == entries.end()) return -1;
      child = add(at, name, it->link);
    }
    at = child;
  }
  return at;
}

size_t DirectoryModel::expandAll(size_t cap) {
  std::deque<int32_t> waiting;
  for (size_t i = 0; i < nodes_.size(); ++i) waiting.push_back(static_cast<int32_t>(i));
  size_t opened = 0;
  while (!waiting.empty() && nodes_.size() < cap) {
    const int32_t number = waiting.front();
    waiting.pop_front();
    const Node& n = nodes_[static_cast<size_t>(number)];
    if (n.link || systemTree(n.path) || n.expanded) continue;
    const size_t before = nodes_.size();
    expand(number);
    ++opened;
    for (size_t i = before; i < nodes_.size(); ++i) waiting.push_back(static_cast<int32_t>(i));
  }
  return opened;
}

}  // namespace kestrel::objects
