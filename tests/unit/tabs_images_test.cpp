// Tab controls, scroll bars, images and file dialogs on the null toolkit:
// the index rules of tabs, the scroll bar's range and its scroll event,
// the image's picture kinds and where its pictures come from, and the
// filter strings in Qt's form.
#include <gtest/gtest.h>

#include <string>

#include "asm/kasm.h"
#include "core/machine.h"
#include "image/program_image.h"
#include "objects/controls/image.h"
#include "objects/controls/scroll_bar.h"
#include "objects/controls/tab_control.h"
#include "state/store_kinds.h"
#include "toolkit/file_dialog.h"
#include "toolkit/peers/scroll_bar.h"

using namespace kestrel;
using namespace kestrel::objects;

namespace {

struct TabRun {
  explicit TabRun(const std::string& source) : m(parseImage(kasm::assemble(source))) { m.out.captureInto(&output); }
  std::string run() {
    std::string error;
    try {
      m.run();
    } catch (const RuntimeError& e) {
      error = e.what();
    }
    m.out.flush();
    return error;
  }
  double number(int index) { return loadNumber(3, m.vars.scalarAt(3, index)); }
  template <class T>
  T& object(int type, int index) {
    return world(m).as<T>(type, index);
  }
  Machine m;
  std::string output;
};

void scroll(ScrollBar& bar, int code, int32_t thumb = 0) {
  gui::InputEvent e{gui::EventKind::Scroll};
  e.key = code;
  e.x = thumb;
  bar.event(e);
}

}  // namespace

// ---- Tab controls

TEST(TabControls, TabsByIndex) {
  TabRun r(R"(
    dim tabcontrol:0
    set tabcontrol:0.AddTabs = "a", "b", "c"
    set tabcontrol:0.InsertTab = 258, "x"
    stdout tabcontrol:0.Tab(0) + tabcontrol:0.Tab(1) + tabcontrol:0.Tab(2) + tabcontrol:0.Tab(3)
    set tabcontrol:0.Tab = 3, "z"
    set tabcontrol:0.InsertTab = 4, "end"
    stdout tabcontrol:0.Tab(3) + tabcontrol:0.Tab(4)
    set tabcontrol:0.InsertTab = 6, "past"
)");
  EXPECT_EQ(r.run(), "List index out of bounds (6)");
  EXPECT_EQ(r.output, "abxc\nzend\n");
  EXPECT_EQ(r.object<TabControl>(kTabControlType, 0).tabCount(), 5);
}

// One program at a time: each takes its stores from the low arena.
TEST(TabControls, IndicesOutsideTheTabsRaise) {
  const std::pair<const char*, const char*> cases[] = {
      {"stdout tabcontrol:0.Tab(1)", "List index out of bounds (1)"},
      {"stdout tabcontrol:0.Tab(-1)", "List index out of bounds (-1)"},
      {"set tabcontrol:0.Tab = 1, \"x\"", "List index out of bounds (1)"},
  };
  for (const auto& [statement, error] : cases) {
    TabRun one(std::string("dim tabcontrol:0\nset tabcontrol:0.AddTabs = \"only\"\n") + statement + "\n");
    EXPECT_EQ(one.run(), error) << statement;
  }
}

// Each element deletes the tab that stood at its index before the
// statement (for ascending indices); an index that would fall below 0 is
// no tab, never the last one.
TEST(TabControls, DeleteTabsCountsEveryElement) {
  TabRun r(R"(
    dim tabcontrol:0
    dim tabcontrol:1
    dim tabcontrol:2
    set tabcontrol:0.AddTabs = "a", "b", "c"
    set tabcontrol:0.DeleteTabs = 0, 1
    set tabcontrol:1.AddTabs = "a", "b"
    set tabcontrol:1.DeleteTabs = 0, 0
    set tabcontrol:2.AddTabs = "a", "b", "c", "d"
    set tabcontrol:2.DeleteTabs = 9, 2, 3
)");
  ASSERT_EQ(r.run(), "");
  auto& t0 = r.object<TabControl>(kTabControlType, 0);
  ASSERT_EQ(t0.tabCount(), 1);
  EXPECT_EQ(t0.tab(0).str(), "c");
  auto& t1 = r.object<TabControl>(kTabControlType, 1);
  ASSERT_EQ(t1.tabCount(), 1);
  EXPECT_EQ(t1.tab(0).str(), "b") << "0 - 1 does not wrap to the last tab";
  auto& t2 = r.object<TabControl>(kTabControlType, 2);
  ASSERT_EQ(t2.tabCount(), 2) << "9 deletes nothing but counts: 2 - 1 deletes b, then 3 - 2 deletes c";
  EXPECT_EQ(t2.tab(0).str(), "a");
  EXPECT_EQ(t2.tab(1).str(), "d");
}

