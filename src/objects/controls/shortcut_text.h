#pragma once
// Menu shortcuts in their text form: modifiers "Shift+", "Ctrl+" and
// "Alt+" (in any order, any letter case) before a key name: a letter, a
// digit, F1 to F12, or one of Bksp, Tab, Esc, Enter, Space, PgUp, PgDn,
// End, Home, Left, Up, Right, Down, Ins, Del.
#include <string>
#include <string_view>

namespace kestrel::objects {

struct ShortCut {
  int key = 0;    // virtual-key code; 0: no shortcut
  int shift = 0;  // shift code: Shift 256, Alt 16, Ctrl 1
  bool operator==(const ShortCut&) const = default;
};

// The shortcut a text names; none (key 0) for a text that names none.
ShortCut parseShortCut(std::string_view text);
// The text of a shortcut, modifiers in the order Shift, Ctrl, Alt ("" for none).
std::string shortCutText(ShortCut shortCut);

}  // namespace kestrel::objects
