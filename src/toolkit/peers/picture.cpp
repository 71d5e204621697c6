#include "toolkit/peers/picture.h"

#include <algorithm>

namespace kestrel::gui {

PicturePeer::PicturePeer(WindowOwner* owner) : WindowPeer(owner), picture_(makeNullSurface(0, 0)) {}

PicturePeer::~PicturePeer() = default;

// A control larger than a picture can be shows its top-left part: the
// picture is kept within 16384 pixels a side and 2^26 pixels.
Surface& PicturePeer::picture() {
  constexpr int32_t kMaxSide = 16384;
  constexpr int64_t kMaxPixels = int64_t{1} << 26;
  const Size client = clientSize();
  const int32_t width = std::clamp(client.width, 0, kMaxSide);
  int32_t height = std::clamp(client.height, 0, kMaxSide);
  if (width > 0 && int64_t{width} * height > kMaxPixels) height = static_cast<int32_t>(kMaxPixels / width);
  if (width != picture_->width() || height != picture_->height()) picture_->resize(width, height, background());
  return *picture_;
}

}  // namespace kestrel::gui
