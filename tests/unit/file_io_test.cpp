// Program files: what is written is seen by reads, sizes and other
// readers at once, and failures to write are errors.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/file_io.h"
#include "state/errors.h"

using namespace kestrel::platform;
namespace fs = std::filesystem;

namespace {
std::string contents(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}
}  // namespace

TEST(FileModes, ValuesMapToOpenFlags) {
  OpenMode m;
  ASSERT_TRUE(openModeFromValue(0 | 64, m));
  EXPECT_EQ(m.flags, O_RDONLY);
  ASSERT_TRUE(openModeFromValue(1 | 0x20, m));
  EXPECT_EQ(m.flags, O_WRONLY);
  ASSERT_TRUE(openModeFromValue(2 | 0x10, m));
  EXPECT_EQ(m.flags, O_RDWR);
  for (int32_t create : {65535, 65280, 65280 | 64, 65280 | 0x30}) {
    ASSERT_TRUE(openModeFromValue(create, m));
    EXPECT_TRUE(m.create);
    EXPECT_EQ(m.flags, O_RDWR | O_CREAT | O_TRUNC);
  }
  EXPECT_FALSE(openModeFromValue(3, m));
}

TEST(ProgramFile, ReadsSeeWritesAndNothingIsLost) {
  const fs::path path = fs::temp_directory_path() / ("kestrel-file-" + std::to_string(::getpid()));
  OpenMode mode;
  openModeFromValue(65535, mode);
  std::string reason;
  {
    auto f = File::open(path.string(), mode, reason);
    ASSERT_TRUE(f) << reason;
    for (int i = 0; i < 1000; ++i) {
      const uint8_t b = static_cast<uint8_t>(i);
      f->writeAt(i, &b, 1);
    }
    EXPECT_EQ(f->size(), 1000);
    uint8_t got[4] = {};
    EXPECT_EQ(f->readAt(998, got, 4), 2u);
    EXPECT_EQ(got[0], static_cast<uint8_t>(998));
    // A write out of sequence and a large one.
    const uint8_t x = 0xEE;
    f->writeAt(5, &x, 1);
    std::vector<uint8_t> big(200000, 0x11);
    f->writeAt(2000, big.data(), big.size());
    EXPECT_EQ(f->size(), 202000);
    EXPECT_EQ(f->readAt(5, got, 1), 1u);
    EXPECT_EQ(got[0], 0xEE);
    const uint8_t y = 0x22;
    f->writeAt(202000, &y, 1);
    EXPECT_EQ(contents(path).size(), 202001u);  // already in the file for any other reader
  }
  const std::string data = contents(path);
  ASSERT_EQ(data.size(), 202001u);
  EXPECT_EQ(static_cast<uint8_t>(data[5]), 0xEE);
  EXPECT_EQ(static_cast<uint8_t>(data[999]), static_cast<uint8_t>(999));
  EXPECT_EQ(data[1500], 0);
  EXPECT_EQ(data.back(), 0x22);

  // Opened for reading only: writing is an error, reading works.
  openModeFromValue(0, mode);
  auto r = File::open(path.string(), mode, reason);
  ASSERT_TRUE(r);
  const uint8_t z = 1;
  EXPECT_THROW(r->writeAt(0, &z, 1), kestrel::RuntimeError);
  fs::remove(path);
  EXPECT_FALSE(File::open(path.string(), mode, reason));
  EXPECT_FALSE(reason.empty());
}

TEST(ProgramFile, WriteAndCloseFailuresAreReported) {
  OpenMode mode;
  openModeFromValue(1, mode);
  std::string reason;
  auto full = File::open("/dev/full", mode, reason);
  ASSERT_TRUE(full) << reason;
  const uint8_t b = 1;
  EXPECT_THROW(full->writeAt(0, &b, 1), kestrel::RuntimeError);
  EXPECT_TRUE(full->close());

  const fs::path path = fs::temp_directory_path() / ("kestrel-close-" + std::to_string(::getpid()));
  openModeFromValue(65535, mode);
  auto f = File::open(path.string(), mode, reason);
  ASSERT_TRUE(f) << reason;
  ::close(f->handle());  // closed behind the file's back
  EXPECT_FALSE(f->close());
  fs::remove(path);
}
