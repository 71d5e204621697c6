#include "objects/controls/tree_view.h"

#include <algorithm>
#include <utility>

#include "state/errors.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {
constexpr int32_t kDefaultWidth = 121;
constexpr int32_t kDefaultHeight = 97;
}  // namespace

class TreeView::EditBatch {
 public:
  explicit EditBatch(TreeView& tree) : tree_(tree) { ++tree_.busy_; }
  ~EditBatch() {
    if (--tree_.busy_ == 0 && !tree_.settling_ && !tree_.painting_) tree_.settle();
  }
  EditBatch(const EditBatch&) = delete;
  EditBatch& operator=(const EditBatch&) = delete;

 private:
  TreeView& tree_;
};

// Keeps deleted nodes readable while it lives (edits still run at once).
class TreeView::NodeHold {
 public:
  explicit NodeHold(TreeView& tree) : tree_(tree) { ++tree_.holds_; }
  ~NodeHold() {
    if (--tree_.holds_ == 0 && tree_.busy_ == 0 && !tree_.settling_) tree_.freeDeleted();
  }
  NodeHold(const NodeHold&) = delete;
  NodeHold& operator=(const NodeHold&) = delete;

 private:
  TreeView& tree_;
};

TreeView::TreeView(Machine& m, int type) : ControlOf(m, type) {
  color_ = gui::kColorWindow;
  setBounds(gui::Rect::fromSize(0, 0, kDefaultWidth, kDefaultHeight));
  peer().setSource(this);
  lookChanged();
}

TreeView::~TreeView() {
  peer().setSource(nullptr);
  *alive_ = false;
  // Without recursion, however deep the nodes go.
  for (auto& n : deleted_) NodeTree::destroy(std::move(n));
}

TreeNode& TreeView::node(int64_t index) {
  TreeNode* n = nodes_.at(index);
  if (n == nullptr) raiseListIndex(index);
  return *n;
}

// ---- Look.

void TreeView::lookChanged() {
  gui::TreeLook look;
  look.border = borderStyle_ != 0;
  look.hideSelection = hideSelection_ != 0;
  look.readOnly = readOnly_ != 0;
  look.showButtons = showButtons_ != 0;
  look.showLines = showLines_ != 0;
  look.showRoot = showRoot_ != 0;
  look.indent = std::clamp(indent_, 0, 1000);
  peer().setLook(look);
}

void TreeView::setBorderStyle(int32_t style) {
  borderStyle_ = style;
  lookChanged();
}
void TreeView::setHideSelection(uint8_t flag) {
  hideSelection_ = flag;
  lookChanged();
}
void TreeView::setIndent(int32_t pixels) {
  indent_ = pixels;
  lookChanged();
}
void TreeView::setReadOnly(uint8_t flag) {
  readOnly_ = flag;
  lookChanged();
}
void TreeView::setShowButtons(uint8_t flag) {
  showButtons_ = flag;
  lookChanged();
}
void TreeView::setShowLines(uint8_t flag) {
  showLines_ = flag;
  lookChanged();
}
void TreeView::setShowRoot(uint8_t flag) {
  showRoot_ = flag;
  lookChanged();
}

void TreeView::setSortType(int32_t type) {
  sortType_ = type;
  if (sorted()) sortNodes();
}

// Another list, or a change to one: every node's pictures may differ. A
// change an image-index handler makes while the view paints shows with the
// next paint, so that a handler that changes the list does not repaint
// endlessly.
void TreeView::imagesChanged() {
  if (!painting_) peer().imagesChanged();
}

// ---- Held-back edits.

void TreeView::runWhenFree(std::function<void()> edit) {
  if (busy_ > 0 || painting_) {
    waiting_.push_back(std::move(edit));
    if (painting_ && busy_ == 0 && !settlePosted_) {
      // Painting is in the toolkit's hands: the edits run from the event loop.
      settlePosted_ = true;
      std::weak_ptr<bool> alive = alive_;
      toolkit().post([this, alive] {
        if (alive.expired() || !*alive.lock()) return;
        settlePosted_ = false;
        if (busy_ == 0 && !painting_ && !settling_) settle();
      });
    }
    return;
  }
  EditBatch batch(*this);
  edit();
}

