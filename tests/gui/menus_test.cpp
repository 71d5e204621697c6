// Menus on the offscreen platform: the bar sits above the client area
// (which keeps its size and its children's places), items are picked
// with the mouse and by their shortcuts, check marks stay as the program
// set them, and popup menus run the picked item's handler before Popup
// returns.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include "gui_support.h"
#include "objects/controls/menus.h"
#include "state/store_kinds.h"

using namespace kestrel;
using kestrel::guitest::Program;

namespace {

const char* kMenuProgram = R"(
    goto main
.proc picked
    let str:0 = str:0 + arg.menuitem:0.Caption + ";"
    endproc
main:
    dim form:0
    dim panel:0
    dim mainmenu:0
    dim menuitem:5
    dim str:0
    dim int:3
    set form:0.Color = 16777215
    set form:0.ClientWidth = 240
    set form:0.ClientHeight = 120
    set panel:0.Parent = form:0
    set panel:0.Left = 10
    set panel:0.Top = 10
    set panel:0.Color = 255
    let int:0 = form:0.Height
    set mainmenu:0.Form = form:0
    let int:1 = form:0.Height
    let int:2 = form:0.ClientHeight
    let int:3 = panel:0.Top
    set menuitem:0.Caption = "&File"
    set menuitem:1.Caption = "&Save"
    set menuitem:1.ShortCut = "Ctrl+S"
    set menuitem:2.Caption = "-"
    set menuitem:3.Caption = "&Bold"
    set menuitem:3.Checked = 1
    set menuitem:1.OnClick = picked
    set menuitem:3.OnClick = picked
    set menuitem:0.AddItems = menuitem:1, menuitem:2, menuitem:3
    set mainmenu:0.AddItems = menuitem:0
    set form:0.Show
)";

QMenuBar* barOf(QWidget* form) { return form->window()->findChild<QMenuBar*>(); }

void activate(QWidget* form) {
  form->window()->activateWindow();
  QApplication::setActiveWindow(form->window());
  guitest::settle();
}

QMenu* openMenu(QMenuBar* bar, int index) {
  QAction* title = bar->actions().at(index);
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(title).center());
  guitest::settle();
  return title->menu();
}

}  // namespace

TEST(Menus, TheBarLiesAboveTheClientArea) {
  Program p(kMenuProgram);
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.integer(1), p.integer(0) + 20);  // the window grows by the bar
  EXPECT_EQ(p.integer(2), 120);
  EXPECT_EQ(p.integer(3), 10);
  QWidget* client = p.form(0);
  EXPECT_EQ(client->size(), QSize(240, 120));
  QWidget* window = client->window();
  ASSERT_NE(window, client);
  EXPECT_EQ(window->size(), QSize(240, 140));
  guitest::settle();
  const QImage shot = window->grab().toImage();
  // The panel's red is 10 pixels below the bar, white around it.
  EXPECT_EQ(Program::bgr(shot, 15, 20 + 15), 0x0000FFu);
  EXPECT_EQ(Program::bgr(shot, 5, 20 + 5), 0xFFFFFFu);
  EXPECT_EQ(Program::bgr(shot, 15, 20 + 9), 0xFFFFFFu);
  // The bar is in the top 20 rows, with its caption drawn.
  QMenuBar* bar = barOf(client);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->geometry(), QRect(0, 0, 240, 20));
  EXPECT_EQ(bar->actions().at(0)->text(), "&File");
}

TEST(Menus, PickedWithTheMouseAndTheShortcut) {
  Program p(kMenuProgram);
  ASSERT_EQ(p.run(), "");
  activate(p.form(0));
  QMenu* file = openMenu(barOf(p.form(0)), 0);
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(file->isVisible());
  ASSERT_EQ(file->actions().size(), 3);
  EXPECT_TRUE(file->actions().at(1)->isSeparator());
  QTest::mouseClick(file, Qt::LeftButton, {}, file->actionGeometry(file->actions().at(0)).center());
  guitest::settle();
  EXPECT_EQ(p.text(0), "&Save;");
  // The shortcut, typed in the form.
  QTest::keyClick(p.form(0), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(p.text(0), "&Save;&Save;");
  // Picking a checked item leaves its check as the program has it.
  file = openMenu(barOf(p.form(0)), 0);
  QTest::mouseClick(file, Qt::LeftButton, {}, file->actionGeometry(file->actions().at(2)).center());
  guitest::settle();
  EXPECT_EQ(p.text(0), "&Save;&Save;&Bold;");
  EXPECT_TRUE(file->actions().at(2)->isChecked());
  auto& bold = objects::world(p.machine()).as<objects::MenuItem>(objects::kMenuItemType, 3);
  EXPECT_EQ(bold.checked(), 1);
}

// A disabled item's shortcut does nothing; an unknown shortcut text none.
TEST(Menus, DisabledItemsAndUnknownShortcuts) {
  Program p(std::string(kMenuProgram) + R"(
    set menuitem:1.Enabled = 0
    set menuitem:3.ShortCut = "Ctrl+Nothing"
)");
  ASSERT_EQ(p.run(), "");
  activate(p.form(0));
  QTest::keyClick(p.form(0), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(p.text(0), "");
  QMenu* file = barOf(p.form(0))->actions().at(0)->menu();
  EXPECT_TRUE(file->actions().at(2)->shortcut().isEmpty());
}

// Popup runs the picked item's handler before the statement after it.
TEST(Menus, PopupRunsTheHandlerBeforeItReturns) {
  Program p(R"(
    goto main
.proc picked
    let str:0 = str:0 + "picked " + arg.menuitem:0.Caption + ";"
    endproc
main:
    dim popupmenu:0
    dim menuitem:1
    dim str:0
    set menuitem:0.Caption = "One"
    set menuitem:1.Caption = "Two"
    set menuitem:1.OnClick = picked
    set popupmenu:0.AddItems = menuitem:0, menuitem:1
    set popupmenu:0.Alignment = 1
    set popupmenu:0.Popup = 300, 200
    let str:0 = str:0 + "after"
)");
  QRect shownAt;
  QTimer::singleShot(30, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    shownAt = menu->geometry();
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions().at(1)).center());
  });
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.text(0), "picked Two;after");
  EXPECT_EQ(shownAt.right() + 1, 300);  // alignment 1: the point is the right edge
  EXPECT_EQ(shownAt.top(), 200);
}

// A right click on a control that names a popup menu shows it.
TEST(Menus, RightClickShowsTheControlsPopupMenu) {
  Program p(R"(
    dim form:0
    dim popupmenu:0
    dim menuitem:0
    set menuitem:0.Caption = "Only"
    set popupmenu:0.AddItems = menuitem:0
    set form:0.PopupMenu = popupmenu:0
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  bool shown = false;
  QTimer::singleShot(30, [&] {
    QWidget* menu = QApplication::activePopupWidget();
    shown = menu != nullptr;
    if (menu != nullptr) menu->close();
  });
  QTest::mouseClick(p.form(0), Qt::RightButton, {}, QPoint(10, 10));
  EXPECT_TRUE(shown);
}
