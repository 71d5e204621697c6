// The records example as a person would use it, on a copy of its data
// file: the Work category is picked in the tree, its second record in the
// list, the record's notes are edited in the grid and saved with a click.
// The file then holds the new notes in that record's line and every other
// line as it was, and the window is compared with the picture it should
// show (saved in the build folder, tests/screenshots).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "gui_support.h"
#include "objects/controls/string_grid.h"
#include "screenshots.h"

using namespace kestrel;
using kestrel::guitest::Program;

namespace {

constexpr int kTreeViewType = 83;
constexpr int kListViewType = 58;

QTreeView* treeIn(QWidget* w) {
  if (w == nullptr) return nullptr;
  if (auto* view = qobject_cast<QTreeView*>(w)) return view;
  for (QTreeView* view : w->findChildren<QTreeView*>())
    if (view->isVisible()) return view;
  return nullptr;
}

void clickRow(QTreeView* view, const QModelIndex& index) {
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
  guitest::settle();
}

QByteArray fileText(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Closes whatever a step that went wrong left open, so the run ends.
void closeEveryWindow() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (!w->isVisible()) continue;
    if (auto* dialog = qobject_cast<QDialog*>(w)) dialog->reject();
    else w->close();
  }
}

// The person's steps; returns the first that could not be taken ("" when
// every one was).
std::string pickEditAndSave(Program& p) {
  guitest::settle();
  QTreeView* tree = treeIn(p.widget(kTreeViewType, 0));
  QTreeView* list = treeIn(p.widget(kListViewType, 0));
  if (tree == nullptr || list == nullptr) return "no tree or list";
  const QModelIndexList work =
      tree->model()->match(tree->model()->index(0, 0), Qt::DisplayRole, "Work", 1, Qt::MatchRecursive);
  if (work.size() != 1) return "no Work category";
  clickRow(tree, work.front());
  if (list->model()->rowCount() != 3) return "Work does not list Carla, Dmitri and Edith";
  clickRow(list, list->model()->index(1, 0));
  auto& g = objects::world(p.machine()).as<objects::StringGrid>(objects::kStringGridType, 0);
  if (g.cell(1, 2).str() != "Dmitri") return "the grid does not show Dmitri";
  if (g.cell(1, 4).str() != "night shift") return "the grid does not show Dmitri's notes";
  QWidget* grid = p.widget(objects::kStringGridType, 0);
  QTest::mouseClick(grid->findChild<QWidget*>("qt_scrollarea_viewport"), Qt::LeftButton, {},
                    QPoint(100, 4 * 21 + 10));
  if (g.col() != 1 || g.row() != 4) return "a click does not pick the notes cell";
  QTest::keyClick(grid, Qt::Key_F2);
  auto* editor = grid->findChild<QLineEdit*>();
  if (editor == nullptr || !editor->isVisible()) return "F2 opens no editor";
  editor->selectAll();
  QTest::keyClicks(editor, "day shift");
  QTest::keyClick(editor, Qt::Key_Return);
  guitest::settle();
  if (g.editorMode()) return "Enter leaves the editor open";
  QAbstractButton* save = nullptr;
  for (QAbstractButton* button : p.form(0)->findChildren<QAbstractButton*>())
    if (button->text() == "Save") save = button;
  if (save == nullptr) return "no Save button";
  QTest::mouseClick(save, Qt::LeftButton);
  guitest::settle();
  return "";
}

}  // namespace

TEST(Examples, RecordsEditsARecordAndSavesIt) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString data = folder.filePath("records.txt");
  ASSERT_TRUE(QFile::copy(QString::fromStdString(std::string(KESTREL_EXAMPLES) + "/records.txt"), data));
  QFile::setPermissions(data, QFile::ReadOwner | QFile::WriteOwner);
  const QByteArray before = fileText(data);
  MachineOptions options;
  options.arguments = {data.toStdString()};
  Program p(guitest::exampleSource("records.kasm"), options);
  QImage shot;
  std::string failed = "the steps did not run";
  QTimer::singleShot(20, [&] {
    failed = pickEditAndSave(p);
    shot = p.grab(0);
    p.form(0)->close();
  });
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [] { closeEveryWindow(); });
  guard.start(20000);
  ASSERT_EQ(p.run(), "");
  ASSERT_EQ(failed, "");
  QByteArray expected = before;
  expected.replace("Dmitri;555-0202;night shift;", "Dmitri;555-0202;day shift;");
  EXPECT_EQ(fileText(data), expected);
  ASSERT_FALSE(shot.isNull());
  guitest::saveScreenshot(shot, "records");
  const guitest::Comparison whole = guitest::compareWithExpected(shot, "records");
  EXPECT_TRUE(whole.sameSize) << whole.report;
  EXPECT_LE(whole.mismatchFraction, 0.01) << whole.report;
}
