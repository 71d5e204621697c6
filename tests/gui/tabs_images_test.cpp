// Tab controls, scroll bars and images on Qt: a click on a tab runs the
// change handler, a row with no tab selected, tab sizes and colours; the
// scroll codes a click, a drag and a release give, and the handler's
// answer; what an image shows (corner, centre, stretch, transparency, an
// icon's own transparency) and drawing that shows at once.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTabBar>
#include <QTemporaryDir>

#include "gui_support.h"
#include "objects/control.h"
#include "objects/canvas_ops.h"
#include "objects/controls/scroll_bar.h"
#include "objects/controls/tab_control.h"
#include "state/store_kinds.h"
#include "screenshots.h"

using namespace kestrel;
using kestrel::guitest::Program;

namespace {

void mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
  QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                held, {});
  QApplication::sendEvent(w, &e);
}

void click(QWidget* w, QPoint at) {
  mouse(w, QEvent::MouseButtonPress, at, Qt::LeftButton);
  mouse(w, QEvent::MouseButtonRelease, at, Qt::NoButton);
}

// Where a part of a scroll bar is, as its style lays it out.
QRect partOf(QScrollBar* bar, QStyle::SubControl part) {
  QStyleOptionSlider option;
  option.initFrom(bar);
  option.subControls = QStyle::SC_All;
  option.orientation = bar->orientation();
  option.minimum = bar->minimum();
  option.maximum = bar->maximum();
  option.sliderPosition = bar->sliderPosition();
  option.sliderValue = bar->value();
  option.singleStep = bar->singleStep();
  option.pageStep = bar->pageStep();
  return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
}

bool reddish(uint32_t bgr) { return (bgr & 0xFF) > 160 && ((bgr >> 8) & 0xFF) < 90 && ((bgr >> 16) & 0xFF) < 90; }

}  // namespace

// ---- Tab controls

