// Path translation, command lines and program starts, checked memory
// access, file searches and WAV data.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/file_search.h"
#include "platform/files.h"
#include "platform/low_arena.h"
#include "platform/memory_access.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/wav.h"
#include "state/errors.h"

using namespace kestrel;
using namespace kestrel::platform;
namespace fs = std::filesystem;

namespace {

// A fresh folder, made the current directory for the test's life.
class TempFolder {
 public:
  TempFolder() {
    char tmpl[] = "/tmp/kestrel-platform-XXXXXX";
    path_ = mkdtemp(tmpl);
    old_ = fs::current_path();
    fs::current_path(path_);
  }
  ~TempFolder() {
    fs::current_path(old_);
    fs::remove_all(path_);
  }
  const std::string& path() const { return path_; }
  void file(const std::string& name, const std::string& content = "x") { std::ofstream(name) << content; }

 private:
  std::string path_;
  fs::path old_;
};

}  // namespace

TEST(Paths, WindowsNamesBecomeSystemNames) {
  EXPECT_EQ(windowsToPosixPath("C:\\data\\a.txt"), "/data/a.txt");
  EXPECT_EQ(windowsToPosixPath("d:"), ".");
  EXPECT_EQ(windowsToPosixPath("D:sub\\x"), "sub/x");
  EXPECT_EQ(windowsToPosixPath("plain/name.txt"), "plain/name.txt");
  EXPECT_EQ(windowsToPosixPath("\\\\server\\share"), "//server/share");
  EXPECT_EQ(windowsToPosixPath("1:x"), "1:x");  // only a letter names a drive
}

TEST(Paths, MissingPartsAreMatchedWithoutCase) {
  TempFolder t;
  fs::create_directory("Data");
  t.file("Data/Report.TXT", "r");
  EXPECT_EQ(translatePath("data\\report.txt"), "Data/Report.TXT");
  EXPECT_EQ(translatePath(t.path() + "\\DATA\\REPORT.txt"), t.path() + "/Data/Report.TXT");
  // The exact name wins over a case match; a new name stays as written.
  t.file("Data/report.txt", "exact");
  EXPECT_EQ(translatePath("Data\\report.txt"), "Data/report.txt");
  EXPECT_EQ(translatePath("DATA\\new\\File.txt"), "Data/new/File.txt");
}

TEST(CommandLine, SplitsTheWindowsWay) {
  using V = std::vector<std::string>;
  EXPECT_EQ(splitCommandLine("prog a b"), (V{"prog", "a", "b"}));
  EXPECT_EQ(splitCommandLine("  \"C:\\Program Files\\x.exe\" \"two words\" x"),
            (V{"C:\\Program Files\\x.exe", "two words", "x"}));
  EXPECT_EQ(splitCommandLine("p a\\\\\"b c\" d"), (V{"p", "a\\b c", "d"}));  // 2n backslashes + quote
  EXPECT_EQ(splitCommandLine("p a\\\"b"), (V{"p", "a\"b"}));                 // 2n+1: a literal quote
  EXPECT_EQ(splitCommandLine("p C:\\dir\\ x"), (V{"p", "C:\\dir\\", "x"}));  // plain backslashes stay
  EXPECT_EQ(splitCommandLine("p \"\" \"say \"\"hi\"\"\""), (V{"p", "", "say \"hi\""}));
  EXPECT_TRUE(splitCommandLine("   ").empty());
}

