// What labels, panels and buttons show, checked by their pixels: raised
// and recessed text at its three offsets, turned text and its auto-size,
// greyed text, transparency, word wrap and alignment, bevels, glyphs, and
// the clicks of bitmap and flat buttons.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <functional>

#include "gui_support.h"
#include "objects/controls/buttons.h"
#include "objects/controls/label.h"
#include "objects/controls/panel.h"
#include "screenshots.h"
#include "toolkit/colors.h"
#include "toolkit/qt/qt_widget_peer.h"
#include "toolkit/toolkit.h"

using namespace kestrel;
using kestrel::guitest::Program;
using kestrel::guitest::mouse;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kBlue = 0xFF0000;

QRect boundsOf(Program& p, int type, int index) {
  auto& c = dynamic_cast<objects::Control&>(objects::world(p.machine()).at(type, index));
  const gui::Rect r = c.bounds();
  return QRect(r.left, r.top, r.width(), r.height());
}

void click(QWidget* w) {
  mouse(w, QEvent::MouseButtonPress, w->rect().center());
  mouse(w, QEvent::MouseButtonRelease, w->rect().center());
}

}  // namespace

// A raised text draws three times: the shadow moved down and right by one,
// the highlight moved up and left by one, the face where it belongs; a
// recessed text swaps the two colours.
TEST(LabelPicture, RaisedAndRecessedTextAtThreeOffsets) {
  Program p(R"(
    dim form:0
    dim int:0
    set form:0.Color = 16777215
    set form:0.ClientWidth = 200
    set form:0.ClientHeight = 150
    dim label[0](2)
    for int:0 = 0 to 2 step 1 else placed
place:
    set label[0](int:0).AutoSize = 0
    set label[0](int:0).Parent = form:0
    set label[0](int:0).Left = 20
    set label[0](int:0).Top = 10 + 45 * int:0
    set label[0](int:0).Width = 150
    set label[0](int:0).Height = 40
    set label[0](int:0).Alignment = 2
    set label[0](int:0).Layout = 1
    set label[0](int:0).FontSize = 14
    set label[0](int:0).FontColor = 0
    set label[0](int:0).UpperColor = 255
    set label[0](int:0).LowerColor = 16711680
    set label[0](int:0).TextStyle = int:0
    set label[0](int:0).Caption = "Kestrel &Labels"
    next place
placed:
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  const QImage shot = p.grab(0);
  guitest::saveScreenshot(shot, "label-raised-recessed");
  const QRect plain(20, 10, 150, 40);
  auto face = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < plain.width() && y < plain.height() &&
           Program::bgr(shot, plain.left() + x, plain.top() + y) != kWhite;
  };
  ASSERT_GT(guitest::inkCount(shot, plain, kWhite), 50);
  for (int style = 1; style <= 2; ++style) {
    const uint32_t upper = style == 1 ? kRed : kBlue;
    const uint32_t lower = style == 1 ? kBlue : kRed;
    const QPoint origin(20, 10 + 45 * style);
    int wrong = 0;
    for (int y = 0; y < plain.height(); ++y)
      for (int x = 0; x < plain.width(); ++x) {
        uint32_t want = kWhite;
        if (face(x, y)) want = Program::bgr(shot, plain.left() + x, plain.top() + y);
        else if (face(x + 1, y + 1)) want = upper;
        else if (face(x - 1, y - 1)) want = lower;
        if (Program::bgr(shot, origin.x() + x, origin.y() + y) != want) ++wrong;
      }
    EXPECT_EQ(wrong, 0) << "text style " << style;
  }
}

