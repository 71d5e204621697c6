#include "objects/controls/menus.h"

#include <algorithm>

#include "objects/controls/form.h"
#include "objects/controls/shortcut_text.h"

namespace kestrel::objects {

namespace {
constexpr const char* kInsertedTwice = "Menu inserted twice";
constexpr const char* kIndexOutOfRange = "Menu index out of range";
}  // namespace

// ---- MenuItemList

MenuItemList::~MenuItemList() {
  for (MenuItem* item : items_) item->parentList_ = nullptr;
}

void MenuItemList::insert(size_t index, MenuItem& item) {
  if (item.parentList_ != nullptr || (holder_ != nullptr && item.holds(*holder_))) raise(kInsertedTwice);
  if (index > items_.size()) raise(kIndexOutOfRange);
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), &item);
  item.parentList_ = this;
  if (peer_ != nullptr) peer_->insertItem(index, item.peer());
}

void MenuItemList::remove(MenuItem& item) {
  const auto it = std::find(items_.begin(), items_.end(), &item);
  if (it == items_.end()) return;
  items_.erase(it);
  item.parentList_ = nullptr;
  if (peer_ != nullptr) peer_->removeItem(item.peer());
}

void MenuItemList::move(MenuItem& item, int32_t index) {
  const int32_t from = indexOf(item);
  if (from < 0) return;
  const auto to = static_cast<size_t>(std::clamp<int32_t>(index, 0, static_cast<int32_t>(items_.size()) - 1));
  if (static_cast<size_t>(from) == to) return;
  remove(item);
  insert(to, item);
}

int32_t MenuItemList::indexOf(const MenuItem& item) const {
  const auto it = std::find(items_.begin(), items_.end(), &item);
  return it == items_.end() ? -1 : static_cast<int32_t>(it - items_.begin());
}

// ---- MenuItem

MenuItem::MenuItem(Machine& m, int type) : EventSource(type), m_(m), peer_(toolkit().create<gui::MenuItemPeer>(*this)) {
  subItems_.showIn(peer_.get());
  peer_->setVisible(true);
}

MenuItem::~MenuItem() {
  if (parentList_ != nullptr) parentList_->remove(*this);
  peer_->detach();
}

bool MenuItem::holds(const MenuItem& item) const {
  for (const MenuItem* at = &item; at != nullptr; at = at->parentList_ != nullptr ? at->parentList_->holder() : nullptr)
    if (at == this) return true;
  return false;
}

void MenuItem::setCaption(const Str& text) {
  caption_ = text;
  peer_->setText(text.view());
}

void MenuItem::setEnabled(uint8_t flag) {
  enabled_ = flag;
  peer_->setEnabled(flag != 0);
}

void MenuItem::setVisible(uint8_t flag) {
  visible_ = flag;
  peer_->setVisible(flag != 0);
}

void MenuItem::setRadioItem(uint8_t flag) {
  radio_ = flag;
  peer_->setRadio(flag != 0);
}

void MenuItem::setChecked(uint8_t flag) {
  checked_ = flag;
  if (flag != 0 && radio_ != 0 && parentList_ != nullptr)
    for (MenuItem* other : parentList_->items())
      if (other != this && other->radio_ != 0 && other->checked_ != 0) {
        other->checked_ = 0;
        other->peer_->setChecked(false);
      }
  peer_->setChecked(flag != 0);
}

Str MenuItem::shortCut() const { return Str(shortCutText({shortcutKey_, shortcutShift_})); }

void MenuItem::setShortCut(const Str& text) {
  const ShortCut parsed = parseShortCut(text.view());
  shortcutKey_ = parsed.key;
  shortcutShift_ = parsed.shift;
  peer_->setShortcut(parsed.key, parsed.shift);
}

int32_t MenuItem::menuIndex() const { return parentList_ != nullptr ? parentList_->indexOf(*this) : -1; }

void MenuItem::setMenuIndex(int32_t index) {
  if (parentList_ != nullptr) parentList_->move(*this, index);
}

void MenuItem::event(gui::InputEvent& e) {
  if (e.kind == gui::EventKind::Click) events::notify(m_, clickHandler(), sender());
}

// ---- MainMenu

void MainMenu::makeFor(Form& form) {
  auto menu = std::make_unique<Menu>();
  menu->peer = toolkit().create<gui::MenuBarPeer>(*menu);
  menu->items.showIn(menu->peer.get());
  menu->peer->setVisible(true);
  form.setMenuBar(menu->peer.get());
  menus_.push_back(std::move(menu));
}

// ---- PopupMenu

PopupMenu::PopupMenu(Machine&, int type) : Object(type), peer_(toolkit().create<gui::PopupMenuPeer>(*this)) {
  items_.showIn(peer_.get());
}

void PopupMenu::popup(int32_t x, int32_t y) { peer_->popup(x, y, alignment); }

void PopupMenu::popupAtMouse() { peer_->popupAtMouse(alignment); }

}  // namespace kestrel::objects
