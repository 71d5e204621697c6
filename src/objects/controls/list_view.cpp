#include "objects/controls/list_view.h"

#include <algorithm>
#include <cctype>

#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {
constexpr int32_t kDefaultWidth = 250;
constexpr int32_t kDefaultHeight = 150;
// Room around a column's text, and beside an item's picture or check box.
constexpr int32_t kTextMargin = 12;
constexpr int32_t kPictureGap = 4;
constexpr int32_t kCheckBoxWidth = 16;
constexpr int32_t kBorderWidth = 2;

// Letters compared without regard to case.
int compareText(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int ca = std::tolower(static_cast<unsigned char>(a[i]));
    const int cb = std::tolower(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}
}  // namespace

ListView::ListView(Machine& m, int type)
    : ControlOf(m, type),
      images_{ImageListLink([this] { peer().setImages(gui::ListImages::Large, stripOf(images_[0])); }),
              ImageListLink([this] { peer().setImages(gui::ListImages::Small, stripOf(images_[1])); }),
              ImageListLink([this] { peer().setImages(gui::ListImages::State, stripOf(images_[2])); })} {
  setColor(gui::kColorWindow);
  setBounds(gui::Rect::fromSize(0, 0, kDefaultWidth, kDefaultHeight));
  showLook();
}

gui::ImageStrip ListView::stripOf(const ImageListLink& link) {
  return link.list() != nullptr ? link.list()->strip() : gui::ImageStrip{};
}

// ---- Items

const ListItem& ListView::item(int32_t index) const {
  if (!validItem(index)) raiseListIndex(index);
  return items_[static_cast<size_t>(index)];
}

ListItem& ListView::itemRef(int32_t index) {
  if (!validItem(index)) raiseListIndex(index);
  return items_[static_cast<size_t>(index)];
}

int32_t ListView::sortedPosition(const Str& caption) const {
  const auto at = std::upper_bound(items_.begin(), items_.end(), caption, [](const Str& c, const ListItem& i) {
    return compareText(c.view(), i.caption.view()) < 0;
  });
  return static_cast<int32_t>(at - items_.begin());
}

void ListView::insertAt(int32_t position, const Str& caption) {
  if (sorted()) position = sortedPosition(caption);
  ListItem item;
  item.caption = caption;
  items_.insert(items_.begin() + position, std::move(item));
  peer().itemsInserted(position, 1);
}

void ListView::addItem(const Str& caption) { insertAt(count(), caption); }

void ListView::insertItem(int32_t position, const Str& caption) {
  if (position < 0 || position > count()) raiseListIndex(position);
  insertAt(position, caption);
}

bool ListView::deleteItem(int32_t index) {
  if (!validItem(index)) return false;
  if (items_[static_cast<size_t>(index)].selected) --selCount_;
  items_.erase(items_.begin() + index);
  peer().itemsRemoved(index, 1);
  return true;
}

void ListView::clearItems() {
  items_.clear();
  selCount_ = 0;
  peer().itemsReset(0);
}

bool ListView::sortItems() {
  if (!sorted()) return false;
  const auto less = [](const ListItem& a, const ListItem& b) { return compareText(a.caption, b.caption) < 0; };
  if (std::is_sorted(items_.begin(), items_.end(), less)) return false;
  std::stable_sort(items_.begin(), items_.end(), less);
  peer().itemsReset(count());
  return true;
}

void ListView::swapItems(int32_t first, int32_t second) {
  if (!validItem(first)) raiseListIndex(first);
  if (!validItem(second)) raiseListIndex(second);
  if (first == second) return;
  ListItem& a = items_[static_cast<size_t>(first)];
  ListItem& b = items_[static_cast<size_t>(second)];
  std::swap(a.caption, b.caption);
  std::swap(a.subItems, b.subItems);
  std::swap(a.imageIndex, b.imageIndex);
  std::swap(a.stateIndex, b.stateIndex);
  std::swap(a.checked, b.checked);
  peer().itemsChanged(std::min(first, second), std::max(first, second));
  fire({{first, kChangeText}, {second, kChangeText}});
  sortItems();
}

void ListView::setItemCaption(int32_t index, const Str& caption) {
  ListItem& it = itemRef(index);
  if (it.caption.view() == caption.view()) return;
  it.caption = caption;
  peer().itemsChanged(index, index);
  // The handler sees the item where it was; then it goes to its place.
  fire({{index, kChangeText}});
  sortItems();
}

void ListView::setItemImage(int32_t index, int32_t image) {
  ListItem& it = itemRef(index);
  if (it.imageIndex == image) return;
  it.imageIndex = image;
  peer().itemsChanged(index, index);
  fire({{index, kChangeImage}});
}

int32_t ListView::itemStateIndex(int32_t index) const {
  const ListItem& it = item(index);
  if (checkboxes_ != 0) return it.checked ? 1 : 0;
  return it.stateIndex;
}

void ListView::setItemStateIndex(int32_t index, int32_t state) {
  ListItem& it = itemRef(index);
  if (checkboxes_ != 0) {
    if (it.checked == (state == 1)) return;
    it.checked = state == 1;
  } else {
    if (it.stateIndex == state) return;
    it.stateIndex = state;
  }
  peer().itemsChanged(index, index);
  fire({{index, kChangeState}});
}

