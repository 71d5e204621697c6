// kernel32: time, sleeping, beeps, folders, names, environment, files,
// INI files, local and system time, and string helpers.
#include <pwd.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <thread>

#include "extcall/builtin_modules/builtin_module.h"
#include "extcall/builtin_modules/builtin_support.h"
#include "extcall/builtin_modules/profile_file.h"
#include "extcall/external_state.h"
#include "core/machine.h"
#include "toolkit/toolkit.h"

namespace kestrel::extcall::win {

namespace {

namespace fs = std::filesystem;

// Buffer rule of the folder and variable functions: the length without the
// terminator when the text fits, else the size needed with it (buffer untouched).
DWORD fitOrNeed(Address buffer, DWORD size, const std::string& text) {
  if (text.size() + 1 > size) return static_cast<DWORD>(text.size() + 1);
  return putText(buffer, size, text);
}

BOOL fail(DWORD error) {
  setLastError(error);
  return 0;
}

// ---------------------------------------------------------------- time

DWORD GetTickCount() { return static_cast<DWORD>(millisecondsSinceBoot()); }

uint64_t GetTickCount64() { return millisecondsSinceBoot(); }

constexpr int64_t kPerformanceFrequency = 10000000;  // 100-nanosecond ticks

BOOL QueryPerformanceCounter(Address counter) {
  return guarded<BOOL>(0, [&] {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    const int64_t ticks = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() / 100;
    putBytes(counter, &ticks, sizeof ticks);
    return 1;
  });
}

BOOL QueryPerformanceFrequency(Address frequency) {
  return guarded<BOOL>(0, [&] {
    putBytes(frequency, &kPerformanceFrequency, sizeof kPerformanceFrequency);
    return 1;
  });
}

void Sleep(DWORD milliseconds) {
  guarded<int>(0, [&] {
    machine().out.flush();
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    return 0;
  });
}

BOOL Beep(DWORD frequency, DWORD duration) {
  if (frequency < 37 || frequency > 32767) return fail(kErrorInvalidParameter);
  toolkit().beep();
  std::this_thread::sleep_for(std::chrono::milliseconds(duration));
  return 1;
}

// SYSTEMTIME: year, month, day of week, day, hour, minute, second, milliseconds.
void putSystemTime(Address to, bool local) {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm t{};
  if (local) localtime_r(&seconds, &t);
  else gmtime_r(&seconds, &t);
  const uint16_t fields[8] = {static_cast<uint16_t>(t.tm_year + 1900), static_cast<uint16_t>(t.tm_mon + 1),
                              static_cast<uint16_t>(t.tm_wday),        static_cast<uint16_t>(t.tm_mday),
                              static_cast<uint16_t>(t.tm_hour),        static_cast<uint16_t>(t.tm_min),
                              static_cast<uint16_t>(t.tm_sec),         static_cast<uint16_t>(ms)};
  putBytes(to, fields, sizeof fields);
}

void GetLocalTime(Address time) {
  guarded<int>(0, [&] {
    putSystemTime(time, true);
    return 0;
  });
}

void GetSystemTime(Address time) {
  guarded<int>(0, [&] {
    putSystemTime(time, false);
    return 0;
  });
}

// ---------------------------------------------------------------- folders and names

DWORD GetCurrentDirectoryA(DWORD size, Address buffer) {
  return guarded<DWORD>(0, [&] {
    std::error_code e;
    const std::string folder = fs::current_path(e).string();
    return fitOrNeed(buffer, size, folder);
  });
}

DWORD GetTempPathA(DWORD size, Address buffer) {
  return guarded<DWORD>(0, [&] {
    std::string folder = "/tmp";
    if (const char* t = std::getenv("TMPDIR"); t != nullptr && *t != 0) folder = t;
    if (folder.back() != '/') folder += '/';
    return fitOrNeed(buffer, size, folder);
  });
}

UINT GetWindowsDirectoryA(Address buffer, UINT size) {
  return guarded<UINT>(0, [&] { return fitOrNeed(buffer, size, windowsDirectory()); });
}

UINT GetSystemDirectoryA(Address buffer, UINT size) {
  return guarded<UINT>(0, [&] { return fitOrNeed(buffer, size, windowsDirectory()); });
}

BOOL GetComputerNameA(Address buffer, Address size) {
  return guarded<BOOL>(0, [&] {
    char host[HOST_NAME_MAX + 1] = {};
    gethostname(host, sizeof host - 1);
    const std::string name = host;
    const DWORD room = getDword(size);
    if (name.size() + 1 > room) {
      putDword(size, static_cast<DWORD>(name.size() + 1));
      return fail(kErrorBufferOverflow);
    }
    putDword(size, putText(buffer, room, name));
    return 1;
  });
}

DWORD GetEnvironmentVariableA(Address name, Address buffer, DWORD size) {
  return guarded<DWORD>(0, [&]() -> DWORD {
    const char* value = std::getenv(textAt(name).c_str());
    if (value == nullptr) return fail(kErrorEnvvarNotFound);
    return fitOrNeed(buffer, size, value);
  });
}

BOOL SetEnvironmentVariableA(Address name, Address value) {
  return guarded<BOOL>(0, [&] {
    const std::string key = textAt(name);
    if (key.empty() || key.find('=') != std::string::npos) return fail(kErrorInvalidParameter);
    if (value == 0) ::unsetenv(key.c_str());
    else ::setenv(key.c_str(), textAt(value).c_str(), 1);
    return 1;
  });
}

// The program's own file for module 0, else the file of a loaded library.
DWORD GetModuleFileNameA(HANDLE module, Address buffer, DWORD size) {
  return guarded<DWORD>(0, [&]() -> DWORD {
    Machine& m = machine();
    std::string path;
    if (module == 0) {
      path = m.options.executablePath;
      std::error_code e;
      const fs::path absolute = fs::absolute(path, e);
      if (!e) path = absolute.lexically_normal().string();
    } else {
      path = stateOf(m).libraries.fileOf(static_cast<uint64_t>(module));
      if (path.empty()) return fail(kErrorInvalidParameter);
    }
    const DWORD copied = putText(buffer, size, path);
    if (copied < path.size()) {
      setLastError(kErrorInsufficientBuffer);
      return size;
    }
    return copied;
  });
}

DWORD GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }

DWORD GetLastError() { return lastError(); }

void SetLastError(DWORD code) { setLastError(code); }

// ---------------------------------------------------------------- files

BOOL CopyFileA(Address from, Address to, BOOL failIfExists) {
  return guarded<BOOL>(0, [&] {
    const fs::path source = hostPath(textAt(from)), target = hostPath(textAt(to));
    std::error_code e;
    if (!fs::is_regular_file(source, e)) return fail(kErrorFileNotFound);
    if (fs::exists(target, e) && failIfExists != 0) return fail(kErrorFileExists);
    fs::copy_file(source, target, fs::copy_options::overwrite_existing, e);
    return e ? fail(kErrorAccessDenied) : 1;
  });
}

BOOL MoveFileA(Address from, Address to) {
  return guarded<BOOL>(0, [&] {
    const fs::path source = hostPath(textAt(from)), target = hostPath(textAt(to));
    std::error_code e;
    if (!fs::exists(source, e)) return fail(kErrorFileNotFound);
    if (fs::exists(target, e)) return fail(kErrorAlreadyExists);
    fs::rename(source, target, e);
    if (e && fs::is_regular_file(source)) {  // another file system: copy, then delete
      e.clear();
      fs::copy_file(source, target, e);
      if (!e) fs::remove(source, e);
    }
    return e ? fail(kErrorAccessDenied) : 1;
  });
}

BOOL DeleteFileA(Address name) {
  return guarded<BOOL>(0, [&] {
    const fs::path path = hostPath(textAt(name));
    std::error_code e;
    if (!fs::exists(fs::symlink_status(path, e))) return fail(kErrorFileNotFound);
    if (fs::is_directory(path, e)) return fail(kErrorAccessDenied);
    return fs::remove(path, e) ? 1 : fail(kErrorAccessDenied);
  });
}

BOOL CreateDirectoryA(Address name, Address) {
  return guarded<BOOL>(0, [&] {
    const fs::path path = hostPath(textAt(name));
    std::error_code e;
    if (fs::exists(path, e)) return fail(kErrorAlreadyExists);
    return fs::create_directory(path, e) ? 1 : fail(kErrorFileNotFound);
  });
}

BOOL RemoveDirectoryA(Address name) {
  return guarded<BOOL>(0, [&] {
    const fs::path path = hostPath(textAt(name));
    std::error_code e;
    if (!fs::is_directory(path, e)) return fail(kErrorFileNotFound);
    return ::rmdir(path.c_str()) == 0 ? 1 : fail(kErrorAccessDenied);
  });
}

constexpr DWORD kAttributeReadOnly = 0x1;
constexpr DWORD kAttributeHidden = 0x2;
constexpr DWORD kAttributeDirectory = 0x10;
constexpr DWORD kAttributeArchive = 0x20;

DWORD GetFileAttributesA(Address name) {
  return guarded<DWORD>(kInvalidFileAttributes, [&]() -> DWORD {
    const std::string path = hostPath(textAt(name));
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
      setLastError(kErrorFileNotFound);
      return kInvalidFileAttributes;
    }
    DWORD attributes = S_ISDIR(st.st_mode) ? kAttributeDirectory : kAttributeArchive;
    if ((st.st_mode & S_IWUSR) == 0) attributes |= kAttributeReadOnly;
    const std::string base = fs::path(path).filename().string();
    if (base.size() > 1 && base[0] == '.' && base != "..") attributes |= kAttributeHidden;
    return attributes;
  });
}

