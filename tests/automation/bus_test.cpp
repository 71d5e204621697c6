// Automation objects on a real session bus: the test service
// (test_service.cpp) started by the bus's activation, called through the
// Qt toolkit's bus with every argument and result type, errors, the
// time-out, objects that properties name. Runs under dbus-run-session.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include "asm/kasm.h"
#include "core/machine.h"
#include "image/program_image.h"
#include "ole/automation_object.h"
#include "ole/ole_errors.h"
#include "state/store_kinds.h"
#include "toolkit/qt/qt_toolkit.h"

using namespace kestrel;

namespace {

// A program that creates automation:0 on the test service, then runs `body`.
struct Program {
  explicit Program(const std::string& body) {
    std::string s = "    dim automation:3\n    dim container:0\n";
    for (int i = 0; i < 10; ++i) s += "    dim double:" + std::to_string(i) + "\n";
    for (int i = 0; i < 5; ++i) s += "    dim str:" + std::to_string(i) + "\n";
    s += "    set automation:0.Create = \"org.kestrel.TestService\"\n";
    m = std::make_unique<Machine>(parseImage(kasm::assemble(s + body)));
  }
  std::string run() {
    try {
      m->run();
    } catch (const RuntimeError& e) {
      return e.what();
    }
    return "";
  }
  double number(int index) { return loadNumber(7, m->vars.scalarAt(7, index)); }
  std::string text(int index) { return m->vars.stringAt(index).str(); }
  std::unique_ptr<Machine> m;
};

}  // namespace

TEST(AutomationBus, EachArgumentTypeGoesAndComesBack) {
  Program p(R"(
    let double:0 = automation:0.Invoke("EchoByte", 200)
    let double:1 = automation:0.Invoke("EchoInt16", -5.5) + automation:0.Invoke("EchoUInt16", 65535)
    let double:2 = automation:0.Invoke("EchoInt32", -7)
    let double:3 = automation:0.Invoke("EchoUInt32", 4000000000)
    let double:4 = automation:0.Invoke("EchoInt64", -3000000000000)
    let double:5 = automation:0.Invoke("EchoUInt64", 10000000000000000000)
    let double:6 = automation:0.Invoke("EchoDouble", "0.125")
    let double:7 = automation:0.Invoke("EchoBool", 1) * 10 + automation:0.Invoke("EchoBool", 0)
    let str:0 = automation:0.Invoke("EchoString", "caf" + chr(233))
    let str:1 = automation:0.Invoke("EchoPath", "/a/b")
    let str:2 = automation:0.Invoke("EchoString", 2.5)
  )");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.number(0), 200);
  EXPECT_EQ(p.number(1), -6 + 65535);
  EXPECT_EQ(p.number(2), -7);
  EXPECT_EQ(p.number(3), 4000000000.0);
  EXPECT_EQ(p.number(4), -3000000000000.0);
  EXPECT_EQ(p.number(5), 1e19);
  EXPECT_EQ(p.number(6), 0.125);
  EXPECT_EQ(p.number(7), -10);
  EXPECT_EQ(p.text(0), "caf\xE9");
  EXPECT_EQ(p.text(1), "/a/b");
  EXPECT_EQ(p.text(2), "2.5");
}

TEST(AutomationBus, VariantsCarryTheValuesOwnType) {
  Program p(R"(
    let str:0 = automation:0.Invoke("Describe", 3.0)
    let str:1 = automation:0.Invoke("Describe", 3.5)
    let str:2 = automation:0.Invoke("Describe", 3000000000)
    let str:3 = automation:0.Invoke("Describe", "x")
  )");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.text(0), "i:3");
  EXPECT_EQ(p.text(1), "d:3.5");
  EXPECT_EQ(p.text(2), "d:3e+09");  // as the service writes doubles
  EXPECT_EQ(p.text(3), "s:x");
}

TEST(AutomationBus, ResultsOfEachType) {
  Program p(R"(
    let double:0 = automation:0.Invoke("MaxUInt64")
    let double:1 = automation:0.Invoke("Big")
    let double:2 = automation:0.Invoke("Level") + automation:0.Invoke("Ratio")
    let double:3 = automation:0.Invoke("Enabled")
    let double:4 = automation:0.Invoke("Tags") + automation:0.Invoke("Items") + automation:0.Invoke("Child")
    let double:5 = automation:0.Invoke("Nothing") + automation:0.Invoke("Count", "", 0)
    let str:0 = automation:0.Invoke("Unicode")
    let str:1 = automation:0.Invoke("Alpha") + automation:0.Invoke("Zeta")
  )");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.number(0), 18446744073709551615.0);
  EXPECT_EQ(p.number(1), 1e19);
  EXPECT_EQ(p.number(2), 200.25);
  EXPECT_EQ(p.number(3), -1);
  EXPECT_EQ(p.number(4), 0);
  EXPECT_EQ(p.number(5), 0);
  EXPECT_EQ(p.text(0), "Gr\xFC\xDF" "e");
  EXPECT_EQ(p.text(1), "alphazeta");
}

