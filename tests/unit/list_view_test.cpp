// List views and image lists on the null toolkit: the counting rule of
// DeleteItems, checked swaps, sorted insertion, the change events and
// their order, reads outside the lists that keep the expression in step,
// what the user's selections, checks and edits do, fitted column widths,
// and image lists cut from wide bitmaps, their sizes and checked indices.
#include <gtest/gtest.h>

#include <string>

#include "asm/kasm.h"
#include "core/machine.h"
#include "image/program_image.h"
#include "objects/controls/list_view.h"
#include "objects/image_list.h"
#include "state/store_kinds.h"

using namespace kestrel;
using namespace kestrel::objects;

namespace {

struct ViewProgram {
  explicit ViewProgram(const std::string& source) : m(parseImage(kasm::assemble(source))) {}
  std::string run() {
    try {
      m.run();
    } catch (const RuntimeError& e) {
      return e.what();
    }
    return "";
  }
  double number(int index) { return loadNumber(3, m.vars.scalarAt(3, index)); }
  std::string text(int index) { return m.vars.stringAt(index).str(); }
  ListView& view(int index = 0) { return world(m).as<ListView>(kListViewType, index); }
  ImageList& images(int index = 0) { return world(m).as<ImageList>(kImageListType, index); }
  std::string captions() {
    std::string out;
    for (int32_t i = 0; i < view().count(); ++i) out += (i ? "," : "") + view().item(i).caption.str();
    return out;
  }
  Machine m;
};

// Six items a to f and a change handler that writes "index:kind " into str:0.
const char* const kSixItems = R"(
    dim listview:0
    dim str:1
    dim int:9
    goto main
.proc changed
    let str:0 = str:0 + str(arg.double:0) + ":" + str(arg.double:1) + " "
    endproc
main:
    set listview:0.OnChange = changed
    set listview:0.AddItems = "a", "b", "c", "d", "e", "f"
)";

}  // namespace

// Indices are those before the statement; each is lowered by the items
// already deleted, and one that names no item is skipped and not counted.
TEST(ListViews, DeleteItemsCountsWhatItDeleted) {
  {
    ViewProgram r(std::string(kSixItems) + R"(
    set listview:0.DeleteItems = 2, 3, 5
)");
    ASSERT_EQ(r.run(), "");
    EXPECT_EQ(r.captions(), "a,b,e");
  }
  // One machine at a time: each keeps its stores in the low arena.
  ViewProgram skipped(std::string(kSixItems) + R"(
    set listview:0.DeleteItems = 1, 40, -3, 2
)");
  ASSERT_EQ(skipped.run(), "");
  EXPECT_EQ(skipped.captions(), "a,d,e,f") << "40 and -3 fail and do not count: 2 becomes 1";
}

TEST(ListViews, SwapsInPlaceAndChecksBothIndices) {
  {
    ViewProgram r(std::string(kSixItems) + R"(
    set listview:0.AddSubItem = 1, "one"
    set listview:0.Items = 1, 1, 7
    set listview:0.Selected = 1
    let str:0 = ""
    set listview:0.SwapItems = 1, 4
    let int:0 = listview:0.ItemCount
    set listview:0.SwapItems = 2, 2
    set listview:0.SwapItems = 0, 9
)");
    EXPECT_EQ(r.run(), "List index out of bounds (9)");
    EXPECT_EQ(r.number(0), 6);
    EXPECT_EQ(r.view().count(), 6) << "a failed swap adds nothing";
    EXPECT_EQ(r.captions(), "a,e,c,d,b,f");
    EXPECT_EQ(r.view().subItem(4, 0).str(), "one");
    EXPECT_EQ(r.view().item(4).imageIndex, 7);
    EXPECT_EQ(r.view().item(1).imageIndex, -1);
    EXPECT_EQ(r.view().selectedIndex(), 1) << "the selection stays in its place";
    EXPECT_EQ(r.text(0), "1:0 4:0 ") << "two changes, none for a temporary item, none for a swap with itself";
  }

  ViewProgram first(std::string(kSixItems) + "    set listview:0.SwapItems = -1, 2\n");
  EXPECT_EQ(first.run(), "List index out of bounds (-1)");
  EXPECT_EQ(first.captions(), "a,b,c,d,e,f");
}

