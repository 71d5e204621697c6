// Masked and rich edits on a form with a main menu, offscreen: what the
// user types reaches the program through the objects, a menu item picked
// by its shortcut and through the menu formats the rich edit's selection,
// the formats show in the picture and survive saving as rich text, and the
// menu bar leaves the client area as it was.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTextEdit>

#include "gui_support.h"
#include "objects/controls/edit.h"
#include "objects/controls/rich_edit.h"
#include "objects/controls/rich_text_format.h"
#include "state/store_kinds.h"

using namespace kestrel;
using kestrel::guitest::Program;

namespace {

// Edit > Red bold (Ctrl+B) makes the rich edit's selection bold and red.
const char* kNotesForm = R"(
    goto main
.proc redbold
    set richedit:0.SelBold = 1
    set richedit:0.SelColor = 255
    let str:0 = str:0 + "picked;"
    endproc
.proc changed
    let int:0 = int:0 + 1
    endproc
main:
    dim form:0
    dim mainmenu:0
    dim menuitem:1
    dim richedit:0
    dim edit:0
    dim str:0
    dim int:3
    set form:0.Color = 16777215
    set form:0.ClientWidth = 300
    set form:0.ClientHeight = 200
    set edit:0.Parent = form:0
    set edit:0.Left = 10
    set edit:0.Top = 10
    set edit:0.Width = 120
    set edit:0.EditMask = "00/00/0000;1;_"
    set richedit:0.Parent = form:0
    set richedit:0.Left = 10
    set richedit:0.Top = 40
    set richedit:0.Width = 280
    set richedit:0.Height = 150
    set richedit:0.FontSize = 20
    set richedit:0.OnChange = changed
    let int:1 = form:0.ClientHeight
    set mainmenu:0.Form = form:0
    let int:2 = form:0.ClientHeight
    let int:3 = richedit:0.Top
    set menuitem:0.Caption = "&Edit"
    set menuitem:1.Caption = "&Red bold"
    set menuitem:1.ShortCut = "Ctrl+B"
    set menuitem:1.OnClick = redbold
    set menuitem:0.AddItems = menuitem:1
    set mainmenu:0.AddItems = menuitem:0
    set form:0.Show
)";

template <class T>
T& object(Program& p, int type, int index) {
  return objects::world(p.machine()).as<T>(type, index);
}

void activate(QWidget* form) {
  form->window()->activateWindow();
  QApplication::setActiveWindow(form->window());
  guitest::settle();
}

// How many pixels of a rectangle of the picture are mostly red.
int redPixels(const QImage& image, QRect area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 150 && c.green() < 100 && c.blue() < 100) ++n;
    }
  return n;
}

}  // namespace

