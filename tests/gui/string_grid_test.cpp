// String grids on Qt, offscreen: the cells, the fixed cells and the lines
// between them land on exact pixels, a cell the program draws shows what it
// drew, a click moves the current cell only where OnSelectCell allows, and
// the in-place editor writes the cell and reports each change.
#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "gui_support.h"
#include "objects/controls/string_grid.h"

using namespace kestrel;
using kestrel::guitest::Program;

namespace {

objects::StringGrid& gridOf(Program& p) {
  return objects::world(p.machine()).as<objects::StringGrid>(objects::kStringGridType, 0);
}

QLineEdit* openEditor(QWidget* grid) {
  for (QLineEdit* editor : grid->findChildren<QLineEdit*>())
    if (editor->isVisible()) return editor;
  return nullptr;
}

}  // namespace

TEST(StringGridView, PixelsClicksAndEditing) {
  Program p(R"(
    dim form:0
    dim stringgrid:0
    dim rect:51
    dim int:2
    dim str:2
    goto main
.proc selecting
    ifnot arg.double:1 = 3 goto allow
    let arg.double:2 = 0
allow:
    endproc
.proc drawing
    ifnot arg.double:0 = 3 goto done
    ifnot arg.double:1 = 3 goto done
    set stringgrid:0.FillRect = rect:50.Left, rect:50.Top, rect:50.Right, rect:50.Bottom, 255
done:
    endproc
.proc edited
    let str:0 = str:0 + str(arg.double:0) + "," + str(arg.double:1) + "=" + arg.str:2 + " "
    endproc
main:
    set form:0.ClientWidth = 300
    set form:0.ClientHeight = 200
    set stringgrid:0.Parent = form:0
    set stringgrid:0.Width = 300
    set stringgrid:0.Height = 200
    set stringgrid:0.DefaultColWidth = 50
    set stringgrid:0.DefaultRowHeight = 20
    set stringgrid:0.GridLineWidth = 2
    set stringgrid:0.FixedColor = 65280
    set stringgrid:0.Color = 16777215
    set stringgrid:0.AddOptions = 10
    set stringgrid:0.Cells = 1, 0, "Name"
    set stringgrid:0.OnSelectCell = selecting
    set stringgrid:0.OnDrawCell = drawing
    set stringgrid:0.OnSetEditText = edited
    let int:0 = form:0.ShowModal
)");
  QImage shot;
  QPoint viewportAt;
  bool openedByF2 = false, openAfterEnter = true;
  QTimer::singleShot(20, [&] {
    guitest::settle();
    auto* area = qobject_cast<QAbstractScrollArea*>(p.widget(objects::kStringGridType, 0));
    ASSERT_NE(area, nullptr);
    viewportAt = area->viewport()->pos();
    shot = area->grab().toImage();
    QWidget* viewport = area->viewport();
    // Row 3 is refused; row 2 is taken.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(2 * 52 + 10, 3 * 22 + 10));
    guitest::settle();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(2 * 52 + 10, 2 * 22 + 10));
    guitest::settle();
    QTest::keyClick(area, Qt::Key_F2);
    if (QLineEdit* editor = openEditor(area)) {
      openedByF2 = true;
      editor->selectAll();
      QTest::keyClicks(editor, "ab");
      QTest::keyClick(editor, Qt::Key_Return);
    }
    guitest::settle();
    // Enter closes the editor for good: it does not reach the grid, where
    // it would open the editor again.
    openAfterEnter = openEditor(area) != nullptr || gridOf(p).editorMode();
    p.form(0)->close();
  });
  ASSERT_EQ(p.run(), "");
  ASSERT_FALSE(shot.isNull());
  auto at = [&](int x, int y) { return Program::bgr(shot, viewportAt.x() + x, viewportAt.y() + y); };
  EXPECT_EQ(at(0, 0), 0x00FF00u) << "a fixed cell";
  EXPECT_EQ(at(49, 19), 0x00FF00u) << "the fixed cell's last pixel";
  EXPECT_EQ(at(50, 5), 0x808080u) << "the line right of a fixed cell, two pixels wide";
  EXPECT_EQ(at(51, 5), 0x808080u);
  EXPECT_EQ(at(52, 5), 0x00FF00u) << "the next fixed cell";
  EXPECT_EQ(at(2 * 52 + 5, 2 * 22 + 5), 0xFFFFFFu) << "a plain cell";
  EXPECT_EQ(at(2 * 52 + 5, 2 * 22 + 20), 0xC0C0C0u) << "the line below a plain cell";
  EXPECT_NE(at(52 + 30, 22 + 5), 0xFFFFFFu) << "the current cell shows selected";
  EXPECT_EQ(at(3 * 52 + 5, 3 * 22 + 5), 0x0000FFu) << "the cell the program drew";
  EXPECT_EQ(at(3 * 52 + 5, 4 * 22 + 5), 0xFFFFFFu) << "its drawing stays inside it";
  objects::StringGrid& g = gridOf(p);
  EXPECT_EQ(g.col(), 2);
  EXPECT_EQ(g.row(), 2);
  EXPECT_EQ(g.cell(2, 2).str(), "ab");
  EXPECT_TRUE(openedByF2);
  EXPECT_FALSE(openAfterEnter);
  EXPECT_EQ(p.text(0), "2,2=a 2,2=ab ");
}
