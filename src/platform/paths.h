#pragma once
// File names as programs write them (Windows style) turned into names of
// this system: backslashes become slashes, a leading drive letter and colon
// are dropped ("C:\data\a.txt" is "/data/a.txt", "D:" alone is the current
// directory), and a part of the name that does not exist with that exact
// spelling is looked up without regard to case in its folder.
#include <string>
#include <string_view>

namespace kestrel::platform {

// The textual part of the translation: slashes and the drive letter.
std::string windowsToPosixPath(std::string_view path);

// The whole translation: text first, then each part that does not exist as
// spelled is replaced by a case-insensitive match in the same folder when
// there is one. Parts after one that has no match stay as written.
std::string translatePath(std::string_view path);

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute
// path, else .config in the home folder ($HOME, else the password
// database's entry for the user); "" when the user has no home.
std::string configFolder();

// Case-insensitive comparison of ASCII letters (names as Windows compares them).
bool equalsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace kestrel::platform
