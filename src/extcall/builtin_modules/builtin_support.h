#pragma once
// Helpers for the built-in modules: the Windows types' widths, program
// memory reached through checked copies, errors carried out of the foreign
// call, the last-error value and Windows file names.
#include <cstdint>
#include <string>
#include <string_view>

#include "extcall/marshaller.h"
#include "state/errors.h"

namespace kestrel {
class Machine;
}

namespace kestrel::extcall::win {

using BOOL = int32_t;
using DWORD = uint32_t;
using UINT = uint32_t;
using INT = int32_t;
using HANDLE = intptr_t;  // window handles, module handles, device contexts
using WPARAM = intptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using Address = uintptr_t;  // a pointer argument, reached through checked copies

inline constexpr DWORD kErrorFileNotFound = 2;
inline constexpr DWORD kErrorAccessDenied = 5;
inline constexpr DWORD kErrorInvalidParameter = 87;
inline constexpr DWORD kErrorInsufficientBuffer = 122;
inline constexpr DWORD kErrorAlreadyExists = 183;
inline constexpr DWORD kErrorEnvvarNotFound = 203;
inline constexpr DWORD kErrorFileExists = 80;
inline constexpr DWORD kErrorBufferOverflow = 111;
inline constexpr DWORD kInvalidFileAttributes = 0xFFFFFFFFu;

// The zero-terminated text at `a` (0 gives the empty text).
std::string textAt(Address a);
// Copies `text` into a buffer of `size` bytes as far as it fits, always
// zero-terminated when size > 0; returns the characters copied.
DWORD putText(Address buffer, DWORD size, std::string_view text);
void putBytes(Address a, const void* bytes, size_t length);
void putDword(Address a, DWORD v);
DWORD getDword(Address a);

// The machine whose call is running; raises when there is none.
Machine& machine();

void setLastError(DWORD code);
DWORD lastError();

// Windows path spelling to a host path: backslashes, drive letters, and a
// case-insensitive match of the last part when the exact name is missing.
std::string hostPath(std::string_view windowsPath);
// Where Windows keeps its own files (INI files named without a folder):
// $XDG_CONFIG_HOME/kestrel/windows, created when asked for.
std::string windowsDirectory();

// Milliseconds since the system started.
uint64_t millisecondsSinceBoot();

// Runs `body`; an error it raises is carried to the program after the call
// returns (no exception crosses the foreign call), and `failed` is returned.
template <typename R, typename F>
R guarded(R failed, F&& body) {
  try {
    return body();
  } catch (const RuntimeError& e) {
    reportCallError(e.what());
  } catch (const std::exception& e) {
    reportCallError(e.what());
  }
  return failed;
}

}  // namespace kestrel::extcall::win
