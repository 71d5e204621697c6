#pragma once
// Directory trees (type 55): the drive and its folders as a tree, read as
// nodes open (directory_model.h). There is one drive, "C:", standing for
// "/"; paths read and written are this system's ("/home/ann"), and names
// written the Windows way are translated. The process's current directory
// never changes.
//
// The change handler runs whenever the selected folder changes, with the
// tree itself (type 55 and its own index) as the sender.
#include <string>

#include "objects/control.h"
#include "objects/controls/directory_model.h"
#include "toolkit/peers/dir_tree.h"

namespace kestrel::objects {

inline constexpr int kDirTreeType = 55;

// The kinds of drive of AddDriveTypes and RemoveDriveTypes; the set reads
// as a number with bit n for kind n. The one drive is fixed.
enum DriveKind { kDriveUnknown = 0, kDriveRemovable, kDriveFixed, kDriveRemote, kDriveCdRom, kDriveRamDisk };

// FullExpand stops when the tree holds this many nodes.
inline constexpr size_t kMaxExpandedNodes = 5000;

class DirTree : public ControlOf<gui::DirTreePeer>, public gui::TreeOwner, private DirectoryModel::Listener {
 public:
  DirTree(Machine& m, int type);

  const char* windowClass() const override { return "TDirTree"; }
  const DirectoryModel& model() const { return model_; }

  // Setting a parent also takes removable drives out of the drive kinds.
  void setParentTree(Control* container);
  int32_t dirKinds() const { return dirKinds_; }
  void addDirKind(int32_t kind);
  void removeDirKind(int32_t kind);
  int32_t driveKinds() const { return driveKinds_; }
  void addDriveKind(int32_t kind);
  void removeDriveKind(int32_t kind);
  bool fastLoad() const { return fastLoad_; }
  void setFastLoad(bool fast);
  bool readOnStart() const { return readOnStart_; }
  void setReadOnStart(bool read) { readOnStart_ = read; }
  int32_t borderStyle() const { return borderStyle_; }
  void setBorderStyle(int32_t style);
  uint8_t hideSelection() const { return hideSelection_; }
  void setHideSelection(uint8_t flag);
  uint8_t readOnly() const { return readOnly_; }
  void setReadOnly(uint8_t flag) { readOnly_ = flag; }

  // The directory the program set last (at first the current directory).
  Str directory() const { return Str(initial_); }
  // Selects that folder, opening the folders on the way; "Invalid Path
  // Name" for an empty path or one that is not a folder.
  void setDirectory(const Str& path);
  // The path of the selected node; "?" when none is selected.
  Str selectedDirectory() const;

  void fullExpand();
  void fullCollapse() { model_.collapseAll(); }
  // Reads the tree again and selects the folder selected before, or the
  // root when it is gone.
  void reload();

  // ---- gui::TreeOwner
  void userExpanded(int32_t node) override { model_.expand(node); }
  void userCollapsed(int32_t node) override { model_.collapse(node); }
  void userSelected(int32_t node) override;

 private:
  // ---- DirectoryModel::Listener: the peer follows the model.
  void cleared() override { peer().clearNodes(); }
  void added(int32_t node) override;
  void expandedChanged(int32_t node) override;
  void expandableChanged(int32_t node) override;

  bool hasDrive() const { return (driveKinds_ & (1 << kDriveFixed)) != 0; }
  // Selects a node (-1: none); the change handler runs when the path differs.
  void select(int32_t node);
  // The same, telling a change from the path `before`.
  void select(int32_t node, const Str& before);
  void driveKindsChanged(int32_t before);

  DirectoryModel model_;
  std::string initial_;
  int32_t selected_ = -1;
  int32_t dirKinds_ = (1 << kDirReadOnly) | (1 << kDirNormal);
  int32_t driveKinds_ = 0x3E;  // every kind but unknown
  bool fastLoad_ = true;
  bool readOnStart_ = true;
  int32_t borderStyle_ = 1;
  uint8_t hideSelection_ = 1;
  uint8_t readOnly_ = 0;
};

void registerDirTreeType(TypeRegistry& registry);

}  // namespace kestrel::objects