void TreeView::settle() {
  settling_ = true;
  while (!waiting_.empty()) {
    std::function<void()> edit = std::move(waiting_.front());
    waiting_.pop_front();
    EditBatch batch(*this);
    edit();
  }
  settling_ = false;
  if (holds_ == 0) freeDeleted();
}

// Nothing refers to the deleted nodes any more.
void TreeView::freeDeleted() {
  std::vector<std::unique_ptr<TreeNode>> freed = std::move(deleted_);
  deleted_.clear();
  for (auto& n : freed) NodeTree::destroy(std::move(n));
}

// ---- Nodes.

void TreeView::addNode(TreeNode* parent, const Str& text) {
  const int32_t row = sorted() ? nodes_.sortedRow(parent, text) : parent->childCount();
  peer().beginInsertNodes(refOf(parent), row, 1);
  nodes_.insert(parent, row, text);
  peer().endInsertNodes();
  if (parent != nodes_.root()) peer().nodeChanged(refOf(parent));
}

void TreeView::addNodes(TreeNode* parent, std::vector<Str> texts) {
  runWhenFree([this, parent, texts = std::move(texts)] {
    if (parent->dying) return;
    for (const Str& t : texts) addNode(parent, t);
  });
}

void TreeView::insertNode(TreeNode* before, const Str& text) {
  runWhenFree([this, before, text] {
    if (before->dying) return;
    TreeNode* parent = before->parent();
    if (sorted()) {
      addNode(parent, text);
      return;
    }
    const int32_t row = nodes_.rowOf(before);
    peer().beginInsertNodes(refOf(parent), row, 1);
    nodes_.insert(parent, row, text);
    peer().endInsertNodes();
  });
}

void TreeView::sortNodes() {
  runWhenFree([this] {
    peer().beginReorderNodes();
    nodes_.sortChildren(nodes_.root(), true);
    peer().endReorderNodes();
  });
}

// Raises the deletion events for a node and the nodes below it (in
// depth-first order, while all of them are still in the tree), then takes
// them out. Edits the handlers ask for wait (the caller holds a batch).
void TreeView::removeNode(TreeNode* node) {
  if (node->dying) return;
  std::vector<TreeNode*> doomed;
  const TreeNode* end = nodes_.next(node, true);
  for (TreeNode* n = node; n != nullptr && n != end; n = nodes_.next(n)) doomed.push_back(n);
  for (TreeNode* n : doomed) n->dying = true;
  const int32_t entry = handlerFor(gui::EventKind::Deletion);
  if (entry != 0)
    for (TreeNode* n : doomed) events::indexed(m_, entry, sender(), nodes_.indexOf(n));

  TreeNode* replacement = nullptr;
  const bool selectedGoes = selected_ != nullptr && selected_->dying;
  if (selectedGoes) {
    replacement = nodes_.next(node, true);
    if (replacement == nullptr && node->parent() != nodes_.root()) replacement = node->parent();
    if (replacement == nullptr) {
      const int32_t row = nodes_.rowOf(node);
      if (row > 0) replacement = node->parent()->child(row - 1);
    }
  }
  if (top_ != nullptr && top_->dying) top_ = nullptr;
  TreeNode* parent = node->parent();
  peer().beginRemoveNodes(refOf(parent), nodes_.rowOf(node), 1);
  deleted_.push_back(nodes_.detach(node));
  peer().endRemoveNodes();
  if (parent != nodes_.root()) peer().nodeChanged(refOf(parent));
  if (selectedGoes) selectionLost(replacement);
}

void TreeView::deleteNode(TreeNode* node) {
  runWhenFree([this, node] { removeNode(node); });
}

