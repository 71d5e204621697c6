#include "toolkit/peers/tab_control.h"

#include <algorithm>

namespace kestrel::gui {

namespace {
constexpr int32_t kNaturalRow = 20;  // the row's depth when tabs take their natural size
constexpr int32_t kFrame = 2;        // the page area's frame
}  // namespace

// Without a window system the row is as deep as the tabs' height (or the
// natural depth), and the page area's frame is two pixels wide.
Rect TabPeer::displayArea() const {
  const Size client = clientSize();
  Rect r{0, 0, client.width, client.height};
  const bool sideways = look_.position >= 2;
  const int32_t depth = sideways ? (look_.tabWidth > 0 ? look_.tabWidth : kNaturalRow * 3)
                                 : (look_.tabHeight > 0 ? look_.tabHeight : kNaturalRow);
  const int32_t row = tabs_.empty() ? 0 : depth;
  switch (look_.position) {
    case 1: r.bottom -= row; break;
    case 2: r.left += row; break;
    case 3: r.right -= row; break;
    default: r.top += row; break;
  }
  r = {r.left + kFrame, r.top + kFrame, r.right - kFrame, r.bottom - kFrame};
  r.right = std::max(r.right, r.left);
  r.bottom = std::max(r.bottom, r.top);
  return r;
}

}  // namespace kestrel::gui
