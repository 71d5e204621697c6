#pragma once
// Directory trees: a tree of drives and folders. The engine reads the
// folders and tells the peer every node it adds and every node it opens,
// closes or selects; the peer shows the tree and tells the engine what the
// user did. Nodes are numbered from 0 in the order they were added.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/peers/window.h"

namespace kestrel::gui {

// What a directory tree's peer tells its engine object (which is also the
// peer's WindowOwner).
class TreeOwner {
 public:
  virtual ~TreeOwner() = default;
  // The user opened a node: its children are wanted now.
  virtual void userExpanded(int32_t node) = 0;
  virtual void userCollapsed(int32_t node) = 0;
  virtual void userSelected(int32_t node) = 0;
};

class DirTreePeer : public WindowPeer {
 public:
  using WindowPeer::WindowPeer;

  struct Node {
    int32_t parent = -1;  // -1: a node at the top (a drive)
    std::string text;
    bool drive = false;
    bool expandable = true;  // shows that it can be opened
    bool expanded = false;
  };

  // Every node goes (a new tree is built).
  virtual void clearNodes() { nodes_.clear(); }
  // Adds node number nodes().size() under `parent`.
  virtual void addNode(int32_t parent, std::string_view text, bool drive, bool expandable) {
    nodes_.push_back({parent, std::string(text), drive, expandable, false});
  }
  virtual void setExpandable(int32_t node, bool expandable) {
    if (valid(node)) nodes_[static_cast<size_t>(node)].expandable = expandable;
  }
  virtual void setExpanded(int32_t node, bool expanded) {
    if (valid(node)) nodes_[static_cast<size_t>(node)].expanded = expanded;
  }
  // The node shown as selected (-1: none).
  virtual void setSelected(int32_t node) { selected_ = node; }
  virtual void setBorder(bool single) { border_ = single; }
  // The selection does not show while the tree lacks the focus.
  virtual void setHideSelection(bool hide) { hideSelection_ = hide; }

  const std::vector<Node>& nodes() const { return nodes_; }
  int32_t selected() const { return selected_; }

 protected:
  bool valid(int32_t node) const { return node >= 0 && static_cast<size_t>(node) < nodes_.size(); }

  std::vector<Node> nodes_;
  int32_t selected_ = -1;
  bool border_ = true;
  bool hideSelection_ = true;
};

}  // namespace kestrel::gui