TEST(TabControls, TabIndexFollowsTheTabs) {
  TabControl* t = nullptr;
  TabRun r("dim tabcontrol:0\nset tabcontrol:0.AddTabs = \"a\", \"b\", \"c\"\n");
  ASSERT_EQ(r.run(), "");
  t = &r.object<TabControl>(kTabControlType, 0);
  EXPECT_EQ(t->tabIndex(), -1) << "no tab is selected at first";
  t->setTabIndex(1);
  EXPECT_EQ(t->peer().current(), 1);
  t->setTabIndex(3);
  EXPECT_EQ(t->tabIndex(), 1) << "past the last tab: no change";
  t->insertTab(0, Str("new"));
  EXPECT_EQ(t->tabIndex(), 2) << "the same tab stays selected";
  t->deleteTab(0);
  EXPECT_EQ(t->tabIndex(), 1);
  t->deleteTab(1);
  EXPECT_EQ(t->tabIndex(), -1) << "deleting the selected tab selects none";
  t->setTabIndex(0);
  t->setTabIndex(-7);
  EXPECT_EQ(t->tabIndex(), -1);
  EXPECT_EQ(t->peer().current(), -1);
}

// Sizes keep 16 bits and read back as kept; a negative one lays out as
// the natural size, as 0 does.
TEST(TabControls, TabSizesAndFlags) {
  TabRun r(R"(
    dim tabcontrol:0
    dim int:9
    set tabcontrol:0.AddTabs = "a"
    set tabcontrol:0.TabHeight = 70000
    let int:0 = tabcontrol:0.TabHeight
    set tabcontrol:0.TabHeight = -5
    let int:1 = tabcontrol:0.TabHeight
    set tabcontrol:0.TabWidth = 65535
    let int:2 = tabcontrol:0.TabWidth
    set tabcontrol:0.HotTrack = 0.5
    let int:3 = tabcontrol:0.HotTrack
    set tabcontrol:0.MultiLine = -1
    let int:4 = tabcontrol:0.MultiLine
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.number(0), 4464);
  EXPECT_EQ(r.number(1), -5);
  EXPECT_EQ(r.number(2), -1);
  EXPECT_EQ(r.number(3), 1) << "any value but 0 turns hot tracking on";
  EXPECT_EQ(r.number(4), 255);
  auto& t = r.object<TabControl>(kTabControlType, 0);
  const gui::Rect natural = t.peer().displayArea();
  t.setTabHeight(0);
  EXPECT_EQ(t.peer().displayArea(), natural);
  t.setTabHeight(40);
  EXPECT_EQ(t.peer().displayArea().top, 42);
}

// The change handler runs after the user chose a tab, with the tab
// control itself (its type and real index) as the sender.
TEST(TabControls, ChangeHandlerGetsItsOwnSender) {
  TabRun r(R"(
    dim tabcontrol:3
    set tabcontrol:3.AddTabs = "a", "b", "c"
    set tabcontrol:3.OnChange = changed
    goto main
.proc changed
    stdout str(arg.tabcontrol:0.TabIndex) + " " + arg.tabcontrol:0.Tab(arg.tabcontrol:0.TabIndex)
    endproc
main:
)");
  ASSERT_EQ(r.run(), "");
  auto& t = r.object<TabControl>(kTabControlType, 3);
  gui::InputEvent e{gui::EventKind::Change};
  e.key = 2;
  t.event(e);
  t.event(e);  // the same tab again: no change
  e.key = 5;
  t.event(e);  // no such tab
  r.m.out.flush();
  EXPECT_EQ(r.output, "2 c\n");
  const ByRefSlot sender = r.m.frames.byRef(0, 0);
  EXPECT_EQ(sender.kind, kTabControlType);
  EXPECT_EQ(sender.index, 3);
  EXPECT_EQ(t.tag, 3) << "the tag stays the object's index";
}

// ---- Scroll bars

TEST(ScrollBars, RangeStepsAndKind) {
  TabRun r(R"(
    dim scrollbar:0
    dim int:9
    set scrollbar:0.Position = 150
    let int:0 = scrollbar:0.Position
    set scrollbar:0.Max = 40
    let int:1 = scrollbar:0.Position
    set scrollbar:0.Min = 10
    set scrollbar:0.Position = -3
    let int:2 = scrollbar:0.Position
    set scrollbar:0.LargeChange = 0
    let int:3 = scrollbar:0.LargeChange
    set scrollbar:0.SmallChange = 70000
    let int:4 = scrollbar:0.SmallChange
    set scrollbar:0.SmallChange = 40000
    let int:5 = scrollbar:0.SmallChange
    set scrollbar:0.Kind = 1
    let int:6 = scrollbar:0.Width
    let int:7 = scrollbar:0.Height
    set scrollbar:0.Min = 41
)");
  EXPECT_EQ(r.run(), "Scrollbar property out of range");
  EXPECT_EQ(r.number(0), 100);
  EXPECT_EQ(r.number(1), 40) << "a lower Max takes the position along";
  EXPECT_EQ(r.number(2), 10);
  EXPECT_EQ(r.number(3), 1);
  EXPECT_EQ(r.number(4), 4464);
  EXPECT_EQ(r.number(5), 1) << "40000 kept as 16 bits is negative";
  EXPECT_EQ(r.number(6), 17);
  EXPECT_EQ(r.number(7), 121);
  auto& bar = r.object<ScrollBar>(kScrollBarType, 0);
  EXPECT_EQ(bar.min(), 10) << "the failed Min changed nothing";
  EXPECT_TRUE(bar.peer().vertical());
}

