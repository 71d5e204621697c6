// External calls: the loaded-library table, values in registers, call-back
// stubs, structures filled through addresses, and the built-in modules'
// buffer rules.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "asm/kasm.h"
#include "extcall/builtin_modules/builtin_module.h"
#include "extcall/builtin_modules/profile_file.h"
#include "extcall/callbacks.h"
#include "extcall/library_table.h"
#include "extcall/marshaller.h"
#include "extcall/program_memory.h"
#include "image/program_image.h"
#include "core/machine.h"
#include "interp/runner.h"

namespace kestrel {
namespace {

const std::string kLibrary = KESTREL_TEST_EXTLIB;

// Runs a source with `prepare` applied to the machine first; returns what
// the program wrote on standard output.
std::string runSource(const std::string& source, const std::function<void(Machine&)>& prepare = {},
                      MachineOptions options = {}) {
  Machine m(parseImage(kasm::assemble(source)), std::move(options));
  std::string out;
  m.out.captureInto(&out);
  if (prepare) prepare(m);
  runMachine(m);
  m.out.flush();
  return out;
}

// Declares scalar `index` of `kind` before the run and returns its address.
uint64_t scalarAddress(Machine& m, int kind, int index) {
  m.vars.scalars[kind]->growTo(static_cast<size_t>(index + 1) * kElementWidth[kind]);
  return reinterpret_cast<uint64_t>(m.vars.scalarAt(kind, index));
}

void setDouble(Machine& m, int index, double v) {
  m.vars.scalars[kDouble]->growTo(static_cast<size_t>(index + 1) * 8);
  std::memcpy(m.vars.scalarAt(kDouble, index), &v, 8);
}

TEST(LibraryTable, OneEntryPerNameWhateverTheCase) {
  extcall::LibraryTable table("", false);
  auto a = table.use("user32");
  auto b = table.use("USER32");
  EXPECT_EQ(a, b);
  EXPECT_TRUE(a->loaded());
  EXPECT_EQ(table.size(), 1u);
  auto c = table.use("user32.dll");  // another name, another entry, the same module
  EXPECT_NE(a, c);
  EXPECT_EQ(c->builtin, a->builtin);
  EXPECT_NE(a->handle, c->handle);
  EXPECT_LT(c->handle, uint64_t{1} << 31);
}

TEST(LibraryTable, AFailedLoadIsRecordedAndNotRetried) {
  extcall::LibraryTable table("", false);
  auto entry = table.use("kx_not_a_library");
  EXPECT_EQ(entry->handle, 0u);
  EXPECT_FALSE(entry->loaded());
  EXPECT_EQ(table.use("KX_NOT_A_LIBRARY"), entry);
  EXPECT_EQ(table.size(), 1u);
  EXPECT_EQ(table.function(*entry, "anything"), nullptr);
}

TEST(LibraryTable, NamesResolveToBuiltinsThenFilesWithAndWithoutDll) {
  using extcall::builtinModule;
  EXPECT_EQ(builtinModule("KERNEL32.DLL"), &extcall::kKernel32Module);
  EXPECT_EQ(builtinModule("C:\\Windows\\System32\\User32.dll"), &extcall::kUser32Module);
  EXPECT_EQ(builtinModule("winmm"), &extcall::kWinmmModule);
  EXPECT_EQ(builtinModule("kernel33"), nullptr);
  EXPECT_EQ(builtinModule("kernel32.so"), nullptr);

  extcall::LibraryTable table("", false);
  auto libc = table.use("libc.so.6");
  ASSERT_TRUE(libc->loaded());
  EXPECT_NE(table.function(*libc, "strlen"), nullptr);
  EXPECT_EQ(table.function(*libc, "STRLEN"), nullptr);  // export names keep their case

  // The program's folder is searched first, with "lib" and ".so" added and ".dll" dropped.
  const std::filesystem::path folder = std::filesystem::path(kLibrary).parent_path();
  extcall::LibraryTable local(folder.string(), false);
  auto own = local.use("KXTEST");
  EXPECT_FALSE(own->loaded());  // the loader's names are case-sensitive
  auto same = local.use("kxtest.dll");
  ASSERT_TRUE(same->loaded());
  EXPECT_NE(local.function(*same, "kx_add3"), nullptr);
  EXPECT_EQ(local.fileOf(same->handle), (folder / "libkxtest.so").string());
}

TEST(LibraryTable, ReleasedLibrariesLoadAgainAndAreNeverFreedTwice) {
  extcall::LibraryTable table("", false);
  auto entry = table.use(kLibrary);
  ASSERT_TRUE(entry->loaded());
  table.beginCall(*entry);
  table.release(*entry);  // a call into it still runs: the release waits
  EXPECT_TRUE(entry->loaded());
  table.endCall(*entry);
  EXPECT_FALSE(entry->loaded());
  EXPECT_TRUE(entry->released);
  table.release(*entry);  // nothing left to free
  auto again = table.use(kLibrary);
  EXPECT_EQ(again, entry);
  EXPECT_TRUE(again->loaded());
  table.forget(kLibrary);
  EXPECT_EQ(table.find(kLibrary), nullptr);
  EXPECT_EQ(table.size(), 0u);
}

TEST(LibraryTable, NothingLoadsInTheSandbox) {
  extcall::LibraryTable table("", true);
  EXPECT_FALSE(table.use("kernel32")->loaded());
  EXPECT_FALSE(table.use("libc.so.6")->loaded());
}

TEST(Marshaller, RegisterValuesKeepPointersWhole) {
  using extcall::registerValue;
  EXPECT_EQ(registerValue(0x00000000FFFFFFFFull), -1);           // a 32-bit -1 widened with zeros
  EXPECT_EQ(registerValue(0xFFFFFFFFFFFFFFFEull), -2);           // ... or with its sign
  EXPECT_EQ(registerValue(0x0000000080000000ull), -2147483648.0);
  EXPECT_EQ(registerValue(0x00007F1234567890ull), 139716164221072.0);  // a pointer
  EXPECT_EQ(registerValue(0xFFFFFFFF00000001ull), -4294967295.0);
}

TEST(ProgramMemory, BadAddressesRaiseInsteadOfFaulting) {
  char text[] = "fault-safe";
  EXPECT_EQ(extcall::readZeroTerminated(reinterpret_cast<uint64_t>(text)), "fault-safe");
  EXPECT_EQ(extcall::readZeroTerminated(0), "");
  try {
    extcall::readZeroTerminated(16);
    FAIL() << "no error";
  } catch (const RuntimeError& e) {
    EXPECT_STREQ(e.what(), "Access violation at address 00000010");
  }
  const char value = 'x';
  EXPECT_FALSE(extcall::tryWriteMemory(reinterpret_cast<uint64_t>(&kLibrary) ^ 0x7000000000000000ull, &value, 1));
}

TEST(ExternalCalls, AStructureIsFilledThroughItsAddress) {
  uint64_t rect = 0;
  const std::string out = runSource(
      "    dim int:4\n    dim int:5\n    dim int:6\n    dim int:7\n"
      "    stdout @extern int \"" + kLibrary + "\" \"kx_set_rect\"(long double:0, int 10, int 20, int 30, int 40)\n"
      "    stdout str(int:4) + \" \" + str(int:5) + \" \" + str(int:6) + \" \" + str(int:7)\n",
      [&](Machine& m) {
        rect = scalarAddress(m, kInteger, 4);
        setDouble(m, 0, static_cast<double>(rect));
      });
  EXPECT_EQ(out, "1200\n10 20 40 60\n");
  EXPECT_LT(rect, uint64_t{1} << 31);
}

TEST(ExternalCalls, SystemModulesFillStructures) {
  const std::string out = runSource(
      "    extern int \"kernel32\" \"GetLocalTime\"(long double:0)\n"
      "    stdout word:0 >= 2024 and word:1 >= 1 and word:1 <= 12 and word:3 >= 1 and word:7 < 1000\n"
      "    stdout @extern int \"user32\" \"GetCursorPos\"(long double:1)\n"
      "    stdout str(int:0) + \",\" + str(int:1)\n"
      "    stdout @extern int \"kernel32\" \"QueryPerformanceFrequency\"(long double:2)\n"
      "    stdout int:2\n"
      "    stdout @extern int \"user32\" \"GetSystemMetrics\"(int 0)\n"
      "    stdout @extern int \"user32\" \"FindWindowA\"(int 0, str \"no such window\")\n"
      "    extern int \"kernel32\" \"GetLocalTime\"(long 16)\n"
      "    stdout \"not reached\"\n",
      [&](Machine& m) {
        setDouble(m, 0, static_cast<double>(scalarAddress(m, kWord, 7) - 14));
        setDouble(m, 1, static_cast<double>(scalarAddress(m, kInteger, 3) - 12));
        setDouble(m, 2, static_cast<double>(scalarAddress(m, kInteger, 3) - 4));
      });
  EXPECT_EQ(out, "-1\n1\n512,384\n1\n10000000\n1024\n0\n");
}

TEST(ExternalCalls, ArgumentsGoBackToTheSlotsOfTheCurrentDepth) {
  const std::string out = runSource(
      "    call fill()\n"
      "    goto done\n"
      ".proc fill\n"
      "    stdout @extern int \"" + kLibrary + "\" \"kx_fill\"(str space(4), int 4, str \"xy\")\n"
      "    stdout left(retstr(0), 3) + \" \" + str(retnum(1))\n"
      "    endproc\n"
      "done:\n");
  EXPECT_EQ(out, "3\nxyx 4\n");
}

TEST(ExternalCalls, ManyArgumentsInEitherCountForm) {
  std::string args;
  for (int i = 1; i <= 54; ++i) args += (i > 1 ? ", int " : "int ") + std::to_string(i);
  // snprintf takes as many arguments as the format asks for.
  auto format = [](int n) {
    std::string f = "\"";
    for (int i = 0; i < n; ++i) f += "%d";
    return f + "\"";
  };
  const std::string source = "    stdout @extern int \"libc.so.6\" \"snprintf\"(str space(200), int 200, str " + format(52) +
                             ", " + args.substr(0, args.rfind(", int 53")) + ")\n"
                             "    stdout left(retstr(0), 20)\n"
                             "    stdout @extern int \"libc.so.6\" \"snprintf\"[str space(200), int 200, str " + format(51) +
                             ", " + args.substr(0, args.rfind(", int 52")) + "]\n";
  EXPECT_EQ(runSource(source), "95\n12345678910111213141\n93\n");
}

TEST(Callbacks, StubsAreRegisteredOncePerArityAndEntry) {
  const std::string out = runSource(
      "    stdout callback(handler, 1) = callback(handler, 1)\n"
      "    stdout callback(handler, 1) = callback(handler, 2)\n"
      "    stdout callback(handler, 7)\n"
      "    stdout @extern long \"" + kLibrary + "\" \"kx_call_arity\"(int 1, long callback(handler, 1))\n"
      "    stdout int:0\n"
      "    goto done\n"
      ".proc handler\n"
      "    let int:0 = int:0 + 1\n"
      "    result arg.double:0 + 41\n"
      "    endproc\n"
      "done:\n",
      [](Machine& m) { m.vars.scalars[kInteger]->growTo(4); });
  EXPECT_EQ(out, "-1\n0\n0\n42\n1\n");
}

TEST(Callbacks, AHandlerErrorLeavesTheInterpreterWhereItWas) {
  testing::internal::CaptureStderr();
  const std::string out = runSource(
      "    stdout @extern long \"" + kLibrary + "\" \"kx_call_arity\"(int 2, long callback(broken, 2)) + 1\n"
      "    stdout @extern long \"" + kLibrary + "\" \"kx_call_arity\"(int 2, long callback(broken, 2)) + 1\n"
      "    for int:1 = 1 to 2 step 1 else done\n"
      "top:\n"
      "    stdout @extern long \"" + kLibrary + "\" \"kx_call_arity\"(int 2, long callback(broken, 2))\n"
      "    next top\n"
      "    goto done\n"
      ".proc broken\n"
      "    for int:0 = 1 to 3 step 1 else after\n"
      "inner:\n"
      "    result arg.double:1 \\ (arg.double:0 - 1)\n"
      "    next inner\n"
      "after:\n"
      "    endproc\n"
      "done:\n"
      "    stdout \"depth fine\"\n",
      [](Machine& m) { m.vars.scalars[kInteger]->growTo(8); });
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(out, "1\n1\n0\n0\ndepth fine\n");
  EXPECT_NE(err.find("kestrel: error in a call-back: "), std::string::npos);
}

TEST(Callbacks, AStubCalledFromAnotherThreadRunsNothing) {
  Machine m(parseImage(kasm::assemble("    stdout 1\n")));
  const uint64_t stub = extcall::registerCallback(m, 0, 1);
  ASSERT_NE(stub, 0u);
  testing::internal::CaptureStderr();
  int64_t result = -1;
  std::thread other([&] { result = reinterpret_cast<int64_t (*)(int64_t)>(stub)(5); });
  other.join();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(result, 0);
  EXPECT_NE(err.find("another thread"), std::string::npos);
}

// ---------------------------------------------------------------- INI files

class ProfileFiles : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() / ("kestrel-ini-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder_);
    path_ = (folder_ / "Settings.INI").string();
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::string read() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::filesystem::path folder_;
  std::string path_;
};

TEST_F(ProfileFiles, KeepCommentsAndOrderAndMatchWithoutCase) {
  {
    std::ofstream out(path_, std::ios::binary);
    out << "; settings\n[Main]\nName = 'quoted'  \nCount=3\n\n[Other]\nA=1\n";
  }
  extcall::win::ProfileFile f(path_);
  EXPECT_EQ(f.value("MAIN", "name"), "quoted");
  EXPECT_EQ(f.keys("main"), (std::vector<std::string>{"Name", "Count"}));
  f.set("main", "NEW", "x");
  f.set("Main", "count", "4");
  f.set("Third", "B", "2");
  ASSERT_TRUE(f.save());
  EXPECT_EQ(read(),
            "; settings\r\n[Main]\r\nName = 'quoted'  \r\nCount=4\r\nNEW=x\r\n\r\n[Other]\r\nA=1\r\n\r\n[Third]\r\nB=2\r\n");
}

TEST_F(ProfileFiles, ListsAndBuffersFollowTheWindowsRules) {
  using GetString = uint32_t (*)(uintptr_t, uintptr_t, uintptr_t, uintptr_t, uint32_t, uintptr_t);
  using GetInt = uint32_t (*)(uintptr_t, uintptr_t, int32_t, uintptr_t);
  auto getString = reinterpret_cast<GetString>(extcall::builtinFunction(extcall::kKernel32Module, "GetPrivateProfileStringA"));
  auto getInt = reinterpret_cast<GetInt>(extcall::builtinFunction(extcall::kKernel32Module, "GetPrivateProfileIntA"));
  ASSERT_NE(getString, nullptr);
  {
    std::ofstream out(path_, std::ios::binary);
    out << "[Alpha]\r\nOne=1\r\nTwo=-12x\r\nHex=0x1F\r\nEmpty=\r\n[Beta]\r\n";
  }
  auto p = [](const char* s) { return reinterpret_cast<uintptr_t>(s); };
  const std::string lower = folder_.string() + "/settings.ini";  // found whatever its case
  char buffer[32];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(getString(0, 0, p(""), p(buffer), 32, p(lower.c_str())), 11u);
  EXPECT_EQ(std::string(buffer, 12), std::string("Alpha\0Beta\0\0", 12));
  EXPECT_EQ(getString(p("alpha"), 0, p(""), p(buffer), 8, p(lower.c_str())), 6u);  // cut, two zeros
  EXPECT_EQ(std::string(buffer, 8), std::string("One\0Tw\0\0", 8));
  EXPECT_EQ(getString(p("Alpha"), p("One"), p(""), p(buffer), 1, p(lower.c_str())), 0u);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(getString(p("Alpha"), p("Two"), p(""), p(buffer), 3, p(lower.c_str())), 2u);
  EXPECT_STREQ(buffer, "-1");
  EXPECT_EQ(static_cast<int32_t>(getInt(p("Alpha"), p("Two"), 5, p(lower.c_str()))), -12);
  EXPECT_EQ(getInt(p("Alpha"), p("Hex"), 5, p(lower.c_str())), 31u);
  EXPECT_EQ(getInt(p("Alpha"), p("Empty"), 5, p(lower.c_str())), 5u);
  EXPECT_EQ(getInt(p("Gamma"), p("One"), 9, p(lower.c_str())), 9u);
}

}  // namespace
}  // namespace kestrel