TEST(Processes, RunWithAndWithoutWaiting) {
  TempFolder t;
  ProgramStart r = startProgram("sh -c \"exit 7\"", true, "");
  EXPECT_EQ(r.error, 0);
  EXPECT_EQ(r.exitStatus, 7);
  // Arguments reach the program as split, with no shell in between.
  r = startProgram("sh -c \"printf '%s|' \\\"$0\\\" > out.txt\" \"a b;c\"", true, "");
  EXPECT_EQ(r.exitStatus, 0);
  std::ifstream in("out.txt");
  std::string got((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(got, "a b;c|");
  EXPECT_EQ(startProgram("no-such-program-here.exe", true, "").error, ENOENT);
  EXPECT_EQ(startProgram("", false, "").error, ENOENT);

  // A program started without waiting is reaped when it ends: no child is
  // left for the process to wait for.
  ASSERT_EQ(startProgram("true", false, "").error, 0);
  bool reaped = false;
  for (int i = 0; i < 200 && !reaped; ++i) {
    usleep(10000);
    errno = 0;
    reaped = waitpid(-1, nullptr, WNOHANG) < 0 && errno == ECHILD;
  }
  EXPECT_TRUE(reaped);
}

TEST(Processes, ExeEndingFindsTheProgramWithoutIt) {
  TempFolder t;
  t.file("tool", "#!/bin/sh\nexit 4\n");
  chmod("tool", 0755);
  EXPECT_EQ(findProgram("TOOL.EXE", t.path()), t.path() + "/tool");
  EXPECT_EQ(startProgram(".\\tool.exe", true, "").exitStatus, 4);
  EXPECT_EQ(findProgram("sh", ""), "/usr/bin/sh");
}

TEST(Memory, ArenaAndOtherAddressesAreReadSafely) {
  GrowableBlock block(1 << 16);
  block.growTo(64);
  std::memcpy(block.data(), "arena\0", 6);
  const auto arena = reinterpret_cast<uint64_t>(block.data());
  EXPECT_EQ(textAtAddress(arena, 100), "arena");

  const std::string heap = "on the heap";
  EXPECT_EQ(textAtAddress(reinterpret_cast<uint64_t>(heap.c_str()), 100), "on the heap");
  EXPECT_EQ(textAtAddress(reinterpret_cast<uint64_t>(heap.c_str()), 5), "on th");
  EXPECT_TRUE(equalMemory(arena, reinterpret_cast<uint64_t>("arena"), 5));
  EXPECT_FALSE(equalMemory(arena, reinterpret_cast<uint64_t>("arenb"), 5));

  try {
    textAtAddress(0x3039, 10);
    FAIL();
  } catch (const RuntimeError& e) {
    EXPECT_STREQ(e.what(), "Access violation at address 00003039");
  }
  EXPECT_THROW(equalMemory(0, arena, 4), RuntimeError);
}

TEST(Memory, TextEndingBeforeAnUnreadablePage) {
  const long page = sysconf(_SC_PAGESIZE);
  auto* p = static_cast<char*>(mmap(nullptr, static_cast<size_t>(page) * 2, PROT_READ | PROT_WRITE,
                                    MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  ASSERT_NE(p, MAP_FAILED);
  mprotect(p + page, static_cast<size_t>(page), PROT_NONE);
  char* text = p + page - 4;
  std::memcpy(text, "abc", 4);
  EXPECT_EQ(textAtAddress(reinterpret_cast<uint64_t>(text), 100), "abc");
  // Without the terminating zero the read runs into the guard page.
  text[3] = 'd';
  try {
    textAtAddress(reinterpret_cast<uint64_t>(text), 100);
    FAIL();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.what(), accessViolationText(reinterpret_cast<uint64_t>(p + page)));
  }
  // A difference before the unreadable byte decides the comparison.
  EXPECT_FALSE(equalMemory(reinterpret_cast<uint64_t>(text), reinterpret_cast<uint64_t>("abcX"), 100));
  munmap(p, static_cast<size_t>(page) * 2);
}

TEST(Memory, NumbersAsAddresses) {
  EXPECT_EQ(addressFromNumber(4096), 4096u);
  EXPECT_EQ(addressFromNumber(-1), 0xFFFFFFFFu);  // a 32-bit pattern stored signed
  EXPECT_EQ(addressFromNumber(1e12), 1000000000000u);
  EXPECT_THROW(addressFromNumber(-3e9), RuntimeError);
  EXPECT_THROW(addressFromNumber(std::nan("")), RuntimeError);
}

TEST(FileSearch, WildcardsIgnoreCase) {
  EXPECT_TRUE(wildcardMatch("*.TXT", "notes.txt"));
  EXPECT_TRUE(wildcardMatch("*.*", "README"));
  EXPECT_TRUE(wildcardMatch("a?c*", "abcdef"));
  EXPECT_FALSE(wildcardMatch("a?c", "ac"));
  EXPECT_FALSE(wildcardMatch("*.txt", "notes.txt.bak"));
  EXPECT_TRUE(wildcardMatch("*a*b*", "xxaxxbxx"));
}

TEST(FileSearch, AttributesSelectEntries) {
  TempFolder t;
  t.file("b.txt", "12345");
  t.file("A.TXT");
  t.file(".hidden");
  t.file("readonly.dat");
  chmod("readonly.dat", 0444);
  fs::create_directory("sub");
  FileSearch s;
  std::vector<std::string> names;
  auto collect = [&](const std::string& pattern, int mask) {
    names.clear();
    for (bool ok = s.first(pattern, mask); ok; ok = s.next()) names.push_back(s.found().name);
    return names;
  };
  using V = std::vector<std::string>;
  // Mask 0: plain files only, in Windows order.
  EXPECT_EQ(collect("*.*", 0), (V{"A.TXT", "b.txt", "readonly.dat"}));
  EXPECT_EQ(collect("*", kAttrDirectory), (V{".", "..", "A.TXT", "b.txt", "readonly.dat", "sub"}));
  EXPECT_EQ(collect("*", kAttrHidden), (V{".hidden", "A.TXT", "b.txt", "readonly.dat"}));
  EXPECT_EQ(collect(t.path() + "\\*.txt", 0), (V{"A.TXT", "b.txt"}));

  ASSERT_TRUE(s.first("B.TXT", 0));
  EXPECT_EQ(s.found().name, "b.txt");
  EXPECT_EQ(s.found().size, 5u);
  EXPECT_EQ(s.found().attributes, kAttrArchive);
  EXPECT_FALSE(s.next());
  EXPECT_EQ(s.found().name, "b.txt");  // the record outlives the search
  ASSERT_TRUE(s.first("readonly.dat", 0));
  EXPECT_EQ(s.found().attributes, kAttrArchive | kAttrReadOnly);
  EXPECT_FALSE(s.first("*.none", 0xFF));
  EXPECT_FALSE(s.first("missing-folder\\*", 0xFF));
}

TEST(FileSearch, ShortNamesAndPackedTimes) {
  EXPECT_EQ(shortNameOf("README.TXT", 1), "");
  EXPECT_EQ(shortNameOf("a.kasm", 1), "A~1.KAS");
  EXPECT_EQ(shortNameOf("Long File Name.html", 2), "LONGFI~2.HTM");
  EXPECT_EQ(shortNameOf(".profile", 1), "PROFIL~1");
  struct tm t {};
  t.tm_year = 2024 - 1900;
  t.tm_mon = 2;
  t.tm_mday = 15;
  t.tm_hour = 13;
  t.tm_min = 45;
  t.tm_sec = 31;
  t.tm_isdst = -1;
  const uint32_t packed = static_cast<uint32_t>(packedDateTime(mktime(&t)));
  EXPECT_EQ(packed >> 16, (44u << 9) | (3u << 5) | 15u);
  EXPECT_EQ(packed & 0xFFFF, (13u << 11) | (45u << 5) | 15u);
  EXPECT_EQ(packedDateTime(0 - 86400 * 365), 0);  // before 1980
}

TEST(Files, MovingNeverReplaces) {
  TempFolder t;
  t.file("one", "1");
  t.file("two", "2");
  EXPECT_FALSE(moveFile("one", "two"));
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(readFileBytes("two", bytes));
  EXPECT_EQ(bytes, std::vector<uint8_t>{'2'});
  EXPECT_TRUE(moveFile("one", "three"));
  EXPECT_FALSE(fileExists("one"));
  EXPECT_TRUE(fileExists("three"));
  EXPECT_FALSE(fileExists("."));
  EXPECT_TRUE(directoryExists("."));
}

namespace {
std::vector<uint8_t> wavFile(uint16_t format, uint16_t channels, uint32_t rate, uint16_t bits,
                             const std::vector<uint8_t>& data) {
  std::vector<uint8_t> b;
  auto put32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i))); };
  auto put16 = [&](uint16_t v) { b.push_back(static_cast<uint8_t>(v)); b.push_back(static_cast<uint8_t>(v >> 8)); };
  auto tag = [&](const char* t) { for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(t[i])); };
  tag("RIFF");
  put32(static_cast<uint32_t>(4 + 8 + 16 + 8 + 5 + data.size()));
  tag("WAVE");
  tag("LIST");  // a chunk to skip, of odd length
  put32(3);
  b.insert(b.end(), {'a', 'b', 'c', 0});
  tag("fmt ");
  put32(16);
  put16(format);
  put16(channels);
  put32(rate);
  put32(rate * channels * bits / 8);
  put16(static_cast<uint16_t>(channels * bits / 8));
  put16(bits);
  tag("data");
  put32(static_cast<uint32_t>(data.size()));
  b.insert(b.end(), data.begin(), data.end());
  return b;
}
}  // namespace

