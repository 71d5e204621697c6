#pragma once
// List views: items with a caption, sub-items, images and check boxes,
// shown as icons, small icons, a list or a report with columns. The
// engine keeps the items, the columns and the selection; the peer asks
// its owner for what it shows (so a list of many items is kept once) and
// tells the owner what the user did.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/peers/image_strip.h"
#include "toolkit/peers/window.h"

namespace kestrel::gui {

enum ViewStyle { kViewIcon = 0, kViewSmallIcon = 1, kViewList = 2, kViewReport = 3 };
// The image lists a list view shows: large images in the icon view,
// small ones in the others, state images left of the small ones.
enum class ListImages { Large = 0, Small = 1, State = 2 };

// How the view shows its items.
struct ListViewLook {
  int viewStyle = kViewIcon;
  bool checkboxes = false;
  bool columnClick = true;   // column headers can be clicked
  bool gridLines = false;    // lines between rows and columns (report)
  bool hotTrack = false;     // the item under the mouse is highlighted
  bool multiSelect = false;
  bool readOnly = false;     // captions cannot be edited in place
  bool rowSelect = false;    // the whole row shows selected (report)
  bool showColumnHeaders = true;
  bool border = true;
  bool operator==(const ListViewLook&) const = default;
};

struct ListColumnDesc {
  std::string caption;
  int32_t width = 50;
  bool operator==(const ListColumnDesc&) const = default;
};

// What a list view's peer asks of its engine object (which is also the
// peer's WindowOwner). Rows are item indices; column 0 is the caption,
// column c the item's sub-item c - 1.
class ListViewOwner {
 public:
  virtual ~ListViewOwner() = default;
  virtual std::string_view itemText(int32_t row, int32_t column) const = 0;
  virtual int32_t itemImage(int32_t row) const = 0;       // -1: none
  virtual int32_t itemStateImage(int32_t row) const = 0;  // -1: none
  virtual bool itemChecked(int32_t row) const = 0;
  virtual bool itemSelected(int32_t row) const = 0;
  // The user changed the selection: these rows are no longer, and these
  // now are, selected.
  virtual void userSelected(const std::vector<int32_t>& deselected, const std::vector<int32_t>& selected) = 0;
  virtual void userChecked(int32_t row, bool checked) = 0;
  // Asked before the caption's editor opens: false keeps it closed.
  virtual bool mayEdit(int32_t row) = 0;
  virtual void userEdited(int32_t row, const std::string& text) = 0;
  virtual void userClickedColumn(int32_t column) = 0;
  virtual void userResizedColumn(int32_t column, int32_t width) = 0;
};

class ListViewPeer : public WindowPeer {
 public:
  using WindowPeer::WindowPeer;

  // ---- The items (the owner has changed them already).
  virtual void itemsInserted(int32_t /*first*/, int32_t count) { rows_ += count; }
  virtual void itemsRemoved(int32_t first, int32_t count) {
    (void)first;
    rows_ -= count;
  }
  // What rows first to last show changed (texts, images, checks).
  virtual void itemsChanged(int32_t first, int32_t last) { (void)first, (void)last; }
  // Everything may have moved (sorting): `rows` items now.
  virtual void itemsReset(int32_t rows) { rows_ = rows; }
  // The selection of these rows changed; `current` is the item that has
  // the focus (-1: none).
  virtual void selectionChanged(const std::vector<int32_t>& rows, int32_t current) {
    (void)rows;
    current_ = current;
  }
  // Shows the item (scrolls to it).
  virtual void makeVisible(int32_t row) { (void)row; }

  virtual void setColumns(const std::vector<ListColumnDesc>& columns) { columns_ = columns; }
  virtual void setLook(const ListViewLook& look) { look_ = look; }
  virtual void setImages(ListImages which, const ImageStrip& strip) {
    images_[static_cast<size_t>(which)] = strip;
  }

  int32_t rows() const { return rows_; }
  int32_t current() const { return current_; }
  const std::vector<ListColumnDesc>& columns() const { return columns_; }
  const ListViewLook& look() const { return look_; }
  const ImageStrip& images(ListImages which) const { return images_[static_cast<size_t>(which)]; }

 protected:
  int32_t rows_ = 0;
  int32_t current_ = -1;
  std::vector<ListColumnDesc> columns_;
  ListViewLook look_;
  ImageStrip images_[3];
};

}  // namespace kestrel::gui
