#pragma once
// Tree views (type 83): nodes with texts, images and an expanded state,
// addressed by absolute index (tree_nodes.h). The engine keeps the nodes
// and raises every event; the peer shows them (toolkit/peers/tree_view.h).
//
// Changing, expanding, collapsing and editing ask the program first
// (their handlers may veto), whether the user or the program asked for
// them. While a deletion or clearing raises its events, and while the
// program answers an image-index event during painting, edits that add or
// remove nodes wait: they run when the deletion is done (after painting,
// from the event loop), so no handler can free nodes that are being walked.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "objects/control.h"
#include "objects/controls/tree_nodes.h"
#include "objects/image_list.h"
#include "toolkit/peers/tree_view.h"

namespace kestrel::objects {

inline constexpr int kTreeViewType = 83;

// One line of a tree file: the node's level and text.
struct TreeLine {
  int32_t level = 0;
  Str text;
};
// The lines of a tree file: a node a line, a tab per level before its text
// (either line end). A line more than one level below the one before it is
// the error "Invalid level (N) for item "X"".
std::vector<TreeLine> parseTreeText(std::string_view text);
// The nodes as a tree file: tabs, the text and CR LF per node.
std::string treeText(NodeTree& nodes);

class TreeView : public ControlOf<gui::TreeViewPeer>, private gui::TreeViewSource {
 public:
  TreeView(Machine& m, int type);
  ~TreeView() override;

  const char* windowClass() const override { return "TTreeView"; }

  NodeTree& nodes() { return nodes_; }
  // The node at an absolute index ("List index out of bounds (N)" outside the tree).
  TreeNode& node(int64_t index);

  // ---- Look.
  int32_t borderStyle() const { return borderStyle_; }
  void setBorderStyle(int32_t style);
  uint8_t hideSelection() const { return hideSelection_; }
  void setHideSelection(uint8_t flag);
  int32_t indent() const { return indent_; }
  void setIndent(int32_t pixels);
  uint8_t readOnly() const { return readOnly_; }
  void setReadOnly(uint8_t flag);
  uint8_t showButtons() const { return showButtons_; }
  void setShowButtons(uint8_t flag);
  uint8_t showLines() const { return showLines_; }
  void setShowLines(uint8_t flag);
  uint8_t showRoot() const { return showRoot_; }
  void setShowRoot(uint8_t flag);
  // 0 none, 1 by data, 2 by text, 3 both: 2 and 3 keep the nodes in alphabetical order.
  int32_t sortType() const { return sortType_; }
  bool sorted() const { return sortType_ == 2 || sortType_ == 3; }
  void setSortType(int32_t type);
  // The image lists whose pictures show beside the nodes (nullptr: none).
  void setImages(ImageList* images) { images_.attach(images); }
  void setStateImages(ImageList* images) { stateImages_.attach(images); }
  ImageList* images() const { return images_.list(); }
  ImageList* stateImages() const { return stateImages_.list(); }

  // ---- Nodes. Each edit that adds or removes nodes waits while a
  // deletion raises its events (see above); nodes it names that are
  // deleted meanwhile are left alone.
  // New last children of `parent` (the root for top-level nodes), in
  // alphabetical place while the tree is sorted.
  void addNodes(TreeNode* parent, std::vector<Str> texts);
  // A new node before `before`, among its siblings.
  void insertNode(TreeNode* before, const Str& text);
  // Every level in alphabetical order.
  void sortNodes();
  // Deletes a node with the nodes below it.
  void deleteNode(TreeNode* node);
  // Deletes the nodes at these indices, each reduced by the number
  // deleted before it; indices outside the tree are skipped.
  void deleteIndices(std::vector<int32_t> indices);
  void clear();
  // Replaces every node by the lines of a tree file.
  void loadLines(std::vector<TreeLine> lines);

