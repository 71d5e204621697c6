#pragma once
// Small file operations on names that have been translated already.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::platform {

bool fileExists(const std::string& path);       // a file (not a folder)
bool directoryExists(const std::string& path);

// Moves or renames a file or folder. An existing target is never replaced;
// a file moves to another file system by copy and delete.
bool moveFile(const std::string& from, const std::string& to);

// Writes the bytes to a new or replaced file; false when it cannot.
bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
// Writes the bytes to a temporary file beside `path` and renames it over
// `path`, so that a failed write leaves the old file whole; false when it cannot.
bool replaceFileBytes(const std::string& path, std::string_view bytes);
// The whole file, or false when it cannot be read.
bool readFileBytes(const std::string& path, std::vector<uint8_t>& bytes);

}  // namespace kestrel::platform
