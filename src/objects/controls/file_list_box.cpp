#include "objects/controls/file_list_box.h"

#include <algorithm>

#include "objects/member_operands.h"
#include "objects/string_list.h"
#include "platform/directory_listing.h"
#include "platform/file_search.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "toolkit/colors.h"

namespace kestrel::objects {

namespace {

constexpr int32_t kDefaultWidth = 145;
constexpr int32_t kDefaultHeight = 97;
constexpr const char* kInvalidPath = "Invalid Path Name";

bool has(int32_t kinds, FileKind kind) { return (kinds & (1 << kind)) != 0; }

// Folders show when asked for; hidden and system entries only when asked
// for; plain files when normal files are asked for, or when they are
// read-only and read-only ones are, or archive files are (every plain file
// is one).
bool listed(int32_t kinds, const platform::DirectoryEntry& e) {
  if (e.hidden && !has(kinds, kFileHidden)) return false;
  if (e.directory) return has(kinds, kFileDirectory);
  if (e.system) return has(kinds, kFileSystem);
  return has(kinds, kFileNormal) || has(kinds, kFileArchive) || (e.readOnly && has(kinds, kFileReadOnly));
}

bool hasWildcards(std::string_view name) { return name.find_first_of("*?") != std::string_view::npos; }

}  // namespace

bool matchesFileMask(std::string_view masks, std::string_view name) {
  if (masks.empty()) masks = "*.*";
  size_t start = 0;
  while (start <= masks.size()) {
    size_t end = masks.find(';', start);
    if (end == std::string_view::npos) end = masks.size();
    std::string_view mask = masks.substr(start, end - start);
    while (!mask.empty() && mask.front() == ' ') mask.remove_prefix(1);
    while (!mask.empty() && mask.back() == ' ') mask.remove_suffix(1);
    if (!mask.empty() && platform::wildcardMatch(mask, name)) return true;
    start = end + 1;
  }
  return false;
}

FileListBox::FileListBox(Machine& m, int type)
    : ControlOf(m, type), items_(peer(), nullptr), directory_(platform::currentDirectory()) {
  color_ = gui::kColorWindow;
  peer().setBackground(gui::colorToRgb(color_));
  setBounds(gui::Rect::fromSize(0, 0, kDefaultWidth, kDefaultHeight));
  reload();
}

void FileListBox::reload() {
  const Str before = fileName();
  std::vector<platform::DirectoryEntry> entries;
  if (!sandboxed(m_)) platform::listDirectory(directory_, entries);
  std::erase_if(entries, [this](const platform::DirectoryEntry& e) {
    return !listed(kinds_, e) || !matchesFileMask(mask_.view(), e.name);
  });
  std::sort(entries.begin(), entries.end(), [](const platform::DirectoryEntry& a, const platform::DirectoryEntry& b) {
    const int order = compareText(a.name, b.name);
    return order != 0 ? order < 0 : a.name < b.name;
  });
  std::vector<Str> names;
  folders_.clear();
  for (const platform::DirectoryEntry& e : entries) {
    names.emplace_back(e.name);
    folders_.push_back(e.directory);
  }
  items_.assign(names);
  peer().setGlyphs(folders_, showGlyphs_ != 0);
  changedFrom(before);
}

void FileListBox::changedFrom(const Str& before) {
  if (fileName() != before) events::notify(m_, handlerFor(gui::EventKind::Change), sender());
}

Str FileListBox::fileName() const {
  if (items_.current() < 0) return Str();
  return Str(platform::joinPath(directory_, items_.item(items_.current()).view()));
}

void FileListBox::setItemIndex(int32_t index) {
  const Str before = fileName();
  items_.setCurrent(index);
  changedFrom(before);
}

void FileListBox::userSelected(int32_t current, const std::vector<bool>& selected) {
  const Str before = fileName();
  items_.userSelected(current, selected);
  changedFrom(before);
}

void FileListBox::setMultiSelect(uint8_t flag) {
  multiSelect_ = flag;
  items_.setMultiSelect(flag != 0);
  peer().setSelectionMode(flag != 0, extendedSelect_ != 0);
}

void FileListBox::setExtendedSelect(uint8_t flag) {
  extendedSelect_ = flag;
  peer().setSelectionMode(multiSelect_ != 0, flag != 0);
}

void FileListBox::setItemHeight(int32_t height) {
  itemHeight_ = height;
  peer().setItemStyle(gui::ItemStyle::Text, std::clamp(height, 1, 32767));
}

int32_t FileListBox::topIndex() const { return std::clamp(peer().topIndex(), 0, std::max(items_.count() - 1, 0)); }

void FileListBox::setTopIndex(int32_t index) {
  peer().scrollTo(std::clamp(index, 0, std::max(items_.count() - 1, 0)));
}

void FileListBox::setShowGlyphs(uint8_t flag) {
  showGlyphs_ = flag;
  peer().setGlyphs(folders_, flag != 0);
}

void FileListBox::addFileKind(int32_t kind) {
  if (kind < kFileReadOnly || kind > kFileNormal) return;
  kinds_ |= 1 << kind;
  reload();
}

void FileListBox::removeFileKind(int32_t kind) {
  if (kind < kFileReadOnly || kind > kFileNormal) return;
  kinds_ &= ~(1 << kind);
  reload();
}

void FileListBox::setMask(const Str& mask) {
  mask_ = mask;
  reload();
}

void FileListBox::setDirectory(const Str& path) {
  if (path.empty()) raise(kInvalidPath);
  const std::string full =
      platform::translatePath(platform::absolutePath(platform::windowsToPosixPath(path.view()), directory_));
  if (platform::directoryExists(full)) {
    directory_ = full;
    reload();
    return;
  }
  const std::string folder = platform::parentPath(full);
  const std::string name = full.substr(full.rfind('/') + 1);
  if (!platform::directoryExists(folder)) raise(kInvalidPath);
  directory_ = folder;
  if (hasWildcards(name)) {
    mask_ = Str(name);
    reload();
    return;
  }
  reload();
  const std::vector<Str> names = items_.texts();
  const auto it = std::find(names.begin(), names.end(), Str(name));
  if (it != names.end()) setItemIndex(static_cast<int32_t>(it - names.begin()));
}

}  // namespace kestrel::objects
