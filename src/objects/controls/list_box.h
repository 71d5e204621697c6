#pragma once
// List boxes (type 39): a list of strings to pick one or several from,
// sorted or not, in one or more columns, shown as text or painted by the
// program item by item (owner draw, objects/owner_draw.h). Combo boxes
// (combo_box.h) and file list boxes (file_list_box.h) share its items.
#include "objects/canvas_ops.h"
#include "objects/control.h"
#include "objects/controls/item_list.h"
#include "objects/owner_draw.h"
#include "toolkit/peers/lists.h"

namespace kestrel::objects {

inline constexpr int kListBoxType = 39;

// List box styles: 0 text, 1 owner-drawn items of one height, 2 owner-drawn
// items each of its own height (measured once by the program).
enum ListStyle { kListStandard = 0, kListOwnerFixed = 1, kListOwnerVariable = 2 };

class ListBox : public ControlOf<gui::ListPeer>, public gui::ItemListOwner, public CanvasOwner {
 public:
  ListBox(Machine& m, int type);

  const char* windowClass() const override { return "TListBox"; }
  ItemList& items() { return items_; }
  OwnerDraw& ownerDraw() { return draw_; }

  int32_t itemIndex() const { return items_.current(); }
  void setItemIndex(int32_t index) { items_.setCurrent(index); }
  int32_t itemCount() const { return items_.count(); }
  void clearItems() { items_.clear(); }
  uint8_t sortedFlag() const { return sorted_; }
  void setSorted(uint8_t flag);
  uint8_t multiSelect() const { return multiSelect_; }
  void setMultiSelect(uint8_t flag);
  uint8_t extendedSelect() const { return extendedSelect_; }
  void setExtendedSelect(uint8_t flag);
  int32_t columns() const { return columns_; }
  void setColumns(int32_t columns);
  void setTabWidth(int32_t width);
  int32_t itemHeight() const { return itemHeight_; }
  void setItemHeight(int32_t height);
  int32_t borderStyle() const { return borderStyle_; }
  void setBorderStyle(int32_t style);
  // The first item shown; a value outside the items is brought within them.
  int32_t topIndex() const;
  void setTopIndex(int32_t index);
  int32_t style() const { return style_; }
  void setStyle(int32_t style);

  // ---- gui::ItemListOwner
  void paintItem(int32_t index, const gui::Rect& rect, bool selected, gui::Surface& picture) override;
  int32_t measuredHeight(int32_t index) override;
  void userSelected(int32_t current, const std::vector<bool>& selected) override;

  CanvasTarget canvasTarget() override { return draw_.canvas(clientSize()); }

 protected:
  void appearanceChanged() override;

 private:
  void showStyle();

  OwnerDraw draw_;
  ItemList items_;
  uint8_t sorted_ = 0;
  uint8_t multiSelect_ = 0;
  uint8_t extendedSelect_ = 1;
  int32_t columns_ = 0;
  int32_t itemHeight_ = 16;
  int32_t borderStyle_ = 1;
  int32_t style_ = kListStandard;
};

void registerListBoxType(TypeRegistry& registry);

}  // namespace kestrel::objects