TEST(ListViews, SortedListsKeepTheirOrder) {
  ViewProgram r(R"(
    dim listview:0
    dim str:1
    goto main
.proc changed
    let str:0 = str:0 + str(arg.double:0) + "=" + arg.listview:2.Items(arg.double:0, 0) + " "
    endproc
main:
    set listview:0.AddItems = "pear", "Apple", "fig"
    set listview:0.SortType = 2
    set listview:0.AddItems = "banana", "apple"
    set listview:0.InsertItem = 0, "zucchini"
    set listview:0.OnChange = changed
    set listview:0.Items = 0, 0, "quince"
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.captions(), "apple,banana,fig,pear,quince,zucchini");
  EXPECT_EQ(r.text(0), "0=quince ") << "the handler sees the item where it was, then it moves";
  EXPECT_EQ(r.view().sortType(), 2);
}

// Reads outside the lists (and selectors that name nothing) still give one
// value, so the expressions around them go on.
TEST(ListViews, ReadsOutsideTheListsKeepTheExpressionInStep) {
  ViewProgram r(R"(
    dim listview:0
    dim str:2
    dim int:4
    set listview:0.AddItems = "a"
    set listview:0.AddColumns = "Name"
    let str:0 = "<" + listview:0.Items(5, 0) + listview:0.Columns(3, 0) + ">"
    let int:0 = 7 + listview:0.Items(-1, 1) + listview:0.Columns(2, 3)
    let int:1 = 8 + listview:0.Items(0, 9) + listview:0.Columns(0, 1)
    let str:1 = "<" + listview:0.SubItems(0, 4) + listview:0.SubItems(3, 0) + ">"
    let int:2 = listview:0.Selected
    let int:3 = listview:0.ItemSelected(0)
    set listview:0.Items = 4, 0, "x"
    set listview:0.Columns = 4, 0, "x"
    set listview:0.Columns = 0, 7, "ignored"
    set listview:0.DeleteSubItem = 0, 0
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.text(0), "<>");
  EXPECT_EQ(r.number(0), 7);
  EXPECT_EQ(r.number(1), 8);
  EXPECT_EQ(r.text(1), "<>");
  EXPECT_EQ(r.number(2), -1);
  EXPECT_EQ(r.number(3), 0);
  EXPECT_EQ(r.captions(), "a");
}

TEST(ListViews, BadIndicesOfOtherMembersAreErrors) {
  for (const char* statement : {"set listview:0.Selected = 1", "set listview:0.InsertItem = 2, \"x\"",
                                "set listview:0.AddSubItem = 3, \"x\"", "set listview:0.SubItems = 0, 0, \"x\"",
                                "set listview:0.InsertSubItem = 0, 2, \"x\""}) {
    ViewProgram r(std::string("dim listview:0\nset listview:0.AddItems = \"a\"\n") + statement + "\n");
    EXPECT_NE(r.run().find("List index out of bounds"), std::string::npos) << statement;
  }
}

// Without MultiSelect the item selected before hears first that it is no
// longer selected; with it, items are added to the selection.
TEST(ListViews, SelectionAndItsChangeEvents) {
  ViewProgram r(std::string(kSixItems) + R"(
    set listview:0.Selected = 2
    set listview:0.ItemSelected = 4
    let int:0 = listview:0.Selected
    let int:1 = listview:0.SelCount
    let int:2 = listview:0.ItemSelected(2)
    set listview:0.MultiSelect = 1
    set listview:0.Selected = 1
    let int:3 = listview:0.ItemSelected(4)
    let int:4 = listview:0.ItemSelected(1)
    let int:5 = listview:0.SelCount
    set listview:0.Selected = 1
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.number(0), 4);
  EXPECT_EQ(r.number(1), 1);
  EXPECT_EQ(r.number(2), 0);
  EXPECT_EQ(r.number(3), -1);
  EXPECT_EQ(r.number(4), -1);
  EXPECT_EQ(r.number(5), 2);
  EXPECT_EQ(r.text(0), "2:2 2:2 4:2 1:2 ") << "selecting a selected item changes nothing";
}

