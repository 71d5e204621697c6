#pragma once
// String grids: rows and columns of text cells with fixed (heading) rows
// and columns. The engine keeps the cells and the layout and paints the
// visible part; the peer shows that picture with scroll bars, tells the
// owner where the user clicked, scrolled and typed, and runs the in-place
// editor the owner opens.
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/peers/window.h"
#include "toolkit/surface.h"

namespace kestrel::gui {

// What a column's editor offers besides the text.
enum GridButtonStyle { kGridButtonNone = 0, kGridButtonEllipsis = 1, kGridButtonPickList = 2 };

// The scroll bars: each scrolls the first non-fixed column (row) shown.
struct GridScroll {
  bool horizontal = true;
  bool vertical = true;
  int32_t columnMin = 0, columnMax = 0, column = 0;
  int32_t rowMin = 0, rowMax = 0, row = 0;
  bool operator==(const GridScroll&) const = default;
};

// The in-place editor over one cell.
struct GridEditor {
  int32_t column = 0;
  int32_t row = 0;
  Rect rect;
  std::string text;
  int style = kGridButtonNone;
  std::vector<std::string> pickList;
};

class StringGridOwner {
 public:
  virtual ~StringGridOwner() = default;
  // Paints the client area as it shows now.
  virtual void paintGrid(Surface& picture) = 0;
  // The user clicked at (x, y) of the client area.
  virtual void userClicked(int32_t x, int32_t y) = 0;
  // Arrow keys and the like: moves the current cell by (dx, dy) cells;
  // `page` moves by what shows, `end` to the far end.
  virtual void userMoved(int32_t dx, int32_t dy, bool page, bool end) = 0;
  virtual void userScrolled(int32_t leftCol, int32_t topRow) = 0;
  // The user asks to edit the current cell (double click, F2, Enter, a
  // typed character); the owner opens the editor when editing is allowed.
  virtual void userStartsEditing() = 0;
  // The editor's text changed or was committed.
  virtual void userEdited(int32_t column, int32_t row, const std::string& text) = 0;
  virtual void userClosedEditor() = 0;
  virtual void userClickedEllipsis(int32_t column, int32_t row) = 0;
  virtual void userDroppedPickList(int32_t column, int32_t row) = 0;
};

class StringGridPeer : public WindowPeer {
 public:
  using WindowPeer::WindowPeer;
  // The picture changed: the window paints it again.
  virtual void repaintGrid() {}
  virtual void setScroll(const GridScroll& scroll) { scroll_ = scroll; }
  const GridScroll& scroll() const { return scroll_; }
  virtual void setBorder(bool on) { border_ = on; }
  bool border() const { return border_; }
  virtual void openEditor(const GridEditor& editor) {
    editor_ = editor;
    editing_ = true;
  }
  virtual void closeEditor() { editing_ = false; }
  bool editing() const { return editing_; }
  const GridEditor& editor() const { return editor_; }

 protected:
  GridScroll scroll_;
  GridEditor editor_;
  bool border_ = true;
  bool editing_ = false;
};

}  // namespace kestrel::gui
