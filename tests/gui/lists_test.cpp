// List boxes, combo boxes and directory trees on Qt: owner-drawn items
// painted clipped to their rectangles, measured once each, changed from
// inside the draw handler; clicks, keys and double clicks on a list; the
// user's picking and typing in a combo box; a tree the user opens, and
// FullExpand over a symbolic-link loop.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "gui_support.h"
#include "objects/controls/combo_box.h"
#include "objects/controls/dir_tree.h"
#include "objects/controls/list_box.h"
#include "screenshots.h"
#include "toolkit/qt/qt_widget_peer.h"

using namespace kestrel;
using kestrel::guitest::Program;
namespace fs = std::filesystem;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kBlue = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;

template <class W>
W* widgetOf(Program& p, int type, int index) {
  auto& c = dynamic_cast<objects::Control&>(objects::world(p.machine()).at(type, index));
  auto* holder = dynamic_cast<qt::QtWidgetHolder*>(&c.peer());
  return holder != nullptr ? dynamic_cast<W*>(holder->heldWidget()) : nullptr;
}

// Where the list's client area (its viewport) starts in the form's picture.
QPoint clientOrigin(Program& p, QAbstractScrollArea* list) { return list->viewport()->mapTo(p.form(0), QPoint(0, 0)); }

// Items of one height: each handler fills far more than its item, and only
// its item changes; a selected item gets 0 and paints green.
const char* const kOwnerDrawn = R"(
    dim form:0
    dim listbox:0
    dim int:3
    goto main
.proc draw
    let int:0 = int:0 + 1
    let int:1 = 255
    ifnot arg.double:0 / 2 = int(arg.double:0 / 2) goto odd
    let int:1 = 16711680
odd:
    ifnot arg.double:1 = 0 goto plain
    let int:1 = 65280
plain:
    set arg.listbox:3.FillRect = -500, -500, 1000, 1000, int:1
    set arg.listbox:3.Line = 0, arg.rect:2.Top, 1000, arg.rect:2.Top, 0
    endproc
main:
    set form:0.Color = 16777215
    set form:0.ClientWidth = 200
    set form:0.ClientHeight = 200
    set listbox:0.Parent = form:0
    set listbox:0.Left = 10
    set listbox:0.Top = 10
    set listbox:0.Width = 150
    set listbox:0.Height = 150
    set listbox:0.Color = 16777215
    set listbox:0.Style = 1
    set listbox:0.ItemHeight = 20
    set listbox:0.OnDrawItem = draw
    set listbox:0.AddItems = "a", "b", "c", "d"
    set listbox:0.ItemIndex = 2
    set form:0.Show
)";

}  // namespace

TEST(ListOwnerDraw, EachItemPaintsOnlyItsOwnRectangle) {
  Program p(kOwnerDrawn);
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  auto* list = widgetOf<QListWidget>(p, objects::kListBoxType, 0);
  ASSERT_NE(list, nullptr);
  const QImage shot = p.grab(0);
  guitest::saveScreenshot(shot, "list-owner-draw");
  const QPoint o = clientOrigin(p, list);
  const uint32_t expected[] = {kBlue, kRed, kGreen, kRed};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(Program::bgr(shot, o.x() + 50, o.y() + 20 * i), 0u) << "the line at the item's top, item " << i;
    EXPECT_EQ(Program::bgr(shot, o.x() + 50, o.y() + 20 * i + 1), expected[i]) << "item " << i;
    EXPECT_EQ(Program::bgr(shot, o.x() + 50, o.y() + 20 * i + 19), expected[i]) << "item " << i;
  }
  EXPECT_EQ(Program::bgr(shot, o.x() + 50, o.y() + 85), kWhite) << "below the items nothing was painted";
  EXPECT_EQ(Program::bgr(shot, 5, 5), kWhite) << "nor outside the list";
  EXPECT_GE(p.integer(0), 4);
}

