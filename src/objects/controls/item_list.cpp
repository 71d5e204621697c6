#include "objects/controls/item_list.h"

#include "objects/controls/list_rows.h"

#include <algorithm>

#include "objects/member_operands.h"
#include "objects/string_list.h"
#include "toolkit/colors.h"

namespace kestrel::objects {

namespace {
constexpr int32_t kColorHighlight = gui::systemColor(13);
constexpr int32_t kColorHighlightText = gui::systemColor(14);
}  // namespace

ItemList::ItemList(gui::ItemListPeer& peer, OwnerDraw* draw) : peer_(peer), draw_(draw) {}

void ItemList::show(std::function<void()> change) {
  if (draw_ != nullptr) draw_->show(std::move(change));
  else change();
}

const Str& ItemList::item(int64_t index) const {
  if (index < 0 || index >= count()) raiseListIndex(index);
  return entries_[static_cast<size_t>(index)].text;
}

std::vector<Str> ItemList::texts() const {
  std::vector<Str> out;
  out.reserve(entries_.size());
  for (const Entry& e : entries_) out.push_back(e.text);
  return out;
}

void ItemList::insertAt(size_t at, const Str& text) {
  entries_.insert(entries_.begin() + static_cast<ptrdiff_t>(at), Entry{text, false});
  heights_.inserted(at);
  if (current_ >= static_cast<int32_t>(at)) ++current_;
  const auto index = static_cast<int32_t>(at);
  show([this, index, copy = text.str()] { peer_.insertItem(index, copy); });
  // The peer moves nothing it has not selected.
  if (current_ >= 0 || multiSelect_) showSelection();
}

void ItemList::add(const Str& text) {
  size_t at = entries_.size();
  if (sorted_)
    at = static_cast<size_t>(std::upper_bound(entries_.begin(), entries_.end(), text,
                                              [](const Str& t, const Entry& e) { return compareText(t, e.text) < 0; }) -
                             entries_.begin());
  insertAt(at, text);
}

void ItemList::insert(int64_t index, const Str& text) {
  if (index < 0 || index > count()) raiseListIndex(index);
  insertAt(static_cast<size_t>(index), text);
}

void ItemList::replace(int64_t index, const Str& text) {
  if (index < 0 || index >= count()) raiseListIndex(index);
  const auto at = static_cast<size_t>(index);
  entries_[at].text = text;
  heights_.erased(at);
  heights_.inserted(at);
  show([this, at, copy = text.str()] { peer_.setItemText(static_cast<int32_t>(at), copy); });
}

bool ItemList::remove(int64_t index) {
  if (index < 0 || index >= count()) return false;
  const auto at = static_cast<size_t>(index);
  entries_.erase(entries_.begin() + static_cast<ptrdiff_t>(at));
  heights_.erased(at);
  if (current_ == static_cast<int32_t>(at)) current_ = -1;
  else if (current_ > static_cast<int32_t>(at)) --current_;
  show([this, at] { peer_.removeItem(static_cast<int32_t>(at)); });
  showSelection();
  return true;
}

void ItemList::clear() {
  entries_.clear();
  heights_.cleared();
  current_ = -1;
  show([this] { peer_.clearItems(); });
  showSelection();
}

void ItemList::assign(const std::vector<Str>& texts) {
  entries_.clear();
  for (const Str& t : texts) entries_.push_back(Entry{t, false});
  if (sorted_)
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const Entry& a, const Entry& b) { return compareText(a.text, b.text) < 0; });
  heights_.cleared();
  current_ = -1;
  showAll();
}

void ItemList::setSorted(bool sorted) {
  sorted_ = sorted;
  if (!sorted_ || entries_.size() < 2) return;
  std::vector<size_t> order(entries_.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [this](size_t a, size_t b) {
    return compareText(entries_[a].text, entries_[b].text) < 0;
  });
  std::vector<Entry> sortedEntries;
  sortedEntries.reserve(entries_.size());
  int32_t newCurrent = -1;
  for (size_t i = 0; i < order.size(); ++i) {
    if (static_cast<int32_t>(order[i]) == current_) newCurrent = static_cast<int32_t>(i);
    sortedEntries.push_back(std::move(entries_[order[i]]));
  }
  entries_ = std::move(sortedEntries);
  current_ = newCurrent;
  heights_.cleared();
  showAll();
}

