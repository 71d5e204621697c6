#include "objects/controls/string_grid.h"

#include <algorithm>
#include <climits>

#include "state/errors.h"
#include "toolkit/colors.h"

namespace kestrel::objects {

namespace {
constexpr int32_t kDefaultWidth = 320;
constexpr int32_t kDefaultHeight = 120;
constexpr int32_t kColorHighlight = gui::systemColor(13);
constexpr int32_t kColorHighlightText = gui::systemColor(14);
// Lines between fixed cells, and between the others.
constexpr uint32_t kFixedLineRgb = 0x808080;
constexpr uint32_t kLineRgb = 0xC0C0C0;
constexpr int32_t kTextMargin = 2;

[[noreturn]] void indexOutOfRange() { raise("Grid index out of range"); }

int32_t clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

std::vector<std::string> splitLines(const Str& text) {
  std::vector<std::string> lines;
  std::string_view rest = text.view();
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return lines;
}
}  // namespace

StringGrid::StringGrid(Machine& m, int type) : ControlOf(m, type), draw_(m) {
  color_ = gui::kColorWindow;
  setBounds(gui::Rect::fromSize(0, 0, kDefaultWidth, kDefaultHeight));
  show();
}

// ---- Size.

void StringGrid::setColCount(int32_t count) {
  colCount_ = std::max(count, 1);
  fixedCols_ = std::min(fixedCols_, colCount_ - 1);
  countsChanged();
}

void StringGrid::setRowCount(int32_t count) {
  rowCount_ = std::max(count, 1);
  fixedRows_ = std::min(fixedRows_, rowCount_ - 1);
  countsChanged();
}

void StringGrid::setFixedCols(int32_t count) {
  if (count < 0) indexOutOfRange();
  if (count >= colCount_) raise("Fixed column count must be less than column count");
  fixedCols_ = count;
  countsChanged();
}

void StringGrid::setFixedRows(int32_t count) {
  if (count < 0) indexOutOfRange();
  if (count >= rowCount_) raise("Fixed row count must be less than row count");
  fixedRows_ = count;
  countsChanged();
}

void StringGrid::countsChanged() {
  cells_.truncate(colCount_, rowCount_);
  if (peer().editing() && (peer().editor().column >= colCount_ || peer().editor().row >= rowCount_))
    peer().closeEditor();
  keepCurrent();
  show();
}

void StringGrid::keepCurrent() {
  col_ = std::clamp(col_, fixedCols_, colCount_ - 1);
  row_ = std::clamp(row_, fixedRows_, rowCount_ - 1);
  leftCol_ = std::clamp(leftCol_, fixedCols_, lastLeftCol());
  topRow_ = std::clamp(topRow_, fixedRows_, lastTopRow());
}

void StringGrid::checkColumn(int64_t column) const {
  if (column < 0 || column >= colCount_) indexOutOfRange();
}

void StringGrid::checkRow(int64_t row) const {
  if (row < 0 || row >= rowCount_) indexOutOfRange();
}

// ---- Cells.

void StringGrid::setCell(int32_t column, int32_t row, const Str& text) {
  checkColumn(column);
  checkRow(row);
  cells_.set(column, row, text);
  show();
}

void StringGrid::deleteRow(int32_t row) {
  checkRow(row);
  cells_.deleteRow(row);
  setRowCount(rowCount_ - 1);
}

void StringGrid::insertRow(int32_t row) {
  if (row < 0 || row > rowCount_) indexOutOfRange();
  cells_.insertRow(row);
  setRowCount(rowCount_ + 1);
}

void StringGrid::deleteColumn(int32_t column) {
  checkColumn(column);
  cells_.deleteColumn(column);
  setColCount(colCount_ - 1);
}

void StringGrid::insertColumn(int32_t column) {
  if (column < 0 || column > colCount_) indexOutOfRange();
  cells_.insertColumn(column);
  setColCount(colCount_ + 1);
}

void StringGrid::swapRows(int32_t a, int32_t b) {
  checkRow(a);
  checkRow(b);
  cells_.swapRows(a, b);
  show();
}

void StringGrid::swapColumns(int32_t a, int32_t b) {
  checkColumn(a);
  checkColumn(b);
  cells_.swapColumns(a, b);
  show();
}

void StringGrid::deleteColumnFirst(int32_t column) {
  checkColumn(column);
  for (int32_t r = 0; r + 1 < rowCount_; ++r) cells_.set(column, r, cells_.at(column, r + 1));
  cells_.set(column, rowCount_ - 1, Str());
  show();
}

// ---- The current cell.

void StringGrid::setCol(int32_t column) {
  if (column < fixedCols_ || column >= colCount_) indexOutOfRange();
  moveTo(column, row_);
}

void StringGrid::setRow(int32_t row) {
  if (row < fixedRows_ || row >= rowCount_) indexOutOfRange();
  moveTo(col_, row);
}

bool StringGrid::moveTo(int32_t column, int32_t row) {
  column = std::clamp(column, fixedCols_, colCount_ - 1);
  row = std::clamp(row, fixedRows_, rowCount_ - 1);
  if (column == col_ && row == row_) return true;
  if (!events::selectCell(m_, handlerFor(gui::EventKind::SelectCell), sender(), column, row, true)) return false;
  // The handler may have changed the grid.
  if (column >= colCount_ || row >= rowCount_) return false;
  if (peer().editing()) peer().closeEditor();
  col_ = column;
  row_ = row;
  scrollIntoView();
  show();
  return true;
}

void StringGrid::scrollIntoView() {
  if (col_ < leftCol_) leftCol_ = col_;
  while (leftCol_ < col_ && cellRect(col_, topRow_).right > clientWidth()) ++leftCol_;
  if (row_ < topRow_) topRow_ = row_;
  while (topRow_ < row_ && cellRect(leftCol_, row_).bottom > clientHeight()) ++topRow_;
  keepCurrent();
}

// ---- Layout.

void StringGrid::setDefaultColWidth(int32_t width) {
  defaultColWidth_ = width;
  colWidths_.clear();
  show();
}

void StringGrid::setDefaultRowHeight(int32_t height) {
  defaultRowHeight_ = height;
  rowHeights_.clear();
  show();
}

void StringGrid::setGridLineWidth(int32_t width) {
  lineWidth_ = std::max(width, 0);
  show();
}

int32_t StringGrid::colWidth(int32_t column) const {
  if (column < 0 || column >= colCount_) return 0;
  const auto it = colWidths_.find(column);
  return it == colWidths_.end() ? defaultColWidth_ : it->second;
}

void StringGrid::setColWidth(int32_t column, int32_t width) {
  checkColumn(column);
  colWidths_[column] = width;
  show();
}

int32_t StringGrid::rowHeight(int32_t row) const {
  if (row < 0 || row >= rowCount_) return 0;
  const auto it = rowHeights_.find(row);
  return it == rowHeights_.end() ? defaultRowHeight_ : it->second;
}

void StringGrid::setRowHeight(int32_t row, int32_t height) {
  checkRow(row);
  rowHeights_[row] = height;
  show();
}

namespace {
// The total of `count` sizes (the default, less those set apart), each
// followed by a line; hidden (negative) sizes take nothing.
template <class Map>
int32_t extent(int32_t count, int32_t standard, const Map& set, int32_t line) {
  const int64_t each = standard < 0 ? 0 : int64_t{standard} + line;
  int64_t total = each * count;
  for (const auto& [index, size] : set) {
    if (index >= count) break;
    total += (size < 0 ? 0 : int64_t{size} + line) - each;
  }
  return clamp32(total);
}
}  // namespace

int32_t StringGrid::gridWidth() const { return extent(colCount_, defaultColWidth_, colWidths_, lineWidth_); }
int32_t StringGrid::gridHeight() const { return extent(rowCount_, defaultRowHeight_, rowHeights_, lineWidth_); }

void StringGrid::setLeftCol(int32_t column) {
  if (column < fixedCols_ || column >= colCount_) indexOutOfRange();
  leftCol_ = std::min(column, lastLeftCol());
  show();
}

void StringGrid::setTopRow(int32_t row) {
  if (row < fixedRows_ || row >= rowCount_) indexOutOfRange();
  topRow_ = std::min(row, lastTopRow());
  show();
}

namespace {
// How many of the sizes from `first` on fit whole into `space`.
template <class SizeOf>
int32_t fitting(int32_t first, int32_t count, int64_t space, int32_t line, SizeOf sizeOf) {
  int32_t n = 0;
  for (int32_t i = first; i < count; ++i) {
    const int32_t size = sizeOf(i);
    if (size < 0) continue;
    if (space < size) break;
    space -= int64_t{size} + line;
    ++n;
  }
  return n;
}

// The first index from which the sizes up to the end fit into `space`
// (at least `lowest`).
template <class SizeOf>
int32_t lastFirst(int32_t lowest, int32_t count, int64_t space, int32_t line, SizeOf sizeOf) {
  int32_t first = count - 1;
  space -= std::max(sizeOf(first), 0);
  while (first > lowest) {
    const int32_t size = std::max(sizeOf(first - 1), 0);
    if (space - size - line < 0) break;
    space -= size + int64_t{line};
    --first;
  }
  return std::max(first, lowest);
}

// What the fixed columns (rows) take, their lines included.
template <class SizeOf>
int64_t fixedExtentOf(int32_t fixed, int32_t line, SizeOf sizeOf) {
  int64_t total = 0;
  for (int32_t i = 0; i < fixed; ++i) total += std::max(sizeOf(i), 0) + int64_t{line};
  return total;
}
}  // namespace

int32_t StringGrid::visibleColCount() const {
  auto width = [this](int32_t c) { return colWidth(c); };
  const int64_t space = clientWidth() - fixedExtentOf(fixedCols_, lineWidth_, width);
  return fitting(leftCol_, colCount_, space, lineWidth_, width);
}

int32_t StringGrid::visibleRowCount() const {
  auto height = [this](int32_t r) { return rowHeight(r); };
  const int64_t space = clientHeight() - fixedExtentOf(fixedRows_, lineWidth_, height);
  return fitting(topRow_, rowCount_, space, lineWidth_, height);
}

int32_t StringGrid::lastLeftCol() const {
  auto width = [this](int32_t c) { return colWidth(c); };
  const int64_t space = clientWidth() - fixedExtentOf(fixedCols_, lineWidth_, width);
  return std::max(lastFirst(fixedCols_, colCount_, space, lineWidth_, width), fixedCols_);
}

int32_t StringGrid::lastTopRow() const {
  auto height = [this](int32_t r) { return rowHeight(r); };
  const int64_t space = clientHeight() - fixedExtentOf(fixedRows_, lineWidth_, height);
  return std::max(lastFirst(fixedRows_, rowCount_, space, lineWidth_, height), fixedRows_);
}

gui::Rect StringGrid::cellRect(int32_t column, int32_t row) const {
  if (column < 0 || column >= colCount_ || row < 0 || row >= rowCount_) return {};
  if ((column >= fixedCols_ && column < leftCol_) || (row >= fixedRows_ && row < topRow_)) return {};
  int64_t x = 0;
  for (int32_t c = 0; c < column; ++c) {
    if (c == fixedCols_) c = leftCol_;
    if (c >= column) break;
    if (colWidth(c) >= 0) x += colWidth(c) + int64_t{lineWidth_};
    if (x > clientWidth()) return {};
  }
  int64_t y = 0;
  for (int32_t r = 0; r < row; ++r) {
    if (r == fixedRows_) r = topRow_;
    if (r >= row) break;
    if (rowHeight(r) >= 0) y += rowHeight(r) + int64_t{lineWidth_};
    if (y > clientHeight()) return {};
  }
  return gui::Rect::fromSize(clamp32(x), clamp32(y), std::max(colWidth(column), 0), std::max(rowHeight(row), 0));
}

// ---- Look and behaviour.

void StringGrid::setFixedColor(int32_t color) {
  fixedColor_ = color;
  show();
}

void StringGrid::setBorderStyle(int32_t style) {
  borderStyle_ = static_cast<uint8_t>(style);
  peer().setBorder(borderStyle_ != 0);
  show();
}

void StringGrid::setScrollBars(int32_t bars) {
  scrollBars_ = bars;
  show();
}

void StringGrid::setOption(int option, bool on) {
  if (option < 0 || option > 15) return;
  if (on) options_ |= 1u << option;
  else options_ &= ~(1u << option);
  if (!hasOption(kGridEditing) && peer().editing()) peer().closeEditor();
  show();
}

bool StringGrid::tabStop(int32_t column) const {
  const auto it = tabStops_.find(column);
  return it == tabStops_.end() || it->second;
}

void StringGrid::setTabStop(int32_t column, bool on) {
  checkColumn(column);
  tabStops_[column] = on;
}

int32_t StringGrid::buttonStyle(int32_t column) const {
  const auto it = buttonStyles_.find(column);
  return it == buttonStyles_.end() ? gui::kGridButtonNone : it->second;
}

void StringGrid::setButtonStyle(int32_t column, int32_t style) {
  checkColumn(column);
  buttonStyles_[column] = style;
}

Str StringGrid::pickList(int32_t column) const {
  const auto it = pickLists_.find(column);
  return it == pickLists_.end() ? Str() : it->second;
}

void StringGrid::setPickList(int32_t column, const Str& text) {
  checkColumn(column);
  pickLists_[column] = text;
  if (peer().editing() && peer().editor().column == column) {
    gui::GridEditor editor = peer().editor();
    editor.pickList = splitLines(text);
    peer().openEditor(editor);
  }
}

void StringGrid::setEditorMode(bool on) {
  if (on) userStartsEditing();
  else if (peer().editing()) peer().closeEditor();
}

void StringGrid::repaint() {
  draw_.canvas(clientSize()).surface.clearTransparent();
  show();
}

// ---- Separated text.

std::string StringGrid::savedText(int32_t firstRow, int32_t lastRow, int32_t firstCol) const {
  if (firstRow < 0 || firstCol < 0) indexOutOfRange();
  std::string text;
  for (int64_t r = firstRow; r <= lastRow && r < rowCount_; ++r) {
    for (int32_t c = firstCol; c < colCount_; ++c) {
      text += cells_.at(c, static_cast<int32_t>(r)).view();
      text += separator.view();
    }
    text += "\r\n";
  }
  return text;
}

void StringGrid::loadText(const std::function<bool(std::string&)>& nextLine, int32_t firstRow, int32_t lastRow,
                          int32_t firstCol) {
  if (firstRow < 0 || firstCol < 0) indexOutOfRange();
  const std::string_view sep = separator.view();
  std::string line;
  for (int64_t r = firstRow; r <= lastRow; ++r) {
    if (!nextLine(line)) break;
    const int32_t row = static_cast<int32_t>(r);
    if (row >= rowCount_) setRowCount(row + 1);
    std::string_view rest = line;
    for (int32_t c = firstCol; c < colCount_ && !rest.empty(); ++c) {
      const size_t at = sep.empty() ? std::string_view::npos : rest.find(sep);
      cells_.set(c, row, Str(std::string(rest.substr(0, at))));
      rest = at == std::string_view::npos ? std::string_view() : rest.substr(at + sep.size());
    }
  }
  show();
}

// ---- Painting.

void StringGrid::show() {
  keepCurrent();
  gui::GridScroll s;
  s.horizontal = scrollBars_ == 1 || scrollBars_ == 3;
  s.vertical = scrollBars_ == 2 || scrollBars_ == 3;
  s.columnMin = fixedCols_;
  s.columnMax = lastLeftCol();
  s.column = leftCol_;
  s.rowMin = fixedRows_;
  s.rowMax = lastTopRow();
  s.row = topRow_;
  draw_.show([this, s] {
    peer().setScroll(s);
    peer().repaintGrid();
  });
}

void StringGrid::resized() {
  Control::resized();
  show();
}

void StringGrid::paintGrid(gui::Surface& picture) {
  picture.clear(gui::colorToRgb(color_));
  const int32_t width = picture.width();
  const int32_t height = picture.height();
  int64_t y = 0;
  for (int32_t r = 0; r < rowCount_ && y < height; ++r) {
    if (r == fixedRows_) r = topRow_;
    if (r >= rowCount_) break;
    const int32_t h = rowHeight(r);
    if (h < 0) continue;
    int64_t x = 0;
    for (int32_t c = 0; c < colCount_ && x < width; ++c) {
      if (c == fixedCols_) c = leftCol_;
      if (c >= colCount_) break;
      const int32_t w = colWidth(c);
      if (w < 0) continue;
      const gui::Rect rect = gui::Rect::fromSize(clamp32(x), clamp32(y), w, h);
      paintCell(picture, c, r, rect);
      paintLines(picture, c, r, rect);
      x += int64_t{w} + lineWidth_;
    }
    y += int64_t{h} + lineWidth_;
  }
}

void StringGrid::paintCell(gui::Surface& picture, int32_t column, int32_t row, const gui::Rect& rect) {
  if (rect.width() <= 0 || rect.height() <= 0) return;
  const bool fixed = column < fixedCols_ || row < fixedRows_;
  const bool selected =
      !fixed && row == row_ && (column == col_ || hasOption(kGridRowSelect)) &&
      !(peer().editing() && peer().editor().column == column && peer().editor().row == row);
  const int32_t color = fixed ? fixedColor_ : color_;
  if (const int32_t entry = handlerFor(gui::EventKind::DrawCell); entry != 0) {
    auto piece = toolkit().createSurface(rect.width(), rect.height(), gui::colorToRgb(color));
    draw_.drawCell(entry, sender(), {*piece, rect, font_, selected ? kColorHighlight : color}, column, row, selected,
                   true);
    picture.draw(rect.left, rect.top, *piece, nullptr);
    return;
  }
  picture.state.brushClear = false;
  picture.state.brush = gui::colorToRgb(selected ? kColorHighlight : color);
  picture.fillRect(rect);
  const Str& text = cells_.at(column, row);
  if (text.empty()) return;
  picture.state.font = font_;
  picture.state.fontColor = gui::colorToRgb(selected ? kColorHighlightText : font_.color);
  picture.state.brushClear = true;
  picture.textRect(rect, rect.left + kTextMargin, rect.top + kTextMargin, text.view());
}

// The line right of the cell and the one below it, each GridLineWidth
// wide; where the options leave a line out, its space shows the grid's
// colour.
void StringGrid::paintLines(gui::Surface& picture, int32_t column, int32_t row, const gui::Rect& rect) {
  if (lineWidth_ <= 0) return;
  const bool fixed = column < fixedCols_ || row < fixedRows_;
  const uint32_t rgb = fixed ? kFixedLineRgb : kLineRgb;
  picture.state.brushClear = false;
  const bool vertical = hasOption(fixed ? kGridFixedVertLine : kGridVertLine);
  const bool horizontal = hasOption(fixed ? kGridFixedHorzLine : kGridHorzLine);
  if (vertical) {
    picture.state.brush = rgb;
    picture.fillRect({rect.right, rect.top, clamp32(int64_t{rect.right} + lineWidth_),
                      clamp32(int64_t{rect.bottom} + lineWidth_)});
  }
  if (horizontal) {
    picture.state.brush = rgb;
    picture.fillRect({rect.left, rect.bottom, clamp32(int64_t{rect.right} + (vertical ? 0 : lineWidth_)),
                      clamp32(int64_t{rect.bottom} + lineWidth_)});
  }
}

// ---- What the user does.

void StringGrid::userClicked(int32_t x, int32_t y) {
  for (int32_t r = 0; r < rowCount_; ++r) {
    if (r == fixedRows_) r = topRow_;
    if (r >= rowCount_) break;
    const gui::Rect rowRect = cellRect(0, r);
    if (rowRect.top > y || (rowRect.width() == 0 && rowRect.height() == 0 && r > 0)) break;
    if (y >= rowRect.bottom + lineWidth_) continue;
    for (int32_t c = 0; c < colCount_; ++c) {
      if (c == fixedCols_) c = leftCol_;
      if (c >= colCount_) break;
      const gui::Rect rect = cellRect(c, r);
      if (rect.left > x) return;
      if (x < rect.right + lineWidth_) {
        if (c >= fixedCols_ && r >= fixedRows_) moveTo(c, r);
        return;
      }
    }
    return;
  }
}

void StringGrid::userMoved(int32_t dx, int32_t dy, bool page, bool end) {
  int64_t column = col_;
  int64_t row = row_;
  if (end) {
    if (dx != 0) column = dx < 0 ? fixedCols_ : colCount_ - 1;
    if (dy != 0) row = dy < 0 ? fixedRows_ : rowCount_ - 1;
  } else if (page) {
    column += int64_t{dx} * std::max(visibleColCount(), 1);
    row += int64_t{dy} * std::max(visibleRowCount(), 1);
  } else {
    column += dx;
    row += dy;
  }
  moveTo(static_cast<int32_t>(std::clamp<int64_t>(column, fixedCols_, colCount_ - 1)),
         static_cast<int32_t>(std::clamp<int64_t>(row, fixedRows_, rowCount_ - 1)));
}

void StringGrid::userScrolled(int32_t leftCol, int32_t topRow) {
  leftCol_ = leftCol;
  topRow_ = topRow;
  if (peer().editing()) peer().closeEditor();
  show();
}

void StringGrid::userStartsEditing() {
  if (!hasOption(kGridEditing) || hasOption(kGridRowSelect)) return;
  scrollIntoView();
  gui::GridEditor editor;
  editor.column = col_;
  editor.row = row_;
  editor.rect = cellRect(col_, row_);
  editor.text = cells_.at(col_, row_).str();
  editor.style = buttonStyle(col_);
  editor.pickList = splitLines(pickList(col_));
  peer().openEditor(editor);
  show();
}

void StringGrid::userEdited(int32_t column, int32_t row, const std::string& text) {
  if (column >= colCount_ || row >= rowCount_) return;
  cells_.set(column, row, Str(text));
  const int32_t entry = handlerFor(gui::EventKind::SetEditText);
  events::cellText(m_, entry, sender(), column, row, Str(text));
}

void StringGrid::userClosedEditor() {
  if (peer().editing()) peer().closeEditor();
  show();
}

void StringGrid::userClickedEllipsis(int32_t column, int32_t row) { cellEvent(gui::EventKind::EllipsisClick, column, row); }

void StringGrid::userDroppedPickList(int32_t column, int32_t row) {
  cellEvent(gui::EventKind::PicklistDropdown, column, row);
}

void StringGrid::cellEvent(gui::EventKind kind, int32_t column, int32_t row) {
  events::cell(m_, handlerFor(kind), sender(), column, row);
}

}  // namespace kestrel::objects
