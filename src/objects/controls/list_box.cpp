#include "objects/controls/list_box.h"

#include <algorithm>

#include "toolkit/colors.h"

namespace kestrel::objects {

namespace {
constexpr int32_t kDefaultWidth = 121;
constexpr int32_t kDefaultHeight = 97;

gui::ItemStyle itemStyleOf(int32_t style) {
  switch (style) {
    case kListOwnerFixed: return gui::ItemStyle::OwnerFixed;
    case kListOwnerVariable: return gui::ItemStyle::OwnerVariable;
    default: return gui::ItemStyle::Text;
  }
}
}  // namespace

ListBox::ListBox(Machine& m, int type) : ControlOf(m, type), draw_(m), items_(peer(), &draw_) {
  color_ = gui::kColorWindow;
  peer().setBackground(gui::colorToRgb(color_));
  setBounds(gui::Rect::fromSize(0, 0, kDefaultWidth, kDefaultHeight));
  showStyle();
}

void ListBox::setSorted(uint8_t flag) {
  sorted_ = flag;
  items_.setSorted(flag != 0);
}

void ListBox::setMultiSelect(uint8_t flag) {
  multiSelect_ = flag;
  items_.setMultiSelect(flag != 0);
  items_.show([this, multi = flag != 0, extended = extendedSelect_ != 0] { peer().setSelectionMode(multi, extended); });
}

void ListBox::setExtendedSelect(uint8_t flag) {
  extendedSelect_ = flag;
  items_.show([this, multi = multiSelect_ != 0, extended = flag != 0] { peer().setSelectionMode(multi, extended); });
}

void ListBox::setColumns(int32_t columns) {
  columns_ = columns;
  items_.show([this, columns] { peer().setColumns(std::max(columns, 0)); });
}

void ListBox::setTabWidth(int32_t width) {
  items_.show([this, width] { peer().setTabWidth(std::max(width, 0)); });
}

void ListBox::setItemHeight(int32_t height) {
  itemHeight_ = height;
  items_.heights().forget();
  showStyle();
}

void ListBox::setBorderStyle(int32_t style) {
  borderStyle_ = style;
  items_.show([this, single = style != 0] { peer().setBorder(single); });
}

int32_t ListBox::topIndex() const {
  return std::clamp(peer().topIndex(), 0, std::max(items_.count() - 1, 0));
}

void ListBox::setTopIndex(int32_t index) {
  const int32_t top = std::clamp(index, 0, std::max(items_.count() - 1, 0));
  items_.show([this, top] { peer().scrollTo(top); });
}

void ListBox::setStyle(int32_t style) {
  style_ = style;
  items_.heights().forget();
  showStyle();
}

void ListBox::showStyle() {
  const int32_t height = std::clamp(itemHeight_, 1, 32767);
  items_.show([this, style = itemStyleOf(style_), height] { peer().setItemStyle(style, height); });
}

void ListBox::appearanceChanged() {
  if (style_ != kListStandard) items_.show([this] { peer().repaintItems(); });
}

void ListBox::paintItem(int32_t index, const gui::Rect& rect, bool selected, gui::Surface& picture) {
  paintListItem(draw_, items_, handlerFor(gui::EventKind::DrawItem), sender(), {picture, rect, font_, color_}, index,
                selected, false);
}

int32_t ListBox::measuredHeight(int32_t index) {
  return measureListItem(draw_, items_, handlerFor(gui::EventKind::MeasureItem), sender(), index, itemHeight_, false);
}

void ListBox::userSelected(int32_t current, const std::vector<bool>& selected) {
  items_.userSelected(current, selected);
}

}  // namespace kestrel::objects
