#include "objects/controls/dir_tree.h"

#include "objects/busy_cursor.h"
#include "objects/member_operands.h"
#include "platform/directory_listing.h"
#include "platform/paths.h"
#include "toolkit/colors.h"

namespace kestrel::objects {

namespace {
constexpr int32_t kDefaultWidth = 145;
constexpr int32_t kDefaultHeight = 145;
constexpr const char* kInvalidPath = "Invalid Path Name";
}  // namespace

DirTree::DirTree(Machine& m, int type) : ControlOf(m, type), initial_(platform::currentDirectory()) {
  color_ = gui::kColorWindow;
  peer().setBackground(gui::colorToRgb(color_));
  setBounds(gui::Rect::fromSize(0, 0, kDefaultWidth, kDefaultHeight));
  model_.setListener(this);
  model_.setKinds(dirKinds_);
  model_.setReadable(!sandboxed(m));
  model_.rebuild(hasDrive());
  const int32_t node = model_.reveal(initial_);
  select(node >= 0 ? node : (hasDrive() ? 0 : -1));
}

void DirTree::added(int32_t node) {
  const DirectoryModel::Node& n = *model_.node(node);
  peer().addNode(n.parent, n.name, n.parent < 0, n.expandable);
}

void DirTree::expandedChanged(int32_t node) { peer().setExpanded(node, model_.node(node)->expanded); }

void DirTree::expandableChanged(int32_t node) { peer().setExpandable(node, model_.node(node)->expandable); }

void DirTree::setParentTree(Control* container) {
  setParent(container);
  removeDriveKind(kDriveRemovable);
}

void DirTree::addDirKind(int32_t kind) {
  if (kind < kDirReadOnly || kind > kDirAll) return;
  dirKinds_ |= 1 << kind;
  model_.setKinds(dirKinds_);
  reload();
}

void DirTree::removeDirKind(int32_t kind) {
  if (kind < kDirReadOnly || kind > kDirAll) return;
  dirKinds_ &= ~(1 << kind);
  model_.setKinds(dirKinds_);
  reload();
}

void DirTree::addDriveKind(int32_t kind) {
  if (kind < kDriveUnknown || kind > kDriveRamDisk) return;
  const int32_t before = driveKinds_;
  driveKinds_ |= 1 << kind;
  driveKindsChanged(before);
}

void DirTree::removeDriveKind(int32_t kind) {
  if (kind < kDriveUnknown || kind > kDriveRamDisk) return;
  const int32_t before = driveKinds_;
  driveKinds_ &= ~(1 << kind);
  driveKindsChanged(before);
}

// Only the fixed kind decides whether the one drive shows.
void DirTree::driveKindsChanged(int32_t before) {
  if (((before ^ driveKinds_) & (1 << kDriveFixed)) != 0) reload();
}

void DirTree::setFastLoad(bool fast) {
  fastLoad_ = fast;
  model_.setFastLoad(fast);
}

void DirTree::setBorderStyle(int32_t style) {
  borderStyle_ = style;
  peer().setBorder(style != 0);
}

void DirTree::setHideSelection(uint8_t flag) {
  hideSelection_ = flag;
  peer().setHideSelection(flag != 0);
}

void DirTree::setDirectory(const Str& path) {
  if (path.empty()) raise(kInvalidPath);
  const std::string full = platform::translatePath(
      platform::absolutePath(platform::windowsToPosixPath(path.view()), platform::currentDirectory()));
  const int32_t node = model_.reveal(full);
  if (node < 0) raise(kInvalidPath);
  initial_ = full;
  select(node);
}

Str DirTree::selectedDirectory() const {
  const DirectoryModel::Node* n = model_.node(selected_);
  return n != nullptr ? Str(n->path) : Str("?");
}

void DirTree::select(int32_t node) { select(node, selectedDirectory()); }

void DirTree::select(int32_t node, const Str& before) {
  selected_ = model_.node(node) != nullptr ? node : -1;
  peer().setSelected(selected_);
  if (selectedDirectory() != before) events::notify(m_, handlerFor(gui::EventKind::Change), sender());
}

void DirTree::userSelected(int32_t node) {
  if (model_.node(node) != nullptr) select(node);
}

void DirTree::fullExpand() {
  BusyCursor busy(m_);
  model_.expandAll(kMaxExpandedNodes);
}

void DirTree::reload() {
  const Str before = selectedDirectory();
  model_.rebuild(hasDrive());
  selected_ = -1;
  int32_t node = before.view() == "?" ? -1 : model_.reveal(std::string(before.view()));
  if (node < 0 && hasDrive()) node = 0;
  select(node, before);
}

}  // namespace kestrel::objects
