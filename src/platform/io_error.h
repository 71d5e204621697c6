#pragma once
// The input/output error that file and directory operations raise.
#include <string>

namespace kestrel::platform {

// The text for an errno value: "File not found", "Path not found", "File
// access denied", "Disk full", ... and "I/O error N" for the rest.
std::string ioErrorText(int errnoValue);
[[noreturn]] void raiseIoError(int errnoValue);

}  // namespace kestrel::platform