TEST(Wav, ReadsPcmAndRefusesTheRest) {
  auto s = parseWav(wavFile(1, 2, 22050, 16, {1, 2, 3, 4, 5, 6, 7, 8, 9}));
  ASSERT_TRUE(s);
  EXPECT_EQ(s->sampleRate, 22050);
  EXPECT_EQ(s->channels, 2);
  EXPECT_EQ(s->bitsPerSample, 16);
  EXPECT_EQ(s->samples.size(), 8u);  // whole frames only
  auto wide = parseWav(wavFile(1, 1, 8000, 24, {1, 2, 3, 4, 5, 6}));
  ASSERT_TRUE(wide);
  EXPECT_EQ(wide->bitsPerSample, 32);
  EXPECT_EQ(wide->samples, (std::vector<uint8_t>{0, 1, 2, 3, 0, 4, 5, 6}));
  EXPECT_FALSE(parseWav(wavFile(2, 1, 8000, 4, {1, 2})));  // compressed
  std::vector<uint8_t> cut = wavFile(1, 1, 8000, 8, {1, 2, 3});
  cut.resize(30);
  EXPECT_FALSE(parseWav(cut));
  EXPECT_FALSE(parseWav({'R', 'I', 'F', 'F'}));
}

TEST(Wav, SquareWaveHasTheFrequency) {
  const PcmSound tone = squareWave(1000, 10, 8000);
  ASSERT_EQ(tone.samples.size(), 160u);  // 80 samples of 16 bits
  int changes = 0;
  int16_t last = 0;
  for (size_t i = 0; i < 80; ++i) {
    int16_t v;
    std::memcpy(&v, &tone.samples[i * 2], 2);
    if (i > 0 && v != last) ++changes;
    last = v;
  }
  EXPECT_EQ(changes, 19);  // 10 periods: a change every half period
  EXPECT_TRUE(squareWave(18, -5).samples.empty());
}
