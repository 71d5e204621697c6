// The member table of file list boxes (type 56).
#include "objects/control_members.h"
#include "objects/controls/file_list_box.h"
#include "objects/controls/list_rows.h"

namespace kestrel::objects {

namespace {

std::vector<Member<FileListBox>> fileListBoxRows() {
  using F = FileListBox;
  std::vector<Member<F>> rows = {
      {7, "AddFileTypes", "L", [](Machine& m, F& f) { forEachArgument(m, [&] { f.addFileKind(numberOperand(m)); }); },
       "", [](Machine&, F& f, EvalStacks& s) { s.pushNumber(f.fileKinds()); },
       "kinds of entry to list as well (0 read-only, 1 hidden, 2 system, 3 volume label, 4 directory, 5 archive, 6 "
       "normal); reads the set, bit n for kind n"},
      property<&F::extendedSelect, &F::setExtendedSelect>(
          8, "ExtendedSelect", "flag: Shift and Ctrl extend the selection of a multi-select list"),
      property<&F::multiSelect, &F::setMultiSelect>(9, "MultiSelect", "flag: several entries can be selected"),
      property<&F::itemHeight, &F::setItemHeight>(15, "ItemHeight", "height of the items (pixels)"),
      property<&F::itemIndex, &F::setItemIndex>(16, "ItemIndex", "the current entry (-1: none)"),
      {18, "FileName", "E", [](Machine& m, F&) { ignoredOperand(m); },
       "", [](Machine&, F& f, EvalStacks& s) { s.pushString(f.fileName()); },
       "the full path of the current entry (\"\" when none; writing evaluates a value and ignores it)"},
      property<&F::mask, &F::setMask>(20, "Mask", "masks separated by \";\", such as \"*.txt;*.ini\""),
      property<&F::drive, &F::setDrive>(21, "Drive", "\"C\", the one drive, standing for /; writing changes nothing"),
      property<&F::directory, &F::setDirectory>(
          22, "Directory", "the folder listed; writing a path with wildcards sets the mask too, a file's path picks it"),
      property<&F::topIndex, &F::setTopIndex>(23, "TopIndex", "the first entry shown (kept within the entries)"),
      readOnly<&F::itemCount>(25, "ItemCount", "the number of entries"),
      {30, "Unused30", "H", [](Machine& m, F&) { handlerOperand(m); }, nullptr, nullptr,
       "a handler position, read and not used"},
      property<&F::showGlyphs, &F::setShowGlyphs>(32, "ShowGlyphs", "flag: a folder or file picture beside each entry"),
      {33, "RemoveFileTypes", "L",
       [](Machine& m, F& f) { forEachArgument(m, [&] { f.removeFileKind(numberOperand(m)); }); }, nullptr, nullptr,
       "kinds of entry to list no more (as AddFileTypes)"},
  };
  addItemRows(rows, ItemCodes{.item = 19, .selected = 26});
  addCommonMembers(rows, CommonCodes{.left = 1, .top = 3, .width = 4, .height = 2, .parent = 5, .font = 17,
                                     .popupMenu = 31, .enabled = 10, .visible = 11, .showHint = 12, .hint = 13,
                                     .color = 14, .cursor = 6, .align = 0, .tabOrder = 24});
  addEventMembers(rows, EventCodes{.click = 28, .dblClick = 29, .change = 27});
  addFontMembers(rows, 200);
  return rows;
}

std::unique_ptr<Object> createFileListBox(Machine& m, int type, int32_t) {
  return std::make_unique<FileListBox>(m, type);
}

}  // namespace

void registerFileListBoxType(TypeRegistry& registry) {
  static const std::vector<Member<FileListBox>> rows = fileListBoxRows();
  registry.add(describeType(kFileListBoxType, "filelistbox", rows, createFileListBox));
}

}  // namespace kestrel::objects
