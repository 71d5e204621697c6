// The member table of list views (type 58).
#include <string>

#include "objects/control_members.h"
#include "objects/controls/list_view.h"
#include "toolkit/dialogs.h"

namespace kestrel::objects {

namespace {

using LV = ListView;

// A read with an index outside the list shows the message and still
// gives a value (the text or number the selector asks for), so that the
// expression goes on in step.
void outOfBounds(Machine& m, const char* what, int32_t index, int selector, EvalStacks& s) {
  plainMessageBox(m, std::string("ListView.") + what + "(" + std::to_string(index) + ") index out of bounds!");
  if (selector == 0) s.pushString(Str());
  else s.pushNumber(0);
}

void addItems(Machine& m, LV& v) {
  forEachArgument(m, [&] { v.addItem(stringOperand(m)); });
}

void addSubItem(Machine& m, LV& v) {
  skipByte(m);
  const int32_t index = numberOperand(m);
  skipByte(m);
  const Str text = stringOperand(m);
  skipByte(m);
  v.addSubItem(index, text);
}

void insertItem(Machine& m, LV& v) {
  skipByte(m);
  const int32_t position = numberOperand(m);
  skipByte(m);
  const Str caption = stringOperand(m);
  skipByte(m);
  v.insertItem(position, caption);
}

// Each index is taken as it was before the statement: less the items this
// statement has deleted so far. One that names no item is skipped.
void deleteItems(Machine& m, LV& v) {
  int32_t deleted = 0;
  forEachArgument(m, [&] {
    const int64_t index = int64_t{numberOperand(m)} - deleted;
    if (index >= 0 && index < v.count() && v.deleteItem(static_cast<int32_t>(index))) ++deleted;
  });
}

void writeColumn(Machine& m, LV& v) {
  const int32_t index = numberOperand(m);
  const int selector = byteOperand(m);
  switch (selector) {
    case 0: {
      const Str caption = stringOperand(m);
      if (v.validColumn(index)) v.setColumnCaption(index, caption);
      break;
    }
    case 3: {
      const int32_t width = numberOperand(m);
      if (v.validColumn(index)) v.setColumnWidth(index, width);
      break;
    }
    default: ignoredOperand(m); break;
  }
}

void readColumn(Machine& m, LV& v, EvalStacks& s) {
  const int32_t index = numberOperand(m);
  const int selector = byteOperand(m);
  if (!v.validColumn(index)) return outOfBounds(m, "Columns", index, selector, s);
  switch (selector) {
    case 0: s.pushString(v.column(index).caption); break;
    case 3: s.pushNumber(v.column(index).width); break;
    default: s.pushNumber(0); break;
  }
}

void writeItem(Machine& m, LV& v) {
  const int32_t index = numberOperand(m);
  const int selector = byteOperand(m);
  switch (selector) {
    case 0: {
      const Str caption = stringOperand(m);
      if (v.validItem(index)) v.setItemCaption(index, caption);
      break;
    }
    case 1: {
      const int32_t image = numberOperand(m);
      if (v.validItem(index)) v.setItemImage(index, image);
      break;
    }
    case 2: {
      const int32_t state = numberOperand(m);
      if (v.validItem(index)) v.setItemStateIndex(index, state);
      break;
    }
    default: ignoredOperand(m); break;
  }
}

void readItem(Machine& m, LV& v, EvalStacks& s) {
  const int32_t index = numberOperand(m);
  const int selector = byteOperand(m);
  if (!v.validItem(index)) return outOfBounds(m, "Items", index, selector, s);
  switch (selector) {
    case 0: s.pushString(v.item(index).caption); break;
    case 1: s.pushNumber(v.item(index).imageIndex); break;
    case 2: s.pushNumber(v.itemStateIndex(index)); break;
    default: s.pushNumber(0); break;
  }
}

void setSubItem(Machine& m, LV& v) {
  const int32_t index = numberOperand(m);
  const int32_t position = numberOperand(m);
  const Str text = stringOperand(m);
  v.setSubItem(index, position, text);
}

void readSubItem(Machine& m, LV& v, EvalStacks& s) {
  const int32_t index = numberOperand(m);
  const int32_t position = numberOperand(m);
  s.pushString(v.subItem(index, position));
}

void insertSubItem(Machine& m, LV& v) {
  skipByte(m);
  const int32_t index = numberOperand(m);
  skipByte(m);
  const int32_t position = numberOperand(m);
  skipByte(m);
  const Str text = stringOperand(m);
  skipByte(m);
  v.insertSubItem(index, position, text);
}

void deleteSubItem(Machine& m, LV& v) {
  skipByte(m);
  const int32_t index = numberOperand(m);
  skipByte(m);
  const int32_t position = numberOperand(m);
  skipByte(m);
  v.deleteSubItem(index, position);
}

void swapItems(Machine& m, LV& v) {
  skipByte(m);
  const int32_t first = numberOperand(m);
  skipByte(m);
  const int32_t second = numberOperand(m);
  skipByte(m);
  v.swapItems(first, second);
}

template <gui::ListImages Which>
void writeImages(Machine& m, LV& v) {
  v.setImages(Which, &imageListOperand(m));
}

std::vector<Member<ListView>> listViewRows() {
  std::vector<Member<LV>> rows = {
      property<&LV::borderStyle, &LV::setBorderStyle>(13, "BorderStyle", "0 none, 1 a single line around the view"),
      property<&LV::checkboxes, &LV::setCheckboxes>(14, "Checkboxes", "flag: a check box beside each item"),
      property<&LV::columnClick, &LV::setColumnClick>(15, "ColumnClick",
                                                      "flag: column headers can be clicked (OnColumnClick)"),
      property<&LV::gridLines, &LV::setGridLines>(16, "GridLines", "flag: lines between rows and columns (report)"),
      property<&LV::hotTrack, &LV::setHotTrack>(17, "HotTrack", "flag: the item under the mouse is highlighted"),
      property<&LV::multiSelect, &LV::setMultiSelect>(18, "MultiSelect", "flag: several items can be selected"),
      property<&LV::readOnly, &LV::setReadOnly>(19, "ReadOnly", "flag: the user cannot edit captions in place"),
      property<&LV::rowSelect, &LV::setRowSelect>(20, "RowSelect", "flag: the whole row shows selected (report)"),
      property<&LV::showColumnHeaders, &LV::setShowColumnHeaders>(21, "ShowColumnHeaders",
                                                                  "flag: the column headers show (report)"),
      property<&LV::sortType, &LV::setSortType>(
          22, "SortType", "0 none, 1 data, 2 text, 3 both: 2 and 3 keep the items in order of their captions"),
      property<&LV::viewStyle, &LV::setViewStyle>(23, "ViewStyle", "0 icon, 1 small icon, 2 list, 3 report"),
      {25, "LargeImages", "O", writeImages<gui::ListImages::Large>, nullptr, nullptr,
       "image list object: the pictures of the icon view"},
      {26, "SmallImages", "O", writeImages<gui::ListImages::Small>, nullptr, nullptr,
       "image list object: the pictures of the small icon, list and report views"},
      {27, "StateImages", "O", writeImages<gui::ListImages::State>, nullptr, nullptr,
       "image list object: the state pictures left of the small ones"},
      {29, "AddItems", "L", addItems, nullptr, nullptr, "captions: adds one item for each"},
      {30, "AddSubItem", "bEbEb", addSubItem, nullptr, nullptr, "item, text: appends a sub-item to the item"},
      {31, "InsertItem", "bEbEb", insertItem, nullptr, nullptr,
       "position (0 to the count), caption: inserts an item there (in its place when sorted)"},
      {32, "DeleteItems", "L", deleteItems, nullptr, nullptr,
       "indices as they were before the statement (each less the items deleted so far); one naming no item is "
       "skipped"},
      {33, "ClearItems", "b", [](Machine& m, LV& v) {
         skipByte(m);
         v.clearItems();
       }, nullptr, nullptr, "removes every item"},
      readOnly<&LV::selCount>(34, "SelCount", "the number of selected items"),
      {35, "AddColumns", "L", [](Machine& m, LV& v) { forEachArgument(m, [&] { v.addColumn(stringOperand(m)); }); },
       nullptr, nullptr, "captions: adds one column for each"},
      {36, "ClearColumns", "b", [](Machine& m, LV& v) {
         skipByte(m);
         v.clearColumns();
       }, nullptr, nullptr, "removes every column"},
      {38, "Columns", "EBE", writeColumn, "EB", readColumn,
       "column, selector (0 caption, 3 width: -1 fits the texts, -2 the header too), value; a column outside "
       "the list is ignored, and read shows a message and gives \"\" or 0"},
      {39, "Items", "EBE", writeItem, "EB", readItem,
       "item, selector (0 caption, 1 ImageIndex, 2 StateIndex), value; an item outside the list is ignored, and "
       "read shows a message and gives \"\" or 0"},
      {40, "Selected", "E", [](Machine& m, LV& v) { v.select(numberOperand(m)); },
       "", [](Machine&, LV& v, EvalStacks& s) { s.pushNumber(v.selectedIndex()); },
       "index: selects that item; read: the first selected item, -1 when none"},
      {41, "SubItems", "EEE", setSubItem, "EE", readSubItem,
       "item, sub-item, text: replaces the sub-item's text; read with (item, sub-item): its text, \"\" when "
       "either fails"},
      {42, "ItemSelected", "E", [](Machine& m, LV& v) { v.select(numberOperand(m)); },
       "E", [](Machine& m, LV& v, EvalStacks& s) { s.pushNumber(v.isSelected(numberOperand(m)) ? -1 : 0); },
       "index: selects that item; read with (index): -1 when that item is selected, else 0"},
      readOnly<&LV::count>(43, "ItemCount", "the number of items"),
      {48, "OnChange", "H", &detail::bindEvent<LV, gui::EventKind::Change>, nullptr, nullptr,
       "item index, kind of change (0 caption, 1 image, 2 state: selection, check, state image); sender"},
      {49, "InsertSubItem", "bEbEbEb", insertSubItem, nullptr, nullptr,
       "item, position (0 to the count), text: inserts a sub-item there"},
      {50, "DeleteSubItem", "bEbEb", deleteSubItem, nullptr, nullptr,
       "item, sub-item: removes it; either index failing does nothing"},
      {51, "SwapItems", "bEbEb", swapItems, nullptr, nullptr,
       "first, second: exchanges the two items' captions, images, sub-items and checks"},
  };
  addCommonMembers(rows, CommonCodes{.left = 1, .top = 3, .width = 4, .height = 2, .parent = 5, .font = 6,
                                     .popupMenu = 28, .enabled = 9, .visible = 10, .showHint = 11, .hint = 12,
                                     .color = 8, .cursor = 7, .align = 0, .tabOrder = 24, .handle = 52});
  addEventMembers(rows, EventCodes{.click = 45, .dblClick = 46, .keyPress = 47, .columnClick = 44});
  addFontMembers(rows, 200);
  return rows;
}

std::unique_ptr<Object> createListView(Machine& m, int type, int32_t) { return std::make_unique<ListView>(m, type); }

}  // namespace

void registerListViewType(TypeRegistry& registry) {
  static const std::vector<Member<ListView>> rows = listViewRows();
  registry.add(describeType(kListViewType, "listview", rows, createListView));
}

}  // namespace kestrel::objects
