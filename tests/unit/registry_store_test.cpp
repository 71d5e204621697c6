// The persistent registry store: its text form, key trees, and that a
// writer killed at any moment leaves a complete file behind.
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/registry_store.h"

using namespace kestrel::platform;
namespace fs = std::filesystem;

namespace {

constexpr uint32_t kUser = 0x80000001u;

class RegistryFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("kestrel-registry-" + std::to_string(::getpid()) + "-" +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
  }
  void TearDown() override { fs::remove_all(folder); }
  fs::path folder;
};

RegistryValue text(const std::string& s) {
  RegistryValue v;
  v.type = RegistryValue::kString;
  v.text = s;
  return v;
}

RegistryValue blob(size_t n, uint8_t fill) {
  RegistryValue v;
  v.type = RegistryValue::kBinary;
  v.bytes.assign(n, fill);
  return v;
}

}  // namespace

TEST_F(RegistryFolder, ValuesSurviveInAnotherStoreWithAwkwardNamesAndBytes) {
  RegistryStore a(folder.string());
  ASSERT_TRUE(a.createKey(kUser, "Software\\Odd \"Name\"\\Key"));
  const std::string awkward = std::string("line\nbreak \"quote\" back\\slash \x01\xff end", 34);
  ASSERT_TRUE(a.setValue(kUser, "software\\odd \"name\"\\key", "Value \"1\"", text(awkward)));
  RegistryValue n;
  n.type = RegistryValue::kInteger;
  n.integer = -2147483647 - 1;
  ASSERT_TRUE(a.setValue(kUser, "Software\\Odd \"Name\"\\Key", "n", n));
  ASSERT_TRUE(a.setValue(kUser, "Software\\Odd \"Name\"\\Key", "empty", blob(0, 0)));

  RegistryStore b(folder.string());
  RegistryValue got;
  ASSERT_TRUE(b.getValue(kUser, "SOFTWARE\\ODD \"NAME\"\\KEY", "value \"1\"", got));
  EXPECT_EQ(got.type, RegistryValue::kString);
  EXPECT_EQ(got.text, awkward);
  ASSERT_TRUE(b.getValue(kUser, "Software\\Odd \"Name\"\\Key", "N", got));
  EXPECT_EQ(got.integer, -2147483647 - 1);
  ASSERT_TRUE(b.getValue(kUser, "Software\\Odd \"Name\"\\Key", "empty", got));
  EXPECT_EQ(got.type, RegistryValue::kBinary);
  EXPECT_TRUE(got.bytes.empty());
  // Names keep the case they were created with.
  EXPECT_EQ(b.subKeys(kUser, "software"), std::vector<std::string>{"Odd \"Name\""});
  EXPECT_EQ(b.valueNames(kUser, "Software\\Odd \"Name\"\\Key").front(), "Value \"1\"");
}

TEST_F(RegistryFolder, ChangesByAnotherStoreAreSeen) {
  RegistryStore a(folder.string());
  RegistryStore b(folder.string());
  ASSERT_TRUE(a.createKey(kUser, "K"));
  ASSERT_TRUE(b.setValue(kUser, "K", "v", text("from b")));
  RegistryValue got;
  ASSERT_TRUE(a.getValue(kUser, "K", "v", got));
  EXPECT_EQ(got.text, "from b");
  // A change through `a` keeps b's value.
  ASSERT_TRUE(a.setValue(kUser, "K", "w", text("from a")));
  EXPECT_EQ(b.valueNames(kUser, "K"), (std::vector<std::string>{"v", "w"}));
}

