// What the toolkit answers about windows, the desktop, keys and sounds when
// an implementation does not know better: the program's own windows through
// the handle table (there are no others), a 1024 x 768 screen at 96 dots
// per inch, and no sound.
#include "toolkit/toolkit.h"
#include "toolkit/peers/window.h"

namespace kestrel {

namespace {
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
}  // namespace

namespace {
gui::WindowOwner* ownerOf(intptr_t window) {
  gui::WindowPeer* peer = gui::findWindowPeer(window);
  return peer == nullptr ? nullptr : peer->owner();
}
}  // namespace

// A message goes to the window's owner: the program's hook, then the
// default handling. Windows that do not exist answer 0.
intptr_t Toolkit::sendMessage(intptr_t window, uint32_t message, intptr_t wParam, intptr_t lParam) {
  gui::WindowOwner* owner = ownerOf(window);
  return owner == nullptr ? 0 : owner->message(message, wParam, lParam);
}

// A posted message is delivered from the event loop; the window is looked
// up again then, since it may be gone.
bool Toolkit::postMessage(intptr_t window, uint32_t message, intptr_t wParam, intptr_t lParam) {
  if (ownerOf(window) == nullptr) return false;
  post([window, message, wParam, lParam] {
    if (gui::WindowOwner* owner = ownerOf(window)) owner->message(message, wParam, lParam);
  });
  return true;
}

bool Toolkit::windowText(intptr_t window, std::string& text) {
  text.clear();
  gui::WindowOwner* owner = ownerOf(window);
  if (owner == nullptr) return false;
  text = owner->windowText();
  return true;
}

bool Toolkit::setWindowText(intptr_t window, const std::string& text) {
  gui::WindowOwner* owner = ownerOf(window);
  if (owner == nullptr) return false;
  owner->setWindowText(text);
  return true;
}

// Top-level windows only, in the order they were made; a class name or a
// title that is given must match exactly.
intptr_t Toolkit::findWindow(const std::string* className, const std::string* title) {
  for (gui::WindowPeer* peer : gui::allWindowPeers()) {
    gui::WindowOwner* owner = peer->owner();
    if (owner == nullptr || !peer->topLevel()) continue;
    if (className != nullptr && *className != owner->windowClass()) continue;
    if (title != nullptr && *title != owner->windowText()) continue;
    return peer->handle();
  }
  return 0;
}

bool Toolkit::showWindow(intptr_t window, int command) {
  gui::WindowOwner* owner = ownerOf(window);
  return owner != nullptr && owner->showCommand(command);
}

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
    case 51: return 17;                           // small caption (tool windows)
    case 80: return 1;                            // monitors
    default: return 0;
  }
}

void Toolkit::beep() {}

}  // namespace kestrel
