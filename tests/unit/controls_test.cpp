// Labels, buttons and panels on the null toolkit: the turned-text geometry
// in each quarter, the escapement's normal form, and the rules that need
// no window system (flat button groups, bitmap button kinds, the glyph
// operands, what the members read from the byte code).
#include <gtest/gtest.h>

#include <string>

#include "asm/kasm.h"
#include "image/program_image.h"
#include "core/machine.h"
#include "objects/controls/buttons.h"
#include "objects/controls/label.h"
#include "objects/controls/panel.h"
#include "objects/controls/turned_text.h"
#include "state/store_kinds.h"
#include "toolkit/gui_types.h"

using namespace kestrel;
using namespace kestrel::objects;

namespace {

struct ControlProgram {
  explicit ControlProgram(const std::string& source) : m(parseImage(kasm::assemble(source))) {}
  std::string run() {
    try {
      m.run();
    } catch (const RuntimeError& e) {
      return e.what();
    }
    return "";
  }
  double number(int kind, int index) { return loadNumber(kind, m.vars.scalarAt(kind, index)); }
  Machine m;
};

}  // namespace

TEST(TurnedText, EscapementComesIntoZeroTo360) {
  EXPECT_EQ(normaliseEscapement(-90), 270);
  EXPECT_EQ(normaliseEscapement(450), 90);
  EXPECT_EQ(normaliseEscapement(360), 360);
  EXPECT_EQ(normaliseEscapement(720), 360);
  EXPECT_EQ(normaliseEscapement(721), 1);
  EXPECT_EQ(normaliseEscapement(-360), 0);
  EXPECT_EQ(normaliseEscapement(-361), 359);
  EXPECT_EQ(normaliseEscapement(0), 0);
  EXPECT_EQ(normaliseEscapement(-2147483648LL), 232);
  EXPECT_EQ(normaliseEscapement(2147483647LL), 127);
}

// A text 100 wide and 20 high: the start point keeps the turned cell in
// the box, and the box is the turned cell's bounds (each product cut
// toward zero).
TEST(TurnedText, StartPointAndBoxInEachQuarter) {
  struct Case {
    int32_t angle, dx, dy, width, height;
  };
  const Case cases[] = {
      {0, 0, 0, 100, 20},    {45, 0, 70, 84, 84},    {90, 0, 100, 20, 100}, {135, 70, 84, 84, 84},
      {180, 100, 20, 100, 20}, {225, 84, 14, 84, 84}, {270, 20, 0, 20, 100}, {315, 14, 0, 84, 84},
      {360, 0, 0, 100, 20},
  };
  for (const Case& c : cases) {
    const TurnedText t = turnText(c.angle, 100, 20);
    EXPECT_EQ(t.dx, c.dx) << c.angle;
    EXPECT_EQ(t.dy, c.dy) << c.angle;
    EXPECT_EQ(t.width, c.width) << c.angle;
    EXPECT_EQ(t.height, c.height) << c.angle;
  }
}

TEST(Labels, DefaultsAndFlags) {
  ControlProgram r(R"(
    dim label:0
    dim int:9
    let int:0 = label:0.AutoSize
    set label:0.AutoSize = -0.3
    let int:1 = label:0.AutoSize
    set label:0.AutoSize = 0
    let int:2 = label:0.AutoSize
    set label:0.Enabled = -1
    let int:3 = label:0.Enabled
    set label:0.Transparent = 257
    let int:4 = label:0.Transparent
    set label:0.Escapement = 3.5
    let int:5 = label:0.Escapement
    set label:0.Width = 120
    let int:6 = label:0.Width
    let int:7 = label:0.Alignment
    let int:8 = label:0.Handle
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.number(3, 0), 1);
  EXPECT_EQ(r.number(3, 1), 1) << "any value but 0";
  EXPECT_EQ(r.number(3, 2), 0);
  EXPECT_EQ(r.number(3, 3), 255);
  EXPECT_EQ(r.number(3, 4), 1);
  EXPECT_EQ(r.number(3, 5), 4) << "rounded, ties to even";
  EXPECT_EQ(r.number(3, 6), 120) << "a width set stays until the text changes";
  EXPECT_EQ(r.number(3, 7), 0);
  EXPECT_NE(r.number(3, 8), 0);
}

