#pragma once
// The entries of one folder, for the file list box and the directory tree,
// and the path arithmetic they need. Nothing here changes the process's
// current directory.
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::platform {

struct DirectoryEntry {
  std::string name;
  bool directory = false;  // a folder, or a symbolic link to one
  bool link = false;       // a symbolic link (to anything)
  bool hidden = false;     // the name starts with a dot
  bool readOnly = false;   // no write permission bit, or none for this process
  bool system = false;     // neither a file nor a folder (a device, a pipe, a socket)
};

// The entries of `folder` without "." and "..", in no particular order;
// with `foldersOnly`, only folders and links to them (a quicker read).
// False when the folder cannot be read.
bool listDirectory(const std::string& folder, std::vector<DirectoryEntry>& entries, bool foldersOnly = false);

// The process's current directory ("/" when it cannot be told).
std::string currentDirectory();

// `path` made absolute against `base` (itself absolute) with "." and ".."
// resolved by the text alone and no slash at the end, except for "/".
std::string absolutePath(std::string_view path, std::string_view base);

// The folder that holds `path` ("/" for "/" itself).
std::string parentPath(std::string_view path);

// `folder` and `name` joined with one slash.
std::string joinPath(std::string_view folder, std::string_view name);

}  // namespace kestrel::platform