void ListView::addSubItem(int32_t index, const Str& text) {
  if (!validItem(index)) raiseListIndex(index);
  items_[static_cast<size_t>(index)].subItems.push_back(text);
  peer().itemsChanged(index, index);
}

void ListView::insertSubItem(int32_t index, int32_t position, const Str& text) {
  if (!validItem(index)) raiseListIndex(index);
  std::vector<Str>& subs = items_[static_cast<size_t>(index)].subItems;
  if (position < 0 || static_cast<size_t>(position) > subs.size()) raiseListIndex(position);
  subs.insert(subs.begin() + position, text);
  peer().itemsChanged(index, index);
}

bool ListView::deleteSubItem(int32_t index, int32_t position) {
  if (!validItem(index)) return false;
  std::vector<Str>& subs = items_[static_cast<size_t>(index)].subItems;
  if (position < 0 || static_cast<size_t>(position) >= subs.size()) return false;
  subs.erase(subs.begin() + position);
  peer().itemsChanged(index, index);
  return true;
}

void ListView::setSubItem(int32_t index, int32_t position, const Str& text) {
  if (!validItem(index)) raiseListIndex(index);
  std::vector<Str>& subs = items_[static_cast<size_t>(index)].subItems;
  if (position < 0 || static_cast<size_t>(position) >= subs.size()) raiseListIndex(position);
  subs[static_cast<size_t>(position)] = text;
  peer().itemsChanged(index, index);
}

Str ListView::subItem(int32_t index, int32_t position) const {
  if (!validItem(index)) return {};
  const std::vector<Str>& subs = items_[static_cast<size_t>(index)].subItems;
  if (position < 0 || static_cast<size_t>(position) >= subs.size()) return {};
  return subs[static_cast<size_t>(position)];
}

// ---- Selection

int32_t ListView::selectedIndex() const {
  if (selCount_ == 0) return -1;
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].selected) return static_cast<int32_t>(i);
  return -1;
}

void ListView::setSelected(int32_t index, bool selected, Changes& changes) {
  ListItem& it = items_[static_cast<size_t>(index)];
  if (it.selected == selected) return;
  it.selected = selected;
  selCount_ += selected ? 1 : -1;
  changes.emplace_back(index, kChangeState);
}

// Without MultiSelect the items selected before lose their selection
// first (and hear of it first).
void ListView::select(int32_t index) {
  if (!validItem(index)) raiseListIndex(index);
  Changes changes;
  int32_t others = selCount_ - (items_[static_cast<size_t>(index)].selected ? 1 : 0);
  for (int32_t i = 0; multiSelect_ == 0 && others > 0 && i < count(); ++i) {
    if (i == index || !items_[static_cast<size_t>(i)].selected) continue;
    setSelected(i, false, changes);
    --others;
  }
  setSelected(index, true, changes);
  std::vector<int32_t> rows;
  for (const auto& [row, kind] : changes) rows.push_back(row);
  peer().selectionChanged(rows, index);
  fire(changes);
}

// The first selected item, then (with MultiSelect) the others in order.
bool ListView::isSelected(int32_t index) const {
  const int32_t first = selectedIndex();
  if (first < 0) return false;
  if (first == index) return true;
  if (multiSelect_ == 0) return false;
  return validItem(index) && index > first && items_[static_cast<size_t>(index)].selected;
}

// ---- Columns

void ListView::addColumn(const Str& caption) {
  columns_.push_back({caption, 50});
  showColumns();
}

void ListView::clearColumns() {
  columns_.clear();
  showColumns();
}

void ListView::setColumnCaption(int32_t index, const Str& caption) {
  if (!validColumn(index)) raiseListIndex(index);
  columns_[static_cast<size_t>(index)].caption = caption;
  showColumns();
}

void ListView::setColumnWidth(int32_t index, int32_t width) {
  if (!validColumn(index)) raiseListIndex(index);
  if (width == kFitContents) width = fittedWidth(index, false);
  else if (width < kFitContents) width = fittedWidth(index, true);
  columns_[static_cast<size_t>(index)].width = width;
  showColumns();
}

int32_t ListView::textWidth(std::string_view text) {
  if (!measure_) measure_ = toolkit().createSurface(1, 1, gui::kWhite);
  measure_->state.font = font_;
  return measure_->textExtent(text).width;
}

int32_t ListView::fittedWidth(int32_t column, bool header) {
  int32_t widest = 0;
  for (int32_t row = 0; row < count(); ++row) widest = std::max(widest, textWidth(itemText(row, column)));
  widest += kTextMargin;
  if (column == 0 && images_[1].list() != nullptr) widest += images_[1].list()->width() + kPictureGap;
  if (column == 0 && checkboxes_ != 0) widest += kCheckBoxWidth + kPictureGap;
  if (!header) return widest;
  widest = std::max(widest, textWidth(columns_[static_cast<size_t>(column)].caption) + kTextMargin);
  if (column + 1 == columnCount()) {
    int32_t others = 0;
    for (int32_t c = 0; c < column; ++c) others += std::max(columns_[static_cast<size_t>(c)].width, 0);
    widest = std::max(widest, clientWidth() - 2 * kBorderWidth - others);
  }
  return widest;
}