void TreeView::deleteIndices(std::vector<int32_t> indices) {
  runWhenFree([this, indices = std::move(indices)] {
    int32_t deleted = 0;
    for (int32_t index : indices) {
      TreeNode* n = nodes_.at(static_cast<int64_t>(index) - deleted);
      if (n == nullptr || n->dying) continue;
      const int32_t before = nodes_.count();
      removeNode(n);
      // One per index that deleted, however many nodes went with it.
      if (nodes_.count() < before) ++deleted;
    }
  });
}

void TreeView::clear() {
  runWhenFree([this] { clearNow(); });
}

void TreeView::clearNow() {
  std::vector<TreeNode*> doomed;
  for (TreeNode* n = nodes_.at(0); n != nullptr; n = nodes_.next(n)) doomed.push_back(n);
  for (TreeNode* n : doomed) n->dying = true;
  const int32_t entry = handlerFor(gui::EventKind::Deletion);
  if (entry != 0)
    for (TreeNode* n : doomed) events::indexed(m_, entry, sender(), nodes_.indexOf(n));
  const bool hadSelection = selected_ != nullptr;
  top_ = nullptr;
  selected_ = nullptr;
  peer().beginResetNodes();
  deleted_.push_back(nodes_.detachAll());
  peer().endResetNodes();
  if (hadSelection) selectionLost(nullptr);
}

void TreeView::loadLines(std::vector<TreeLine> lines) {
  runWhenFree([this, lines = std::move(lines)] {
    clearNow();
    peer().beginResetNodes();
    std::vector<TreeNode*> lastAt;  // the last node added at each level
    for (const TreeLine& line : lines) {
      const size_t level = static_cast<size_t>(line.level);
      TreeNode* parent = level == 0 ? nodes_.root() : lastAt[level - 1];
      lastAt.resize(level);
      lastAt.push_back(nodes_.insert(parent, parent->childCount(), line.text));
    }
    if (sorted()) nodes_.sortChildren(nodes_.root(), true);
    peer().endResetNodes();
  });
}

// ---- Node state.

void TreeView::setNodeText(TreeNode& n, const Str& text) {
  n.text = text;
  peer().nodeChanged(refOf(&n));
}

void TreeView::setImageIndex(TreeNode& n, int32_t index) {
  n.imageIndex = index;
  // An image-index handler answers while the node is painted: no repaint.
  if (!painting_) peer().nodeChanged(refOf(&n));
}

void TreeView::setSelectedIndex(TreeNode& n, int32_t index) {
  n.selectedIndex = index;
  if (!painting_) peer().nodeChanged(refOf(&n));
}

void TreeView::setStateIndex(TreeNode& n, int32_t index) {
  n.stateIndex = index;
  if (!painting_) peer().nodeChanged(refOf(&n));
}

void TreeView::setHasChildren(TreeNode& n, bool has) {
  n.hasChildren = has || n.childCount() > 0;
  peer().nodeChanged(refOf(&n));
}

bool TreeView::changeExpanded(TreeNode& n, bool expand) {
  if (n.expanded == expand) return true;
  // The handler may fill the node at once, or delete it.
  NodeHold hold(*this);
  const int32_t index = nodes_.indexOf(&n);
  const int32_t asking = handlerFor(expand ? gui::EventKind::Expanding : gui::EventKind::Collapsing);
  if (asking != 0 && !events::query(m_, asking, sender(), index, true)) return false;
  // A handler may have deleted the node, or filled it (lazy loading).
  if (n.dying || n.expanded == expand) return !n.dying;
  n.expanded = expand;
  peer().showExpanded(refOf(&n), expand);
  const int32_t told = handlerFor(expand ? gui::EventKind::Expanded : gui::EventKind::Collapsed);
  if (told != 0) events::indexed(m_, told, sender(), nodes_.indexOf(&n));
  return true;
}

