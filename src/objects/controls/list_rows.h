#pragma once
// Rows that list boxes, combo boxes and file list boxes share, at each
// family's codes, for any class with items() (an ItemList); and the lines
// of the files that lists load and save.
#include <vector>

#include "objects/controls/item_list.h"
#include "objects/member_operands.h"
#include "objects/member_rows.h"

namespace kestrel::objects {

struct ItemCodes {
  int addItems = -1;
  int item = -1;
  int deleteItems = -1;
  int insertItem = -1;
  int selected = -1;
};

// The lines of a file the program names (split at line feeds, a carriage
// return before one dropped), and lines written as a file, each ended by
// CR LF.
std::vector<Str> linesOfFile(Machine& m, const Str& name);
void writeLinesToFile(Machine& m, const Str& name, const std::vector<Str>& lines);

template <class T>
void addItemRows(std::vector<Member<T>>& rows, const ItemCodes& c) {
  addRow<T>(rows, c.addItems,
            {0, "AddItems", "L", [](Machine& m, T& o) { forEachArgument(m, [&] { o.items().add(stringOperand(m)); }); },
             nullptr, nullptr, "strings, each appended (a sorted list puts each in its place)"});
  addRow<T>(rows, c.item,
            {0, "Item", "EE",
             [](Machine& m, T& o) {
               const int32_t index = numberOperand(m);
               o.items().replace(index, stringOperand(m));
             },
             "E", [](Machine& m, T& o, EvalStacks& s) { s.pushString(o.items().item(numberOperand(m))); },
             "index, text: replaces the item; read with an index: its text (outside the list: an error)"});
  addRow<T>(rows, c.deleteItems,
            {0, "DeleteItems", "L", [](Machine& m, T& o) { deleteListed(m, o.items()); }, nullptr, nullptr,
             "indices as they were before the first deletion when ascending (the k-th deletes at its value - k)"});
  addRow<T>(rows, c.insertItem,
            {0, "InsertItem", "EE",
             [](Machine& m, T& o) {
               const int32_t index = numberOperand(m);
               o.items().insert(index, stringOperand(m));
             },
             nullptr, nullptr, "index, text: inserts before that index (0 to the count), sorted or not"});
  addRow<T>(rows, c.selected,
            {0, "Selected", "EE",
             [](Machine& m, T& o) {
               const int32_t index = numberOperand(m);
               o.items().select(index, flagOperand(m) != 0);
             },
             "E", [](Machine& m, T& o, EvalStacks& s) { pushBool(s, o.items().selected(numberOperand(m))); },
             "index, flag: selects or deselects the item; read with an index: 1 if selected, else 0"});
}

}  // namespace kestrel::objects