void ListView::showColumns() {
  std::vector<gui::ListColumnDesc> shown;
  shown.reserve(columns_.size());
  for (const ListColumn& c : columns_) shown.push_back({c.caption.str(), c.width});
  peer().setColumns(shown);
}

// ---- Properties

void ListView::showLook() {
  gui::ListViewLook look;
  look.viewStyle = viewStyle_;
  look.checkboxes = checkboxes_ != 0;
  look.columnClick = columnClick_ != 0;
  look.gridLines = gridLines_ != 0;
  look.hotTrack = hotTrack_ != 0;
  look.multiSelect = multiSelect_ != 0;
  look.readOnly = readOnly_ != 0;
  look.rowSelect = rowSelect_ != 0;
  look.showColumnHeaders = showColumnHeaders_ != 0;
  look.border = borderStyle_ != 0;
  peer().setLook(look);
}

void ListView::setBorderStyle(int32_t style) {
  borderStyle_ = static_cast<uint8_t>(std::clamp(style, 0, 1));
  showLook();
}

void ListView::setCheckboxes(uint8_t flag) {
  checkboxes_ = flag;
  showLook();
  if (count() > 0) peer().itemsChanged(0, count() - 1);
}

void ListView::setColumnClick(uint8_t flag) {
  columnClick_ = flag;
  showLook();
}

void ListView::setGridLines(uint8_t flag) {
  gridLines_ = flag;
  showLook();
}

void ListView::setHotTrack(uint8_t flag) {
  hotTrack_ = flag;
  showLook();
}

void ListView::setMultiSelect(uint8_t flag) {
  multiSelect_ = flag;
  showLook();
}

void ListView::setReadOnly(uint8_t flag) {
  readOnly_ = flag;
  showLook();
}

void ListView::setRowSelect(uint8_t flag) {
  rowSelect_ = flag;
  showLook();
}

void ListView::setShowColumnHeaders(uint8_t flag) {
  showColumnHeaders_ = flag;
  showLook();
}

void ListView::setSortType(int32_t type) {
  sortType_ = std::clamp(type, 0, 3);
  sortItems();
}

void ListView::setViewStyle(int32_t style) {
  viewStyle_ = std::clamp(style, 0, 3);
  showLook();
}

void ListView::setImages(gui::ListImages which, ImageList* list) { images_[static_cast<size_t>(which)].attach(list); }

// ---- Events

void ListView::fire(const Changes& changes) {
  const int32_t entry = handlerFor(gui::EventKind::Change);
  if (entry == 0) return;
  for (const auto& [index, kind] : changes) events::itemChange(m_, entry, sender(), index, kind);
}

// ---- What the window asks and tells

std::string_view ListView::itemText(int32_t row, int32_t column) const {
  if (!validItem(row)) return {};
  const ListItem& it = items_[static_cast<size_t>(row)];
  if (column == 0) return it.caption.view();
  if (column < 1 || static_cast<size_t>(column - 1) >= it.subItems.size()) return {};
  return it.subItems[static_cast<size_t>(column - 1)].view();
}

int32_t ListView::itemImage(int32_t row) const { return validItem(row) ? items_[static_cast<size_t>(row)].imageIndex : -1; }

int32_t ListView::itemStateImage(int32_t row) const {
  return validItem(row) && checkboxes_ == 0 ? items_[static_cast<size_t>(row)].stateIndex : -1;
}

bool ListView::itemChecked(int32_t row) const { return validItem(row) && items_[static_cast<size_t>(row)].checked; }

bool ListView::itemSelected(int32_t row) const { return validItem(row) && items_[static_cast<size_t>(row)].selected; }

void ListView::userSelected(const std::vector<int32_t>& deselected, const std::vector<int32_t>& selected) {
  Changes changes;
  for (int32_t row : deselected)
    if (validItem(row)) setSelected(row, false, changes);
  for (int32_t row : selected)
    if (validItem(row)) setSelected(row, true, changes);
  fire(changes);
}

void ListView::userChecked(int32_t row, bool checked) {
  if (!validItem(row) || checkboxes_ == 0) return;
  setItemStateIndex(row, checked ? 1 : 0);
}

bool ListView::mayEdit(int32_t row) { return readOnly_ == 0 && validItem(row); }

void ListView::userEdited(int32_t row, const std::string& text) {
  if (!mayEdit(row)) return;
  setItemCaption(row, Str(text));
}

void ListView::userClickedColumn(int32_t column) {
  if (columnClick_ == 0 || !validColumn(column)) return;
  events::indexed(m_, handlerFor(gui::EventKind::ColumnClick), sender(), column);
}

void ListView::userResizedColumn(int32_t column, int32_t width) {
  if (validColumn(column)) columns_[static_cast<size_t>(column)].width = width;
}

}  // namespace kestrel::objects