// Each scroll code offers a position; the handler's answer is taken,
// kept within the range, and a new position runs the change handler.
TEST(ScrollBars, ScrollCodesAndTheHandlersAnswer) {
  TabRun r(R"(
    dim scrollbar:0
    dim int:0
    set scrollbar:0.SmallChange = 5
    set scrollbar:0.LargeChange = 30
    set scrollbar:0.Position = 50
    set scrollbar:0.OnScroll = scrolled
    set scrollbar:0.OnChange = changed
    goto main
.proc scrolled
    stdout "scroll " + str(arg.double:0) + " " + str(arg.double:1) + " " + str(arg.scrollbar:2.Position)
    ifnot int:0 goto done
    let arg.double:1 = int:0
done:
    endproc
.proc changed
    stdout "change " + str(arg.scrollbar:0.Position)
    endproc
main:
)");
  ASSERT_EQ(r.run(), "");
  auto& bar = r.object<ScrollBar>(kScrollBarType, 0);
  using namespace gui::scroll;
  for (int code : {kLineUp, kLineDown, kPageDown, kPageDown, kPageUp, kTop, kBottom, kEndScroll}) scroll(bar, code);
  scroll(bar, kThumbTrack, 33);
  scroll(bar, kThumbPosition, 500);
  storeNumberTrunc(3, r.m.vars.scalarAt(3, 0), 1000);
  scroll(bar, kLineDown);
  storeNumberTrunc(3, r.m.vars.scalarAt(3, 0), -1000);
  scroll(bar, kLineDown);
  r.m.out.flush();
  EXPECT_EQ(r.output,
            "scroll 0 45 50\nchange 45\n"
            "scroll 1 50 45\nchange 50\n"
            "scroll 3 80 50\nchange 80\n"
            "scroll 3 100 80\nchange 100\n"
            "scroll 2 70 100\nchange 70\n"
            "scroll 6 0 70\nchange 0\n"
            "scroll 7 100 0\nchange 100\n"
            "scroll 8 100 100\n"
            "scroll 5 33 100\nchange 33\n"
            "scroll 4 100 33\nchange 100\n"
            "scroll 1 100 100\n"
            "scroll 1 100 100\nchange 0\n");
  EXPECT_EQ(bar.position(), 0) << "the handler's -1000 is kept within Min";
  EXPECT_EQ(bar.peer().position(), 0);
}

// ---- Images

TEST(Images, DrawingOnAnEmptyImageMakesABitmapOfItsSize) {
  TabRun r(R"(
    dim image:0
    dim int:9
    let int:0 = image:0.Width
    set image:0.Width = 40
    set image:0.Height = 30
    set image:0.Pset = 1, 1, 255
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.number(0), 105);
  auto& image = r.object<Image>(kImageType, 0);
  EXPECT_EQ(image.pictureKind(), PictureKind::Bitmap);
  EXPECT_EQ(image.picture().width(), 40);
  EXPECT_EQ(image.picture().height(), 30);
}

TEST(Images, AnIconCannotBeDrawnOn) {
  TabRun r("dim image:0\n");
  ASSERT_EQ(r.run(), "");
  auto& image = r.object<Image>(kImageType, 0);
  const auto icon = gui::makeNullSurface(16, 16);
  image.assignIcon(icon.get());
  EXPECT_EQ(image.pictureKind(), PictureKind::Icon);
  try {
    image.canvasTarget();
    ADD_FAILURE() << "an icon gave its canvas";
  } catch (const RuntimeError& e) {
    EXPECT_STREQ(e.what(), "Can only modify an image if it contains a bitmap");
  }
}

// A resource number is checked against the resources the image holds.
TEST(Images, ResourceNumbersAreChecked) {
  TabRun r(R"(
.resource text "not a picture"
.code
    dim image:0
    set image:0.BitmapResource = 3
)");
  EXPECT_EQ(r.run(), "List index out of bounds (3)");
}

TEST(Images, NoResourcesAtAll) {
  TabRun r("dim image:0\nset image:0.IconResource = 0\n");
  EXPECT_EQ(r.run(), "List index out of bounds (0)");
}

