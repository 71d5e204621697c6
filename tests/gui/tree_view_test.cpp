// Tree views and outlines on Qt: the model the view reads stays true to
// the engine's nodes through every kind of change, the user's clicks on
// buttons and nodes ask the program first (and a veto leaves the view as
// it was), children added while expanding show, and the selection shows.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QMetaObject>
#include <QMouseEvent>
#include <QTreeView>
#include <QTreeWidget>

#include "gui_support.h"
#include "objects/controls/outline.h"
#include "objects/controls/tree_view.h"
#include "objects/image_list.h"
#include "toolkit/qt/qt_widget_peer.h"

using namespace kestrel;
using kestrel::guitest::Program;

namespace {

template <class W>
W* widgetOf(Program& p, int type, int index) {
  auto& c = dynamic_cast<objects::Control&>(objects::world(p.machine()).at(type, index));
  auto* holder = dynamic_cast<qt::QtWidgetHolder*>(&c.peer());
  return holder != nullptr ? dynamic_cast<W*>(holder->heldWidget()) : nullptr;
}

void press(QWidget* w, QPoint at, QEvent::Type type = QEvent::MouseButtonPress) {
  QMouseEvent down(type, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton, Qt::LeftButton, {});
  QApplication::sendEvent(w, &down);
  QMouseEvent up(QEvent::MouseButtonRelease, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton, Qt::NoButton,
                 {});
  QApplication::sendEvent(w, &up);
}

// The rows the view shows, as "text" and "." per level.
std::string shown(QAbstractItemModel* model, const QModelIndex& parent = {}, int level = 0) {
  std::string out;
  for (int r = 0; r < model->rowCount(parent); ++r) {
    const QModelIndex i = model->index(r, 0, parent);
    out += std::string(static_cast<size_t>(level), '.') + i.data().toString().toStdString() + " ";
    out += shown(model, i, level + 1);
  }
  return out;
}

constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kBlue = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;

// The box holding every pixel of one colour in the picture (empty: none).
QRect areaOf(const QImage& shot, uint32_t color) {
  QRect area;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x)
      if (Program::bgr(shot, x, y) == color) area = area.united(QRect(x, y, 1, 1));
  return area;
}

// Image list 0: a red and a blue picture; image list 1: a green one. Node
// "first" shows red, "second" blue, both after the green state picture.
constexpr const char* kPictureTree = R"(
    dim form:0
    dim treeview:0
    dim imagelist:1
    dim bitmap:0
    dim int:1
    set form:0.ClientWidth = 200
    set form:0.ClientHeight = 200
    set treeview:0.Parent = form:0
    set treeview:0.Align = 5
    set bitmap:0.Width = 32
    set bitmap:0.Height = 16
    set bitmap:0.FillRect = 0, 0, 16, 16, 255
    set bitmap:0.FillRect = 16, 0, 32, 16, 16711680
    set imagelist:0.AddBitmap = bitmap:0.Picture, 536870911
    set bitmap:0.Width = 16
    set bitmap:0.FillRect = 0, 0, 16, 16, 65280
    set imagelist:1.AddBitmap = bitmap:0.Picture, 536870911
    set treeview:0.Add = "first", "second"
    set treeview:0.Node = 1, 1, 1
    set treeview:0.Node = 0, 2, 0
    set treeview:0.Node = 1, 2, 0
    set treeview:0.Images = imagelist:0
    set treeview:0.StateImages = imagelist:1
    set form:0.Show
)";

constexpr const char* kTreeForm = R"(
    dim form:0
    dim treeview:0
    dim int:4
    set form:0.ClientWidth = 200
    set form:0.ClientHeight = 200
    set treeview:0.Parent = form:0
    set treeview:0.Align = 5
    set treeview:0.HideSelection = 0
    set treeview:0.OnChanging = changing
    set treeview:0.OnExpanding = expanding
    set treeview:0.Add = "first", "second", "third"
    set treeview:0.Node = 0, 7, 1
    set treeview:0.AddChild = 1, "child"
    set form:0.Show
    goto main
.proc changing
    let int:0 = int:0 + 1
    ifnot arg.double:0 = 3 goto allow
    let arg.double:1 = 0
allow:
    endproc
.proc expanding
    let int:1 = int:1 + 1
    ifnot arg.double:0 = 1 goto fill
    let arg.double:1 = 0
    endproc
fill:
    ifnot treeview:0.Node(arg.double:0, 4) = 0 goto filled
    set treeview:0.AddChild = arg.double:0, "lazy"
filled:
    endproc
main:
)";

}  // namespace

