// Automation objects on the engine side: class names, the conversions of
// arguments and results, text between the program and the bus, and the
// members of both types against a bus that lives in the test (the calls
// they make, in order, with the types they pass). The real bus is
// tests/automation.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <string>

#include "asm/kasm.h"
#include "core/machine.h"
#include "image/program_image.h"
#include "objects/object_model.h"
#include "ole/automation_object.h"
#include "ole/bus_text.h"
#include "ole/bus_values.h"
#include "ole/class_name.h"
#include "ole/ole_errors.h"
#include "state/store_kinds.h"
#include "toolkit/automation_bus.h"
#include "toolkit/toolkit.h"

using namespace kestrel;
using namespace kestrel::ole;

namespace {

std::string errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const RuntimeError& e) {
    return e.what();
  }
  return "";
}

ProgramValue num(double v) { return {ProgramValue::Number, v, ""}; }
ProgramValue str(const std::string& s) { return {ProgramValue::Text, 0, s}; }

bus::Value value(const std::string& sig, int64_t i = 0, std::string text = "") {
  bus::Value v;
  v.signature = sig;
  v.integer = i;
  v.text = std::move(text);
  return v;
}

bus::Member method(const std::string& name, std::vector<std::string> in, std::vector<std::string> out,
                   const std::string& interface = "org.test.I") {
  bus::Member m;
  m.interface = interface;
  m.name = name;
  m.inputs = std::move(in);
  m.outputs = std::move(out);
  return m;
}

bus::Member property(const std::string& name, const std::string& type, const std::string& interface = "org.test.I") {
  bus::Member m;
  m.interface = interface;
  m.name = name;
  m.property = true;
  m.type = type;
  m.readable = m.writable = true;
  return m;
}

// A bus with one activatable service, org.test.Service, whose objects are
// /org/test/Service and /org/test/Service/Child. Methods answer through
// `answer`; properties live in `properties` (by path and name). Every call
// is written to `log` as "Member(sig sig ...)".
class FakeBus : public bus::Bus {
 public:
  FakeBus() {
    bus::Description& root = objects["/org/test/Service"];
    root.members = {method("Join", {"s", "s"}, {"s"}),
                    method("Echo", {"v"}, {"v"}),
                    method("Add", {"i", "u", "x", "t", "d", "b", "y", "o"}, {"d"}),
                    method("Fail", {}, {}),
                    method("Many", std::vector<std::string>(255, "i"), {}),
                    property("Name", "s"),
                    property("Child", "o"),
                    property("Partner", "o"),
                    method("Ping", {}, {}, "org.freedesktop.DBus.Peer")};
    objects["/org/test/Service/Child"].members = {property("Label", "s", "org.test.Child")};
    properties["/org/test/Service"]["Name"] = value("s", 0, "test");
    properties["/org/test/Service"]["Child"] = value("o", 0, "/org/test/Service/Child");
    properties["/org/test/Service/Child"]["Label"] = value("s", 0, "child");
  }

  bus::Reply call(const std::string& service, const std::string& path, const std::string& interface,
                  const std::string& member, const std::vector<bus::Value>& arguments, int timeoutMs) override {
    lastTimeout = timeoutMs;
    std::string entry = member + "(";
    for (size_t i = 0; i < arguments.size(); ++i) {
      entry += (i ? " " : "") + arguments[i].signature;
      if (arguments[i].signature == "v") entry += arguments[i].items.at(0).signature;
    }
    log.push_back(entry + ")");
    bus::Reply r;
    if (service == "org.freedesktop.DBus") {
      const bool known = arguments.at(0).text == "org.test.Service";
      if (member == "NameHasOwner") {
        r.values.push_back(value("b", known && running ? 1 : 0));
      } else if (!known) {
        r.ok = false;
        r.errorName = "org.freedesktop.DBus.Error.ServiceUnknown";
      } else {
        running = true;
        r.values.push_back(value("u", 1));
      }
      return r;
    }
    if (interface == "org.freedesktop.DBus.Properties") {
      auto& props = properties[path];
      if (member == "Get") r.values.push_back(wrap(props[arguments.at(1).text]));
      else props[arguments.at(1).text] = arguments.at(2).items.at(0);
      return r;
    }
    last = arguments;
    return answer ? answer(member, arguments) : r;
  }

