// List views on Qt, offscreen: the report shows its columns and each
// item's picture from the image list, the icon styles show the large
// pictures in a list view, and what the user does (selecting, checking,
// editing a caption in place, clicking a column) reaches the program as
// its events, while a read-only view opens no editor.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "gui_support.h"
#include "objects/controls/list_view.h"
#include "screenshots.h"
#include "toolkit/qt/qt_widget_peer.h"

using namespace kestrel;
using kestrel::guitest::Program;

namespace {

constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kBlue = 0xFF0000;

objects::ListView& viewOf(Program& p) {
  return objects::world(p.machine()).as<objects::ListView>(objects::kListViewType, 0);
}

template <class View>
View* shownView(Program& p) {
  auto* holder = dynamic_cast<qt::QtWidgetHolder*>(&viewOf(p).peer());
  if (holder == nullptr) return nullptr;
  for (View* view : holder->heldWidget()->findChildren<View*>())
    if (view->isVisible()) return view;
  return nullptr;
}

// The box holding every pixel of one colour in the picture (empty: none).
QRect areaOf(const QImage& shot, uint32_t color) {
  QRect area;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x)
      if (Program::bgr(shot, x, y) == color) area = area.united(QRect(x, y, 1, 1));
  return area;
}

// The caption's editor, when one is open.
QLineEdit* openEditor(QAbstractItemView* view) {
  for (QLineEdit* editor : view->viewport()->findChildren<QLineEdit*>())
    if (editor->isVisible()) return editor;
  return nullptr;
}

void clickAt(QWidget* w, QPoint at) {
  QTest::mouseClick(w, Qt::LeftButton, {}, at);
  guitest::settle();
}

// A 32 x 16 bitmap, red on the left and blue on the right: two images.
const char* const kTwoImages = R"(
    set bitmap:0.Width = 32
    set bitmap:0.Height = 16
    set bitmap:0.FillRect = 0, 0, 16, 16, 255
    set bitmap:0.FillRect = 16, 0, 32, 16, 16711680
    set imagelist:0.AddBitmap = bitmap:0.Picture, 536870911
)";

}  // namespace

