#pragma once
// Menus: main menus (type 36), the menu bar of a form; menu items (37),
// which hold sub-items; popup menus (38), shown at a point or on a right
// click over a control that names them as its PopupMenu.
//
// An item belongs to at most one menu or item; adding it to a second one,
// or to itself or an item inside it, raises "Menu inserted twice".
#include <memory>
#include <vector>

#include "objects/control.h"
#include "objects/event_source.h"
#include "toolkit/peers/menu.h"

namespace kestrel::objects {

inline constexpr int kMainMenuType = 36;
inline constexpr int kMenuItemType = 37;
inline constexpr int kPopupMenuType = 38;

class Form;
class MenuItem;

// The items of a menu, or the sub-items of an item, in order.
class MenuItemList {
 public:
  explicit MenuItemList(MenuItem* holder) : holder_(holder) {}
  ~MenuItemList();  // the items belong to nothing any more
  MenuItemList(const MenuItemList&) = delete;
  MenuItemList& operator=(const MenuItemList&) = delete;

  void showIn(gui::MenuContainerPeer* peer) { peer_ = peer; }
  const std::vector<MenuItem*>& items() const { return items_; }
  // Puts `item` at `index` (0 to the count): "Menu index out of range"
  // past the count, "Menu inserted twice" for an item that belongs to a
  // menu already or holds this list.
  void insert(size_t index, MenuItem& item);
  void append(MenuItem& item) { insert(items_.size(), item); }
  void remove(MenuItem& item);
  // Moves an item of the list to `index` (clamped to the list).
  void move(MenuItem& item, int32_t index);
  int32_t indexOf(const MenuItem& item) const;
  MenuItem* holder() const { return holder_; }

 private:
  MenuItem* holder_;  // the item whose sub-items these are; nullptr for a menu
  gui::MenuContainerPeer* peer_ = nullptr;
  std::vector<MenuItem*> items_;
};

// The window-owner answers of a menu: no text, no messages, no show commands.
class MenuWindow : public gui::WindowOwner {
 public:
  void event(gui::InputEvent&) override {}
  intptr_t message(uint32_t, intptr_t, intptr_t) override { return 0; }
  std::string windowText() override { return {}; }
  void setWindowText(const std::string&) override {}
  bool showCommand(int) override { return false; }
  const char* windowClass() const override { return "TMenu"; }
};

class MenuItem : public EventSource, public MenuWindow {
 public:
  MenuItem(Machine& m, int type);
  ~MenuItem() override;

  gui::MenuItemPeer& peer() const { return *peer_; }
  MenuItemList& subItems() { return subItems_; }
  // The list the item is in (nullptr: none).
  MenuItemList* parentList() const { return parentList_; }
  // Whether `item` is this item or one inside it.
  bool holds(const MenuItem& item) const;

  Str caption() const { return caption_; }
  void setCaption(const Str& text);
  uint8_t enabled() const { return enabled_; }
  void setEnabled(uint8_t flag);
  uint8_t visible() const { return visible_; }
  void setVisible(uint8_t flag);
  uint8_t radioItem() const { return radio_; }
  void setRadioItem(uint8_t flag);
  uint8_t checked() const { return checked_; }
  // Checking a radio item unchecks the other radio items beside it.
  void setChecked(uint8_t flag);
  Str shortCut() const;
  // An unknown text gives no shortcut (and reads "").
  void setShortCut(const Str& text);
  int32_t clickHandler() const { return handlerFor(gui::EventKind::Click); }
  int32_t count() const { return static_cast<int32_t>(subItems_.items().size()); }
  // The place among the items beside it (-1: in no menu).
  int32_t menuIndex() const;
  void setMenuIndex(int32_t index);
  // The handle of the item's sub-menu (0 without sub-items).
  intptr_t handle() const { return count() > 0 ? peer_->handle() : 0; }
  Str hint;

  void event(gui::InputEvent& e) override;
  const char* windowClass() const override { return "TMenuItem"; }

 private:
  friend class MenuItemList;
  Machine& m_;
  std::unique_ptr<gui::MenuItemPeer> peer_;
  MenuItemList subItems_{this};
  MenuItemList* parentList_ = nullptr;
  Str caption_;
  uint8_t enabled_ = 1;
  uint8_t visible_ = 1;
  uint8_t radio_ = 0;
  uint8_t checked_ = 0;
  int shortcutKey_ = 0;
  int shortcutShift_ = 0;
};

// A main menu's table entry: empty until Form makes a menu for a form.
// Running Form again makes a further menu; the earlier ones keep their
// items.
class MainMenu : public Object {
 public:
  using Object::Object;
  bool exists() const { return !menus_.empty(); }
  // Makes a new menu, the menu bar of `form`.
  void makeFor(Form& form);
  // The current menu's items (exists() first).
  MenuItemList& items() { return menus_.back()->items; }
  intptr_t handle() const { return exists() ? menus_.back()->peer->handle() : 0; }

 private:
  struct Menu : MenuWindow {
    std::unique_ptr<gui::MenuBarPeer> peer;
    MenuItemList items{nullptr};
  };
  std::vector<std::unique_ptr<Menu>> menus_;
};

class PopupMenu : public Object, public MenuWindow, public ContextMenu {
 public:
  PopupMenu(Machine& m, int type);
  MenuItemList& items() { return items_; }
  // Shows the menu at the screen point; returns when it closed (after the
  // click handler of an item picked).
  void popup(int32_t x, int32_t y);
  void popupAtMouse() override;
  // Where the point is: 0 the menu's left edge, 1 its right edge, 2 its middle.
  int32_t alignment = 0;

 private:
  std::unique_ptr<gui::PopupMenuPeer> peer_;
  MenuItemList items_{nullptr};
};

void registerMenuTypes(TypeRegistry& registry);

}  // namespace kestrel::objects
