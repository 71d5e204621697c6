#pragma once
// Menus: a form's menu bar, popup menus and their items. Each is a window
// peer (with a handle), though only a popup menu is ever a window of its
// own: the bar shows in its form's window, an item in its menu.
#include <cstddef>
#include <vector>

#include "toolkit/peers/window.h"

namespace kestrel::gui {

class MenuItemPeer;

// What holds menu items in order: a menu bar, a popup menu, or an item
// (its sub-menu).
class MenuContainerPeer : public WindowPeer {
 public:
  using WindowPeer::WindowPeer;
  // Puts `item` at `index` (0 to the count) of the items.
  virtual void insertItem(size_t index, MenuItemPeer& item);
  virtual void removeItem(MenuItemPeer& item);
  const std::vector<MenuItemPeer*>& items() const { return items_; }

 protected:
  std::vector<MenuItemPeer*> items_;
};

// One entry of a menu. Its text is the caption ("-": a separator line; &x
// underlines x); a click on it (or its shortcut) raises Click on the owner.
class MenuItemPeer : public MenuContainerPeer {
 public:
  using MenuContainerPeer::MenuContainerPeer;
  virtual void setChecked(bool checked) { checked_ = checked; }
  // A radio item shows its check as a round mark.
  virtual void setRadio(bool radio) { radio_ = radio; }
  // The key that clicks the item in its form (virtual key, 0: none) and
  // the shift code held with it (Shift 256, Alt 16, Ctrl 1).
  virtual void setShortcut(int virtualKey, int shift) {
    shortcutKey_ = virtualKey;
    shortcutShift_ = shift;
  }
  bool checked() const { return checked_; }

 protected:
  bool checked_ = false;
  bool radio_ = false;
  int shortcutKey_ = 0;
  int shortcutShift_ = 0;
};

// A form's menu bar (FormPeer::setMenuBar shows it).
class MenuBarPeer : public MenuContainerPeer {
 public:
  using MenuContainerPeer::MenuContainerPeer;
};

// A menu shown on demand, over every window.
class PopupMenuPeer : public MenuContainerPeer {
 public:
  using MenuContainerPeer::MenuContainerPeer;
  // Shows the menu at the screen point (x, y) and returns when it closes;
  // an item clicked raises its Click before. `alignment` says where the
  // point is: 0 the menu's left edge, 1 its right edge, 2 its middle.
  virtual void popup(int x, int y, int alignment) { (void)x, (void)y, (void)alignment; }
  // The same at the mouse.
  virtual void popupAtMouse(int alignment) { (void)alignment; }
};

}  // namespace kestrel::gui
