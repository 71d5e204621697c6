#pragma once
// String grids (type 61): rows and columns of text cells, the first rows
// and columns fixed as headings. The engine keeps the cells (only those
// that hold text), the layout and the current cell, and paints what shows;
// the window scrolls and edits. docs/controls/string-grids.md has the
// rules. The member table is string_grid_members.cpp.
//
// The current cell moves only when OnSelectCell allows it, for the user's
// moves and the program's alike. OnDrawCell paints cells instead of the
// grid (through the owner-draw piece, with the cell's rectangle in rect:50).
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "objects/control.h"
#include "objects/controls/grid_cells.h"
#include "objects/owner_draw.h"
#include "toolkit/peers/string_grid.h"

namespace kestrel::objects {

inline constexpr int kStringGridType = 61;

// The option numbers of AddOptions and RemoveOptions.
enum GridOption {
  kGridFixedVertLine = 0,
  kGridFixedHorzLine = 1,
  kGridVertLine = 2,
  kGridHorzLine = 3,
  kGridRangeSelect = 4,
  kGridDrawFocusSelected = 5,
  kGridRowSizing = 6,
  kGridColSizing = 7,
  kGridRowMoving = 8,
  kGridColMoving = 9,
  kGridEditing = 10,
  kGridTabs = 11,
  kGridRowSelect = 12,
  kGridAlwaysShowEditor = 13,
  kGridThumbTracking = 14,
};

class StringGrid : public ControlOf<gui::StringGridPeer>, public gui::StringGridOwner, public CanvasOwner {
 public:
  StringGrid(Machine& m, int type);
  const char* windowClass() const override { return "TStringGrid"; }

  // ---- Size. A count below 1 becomes 1; fixed rows (columns) that would
  // leave none movable shrink with it.
  int32_t colCount() const { return colCount_; }
  void setColCount(int32_t count);
  int32_t rowCount() const { return rowCount_; }
  void setRowCount(int32_t count);
  int32_t fixedCols() const { return fixedCols_; }
  void setFixedCols(int32_t count);
  int32_t fixedRows() const { return fixedRows_; }
  void setFixedRows(int32_t count);

  // ---- Cells. An index outside the grid raises "Grid index out of range";
  // reads outside give "".
  const Str& cell(int32_t column, int32_t row) const { return cells_.at(column, row); }
  void setCell(int32_t column, int32_t row, const Str& text);
  const GridCells& cells() const { return cells_; }
  // Row and column edits; every index is checked before anything moves.
  void deleteRow(int32_t row);
  void insertRow(int32_t row);
  void deleteColumn(int32_t column);
  void insertColumn(int32_t column);
  void swapRows(int32_t a, int32_t b);
  void swapColumns(int32_t a, int32_t b);
  // Drops the column's first cell: those below move up one.
  void deleteColumnFirst(int32_t column);

  // ---- The current cell: a non-fixed one; the move asks OnSelectCell.
  int32_t col() const { return col_; }
  void setCol(int32_t column);
  int32_t row() const { return row_; }
  void setRow(int32_t row);
  // Moves the current cell there if OnSelectCell allows; true when it moved.
  bool moveTo(int32_t column, int32_t row);

  // ---- Layout.
  int32_t defaultColWidth() const { return defaultColWidth_; }
  void setDefaultColWidth(int32_t width);
  int32_t defaultRowHeight() const { return defaultRowHeight_; }
  void setDefaultRowHeight(int32_t height);
  int32_t gridLineWidth() const { return lineWidth_; }
  void setGridLineWidth(int32_t width);
  // 0 for a column or row outside the grid.
  int32_t colWidth(int32_t column) const;
  void setColWidth(int32_t column, int32_t width);
  int32_t rowHeight(int32_t row) const;
  void setRowHeight(int32_t row, int32_t height);
  // The whole grid's width and height, lines included.
  int32_t gridWidth() const;
  int32_t gridHeight() const;
  int32_t leftCol() const { return leftCol_; }
  void setLeftCol(int32_t column);
  int32_t topRow() const { return topRow_; }
  void setTopRow(int32_t row);
  // Non-fixed columns (rows) that show whole from LeftCol (TopRow).
  int32_t visibleColCount() const;
  int32_t visibleRowCount() const;
  // The cell's rectangle in the client area (empty when it does not show).
  gui::Rect cellRect(int32_t column, int32_t row) const;