  bus::Reply describe(const std::string&, const std::string& path, int, bus::Description& out) override {
    log.push_back("describe " + path);
    bus::Reply r;
    const auto it = objects.find(path);
    if (it == objects.end()) {
      r.ok = false;
      r.errorName = "org.freedesktop.DBus.Error.UnknownObject";
      return r;
    }
    out = it->second;
    return r;
  }

  static bus::Value wrap(const bus::Value& inner) {
    bus::Value v = value("v");
    v.items.push_back(inner);
    return v;
  }

  std::map<std::string, bus::Description> objects;
  std::map<std::string, std::map<std::string, bus::Value>> properties;
  std::function<bus::Reply(const std::string&, const std::vector<bus::Value>&)> answer;
  std::vector<std::string> log;
  std::vector<bus::Value> last;
  bool running = false;
  int lastTimeout = 0;
};

class BusToolkit : public Toolkit {
 public:
  bool windowSystemAvailable() override { return false; }
  void processPendingEvents() override {}
  bus::Bus* automationBus() override { return &bus; }
  FakeBus bus;
};

// Runs programs with the fake bus installed (and the null toolkit again after).
class Automation : public testing::Test {
 protected:
  void SetUp() override {
    auto toolkit = std::make_unique<BusToolkit>();
    fake = &toolkit->bus;
    installToolkit(std::move(toolkit));
  }
  void TearDown() override { installToolkit(makeNullToolkit()); }

  // Declares int:0 to int:9, str:0 to str:4, automation:0 to :3 and a
  // container, then runs `body`; returns the error's text or "".
  std::string run(const std::string& body, MachineOptions options = {}) {
    std::string s = "    dim automation:3\n    dim container:0\n";
    for (int i = 0; i < 10; ++i) s += "    dim double:" + std::to_string(i) + "\n";
    for (int i = 0; i < 5; ++i) s += "    dim str:" + std::to_string(i) + "\n";
    m.reset();  // one machine at a time: they share the low arena
    m = std::make_unique<Machine>(parseImage(kasm::assemble(s + body)), std::move(options));
    try {
      m->run();
    } catch (const RuntimeError& e) {
      return e.what();
    }
    return "";
  }
  double number(int index) { return loadNumber(7, m->vars.scalarAt(7, index)); }
  std::string text(int index) { return m->vars.stringAt(index).str(); }

  FakeBus* fake = nullptr;
  std::unique_ptr<Machine> m;
};

}  // namespace

TEST(AutomationClassNames, ServicePathAndInterface) {
  const ClassName a = parseClassName("org.mpris.MediaPlayer2.vlc/org/mpris/MediaPlayer2#org.mpris.MediaPlayer2.Player");
  EXPECT_EQ(a.service, "org.mpris.MediaPlayer2.vlc");
  EXPECT_EQ(a.path, "/org/mpris/MediaPlayer2");
  EXPECT_EQ(a.interface, "org.mpris.MediaPlayer2.Player");
  EXPECT_EQ(parseClassName(":1.42").service, ":1.42");
  EXPECT_EQ(candidatePaths(parseClassName("org.my-app.Tool")),
            (std::vector<std::string>{"/org/my_app/Tool", "/org/my_app", "/org", "/"}));
  EXPECT_EQ(candidatePaths(parseClassName("org.a.B/x")), std::vector<std::string>{"/x"});
  EXPECT_EQ(candidatePaths(parseClassName(":1.4")), std::vector<std::string>{"/"});
  for (const char* bad : {"", "{00020906-0000-0000-C000-000000000046}", "Word.Application.8x.", "single",
                          "org..a", "org.1a", "org.a/b/", "org.a//b", "org.a/b-c", "org.a#bad", "org.a#x.1y", "org.a b"})
    EXPECT_EQ(errorOf([&] { parseClassName(bad); }), kInvalidClassString) << bad;
}