TEST(ListViews, ItemPropertiesAndTheirChanges) {
  ViewProgram r(std::string(kSixItems) + R"(
    set listview:0.Items = 0, 0, "A"
    set listview:0.Items = 0, 0, "A"
    set listview:0.Items = 1, 1, 3
    set listview:0.Items = 2, 2, 5
    let int:0 = listview:0.Items(2, 2)
    set listview:0.Checkboxes = 1
    let int:1 = listview:0.Items(2, 2)
    set listview:0.Items = 3, 2, 1
    let int:2 = listview:0.Items(3, 2)
    let int:3 = listview:0.Items(1, 1)
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.number(0), 5);
  EXPECT_EQ(r.number(1), 0) << "with check boxes the state index is the check";
  EXPECT_EQ(r.number(2), 1);
  EXPECT_EQ(r.number(3), 3);
  EXPECT_TRUE(r.view().itemChecked(3));
  EXPECT_EQ(r.text(0), "0:0 1:1 2:2 3:2 ");
}

TEST(ListViews, WhatTheUserDoes) {
  ViewProgram r(std::string(kSixItems) + R"(
    set listview:0.Checkboxes = 1
    set listview:0.Selected = 0
    let str:0 = ""
)");
  ASSERT_EQ(r.run(), "");
  ListView& v = r.view();
  v.userSelected({0}, {3});
  v.userChecked(5, true);
  EXPECT_TRUE(v.mayEdit(1));
  v.userEdited(1, "bee");
  v.setReadOnly(1);
  EXPECT_FALSE(v.mayEdit(1)) << "ReadOnly keeps the editor closed";
  v.userEdited(2, "sea");
  EXPECT_EQ(r.captions(), "a,bee,c,d,e,f");
  EXPECT_EQ(v.selectedIndex(), 3);
  EXPECT_EQ(v.itemStateIndex(5), 1);
  EXPECT_EQ(r.text(0), "0:2 3:2 5:2 1:0 ");
}

TEST(ListViews, ColumnClicksOnlyWhenColumnsCanBeClicked) {
  ViewProgram r(R"(
    dim listview:0
    dim int:1
    goto main
.proc clicked
    let int:0 = int:0 * 10 + arg.double:0 + 1
    endproc
main:
    set listview:0.AddColumns = "A", "B"
    set listview:0.OnColumnClick = clicked
)");
  ASSERT_EQ(r.run(), "");
  r.view().userClickedColumn(1);
  r.view().setColumnClick(0);
  r.view().userClickedColumn(0);
  r.view().setColumnClick(1);
  r.view().userClickedColumn(7);
  EXPECT_EQ(r.number(0), 2);
}

// On the null toolkit text measures 0: a fitted column is its margins, and
// a last column fitted to its header fills what is left of the view.
TEST(ListViews, FittedColumnWidths) {
  ViewProgram r(R"(
    dim listview:0
    dim int:3
    dim str:1
    set listview:0.AddColumns = "A", "B", "C"
    set listview:0.Columns = 0, 3, 80
    set listview:0.Columns = 1, 3, -1
    let int:0 = listview:0.Columns(1, 3)
    set listview:0.Columns = 2, 3, -2
    let int:1 = listview:0.Columns(2, 3)
    set listview:0.Columns = 1, 0, "Bee"
    let str:0 = listview:0.Columns(1, 0)
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.number(0), 12);
  EXPECT_EQ(r.number(1), 250 - 4 - 80 - 12);
  EXPECT_EQ(r.text(0), "Bee");
  EXPECT_EQ(r.view().peer().columns().size(), 3u);
}

// ---- Image lists

TEST(ImageLists, WideBitmapsGiveSeveralImages) {
  ViewProgram r(R"(
    dim imagelist:0
    dim bitmap:0
    dim int:4
    set bitmap:0.Width = 48
    set bitmap:0.Height = 16
    set imagelist:0.AddBitmap = bitmap:0.Picture, 536870912
    let int:0 = imagelist:0.Count
    set bitmap:0.Width = 32
    set bitmap:0.Height = 32
    set imagelist:0.AddBitmap = bitmap:0.Picture, 536870911
    let int:1 = imagelist:0.Count
    set imagelist:0.InsertBitmap = 7, bitmap:0.Picture, 0
    set bitmap:0.Height = 16
    set imagelist:0.InsertBitmap = 1, bitmap:0.Picture, 0
    let int:2 = imagelist:0.Count
    let int:3 = imagelist:0.Bitmap(1) + bitmap:0.Width
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.number(0), 3) << "48 x 16 is three 16 x 16 images";
  EXPECT_EQ(r.number(1), 3) << "32 x 32 does not fit: the list is unchanged";
  EXPECT_EQ(r.number(2), 5);
  EXPECT_EQ(r.number(3), 33) << "Bitmap(n) gives n";
  EXPECT_EQ(world(r.m).graphic.sourceType, kImageListType);
}

