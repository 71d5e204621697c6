#pragma once
// The class name of an automation object: a D-Bus object written
// service[/path][#interface], e.g. "org.freedesktop.Notifications" or
// "org.mpris.MediaPlayer2.vlc/org/mpris/MediaPlayer2#org.mpris.MediaPlayer2.Player".
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::ole {

struct ClassName {
  std::string service;
  std::string path;       // empty: look for it (candidatePaths)
  std::string interface;  // empty: every interface but the bus's standard ones
};

// "Invalid class string" for a class id ("{...}"), an empty name, or a
// service, path or interface that D-Bus does not allow.
ClassName parseClassName(std::string_view text);

// Where to look for the object, in order: the path given; else the paths
// made of the service name's leading elements, longest first
// ("org.mpris.MediaPlayer2.vlc": /org/mpris/MediaPlayer2/vlc,
// /org/mpris/MediaPlayer2, /org/mpris, /org), then "/".
std::vector<std::string> candidatePaths(const ClassName& name);

}  // namespace kestrel::ole
