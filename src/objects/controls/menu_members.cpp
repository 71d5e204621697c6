// The member tables of main menus (36), menu items (37) and popup menus (38).
#include "objects/control_members.h"
#include "objects/controls/form.h"
#include "objects/controls/menus.h"

namespace kestrel::objects {

namespace {

MenuItem& itemOperand(Machine& m, ObjectRef ref) {
  auto* item = dynamic_cast<MenuItem*>(&containerLookup(m, ref));
  if (item == nullptr) raise(texts::kInvalidCast);
  return *item;
}

// AddItems: each item of the list is appended (to nothing, when `list` is
// nullptr: the operands are read all the same).
void addItems(Machine& m, MenuItemList* list) {
  ObjectRef ref;
  while (nextListedObject(m, ref))
    if (list != nullptr) list->append(itemOperand(m, ref));
}

// InsertItem: b, index, item, b. The index's low 8 bits are the place.
void insertItem(Machine& m, MenuItemList* list) {
  skipByte(m);
  const auto index = static_cast<uint8_t>(numberOperand(m));
  const ObjectRef ref = readTypeFirstOperand(m);
  skipByte(m);
  if (list != nullptr) list->insert(index, itemOperand(m, ref));
}

constexpr const char* kAddItemsAbout = "menu items, each appended";
constexpr const char* kInsertItemAbout = "index (its low 8 bits), menu item: inserts the item there";

std::vector<Member<MainMenu>> mainMenuRows() {
  using M = MainMenu;
  return {
      {0, "Form", "O", [](Machine& m, M& menu) {
         auto* form = dynamic_cast<Form*>(&containerLookup(m, readObjectOperand(m)));
         if (form == nullptr) raise(texts::kInvalidCast);
         menu.makeFor(*form);
       }, nullptr, nullptr, "form: makes a new menu, the form's menu bar (the client area keeps its size)"},
      {1, "AddItems", "G", [](Machine& m, M& menu) { addItems(m, menu.exists() ? &menu.items() : nullptr); },
       nullptr, nullptr, kAddItemsAbout},
      {2, "InsertItem", "bECb", [](Machine& m, M& menu) { insertItem(m, menu.exists() ? &menu.items() : nullptr); },
       nullptr, nullptr, kInsertItemAbout},
      readOnly<&M::handle>(3, "Handle", "the menu's handle (0 before Form)"),
  };
}

std::vector<Member<MenuItem>> menuItemRows() {
  using I = MenuItem;
  std::vector<Member<I>> rows = {
      property<&I::caption, &I::setCaption>(0, "Caption", "the text; \"-\" is a separator line, & underlines the next letter"),
      {2, "AddItems", "G", [](Machine& m, I& item) { addItems(m, &item.subItems()); }, nullptr, nullptr,
       "menu items, each appended as a sub-item"},
      {3, "InsertItem", "bECb", [](Machine& m, I& item) { insertItem(m, &item.subItems()); }, nullptr, nullptr,
       "index (its low 8 bits), menu item: inserts the sub-item there"},
      property<&I::enabled, &I::setEnabled>(4, "Enabled", "flag: the item can be picked"),
      property<&I::visible, &I::setVisible>(5, "Visible", "flag: the item shows"),
      property<&I::radioItem, &I::setRadioItem>(6, "RadioItem",
                                                "flag: checking it unchecks the radio items beside it"),
      property<&I::checked, &I::setChecked>(7, "Checked", "flag: the item shows a check mark"),
      property<&I::shortCut, &I::setShortCut>(8, "ShortCut",
                                              "the key that picks the item, e.g. \"Ctrl+S\" (unknown text: none, reads \"\")"),
      readOnly<&I::handle>(9, "Handle", "the handle of the item's sub-menu (0 without sub-items)"),
      field<&I::hint>(10, "Hint", "hint text, kept as it is"),
      readOnly<&I::clickHandler>(11, "ClickHandler", "the handler position bound to OnClick (0: none)"),
      readOnly<&I::count>(12, "Count", "number of sub-items"),
      property<&I::menuIndex, &I::setMenuIndex>(13, "MenuIndex", "place among the items beside it (-1: in no menu)"),
  };
  addEventMembers(rows, EventCodes{.click = 1});
  return rows;
}

std::vector<Member<PopupMenu>> popupMenuRows() {
  using P = PopupMenu;
  return {
      writeOnly<&P::alignment>(0, "Alignment", "where the point of Popup is: 0 the menu's left edge, 1 right edge, 2 middle"),
      {1, "AddItems", "G", [](Machine& m, P& menu) { addItems(m, &menu.items()); }, nullptr, nullptr, kAddItemsAbout},
      {2, "InsertItem", "bECb", [](Machine& m, P& menu) { insertItem(m, &menu.items()); }, nullptr, nullptr,
       kInsertItemAbout},
      {3, "Popup", "bEbEb", [](Machine& m, P& menu) {
         skipByte(m);
         const int32_t x = numberOperand(m);
         skipByte(m);
         const int32_t y = numberOperand(m);
         skipByte(m);
         menu.popup(x, y);
       }, nullptr, nullptr, "x, y: shows the menu at that screen point until an item is picked (its handler runs first) or it is closed"},
  };
}

std::unique_ptr<Object> createMainMenu(Machine&, int type, int32_t) { return std::make_unique<MainMenu>(type); }
std::unique_ptr<Object> createMenuItem(Machine& m, int type, int32_t) { return std::make_unique<MenuItem>(m, type); }
std::unique_ptr<Object> createPopupMenu(Machine& m, int type, int32_t) { return std::make_unique<PopupMenu>(m, type); }

}  // namespace

void registerMenuTypes(TypeRegistry& registry) {
  static const std::vector<Member<MainMenu>> mainRows = mainMenuRows();
  static const std::vector<Member<MenuItem>> itemRows = menuItemRows();
  static const std::vector<Member<PopupMenu>> popupRows = popupMenuRows();
  TypeDescriptor main = describeType(kMainMenuType, "mainmenu", mainRows, createMainMenu);
  main.fixedTable = true;
  registry.add(std::move(main));
  registry.add(describeType(kMenuItemType, "menuitem", itemRows, createMenuItem));
  registry.add(describeType(kPopupMenuType, "popupmenu", popupRows, createPopupMenu));
}

}  // namespace kestrel::objects