TEST(Edits, TypingShortcutsAndTheMenuOnOneForm) {
  Program p(kNotesForm);
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.integer(2), p.integer(1));  // the bar takes no room from the client area
  EXPECT_EQ(p.integer(3), 40);
  QWidget* client = p.form(0);
  activate(client);
  auto* line = client->findChild<QLineEdit*>();
  auto* rich = client->findChild<QTextEdit*>();
  ASSERT_NE(line, nullptr);
  ASSERT_NE(rich, nullptr);
  auto& edit = object<objects::Edit>(p, objects::kEditType, 0);
  auto& richEdit = object<objects::RichEdit>(p, objects::kRichEditType, 0);

  // The masked edit takes digits only, in their places.
  line->setFocus();
  line->setCursorPosition(0);
  QTest::keyClicks(line, "24x121999");
  EXPECT_EQ(edit.caption().str(), "24/12/1999");
  EXPECT_EQ(edit.modified(), 1);

  // The rich edit: typed lines, read back as lines with CR LF between.
  rich->setFocus();
  QTest::keyClicks(rich, "Hello");
  QTest::keyClick(rich, Qt::Key_Return);
  QTest::keyClicks(rich, "world");
  EXPECT_EQ(richEdit.caption().str(), "Hello\r\nworld");
  EXPECT_EQ(richEdit.lineCount(), 2);
  EXPECT_EQ(richEdit.selStart(), 12);
  EXPECT_EQ(richEdit.caretLine(), 1);
  EXPECT_EQ(richEdit.caretColumn(), 5);
  EXPECT_GE(p.integer(0), 11);
  EXPECT_EQ(richEdit.modified(), 1);

  // Selected with the keyboard, formatted through the shortcut.
  QTest::keyClick(rich, Qt::Key_Home, Qt::ShiftModifier);
  EXPECT_EQ(richEdit.selText().str(), "world");
  QTest::keyClick(rich, Qt::Key_B, Qt::ControlModifier);
  EXPECT_EQ(p.text(0), "picked;");
  EXPECT_EQ(richEdit.selectionFormat().styles & gui::kBold, gui::kBold);
  EXPECT_EQ(richEdit.selectionFormat().color, 255);

  // Through the menu, on the first line.
  rich->setFocus();
  QTest::keyClick(rich, Qt::Key_Up);
  QTest::keyClick(rich, Qt::Key_Home);
  QTest::keyClick(rich, Qt::Key_Right);
  QTest::keyClick(rich, Qt::Key_End, Qt::ShiftModifier);
  EXPECT_EQ(richEdit.selText().str(), "ello");
  QMenuBar* bar = client->window()->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  QAction* title = bar->actions().at(0);
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(title).center());
  guitest::settle();
  QMenu* menu = title->menu();
  ASSERT_TRUE(menu != nullptr && menu->isVisible());
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions().at(0)).center());
  guitest::settle();
  EXPECT_EQ(p.text(0), "picked;picked;");

  // What the user typed and the program formatted: the red shows inside
  // the rich edit (below the bar), and nowhere in the masked edit.
  const QImage shot = client->window()->grab().toImage();
  const int barHeight = bar->height();
  EXPECT_GT(redPixels(shot, QRect(12, barHeight + 42, 276, 146)), 20);
  EXPECT_EQ(redPixels(shot, QRect(10, barHeight + 10, 120, 20)), 0);

  // Saved as rich text and read back: the same lines, bold and colours.
  const std::string rtf = richEdit.save();
  const gui::RichText back = objects::readRichText(rtf, gui::FontDesc{});
  EXPECT_EQ(back.text(), "Hello\r\nworld");
  EXPECT_EQ(back.formatAt(0, {}).styles & gui::kBold, 0);
  EXPECT_EQ(back.formatAt(1, {}).styles & gui::kBold, gui::kBold);
  EXPECT_EQ(back.formatAt(8, {}).color, 255);
  EXPECT_EQ(back.formatAt(8, {}).size, 20);
}

// What the program sets shows at once; loading rich text replaces the
// widget's document with the formats of the file.
TEST(Edits, ProgramChangesShowInTheWidget) {
  Program p(R"(
    dim form:0
    dim richedit:0
    set richedit:0.Parent = form:0
    set richedit:0.AddLines = "one", "two"
    set richedit:0.Line = 0, "ONE"
    set richedit:0.SelStart = 5
    set richedit:0.SelLength = 3
    set richedit:0.SelItalic = 1
    set richedit:0.Alignment = 1
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  auto* rich = p.form(0)->findChild<QTextEdit*>();
  ASSERT_NE(rich, nullptr);
  EXPECT_EQ(rich->toPlainText(), "ONE\ntwo");
  const QTextCursor c = rich->textCursor();
  EXPECT_EQ(c.selectionStart(), 4);
  EXPECT_EQ(c.selectionEnd(), 7);
  EXPECT_TRUE(c.charFormat().fontItalic());
  EXPECT_EQ(c.blockFormat().alignment() & Qt::AlignRight, Qt::AlignRight);

  auto& richEdit = object<objects::RichEdit>(p, objects::kRichEditType, 0);
  richEdit.load("{\\rtf1{\\colortbl;\\red0\\green128\\blue0;}\\b bold\\b0\\cf1  green\\par}");
  guitest::settle();
  EXPECT_EQ(rich->toPlainText(), "bold green");
  QTextCursor at(rich->document());
  at.setPosition(2);
  EXPECT_EQ(at.charFormat().fontWeight(), QFont::Bold);
  at.setPosition(8);
  EXPECT_EQ(at.charFormat().foreground().color(), QColor(0, 128, 0));
}
