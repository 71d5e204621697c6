// The member table of list boxes (type 39).
#include "objects/control_members.h"
#include "objects/controls/list_box.h"
#include "objects/controls/list_rows.h"

namespace kestrel::objects {

namespace {

std::vector<Member<ListBox>> listBoxRows() {
  using L = ListBox;
  std::vector<Member<L>> rows = {
      property<&L::itemIndex, &L::setItemIndex>(5, "ItemIndex", "the current item (-1: none); setting it selects it"),
      {11, "ItemCount", "E", [](Machine& m, L&) { ignoredOperand(m); },
       "", [](Machine&, L& l, EvalStacks& s) { s.pushNumber(l.itemCount()); },
       "the number of items (writing evaluates a value and ignores it)"},
      action<&L::clearItems>(14, "Clear", "removes every item"),
      property<&L::columns, &L::setColumns>(15, "Columns", "items in that many columns side by side (0: one column)"),
      property<&L::sortedFlag, &L::setSorted>(16, "Sorted", "flag: items are kept in alphabetical order"),
      property<&L::multiSelect, &L::setMultiSelect>(20, "MultiSelect", "flag: several items can be selected"),
      property<&L::extendedSelect, &L::setExtendedSelect>(
          22, "ExtendedSelect", "flag: Shift and Ctrl extend the selection of a multi-select list"),
      writeOnly<&L::setTabWidth>(23, "TabWidth", "distance between tab stops in the items"),
      property<&L::itemHeight, &L::setItemHeight>(25, "ItemHeight", "height of owner-drawn items (pixels)"),
      property<&L::borderStyle, &L::setBorderStyle>(26, "BorderStyle", "0 none, 1 single"),
      property<&L::topIndex, &L::setTopIndex>(27, "TopIndex", "the first item shown (kept within the items)"),
      property<&L::style, &L::setStyle>(37, "Style",
                                        "0 standard, 1 owner-draw fixed, 2 owner-draw variable (measured items)"),
      {47, "Unused47", "", [](Machine&, L&) {}, nullptr, nullptr, "no effect"},
      {55, "LoadFromFile", "E", [](Machine& m, L& l) { l.items().assign(linesOfFile(m, stringOperand(m))); }, nullptr,
       nullptr, "file name: the items become the file's lines"},
      {56, "SaveToFile", "E",
       [](Machine& m, L& l) {
         const Str name = stringOperand(m);
         writeLinesToFile(m, name, l.items().texts());
       },
       nullptr, nullptr, "file name: writes the items, one a line, each ended by CR LF"},
  };
  addItemRows(rows, ItemCodes{.addItems = 10, .item = 12, .deleteItems = 13, .insertItem = 19, .selected = 24});
  addCommonMembers(rows, CommonCodes{.left = 0, .top = 3, .width = 4, .height = 1, .parent = 2, .font = 6,
                                     .popupMenu = 32, .enabled = 17, .visible = 18, .showHint = 29, .hint = 30,
                                     .color = 28, .cursor = 50, .align = 31, .tabOrder = 21, .handle = 33});
  addEventMembers(rows, EventCodes{.click = 7, .dblClick = 8, .drawItem = 35, .measureItem = 36, .message = 34});
  addCanvasMembers(rows, CanvasCodes{.textOut = 38, .line = 39, .floodFill = 40, .circle = 41, .rectangle = 42,
                                     .pset = 43, .pixel = 44, .fillRect = 45, .draw = 46, .copyMode = 48,
                                     .copyRect = 49, .stretchDraw = 51, .textRect = 52, .textHeight = 53,
                                     .textWidth = 54});
  addFontMembers(rows, 200);
  return rows;
}

std::unique_ptr<Object> createListBox(Machine& m, int type, int32_t) { return std::make_unique<ListBox>(m, type); }

}  // namespace

void registerListBoxType(TypeRegistry& registry) {
  static const std::vector<Member<ListBox>> rows = listBoxRows();
  registry.add(describeType(kListBoxType, "listbox", rows, createListBox));
}

}  // namespace kestrel::objects
