#pragma once
// Programs name files the Windows way. One translation turns such a name
// into a name on this system: backslashes become slashes, a leading drive
// letter and colon are dropped ("C:\data\a.txt" is "/data/a.txt", "D:"
// alone is the current folder), and a part of the name that does not exist
// exactly is matched without regard to letter case in its folder.
#include <string>
#include <string_view>

namespace kestrel::platform {

std::string translatePath(std::string_view programPath);

}  // namespace kestrel::platform