// Items of their own heights: measured once each, however often the list
// is laid out and painted.
TEST(ListOwnerDraw, VariableHeightsMeasuredOnce) {
  Program p(R"(
    dim form:0
    dim listbox:0
    dim int:3
    goto main
.proc measure
    let int:2 = int:2 + 1
    let arg.double:1 = 10 + 10 * arg.double:0
    endproc
.proc draw
    set listbox:0.FillRect = 0, arg.rect:2.Top, 1000, arg.rect:2.Bottom, 255 * 256 ^ arg.double:0
    endproc
main:
    set form:0.ClientWidth = 200
    set form:0.ClientHeight = 200
    set listbox:0.Parent = form:0
    set listbox:0.Width = 150
    set listbox:0.Height = 150
    set listbox:0.Style = 2
    set listbox:0.OnMeasureItem = measure
    set listbox:0.OnDrawItem = draw
    set listbox:0.AddItems = "a", "b", "c"
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  auto* list = widgetOf<QListWidget>(p, objects::kListBoxType, 0);
  QImage shot = p.grab(0);
  const QPoint o = clientOrigin(p, list);
  EXPECT_EQ(Program::bgr(shot, o.x() + 5, o.y() + 9), kRed);
  EXPECT_EQ(Program::bgr(shot, o.x() + 5, o.y() + 10), kGreen);
  EXPECT_EQ(Program::bgr(shot, o.x() + 5, o.y() + 29), kGreen);
  EXPECT_EQ(Program::bgr(shot, o.x() + 5, o.y() + 30), kBlue);
  EXPECT_EQ(Program::bgr(shot, o.x() + 5, o.y() + 59), kBlue);
  list->resize(120, 100);
  list->doItemsLayout();
  guitest::settle();
  shot = p.grab(0);
  EXPECT_EQ(p.integer(2), 3) << "three items, three measures";
}

// A draw handler that adds and deletes items: the list changes after the
// paint, nothing breaks, and the new items are painted in their turn.
TEST(ListOwnerDraw, ItemsChangedWhilePainting) {
  Program p(R"(
    dim form:0
    dim listbox:0
    dim int:3
    goto main
.proc draw
    let int:1 = int:1 + 1
    ifnot int:0 = 0 goto done
    let int:0 = 1
    set listbox:0.AddItems = "x", "y"
    set listbox:0.DeleteItems = 0
    set listbox:0.Item = 0, "B"
done:
    set listbox:0.TextOut = arg.rect:2.Left, arg.rect:2.Top, listbox:0.Item(arg.double:0), 0, -1
    endproc
main:
    set form:0.ClientWidth = 200
    set form:0.ClientHeight = 200
    set listbox:0.Parent = form:0
    set listbox:0.Style = 1
    set listbox:0.ItemHeight = 18
    set listbox:0.OnDrawItem = draw
    set listbox:0.AddItems = "a", "b"
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  p.grab(0);
  guitest::settle();
  p.grab(0);
  auto* list = widgetOf<QListWidget>(p, objects::kListBoxType, 0);
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->item(0)->text(), "B");
  EXPECT_EQ(list->item(2)->text(), "y");
  EXPECT_EQ(objects::world(p.machine()).as<objects::ListBox>(objects::kListBoxType, 0).itemCount(), 3);
}

// A click on an item and the keyboard's moves raise the click; a double
// click raises the double click.
TEST(ListEvents, ClicksKeysAndDoubleClicks) {
  Program p(R"(
    dim form:0
    dim listbox:0
    dim str:0
    goto main
.proc clicked
    let str:0 = str:0 + "c" + str(arg.listbox:0.ItemIndex)
    endproc
.proc doubled
    let str:0 = str:0 + "d" + arg.listbox:0.Item(arg.listbox:0.ItemIndex)
    endproc
main:
    set listbox:0.Parent = form:0
    set listbox:0.AddItems = "a", "b", "c"
    set listbox:0.OnClick = clicked
    set listbox:0.OnDblClick = doubled
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  auto* list = widgetOf<QListWidget>(p, objects::kListBoxType, 0);
  const QPoint second = list->visualItemRect(list->item(1)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
  QTest::keyClick(list, Qt::Key_Down);
  const QPoint first = list->visualItemRect(list->item(0)).center();
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                            QEvent::MouseButtonRelease}) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(first), list->viewport()->mapToGlobal(QPointF(first)), Qt::LeftButton, held, {});
    QApplication::sendEvent(list->viewport(), &e);
  }
  EXPECT_EQ(p.text(0), "c1c2c0da");
  EXPECT_EQ(objects::world(p.machine()).as<objects::ListBox>(objects::kListBoxType, 0).itemIndex(), 0);
  // The program's own changes raise nothing.
  p.machine().vars.stringAt(0) = Str("");
  objects::world(p.machine()).as<objects::ListBox>(objects::kListBoxType, 0).setItemIndex(2);
  EXPECT_EQ(list->currentRow(), 2);
  EXPECT_EQ(p.text(0), "");
}

