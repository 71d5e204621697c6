#include "ole/ole_container.h"

namespace kestrel::ole {

namespace {
constexpr int32_t kDefaultSize = 120;
}

OleContainer::OleContainer(Machine& m, int type) : ControlOf(m, type) {
  setColor(gui::kColorWindow);
  peer().setBorder(borderStyle_ == 1);
  peer_->setGeometry(gui::Rect::fromSize(0, 0, kDefaultSize, kDefaultSize));
  lastClientSize_ = clientSize();
}

void OleContainer::setBorderStyle(int32_t style) {
  borderStyle_ = style;
  peer().setBorder(style == 1);
}

}  // namespace kestrel::ole
