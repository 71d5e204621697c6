#pragma once
// Lists of items: list boxes, combo boxes and file list boxes. The engine
// keeps the items and the selection and tells the peer every change; the
// peer shows them and tells the engine what the user chose. The items of
// an owner-drawn list are painted and measured by the engine.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/peers/window.h"
#include "toolkit/surface.h"

namespace kestrel::gui {

// How a list shows its items: as text, or painted by the program, all of
// one height or each of its own.
enum class ItemStyle { Text = 0, OwnerFixed = 1, OwnerVariable = 2 };

// What a list's peer asks of its engine object (which is also the peer's
// WindowOwner).
class ItemListOwner {
 public:
  virtual ~ItemListOwner() = default;
  // Paints item `index` into `picture`, a picture of the item's size that
  // stands at `rect` in the list's client area.
  virtual void paintItem(int32_t index, const Rect& rect, bool selected, Surface& picture) = 0;
  // The height of item `index` of a list whose items differ in height.
  virtual int32_t measuredHeight(int32_t index) = 0;
  // The user chose the current item (-1: none) and, in a list that
  // selects several, which items are selected.
  virtual void userSelected(int32_t current, const std::vector<bool>& selected) = 0;
  // The user typed in a combo box's edit field.
  virtual void userEdited(const std::string& text) { (void)text; }
};

// What list and combo boxes share: the items, how they show, the current
// item.
class ItemListPeer : public WindowPeer {
 public:
  using WindowPeer::WindowPeer;
  virtual void insertItem(int32_t index, std::string_view text);
  virtual void removeItem(int32_t index);
  virtual void setItemText(int32_t index, std::string_view text);
  virtual void clearItems();
  // Text or painted items; `itemHeight` is the height of painted ones.
  virtual void setItemStyle(ItemStyle style, int32_t itemHeight);
  // The engine's selection: the current item and (list boxes) the
  // selected ones.
  virtual void showSelection(int32_t current, const std::vector<bool>& selected);
  // Painted items look different or have new heights: measure and paint
  // them again.
  virtual void repaintItems() {}

  const std::vector<std::string>& items() const { return items_; }
  int32_t current() const { return current_; }
  const std::vector<bool>& selected() const { return selected_; }
  ItemStyle itemStyle() const { return style_; }
  int32_t itemHeight() const { return itemHeight_; }

 protected:
  std::vector<std::string> items_;
  std::vector<bool> selected_;
  int32_t current_ = -1;
  ItemStyle style_ = ItemStyle::Text;
  int32_t itemHeight_ = 16;
};

// A list box.
class ListPeer : public ItemListPeer {
 public:
  using ItemListPeer::ItemListPeer;
  // Several items may be selected; extended: with Shift and Ctrl as well.
  virtual void setSelectionMode(bool multiSelect, bool extendedSelect) {
    multiSelect_ = multiSelect;
    extendedSelect_ = extendedSelect;
  }
  // Items in that many columns side by side (0: one column, scrolled up and down).
  virtual void setColumns(int32_t columns) { columns_ = columns; }
  // Tab stops every `width` dialog units (0: the standard ones).
  virtual void setTabWidth(int32_t width) { tabWidth_ = width; }
  virtual void setBorder(bool single) { border_ = single; }
  // The first item shown (an index the engine has checked).
  virtual void scrollTo(int32_t index) { topIndex_ = index; }
  virtual int32_t topIndex() const { return topIndex_; }

 protected:
  bool multiSelect_ = false;
  bool extendedSelect_ = true;
  int32_t columns_ = 0;
  int32_t tabWidth_ = 0;
  bool border_ = true;
  int32_t topIndex_ = 0;
};

// A file list box: a list box with a folder or file picture beside each
// item when glyphs are shown.
class FileListPeer : public ListPeer {
 public:
  using ListPeer::ListPeer;
  // Which items are folders, and whether the pictures show.
  virtual void setGlyphs(const std::vector<bool>& folders, bool show) {
    folders_ = folders;
    showGlyphs_ = show;
  }

 protected:
  std::vector<bool> folders_;
  bool showGlyphs_ = false;
};

// A combo box: an edit field over a drop-down list.
class ComboPeer : public ItemListPeer {
 public:
  using ItemListPeer::ItemListPeer;
  virtual void setEditText(std::string_view text) { editText_ = text; }
  const std::string& editText() const { return editText_; }
  // The most characters the field takes (0: no limit).
  virtual void setMaxLength(int32_t length) { maxLength_ = length; }
  // Items the drop-down list shows before it scrolls.
  virtual void setDropDownCount(int32_t count) { dropDownCount_ = count; }
  virtual void repaint() {}

 protected:
  std::string editText_;
  int32_t maxLength_ = 0;
  int32_t dropDownCount_ = 8;
};

}  // namespace kestrel::gui
