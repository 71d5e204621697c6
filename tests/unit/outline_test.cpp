// Outlines on the null toolkit: the index errors of items and lines, and
// where new items go.
#include <gtest/gtest.h>

#include <string>

#include "asm/kasm.h"
#include "core/machine.h"
#include "image/program_image.h"
#include "objects/controls/outline.h"

using namespace kestrel;
using namespace kestrel::objects;

namespace {

std::string runOutline(const std::string& body) {
  Machine m(parseImage(kasm::assemble("    dim outline:0\n    set outline:0.AddLine = \"a\"\n" + body)));
  try {
    m.run();
  } catch (const RuntimeError& e) {
    return e.what();
  }
  std::string out;
  auto& o = world(m).as<Outline>(kOutlineType, 0);
  for (int32_t i = 0; i < o.lineCount(); ++i)
    out += std::string(static_cast<size_t>(NodeTree::level(o.items().at(i))), '.') + o.lineText(i).str() + " ";
  return out;
}

}  // namespace

TEST(Outlines, IndexErrors) {
  EXPECT_EQ(runOutline("    set outline:0.AddChild = 2, \"x\"\n"), "Invalid outline index") << "past the count";
  EXPECT_EQ(runOutline("    set outline:0.AddChild = -1, \"x\"\n"), "Invalid outline index");
  EXPECT_EQ(runOutline("    set outline:0.Insert = 5, \"x\"\n"), "Invalid outline index");
  EXPECT_EQ(runOutline("    set outline:0.SelectedItem = 2\n"), "Invalid outline index");
  EXPECT_EQ(runOutline("    stdout outline:0.Line(1)\n"), "List index out of bounds (1)");
  EXPECT_EQ(runOutline("    set outline:0.Line = -1, \"x\"\n"), "List index out of bounds (-1)");
  EXPECT_EQ(runOutline("    set outline:0.DeleteLine = 1\n"), "List index out of bounds (1)");
  EXPECT_EQ(runOutline("    set outline:0.AddLine = chr(9) + chr(9) + \"deep\"\n"),
            "Invalid level (2) for item \"deep\"");
}

TEST(Outlines, WhereItemsGo) {
  EXPECT_EQ(runOutline(R"(
    set outline:0.AddLine = chr(9) + "a1"
    set outline:0.AddLine = chr(9) + chr(9) + "a11"
    set outline:0.AddLine = chr(9) + "a2"
    set outline:0.AddChild = 0, "top"
    set outline:0.Insert = 0, "end"
    set outline:0.Insert = 2, "a0"
    set outline:0.AddChild = 3, "a12"
    set outline:0.OutlineStyle = 6
)"),
            "a .a0 .a1 ..a11 ..a12 .a2 top end ");
}