// Kinds set caption, modal result and keys; custom leaves them.
TEST(BitmapButtons, KindsAndKeys) {
  ControlProgram r(R"(
    dim bitbtn:0
    set bitbtn:0.Kind = 4
)");
  ASSERT_EQ(r.run(), "");
  auto& b = world(r.m).as<BitmapButton>(kBitmapButtonType, 0);
  EXPECT_EQ(b.caption().str(), "&Yes");
  EXPECT_EQ(b.modalResult, 6);
  EXPECT_EQ(b.isDefault(), 1);
  EXPECT_EQ(b.peer().look().kind, 4);
  b.setKind(kKindCustom);
  EXPECT_EQ(b.caption().str(), "&Yes");
  EXPECT_EQ(b.peer().look().kind, 0);
  b.setKind(kKindCancel);
  EXPECT_EQ(b.isDefault(), 0);
  EXPECT_EQ(b.cancel(), 1);
  EXPECT_EQ(b.modalResult, 2);
  b.setKind(77);  // no such kind: nothing but the number changes
  EXPECT_EQ(b.kind(), 77);
  EXPECT_EQ(b.caption().str(), "Cancel");
}

// The two DragMove members read different operands: the bitmap button's
// one byte, the flat button's none; the statements after them run.
TEST(Buttons, DragMoveOperands) {
  ControlProgram r(R"(
    dim bitbtn:0
    dim speedbtn:0
    dim int:1
    set bitbtn:0.DragMove
    set speedbtn:0.DragMove
    let int:0 = 5
    set bitbtn:0.GlyphResource = 0
)");
  EXPECT_EQ(r.run(), "List index out of bounds (0)");
  EXPECT_EQ(r.number(3, 0), 5);
}

TEST(Buttons, GlyphFilesInTheSandbox) {
  ControlProgram sandboxed(R"(
    dim speedbtn:0
    set speedbtn:0.Glyph = "a.bmp"
)");
  sandboxed.m.options.sandbox = true;
  EXPECT_NE(sandboxed.run().find("files are not available in the sandbox"), std::string::npos);
}

TEST(Panels, DefaultsAndDocking) {
  ControlProgram r(R"(
    dim panel:0
    dim panel:1
    set panel:1.Parent = panel:0
    set panel:1.Align = 1
    set panel:1.Height = 10
    set panel:0.BevelWidth = -4
    set panel:0.BevelInner = 2
    set panel:0.Width = 100
)");
  ASSERT_EQ(r.run(), "");
  auto& outer = world(r.m).as<Panel>(kPanelType, 0);
  auto& inner = world(r.m).as<Panel>(kPanelType, 1);
  EXPECT_EQ(inner.bounds(), (gui::Rect{0, 0, 100, 10})) << "a negative bevel takes no room";
  outer.setBevelWidth(1000000000);
  EXPECT_EQ(inner.bounds().width(), 0);
  EXPECT_EQ(outer.alignment(), 2);
}

TEST(Fonts, HugeSizesDoNotOverflow) {
  gui::FontDesc font;
  font.size = 2000000000;
  EXPECT_EQ(font.pixelHeight(), gui::kMaxFontPixels);
  font.size = -2000000000;
  EXPECT_EQ(font.pixelHeight(), -gui::kMaxFontPixels);
}

// An outer size near the 32-bit limits leaves an empty client area rather
// than overflowing when the frame is taken off.
TEST(Forms, ExtremeOuterSizesGiveAnEmptyClient) {
  ControlProgram r(R"(
    dim form:0
    set form:0.Height = -2147483640
    set form:0.Width = -2147483647
    dim int:1
    let int:0 = form:0.ClientHeight
    let int:1 = form:0.ClientWidth
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.number(3, 0), 0);
  EXPECT_EQ(r.number(3, 1), 0);
}