void TreeView::expand(TreeNode& n, bool expand, bool recurse) {
  if (!recurse) {
    changeExpanded(n, expand);
    return;
  }
  // Deletions the handlers ask for wait until the walk is done.
  EditBatch batch(*this);
  std::vector<TreeNode*> walk;
  const TreeNode* end = nodes_.next(&n, true);
  for (TreeNode* d = &n; d != nullptr && d != end; d = nodes_.next(d)) walk.push_back(d);
  for (TreeNode* d : walk)
    if (!d->dying) changeExpanded(*d, expand);
}

void TreeView::expandAll(bool expand) {
  EditBatch batch(*this);
  std::vector<TreeNode*> walk;
  for (TreeNode* d = nodes_.at(0); d != nullptr; d = nodes_.next(d)) walk.push_back(d);
  for (TreeNode* d : walk)
    if (!d->dying) changeExpanded(*d, expand);
}

void TreeView::showAncestors(TreeNode& n) {
  std::vector<TreeNode*> up;
  for (TreeNode* a = n.parent(); a != nullptr && a != nodes_.root(); a = a->parent()) up.push_back(a);
  for (auto it = up.rbegin(); it != up.rend(); ++it)
    if (!(*it)->expanded) {
      (*it)->expanded = true;
      peer().showExpanded(refOf(*it), true);
    }
}

bool TreeView::select(TreeNode* n) {
  if (n == selected_) return true;
  NodeHold hold(*this);
  const int32_t asking = handlerFor(gui::EventKind::Changing);
  if (asking != 0 && n != nullptr && !events::query(m_, asking, sender(), nodes_.indexOf(n), true)) return false;
  if (n != nullptr && n->dying) return false;
  selected_ = n;
  if (n != nullptr) showAncestors(*n);
  if (!userSelecting_) peer().showSelected(refOf(n));
  events::notify(m_, handlerFor(gui::EventKind::Change), sender());
  return true;
}

void TreeView::selectionLost(TreeNode* replacement) {
  selected_ = replacement;
  peer().showSelected(replacement != nullptr ? refOf(replacement) : nullptr);
  events::notify(m_, handlerFor(gui::EventKind::Change), sender());
}

int32_t TreeView::topIndex() {
  gui::TreeNodeRef shown = nullptr;
  if (peer().topNode(shown)) return nodes_.indexOf(nodeOf(shown));
  if (top_ != nullptr) return nodes_.indexOf(top_);
  return nodes_.count() > 0 ? 0 : -1;
}

void TreeView::setTopNode(TreeNode& n) {
  top_ = &n;
  showAncestors(n);
  peer().scrollToTop(refOf(&n));
}

int32_t TreeView::indexAt(int32_t x, int32_t y) { return nodes_.indexOf(nodeOf(peer().nodeAt(x, y))); }

// ---- What the toolkit asks.

int32_t TreeView::childCount(gui::TreeNodeRef parent) {
  return parent == nullptr ? nodes_.root()->childCount() : nodeOf(parent)->childCount();
}

gui::TreeNodeRef TreeView::childAt(gui::TreeNodeRef parent, int32_t row) {
  const TreeNode* p = parent == nullptr ? nodes_.root() : nodeOf(parent);
  if (row < 0 || row >= p->childCount()) return nullptr;
  return p->child(row);
}

gui::TreeNodeRef TreeView::parentOf(gui::TreeNodeRef n) { return n == nullptr ? nullptr : refOf(nodeOf(n)->parent()); }

int32_t TreeView::rowOf(gui::TreeNodeRef n) { return n == nullptr ? 0 : nodes_.rowOf(nodeOf(n)); }

std::string TreeView::nodeText(gui::TreeNodeRef n) { return n == nullptr ? std::string() : nodeOf(n)->text.str(); }

bool TreeView::nodeHasChildren(gui::TreeNodeRef n) {
  if (n == nullptr) return nodes_.count() > 0;
  const TreeNode* node = nodeOf(n);
  return node->hasChildren || node->childCount() > 0;
}

