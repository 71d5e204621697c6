// The records example as a person would use it, on a copy of its data
// file: the Work category is picked in the tree, its second record in the
// list, the record's notes are edited in the grid and saved. The file
// then holds the new notes in that record's line and every other line as
// it was, and the window is compared with the picture it should show
// (saved in the build folder, tests/screenshots).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
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

}  // namespace

TEST(RecordsExample, PickEditAndSave) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString data = folder.filePath("records.txt");
  ASSERT_TRUE(QFile::copy(QString::fromStdString(std::string(KESTREL_EXAMPLES) + "/records.txt"), data));
  const QByteArray before = fileText(data);
  MachineOptions options;
  options.arguments = {data.toStdString()};
  Program p(guitest::exampleSource("records.kasm"), options);
  QImage shot;
  QTimer::singleShot(20, [&] {
    guitest::settle();
    QTreeView* tree = treeIn(p.widget(kTreeViewType, 0));
    QTreeView* list = treeIn(p.widget(kListViewType, 0));
    ASSERT_NE(tree, nullptr);
    ASSERT_NE(list, nullptr);
    const QModelIndexList work =
        tree->model()->match(tree->model()->index(0, 0), Qt::DisplayRole, "Work", 1, Qt::MatchRecursive);
    ASSERT_EQ(work.size(), 1);
    clickRow(tree, work.front());
    EXPECT_EQ(list->model()->rowCount(), 3) << "Carla, Dmitri and Edith";
    clickRow(list, list->model()->index(1, 0));
    QWidget* grid = p.widget(objects::kStringGridType, 0);
    auto& g = objects::world(p.machine()).as<objects::StringGrid>(objects::kStringGridType, 0);
    EXPECT_EQ(g.cell(1, 2).str(), "Dmitri");
    g.moveTo(1, 4);
    QTest::keyClick(grid, Qt::Key_F2);
    QLineEdit* editor = grid->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "day shift");
    QTest::keyClick(editor, Qt::Key_Return);
    guitest::settle();
    for (QAbstractButton* button : p.form(0)->findChildren<QAbstractButton*>())
      if (button->text() == "Save") button->click();
    guitest::settle();
    shot = p.grab(0);
    p.form(0)->close();
  });
  ASSERT_EQ(p.run(), "");
  QByteArray expected = before;
  expected.replace("Dmitri;555-0202;night shift;", "Dmitri;555-0202;day shift;");
  EXPECT_EQ(fileText(data), expected);
  ASSERT_FALSE(shot.isNull());
  guitest::saveScreenshot(shot, "records");
  const guitest::Comparison whole = guitest::compareWithExpected(shot, "records");
  EXPECT_TRUE(whole.sameSize) << whole.report;
  EXPECT_LE(whole.mismatchFraction, 0.01) << whole.report;
}
