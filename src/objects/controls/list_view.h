#pragma once
// List views (type 58): items with a caption, sub-items, images, a state
// image or check box, shown as large icons, small icons, a list, or a
// report with columns. The engine keeps the items (in sorted order when
// SortType asks for it), the columns and the selection; the window shows
// them and tells the engine what the user did. docs/controls/list-views.md
// has the rules.
//
// OnChange runs with the item's index and the kind of change (0 the
// caption, 1 the image, 2 the state: selection, check box, state image),
// for the program's changes and the user's alike, and only when something
// changed. The member table is list_view_members.cpp.
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "objects/control.h"
#include "objects/image_list.h"
#include "toolkit/peers/list_view.h"

namespace kestrel::objects {

inline constexpr int kListViewType = 58;

enum SortType { kSortNone = 0, kSortData = 1, kSortText = 2, kSortBoth = 3 };
enum ChangeKind { kChangeText = 0, kChangeImage = 1, kChangeState = 2 };
// Column widths that ask for a fit: to the column's texts, or to its
// header as well.
inline constexpr int32_t kFitContents = -1;
inline constexpr int32_t kFitHeader = -2;

struct ListItem {
  Str caption;
  std::vector<Str> subItems;
  int32_t imageIndex = -1;
  int32_t stateIndex = -1;
  bool selected = false;
  bool checked = false;
};

struct ListColumn {
  Str caption;
  int32_t width = 50;
};

class ListView : public ControlOf<gui::ListViewPeer>, public gui::ListViewOwner {
 public:
  ListView(Machine& m, int type);
  const char* windowClass() const override { return "TListView"; }

  // ---- Items. An index outside the list raises "List index out of
  // bounds (N)" unless a member says otherwise.
  int32_t count() const { return static_cast<int32_t>(items_.size()); }
  const ListItem& item(int32_t index) const;
  bool validItem(int32_t index) const { return index >= 0 && index < count(); }
  // New items go to the end, or to their place while the list is sorted.
  void addItem(const Str& caption);
  // At `position` (0 to the count), or its place while sorted.
  void insertItem(int32_t position, const Str& caption);
  // False when there is no such item.
  bool deleteItem(int32_t index);
  void clearItems();
  // Exchanges what two items hold (caption, images, sub-items, check
  // box); each keeps its place and selection.
  void swapItems(int32_t first, int32_t second);
  void setItemCaption(int32_t index, const Str& caption);
  void setItemImage(int32_t index, int32_t image);
  // With check boxes the state index is the check: 1 checked, 0 not.
  int32_t itemStateIndex(int32_t index) const;
  void setItemStateIndex(int32_t index, int32_t state);
  void addSubItem(int32_t index, const Str& text);
  void insertSubItem(int32_t index, int32_t position, const Str& text);
  bool deleteSubItem(int32_t index, int32_t position);
  void setSubItem(int32_t index, int32_t position, const Str& text);
  // "" when either index fails.
  Str subItem(int32_t index, int32_t position) const;

  // ---- Selection.
  // The first selected item, -1 when none is.
  int32_t selectedIndex() const;
  int32_t selCount() const { return selCount_; }
  // Selects the item (the only one unless MultiSelect).
  void select(int32_t index);
  bool isSelected(int32_t index) const;

  // ---- Columns.
  int32_t columnCount() const { return static_cast<int32_t>(columns_.size()); }
  void addColumn(const Str& caption);
  void clearColumns();
  bool validColumn(int32_t index) const { return index >= 0 && index < columnCount(); }
  const ListColumn& column(int32_t index) const { return columns_[static_cast<size_t>(index)]; }
  void setColumnCaption(int32_t index, const Str& caption);
  // -1 fits the column's texts, -2 (or less) its header as well (the last
  // column then fills what is left of the view's width).
  void setColumnWidth(int32_t index, int32_t width);

  // ---- Properties (flags keep the byte set).
  uint8_t borderStyle() const { return borderStyle_; }
  void setBorderStyle(int32_t style);
  uint8_t checkboxes() const { return checkboxes_; }
  void setCheckboxes(uint8_t flag);
  uint8_t columnClick() const { return columnClick_; }
  void setColumnClick(uint8_t flag);
  uint8_t gridLines() const { return gridLines_; }
  void setGridLines(uint8_t flag);
  uint8_t hotTrack() const { return hotTrack_; }
  void setHotTrack(uint8_t flag);
  uint8_t multiSelect() const { return multiSelect_; }
  void setMultiSelect(uint8_t flag);
  uint8_t readOnly() const { return readOnly_; }
  void setReadOnly(uint8_t flag);
  uint8_t rowSelect() const { return rowSelect_; }
  void setRowSelect(uint8_t flag);
  uint8_t showColumnHeaders() const { return showColumnHeaders_; }
  void setShowColumnHeaders(uint8_t flag);
  int32_t sortType() const { return sortType_; }
  void setSortType(int32_t type);
  int32_t viewStyle() const { return viewStyle_; }
  void setViewStyle(int32_t style);
  void setImages(gui::ListImages which, ImageList* list);

  // ---- gui::ListViewOwner
  std::string_view itemText(int32_t row, int32_t column) const override;
  int32_t itemImage(int32_t row) const override;
  int32_t itemStateImage(int32_t row) const override;
  bool itemChecked(int32_t row) const override;
  bool itemSelected(int32_t row) const override;
  void userSelected(const std::vector<int32_t>& deselected, const std::vector<int32_t>& selected) override;
  void userChecked(int32_t row, bool checked) override;
  bool mayEdit(int32_t row) override;
  void userEdited(int32_t row, const std::string& text) override;
  void userClickedColumn(int32_t column) override;
  void userResizedColumn(int32_t column, int32_t width) override;

 private:
  using Changes = std::vector<std::pair<int32_t, int32_t>>;  // item index, change kind
  bool sorted() const { return sortType_ == kSortText || sortType_ == kSortBoth; }
  // Where a caption goes in the sorted list (after equal ones).
  int32_t sortedPosition(const Str& caption) const;
  // Puts the list in order again and shows it (true when anything moved).
  bool sortItems();
  ListItem& itemRef(int32_t index);
  static gui::ImageStrip stripOf(const ImageListLink& link);
  void insertAt(int32_t position, const Str& caption);
  void setSelected(int32_t index, bool selected, Changes& changes);
  void fire(const Changes& changes);
  void showLook();
  void showColumns();
  int32_t fittedWidth(int32_t column, bool header);
  int32_t textWidth(std::string_view text);

  std::vector<ListItem> items_;
  std::vector<ListColumn> columns_;
  int32_t selCount_ = 0;
  uint8_t borderStyle_ = 1;
  uint8_t checkboxes_ = 0;
  uint8_t columnClick_ = 1;
  uint8_t gridLines_ = 0;
  uint8_t hotTrack_ = 0;
  uint8_t multiSelect_ = 0;
  uint8_t readOnly_ = 0;
  uint8_t rowSelect_ = 0;
  uint8_t showColumnHeaders_ = 1;
  int32_t sortType_ = kSortNone;
  int32_t viewStyle_ = gui::kViewIcon;
  ImageListLink images_[3];
  std::unique_ptr<gui::Surface> measure_;
};

void registerListViewType(TypeRegistry& registry);

}  // namespace kestrel::objects
