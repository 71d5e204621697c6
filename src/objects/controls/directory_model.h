#pragma once
// The folders a directory tree shows, read as nodes open: a drive node for
// the root, then each folder's subfolders when it is first opened. The
// model is synchronous: once a path has been revealed its node is there,
// so a selection can be read back at once.
//
// Nodes are numbered from 0 in the order they were added and live until
// the model is rebuilt; every number from outside is checked. What the
// model adds, opens and closes is told to its listener (the tree's peer).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrel::objects {

// The kinds of folder of AddDirTypes and RemoveDirTypes; the set reads as
// a number with bit n for kind n.
enum DirKind {
  kDirReadOnly = 0,  // folders this process may not write
  kDirHidden = 1,    // names that start with a dot
  kDirSystem = 2,    // none on this system
  kDirArchive = 3,   // none on this system
  kDirNormal = 4,    // the others
  kDirAll = 5,       // every folder
};

class DirectoryModel {
 public:
  struct Node {
    int32_t parent = -1;  // -1: the drive
    std::string name;     // "C:" for the drive
    std::string path;     // the full path ("/" for the drive)
    bool loaded = false;  // its subfolders have been read
    bool expanded = false;
    bool link = false;    // a symbolic link to a folder: never read through
    bool expandable = true;
  };

  class Listener {
   public:
    virtual ~Listener() = default;
    virtual void cleared() = 0;
    virtual void added(int32_t node) = 0;
    virtual void expandedChanged(int32_t node) = 0;
    virtual void expandableChanged(int32_t node) = 0;
  };

  // `root` is the folder the drive stands for ("/"; tests give their own).
  explicit DirectoryModel(std::string root = "/");

  void setListener(Listener* listener) { listener_ = listener; }
  // Folders of these kinds show (bit n for kind n).
  void setKinds(int32_t kinds) { kinds_ = kinds; }
  // Fast: a folder shows that it can be opened until it is; slow: its
  // subfolders are looked for as soon as it is added.
  void setFastLoad(bool fast) { fastLoad_ = fast; }
  // No folder is read at all (the sandbox).
  void setReadable(bool readable) { readable_ = readable; }

  // Every node goes; with a drive, the drive node (0) is made.
  void rebuild(bool drive);
  size_t size() const { return nodes_.size(); }
  // The node, or nullptr for a number that names none.
  const Node* node(int32_t number) const;
  const std::string& root() const { return root_; }

  // Reads a node's subfolders (once).
  void load(int32_t number);
  void expand(int32_t number);
  void collapse(int32_t number);
  void collapseAll();
  // The node of an absolute path under the root, reading and opening the
  // folders on the way (a folder that the kinds leave out is added when
  // the path goes through it); -1 when the path is not a folder there.
  int32_t reveal(const std::string& path);
  // Opens every node, breadth first, until the tree holds `cap` nodes.
  // Symbolic links and the system's own trees (/proc, /sys, /dev) are not
  // opened. Returns the nodes opened.
  size_t expandAll(size_t cap);

 private:
  int32_t add(int32_t parent, const std::string& name, bool link);
  bool shows(bool hidden, bool readOnly) const;
  bool hasSubfolder(const std::string& path) const;

  std::string root_;
  std::vector<Node> nodes_;
  Listener* listener_ = nullptr;
  int32_t kinds_ = (1 << kDirReadOnly) | (1 << kDirNormal);
  bool fastLoad_ = true;
  bool readable_ = true;
};

}  // namespace kestrel::objects