TEST(AutomationValues, ArgumentsTakeTheSignaturesTypes) {
  EXPECT_EQ(toBus(num(3.5), "i").integer, 4);
  EXPECT_EQ(toBus(num(2.5), "i").integer, 2);
  EXPECT_EQ(toBus(str(" 12 "), "i").integer, 12);
  EXPECT_EQ(toBus(num(-32768), "n").integer, -32768);
  EXPECT_EQ(toBus(num(4294967295.0), "u").integer, 4294967295LL);
  EXPECT_EQ(toBus(num(-9e18), "x").integer, -9000000000000000000LL);
  EXPECT_EQ(toBus(num(1.8e19), "t").unsigned64, 18000000000000000000ULL);
  EXPECT_EQ(toBus(str("0.25"), "d").real, 0.25);
  EXPECT_EQ(toBus(num(3.5), "s").text, "3.5");
  EXPECT_EQ(toBus(str("TRUE"), "b").integer, 1);
  EXPECT_EQ(toBus(num(-1), "b").integer, 1);
  EXPECT_EQ(toBus(str("0"), "b").integer, 0);
  EXPECT_EQ(toBus(str("/a/b_1"), "o").text, "/a/b_1");
  EXPECT_EQ(toBus(str(""), "as").signature, "as");
  EXPECT_EQ(toBus(num(0), "a{sv}").signature, "a{sv}");
  // Variants: whole numbers within 32 bits are integers, any other a double.
  EXPECT_EQ(toBus(num(3.0), "v").items.at(0).signature, "i");
  EXPECT_EQ(toBus(num(3.5), "v").items.at(0).signature, "d");
  EXPECT_EQ(toBus(num(3e9), "v").items.at(0).signature, "d");
  EXPECT_EQ(toBus(num(-2147483648.0), "v").items.at(0).signature, "i");
  EXPECT_EQ(toBus(str("x"), "v").items.at(0).signature, "s");
  ProgramValue object{ProgramValue::Object, 0, "/p"};
  EXPECT_EQ(toBus(object, "v").items.at(0).signature, "o");
  EXPECT_EQ(toBus(object, "o").text, "/p");

  const std::pair<ProgramValue, const char*> mismatches[] = {
      {num(256), "y"},      {num(-1), "u"},          {num(2147483648.0), "i"}, {num(1.8446744073709552e19), "t"},
      {str("abc"), "i"},    {str(""), "d"},          {str("1x"), "d"},          {str("yes"), "b"},
      {num(1), "o"},        {str("no/path"), "o"},   {str("x"), "as"},          {num(1), "a{sv}"},
      {num(1), "h"},        {num(1), "(ii)"},        {object, "s"},             {object, "i"},
      {num(std::nan("")), "i"}, {num(1), ""}};
  for (const auto& [v, sig] : mismatches) EXPECT_EQ(errorOf([&] { toBus(v, sig); }), kTypeMismatch) << sig;
}

TEST(AutomationValues, ResultsAreNumbersStringsOrZero) {
  bus::Value big = value("t");
  big.unsigned64 = 18446744073709551615ULL;
  EXPECT_EQ(fromBus(big).number, 18446744073709551615.0);
  EXPECT_EQ(fromBus(value("x", -5)).number, -5);
  EXPECT_EQ(fromBus(value("b", 1)).number, -1);
  EXPECT_EQ(fromBus(value("b", 0)).number, 0);
  bus::Value real = value("d");
  real.real = 0.5;
  EXPECT_EQ(fromBus(real).number, 0.5);
  const ResultValue s = fromBus(FakeBus::wrap(value("s", 0, "caf\xC3\xA9")));
  EXPECT_TRUE(s.isText);
  EXPECT_EQ(s.text, "caf\xE9");
  for (const char* zero : {"o", "h", "as", "a{sv}", "(ii)", "", "v"}) {
    const ResultValue r = fromBus(value(zero, 7, "/x"));
    EXPECT_FALSE(r.isText) << zero;
    EXPECT_EQ(r.number, 0) << zero;
  }
}

TEST(AutomationText, LatinOneAndUtf8) {
  EXPECT_EQ(programToUtf8("caf\xE9"), "caf\xC3\xA9");
  EXPECT_EQ(programToUtf8("caf\xC3\xA9"), "caf\xC3\xA9");  // already UTF-8
  EXPECT_EQ(programToUtf8("\xC3"), "\xC3\x83");           // a lone lead byte is Latin-1
  EXPECT_EQ(utf8ToProgram("Gr\xC3\xBC\xC3\x9F" "e"), "Gr\xFC\xDF" "e");
  EXPECT_EQ(utf8ToProgram("\xE2\x82\xAC" "5"), "\xE2\x82\xAC" "5");  // the euro has no byte of its own
  EXPECT_EQ(utf8ToProgram("\xC0\x80"), "\xC0\x80");                 // an overlong form is left alone
}