const gui::Surface* TreeView::nodeStateImage(gui::TreeNodeRef n, gui::Size& size) {
  size = {};
  const ImageList* list = stateImages_.list();
  if (list == nullptr || n == nullptr) return nullptr;
  const int32_t index = nodeOf(n)->stateIndex;
  if (index < 0) return nullptr;
  size = list->strip().size;
  return list->strip().at(index);
}

// The program may answer through its image-index events; while one runs,
// the nodes it touches are not painted again, and a paint it causes does
// not ask again.
const gui::Surface* TreeView::nodeImage(gui::TreeNodeRef n, gui::Size& size) {
  size = {};
  if (images_.list() == nullptr || n == nullptr) return nullptr;
  TreeNode* node = nodeOf(n);
  const bool isSelected = node == selected_;
  if (!painting_) {
    const int32_t entry = handlerFor(isSelected ? gui::EventKind::GetSelectedIndex : gui::EventKind::GetImageIndex);
    if (entry != 0) {
      events::FlagGuard guard(painting_, true);
      events::indexed(m_, entry, sender(), nodes_.indexOf(node));
    }
  }
  // The handler may have changed the list, named another, or deleted the node.
  const ImageList* list = images_.list();
  if (list == nullptr || node->dying) return nullptr;
  size = list->strip().size;
  return list->strip().at(isSelected ? node->selectedIndex : node->imageIndex);
}

bool TreeView::userExpand(gui::TreeNodeRef n, bool expand) {
  if (n == nullptr) return false;
  return changeExpanded(*nodeOf(n), expand);
}

void TreeView::userExpandAll(gui::TreeNodeRef n) {
  if (n != nullptr) expand(*nodeOf(n), true, true);
}

bool TreeView::userSelect(gui::TreeNodeRef n) {
  events::FlagGuard guard(userSelecting_, true);
  return select(nodeOf(n));
}

bool TreeView::userMayEdit(gui::TreeNodeRef n) {
  if (n == nullptr || readOnly_ != 0) return false;
  const int32_t entry = handlerFor(gui::EventKind::Editing);
  return entry == 0 || events::query(m_, entry, sender(), nodes_.indexOf(nodeOf(n)), true);
}

void TreeView::userEdited(gui::TreeNodeRef n, const std::string& text) {
  if (n == nullptr) return;
  TreeNode* node = nodeOf(n);
  NodeHold hold(*this);
  Str result(text);
  const int32_t entry = handlerFor(gui::EventKind::Edited);
  if (entry != 0) result = events::edited(m_, entry, sender(), nodes_.indexOf(node), result);
  if (!node->dying) setNodeText(*node, result);
}

// ---- Tree files.

std::vector<TreeLine> parseTreeText(std::string_view text) {
  std::vector<TreeLine> lines;
  int32_t previous = -1;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find_first_of("\r\n", at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    at = end;
    if (at < text.size() && text[at] == '\r') ++at;
    if (at < text.size() && text[at] == '\n') ++at;
    size_t tabs = 0;
    while (tabs < line.size() && line[tabs] == '\t') ++tabs;
    if (tabs == line.size()) continue;  // an empty line holds no node
    const int32_t level = static_cast<int32_t>(std::min<size_t>(tabs, 0x7FFFFFFF));
    const std::string_view nodeText = line.substr(tabs);
    if (level > previous + 1)
      raise("Invalid level (" + std::to_string(level) + ") for item \"" + std::string(nodeText) + "\"");
    lines.push_back({level, Str(nodeText)});
    previous = level;
  }
  return lines;
}

std::string treeText(NodeTree& nodes) {
  std::string out;
  // The path from the top to the node written last: its length is the level.
  std::vector<std::pair<const TreeNode*, int32_t>> path{{nodes.root(), 0}};
  while (!path.empty()) {
    auto& [parent, row] = path.back();
    if (row == parent->childCount()) {
      path.pop_back();
      continue;
    }
    const TreeNode* n = parent->child(row++);
    out.append(path.size() - 1, '\t');
    out += n->text.view();
    out += "\r\n";
    path.emplace_back(n, 0);
  }
  return out;
}

}  // namespace kestrel::objects
