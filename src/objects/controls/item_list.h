#pragma once
// The items of a list box, combo box or file list box, with the current
// item and the selection: the engine's view of the list, which the peer
// follows. Every change is shown through the owner draw's show(), so that
// changes made while items are painted wait for the paint to end.
//
// Indices from the program are checked: Item, InsertItem and writes of
// Selected outside the list raise "List index out of bounds (N)"; reads of
// Selected outside give 0, and the current item is always one of the
// items or -1.
#include <cstdint>
#include <string>
#include <vector>

#include "objects/owner_draw.h"
#include "state/str.h"
#include "toolkit/peers/lists.h"

namespace kestrel::objects {

class ItemList {
 public:
  // `draw` may be null (a list whose items are never painted by the program).
  ItemList(gui::ItemListPeer& peer, OwnerDraw* draw);

  int32_t count() const { return static_cast<int32_t>(entries_.size()); }
  const Str& item(int64_t index) const;
  std::vector<Str> texts() const;

  // Appends; a sorted list inserts in order instead (after equal items,
  // letters compared without regard to case).
  void add(const Str& text);
  // Inserts before `index` (0 to the count), sorted or not.
  void insert(int64_t index, const Str& text);
  // Replaces the text; the item keeps its place, sorted or not.
  void replace(int64_t index, const Str& text);
  // False when there is no such item.
  bool remove(int64_t index);
  void clear();
  // The items become `texts`, each added as add() does.
  void assign(const std::vector<Str>& texts);

  bool sorted() const { return sorted_; }
  // Turning sorting on sorts the items (the selection goes with them).
  void setSorted(bool sorted);

  // -1: none.
  int32_t current() const { return current_; }
  // Makes `index` the current item and selects it (one that is not an
  // item: none, and nothing is selected).
  void setCurrent(int64_t index);
  bool selected(int64_t index) const;
  // Selects or deselects an item; with one selection, selecting makes it
  // the current item and deselecting the current item leaves none.
  void select(int64_t index, bool on);
  bool multiSelect() const { return multiSelect_; }
  void setMultiSelect(bool multi);
  // What the user chose, as the peer saw it.
  void userSelected(int32_t current, const std::vector<bool>& selected);

  // Heights of measured items, kept in step with the items.
  MeasuredHeights& heights() { return heights_; }

  // Shows a change of the peer (now, or after a paint).
  void show(std::function<void()> change);

 private:
  struct Entry {
    Str text;
    bool selected = false;
  };
  void showSelection();
  void insertAt(size_t at, const Str& text);
  // Every item again, in the peer (after sorting).
  void showAll();

  gui::ItemListPeer& peer_;
  OwnerDraw* draw_;
  std::vector<Entry> entries_;
  MeasuredHeights heights_;
  int32_t current_ = -1;
  bool sorted_ = false;
  bool multiSelect_ = false;
};

// The rule of DeleteItems: the k-th element (from 0) of the argument list
// names the item that stood at its value before the first deletion when
// the values ascend: the item at value - k goes. An element that names no
// item (beyond the end, or below 0 after the subtraction) deletes nothing
// and still counts.
void deleteListed(Machine& m, ItemList& items);

// Paints item `index` with the draw handler `entry`; without one, as
// text on the target's colour (the highlight behind a selected item).
void paintListItem(OwnerDraw& draw, const ItemList& items, int32_t entry, events::Sender sender,
                   const OwnerDraw::Target& target, int32_t index, bool selected, bool dropWhileBusy);
// The height of item `index`: measured by the handler `entry` the first
// time, from `height`.
int32_t measureListItem(OwnerDraw& draw, ItemList& items, int32_t entry, events::Sender sender, int32_t index,
                        int32_t height, bool dropWhileBusy);

}  // namespace kestrel::objects