// Only the read-only attribute has a meaning here: it takes the write
// permissions away, and clearing it gives the owner's back.
BOOL SetFileAttributesA(Address name, DWORD attributes) {
  return guarded<BOOL>(0, [&] {
    const std::string path = hostPath(textAt(name));
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return fail(kErrorFileNotFound);
    mode_t mode = st.st_mode & 07777;
    if ((attributes & kAttributeReadOnly) != 0) mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
    else mode |= S_IWUSR;
    return ::chmod(path.c_str(), mode) == 0 ? 1 : fail(kErrorAccessDenied);
  });
}

// ---------------------------------------------------------------- INI files

// Names each followed by a zero and the list by one more; a list too long
// is cut and still ends in two zeros, and the result is then size - 2.
DWORD putList(Address buffer, DWORD size, const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& n : names) joined += n + '\0';
  if (size < 2) {
    if (size == 1) putBytes(buffer, "", 1);
    return 0;
  }
  if (joined.size() + 1 <= size) {
    joined += '\0';
    putBytes(buffer, joined.data(), joined.size());
    return static_cast<DWORD>(joined.size() - 1);
  }
  joined.resize(size - 2);
  joined += std::string(2, '\0');
  putBytes(buffer, joined.data(), joined.size());
  return size - 2;
}

