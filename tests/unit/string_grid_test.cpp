// String grids on the null toolkit: the sparse cell store's row and column
// moves, checked edits that change nothing when an index fails, separated
// text in and out (an empty separator, short lines, growing rows, a long
// line from a stream, a last line without a line feed), the select-cell
// veto, and reads outside the grid that keep the expression in step.
#include <gtest/gtest.h>

#include <string>

#include "objects/controls/string_grid.h"
#include "unit_program.h"

using namespace kestrel;
using namespace kestrel::objects;

namespace {

struct GridProgram : testsupport::UnitProgram {
  using UnitProgram::UnitProgram;
  StringGrid& grid() { return world(m).as<StringGrid>(kStringGridType, 0); }
  // Every cell, rows separated by "/", cells by ",".
  std::string cells() {
    std::string out;
    for (int32_t r = 0; r < grid().rowCount(); ++r) {
      if (r) out += "/";
      for (int32_t c = 0; c < grid().colCount(); ++c) out += (c ? "," : "") + grid().cell(c, r).str();
    }
    return out;
  }
};

// A 3 x 3 grid holding its coordinates: "c r".
const char* const kNineCells = R"(
    dim stringgrid:0
    dim str:2
    dim int:4
    goto main
main:
    set stringgrid:0.ColCount = 3
    set stringgrid:0.RowCount = 3
    let int:0 = 0
rows:
    let int:1 = 0
cols:
    set stringgrid:0.Cells = int:1, int:0, str(int:1) + str(int:0)
    let int:1 = int:1 + 1
    ifnot int:1 = 3 goto cols
    let int:0 = int:0 + 1
    ifnot int:0 = 3 goto rows
)";

}  // namespace

TEST(GridCells, RowAndColumnMovesKeepOnlyFilledCells) {
  GridCells cells;
  cells.set(0, 0, Str("a"));
  cells.set(2, 1, Str("b"));
  cells.set(1, 3, Str("c"));
  cells.insertRow(1);
  EXPECT_EQ(cells.at(2, 2).str(), "b");
  EXPECT_EQ(cells.at(1, 4).str(), "c");
  cells.deleteColumn(1);
  EXPECT_EQ(cells.at(1, 2).str(), "b");
  EXPECT_EQ(cells.at(1, 4).str(), "");
  EXPECT_EQ(cells.stored(), 2u) << "the deleted column's cell and its empty row are gone";
  cells.swapRows(0, 2);
  EXPECT_EQ(cells.at(0, 2).str(), "a");
  EXPECT_EQ(cells.at(1, 0).str(), "b");
  cells.swapColumns(0, 5);
  EXPECT_EQ(cells.at(5, 2).str(), "a");
  cells.set(5, 2, Str());
  EXPECT_EQ(cells.stored(), 1u) << "an empty text removes the cell";
  cells.truncate(1, 10);
  EXPECT_EQ(cells.stored(), 0u);
}

TEST(StringGrids, RowAndColumnEdits) {
  GridProgram r(std::string(kNineCells) + R"(
    set stringgrid:0.InsertRow = 0
    let str:0 = stringgrid:0.Cells(0, 1)
    set stringgrid:0.DeleteRow = 2.9
    set stringgrid:0.SwapColumns = 0, 2
    set stringgrid:0.InsertColumn = 3
    set stringgrid:0.DeleteColumn = 1
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.text(0), "00") << "inserting row 0 moves every row down";
  EXPECT_EQ(r.cells(), ",,/20,00,/22,02,") << "2.9 is truncated to row 2";
}

// Each failing edit raises before the grid changes at all.
TEST(StringGrids, EditsWithABadIndexChangeNothing) {
  const char* const cases[] = {
      "    set stringgrid:0.DeleteRow = 3\n",      "    set stringgrid:0.DeleteRow = -1\n",
      "    set stringgrid:0.InsertRow = 4\n",      "    set stringgrid:0.InsertColumn = -1\n",
      "    set stringgrid:0.SwapRows = 0, 3\n",    "    set stringgrid:0.SwapColumns = -1, 1\n",
      "    set stringgrid:0.DeleteColumn = 3\n",   "    set stringgrid:0.Cells = 3, 0, \"x\"\n",
      "    set stringgrid:0.Col = 0\n",            "    set stringgrid:0.ColWidths = 7, 10\n",
  };
  for (const char* edit : cases) {
    GridProgram r(std::string(kNineCells) + edit);
    EXPECT_EQ(r.run(), "Grid index out of range") << edit;
    EXPECT_EQ(r.cells(), "00,10,20/01,11,21/02,12,22") << edit;
  }
}

TEST(StringGrids, ReadsOutsideTheGridKeepTheExpressionInStep) {
  GridProgram r(std::string(kNineCells) + R"(
    let str:0 = "<" + stringgrid:0.Cells(9, 0) + stringgrid:0.Cells(0, -1) + ">" + str(stringgrid:0.ColWidths(40) + 1)
    let str:1 = stringgrid:0.PickList(8) + str(stringgrid:0.ButtonStyle(8)) + str(stringgrid:0.RowHeights(-2))
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.text(0), "<>1");
  EXPECT_EQ(r.text(1), "00");
}

TEST(StringGrids, SavesEachCellFollowedByTheSeparator) {
  StringGrid* g = nullptr;
  GridProgram r(std::string(kNineCells) + "    set stringgrid:0.Separator = \",\"\n");
  ASSERT_EQ(r.run(), "");
  g = &r.grid();
  EXPECT_EQ(g->savedText(0, 1, 0), "00,10,20,\r\n01,11,21,\r\n");
  EXPECT_EQ(g->savedText(1, 99, 2), "21,\r\n22,\r\n") << "stops before RowCount";
  EXPECT_THROW(g->savedText(-1, 1, 0), RuntimeError);
  EXPECT_THROW(g->savedText(0, 1, -1), RuntimeError);
}

