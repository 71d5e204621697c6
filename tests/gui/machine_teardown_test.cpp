// A machine that goes away with its windows still open: closing them makes
// Qt report focus and visibility changes, and no handler may run for them
// once the machine is being taken apart.
#include <gtest/gtest.h>

#include "gui_support.h"

using namespace kestrel;
using kestrel::guitest::Program;

TEST(MachineTeardown, HooksDoNotRunWhileTheWindowsClose) {
  std::string output;
  {
    Program p(R"(
    dim int:0
    dim form:0
    dim listbox:0
    dim edit:0
    goto main
.proc hook
    let int:0 = int:0 + 1
    stdout "hook " + str(arg.double:1)
    endproc
main:
    set listbox:0.Parent = form:0
    set edit:0.Parent = form:0
    set edit:0.Top = 100
    set listbox:0.OnMessage = hook
    set edit:0.OnMessage = hook
    set form:0.Show
)");
    p.machine().out.captureInto(&output);
    ASSERT_EQ(p.run(), "");
    guitest::settle();
    p.machine().out.flush();
    output.clear();
  }
  EXPECT_EQ(output, "") << "a hook ran while the machine went away";
}