TEST(ComboEvents, PickingAndTypingRaiseTheChange) {
  Program p(R"(
    dim form:0
    dim combobox:0
    dim str:0
    goto main
.proc changed
    let str:0 = str:0 + "[" + arg.combobox:0.Text + "]"
    endproc
main:
    set combobox:0.Parent = form:0
    set combobox:0.AddItems = "one", "two"
    set combobox:0.Text = "start"
    set combobox:0.OnChange = changed
    set combobox:0.MaxLength = 6
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  auto* combo = widgetOf<QComboBox>(p, objects::kComboBoxType, 0);
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->currentText(), "start") << "adding items left the text alone";
  combo->setCurrentIndex(1);
  emit combo->activated(1);
  QTest::keyClicks(combo->lineEdit(), "!!!!");
  EXPECT_EQ(p.text(0), "[two][two!][two!!][two!!!]") << "six characters at most";
  auto& c = objects::world(p.machine()).as<objects::ComboBox>(objects::kComboBoxType, 0);
  EXPECT_EQ(c.caption().str(), "two!!!");
  EXPECT_EQ(c.itemIndex(), 1);
  c.items().insert(0, Str("zero"));  // the program's change keeps what the user chose
  EXPECT_EQ(combo->currentText(), "two!!!");
  EXPECT_EQ(combo->currentIndex(), 2);
}

// The user opens the tree's nodes and picks one; FullExpand finishes over
// a loop of symbolic links (the tree is the machine's own, from /).
TEST(DirTreeEvents, UserOpensAndPicksAndFullExpandEnds) {
  std::string pattern = (fs::temp_directory_path() / "kestrel-tree-XXXXXX").string();
  const std::string folder = mkdtemp(pattern.data());
  fs::create_directories(folder + "/one/two");
  fs::create_directory_symlink("..", folder + "/one/loop");
  Program p(R"(
    dim form:0
    dim dirtree:0
    dim str:0
    goto main
.proc changed
    let str:0 = arg.dirtree:0.SelectedDirectory
    endproc
main:
    set dirtree:0.Parent = form:0
    set dirtree:0.Width = 300
    set dirtree:0.Height = 300
    set dirtree:0.OnChange = changed
    set dirtree:0.Directory = ")" + folder + R"("
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  auto* tree = widgetOf<QTreeWidget>(p, objects::kDirTreeType, 0);
  ASSERT_NE(tree, nullptr);
  QTreeWidgetItem* here = tree->currentItem();
  ASSERT_NE(here, nullptr);
  EXPECT_EQ(here->text(0).toStdString(), fs::path(folder).filename().string());
  here->setExpanded(true);
  ASSERT_EQ(here->childCount(), 1);
  QTreeWidgetItem* one = here->child(0);
  tree->setCurrentItem(one);
  EXPECT_EQ(p.text(0), folder + "/one");
  one->setExpanded(true);
  ASSERT_EQ(one->childCount(), 2);
  EXPECT_EQ(one->child(0)->text(0), "loop");

  auto& t = objects::world(p.machine()).as<objects::DirTree>(objects::kDirTreeType, 0);
  t.fullExpand();
  const objects::DirectoryModel& model = t.model();
  EXPECT_LE(model.size(), objects::kMaxExpandedNodes + 2000);
  EXPECT_FALSE(one->child(0)->isExpanded()) << "the link is not opened";
  EXPECT_EQ(one->child(0)->childCount(), 0);
  EXPECT_TRUE(one->child(1)->isExpanded());
  int shown = 0;
  for (QTreeWidgetItemIterator it(tree); *it != nullptr; ++it) ++shown;
  EXPECT_EQ(static_cast<size_t>(shown), model.size());
  t.fullCollapse();
  EXPECT_FALSE(tree->topLevelItem(0)->isExpanded());
  fs::remove_all(folder);
}
