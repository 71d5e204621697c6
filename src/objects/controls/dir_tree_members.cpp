// The member table of directory trees (type 55).
#include "objects/control_members.h"
#include "objects/controls/dir_tree.h"

namespace kestrel::objects {

namespace {

template <void (DirTree::*Change)(int32_t)>
void eachKind(Machine& m, DirTree& t) {
  forEachArgument(m, [&] { (t.*Change)(numberOperand(m)); });
}

std::vector<Member<DirTree>> dirTreeRows() {
  using D = DirTree;
  std::vector<Member<D>> rows = {
      {5, "Parent", "O", [](Machine& m, D& t) { t.setParentTree(&containerOperand(m)); }, nullptr, nullptr,
       "container object: shows the tree there; removable drives leave the drive kinds"},
      {7, "AddDirTypes", "L", eachKind<&D::addDirKind>,
       "", [](Machine&, D& t, EvalStacks& s) { s.pushNumber(t.dirKinds()); },
       "kinds of folder to show as well (0 read-only, 1 hidden, 2 system, 3 archive, 4 normal, 5 all); reads the "
       "set, bit n for kind n"},
      {8, "AddDriveTypes", "L", eachKind<&D::addDriveKind>,
       "", [](Machine&, D& t, EvalStacks& s) { s.pushNumber(t.driveKinds()); },
       "kinds of drive to show as well (0 unknown, 1 removable, 2 fixed, 3 remote, 4 CD-ROM, 5 RAM disk); reads "
       "the set, bit n for kind n"},
      property<&D::fastLoad, &D::setFastLoad>(9, "FastLoad", "folders show they can be opened before they are read"),
      property<&D::borderStyle, &D::setBorderStyle>(10, "BorderStyle", "0 none, 1 single"),
      property<&D::hideSelection, &D::setHideSelection>(13, "HideSelection",
                                                        "flag: the selection hides while the tree lacks the focus"),
      property<&D::directory, &D::setDirectory>(14, "Directory",
                                                "selects that folder; reads the folder set last (at first the "
                                                "current directory)"),
      property<&D::readOnly, &D::setReadOnly>(15, "ReadOnly", "flag: names cannot be edited"),
      property<&D::readOnStart, &D::setReadOnStart>(16, "ReadOnStart", "stored: the tree is always read as it opens"),
      action<&D::fullExpand, Operand::IgnoredByte>(
          23, "FullExpand", "opens every folder (not through links, nor /proc, /sys, /dev; at most 5000 nodes)"),
      action<&D::fullCollapse, Operand::IgnoredByte>(24, "FullCollapse", "closes every node"),
      action<&D::reload, Operand::IgnoredByte>(25, "Reload",
                                               "reads the tree again; selects the same folder, or / when it is gone"),
      property<&D::selectedDirectory, &D::setDirectory>(26, "SelectedDirectory",
                                                        "the selected folder's path (\"?\" when none); writing as "
                                                        "Directory"),
      {28, "RemoveDirTypes", "L", eachKind<&D::removeDirKind>, nullptr, nullptr,
       "kinds of folder to show no more (as AddDirTypes)"},
      {29, "RemoveDriveTypes", "L", eachKind<&D::removeDriveKind>, nullptr, nullptr,
       "kinds of drive to show no more (as AddDriveTypes)"},
  };
  addCommonMembers(rows, CommonCodes{.left = 1, .top = 3, .width = 4, .height = 2, .font = 12, .popupMenu = 22,
                                     .enabled = 17, .visible = 18, .showHint = 19, .hint = 20, .color = 11,
                                     .cursor = 6, .align = 0, .tabOrder = 21});
  addEventMembers(rows, EventCodes{.change = 27});
  addFontMembers(rows, 200);
  return rows;
}

std::unique_ptr<Object> createDirTree(Machine& m, int type, int32_t) { return std::make_unique<DirTree>(m, type); }

}  // namespace

void registerDirTreeType(TypeRegistry& registry) {
  static const std::vector<Member<DirTree>> rows = dirTreeRows();
  registry.add(describeType(kDirTreeType, "dirtree", rows, createDirTree));
}

}  // namespace kestrel::objects