  // ---- Look and behaviour.
  int32_t fixedColor() const { return fixedColor_; }
  void setFixedColor(int32_t color);
  uint8_t borderStyle() const { return borderStyle_; }
  void setBorderStyle(int32_t style);
  int32_t scrollBars() const { return scrollBars_; }
  void setScrollBars(int32_t bars);
  bool hasOption(int option) const { return (options_ >> option & 1) != 0; }
  void setOption(int option, bool on);
  bool tabStop(int32_t column) const;
  void setTabStop(int32_t column, bool on);
  int32_t buttonStyle(int32_t column) const;
  void setButtonStyle(int32_t column, int32_t style);
  Str pickList(int32_t column) const;
  void setPickList(int32_t column, const Str& text);
  bool editorMode() const { return peer().editing(); }
  void setEditorMode(bool on);
  // Clears what the program drew and paints the grid again.
  void repaint();
  Str separator;

  // ---- Separated text: a line per row, each cell followed by the
  // separator. An empty separator is never found. `nextLine` gives the
  // next line (false at the end of the input).
  std::string savedText(int32_t firstRow, int32_t lastRow, int32_t firstCol) const;
  void loadText(const std::function<bool(std::string&)>& nextLine, int32_t firstRow, int32_t lastRow,
                int32_t firstCol);

  CanvasTarget canvasTarget() override { return draw_.canvas(clientSize()); }

  // ---- gui::StringGridOwner
  void paintGrid(gui::Surface& picture) override;
  void userClicked(int32_t x, int32_t y) override;
  void userMoved(int32_t dx, int32_t dy, bool page, bool end) override;
  void userScrolled(int32_t leftCol, int32_t topRow) override;
  void userStartsEditing() override;
  void userEdited(int32_t column, int32_t row, const std::string& text) override;
  void userClosedEditor() override;
  void userClickedEllipsis(int32_t column, int32_t row) override;
  void userDroppedPickList(int32_t column, int32_t row) override;

 protected:
  void resized() override;
  void appearanceChanged() override { show(); }

 private:
  void checkColumn(int64_t column) const;
  void checkRow(int64_t row) const;
  void countsChanged();
  // Keeps the current cell inside the movable part and in view.
  void keepCurrent();
  void scrollIntoView();
  int32_t lastLeftCol() const;
  int32_t lastTopRow() const;
  void show();
  void paintCell(gui::Surface& picture, int32_t column, int32_t row, const gui::Rect& rect);
  void paintLines(gui::Surface& picture, int32_t column, int32_t row, const gui::Rect& rect);
  void cellEvent(gui::EventKind kind, int32_t column, int32_t row);

  GridCells cells_;
  OwnerDraw draw_;
  int32_t colCount_ = 5;
  int32_t rowCount_ = 5;
  int32_t fixedCols_ = 1;
  int32_t fixedRows_ = 1;
  int32_t col_ = 1;
  int32_t row_ = 1;
  int32_t leftCol_ = 1;
  int32_t topRow_ = 1;
  int32_t defaultColWidth_ = 64;
  int32_t defaultRowHeight_ = 24;
  int32_t lineWidth_ = 1;
  std::map<int32_t, int32_t> colWidths_;
  std::map<int32_t, int32_t> rowHeights_;
  std::map<int32_t, bool> tabStops_;
  std::map<int32_t, int32_t> buttonStyles_;
  std::map<int32_t, Str> pickLists_;
  int32_t fixedColor_ = gui::kColorButtonFace;
  uint8_t borderStyle_ = 1;
  int32_t scrollBars_ = 3;
  uint32_t options_ = 0x1F;  // the four kinds of lines and range selection
};

void registerStringGridType(TypeRegistry& registry);

}  // namespace kestrel::objects
