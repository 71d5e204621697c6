#pragma once
// File list boxes (type 56): the entries of one directory that match a
// mask and the kinds of entry asked for, in a list box. The directory is
// the list's own: the process's current directory never changes.
//
// Paths are this system's: Directory reads "/home/ann", FileName
// "/home/ann/notes.txt"; names written the Windows way ("C:\home\ann")
// are translated. There is one drive, "C", standing for "/".
#include <string>

#include "objects/control.h"
#include "objects/controls/item_list.h"
#include "toolkit/peers/lists.h"

namespace kestrel::objects {

inline constexpr int kFileListBoxType = 56;

// The kinds of entry of AddFileTypes and RemoveFileTypes; the set reads as
// a number with bit n for kind n.
enum FileKind {
  kFileReadOnly = 0,   // files this process may not write
  kFileHidden = 1,     // names that start with a dot
  kFileSystem = 2,     // devices, pipes and sockets
  kFileVolume = 3,     // none on this system
  kFileDirectory = 4,  // folders
  kFileArchive = 5,    // every plain file
  kFileNormal = 6,     // plain files
};

// Whether `name` matches one of the masks separated by ";" (letters in
// either case; "*.*" also matches names without a dot; an empty mask is
// "*.*").
bool matchesFileMask(std::string_view masks, std::string_view name);

class FileListBox : public ControlOf<gui::FileListPeer>, public gui::ItemListOwner {
 public:
  FileListBox(Machine& m, int type);

  const char* windowClass() const override { return "TFileListBox"; }
  ItemList& items() { return items_; }

  int32_t itemIndex() const { return items_.current(); }
  void setItemIndex(int32_t index);
  int32_t itemCount() const { return items_.count(); }
  uint8_t multiSelect() const { return multiSelect_; }
  void setMultiSelect(uint8_t flag);
  uint8_t extendedSelect() const { return extendedSelect_; }
  void setExtendedSelect(uint8_t flag);
  int32_t itemHeight() const { return itemHeight_; }
  void setItemHeight(int32_t height);
  int32_t topIndex() const;
  void setTopIndex(int32_t index);
  uint8_t showGlyphs() const { return showGlyphs_; }
  void setShowGlyphs(uint8_t flag);

  // The kinds listed, bit n for kind n (FileKind).
  int32_t fileKinds() const { return kinds_; }
  // Numbers outside 0 to 6 are ignored.
  void addFileKind(int32_t kind);
  void removeFileKind(int32_t kind);

  const Str& mask() const { return mask_; }
  void setMask(const Str& mask);
  Str drive() const { return Str("C"); }
  // Every drive letter stands for the one file system: nothing changes.
  void setDrive(const Str&) {}
  Str directory() const { return Str(directory_); }
  // A folder becomes the directory; a path whose last part has wildcards
  // sets the directory and the mask; a file's path sets the directory and
  // makes the file the current item. "Invalid Path Name" when the folder
  // does not exist.
  void setDirectory(const Str& path);
  // The full path of the current item ("" when there is none).
  Str fileName() const;
  // Reads the directory again.
  void reload();

  // ---- gui::ItemListOwner (the items are text)
  void paintItem(int32_t, const gui::Rect&, bool, gui::Surface&) override {}
  int32_t measuredHeight(int32_t) override { return itemHeight_; }
  void userSelected(int32_t current, const std::vector<bool>& selected) override;

 private:
  // Raises the change event when the file name differs from `before`.
  void changedFrom(const Str& before);

  ItemList items_;
  std::string directory_;
  Str mask_{"*.*"};
  int32_t kinds_ = 1 << kFileNormal;
  std::vector<bool> folders_;
  uint8_t multiSelect_ = 0;
  uint8_t extendedSelect_ = 1;
  uint8_t showGlyphs_ = 0;
  int32_t itemHeight_ = 16;
};

void registerFileListBoxType(TypeRegistry& registry);

}  // namespace kestrel::objects