TEST(ListViewReport, PicturesColumnsAndWhatTheUserDoes) {
  Program p(std::string(R"(
    dim form:0
    dim imagelist:0
    dim listview:0
    dim bitmap:0
    dim int:2
    dim str:1
    goto main
.proc changed
    let str:0 = str:0 + str(arg.double:0) + ":" + str(arg.double:1) + " "
    endproc
.proc column
    let str:0 = str:0 + "column" + str(arg.double:0) + " "
    endproc
main:
)") + kTwoImages + R"(
    set form:0.ClientWidth = 300
    set form:0.ClientHeight = 200
    set listview:0.Parent = form:0
    set listview:0.Width = 300
    set listview:0.Height = 200
    set listview:0.ViewStyle = 3
    set listview:0.Checkboxes = 1
    set listview:0.SmallImages = imagelist:0
    set listview:0.AddColumns = "Name", "Size"
    set listview:0.AddItems = "alpha", "beta", "gamma"
    set listview:0.AddSubItem = 0, "12 KB"
    set listview:0.Items = 0, 1, 0
    set listview:0.Items = 1, 1, 1
    set listview:0.Columns = 0, 3, 120
    set listview:0.OnChange = changed
    set listview:0.OnColumnClick = column
    let int:0 = form:0.ShowModal
    let int:1 = listview:0.Selected
)");
  QImage shot;
  std::string editorWhileReadOnly = "not tried";
  QTimer::singleShot(20, [&] {
    guitest::settle();
    shot = p.grab(0);
    auto* view = shownView<QTreeView>(p);
    ASSERT_NE(view, nullptr) << "the report is a tree view";
    EXPECT_EQ(view->model()->rowCount(), 3);
    EXPECT_EQ(view->header()->sectionSize(0), 120);
    QAbstractItemModel* model = view->model();
    // Selecting the second row, checking the third, editing the first.
    clickAt(view->viewport(), view->visualRect(model->index(1, 1)).center());
    model->setData(model->index(2, 0), Qt::Checked, Qt::CheckStateRole);
    guitest::settle();
    view->setCurrentIndex(model->index(0, 0));
    QTest::keyClick(view, Qt::Key_F2);
    if (QLineEdit* editor = openEditor(view)) {
      editor->selectAll();
      QTest::keyClicks(editor, "omega");
      QTest::keyClick(editor, Qt::Key_Return);
    }
    guitest::settle();
    clickAt(view->header()->viewport(), QPoint(view->header()->sectionPosition(1) + 10, 5));
    // A read-only view opens no editor.
    viewOf(p).setReadOnly(1);
    view->setCurrentIndex(model->index(1, 0));
    QTest::keyClick(view, Qt::Key_F2);
    editorWhileReadOnly = openEditor(view) != nullptr ? "opened" : "kept closed";
    p.form(0)->close();
  });
  ASSERT_EQ(p.run(), "");
  // Moving the cursor selects too: the item left loses its selection first.
  EXPECT_EQ(p.text(0), "1:2 2:2 1:2 0:2 0:0 column1 0:2 1:2 ");
  EXPECT_EQ(p.integer(1), 1);
  EXPECT_EQ(viewOf(p).item(0).caption.str(), "omega");
  EXPECT_EQ(viewOf(p).itemStateIndex(2), 1);
  EXPECT_EQ(editorWhileReadOnly, "kept closed");

  ASSERT_FALSE(shot.isNull());
  guitest::saveScreenshot(shot, "list_view_report");
  // Item 0 shows image 0 (red), item 1 image 1 (blue) one row lower, both
  // 16 x 16 and right of the check boxes.
  const QRect red = areaOf(shot, kRed), blue = areaOf(shot, kBlue);
  EXPECT_EQ(red.size(), QSize(16, 16));
  EXPECT_EQ(blue.size(), QSize(16, 16));
  EXPECT_EQ(red.left(), blue.left());
  EXPECT_GT(blue.top(), red.bottom());
  EXPECT_GT(red.left(), 16) << "the check box comes first";
}

// The icon styles are a list view over the same items; the icon style shows
// the large images, the others the small ones.
TEST(ListViewIcons, LargeAndSmallPictures) {
  Program p(std::string(R"(
    dim form:0
    dim imagelist:0
    dim imagelist:1
    dim listview:0
    dim bitmap:0
    goto main
main:
)") + kTwoImages + R"(
    set imagelist:1.Width = 32
    set imagelist:1.Height = 32
    set bitmap:0.Width = 32
    set bitmap:0.Height = 32
    set bitmap:0.FillRect = 0, 0, 32, 32, 16711680
    set imagelist:1.AddBitmap = bitmap:0.Picture, 536870911
    set form:0.ClientWidth = 300
    set form:0.ClientHeight = 200
    set listview:0.Parent = form:0
    set listview:0.Width = 300
    set listview:0.Height = 200
    set listview:0.LargeImages = imagelist:1
    set listview:0.SmallImages = imagelist:0
    set listview:0.AddItems = "one", "two"
    set listview:0.Items = 0, 1, 0
    set listview:0.Items = 1, 1, 1
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  auto* icons = shownView<QListView>(p);
  ASSERT_NE(icons, nullptr);
  EXPECT_EQ(icons->viewMode(), QListView::IconMode);
  QImage shot = p.grab(0);
  guitest::saveScreenshot(shot, "list_view_icons");
  EXPECT_EQ(areaOf(shot, kBlue).size(), QSize(32, 32)) << "the large list has no image 1";
  EXPECT_TRUE(areaOf(shot, kRed).isEmpty());

  viewOf(p).setViewStyle(gui::kViewSmallIcon);
  guitest::settle();
  shot = p.grab(0);
  const QRect red = areaOf(shot, kRed), blue = areaOf(shot, kBlue);
  EXPECT_EQ(red.size(), QSize(16, 16));
  EXPECT_EQ(blue.size(), QSize(16, 16));
  EXPECT_GT(blue.left(), red.right()) << "the small icon style runs left to right";
}