TEST(StringGrids, LoadsSeparatedText) {
  GridProgram r(std::string(kNineCells) + "    set stringgrid:0.Separator = \";;\"\n");
  ASSERT_EQ(r.run(), "");
  StringGrid& g = r.grid();
  auto from = [](std::vector<std::string> lines) {
    return [lines, i = size_t{0}](std::string& line) mutable {
      if (i == lines.size()) return false;
      line = lines[i++];
      return true;
    };
  };
  // Text after the last column's separator is dropped; a short line
  // leaves the rest of its row as it was; lines past
  // RowCount add rows, up to the last row asked for.
  g.loadText(from({"a;;b;;c;;d", "e", "f;;", "g", "h", "i"}), 1, 4, 0);
  EXPECT_EQ(r.cells(), "00,10,20/a,b,c/e,12,22/f,,/g,,");
  // An empty separator is never found: each line is one cell.
  g.separator = Str();
  g.loadText(from({"x;;y"}), 0, 0, 1);
  EXPECT_EQ(g.cell(1, 0).str(), "x;;y");
  EXPECT_EQ(g.cell(2, 0).str(), "20");
}

// A line longer than the pieces the stream is read in; a CR LF pair; the
// last line without a line feed; the stream left after what was read.
TEST(StringGrids, LoadsWholeLinesFromAStream) {
  const std::string longField(1000, ' ');
  GridProgram r(R"(
    dim stringgrid:0
    dim memstream:0
    dim str:2
    goto main
main:
    set stringgrid:0.Separator = ","
    let str:1 = space(1000) + ",a," + chr(13) + chr(10) + "b,c" + chr(10) + "d"
    set memstream:0.WriteString = str:1, len(str:1)
    set memstream:0.Position = 0
    set stringgrid:0.LoadFromStream = memstream:0, 1, 1, 1
    let str:1 = str(memstream:0.Position)
    set stringgrid:0.LoadFromStream = memstream:0, 2, 9, 0
    let str:0 = str(stringgrid:0.RowCount)
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.grid().cell(1, 1).str(), longField);
  EXPECT_EQ(r.grid().cell(2, 1).str(), "a");
  EXPECT_EQ(r.text(1), "1005") << "just after the first line feed";
  EXPECT_EQ(r.grid().cell(0, 2).str(), "b");
  EXPECT_EQ(r.grid().cell(0, 3).str(), "d") << "the last line ends at the end of the stream";
  EXPECT_EQ(r.text(0), "5");
}

// The handler sees the cell asked for and keeps the current one by
// clearing its can-select flag; the user's moves ask it too.
TEST(StringGrids, SelectCellVetoesTheMove) {
  GridProgram r(R"(
    dim stringgrid:0
    dim str:2
    goto main
.proc selecting
    let str:0 = str:0 + str(arg.double:0) + "," + str(arg.double:1) + " "
    ifnot arg.double:1 = 3 goto allow
    let arg.double:2 = 0
allow:
    endproc
main:
    set stringgrid:0.OnSelectCell = selecting
    set stringgrid:0.Col = 2
    set stringgrid:0.Row = 3
    let str:1 = str(stringgrid:0.Col) + "," + str(stringgrid:0.Row)
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.text(0), "2,1 2,3 ");
  EXPECT_EQ(r.text(1), "2,1");
  StringGrid& g = r.grid();
  g.userMoved(0, 1, false, false);
  EXPECT_EQ(g.row(), 2);
  g.userMoved(0, 1, false, false);
  EXPECT_EQ(g.row(), 2) << "row 3 is refused";
  g.userMoved(1, 0, false, true);
  EXPECT_EQ(g.col(), 4);
}

TEST(StringGrids, CountsKeepFixedPartsAndTheCurrentCellInside) {
  GridProgram r(R"(
    dim stringgrid:0
    dim str:2
    goto main
main:
    set stringgrid:0.ColCount = 0
    let str:0 = str(stringgrid:0.ColCount) + " " + str(stringgrid:0.FixedCols) + " " + str(stringgrid:0.Col)
    set stringgrid:0.FixedRows = 5
)");
  EXPECT_EQ(r.run(), "Fixed row count must be less than row count");
  EXPECT_EQ(r.text(0), "1 0 0");
}

TEST(StringGrids, ExtentsAndVisibleCounts) {
  GridProgram r(R"(
    dim stringgrid:0
    goto main
main:
    set stringgrid:0.Width = 200
    set stringgrid:0.Height = 100
    set stringgrid:0.DefaultColWidth = 40
    set stringgrid:0.DefaultRowHeight = 20
    set stringgrid:0.GridLineWidth = 2
    set stringgrid:0.ColWidths = 2, -1
)");
  ASSERT_EQ(r.run(), "");
  StringGrid& g = r.grid();
  EXPECT_EQ(g.gridWidth(), 4 * 42) << "the hidden column takes nothing";
  EXPECT_EQ(g.gridHeight(), 5 * 22);
  EXPECT_EQ(g.visibleColCount(), 3) << "columns 1, 3 and 4 after the fixed one";
  EXPECT_EQ(g.visibleRowCount(), 3);
  EXPECT_EQ(g.cellRect(3, 1), gui::Rect::fromSize(84, 22, 40, 20));
}
