#include "objects/controls/outline.h"

#include <algorithm>
#include <string>

#include "state/errors.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {
constexpr int32_t kDefaultWidth = 121;
constexpr int32_t kDefaultHeight = 97;
constexpr const char* kInvalidIndex = "Invalid outline index";
constexpr int kDrawTreeRoot = 0;
}  // namespace

Outline::Outline(Machine& m, int type) : ControlOf(m, type) {
  color_ = gui::kColorWindow;
  setBounds(gui::Rect::fromSize(0, 0, kDefaultWidth, kDefaultHeight));
  peer().setListener(this);
  lookChanged();
}

Outline::~Outline() { peer().setListener(nullptr); }

TreeNode& Outline::item(int64_t index) {
  TreeNode* n = index >= 1 ? items_.at(index - 1) : nullptr;
  if (n == nullptr) raise(kInvalidIndex);
  return *n;
}

void Outline::setBorderStyle(int32_t style) {
  look_.border = style != 0;
  lookChanged();
}

void Outline::setItemHeight(int32_t height) {
  look_.itemHeight = std::clamp(height, 1, 4096);
  lookChanged();
}

void Outline::setOutlineStyle(int32_t style) {
  look_.style = std::clamp(style, 0, 5);
  lookChanged();
}

void Outline::setScrollBars(int32_t bars) {
  look_.scrollBars = std::clamp(bars, 0, 3);
  lookChanged();
}

void Outline::changeOptions(int option, bool on) {
  if (option < 0 || option > 7) return;
  const auto bit = static_cast<uint8_t>(1u << option);
  options_ = on ? static_cast<uint8_t>(options_ | bit) : static_cast<uint8_t>(options_ & ~bit);
  look_.drawTreeRoot = (options_ & (1u << kDrawTreeRoot)) != 0;
  lookChanged();
}

void Outline::setPicture(gui::OutlinePicture which, const std::vector<uint8_t>& bytes) {
  std::unique_ptr<gui::Surface> picture = toolkit().createSurface(0, 0, gui::kWhite);
  if (!picture->load(bytes.data(), bytes.size())) raise("Bitmap image is not valid");
  auto& slot = pictures_[static_cast<size_t>(which)];
  slot = std::move(picture);
  peer().setPicture(which, slot.get());
}

TreeNode* Outline::addItem(TreeNode* parent, int32_t row, const Str& text) {
  TreeNode* n = items_.insert(parent, row, text);
  peer().insertItem(parent == items_.root() ? nullptr : refOf(parent), items_.rowOf(n), refOf(n), text.view());
  return n;
}

void Outline::addLine(const Str& line) {
  const std::string_view text = line.view();
  size_t tabs = 0;
  while (tabs < text.size() && text[tabs] == '\t') ++tabs;
  const std::string_view itemText = text.substr(tabs);
  TreeNode* parent = items_.root();
  TreeNode* last = items_.last();
  const int64_t lastLevel = last == nullptr ? -1 : NodeTree::level(last);
  if (static_cast<int64_t>(tabs) > lastLevel + 1)
    raise("Invalid level (" + std::to_string(tabs) + ") for item \"" + std::string(itemText) + "\"");
  if (tabs > 0) {
    parent = last;
    for (int64_t level = lastLevel; level >= static_cast<int64_t>(tabs); --level) parent = parent->parent();
  }
  addItem(parent, parent->childCount(), Str(itemText));
}

void Outline::clear() {
  selected_ = nullptr;
  peer().clearItems();
  NodeTree::destroy(items_.detachAll());
}

void Outline::deleteLine(int32_t line) {
  TreeNode* n = items_.at(line);
  if (n == nullptr) raiseListIndex(line);
  if (selected_ != nullptr)
    for (TreeNode* a = selected_; a != nullptr; a = a->parent())
      if (a == n) {
        selected_ = nullptr;
        break;
      }
  peer().removeItem(refOf(n));
  NodeTree::destroy(items_.detach(n));
}

Str Outline::lineText(int32_t line) {
  TreeNode* n = items_.at(line);
  if (n == nullptr) raiseListIndex(line);
  return n->text;
}

void Outline::setLineText(int32_t line, const Str& text) {
  TreeNode* n = items_.at(line);
  if (n == nullptr) raiseListIndex(line);
  n->text = text;
  peer().setItemText(refOf(n), text.view());
}

void Outline::addChild(int32_t index, const Str& text) {
  TreeNode* parent = index == 0 ? items_.root() : &item(index);
  addItem(parent, parent->childCount(), text);
}

void Outline::insert(int32_t index, const Str& text) {
  if (index == 0) {
    addItem(items_.root(), items_.root()->childCount(), text);
    return;
  }
  TreeNode& before = item(index);
  addItem(before.parent(), items_.rowOf(&before), text);
}

void Outline::setSelectedItem(int32_t index) {
  TreeNode* n = index == 0 ? nullptr : &item(index);
  selected_ = n;
  for (TreeNode* a = n != nullptr ? n->parent() : nullptr; a != nullptr && a != items_.root(); a = a->parent())
    if (!a->expanded) {
      a->expanded = true;
      peer().showExpanded(refOf(a), true);
    }
  peer().showSelected(refOf(n));
}

TreeNode* Outline::nextShown(TreeNode* node) { return items_.next(node, !node->expanded); }

int32_t Outline::row() {
  if (selected_ == nullptr) return -1;
  int32_t row = 0;
  for (TreeNode* n = items_.at(0); n != nullptr; n = nextShown(n), ++row)
    if (n == selected_) return row;
  return -1;  // inside a collapsed item
}

void Outline::setRow(int32_t row) {
  if (row < 0) return;
  TreeNode* n = items_.at(0);
  for (int32_t r = 0; n != nullptr && r < row; ++r) n = nextShown(n);
  if (n != nullptr) setSelectedItem(itemIndex(n));
}

}  // namespace kestrel::objects