TEST(ImageLists, SizesAreClampedAndANewSizeEmptiesTheList) {
  ViewProgram r(R"(
    dim imagelist:0
    dim int:6
    set imagelist:0.AddIcon = imagelist:0.Icon(0)
    let int:0 = imagelist:0.Count
    set imagelist:0.Width = 16
    let int:1 = imagelist:0.Count
    set imagelist:0.Width = 0
    let int:2 = imagelist:0.Width
    let int:3 = imagelist:0.Count
    set imagelist:0.Height = 5000
    let int:4 = imagelist:0.Height
    let int:5 = imagelist:0.Masked + imagelist:0.DrawingStyle * 10
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.number(0), 1) << "a blank icon of the list's size";
  EXPECT_EQ(r.number(1), 1) << "the same size keeps the images";
  EXPECT_EQ(r.number(2), 1);
  EXPECT_EQ(r.number(3), 0);
  EXPECT_EQ(r.number(4), 4096);
  EXPECT_EQ(r.number(5), 21);
}

TEST(ImageLists, IndicesAndResourcesAreChecked) {
  for (const char* index : {"1", "-1", "5"}) {
    ViewProgram r(std::string(R"(
    dim imagelist:0
    dim int:1
    set imagelist:0.AddIcon = imagelist:0.Icon(0)
    set imagelist:0.Delete = )") + index + "\n    let int:0 = 1\n");
    EXPECT_EQ(r.run(), "Invalid ImageList Index") << index;
    EXPECT_EQ(r.number(0), 0);
    EXPECT_EQ(r.images().count(), 1);
  }
  {
    ViewProgram resource("    dim imagelist:0\n    set imagelist:0.AddBitmapResource = 3, 0\n");
    EXPECT_EQ(resource.run(), "List index out of bounds (3)");
  }
  ViewProgram insertion(R"(
    dim imagelist:0
    dim int:1
    set imagelist:0.InsertIcon = 1, imagelist:0.Icon(0)
    set imagelist:0.InsertIcon = -1, imagelist:0.Icon(0)
    set imagelist:0.InsertIcon = 0, imagelist:0.Icon(0)
    let int:0 = imagelist:0.Count
)");
  ASSERT_EQ(insertion.run(), "");
  EXPECT_EQ(insertion.number(0), 1);
}

// A list view shows the image lists it names, as they change, and forgets
// nothing when the list view goes first or last.
TEST(ImageLists, ListViewsFollowTheirImages) {
  ViewProgram r(R"(
    dim imagelist:0
    dim imagelist:1
    dim listview:0
    dim int:1
    set listview:0.SmallImages = imagelist:0
    set imagelist:0.AddIcon = imagelist:0.Icon(0)
    set imagelist:0.AddIcon = imagelist:0.Icon(0)
    set imagelist:1.Handle = imagelist:0.Handle
    let int:0 = imagelist:1.Count
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.number(0), 2) << "a handle of another list copies its images";
  EXPECT_EQ(r.view().peer().images(gui::ListImages::Small).pictures.size(), 2u);
  r.images().setWidth(32);
  EXPECT_TRUE(r.view().peer().images(gui::ListImages::Small).pictures.empty());
  EXPECT_EQ(r.view().peer().images(gui::ListImages::Small).size.width, 32);
  r.view().setImages(gui::ListImages::Small, &r.images(1));
  EXPECT_EQ(r.view().peer().images(gui::ListImages::Small).pictures.size(), 2u);
}

TEST(ImageLists, ALinkOutlivesItsList) {
  auto list = std::make_unique<ImageList>(kImageListType);
  int heard = 0;
  ImageListLink link([&] { ++heard; });
  link.attach(list.get());
  list->setWidth(8);
  list.reset();
  EXPECT_EQ(link.list(), nullptr);
  EXPECT_EQ(heard, 2);
}