std::string profileName(Address file) { return file == 0 ? std::string("win.ini") : textAt(file); }

DWORD GetPrivateProfileStringA(Address section, Address key, Address fallback, Address buffer, DWORD size,
                               Address file) {
  return guarded<DWORD>(0, [&] {
    const ProfileFile profile(profilePath(profileName(file)));
    if (section == 0) return putList(buffer, size, profile.sections());
    const std::string sectionName = textAt(section);
    if (key == 0) return putList(buffer, size, profile.keys(sectionName));
    std::optional<std::string> value = profile.value(sectionName, textAt(key));
    if (!value) {
      std::string d = textAt(fallback);
      while (!d.empty() && d.back() == ' ') d.pop_back();
      value = d;
      setLastError(kErrorFileNotFound);
    }
    return putText(buffer, size, *value);
  });
}

// The leading integer of a value: decimal, or hexadecimal after 0x.
int64_t leadingInteger(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) break;
    v = (v * base + digit) & 0xFFFFFFFFLL;
  }
  return negative ? -v : v;
}

UINT GetPrivateProfileIntA(Address section, Address key, INT fallback, Address file) {
  return guarded<UINT>(0, [&] {
    const ProfileFile profile(profilePath(profileName(file)));
    const std::optional<std::string> value = profile.value(textAt(section), textAt(key));
    if (!value || value->empty()) return static_cast<UINT>(fallback);
    return static_cast<UINT>(leadingInteger(*value));
  });
}

