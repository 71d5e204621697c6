#pragma once
// Combo boxes (type 42): an edit field over a drop-down list of strings.
// Picking an item puts its text in the field; the user's typing and
// picking raise the change event. The items are kept as a list box keeps
// them (item_list.h), with the same owner-draw piece behind the canvas
// members.
#include "objects/canvas_ops.h"
#include "objects/control.h"
#include "objects/controls/item_list.h"
#include "objects/owner_draw.h"
#include "toolkit/peers/lists.h"

namespace kestrel::objects {

inline constexpr int kComboBoxType = 42;

class ComboBox : public ControlOf<gui::ComboPeer>, public gui::ItemListOwner, public CanvasOwner {
 public:
  ComboBox(Machine& m, int type);

  const char* windowClass() const override { return "TComboBox"; }
  ItemList& items() { return items_; }

  // The edit field's text.
  Str caption() const override { return text_; }
  void setCaption(const Str& text) override;

  int32_t itemIndex() const { return items_.current(); }
  // Picks the item: its text goes into the field (-1: none, the field empties).
  void setItemIndex(int32_t index);
  int32_t itemCount() const { return items_.count(); }
  void clearItems() { items_.clear(); }
  uint8_t sortedFlag() const { return sorted_; }
  void setSorted(uint8_t flag);
  int32_t dropDownCount() const { return dropDownCount_; }
  void setDropDownCount(int32_t count);
  int32_t maxLength() const { return maxLength_; }
  // 0 or less: no limit.
  void setMaxLength(int32_t length);
  int32_t itemHeight() const { return itemHeight_; }
  void setItemHeight(int32_t height);
  // Always 0 (drop-down): programs cannot change the style.
  int32_t style() const { return 0; }
  void repaint();

  // ---- gui::ItemListOwner
  void paintItem(int32_t index, const gui::Rect& rect, bool selected, gui::Surface& picture) override;
  int32_t measuredHeight(int32_t index) override;
  void userSelected(int32_t current, const std::vector<bool>& selected) override;
  void userEdited(const std::string& text) override;

  CanvasTarget canvasTarget() override { return draw_.canvas(clientSize()); }

 private:
  OwnerDraw draw_;
  ItemList items_;
  Str text_;
  uint8_t sorted_ = 0;
  int32_t dropDownCount_ = 8;
  int32_t maxLength_ = 0;
  int32_t itemHeight_ = 16;
};

void registerComboBoxType(TypeRegistry& registry);

}  // namespace kestrel::objects
