// What the toolkit answers about windows, the desktop, keys and sounds when
// an implementation does not know better: a desktop with no windows of the
// program's own, a 1024 x 768 screen at 96 dots per inch, and no sound.
#include "toolkit/toolkit.h"

namespace kestrel {

namespace {
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
}  // namespace

intptr_t Toolkit::sendMessage(intptr_t, uint32_t, intptr_t, intptr_t) { return 0; }
bool Toolkit::postMessage(intptr_t, uint32_t, intptr_t, intptr_t) { return false; }
bool Toolkit::windowText(intptr_t, std::string& text) {
  text.clear();
  return false;
}
bool Toolkit::setWindowText(intptr_t, const std::string&) { return false; }
intptr_t Toolkit::findWindow(const std::string*, const std::string*) { return 0; }
bool Toolkit::showWindow(intptr_t, int) { return false; }
bool Toolkit::cursorPosition(int& x, int& y) {
  x = kScreenWidth / 2;
  y = kScreenHeight / 2;
  return true;
}
bool Toolkit::setCursorPosition(int, int) { return false; }
int Toolkit::keyState(int) { return 0; }

int Toolkit::systemMetric(int index) {
  switch (index) {
    case 0: case 16: case 61: case 78: return kScreenWidth;  // screen, full-screen client, maximized, virtual
    case 1: case 62: case 79: return kScreenHeight;
    case 17: return kScreenHeight - 23;  // full-screen client height: below the caption
    case 2: case 3: case 20: case 21: return 17;  // scroll bar arrows and widths
    case 4: return 23;                            // caption
    case 5: case 6: return 1;                     // border
    case 7: case 8: return 3;                     // dialog frame
    case 9: case 10: return 17;                   // scroll thumbs
    case 11: case 12: case 13: case 14: return 32;  // icon and cursor
    case 15: return 20;                           // menu bar
    case 19: return 1;                            // mouse present
    case 28: return 112;                          // minimum window width
    case 29: return 27;                           // minimum window height
    case 30: case 31: return 18;                  // caption buttons
    case 32: case 33: return 4;                   // sizing frame
    case 43: return 3;                            // mouse buttons
    case 49: case 50: return 16;                  // small icon
    case 80: return 1;                            // monitors
    default: return 0;
  }
}

void Toolkit::beep() {}

}  // namespace kestrel
