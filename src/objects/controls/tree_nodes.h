#pragma once
// The nodes of a tree view, addressed as programs address them: by the
// absolute index, a node's place in the depth-first order of the whole tree
// (the first top-level node is 0, its first child 1, and so on).
//
// Every node knows the size of its subtree, and every parent keeps, for
// its children, each one's row and its offset from the parent in
// depth-first order. A change marks these stale only from the first child
// it touched, and a lookup brings them up to date only as far as it needs.
// So finding the node at an index, or a node's index, costs the tree's
// depth times a binary search, and loops over the nodes stay linear, also
// while nodes are added at the end or removed at the front.
//
// Nothing here recurses: a tree may be a chain 100,000 nodes deep.
#include <cstdint>
#include <memory>
#include <vector>

#include "state/str.h"

namespace kestrel::objects {

class TreeNode {
 public:
  TreeNode* parent() const { return parent_; }
  int32_t childCount() const { return static_cast<int32_t>(children_.size()); }
  TreeNode* child(int32_t row) const { return children_[static_cast<size_t>(row)].get(); }
  // This node and every node below it.
  int32_t subtreeSize() const { return size_; }

  Str text;
  int32_t imageIndex = 0;
  int32_t selectedIndex = 0;
  int32_t stateIndex = -1;
  uint32_t handle = 0;    // the node's item handle, unique in the process
  bool expanded = false;
  bool hasChildren = false;  // shows a button; set while it has children, or by the program
  bool dying = false;        // being deleted: queued edits leave it alone

 private:
  friend class NodeTree;
  TreeNode* parent_ = nullptr;
  std::vector<std::unique_ptr<TreeNode>> children_;
  int32_t size_ = 1;
  int32_t row_ = 0;       // valid while row_ < parent's known_
  int32_t offset_ = 1;    // absolute index minus the parent's
  size_t known_ = 0;      // children whose row and offset are up to date
};

class NodeTree {
 public:
  NodeTree();
  ~NodeTree();
  NodeTree(const NodeTree&) = delete;
  NodeTree& operator=(const NodeTree&) = delete;

  // The invisible node above the top-level nodes.
  TreeNode* root() { return &root_; }
  const TreeNode* root() const { return &root_; }
  int32_t count() const { return root_.size_ - 1; }

  // The node at an absolute index, or nullptr outside the tree.
  TreeNode* at(int64_t index);
  // A node's absolute index; -1 for nullptr and the root.
  int32_t indexOf(const TreeNode* node);
  // A node's place among its siblings.
  int32_t rowOf(const TreeNode* node);
  // 0 for top-level nodes.
  static int32_t level(const TreeNode* node);
  // The next node in depth-first order (nullptr after the last); with
  // `skipChildren`, the next one that is not below `node`.
  TreeNode* next(const TreeNode* node, bool skipChildren = false);
  // The last node in depth-first order, nullptr when there is none.
  TreeNode* last();

  // A new node with the text as child `row` of `parent`.
  TreeNode* insert(TreeNode* parent, int32_t row, const Str& text);
  // Takes a node (with the nodes below it) out of the tree. It stays
  // readable until destroy() frees it.
  std::unique_ptr<TreeNode> detach(TreeNode* node);
  // Takes every node out: a holder whose children were the top-level nodes.
  std::unique_ptr<TreeNode> detachAll();
  // Frees a detached node and everything below it.
  static void destroy(std::unique_ptr<TreeNode> node);

  // Where a text goes among a parent's children kept in alphabetical
  // order: after the equal ones.
  int32_t sortedRow(TreeNode* parent, const Str& text);
  // Puts the children of `parent` in alphabetical order (case ignored,
  // equal texts keep their order); with `everyLevel`, the children of all
  // nodes below it too.
  void sortChildren(TreeNode* parent, bool everyLevel);

 private:
  // Brings rows and offsets up to date for children 0..upTo of `parent`.
  static void know(TreeNode* parent, size_t upTo);
  // The sizes of `from` and its ancestors change by `delta`.
  static void resized(TreeNode* from, int32_t delta);

  TreeNode root_;
};

}  // namespace kestrel::objects