  // ---- Node state, with the events it raises.
  void setNodeText(TreeNode& node, const Str& text);
  void setImageIndex(TreeNode& node, int32_t index);
  void setSelectedIndex(TreeNode& node, int32_t index);
  void setStateIndex(TreeNode& node, int32_t index);
  void setHasChildren(TreeNode& node, bool has);
  // Expands or collapses a node (with `recurse`, the nodes below it too);
  // the program's handlers may veto each node.
  void expand(TreeNode& node, bool expand, bool recurse);
  void expandAll(bool expand);
  // Selects a node (nullptr: none) unless the changing handler vetoes.
  bool select(TreeNode* node);
  TreeNode* selected() const { return selected_; }
  int32_t selectedIndex() { return nodes_.indexOf(selected_); }
  int32_t topIndex();
  void setTopNode(TreeNode& node);
  int32_t indexAt(int32_t x, int32_t y);

 private:
  // Holds edits back while it lives (see above); the outermost one runs
  // them and frees the deleted nodes.
  class EditBatch;
  class NodeHold;
  void freeDeleted();
  void runWhenFree(std::function<void()> edit);
  void settle();
  void clearNow();
  void lookChanged();
  void imagesChanged();
  void addNode(TreeNode* parent, const Str& text);
  void removeNode(TreeNode* node);
  void reorderSiblings(TreeNode* parent);
  bool changeExpanded(TreeNode& node, bool expand);
  void showAncestors(TreeNode& node);
  // A node became the selected one or lost it without being asked (a deletion).
  void selectionLost(TreeNode* replacement);
  static TreeNode* nodeOf(gui::TreeNodeRef ref) { return static_cast<TreeNode*>(const_cast<void*>(ref)); }
  gui::TreeNodeRef refOf(const TreeNode* node) const { return node == nodes_.root() ? nullptr : node; }

  // ---- gui::TreeViewSource
  int32_t childCount(gui::TreeNodeRef parent) override;
  gui::TreeNodeRef childAt(gui::TreeNodeRef parent, int32_t row) override;
  gui::TreeNodeRef parentOf(gui::TreeNodeRef node) override;
  int32_t rowOf(gui::TreeNodeRef node) override;
  std::string nodeText(gui::TreeNodeRef node) override;
  bool nodeHasChildren(gui::TreeNodeRef node) override;
  const gui::Surface* nodeStateImage(gui::TreeNodeRef node, gui::Size& size) override;
  const gui::Surface* nodeImage(gui::TreeNodeRef node, gui::Size& size) override;
  bool userExpand(gui::TreeNodeRef node, bool expand) override;
  void userExpandAll(gui::TreeNodeRef node) override;
  bool userSelect(gui::TreeNodeRef node) override;
  bool userMayEdit(gui::TreeNodeRef node) override;
  void userEdited(gui::TreeNodeRef node, const std::string& text) override;

  NodeTree nodes_;
  TreeNode* selected_ = nullptr;
  TreeNode* top_ = nullptr;  // the top node the program asked for (null toolkit)
  int32_t borderStyle_ = 1;
  uint8_t hideSelection_ = 1;
  int32_t indent_ = 19;
  uint8_t readOnly_ = 0;
  uint8_t showButtons_ = 1;
  uint8_t showLines_ = 1;
  uint8_t showRoot_ = 1;
  int32_t sortType_ = 0;
  ImageListLink images_{[this] { imagesChanged(); }};
  ImageListLink stateImages_{[this] { imagesChanged(); }};

  int busy_ = 0;          // edit batches open
  int holds_ = 0;         // node holds open
  bool settling_ = false;
  bool painting_ = false; // an image-index handler runs
  bool userSelecting_ = false;  // the peer shows the user's selection itself
  bool settlePosted_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  std::deque<std::function<void()>> waiting_;
  std::vector<std::unique_ptr<TreeNode>> deleted_;  // freed when the batches close
};

void registerTreeViewType(TypeRegistry& registry);

}  // namespace kestrel::objects
