// Windows-style names of programs turned into names on this system.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/paths.h"

using kestrel::platform::translatePath;
namespace fs = std::filesystem;

TEST(Paths, DriveLettersAndBackslashes) {
  EXPECT_EQ(translatePath("C:\\kestrel-no-such-dir\\a.txt"), "/kestrel-no-such-dir/a.txt");
  EXPECT_EQ(translatePath("D:"), ".");
  EXPECT_EQ(translatePath("d:relative.txt"), "relative.txt");
  EXPECT_EQ(translatePath("plain/name"), "plain/name");
  EXPECT_EQ(translatePath(""), "");
}

TEST(Paths, LetterCaseIsMatchedPartByPart) {
  const fs::path root = fs::temp_directory_path() / ("kestrel-paths-" + std::to_string(::getpid()));
  fs::remove_all(root);
  fs::create_directories(root / "Data" / "Sub");
  std::ofstream(root / "Data" / "Sub" / "File.TXT") << "x";
  const std::string base = root.string();
  EXPECT_EQ(translatePath(base + "\\data\\SUB\\file.txt"), base + "/Data/Sub/File.TXT");
  // Missing parts keep the name as written; the parts before are still matched.
  EXPECT_EQ(translatePath(base + "\\DATA\\new.txt"), base + "/Data/new.txt");
  EXPECT_EQ(translatePath(base + "\\data\\missing\\x.txt"), base + "/Data/missing/x.txt");
  fs::remove_all(root);
}