// Turned a quarter with AutoSize on, the label is as wide as the text is
// high and as high as it is wide, and the turned text fills that box.
TEST(LabelPicture, QuarterTurnSwapsWidthAndHeight) {
  Program p(R"(
    dim form:0
    dim label:0
    dim label:1
    dim int:3
    set form:0.Color = 16777215
    set form:0.ClientWidth = 200
    set form:0.ClientHeight = 150
    set label:0.Parent = form:0
    set label:0.Left = 10
    set label:0.Top = 10
    set label:0.FontColor = 0
    set label:0.Caption = "Kestrel"
    set label:1.Parent = form:0
    set label:1.Left = 120
    set label:1.Top = 10
    set label:1.FontColor = 0
    set label:1.Escapement = 90
    set label:1.Caption = "Kestrel"
    let int:0 = form:0.TextWidth("Kestrel")
    let int:1 = form:0.TextHeight("Kestrel")
    let int:2 = label:1.Width
    let int:3 = label:1.Height
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  EXPECT_GT(p.integer(0), p.integer(1));
  EXPECT_EQ(p.integer(2), p.integer(1));
  EXPECT_EQ(p.integer(3), p.integer(0));
  const QImage shot = p.grab(0);
  guitest::saveScreenshot(shot, "label-quarter-turn");
  const QRect flat = boundsOf(p, objects::kLabelType, 0);
  const QRect turned = boundsOf(p, objects::kLabelType, 1);
  EXPECT_EQ(turned.size(), flat.size().transposed());
  // All the ink is inside the label, and it runs up the label.
  const QRect around = turned.adjusted(-8, -8, 8, 8);
  const QRect ink = guitest::inkBounds(shot, around, kWhite);
  EXPECT_TRUE(turned.contains(ink)) << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
  EXPECT_GT(ink.height(), 2 * ink.width());
  // The turned picture is the flat one turned: the text reads upward.
  const QImage flatPart = shot.copy(flat);
  const QImage turnedPart = shot.copy(turned);
  int agree = 0, inked = 0;
  for (int y = 0; y < flatPart.height(); ++y)
    for (int x = 0; x < flatPart.width(); ++x) {
      const bool a = Program::bgr(flatPart, x, y) != kWhite;
      const bool b = Program::bgr(turnedPart, y, flatPart.width() - 1 - x) != kWhite;
      if (a || b) ++inked;
      if (a && b) ++agree;
    }
  EXPECT_GT(agree, inked * 7 / 10);
}

// Disabled, the face takes the grey-text colour whatever the font colour;
// transparent, the form's picture shows around the text; word wrap breaks
// the caption into lines, and right alignment puts them at the right.
TEST(LabelPicture, DisabledTransparentWrappedAndAligned) {
  Program p(R"(
    dim form:0
    dim label:0
    dim label:1
    dim label:2
    set form:0.Color = 16777215
    set form:0.ClientWidth = 240
    set form:0.ClientHeight = 160
    set form:0.FillRect = 0, 60, 240, 100, 65280
    set label:0.Parent = form:0
    set label:0.Left = 10
    set label:0.Top = 10
    set label:0.FontColor = 255
    set label:0.Enabled = 0
    set label:0.Caption = "Greyed"
    set label:1.Parent = form:0
    set label:1.Left = 10
    set label:1.Top = 70
    set label:1.FontColor = 0
    set label:1.Transparent = 1
    set label:1.Caption = "See through"
    set label:2.AutoSize = 0
    set label:2.Parent = form:0
    set label:2.Left = 120
    set label:2.Top = 10
    set label:2.Width = 60
    set label:2.Height = 48
    set label:2.Color = 16777215
    set label:2.WordWrap = 1
    set label:2.Alignment = 1
    set label:2.FontColor = 0
    set label:2.Caption = "one two three"
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  const QImage shot = p.grab(0);
  guitest::saveScreenshot(shot, "label-disabled-transparent-wrapped");
  const uint32_t grey = toolkit().systemColor(17);
  const QRect greyed = boundsOf(p, objects::kLabelType, 0);
  const uint32_t face = kWhite;  // a label takes its form's colour
  int greyPixels = 0, other = 0;
  for (int y = greyed.top(); y <= greyed.bottom(); ++y)
    for (int x = greyed.left(); x <= greyed.right(); ++x) {
      const uint32_t c = Program::bgr(shot, x, y);
      if (c == grey) ++greyPixels;
      else if (c != face) ++other;
    }
  EXPECT_GT(greyPixels, 20);
  EXPECT_EQ(other, 0);

  const QRect clear = boundsOf(p, objects::kLabelType, 1);
  int green = 0, black = 0, elsewise = 0;
  for (int y = clear.top(); y <= clear.bottom(); ++y)
    for (int x = clear.left(); x <= clear.right(); ++x) {
      const uint32_t c = Program::bgr(shot, x, y);
      if (c == 0x00FF00) ++green;
      else if (c == 0) ++black;
      else if (y >= 60 && y < 100) ++elsewise;
    }
  EXPECT_GT(green, black);
  EXPECT_GT(black, 20);
  EXPECT_EQ(elsewise, 0);

  const QRect wrapped(120, 10, 60, 48);
  const QRect ink = guitest::inkBounds(shot, wrapped, kWhite);
  EXPECT_GE(ink.height(), 20) << "several lines";
  EXPECT_GE(ink.right(), wrapped.right() - 3) << "aligned right";
  EXPECT_GT(ink.left(), wrapped.left());
}

// A panel's bevels: the outer one raised (highlight top-left, shadow
// bottom-right), the inner one lowered; the caption in the middle; a
// child label inside it where the panel says.
TEST(PanelPicture, BevelsCaptionAndChildren) {
  Program p(R"(
    dim form:0
    dim panel:0
    dim label:0
    set form:0.ClientWidth = 220
    set form:0.ClientHeight = 120
    set panel:0.Parent = form:0
    set panel:0.Left = 10
    set panel:0.Top = 10
    set panel:0.Width = 200
    set panel:0.Height = 100
    set panel:0.Color = 16777215
    set panel:0.BevelWidth = 2
    set panel:0.BevelInner = 1
    set panel:0.Caption = "Panel"
    set panel:0.FontColor = 0
    set label:0.Parent = panel:0
    set label:0.Left = 10
    set label:0.Top = 10
    set label:0.Color = 255
    set label:0.Caption = "Inside"
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  const QImage shot = p.grab(0);
  guitest::saveScreenshot(shot, "panel-bevels");
  const uint32_t highlight = toolkit().systemColor(20);
  const uint32_t shadow = toolkit().systemColor(16);
  EXPECT_EQ(Program::bgr(shot, 10, 10), highlight);
  EXPECT_EQ(Program::bgr(shot, 11, 50), highlight);
  EXPECT_EQ(Program::bgr(shot, 209, 109), shadow);
  EXPECT_EQ(Program::bgr(shot, 100, 108), shadow);
  EXPECT_EQ(Program::bgr(shot, 12, 50), shadow) << "the inner bevel is lowered";
  EXPECT_EQ(Program::bgr(shot, 207, 50), highlight);
  EXPECT_EQ(Program::bgr(shot, 16, 80), kWhite) << "the face";
  const QRect caption = guitest::inkBounds(shot, QRect(60, 40, 110, 40), kWhite);
  EXPECT_NEAR(caption.center().x(), 110, 3);
  EXPECT_NEAR(caption.center().y(), 60, 3);
  EXPECT_EQ(Program::bgr(shot, 21, 21), kRed) << "the label inside the panel";
}

// Buttons: a glyph above the caption; a click gives the modal form the
// button's modal result; a flat button of a group stays down; a Close
// button closes its form.
TEST(ButtonPicture, GlyphAboveCaptionAndClicks) {
  Program p(R"(
    dim form:0
    dim bitbtn:0
    dim bitbtn:1
    dim speedbtn:0
    dim speedbtn:1
    dim bitmap:0
    dim int:1
    dim str:0
    goto main
.proc flatclick
    let str:0 = str:0 + arg.speedbtn:0.Caption + str(arg.speedbtn:0.Down)
    endproc
.proc okclick
    let str:0 = str:0 + "ok"
    endproc
main:
    set bitmap:0.Width = 16
    set bitmap:0.Height = 16
    set bitmap:0.FillRect = 0, 0, 16, 16, 16777215
    set bitmap:0.FillRect = 2, 2, 14, 14, 255
    set form:0.ClientWidth = 240
    set form:0.ClientHeight = 140
    set bitbtn:0.Parent = form:0
    set bitbtn:0.Left = 10
    set bitbtn:0.Top = 10
    set bitbtn:0.Width = 100
    set bitbtn:0.Height = 60
    set bitbtn:0.Caption = "Stop"
    set bitbtn:0.Layout = 2
    set bitbtn:0.Glyph = bitmap:0.Picture
    set bitbtn:0.ModalResult = 4
    set bitbtn:0.OnClick = okclick
    set bitbtn:1.Parent = form:0
    set bitbtn:1.Left = 120
    set bitbtn:1.Top = 10
    set bitbtn:1.Kind = 6
    set bitbtn:1.OnClick = okclick
    set speedbtn:0.Parent = form:0
    set speedbtn:0.Left = 10
    set speedbtn:0.Top = 100
    set speedbtn:0.Caption = "A"
    set speedbtn:0.GroupIndex = 3
    set speedbtn:0.OnClick = flatclick
    set speedbtn:1.Parent = form:0
    set speedbtn:1.Left = 40
    set speedbtn:1.Top = 100
    set speedbtn:1.Caption = "B"
    set speedbtn:1.GroupIndex = 3
    set speedbtn:1.OnClick = flatclick
    let int:0 = form:0.ShowModal
    let int:1 = form:0.ShowModal
)");
  QImage shot;
  std::vector<std::function<void()>> steps;
  QTimer::singleShot(20, [&] {
    guitest::settle();
    shot = p.grab(0);
    click(p.widget(objects::kFlatButtonType, 0));
    click(p.widget(objects::kFlatButtonType, 1));
    click(p.widget(objects::kBitmapButtonType, 0));  // ends the first modal run
    QTimer::singleShot(20, [&] { click(p.widget(objects::kBitmapButtonType, 1)); });
  });
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.integer(0), 4);
  EXPECT_EQ(p.integer(1), 2) << "the Close button closed the form";
  EXPECT_EQ(p.text(0), "A1B1ok") << "a Close button runs no click handler";
  ASSERT_FALSE(shot.isNull());
  guitest::saveScreenshot(shot, "buttons");
  // The glyph (its white border left out) is above the caption.
  const QRect button(10, 10, 100, 60);
  QRect glyph;
  for (int y = button.top(); y <= button.bottom(); ++y)
    for (int x = button.left(); x <= button.right(); ++x)
      if (Program::bgr(shot, x, y) == kRed) glyph = glyph.united(QRect(x, y, 1, 1));
  EXPECT_EQ(glyph.size(), QSize(12, 12));
  EXPECT_NEAR(glyph.center().x(), button.center().x(), 2);
  EXPECT_LT(glyph.bottom(), button.center().y());
  EXPECT_NE(Program::bgr(shot, glyph.left() - 1, glyph.top()), kWhite) << "the transparent colour is left out";
}

// DragMove from a mouse-down handler: the button follows the mouse until
// it is let go, with the start- and end-drag handlers and no click.
TEST(ButtonEvents, DragMoveFollowsTheMouse) {
  Program p(R"(
    dim form:0
    dim bitbtn:0
    dim str:0
    goto main
.proc down
    let str:0 = str:0 + "d"
    set arg.bitbtn:4.DragMove
    endproc
.proc started
    let str:0 = str:0 + "s" + arg.bitbtn:0.Caption
    endproc
.proc ended
    let str:0 = str:0 + "e"
    endproc
.proc clicked
    let str:0 = str:0 + "c"
    endproc
main:
    set form:0.ClientWidth = 200
    set form:0.ClientHeight = 120
    set bitbtn:0.Parent = form:0
    set bitbtn:0.Left = 10
    set bitbtn:0.Top = 10
    set bitbtn:0.Caption = "Move"
    set bitbtn:0.OnMouseDown = down
    set bitbtn:0.OnStartDrag = started
    set bitbtn:0.OnEndDrag = ended
    set bitbtn:0.OnClick = clicked
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  QWidget* w = p.widget(objects::kBitmapButtonType, 0);
  const QPoint from = w->mapToGlobal(QPoint(5, 5));
  const QPoint to = w->mapToGlobal(QPoint(35, 25));
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(from), Qt::LeftButton, Qt::LeftButton, {});
  QApplication::sendEvent(w, &press);
  QMouseEvent move(QEvent::MouseMove, QPointF(35, 25), QPointF(to), Qt::NoButton, Qt::LeftButton, {});
  QApplication::sendEvent(w, &move);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(to), Qt::LeftButton, Qt::NoButton, {});
  QApplication::sendEvent(w, &release);
  EXPECT_EQ(p.text(0), "dsMovee");
  EXPECT_EQ(boundsOf(p, objects::kBitmapButtonType, 0).topLeft(), QPoint(40, 30));
  EXPECT_EQ(w->pos(), QPoint(40, 30));
  // An ordinary press and release afterwards is a click again.
  p.machine().vars.stringAt(0) = Str("");
  objects::world(p.machine())
      .as<objects::BitmapButton>(objects::kBitmapButtonType, 0)
      .bindHandler(gui::EventKind::MouseDown, 0);
  click(w);
  EXPECT_EQ(p.text(0), "c");
}

// A label's message hook gets the window handle, the message and both
// parameters; clicks and double clicks reach a label's and a panel's
// handlers with the sender.
TEST(LabelEvents, MessageHookClicksAndDoubleClicks) {
  Program p(R"(
    dim form:0
    dim label:0
    dim panel:0
    dim str:0
    goto main
.proc hook
    // Only the program's own messages: the mouse's reach the hook too.
    ifnot arg.double:1 >= 1024 goto hookdone
    let str:0 = str:0 + "m" + str(arg.double:1) + "," + str(arg.double:2) + "," + str(arg.double:3)
    let double:0 = arg.double:0
hookdone:
    endproc
.proc lclick
    let str:0 = str:0 + "c" + arg.label:0.Caption
    endproc
.proc ldouble
    let str:0 = str:0 + "2" + arg.label:0.Caption
    endproc
.proc pclick
    let str:0 = str:0 + "p" + arg.panel:0.Caption
    endproc
.proc pdown
    let str:0 = str:0 + "D" + str(arg.double:1) + arg.panel:4.Caption
    endproc
main:
    dim double:0
    set form:0.ClientWidth = 200
    set form:0.ClientHeight = 120
    set label:0.Parent = form:0
    set label:0.Caption = "L"
    set label:0.OnMessage = hook
    set label:0.OnClick = lclick
    set label:0.OnDblClick = ldouble
    set panel:0.Parent = form:0
    set panel:0.Top = 50
    set panel:0.Caption = "P"
    set panel:0.OnClick = pclick
    set panel:0.OnMouseDown = pdown
    set form:0.Show
)");
  ASSERT_EQ(p.run(), "");
  guitest::settle();
  auto& label = objects::world(p.machine()).as<objects::Label>(objects::kLabelType, 0);
  EXPECT_EQ(toolkit().sendMessage(label.handle(), 1050, 7, 9), 0);
  EXPECT_EQ(p.text(0), "m1050,7,9");
  EXPECT_EQ(p.number(7, 0), static_cast<double>(label.handle()));
  p.machine().vars.stringAt(0) = Str("");
  QWidget* l = p.widget(objects::kLabelType, 0);
  click(l);
  QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(2, 2), l->mapToGlobal(QPointF(2, 2)), Qt::LeftButton,
                    Qt::LeftButton, {});
  QApplication::sendEvent(l, &twice);
  click(p.widget(objects::kPanelType, 0));
  EXPECT_EQ(p.text(0), "cL2LD92PpP");
}

