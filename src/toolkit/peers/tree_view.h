#pragma once
// Tree views. The engine keeps the nodes; the peer shows them, reading
// them through a TreeViewSource only as far as it shows them, so that a
// tree of 100,000 nodes is never copied. The engine announces every change
// of the nodes before and after it makes it (the view may look at the
// nodes again only after the second call), and asks the peer to show the
// expanded nodes and the selected one. What the user does to the tree goes
// to the source first, which asks the program and decides.
#include <cstdint>
#include <string>

#include "toolkit/peers/window.h"
#include "toolkit/surface.h"

namespace kestrel::gui {

// A node as the toolkit sees it: the engine's own, opaque. nullptr stands
// for the invisible node above the top-level ones.
using TreeNodeRef = const void*;

// What the engine gives a tree view's peer.
class TreeViewSource {
 public:
  virtual ~TreeViewSource() = default;
  virtual int32_t childCount(TreeNodeRef parent) = 0;
  virtual TreeNodeRef childAt(TreeNodeRef parent, int32_t row) = 0;
  // nullptr for a top-level node.
  virtual TreeNodeRef parentOf(TreeNodeRef node) = 0;
  virtual int32_t rowOf(TreeNodeRef node) = 0;
  virtual std::string nodeText(TreeNodeRef node) = 0;
  // The node shows a button: it has children, or the program says it has.
  virtual bool nodeHasChildren(TreeNodeRef node) = 0;
  // The pictures beside a node: its state image, and its image (the
  // selected one when the node is selected). `size` is the size of the
  // image list's pictures (empty: there is no list, and no room is kept);
  // nullptr where the list lacks the picture (a blank of that size).
  // Asked for while painting; the program may answer nodeImage through
  // its image-index events, which may change any image list, so a picture
  // is good only until the next call: ask for nodeImage first.
  virtual const Surface* nodeStateImage(TreeNodeRef node, Size& size) = 0;
  virtual const Surface* nodeImage(TreeNodeRef node, Size& size) = 0;

  // ---- What the user does. Each asks the program first; true when it is done.
  virtual bool userExpand(TreeNodeRef node, bool expand) = 0;
  // Expands the node and every node below it.
  virtual void userExpandAll(TreeNodeRef node) = 0;
  virtual bool userSelect(TreeNodeRef node) = 0;
  // Whether an editor may open on the node's text.
  virtual bool userMayEdit(TreeNodeRef node) = 0;
  virtual void userEdited(TreeNodeRef node, const std::string& text) = 0;
};

// How the tree looks.
struct TreeLook {
  bool border = true;
  bool hideSelection = true;  // no selection shown while the tree lacks the focus
  bool readOnly = false;      // the user cannot edit the texts
  bool showButtons = true;    // a plus or minus box beside nodes with children
  bool showLines = true;      // dotted lines between the nodes
  bool showRoot = true;       // buttons and lines for the top-level nodes too
  int32_t indent = 19;        // pixels from a node to its children
  bool operator==(const TreeLook&) const = default;
};

class TreeViewPeer : public WindowPeer {
 public:
  using WindowPeer::WindowPeer;

  // The engine's nodes (nullptr: none, the engine object goes).
  virtual void setSource(TreeViewSource* source) { source_ = source; }
  TreeViewSource* source() const { return source_; }

  // ---- Changes, each announced before and after.
  virtual void beginInsertNodes(TreeNodeRef /*parent*/, int32_t /*row*/, int32_t /*count*/) {}
  virtual void endInsertNodes() {}
  virtual void beginRemoveNodes(TreeNodeRef /*parent*/, int32_t /*row*/, int32_t /*count*/) {}
  virtual void endRemoveNodes() {}
  // Nodes change places among their siblings (sorting).
  virtual void beginReorderNodes() {}
  virtual void endReorderNodes() {}
  // Every node changes (clearing, loading).
  virtual void beginResetNodes() {}
  virtual void endResetNodes() {}
  // A node's text, images or button changed.
  virtual void nodeChanged(TreeNodeRef /*node*/) {}
  // Every node's pictures may have changed (another image list).
  virtual void imagesChanged() {}

  // ---- State the engine decided.
  virtual void showExpanded(TreeNodeRef /*node*/, bool /*expanded*/) {}
  // nullptr: no node is selected.
  virtual void showSelected(TreeNodeRef /*node*/) {}
  virtual void setLook(const TreeLook& look) { look_ = look; }
  const TreeLook& look() const { return look_; }
  // Scrolls so that the node is the first one shown.
  virtual void scrollToTop(TreeNodeRef /*node*/) {}
  // The first node shown; false when the peer does not show the tree (the
  // engine then answers itself).
  virtual bool topNode(TreeNodeRef& /*node*/) const { return false; }
  // The node shown at a point of the client area (nullptr: none).
  virtual TreeNodeRef nodeAt(int32_t /*x*/, int32_t /*y*/) const { return nullptr; }

 protected:
  TreeViewSource* source_ = nullptr;
  TreeLook look_;
};

}  // namespace kestrel::gui
