#include "toolkit/peers/lists.h"

namespace kestrel::gui {

void ItemListPeer::insertItem(int32_t index, std::string_view text) {
  if (index < 0 || static_cast<size_t>(index) > items_.size()) return;
  items_.insert(items_.begin() + index, std::string(text));
}

void ItemListPeer::removeItem(int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= items_.size()) return;
  items_.erase(items_.begin() + index);
}

void ItemListPeer::setItemText(int32_t index, std::string_view text) {
  if (index < 0 || static_cast<size_t>(index) >= items_.size()) return;
  items_[static_cast<size_t>(index)] = text;
}

void ItemListPeer::clearItems() { items_.clear(); }

void ItemListPeer::setItemStyle(ItemStyle style, int32_t itemHeight) {
  style_ = style;
  itemHeight_ = itemHeight;
}

void ItemListPeer::showSelection(int32_t current, const std::vector<bool>& selected) {
  current_ = current;
  selected_ = selected;
}

}  // namespace kestrel::gui
