// The menu tree's rules without a window system: an item has one parent
// and never goes inside itself, places past the count are errors, and a
// failed insertion leaves the tree as it was.
#include <gtest/gtest.h>

#include <string>

#include "asm/kasm.h"
#include "core/machine.h"
#include "image/program_image.h"
#include "state/errors.h"
#include "state/store_kinds.h"

using namespace kestrel;

namespace {

struct MenuProgram {
  explicit MenuProgram(const std::string& source)
      : m(parseImage(kasm::assemble("    dim mainmenu:0\n    dim popupmenu:0\n    dim menuitem:4\n    dim int:0\n" +
                                    source + "\n    let int:0 = menuitem:0.Count\n"))) {}
  std::string run() {
    try {
      m.run();
    } catch (const RuntimeError& e) {
      return e.what();
    }
    return "";
  }
  int32_t count() { return static_cast<int32_t>(loadNumber(3, m.vars.scalarAt(3, 0))); }
  Machine m;
};

}  // namespace

TEST(MenuRules, AnItemHasOneParentAndNeverHoldsItself) {
  struct Case {
    const char* source;
    const char* error;
  };
  const Case cases[] = {
      {"set menuitem:0.AddItems = menuitem:0", "Menu inserted twice"},
      {"set menuitem:0.AddItems = menuitem:1\n set menuitem:1.AddItems = menuitem:2\n"
       " set menuitem:2.AddItems = menuitem:0",
       "Menu inserted twice"},
      {"set menuitem:0.AddItems = menuitem:1\n set popupmenu:0.AddItems = menuitem:1", "Menu inserted twice"},
      {"set popupmenu:0.AddItems = menuitem:1\n set menuitem:0.InsertItem = 0, menuitem:1", "Menu inserted twice"},
      {"set menuitem:0.AddItems = menuitem:1, menuitem:1", "Menu inserted twice"},
      {"set menuitem:0.InsertItem = 1, menuitem:1", "Menu index out of range"},
      {"set menuitem:0.AddItems = menuitem:1\n set menuitem:0.InsertItem = 258, menuitem:2", "Menu index out of range"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    MenuProgram p(c.source);
    EXPECT_EQ(p.run(), c.error);
  }
}

TEST(MenuRules, PlacesUseTheIndexsLowByte) {
  MenuProgram p(R"(
    set menuitem:0.AddItems = menuitem:1
    set menuitem:0.InsertItem = 256, menuitem:2
    set menuitem:0.InsertItem = 513, menuitem:3
)");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.count(), 3);
}

// Before Form a main menu reads its operands and keeps nothing: the item
// is free for another menu afterwards.
TEST(MenuRules, MainMenuBeforeItsForm) {
  MenuProgram p(R"(
    set mainmenu:0.AddItems = menuitem:1, menuitem:2
    set mainmenu:0.InsertItem = 7, menuitem:3
    set menuitem:0.AddItems = menuitem:1, menuitem:2, menuitem:3
)");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.count(), 3);
}
