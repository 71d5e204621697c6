#include "toolkit/peers/header.h"

#include <algorithm>

namespace kestrel::gui {

HeaderPeer::HeaderPeer(WindowOwner* owner) : WindowPeer(owner), canvas_(makeNullSurface(0, 0)) {}

HeaderPeer::~HeaderPeer() = default;

// Kept within 16384 pixels a side, as pictures are.
Surface& HeaderPeer::canvas() {
  constexpr int32_t kMaxSide = 16384;
  const Size client = clientSize();
  const int32_t width = std::clamp(client.width, 0, kMaxSide);
  const int32_t height = std::clamp(client.height, 0, kMaxSide);
  if (width != canvas_->width() || height != canvas_->height()) {
    canvas_->resize(width, height, background());
    canvas_->clearTransparent();
  }
  return *canvas_;
}

}  // namespace kestrel::gui
