#include "extcall/builtin_modules/builtin_support.h"

#include "platform/paths.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <time.h>

#include <cstdlib>
#include <filesystem>

#include "extcall/program_memory.h"

namespace kestrel::extcall::win {

namespace {
thread_local DWORD lastErrorCode = 0;
}

std::string textAt(Address a) { return readZeroTerminated(a); }

DWORD putText(Address buffer, DWORD size, std::string_view text) {
  if (size == 0) return 0;
  const size_t n = std::min<size_t>(text.size(), size - 1);
  std::string copy(text.substr(0, n));
  writeMemory(buffer, copy.c_str(), n + 1);
  return static_cast<DWORD>(n);
}

void putBytes(Address a, const void* bytes, size_t length) { writeMemory(a, bytes, length); }

void putDword(Address a, DWORD v) { writeMemory(a, &v, sizeof v); }

DWORD getDword(Address a) {
  DWORD v = 0;
  readMemory(a, &v, sizeof v);
  return v;
}

Machine& machine() {
  Machine* m = callingMachine();
  if (m == nullptr) raise("A system function was called outside a program");
  return *m;
}

void setLastError(DWORD code) { lastErrorCode = code; }
DWORD lastError() { return lastErrorCode; }

std::string hostPath(std::string_view windowsPath) {
  if (windowsPath.empty()) return ".";
  return platform::translatePath(windowsPath);
}

std::string windowsDirectory() {
  std::string base = platform::configFolder();
  if (base.empty()) base = "/tmp";
  const std::string folder = base + "/kestrel/windows";
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  return folder;
}

uint64_t millisecondsSinceBoot() {
  timespec t{};
  clock_gettime(CLOCK_BOOTTIME, &t);
  return static_cast<uint64_t>(t.tv_sec) * 1000 + static_cast<uint64_t>(t.tv_nsec) / 1000000;
}

}  // namespace kestrel::extcall::win