TEST(AutomationBus, ACallInsideAnotherCallsArguments) {
  Program p(R"(
    let str:0 = automation:0.Invoke("Join", "x", automation:0.Invoke("Join", automation:0.Invoke("Name"), "y"))
  )");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.text(0), "x|test|y");
}

TEST(AutomationBus, PropertiesArePut) {
  {
  Program p(R"(
    set automation:0.Invoke = "Name", put "renamed"
    set automation:0.Invoke = "Size", put 41.6
    set automation:0.Invoke = "Enabled", put 0
    let str:0 = automation:0.Invoke("Name")
    let double:0 = automation:0.Invoke("Size")
    let double:1 = automation:0.Invoke("Enabled")
    set automation:0.Invoke = "Name", put "test"
    set automation:0.Invoke = "Enabled", put -1
    set automation:0.Invoke = "Ratio", put 1
  )");
  EXPECT_EQ(p.run(), "Property Ratio is read-only");
  EXPECT_EQ(p.text(0), "renamed");
  EXPECT_EQ(p.number(0), 42);
  EXPECT_EQ(p.number(1), 0);
  }
  // One machine at a time: they share the low arena.
  EXPECT_EQ(Program("    set automation:0.Invoke = \"Size\", put \"many\"\n").run(), ole::kTypeMismatch);
}

TEST(AutomationBus, ErrorsReachTheProgram) {
  EXPECT_EQ(Program("    set automation:0.Invoke = \"Fail\", \"caf\" + chr(233) + \" is closed\"\n").run(),
            "caf\xE9 is closed");
  EXPECT_EQ(Program("    set automation:0.Invoke = \"Changed\", \"x\"\n").run(), ole::kUnknownName);
  EXPECT_EQ(Program("    set automation:0.Release\n    let str:0 = automation:0.Invoke(\"Name\")\n").run(),
            ole::kNoObject);
  EXPECT_EQ(Program("    set automation:1.Create = \"org.kestrel.Missing\"\n").run(), ole::kInvalidClassString);
  Program expression("    let double:0 = automation:1.Create(\"org.kestrel.Missing\") + 1\n");
  ASSERT_EQ(expression.run(), "");
  EXPECT_EQ(expression.number(0), 1);
}

TEST(AutomationBus, RunningServicesAreFound) {
  Program p(R"(
    let double:0 = automation:1.GetActive("org.kestrel.TestService")
    let double:1 = automation:2.GetActive("org.kestrel.Missing")
    let str:0 = automation:1.Invoke("Name")
  )");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.number(0), -1);
  EXPECT_EQ(p.number(1), 0);
  EXPECT_EQ(p.text(0), "test");
}

TEST(AutomationBus, DispatchIdsFollowTheIntrospectedMembers) {
  Program p(R"(
    let double:0 = automation:0.DispatchId("Alpha")
    let double:1 = automation:0.DispatchId("Zeta")
    let double:2 = automation:0.DispatchId("Changed")
    set automation:1.Create = "org.kestrel.TestService#org.kestrel.Extra"
    let double:3 = automation:1.DispatchId("Zeta")
    let double:4 = automation:1.DispatchId("Name")
  )");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.number(0), 0);
  EXPECT_EQ(p.number(1), 31);
  EXPECT_EQ(p.number(2), -1);  // signals are not members
  EXPECT_EQ(p.number(3), 1);
  EXPECT_EQ(p.number(4), -1);
}

TEST(AutomationBus, ObjectsThatPropertiesName) {
  Program p(R"(
    set automation:1.FromProperty = automation:0, "Child"
    let str:0 = automation:1.Invoke("Name")
    let str:1 = automation:1.Invoke("Greet", "you")
    set automation:2.FromProperty = automation:0, "ChildPath"
    set automation:0.PutRef = "Partner", automation:2
    set automation:3.FromProperty = automation:0, "Partner"
    let str:2 = automation:3.Invoke("Name")
    set automation:3.FromProperty = automation:0, "Name"
  )");
  EXPECT_EQ(p.run(), ole::kNoObject);
  EXPECT_EQ(p.text(0), "child");
  EXPECT_EQ(p.text(1), "hello you");
  EXPECT_EQ(p.text(2), "child");
}

// A call that gets no answer ends with the bus's error when the time-out
// (set short for the test) has passed, and the object still works.
TEST(AutomationBus, CallsEndAfterTheTimeOut) {
  {
    Program p(R"(
    let str:0 = automation:0.Invoke("Sleep", 5000)
  )");
    ole::automationSettings(*p.m).callTimeoutMs = 300;
    const auto start = std::chrono::steady_clock::now();
    const std::string error = p.run();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_NE(error.find("reply"), std::string::npos) << error;
    EXPECT_LT(seconds, 4.0);
  }
  Program after("    let str:0 = automation:0.Invoke(\"Sleep\", 1)\n");
  ASSERT_EQ(after.run(), "");
  EXPECT_EQ(after.text(0), "awake");
}

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  testing::InitGoogleTest(&argc, argv);
  installQtToolkit();
  return RUN_ALL_TESTS();
}