void ItemList::showAll() {
  std::vector<std::string> copies;
  for (const Entry& e : entries_) copies.push_back(e.text.str());
  show([this, copies] {
    peer_.clearItems();
    for (size_t i = 0; i < copies.size(); ++i) peer_.insertItem(static_cast<int32_t>(i), copies[i]);
  });
  showSelection();
}

void ItemList::setCurrent(int64_t index) {
  if (index < 0 || index >= count()) {
    current_ = -1;
    for (Entry& e : entries_) e.selected = false;
  } else {
    current_ = static_cast<int32_t>(index);
    if (!multiSelect_)
      for (Entry& e : entries_) e.selected = false;
    entries_[static_cast<size_t>(index)].selected = true;
  }
  showSelection();
}

bool ItemList::selected(int64_t index) const {
  if (index < 0 || index >= count()) return false;
  return entries_[static_cast<size_t>(index)].selected;
}

void ItemList::select(int64_t index, bool on) {
  if (index < 0 || index >= count()) raiseListIndex(index);
  if (!multiSelect_) {
    if (on) setCurrent(index);
    else if (current_ == index) setCurrent(-1);
    return;
  }
  entries_[static_cast<size_t>(index)].selected = on;
  showSelection();
}

void ItemList::setMultiSelect(bool multi) {
  multiSelect_ = multi;
  if (multi) return;
  for (size_t i = 0; i < entries_.size(); ++i) entries_[i].selected = static_cast<int32_t>(i) == current_;
  showSelection();
}

void ItemList::userSelected(int32_t current, const std::vector<bool>& selected) {
  current_ = current >= 0 && current < count() ? current : -1;
  for (size_t i = 0; i < entries_.size(); ++i)
    entries_[i].selected = multiSelect_ ? (i < selected.size() && selected[i]) : static_cast<int32_t>(i) == current_;
}

void ItemList::showSelection() {
  std::vector<bool> flags(entries_.size());
  for (size_t i = 0; i < entries_.size(); ++i) flags[i] = entries_[i].selected;
  show([this, current = current_, flags = std::move(flags)] { peer_.showSelection(current, flags); });
}

void deleteListed(Machine& m, ItemList& items) {
  int64_t k = 0;
  forEachArgument(m, [&] {
    const int64_t at = int64_t{numberOperand(m)} - k;
    if (at >= 0) items.remove(at);
    ++k;
  });
}

std::vector<Str> linesOfFile(Machine& m, const Str& name) {
  const std::vector<uint8_t> bytes = programFileBytes(m, name);
  StringList lines(kStringListType);
  lines.setText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  return lines.items;
}

void writeLinesToFile(Machine& m, const Str& name, const std::vector<Str>& lines) {
  StringList list(kStringListType);
  list.items = lines;
  writeProgramFile(m, name, list.text());
}

void paintListItem(OwnerDraw& draw, const ItemList& items, int32_t entry, events::Sender sender,
                   const OwnerDraw::Target& target, int32_t index, bool selected, bool dropWhileBusy) {
  if (entry != 0) {
    draw.drawItem(entry, sender, target, index, selected, dropWhileBusy);
    return;
  }
  gui::Surface& picture = target.picture;
  picture.clear(gui::colorToRgb(selected ? kColorHighlight : target.color));
  if (index < 0 || index >= items.count()) return;
  picture.state.font = target.font;
  picture.state.fontColor = gui::colorToRgb(selected ? kColorHighlightText : target.font.color);
  picture.state.brushClear = true;
  picture.textOut(2, 0, items.item(index).view());
}

int32_t measureListItem(OwnerDraw& draw, ItemList& items, int32_t entry, events::Sender sender, int32_t index,
                        int32_t height, bool dropWhileBusy) {
  if (index < 0) return height;
  return items.heights().height(static_cast<size_t>(index),
                                [&] { return draw.measureItem(entry, sender, index, height, dropWhileBusy); });
}

}  // namespace kestrel::objects