// Enter clicks the default button and Escape the cancel button of the
// window that has the keys; a disabled one is not clicked.
TEST(ButtonEvents, EnterAndEscapeClickDefaultAndCancel) {
  Program p(R"(
    dim form:0
    dim bitbtn:0
    dim bitbtn:1
    dim bitbtn:2
    dim int:1
    set form:0.ClientWidth = 300
    set form:0.ClientHeight = 100
    set bitbtn:0.Parent = form:0
    set bitbtn:0.Kind = 1
    set bitbtn:1.Parent = form:0
    set bitbtn:1.Left = 100
    set bitbtn:1.Kind = 2
    set bitbtn:2.Parent = form:0
    set bitbtn:2.Left = 200
    set bitbtn:2.Caption = "Other"
    let int:0 = form:0.ShowModal
    set bitbtn:0.Enabled = 0
    let int:1 = form:0.ShowModal
)");
  int step = 0;
  std::function<void()> press;
  press = [&] {
    QWidget* form = p.form(0);
    if (!form->isVisible()) {
      QTimer::singleShot(10, press);
      return;
    }
    form->activateWindow();
    QApplication::setActiveWindow(form);
    p.widget(objects::kBitmapButtonType, 2)->setFocus();
    guitest::settle();
    QTest::keyClick(p.widget(objects::kBitmapButtonType, 2), step < 2 ? Qt::Key_Return : Qt::Key_Escape);
    ++step;
    if (step < 3) QTimer::singleShot(30, press);
  };
  QTimer::singleShot(20, press);
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.integer(0), 1) << "Enter: OK";
  EXPECT_EQ(p.integer(1), 2) << "Enter on a disabled OK does nothing; Escape: Cancel";
  EXPECT_EQ(step, 3);
}