// A click on a tab selects it and runs the change handler with the tab
// control as the sender; the handler sees the new TabIndex.
TEST(TabControlWindow, ClickingATabRunsTheChangeHandler) {
  Program p(R"(
    dim form:0
    dim tabcontrol:2
    dim str:0
    set form:0.ClientWidth = 300
    set form:0.ClientHeight = 200
    set tabcontrol:2.Parent = form:0
    set tabcontrol:2.AddTabs = "First", "Second", "Third"
    set tabcontrol:2.TabIndex = 0
    set tabcontrol:2.OnChange = changed
    set form:0.Show
    goto main
.proc changed
    let str:0 = str:0 + str(arg.tabcontrol:0.TabIndex) + arg.tabcontrol:0.Tab(arg.tabcontrol:0.TabIndex) + ";"
    endproc
main:
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  auto* row = p.widget(53, 2)->findChild<QTabBar*>();
  ASSERT_NE(row, nullptr);
  ASSERT_EQ(row->count(), 3);
  click(row, row->tabRect(2).center());
  click(row, row->tabRect(2).center());  // already selected: no change
  click(row, row->tabRect(1).center());
  EXPECT_EQ(p.text(0), "2Third;1Second;");
  EXPECT_EQ(p.machine().frames.byRef(0, 0).index, 2) << "the sender is the tab control's own index";
}

// With TabIndex -1 every tab looks unselected: alike, unlike a selected
// one. Unselected tabs take TabInactiveColor.
TEST(TabControlWindow, NoTabSelectedAndTheInactiveColour) {
  Program p(R"(
    dim form:0
    dim tabcontrol:0
    set form:0.ClientWidth = 300
    set form:0.ClientHeight = 120
    set tabcontrol:0.Parent = form:0
    set tabcontrol:0.AddTabs = "Tab", "Tab"
    set tabcontrol:0.TabIndex = 0
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  auto& tabs = objects::world(p.machine()).as<objects::TabControl>(objects::kTabControlType, 0);
  auto* row = p.widget(objects::kTabControlType, 0)->findChild<QTabBar*>();
  ASSERT_NE(row, nullptr);
  // A point inside each tab, away from its text and its edges.
  auto sample = [&](int tab) {
    const QImage shot = row->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect r = row->tabRect(tab);
    return Program::bgr(shot, r.left() + 4, r.top() + r.height() / 2);
  };
  EXPECT_NE(sample(0), sample(1)) << "a selected tab looks different";
  tabs.setTabIndex(-1);
  EXPECT_EQ(sample(0), sample(1)) << "no tab selected";
  tabs.setInactiveColor(0x0000FF);
  tabs.setTabIndex(1);
  EXPECT_TRUE(reddish(sample(0))) << std::hex << sample(0);
  EXPECT_FALSE(reddish(sample(1))) << std::hex << sample(1);
  guitest::saveScreenshot(p.grab(0), "tab-control-inactive-colour");
}

// TabHeight sets the row's depth (the page area starts below it and its
// frame); 0 and negative heights give the natural depth.
TEST(TabControlWindow, TabHeightMovesThePageArea) {
  Program p(R"(
    dim form:0
    dim tabcontrol:0
    dim panel:0
    set form:0.ClientWidth = 300
    set form:0.ClientHeight = 200
    set tabcontrol:0.Parent = form:0
    set tabcontrol:0.AddTabs = "One", "Two"
    set panel:0.Parent = tabcontrol:0
    set panel:0.Align = 5
    set tabcontrol:0.TabHeight = -5
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  auto& tabs = objects::world(p.machine()).as<objects::TabControl>(objects::kTabControlType, 0);
  auto& page = dynamic_cast<objects::Control&>(objects::world(p.machine()).at(33, 0));
  auto* row = p.widget(objects::kTabControlType, 0)->findChild<QTabBar*>();
  const int natural = row->sizeHint().height();
  EXPECT_GT(natural, 10);
  EXPECT_EQ(page.top(), natural + 2);
  EXPECT_EQ(tabs.tabHeight(), -5);
  // The row's font deepens the row even when the unselected tabs have a
  // font of their own.
  tabs.setInactiveFont(gui::FontDesc{});
  tabs.font().size = 20;
  tabs.fontChanged();
  EXPECT_GT(page.top(), natural + 2) << "a bigger font deepens the row";
  tabs.setTabHeight(40);
  EXPECT_EQ(row->tabRect(0).height(), 40);
  EXPECT_EQ(page.top(), 42);
  EXPECT_EQ(page.left(), 2);
  EXPECT_EQ(page.width(), tabs.width() - 4);
  tabs.setTabPosition(1);
  EXPECT_EQ(page.top(), 2) << "the row at the bottom";
  EXPECT_EQ(page.height(), tabs.height() - 44);
}

// ---- Scroll bars

// A click on an arrow, a click on the track, a drag of the thumb and its
// release give the system's codes in its order; the handler's answer is
// taken and kept within Min and Max.
TEST(ScrollBarWindow, ScrollCodesInOrder) {
  Program p(R"(
    dim form:0
    dim scrollbar:0
    dim str:0
    dim int:0
    set form:0.ClientWidth = 300
    set form:0.ClientHeight = 100
    set scrollbar:0.Parent = form:0
    set scrollbar:0.Width = 200
    set scrollbar:0.LargeChange = 10
    set scrollbar:0.SmallChange = 2
    set scrollbar:0.OnScroll = scrolled
    set form:0.Show
    goto main
.proc scrolled
    let str:0 = str:0 + str(arg.double:0) + ":" + str(arg.double:1) + " "
    ifnot int:0 goto done
    let arg.double:1 = int:0
done:
    endproc
main:
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  auto* bar = qobject_cast<QScrollBar*>(p.widget(54, 0));
  ASSERT_NE(bar, nullptr);
  auto& vars = p.machine().vars;
  auto takeLog = [&] {
    const std::string log = p.text(0);
    vars.stringAt(0) = Str();
    return log;
  };

  click(bar, partOf(bar, QStyle::SC_ScrollBarAddLine).center());
  EXPECT_EQ(takeLog(), "1:2 8:2 ");
  click(bar, partOf(bar, QStyle::SC_ScrollBarAddPage).center());
  EXPECT_EQ(takeLog(), "3:12 8:12 ");

  const QRect thumb = partOf(bar, QStyle::SC_ScrollBarSlider);
  mouse(bar, QEvent::MouseButtonPress, thumb.center(), Qt::LeftButton);
  mouse(bar, QEvent::MouseMove, thumb.center() + QPoint(30, 0), Qt::LeftButton);
  mouse(bar, QEvent::MouseMove, thumb.center() + QPoint(60, 0), Qt::LeftButton);
  const int dragged = bar->value();
  mouse(bar, QEvent::MouseButtonRelease, thumb.center() + QPoint(60, 0), Qt::NoButton);
  const std::string log = takeLog();
  EXPECT_GT(dragged, 12);
  EXPECT_EQ(log.substr(0, 2), "5:");
  const std::string end = "4:" + std::to_string(dragged) + " 8:" + std::to_string(dragged) + " ";
  ASSERT_GE(log.size(), end.size());
  EXPECT_EQ(log.substr(log.size() - end.size()), end) << log;
  EXPECT_EQ(log.find("8:"), log.size() - end.size() + end.find("8:")) << "one end of the scroll: " << log;

  // The handler answers 1000: the position is Max, and the bar shows it.
  storeNumberTrunc(3, vars.scalarAt(3, 0), 1000);
  click(bar, partOf(bar, QStyle::SC_ScrollBarSubLine).center());
  EXPECT_EQ(bar->value(), 100);
  EXPECT_EQ(dynamic_cast<objects::ScrollBar&>(objects::world(p.machine()).at(54, 0)).position(), 100);
  EXPECT_EQ(takeLog(), "0:" + std::to_string(dragged - 2) + " 8:100 ");
}

// Keys scroll too: Home gives top, End bottom, each ended when the key is let go.
TEST(ScrollBarWindow, KeysGiveTopAndBottom) {
  Program p(R"(
    dim form:0
    dim scrollbar:0
    dim str:0
    set scrollbar:0.Parent = form:0
    set scrollbar:0.Kind = 1
    set scrollbar:0.Position = 40
    set scrollbar:0.OnScroll = scrolled
    set form:0.Show
    goto main
.proc scrolled
    let str:0 = str:0 + str(arg.double:0) + ":" + str(arg.double:1) + " "
    endproc
main:
)");
  ASSERT_EQ(p.run(), "");
  auto* bar = qobject_cast<QScrollBar*>(p.widget(54, 0));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->orientation(), Qt::Vertical);
  for (Qt::Key key : {Qt::Key_End, Qt::Key_Home}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(bar, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(bar, &release);
  }
  EXPECT_EQ(p.text(0), "7:100 8:100 6:0 8:0 ");
}

// ---- Images

namespace {

// A 20 x 10 bitmap: blue, a red block at the top left, a green pixel at the
// bottom left (the transparent colour); and a 10 x 10 icon whose left half
// is transparent.
struct Pictures {
  Pictures() {
    QImage bitmap(20, 10, QImage::Format_RGB32);
    bitmap.fill(qRgb(0, 0, 255));
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 10; ++x) bitmap.setPixel(x, y, qRgb(255, 0, 0));
    bitmap.setPixel(0, 9, qRgb(0, 255, 0));
    bitmap.save(dir.filePath("picture.bmp"));
    QImage icon(10, 10, QImage::Format_ARGB32);
    icon.fill(qRgba(255, 255, 0, 255));
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 5; ++x) icon.setPixel(x, y, qRgba(0, 0, 0, 0));
    icon.save(dir.filePath("icon.png"));
  }
  std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
  QTemporaryDir dir;
};

}  // namespace

TEST(ImageWindow, CornerCentreStretchAndTransparency) {
  Pictures files;
  Program p(R"(
    dim form:0
    dim int:0
    set form:0.ClientWidth = 400
    set form:0.ClientHeight = 200
    set form:0.Color = 16777215
    dim image[0](5)
    for int:0 = 0 to 5 step 1 else placed
place:
    set image[0](int:0).Parent = form:0
    set image[0](int:0).Left = 100 * (int:0 mod 4)
    set image[0](int:0).Top = 100 * (int:0 \ 4)
    set image[0](int:0).Width = 60
    set image[0](int:0).Height = 40
    ifnot int:0 < 4 goto next
    set image[0](int:0).Bitmap = ")" + files.path("picture.bmp") + R"("
next:
    next place
placed:
    set image[0](1).Center = 1
    set image[0](2).Stretch = 1
    set image[0](3).Transparent = 1
    set image[0](4).Icon = ")" + files.path("icon.png") + R"("
    set image[0](5).FillRect = 0, 0, 30, 20, 255
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  const QImage shot = p.grab(0);
  guitest::saveScreenshot(shot, "images");
  constexpr uint32_t kRed = 0x0000FF, kBlue = 0xFF0000, kWhite = 0xFFFFFF, kYellow = 0x00FFFF;
  EXPECT_EQ(Program::bgr(shot, 5, 2), kRed);
  EXPECT_EQ(Program::bgr(shot, 15, 2), kBlue);
  EXPECT_EQ(Program::bgr(shot, 0, 9), 0x00FF00u);
  EXPECT_EQ(Program::bgr(shot, 30, 20), kWhite) << "beside the picture: what is under the image";
  EXPECT_EQ(Program::bgr(shot, 100 + 20 + 5, 15 + 2), kRed) << "centred";
  EXPECT_EQ(Program::bgr(shot, 100 + 5, 2), kWhite);
  EXPECT_EQ(Program::bgr(shot, 200 + 14, 18), kRed) << "stretched three by four";
  EXPECT_EQ(Program::bgr(shot, 200 + 45, 18), kBlue);
  EXPECT_EQ(Program::bgr(shot, 200 + 45, 39), kBlue);
  EXPECT_EQ(Program::bgr(shot, 300, 9), kWhite) << "the bottom-left colour is left out";
  EXPECT_EQ(Program::bgr(shot, 301, 9), kBlue);
  EXPECT_EQ(Program::bgr(shot, 2, 105), kWhite) << "the icon's own transparency";
  EXPECT_EQ(Program::bgr(shot, 7, 105), kYellow);
  EXPECT_EQ(Program::bgr(shot, 100 + 29, 119), kRed) << "drawing on an empty image";
  EXPECT_EQ(Program::bgr(shot, 100 + 31, 119), kWhite) << "a new bitmap is white";
}

// What a program draws shows at the next paint; a picture read from an
// image is drawn elsewhere and copied with CopyRect; drawing on an icon
// is refused.
TEST(ImageWindow, DrawingShowsAndPicturesTravel) {
  Pictures files;
  Program p(R"(
    dim form:0
    dim image:0
    dim image:1
    dim rect:0
    dim rect:1
    set form:0.ClientWidth = 200
    set form:0.ClientHeight = 100
    set form:0.Color = 16777215
    set image:0.Parent = form:0
    set image:0.Bitmap = ")" + files.path("picture.bmp") + R"("
    set form:0.Show
    set form:0.Draw = 100, 50, image:0.Bitmap
    set rect:0.Left = 150
    set rect:0.Top = 50
    set rect:0.Right = 160
    set rect:0.Bottom = 55
    set rect:1.Right = 10
    set rect:1.Bottom = 5
    set form:0.CopyRect = rect:0, image:0, rect:1
    set image:1.Icon = ")" + files.path("icon.png") + R"("
    set image:1.Pset = 1, 1, 0
)");
  EXPECT_EQ(p.run(), "Can only modify an image if it contains a bitmap");
  guitest::settle();
  QImage shot = p.grab(0);
  EXPECT_EQ(Program::bgr(shot, 102, 52), 0x0000FFu);
  EXPECT_EQ(Program::bgr(shot, 155, 52), 0x0000FFu);
  auto& image = dynamic_cast<objects::CanvasOwner&>(objects::world(p.machine()).at(43, 0));
  image.canvasTarget().surface.state.brush = 0x00FF00;
  image.canvasTarget().surface.fillRect({10, 0, 20, 5});
  guitest::settle();
  shot = p.grab(0);
  EXPECT_EQ(Program::bgr(shot, 15, 2), 0x00FF00u);
}
