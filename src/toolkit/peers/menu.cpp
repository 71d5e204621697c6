#include "toolkit/peers/menu.h"

#include <algorithm>

namespace kestrel::gui {

void MenuContainerPeer::insertItem(size_t index, MenuItemPeer& item) {
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(std::min(index, items_.size())), &item);
}

void MenuContainerPeer::removeItem(MenuItemPeer& item) { std::erase(items_, &item); }

}  // namespace kestrel::gui