// Every change the engine makes passes Qt's own model checks, and the
// view shows the engine's nodes afterwards.
TEST(TreeViewModel, StaysTrueThroughEveryChange) {
  Program p(kTreeForm);
  ASSERT_EQ(p.run(), "");
  auto* view = widgetOf<QTreeView>(p, objects::kTreeViewType, 0);
  ASSERT_NE(view, nullptr);
  QAbstractItemModelTester tester(view->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
  auto& tree = objects::world(p.machine()).as<objects::TreeView>(objects::kTreeViewType, 0);
  tree.expand(tree.node(0), true, false);  // adds "lazy"
  tree.insertNode(&tree.node(0), "zero");
  tree.addNodes(&tree.node(1), {"b", "a"});
  tree.select(&tree.node(4));
  tree.deleteIndices({0});
  tree.setSortType(2);
  tree.addNodes(tree.nodes().root(), {"aa"});
  EXPECT_EQ(shown(view->model()), "aa first .a .b .lazy second .child third ");
  EXPECT_EQ(tree.selectedIndex(), 2);
  ASSERT_EQ(view->selectionModel()->selectedIndexes().size(), 1);
  EXPECT_EQ(view->selectionModel()->selectedIndexes()[0].data().toString(), "a");
  tree.clear();
  EXPECT_EQ(view->model()->rowCount(), 0);
  EXPECT_TRUE(view->selectionModel()->selectedIndexes().isEmpty());
}

// A press on a node's button asks the program; a veto leaves the node
// collapsed, an allowed expanding shows the children it added.
TEST(TreeViewUser, ButtonsAskTheProgram) {
  Program p(kTreeForm);
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  auto* view = widgetOf<QTreeView>(p, objects::kTreeViewType, 0);
  ASSERT_NE(view, nullptr);
  QAbstractItemModel* model = view->model();
  const QModelIndex first = model->index(0, 0);
  const QModelIndex second = model->index(1, 0);
  const QRect secondRow = view->visualRect(second);
  press(view->viewport(), QPoint(secondRow.left() - view->indentation() / 2, secondRow.center().y()));
  EXPECT_EQ(p.integer(1), 1);
  EXPECT_FALSE(view->isExpanded(second)) << "the program vetoed";
  const QRect firstRow = view->visualRect(first);
  press(view->viewport(), QPoint(firstRow.left() - view->indentation() / 2, firstRow.center().y()));
  EXPECT_EQ(p.integer(1), 2);
  EXPECT_TRUE(view->isExpanded(first));
  EXPECT_EQ(model->rowCount(first), 1) << "the lazy child";
}

// A click on a node selects it unless the changing handler vetoes.
TEST(TreeViewUser, SelectionAsksTheProgram) {
  Program p(kTreeForm);
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  auto* view = widgetOf<QTreeView>(p, objects::kTreeViewType, 0);
  auto& tree = objects::world(p.machine()).as<objects::TreeView>(objects::kTreeViewType, 0);
  QAbstractItemModel* model = view->model();
  press(view->viewport(), view->visualRect(model->index(2, 0)).center());  // node 3, "third"
  EXPECT_EQ(p.integer(0), 1);
  EXPECT_EQ(tree.selectedIndex(), -1);
  EXPECT_TRUE(view->selectionModel()->selectedIndexes().isEmpty());
  press(view->viewport(), view->visualRect(model->index(1, 0)).center());
  EXPECT_EQ(tree.selectedIndex(), 1);
  ASSERT_EQ(view->selectionModel()->selectedIndexes().size(), 1);
  EXPECT_EQ(view->selectionModel()->selectedIndexes()[0], model->index(1, 0));
  // The program's selection shows as well, and its pixels are the highlight's.
  tree.select(&tree.node(0));
  EXPECT_EQ(view->selectionModel()->selectedIndexes()[0], model->index(0, 0));
  const QImage picture = p.grab(0);
  const QPoint inRow = view->viewport()->mapTo(p.form(0), view->visualRect(model->index(0, 0)).center());
  const QColor highlight = view->palette().color(QPalette::Inactive, QPalette::Highlight);
  bool found = false;
  for (int x = 0; x < picture.width() && !found; ++x) found = picture.pixelColor(x, inRow.y()) == highlight;
  EXPECT_TRUE(found) << "the selected row is highlighted";
}

// An editor opens only when the tree is not read-only and the editing
// handler allows it; the edited handler may change the text it gets.
TEST(TreeViewUser, EditingAsksTheProgram) {
  Program p(R"(
    dim form:0
    dim treeview:0
    set treeview:0.Parent = form:0
    set treeview:0.Add = "keep", "edit"
    set treeview:0.OnEditing = editing
    set treeview:0.OnEdited = edited
    set form:0.Show
    goto main
.proc editing
    ifnot arg.double:0 = 0 goto allow
    let arg.double:1 = 0
allow:
    endproc
.proc edited
    let arg.str:1 = arg.str:1 + "!"
    endproc
main:
)");
  ASSERT_EQ(p.run(), "");
  auto* view = widgetOf<QTreeView>(p, objects::kTreeViewType, 0);
  auto& tree = objects::world(p.machine()).as<objects::TreeView>(objects::kTreeViewType, 0);
  QAbstractItemModel* model = view->model();
  view->edit(model->index(0, 0));
  EXPECT_EQ(view->findChild<QLineEdit*>(), nullptr) << "vetoed";
  tree.setReadOnly(1);
  view->edit(model->index(1, 0));
  EXPECT_EQ(view->findChild<QLineEdit*>(), nullptr) << "read-only";
  tree.setReadOnly(0);
  view->edit(model->index(1, 0));
  auto* editor = view->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->setText("new");
  QMetaObject::invokeMethod(view, "commitData", Q_ARG(QWidget*, editor));
  EXPECT_EQ(tree.node(1).text.str(), "new!");
  EXPECT_EQ(model->index(1, 0).data().toString(), "new!");
}

TEST(OutlineWidget, ItemsOnTheirLevels) {
  Program p(R"(
    dim form:0
    dim outline:0
    set outline:0.Parent = form:0
    set outline:0.AddLine = "a"
    set outline:0.AddLine = chr(9) + "a1"
    set outline:0.AddLine = "b"
    set outline:0.Insert = 3, "between"
    set outline:0.SelectedItem = 2
    set outline:0.DeleteLine = 2
)");
  ASSERT_EQ(p.run(), "");
  auto* tree = widgetOf<QTreeWidget>(p, objects::kOutlineType, 0);
  ASSERT_NE(tree, nullptr);
  ASSERT_EQ(tree->topLevelItemCount(), 2);
  EXPECT_EQ(tree->topLevelItem(0)->text(0), "a");
  EXPECT_EQ(tree->topLevelItem(0)->childCount(), 1);
  EXPECT_TRUE(tree->topLevelItem(0)->isExpanded());
  EXPECT_EQ(tree->currentItem(), tree->topLevelItem(0)->child(0));
  EXPECT_EQ(tree->topLevelItem(1)->text(0), "b");
  // The user's choice is the outline's current item.
  tree->setCurrentItem(tree->topLevelItem(1));
  auto& outline = objects::world(p.machine()).as<objects::Outline>(objects::kOutlineType, 0);
  EXPECT_EQ(outline.selectedItem(), 3);
}

// The nodes show their image lists' pictures, follow the lists as they
// change (a new size lays the rows out again), and show none once a list
// the tree still names has gone.
TEST(TreeViewImages, NodesShowTheirImageLists) {
  Program p(kPictureTree);
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  QImage shot = p.grab(0);
  QRect red = areaOf(shot, kRed), blue = areaOf(shot, kBlue), green = areaOf(shot, kGreen);
  EXPECT_EQ(red.size(), QSize(16, 16));
  EXPECT_EQ(blue.size(), QSize(16, 16));
  EXPECT_EQ(red.left(), blue.left());
  EXPECT_GT(blue.top(), red.bottom()) << "the second node is below the first";
  EXPECT_EQ(green.width(), 16) << "both nodes show the state picture";
  EXPECT_EQ(green.right() + 1, red.left()) << "the state picture comes first";

  // A list of 32 x 32 pictures: the rows grow to show them whole.
  auto& tree = objects::world(p.machine()).as<objects::TreeView>(objects::kTreeViewType, 0);
  auto& images = objects::world(p.machine()).as<objects::ImageList>(objects::kImageListType, 0);
  images.setWidth(32);
  images.setHeight(32);
  ASSERT_TRUE(images.addIcon(*toolkit().createSurface(32, 32, 0x0000FF)));
  ASSERT_TRUE(images.addIcon(*toolkit().createSurface(32, 32, 0xFF0000)));
  guitest::settle();
  shot = p.grab(0);
  red = areaOf(shot, kRed);
  blue = areaOf(shot, kBlue);
  EXPECT_EQ(red.size(), QSize(32, 32));
  EXPECT_EQ(blue.size(), QSize(32, 32));
  EXPECT_GT(blue.top(), red.bottom());

  // A list that goes first is forgotten: nothing dangles, nothing shows.
  auto doomed = std::make_unique<objects::ImageList>(objects::kImageListType);
  ASSERT_TRUE(doomed->addIcon(*toolkit().createSurface(16, 16, 0x0000FF)));
  tree.setImages(doomed.get());
  tree.setStateImages(doomed.get());
  guitest::settle();
  EXPECT_FALSE(areaOf(p.grab(0), kRed).isEmpty());
  doomed.reset();
  guitest::settle();
  shot = p.grab(0);
  EXPECT_TRUE(areaOf(shot, kRed).isEmpty());
  EXPECT_TRUE(areaOf(shot, kGreen).isEmpty());
}

// An image-index handler that empties the state list and the node list
// while the tree paints: the pictures shown are the lists' own after the
// handler, never ones it freed (the sanitizer build checks).
TEST(TreeViewImages, HandlerEmptyingTheListsWhilePainting) {
  Program p(std::string(kPictureTree) + R"(
    set treeview:0.OnGetImageIndex = image
    goto main
.proc image
    let int:0 = int:0 + 1
    set imagelist:1.Clear
    set imagelist:0.Clear
    endproc
main:
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  const QImage shot = p.grab(0);
  EXPECT_GT(p.integer(0), 0) << "the handler ran";
  EXPECT_TRUE(areaOf(shot, kGreen).isEmpty());
  EXPECT_TRUE(areaOf(shot, kRed).isEmpty());
}