// The graphic register: a Bitmap read names the image, and a write takes
// a copy; an Icon write without an icon in the register leaves no picture.
TEST(Images, PicturesFromTheGraphicRegister) {
  TabRun r(R"(
    dim image:0
    dim image:1
    dim image:2
    set image:0.Width = 12
    set image:0.Height = 7
    set image:0.Pset = 0, 0, 255
    set image:1.Bitmap = image:0.Bitmap
    set image:2.Pset = 0, 0, 0
    set image:2.Icon = image:0.Icon
)");
  ASSERT_EQ(r.run(), "");
  auto& copy = r.object<Image>(kImageType, 1);
  EXPECT_EQ(copy.pictureKind(), PictureKind::Bitmap);
  EXPECT_EQ(copy.picture().width(), 12);
  EXPECT_EQ(copy.picture().height(), 7);
  EXPECT_NE(&copy.picture(), &r.object<Image>(kImageType, 0).picture());
  EXPECT_EQ(r.object<Image>(kImageType, 2).pictureKind(), PictureKind::None)
      << "image 0 holds a bitmap: its Icon read leaves no icon in the register";
}

// A Handle names a bitmap's or an image's canvas; other numbers change nothing.
TEST(Images, HandlesAreLookedUp) {
  TabRun r(R"(
    dim bitmap:0
    dim image:0
    dim image:1
    set bitmap:0.Width = 9
    set bitmap:0.Height = 4
    set image:0.Handle = bitmap:0.Handle
    set image:1.Handle = 12345
    set image:1.Handle = bitmap:0.Handle + 4
    stdout image:1.Handle - image:0.Handle
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.output, "4\n");
  auto& image = r.object<Image>(kImageType, 0);
  EXPECT_EQ(image.pictureKind(), PictureKind::Bitmap);
  EXPECT_EQ(image.picture().width(), 9);
  EXPECT_EQ(r.object<Image>(kImageType, 1).pictureKind(), PictureKind::None);
}

TEST(Images, AutoSizeTakesThePicturesSize) {
  TabRun r(R"(
    dim bitmap:0
    dim image:0
    set bitmap:0.Width = 30
    set bitmap:0.Height = 20
    set image:0.AutoSize = 1
    set image:0.Bitmap = bitmap:0.Picture
)");
  ASSERT_EQ(r.run(), "");
  auto& image = r.object<Image>(kImageType, 0);
  EXPECT_EQ(image.width(), 30);
  EXPECT_EQ(image.height(), 20);
}

// ---- File dialogs

TEST(FileFilters, TranslatedToQtsForm) {
  using V = std::vector<std::string>;
  EXPECT_EQ(gui::translateFilter("Text (*.txt)|*.txt;*.log|All (*.*)|*.*"), (V{"Text (*.txt *.log)", "All (*)"}));
  EXPECT_EQ(gui::translateFilter("Bitmaps|*.bmp"), V{"Bitmaps (*.bmp)"});
  EXPECT_EQ(gui::translateFilter("Text|*.txt|Left over"), V{"Text (*.txt)"}) << "an odd piece is dropped";
  EXPECT_EQ(gui::translateFilter(""), V{}) << "all files";
  EXPECT_EQ(gui::translateFilter("Only a description"), V{});
  EXPECT_EQ(gui::translateFilter("Pictures (bitmaps)|*.bmp"), V{"Pictures (bitmaps) (*.bmp)"});
  EXPECT_EQ(gui::translateFilter("|*.c; *.h"), V{"*.c *.h (*.c *.h)"});
  EXPECT_EQ(gui::translateFilter("Mine|my file*.txt;(x).y"), V{"Mine (my?file*.txt x.y)"});
  EXPECT_EQ(gui::translateFilter("Nothing|"), V{"Nothing (*)"});
}

// Without a window system no dialog shows: Execute yields 0 and the
// dialog keeps what it had.
TEST(FileDialogs, MembersKeepWhatWasSet) {
  TabRun r(R"(
    dim opendialog:0
    dim savedialog:0
    set opendialog:0.Title = "Pick"
    set opendialog:0.Filter = "Text|*.txt"
    set opendialog:0.FilterIndex = 7
    set opendialog:0.InitialDir = "C:\\data"
    set opendialog:0.FileName = "a.txt"
    set savedialog:0.Execute
    stdout opendialog:0.Title + " " + opendialog:0.Filter + " " + str(opendialog:0.FilterIndex)
    stdout opendialog:0.InitialDir + " " + opendialog:0.FileName + " " + str(opendialog:0.Execute)
    stdout savedialog:0.FileName + "." + str(savedialog:0.FilterIndex)
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.output, "Pick Text|*.txt 7\nC:\\data a.txt 0\n.1\n");
}
