#pragma once
// Outlines (type 62): items on levels, numbered from 1 in the order they
// are shown when every item is expanded. The same items are the outline's
// lines, numbered from 0, a line's leading tabs giving its item's level.
#include <array>
#include <cstdint>
#include <memory>

#include "objects/control.h"
#include "objects/controls/tree_nodes.h"
#include "toolkit/peers/outline.h"

namespace kestrel::objects {

inline constexpr int kOutlineType = 62;

class Outline : public ControlOf<gui::OutlinePeer>, private gui::OutlineListener {
 public:
  Outline(Machine& m, int type);
  ~Outline() override;

  const char* windowClass() const override { return "TOutline"; }

  NodeTree& items() { return items_; }
  // Item n, from 1 ("Invalid outline index" for any other number).
  TreeNode& item(int64_t index);
  int32_t itemIndex(const TreeNode* node) { return node == nullptr ? 0 : items_.indexOf(node) + 1; }

  int32_t borderStyle() const { return look_.border ? 1 : 0; }
  void setBorderStyle(int32_t style);
  int32_t itemHeight() const { return look_.itemHeight; }
  void setItemHeight(int32_t height);
  const Str& itemSeparator() const { return separator_; }
  void setItemSeparator(const Str& text) { separator_ = text; }
  int32_t outlineStyle() const { return look_.style; }
  // 0 to 5; other numbers are brought into that range.
  void setOutlineStyle(int32_t style);
  int32_t scrollBars() const { return look_.scrollBars; }
  void setScrollBars(int32_t bars);
  // Options are bits 0 to 7 (0: lines and buttons for the top level too).
  void changeOptions(int option, bool on);
  uint8_t options() const { return options_; }
  void setPicture(gui::OutlinePicture which, const std::vector<uint8_t>& bytes);

  // ---- Items and lines.
  // A line: its leading tabs give the level; a jump of more than one level
  // below the last item is an error.
  void addLine(const Str& line);
  int32_t lineCount() const { return items_.count(); }
  void clear();
  // Deletes line n with the lines of the items below it ("List index out of bounds (N)").
  void deleteLine(int32_t line);
  Str lineText(int32_t line);
  void setLineText(int32_t line, const Str& text);
  // Item 0 stands for the top level.
  void addChild(int32_t index, const Str& text);
  void insert(int32_t index, const Str& text);

  // ---- The current item.
  int32_t selectedItem() { return itemIndex(selected_); }
  void setSelectedItem(int32_t index);
  // The row of the current item among the items shown (-1: none).
  int32_t row();
  void setRow(int32_t row);

 private:
  void lookChanged() { peer().setLook(look_); }
  TreeNode* addItem(TreeNode* parent, int32_t row, const Str& text);
  static gui::OutlineItemRef refOf(const TreeNode* node) { return node; }
  static TreeNode* nodeOf(gui::OutlineItemRef ref) { return static_cast<TreeNode*>(const_cast<void*>(ref)); }
  // The item shown after `node` (its children only while it is expanded).
  TreeNode* nextShown(TreeNode* node);

  // ---- gui::OutlineListener
  void userSelected(gui::OutlineItemRef item) override { selected_ = nodeOf(item); }
  void userExpanded(gui::OutlineItemRef item, bool expanded) override {
    if (item != nullptr) nodeOf(item)->expanded = expanded;
  }

  NodeTree items_;
  TreeNode* selected_ = nullptr;
  gui::OutlineLook look_;
  Str separator_ = "\\";
  uint8_t options_ = 0x03;
  std::array<std::unique_ptr<gui::Surface>, gui::kOutlinePictureCount> pictures_;
};

void registerOutlineType(TypeRegistry& registry);

}  // namespace kestrel::objects