TEST_F(RegistryFolder, KeyTrees) {
  RegistryStore s(folder.string());
  ASSERT_TRUE(s.createKey(kUser, "A\\B\\C"));
  EXPECT_TRUE(s.keyExists(kUser, "a\\b"));
  ASSERT_TRUE(s.createKey(kUser, "A\\B2"));
  ASSERT_TRUE(s.setValue(kUser, "A\\B\\C", "x", text("1")));
  EXPECT_EQ(s.subKeys(kUser, "A"), (std::vector<std::string>{"B", "B2"}));
  // A copy takes the whole tree; not into itself, not over an existing key.
  ASSERT_TRUE(s.copyKey(kUser, "A\\B", "D\\E"));
  RegistryValue got;
  EXPECT_TRUE(s.getValue(kUser, "D\\E\\C", "x", got));
  EXPECT_FALSE(s.copyKey(kUser, "A", "A\\Inside"));
  EXPECT_FALSE(s.copyKey(kUser, "A\\B", "A\\B2"));
  // Deleting a key deletes what is below it, and nothing beside it.
  ASSERT_TRUE(s.deleteKey(kUser, "a\\B"));
  EXPECT_FALSE(s.keyExists(kUser, "A\\B\\C"));
  EXPECT_TRUE(s.keyExists(kUser, "A\\B2"));
  EXPECT_FALSE(s.deleteKey(kUser, "A\\B"));
  EXPECT_FALSE(s.deleteKey(kUser, ""));
  // Renaming refuses a name that is taken.
  ASSERT_TRUE(s.setValue(kUser, "A", "one", text("1")));
  ASSERT_TRUE(s.setValue(kUser, "A", "two", text("2")));
  EXPECT_FALSE(s.renameValue(kUser, "A", "one", "TWO"));
  EXPECT_TRUE(s.renameValue(kUser, "A", "one", "three"));
  // An unknown root holds nothing.
  EXPECT_FALSE(s.createKey(0x12345678u, "X"));
}

TEST_F(RegistryFolder, AKilledWriterLeavesTheOldOrTheNewContent) {
  {
    RegistryStore s(folder.string());
    ASSERT_TRUE(s.createKey(kUser, "K"));
    ASSERT_TRUE(s.setValue(kUser, "K", "v", blob(1 << 20, 0xAA)));
  }
  for (int round = 0; round < 5; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // Writes large values of one byte each, forever, until killed.
      RegistryStore s(folder.string());
      for (uint8_t fill = 1;; ++fill) s.setValue(kUser, "K", "v", blob(1 << 20, fill));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20 + 17 * round));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);

    RegistryStore s(folder.string());
    RegistryValue got;
    ASSERT_TRUE(s.getValue(kUser, "K", "v", got));
    ASSERT_EQ(got.bytes.size(), size_t{1} << 20);
    for (uint8_t b : got.bytes) ASSERT_EQ(b, got.bytes[0]);
  }
}

TEST(RegistryText, ParsesWhatItWrites) {
  RegistryStore::Root root;
  root[""] = {};
  root["A"].name = "A";
  RegistryStore::Key& key = root["A\\B"];
  key.name = "A\\B";
  key.values.emplace_back("bin", blob(3, 0x0F));
  key.values.emplace_back("s", text("\t\"x\"\\"));
  const std::string once = RegistryStore::serialize(root);
  RegistryStore::Root again;
  ASSERT_TRUE(RegistryStore::parse(once, again));
  EXPECT_EQ(RegistryStore::serialize(again), once);
  EXPECT_TRUE(again.count("a"));  // parents of every key exist
  EXPECT_FALSE(RegistryStore::parse("kestrel registry 1\nvalue \"unterminated\n", again));
}

TEST_F(RegistryFolder, ChangesLeaveOnlyTheRootsFiles) {
  RegistryStore s(folder.string());
  ASSERT_TRUE(s.createKey(kUser, "K"));
  ASSERT_TRUE(s.setValue(kUser, "K", "v", text("1")));
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"current_user.txt"});
}

// Without HOME and XDG_CONFIG_HOME the registry goes to the home folder the
// password database gives, never into the current folder.
TEST(RegistryHome, WithoutHomeVariablesThePasswordDatabaseDecides) {
  const char* oldHome = std::getenv("HOME");
  const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
  const std::string home = oldHome ? oldHome : "", xdg = oldXdg ? oldXdg : "";
  ::unsetenv("HOME");
  ::unsetenv("XDG_CONFIG_HOME");
  const std::string folder = RegistryStore::defaultFolder();
  if (oldHome) ::setenv("HOME", home.c_str(), 1);
  if (oldXdg) ::setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
  const passwd* entry = ::getpwuid(::getuid());
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(folder, std::string(entry->pw_dir) + "/.config/kestrel/registry");
}
