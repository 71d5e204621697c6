#include "objects/controls/shortcut_text.h"

#include <cctype>

#include "toolkit/gui_types.h"

namespace kestrel::objects {

namespace {

struct KeyName {
  const char* name;
  int key;
};
constexpr KeyName kNames[] = {
    {"Bksp", 0x08}, {"Tab", 0x09}, {"Esc", 0x1B}, {"Enter", 0x0D}, {"Space", 0x20}, {"PgUp", 0x21},
    {"PgDn", 0x22}, {"End", 0x23}, {"Home", 0x24}, {"Left", 0x25},  {"Up", 0x26},    {"Right", 0x27},
    {"Down", 0x28}, {"Ins", 0x2D}, {"Del", 0x2E},
};
constexpr KeyName kModifiers[] = {{"Shift+", gui::kShiftKey}, {"Ctrl+", gui::kCtrlKey}, {"Alt+", gui::kAltKey}};

bool sameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

int keyOfName(std::string_view name) {
  if (name.size() == 1) {
    const int c = std::toupper(static_cast<unsigned char>(name[0]));
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
    return 0;
  }
  if ((name[0] == 'F' || name[0] == 'f') && name.size() <= 3) {
    int n = 0;
    for (char c : name.substr(1)) {
      if (c < '0' || c > '9') return 0;
      n = n * 10 + (c - '0');
    }
    return n >= 1 && n <= 12 ? 0x70 + n - 1 : 0;
  }
  for (const KeyName& k : kNames)
    if (sameText(name, k.name)) return k.key;
  return 0;
}

}  // namespace

ShortCut parseShortCut(std::string_view text) {
  ShortCut out;
  for (bool found = true; found;) {
    found = false;
    for (const KeyName& m : kModifiers) {
      const std::string_view prefix = m.name;
      if (text.size() > prefix.size() && sameText(text.substr(0, prefix.size()), prefix)) {
        out.shift |= m.key;
        text.remove_prefix(prefix.size());
        found = true;
      }
    }
  }
  out.key = text.empty() ? 0 : keyOfName(text);
  if (out.key == 0) out.shift = 0;
  return out;
}

std::string shortCutText(ShortCut shortCut) {
  if (shortCut.key == 0) return {};
  std::string out;
  for (const KeyName& m : kModifiers)
    if ((shortCut.shift & m.key) != 0) out += m.name;
  const int key = shortCut.key;
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return out + static_cast<char>(key);
  if (key >= 0x70 && key <= 0x7B) return out + "F" + std::to_string(key - 0x70 + 1);
  for (const KeyName& k : kNames)
    if (k.key == key) return out + k.name;
  return {};
}

}  // namespace kestrel::objects
