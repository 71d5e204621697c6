// The member table of string grids (type 61).
#include <string>

#include "objects/control_members.h"
#include "objects/controls/string_grid.h"
#include "objects/streams.h"
#include "state/errors.h"

namespace kestrel::objects {

namespace {

using G = StringGrid;

// The rows (first, last) and first column that load and save take, each
// led by an ignored byte, with the closing byte.
struct Span {
  int32_t firstRow;
  int32_t lastRow;
  int32_t firstCol;
};

// `led`: the byte before the first row is still to be read (a stream
// reference reads it with the reference).
Span spanOperands(Machine& m, bool led = true) {
  Span s{};
  if (led) skipByte(m);
  s.firstRow = numberOperand(m);
  skipByte(m);
  s.lastRow = numberOperand(m);
  skipByte(m);
  s.firstCol = numberOperand(m);
  skipByte(m);
  return s;
}

// A stream's lines from its position: each ends at a line feed (the
// carriage return before it dropped), the last at the end of the stream;
// the stream is left just after the line taken.
class StreamLines {
 public:
  explicit StreamLines(Stream& stream) : stream_(stream) {}
  bool operator()(std::string& line) {
    line.clear();
    const int64_t start = stream_.position();
    uint8_t piece[255];
    for (;;) {
      const size_t got = stream_.read(piece, sizeof piece);
      if (got == 0) {
        if (line.empty()) return false;
        break;
      }
      const auto* bytes = reinterpret_cast<const char*>(piece);
      const std::string_view chunk(bytes, got);
      const size_t feed = chunk.find('\n');
      if (feed != std::string_view::npos) {
        line.append(chunk.substr(0, feed));
        stream_.setPosition(start + static_cast<int64_t>(line.size()) + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
      }
      line.append(chunk);
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
  }

 private:
  Stream& stream_;
};

// The lines of a file's bytes, as StreamLines takes them.
class TextLines {
 public:
  explicit TextLines(std::string_view text) : rest_(text) {}
  bool operator()(std::string& line) {
    if (rest_.empty()) return false;
    const size_t feed = rest_.find('\n');
    std::string_view taken = rest_.substr(0, feed);
    rest_ = feed == std::string_view::npos ? std::string_view() : rest_.substr(feed + 1);
    if (!taken.empty() && taken.back() == '\r') taken.remove_suffix(1);
    line.assign(taken);
    return true;
  }

 private:
  std::string_view rest_;
};

Stream& streamOperand(Machine& m) {
  Stream* stream = streamReference(m);
  if (stream == nullptr) raise("Invalid class typecast");
  return *stream;
}

// A file that cannot be read loads nothing.
void loadFile(Machine& m, G& g) {
  skipByte(m);
  const Str name = stringOperand(m);
  const Span s = spanOperands(m);
  std::vector<uint8_t> bytes;
  if (!readProgramFile(m, name, bytes)) return;
  TextLines lines({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
  g.loadText(std::ref(lines), s.firstRow, s.lastRow, s.firstCol);
}

// A save that fails is silent, and the old file stays as it was.
void saveFile(Machine& m, G& g) {
  skipByte(m);
  const Str name = stringOperand(m);
  const Span s = spanOperands(m);
  saveProgramFile(m, name, g.savedText(s.firstRow, s.lastRow, s.firstCol));
}

void loadStream(Machine& m, G& g) {
  skipByte(m);
  Stream& stream = streamOperand(m);
  const Span s = spanOperands(m, false);
  StreamLines lines(stream);
  g.loadText(std::ref(lines), s.firstRow, s.lastRow, s.firstCol);
}

void saveStream(Machine& m, G& g) {
  skipByte(m);
  Stream& stream = streamOperand(m);
  const Span s = spanOperands(m, false);
  stream.write(g.savedText(s.firstRow, s.lastRow, s.firstCol));
}

// b, index, b: the index truncated.
template <void (G::*Edit)(int32_t)>
void editOne(Machine& m, G& g) {
  skipByte(m);
  const int32_t index = truncOperand(m);
  skipByte(m);
  (g.*Edit)(index);
}

// b, first, b, second, b: both truncated.
template <void (G::*Swap)(int32_t, int32_t)>
void swapTwo(Machine& m, G& g) {
  skipByte(m);
  const int32_t first = truncOperand(m);
  skipByte(m);
  const int32_t second = truncOperand(m);
  skipByte(m);
  (g.*Swap)(first, second);
}

template <bool On>
void changeOptions(Machine& m, G& g) {
  forEachArgument(m, [&] { g.setOption(numberOperand(m), On); });
}

void writeCell(Machine& m, G& g) {
  const int32_t column = numberOperand(m);
  const int32_t row = numberOperand(m);
  const Str text = stringOperand(m);
  g.setCell(column, row, text);
}

void readCell(Machine& m, G& g, EvalStacks& s) {
  const int32_t column = numberOperand(m);
  const int32_t row = numberOperand(m);
  s.pushString(g.cell(column, row));
}

std::vector<Member<StringGrid>> stringGridRows() {
  std::vector<Member<G>> rows = {
      property<&G::borderStyle, &G::setBorderStyle>(11, "BorderStyle", "0 none, 1 a single line around the grid"),
      property<&G::colCount, &G::setColCount>(12, "ColCount", "columns, fixed ones included (at least 1)"),
      property<&G::col, &G::setCol>(13, "Col", "the current column (not a fixed one); moving asks OnSelectCell"),
      property<&G::defaultColWidth, &G::setDefaultColWidth>(14, "DefaultColWidth",
                                                           "width of every column; setting it resets them all"),
      property<&G::defaultRowHeight, &G::setDefaultRowHeight>(15, "DefaultRowHeight",
                                                             "height of every row; setting it resets them all"),
      property<&G::fixedColor, &G::setFixedColor>(16, "FixedColor", "colour of the fixed cells"),
      property<&G::fixedCols, &G::setFixedCols>(17, "FixedCols", "heading columns on the left (less than ColCount)"),
      property<&G::fixedRows, &G::setFixedRows>(18, "FixedRows", "heading rows at the top (less than RowCount)"),
      readOnly<&G::gridWidth>(19, "GridWidth", "the whole grid's width in pixels, lines included"),
      readOnly<&G::gridHeight>(20, "GridHeight", "the whole grid's height in pixels, lines included"),
      property<&G::gridLineWidth, &G::setGridLineWidth>(21, "GridLineWidth", "width of the lines between cells"),
      property<&G::leftCol, &G::setLeftCol>(22, "LeftCol", "the first non-fixed column shown"),
      property<&G::row, &G::setRow>(23, "Row", "the current row (not a fixed one); moving asks OnSelectCell"),
      property<&G::rowCount, &G::setRowCount>(24, "RowCount", "rows, fixed ones included (at least 1)"),
      property<&G::topRow, &G::setTopRow>(26, "TopRow", "the first non-fixed row shown"),
      readOnly<&G::visibleColCount>(27, "VisibleColCount", "non-fixed columns that show whole"),
      readOnly<&G::visibleRowCount>(28, "VisibleRowCount", "non-fixed rows that show whole"),
      property<&G::editorMode, &G::setEditorMode>(29, "EditorMode",
                                                  "nonzero opens the cell editor on the current cell (with option 10)"),
      property<&G::fixedColor, &G::setFixedColor>(30, "FixedColor2", "the same as FixedColor"),
      {31, "ColWidths", "EE", [](Machine& m, G& g) {
         const int32_t column = numberOperand(m);
         g.setColWidth(column, numberOperand(m));
       }, "E", [](Machine& m, G& g, EvalStacks& s) { s.pushNumber(g.colWidth(numberOperand(m))); },
       "column, width (-1 hides it); read with (column): its width, 0 outside the grid"},
      {32, "RowHeights", "EE", [](Machine& m, G& g) {
         const int32_t row = numberOperand(m);
         g.setRowHeight(row, numberOperand(m));
       }, "E", [](Machine& m, G& g, EvalStacks& s) { s.pushNumber(g.rowHeight(numberOperand(m))); },
       "row, height (-1 hides it); read with (row): its height, 0 outside the grid"},
      property<&G::scrollBars, &G::setScrollBars>(33, "ScrollBars", "0 none, 1 horizontal, 2 vertical, 3 both"),
      {34, "TabStops", "EE", [](Machine& m, G& g) {
         const int32_t column = numberOperand(m);
         g.setTabStop(column, truthOperand(m));
       }, "E", [](Machine& m, G& g, EvalStacks& s) { pushBool(s, g.tabStop(numberOperand(m))); },
       "column, flag: Tab stops at the column; read with (column): 1 or 0"},
      {35, "Cells", "EEE", writeCell, "EE", readCell,
       "column, row, text; read with (column, row): the text, \"\" outside the grid"},
      {38, "AddOptions", "L", changeOptions<true>, nullptr, nullptr,
       "option numbers 0 to 15 (0-3 lines, 5 current cell drawn selected, 10 editing, 12 row select, ...)"},
      {39, "RemoveOptions", "L", changeOptions<false>, nullptr, nullptr, "option numbers, as AddOptions"},
      {40, "DeleteColumnFirst", "bEb", [](Machine& m, G& g) {
         skipByte(m);
         const int32_t column = numberOperand(m);
         skipByte(m);
         g.deleteColumnFirst(column);
       }, nullptr, nullptr, "column: drops its first cell; the cells below move up one"},
      {41, "DeleteRow", "bEb", editOne<&G::deleteRow>, nullptr, nullptr,
       "row (truncated): removes it; rows below move up"},
      {49, "Pixel", "EEE", [](Machine& m, G& g) { canvas::pset(m, g.canvasTarget()); }, nullptr, nullptr,
       "x, y, colour: sets one pixel"},
      {52, "Repaint", "b", [](Machine& m, G& g) {
         skipByte(m);
         g.repaint();
       }, nullptr, nullptr, "clears what the program drew and paints the grid again"},
      field<&G::separator>(57, "Separator", "the text after each cell in separated text (empty: never found)"),
      {58, "LoadFromFile", "bEbEbEbEb", loadFile, nullptr, nullptr,
       "file, first row, last row, first column: a line per row, cells split at the separator; grows RowCount"},
      {59, "SaveToFile", "bEbEbEbEb", saveFile, nullptr, nullptr,
       "file, first row, last row, first column: each cell followed by the separator, lines end with CR LF"},
      {60, "LoadFromStream", "bTbEbEbEb", loadStream, nullptr, nullptr,
       "stream, first row, last row, first column: as LoadFromFile, from the stream's position"},
      {61, "SaveToStream", "bTbEbEbEb", saveStream, nullptr, nullptr,
       "stream, first row, last row, first column: as SaveToFile, at the stream's position"},
      {62, "InsertRow", "bEb", editOne<&G::insertRow>, nullptr, nullptr,
       "row (truncated, 0 to RowCount): an empty row there; rows from it move down"},
      {63, "DeleteColumn", "bEb", editOne<&G::deleteColumn>, nullptr, nullptr,
       "column (truncated): removes it; columns right of it move left"},
      {64, "InsertColumn", "bEb", editOne<&G::insertColumn>, nullptr, nullptr,
       "column (truncated, 0 to ColCount): an empty column there"},
      {65, "SwapRows", "bEbEb", swapTwo<&G::swapRows>, nullptr, nullptr, "first, second (truncated): exchanges the rows"},
      {66, "SwapColumns", "bEbEb", swapTwo<&G::swapColumns>, nullptr, nullptr,
       "first, second (truncated): exchanges the columns"},
      {72, "ButtonStyle", "EE", [](Machine& m, G& g) {
         const int32_t column = truncOperand(m);
         g.setButtonStyle(column, truncOperand(m));
       }, "E", [](Machine& m, G& g, EvalStacks& s) { s.pushNumber(g.buttonStyle(truncOperand(m))); },
       "column, style (0 none, 1 ellipsis button, 2 pick list) of the column's editor; read with (column)"},
      {73, "PickList", "EE", [](Machine& m, G& g) {
         const int32_t column = truncOperand(m);
         g.setPickList(column, stringOperand(m));
       }, "E", [](Machine& m, G& g, EvalStacks& s) { s.pushString(g.pickList(truncOperand(m))); },
       "column, the pick list's lines separated by line breaks; read with (column): that text"},
  };
  addCommonMembers(rows, CommonCodes{.left = 1, .top = 3, .width = 4, .height = 2, .parent = 5, .font = 36,
                                     .popupMenu = 37, .enabled = 7, .visible = 8, .showHint = 9, .hint = 10,
                                     .color = 71, .cursor = 6, .align = 0, .tabOrder = 25});
  addEventMembers(rows, EventCodes{.keyPress = 77, .keyDown = 76, .keyUp = 78, .selectCell = 55, .drawCell = 42, .setEditText = 56,
                                   .ellipsisClick = 74, .picklistDropdown = 75});
  addCanvasMembers(rows, CanvasCodes{.textOut = 43, .line = 44, .floodFill = 45, .circle = 46, .rectangle = 47,
                                     .pset = 48, .fillRect = 50, .draw = 51, .copyMode = 53, .copyRect = 54,
                                     .stretchDraw = 67, .textRect = 68, .textHeight = 69, .textWidth = 70});
  addFontMembers(rows, 200);
  return rows;
}

std::unique_ptr<Object> createStringGrid(Machine& m, int type, int32_t) { return std::make_unique<StringGrid>(m, type); }

}  // namespace

void registerStringGridType(TypeRegistry& registry) {
  static const std::vector<Member<StringGrid>> rows = stringGridRows();
  registry.add(describeType(kStringGridType, "stringgrid", rows, createStringGrid));
}

}  // namespace kestrel::objects