TEST_F(Automation, CreateFindsTheObjectAndCallsConvertEachArgument) {
  fake->answer = [](const std::string&, const std::vector<bus::Value>&) {
    bus::Reply r;
    bus::Value d = value("d");
    d.real = 2.5;
    r.values.push_back(d);
    return r;
  };
  ASSERT_EQ(run(R"(
    set automation:0.Create = "org.test.Service"
    let double:0 = automation:0.Invoke("Add", 1, 2, 3, 4, 5.5, -1, 7, "/p")
  )"), "");
  EXPECT_EQ(number(0), 2.5);
  EXPECT_EQ(fake->log.at(0), "StartServiceByName(s u)");
  EXPECT_EQ(fake->log.at(1), "describe /org/test/Service");
  EXPECT_EQ(fake->log.back(), "Add(i u x t d b y o)");
  EXPECT_EQ(fake->last.at(4).real, 5.5);
  EXPECT_EQ(fake->last.at(5).integer, 1);
  EXPECT_EQ(fake->lastTimeout, kDefaultCallTimeoutMs);
}

// The inner call runs while the outer call's arguments are read: each
// keeps its own name and arguments.
TEST_F(Automation, ACallInsideAnotherCallsArgumentsDisturbsNothing) {
  fake->answer = [](const std::string& member, const std::vector<bus::Value>& a) {
    bus::Reply r;
    if (member == "Join") r.values.push_back(value("s", 0, a.at(0).text + "|" + a.at(1).text));
    return r;
  };
  ASSERT_EQ(run(R"(
    let str:1 = "left"
    set automation:0.Create = "org.test.Service"
    let str:0 = automation:0.Invoke("Join", str:1 + "!", automation:0.Invoke("Join", "a", automation:0.Invoke("Name")))
  )"), "");
  EXPECT_EQ(text(0), "left!|a|test");
}

TEST_F(Automation, PropertiesAreReadAndPut) {
  ASSERT_EQ(run(R"(
    set automation:0.Create = "org.test.Service"
    let str:0 = automation:0.Invoke("name")
    set automation:0.Invoke = "Name", put "caf" + chr(233)
    let str:1 = automation:0.Invoke("Name")
    set automation:0.Invoke = "Name"
    set automation:0.Invoke = "Name", {7}
  )"), "");
  EXPECT_EQ(text(0), "test");  // names match without regard to case
  EXPECT_EQ(text(1), "caf\xE9");
  EXPECT_EQ(fake->properties["/org/test/Service"]["Name"].text, "caf\xC3\xA9");
  // A byte other than 1 after the arguments is no put: the last two
  // statements read the property and drop it.
  EXPECT_EQ(fake->log.at(fake->log.size() - 1), "Get(s s)");
  EXPECT_EQ(fake->log.at(fake->log.size() - 2), "Get(s s)");
  EXPECT_EQ(fake->log.at(fake->log.size() - 4), "Set(s s vs)");
}

TEST_F(Automation, DispatchIdsArePositionsInTheSortedNames) {
  ASSERT_EQ(run(R"(
    set automation:0.Create = "org.test.Service"
    let double:0 = automation:0.DispatchId("Add")
    let double:1 = automation:0.DispatchId("Partner")
    let double:2 = automation:0.DispatchId("partner")
    let double:3 = automation:0.DispatchId("Ping")
    let double:4 = automation:0.DispatchId("Nothing")
    set automation:0.DispatchId = "ignored"
    set automation:1.Create = "org.test.Service#org.freedesktop.DBus.Peer"
    let double:5 = automation:1.DispatchId("Ping")
  )"), "");
  // Add Child Echo Fail Join Many Name Partner: the standard interfaces
  // count only when the class name asks for one.
  EXPECT_EQ(number(0), 0);
  EXPECT_EQ(number(1), 7);
  EXPECT_EQ(number(2), 7);
  EXPECT_EQ(number(3), -1);
  EXPECT_EQ(number(4), -1);
  EXPECT_EQ(number(5), 0);
}

TEST_F(Automation, EmptyAndReleasedObjectsAreNotObjects) {
  EXPECT_EQ(run("    set automation:0.Invoke = \"Join\", 1, 2\n"), kNoObject);
  EXPECT_EQ(run("    let double:0 = automation:0.DispatchId(\"Join\")\n"), kNoObject);
  EXPECT_EQ(run(R"(
    set automation:0.Create = "org.test.Service"
    set automation:0.Release
    let str:0 = automation:0.Invoke("Name")
  )"), kNoObject);
}

TEST_F(Automation, MoreThan255ArgumentsAreTooMany) {
  std::string args;
  for (int i = 0; i < 255; ++i) args += ", " + std::to_string(i);
  const std::string call = "    set automation:0.Create = \"org.test.Service\"\n    set automation:0.Invoke = \"Many\"";
  EXPECT_EQ(run(call + args + "\n"), "");
  EXPECT_EQ(fake->last.size(), 255u);
  EXPECT_EQ(run(call + args + ", 255\n"), kTooManyArguments);
}

TEST_F(Automation, CreatesFailAsStatementsAndYieldZeroAsExpressions) {
  // Nothing runs until the first create starts the service.
  EXPECT_EQ(run("    set automation:0.GetActive = \"org.test.Service\"\n"), kNotRunning);
  ASSERT_EQ(run(R"(
    let double:0 = automation:0.Create("org.test.Missing")
    let double:1 = automation:0.GetActive("org.test.Service")
    let double:2 = automation:0.CreateRemote("host", "org.test.Service")
    let double:3 = automation:1.Create("org.test.Service")
    let double:4 = automation:2.GetActive("org.test.Service")
    let double:5 = automation:1.Create("org.test.Missing")
    let str:0 = automation:1.Invoke("Name")
  )"), "");
  EXPECT_EQ(number(0), 0);
  EXPECT_EQ(number(1), 0);
  EXPECT_EQ(number(2), 0);
  EXPECT_EQ(number(3), -1);
  EXPECT_EQ(number(4), -1);
  EXPECT_EQ(number(5), 0);
  EXPECT_EQ(text(0), "test");  // a failed create keeps the object it had
  EXPECT_EQ(run("    let double:0 = automation:0.Create(\"org.test.Missing\")\n"
                "    let double:1 = automation:0.Invoke(\"Name\")\n"),
            kNoObject);
  EXPECT_EQ(run("    set automation:0.Create = \"org.test.Missing\"\n"), kInvalidClassString);
  EXPECT_EQ(run("    set automation:0.Create = \"{00000000-0000-0000-0000-000000000000}\"\n"), kInvalidClassString);
  EXPECT_EQ(run("    set automation:0.Create = \"org.test.Service/nowhere\"\n"), kInvalidClassString);
  EXPECT_EQ(run("    set automation:0.CreateRemote = \"host\", \"org.test.Service\"\n"), kNoRemoteCreation);
  EXPECT_EQ(run("    set automation:0.CreateRemote = \"host\", \"{x}\"\n"), kInvalidClassString);
}

TEST_F(Automation, WithoutABusNothingIsCreated) {
  MachineOptions sandbox;
  sandbox.sandbox = true;
  EXPECT_EQ(run("    set automation:0.Create = \"org.test.Service\"\n", sandbox), kNoBus);
  EXPECT_TRUE(fake->log.empty());
  installToolkit(makeNullToolkit());
  EXPECT_EQ(run("    set automation:0.Create = \"org.test.Service\"\n"), kNoBus);
  EXPECT_EQ(run("    let double:0 = automation:0.Create(\"org.test.Service\") - 5\n"), "");
  EXPECT_EQ(number(0), -5);
}

TEST_F(Automation, CallErrorsCarryTheirTexts) {
  fake->answer = [](const std::string&, const std::vector<bus::Value>&) {
    bus::Reply r;
    r.ok = false;
    r.errorName = "org.test.Error.Broken";
    r.errorText = "it broke";
    return r;
  };
  const std::string create = "    set automation:0.Create = \"org.test.Service\"\n";
  EXPECT_EQ(run(create + "    set automation:0.Invoke = \"Fail\"\n"), "it broke");
  EXPECT_EQ(run(create + "    set automation:0.Invoke = \"Missing\"\n"), kUnknownName);
  EXPECT_EQ(run(create + "    set automation:0.Invoke = \"Join\", put 1\n"), kMemberNotFound);
  EXPECT_EQ(run(create + "    set automation:0.Invoke = \"Join\", 1\n"), kBadArgumentCount);
  EXPECT_EQ(run(create + "    set automation:0.Invoke = \"Name\", 1, put 1\n"), kBadArgumentCount);
  EXPECT_EQ(run(create + "    let str:0 = automation:0.Invoke(\"Name\", 1)\n"), kBadArgumentCount);
  EXPECT_EQ(run(create + "    let str:0 = automation:0.Invoke(\"Join\", \"a\", \"b\") + automation:0.Invoke(\"Ping\")\n"),
            "it broke");
}

TEST_F(Automation, AnObjectValuedPropertyBecomesAnObject) {
  ASSERT_EQ(run(R"(
    set automation:0.Create = "org.test.Service"
    set automation:1.FromProperty = automation:0, "Child"
    let str:0 = automation:1.Invoke("Label")
    set automation:2.FromProperty = automation:1, "Label"
  )"), kNoObject);
  EXPECT_EQ(text(0), "child");
  // A result that is not an object leaves the object as it was.
  EXPECT_EQ(run(R"(
    set automation:0.Create = "org.test.Service"
    set automation:1.Create = "org.test.Service/org/test/Service/Child"
    set automation:1.FromProperty = automation:0, "Name"
  )"), kNoObject);
  EXPECT_EQ(objects::world(*m).as<AutomationObject>(kAutomationType, 1).remote->path(), "/org/test/Service/Child");
}

// The other object of PutRef is named by kind and index; a parameter's
// index is taken whole, and an index with no object is an error.
TEST_F(Automation, PutRefPassesTheOtherObjectsPath) {
  ASSERT_EQ(run(R"(
    goto main
.proc adopt
    set automation:0.PutRef = "Partner", arg.automation:0
    endproc
main:
    dim automation:300
    set automation:0.Create = "org.test.Service"
    set automation:300.Create = "org.test.Service/org/test/Service/Child"
    call adopt(ref automation:300)
  )"), "");
  EXPECT_EQ(fake->properties["/org/test/Service"]["Partner"].signature, "o");
  EXPECT_EQ(fake->properties["/org/test/Service"]["Partner"].text, "/org/test/Service/Child");
  EXPECT_EQ(run(R"(
    set automation:0.Create = "org.test.Service"
    set automation:0.PutRef = "Partner", automation:9
  )"), "List index out of bounds (9)");
  EXPECT_EQ(run(R"(
    set automation:0.Create = "org.test.Service"
    set automation:0.PutRef = "Name", automation:0
  )"), kTypeMismatch);
  EXPECT_EQ(run(R"(
    set automation:0.Create = "org.test.Service"
    set automation:0.PutRef = "Partner", automation:1
  )"), kNoObject);
}

// The container keeps its visual members (numbers cut toward zero) and
// has no object to embed.
TEST_F(Automation, ContainersHoldNoObject) {
  ASSERT_EQ(run(R"(
    set container:0.Left = 2.7
    set container:0.Width = -0.5 + 80
    set container:0.Enabled = -1.9
    set container:0.Options = 258.9
    set container:0.AutoActivate = 0
    set container:0.SizeMode = 3.99
    set container:0.Close
    let double:0 = container:0.Left
    let double:1 = container:0.Width
    let double:2 = container:0.Enabled
    let double:3 = container:0.Options
    let double:4 = container:0.Running
    let double:5 = container:0.Create("org.test.Service")
    let double:6 = container:0.AutoActivate + container:0.AllowInPlace * 10 + container:0.BorderStyle * 100
    let double:7 = container:0.SizeMode
  )"), "");
  EXPECT_EQ(number(0), 2);
  EXPECT_EQ(number(1), 79);
  EXPECT_EQ(number(2), 255);
  EXPECT_EQ(number(3), 2);
  EXPECT_EQ(number(4), 0);
  EXPECT_EQ(number(5), 0);
  EXPECT_EQ(number(6), 110);
  EXPECT_EQ(number(7), 3);
  EXPECT_EQ(run("    set container:0.Create = \"org.test.Service\"\n"), kInvalidClassString);
  EXPECT_EQ(run("    set container:0.Paste\n"), kInvalidClassString);
  for (const char* member : {"Show", "Copy", "Update", "Invoke = \"Name\", 1", "Invoke = \"Name\", put 2"})
    EXPECT_EQ(run(std::string("    set container:0.") + member + "\n"), kNoObject) << member;
  EXPECT_EQ(run("    let double:0 = container:0.Invoke(\"Name\")\n"), kNoObject);
  EXPECT_EQ(run("    set automation:0.FromContainer = container:0\n"), kNoObject);
  EXPECT_EQ(run("    set automation:0.FromContainer = automation:1\n"), "Invalid class typecast");
}