BOOL WritePrivateProfileStringA(Address section, Address key, Address value, Address file) {
  return guarded<BOOL>(0, [&] {
    if (section == 0) return 1;  // only flushes a cache on Windows
    ProfileFile profile(profilePath(profileName(file)));
    const std::string sectionName = textAt(section);
    if (key == 0) profile.removeSection(sectionName);
    else if (value == 0) profile.removeKey(sectionName, textAt(key));
    else profile.set(sectionName, textAt(key), textAt(value));
    return profile.save() ? 1 : fail(kErrorAccessDenied);
  });
}

DWORD GetProfileStringA(Address section, Address key, Address fallback, Address buffer, DWORD size) {
  return GetPrivateProfileStringA(section, key, fallback, buffer, size, 0);
}

UINT GetProfileIntA(Address section, Address key, INT fallback) {
  return GetPrivateProfileIntA(section, key, fallback, 0);
}

BOOL WriteProfileStringA(Address section, Address key, Address value) {
  return WritePrivateProfileStringA(section, key, value, 0);
}

// ---------------------------------------------------------------- strings

INT lstrlenA(Address text) {
  return guarded<INT>(0, [&] { return static_cast<INT>(textAt(text).size()); });
}

Address lstrcpyA(Address to, Address from) {
  return guarded<Address>(0, [&] {
    const std::string text = textAt(from);
    putBytes(to, text.c_str(), text.size() + 1);
    return to;
  });
}

Address lstrcatA(Address to, Address from) {
  return guarded<Address>(0, [&] {
    const std::string head = textAt(to);
    const std::string tail = textAt(from);
    putBytes(to + head.size(), tail.c_str(), tail.size() + 1);
    return to;
  });
}

INT lstrcmpA(Address a, Address b) {
  return guarded<INT>(0, [&] {
    const int c = textAt(a).compare(textAt(b));
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  });
}

INT lstrcmpiA(Address a, Address b) {
  return guarded<INT>(0, [&] {
    const int c = strcasecmp(textAt(a).c_str(), textAt(b).c_str());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  });
}

const BuiltinFunction kFunctions[] = {
    KESTREL_EXPORT(Beep),
    KESTREL_EXPORT(CopyFileA),
    KESTREL_EXPORT(CreateDirectoryA),
    KESTREL_EXPORT(DeleteFileA),
    KESTREL_EXPORT(GetComputerNameA),
    KESTREL_EXPORT(GetCurrentDirectoryA),
    KESTREL_EXPORT(GetCurrentProcessId),
    KESTREL_EXPORT(GetEnvironmentVariableA),
    KESTREL_EXPORT(GetFileAttributesA),
    KESTREL_EXPORT(GetLastError),
    KESTREL_EXPORT(GetLocalTime),
    KESTREL_EXPORT(GetModuleFileNameA),
    KESTREL_EXPORT(GetPrivateProfileIntA),
    KESTREL_EXPORT(GetPrivateProfileStringA),
    KESTREL_EXPORT(GetProfileIntA),
    KESTREL_EXPORT(GetProfileStringA),
    KESTREL_EXPORT(GetSystemDirectoryA),
    KESTREL_EXPORT(GetSystemTime),
    KESTREL_EXPORT(GetTempPathA),
    KESTREL_EXPORT(GetTickCount),
    KESTREL_EXPORT(GetTickCount64),
    KESTREL_EXPORT(GetWindowsDirectoryA),
    KESTREL_EXPORT(MoveFileA),
    KESTREL_EXPORT(QueryPerformanceCounter),
    KESTREL_EXPORT(QueryPerformanceFrequency),
    KESTREL_EXPORT(RemoveDirectoryA),
    KESTREL_EXPORT(SetEnvironmentVariableA),
    KESTREL_EXPORT(SetFileAttributesA),
    KESTREL_EXPORT(SetLastError),
    KESTREL_EXPORT(Sleep),
    KESTREL_EXPORT(WritePrivateProfileStringA),
    KESTREL_EXPORT(WriteProfileStringA),
    KESTREL_EXPORT(lstrcatA),
    KESTREL_EXPORT(lstrcmpA),
    KESTREL_EXPORT(lstrcmpiA),
    KESTREL_EXPORT(lstrcpyA),
    KESTREL_EXPORT(lstrlenA),
};

}  // namespace

}  // namespace kestrel::extcall::win

namespace kestrel::extcall {
const BuiltinModule kKernel32Module{"kernel32", win::kFunctions, std::size(win::kFunctions)};
}
