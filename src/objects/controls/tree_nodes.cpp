#include "objects/controls/tree_nodes.h"

#include <algorithm>

#include "objects/string_list.h"

namespace kestrel::objects {

namespace {
// Item handles: numbers that no window handle uses.
uint32_t nextHandle = 0x00F00000;
}  // namespace

NodeTree::NodeTree() { root_.expanded = true; }

NodeTree::~NodeTree() { destroy(detachAll()); }

void NodeTree::know(TreeNode* parent, size_t upTo) {
  auto& children = parent->children_;
  if (children.empty()) return;
  upTo = std::min(upTo, children.size() - 1);
  for (size_t k = parent->known_; k <= upTo; ++k) {
    TreeNode* c = children[k].get();
    c->row_ = static_cast<int32_t>(k);
    c->offset_ = k == 0 ? 1 : children[k - 1]->offset_ + children[k - 1]->size_;
  }
  parent->known_ = std::max(parent->known_, upTo + 1);
}

// A node's stored row is stale only at or past its parent's known_, so the
// smaller of the two is always right for lowering known_.
void NodeTree::resized(TreeNode* from, int32_t delta) {
  for (TreeNode* a = from; a != nullptr; a = a->parent_) {
    a->size_ += delta;
    if (a->parent_ != nullptr)
      a->parent_->known_ = std::min(a->parent_->known_, static_cast<size_t>(a->row_) + 1);
  }
}

TreeNode* NodeTree::at(int64_t index) {
  if (index < 0 || index >= count()) return nullptr;
  TreeNode* node = &root_;
  int64_t target = index + 1;  // the offset from `node` to the wanted one
  for (;;) {
    auto& children = node->children_;
    size_t k;
    const size_t known = node->known_;
    if (known > 0 && children[known - 1]->offset_ + children[known - 1]->size_ > target) {
      // Among the known children: the last whose offset is not past the target.
      auto it = std::upper_bound(children.begin(), children.begin() + static_cast<ptrdiff_t>(known), target,
                                 [](int64_t t, const std::unique_ptr<TreeNode>& c) { return t < c->offset_; });
      k = static_cast<size_t>(it - children.begin()) - 1;
    } else {
      k = known;
      for (;; ++k) {
        know(node, k);
        if (children[k]->offset_ + children[k]->size_ > target) break;
      }
    }
    TreeNode* c = children[k].get();
    if (c->offset_ == target) return c;
    target -= c->offset_;
    node = c;
  }
}

// Below known_, child k's row is k; a node past it may keep an old row
// that another child now has.
int32_t NodeTree::rowOf(const TreeNode* node) {
  TreeNode* parent = node->parent_;
  const auto row = static_cast<size_t>(node->row_);
  if (row < parent->known_ && parent->children_[row].get() == node) return node->row_;
  for (size_t k = parent->known_; k < parent->children_.size(); ++k) {
    know(parent, k);
    if (parent->children_[k].get() == node) break;
  }
  return node->row_;
}

int32_t NodeTree::indexOf(const TreeNode* node) {
  if (node == nullptr || node == &root_) return -1;
  int64_t index = -1;
  for (const TreeNode* n = node; n != &root_; n = n->parent_) {
    rowOf(n);
    index += n->offset_;
  }
  return static_cast<int32_t>(index);
}

int32_t NodeTree::level(const TreeNode* node) {
  int32_t level = -1;
  for (const TreeNode* n = node; n->parent_ != nullptr; n = n->parent_) ++level;
  return level;
}

TreeNode* NodeTree::next(const TreeNode* node, bool skipChildren) {
  if (!skipChildren && !node->children_.empty()) return node->children_.front().get();
  for (const TreeNode* n = node; n != &root_; n = n->parent_) {
    const size_t row = static_cast<size_t>(rowOf(n));
    if (row + 1 < n->parent_->children_.size()) return n->parent_->children_[row + 1].get();
  }
  return nullptr;
}

TreeNode* NodeTree::last() {
  if (root_.children_.empty()) return nullptr;
  TreeNode* n = &root_;
  while (!n->children_.empty()) n = n->children_.back().get();
  return n;
}

TreeNode* NodeTree::insert(TreeNode* parent, int32_t row, const Str& text) {
  auto node = std::make_unique<TreeNode>();
  TreeNode* n = node.get();
  n->text = text;
  n->handle = nextHandle++;
  n->parent_ = parent;
  const size_t at = std::min(static_cast<size_t>(std::max(row, 0)), parent->children_.size());
  n->row_ = static_cast<int32_t>(at);
  parent->children_.insert(parent->children_.begin() + static_cast<ptrdiff_t>(at), std::move(node));
  parent->known_ = std::min(parent->known_, at);
  parent->hasChildren = true;
  resized(parent, 1);
  return n;
}

std::unique_ptr<TreeNode> NodeTree::detach(TreeNode* node) {
  TreeNode* parent = node->parent_;
  const size_t row = static_cast<size_t>(rowOf(node));
  std::unique_ptr<TreeNode> taken = std::move(parent->children_[row]);
  parent->children_.erase(parent->children_.begin() + static_cast<ptrdiff_t>(row));
  parent->known_ = std::min(parent->known_, row);
  if (parent->children_.empty()) parent->hasChildren = false;
  resized(parent, -taken->size_);
  taken->parent_ = nullptr;
  return taken;
}

std::unique_ptr<TreeNode> NodeTree::detachAll() {
  auto holder = std::make_unique<TreeNode>();
  holder->children_ = std::move(root_.children_);
  root_.children_.clear();
  for (auto& c : holder->children_) c->parent_ = holder.get();
  root_.size_ = 1;
  root_.known_ = 0;
  return holder;
}

void NodeTree::destroy(std::unique_ptr<TreeNode> node) {
  std::vector<std::unique_ptr<TreeNode>> pending;
  if (node) pending.push_back(std::move(node));
  while (!pending.empty()) {
    std::unique_ptr<TreeNode> n = std::move(pending.back());
    pending.pop_back();
    for (auto& c : n->children_) pending.push_back(std::move(c));
    n->children_.clear();
  }
}

int32_t NodeTree::sortedRow(TreeNode* parent, const Str& text) {
  const auto& children = parent->children_;
  auto it = std::upper_bound(children.begin(), children.end(), text, [](const Str& t, const std::unique_ptr<TreeNode>& c) {
    return compareText(t.view(), c->text.view()) < 0;
  });
  return static_cast<int32_t>(it - children.begin());
}

void NodeTree::sortChildren(TreeNode* parent, bool everyLevel) {
  std::vector<TreeNode*> pending{parent};
  while (!pending.empty()) {
    TreeNode* n = pending.back();
    pending.pop_back();
    std::stable_sort(n->children_.begin(), n->children_.end(),
                     [](const std::unique_ptr<TreeNode>& a, const std::unique_ptr<TreeNode>& b) {
                       return compareText(a->text.view(), b->text.view()) < 0;
                     });
    n->known_ = 0;
    if (everyLevel)
      for (auto& c : n->children_)
        if (!c->children_.empty()) pending.push_back(c.get());
  }
}

}  // namespace kestrel::objects
