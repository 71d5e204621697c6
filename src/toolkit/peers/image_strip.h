#pragma once
// Pictures of one size that a control shows beside its items (a list
// view's or a tree view's images): what an image list hands to a peer.
// Each picture has the strip's size; pixels the image list masks out are
// transparent. The pictures are shared, never changed: an image list that
// changes makes new ones.
#include <memory>
#include <vector>

#include "toolkit/gui_types.h"
#include "toolkit/surface.h"

namespace kestrel::gui {

struct ImageStrip {
  Size size{16, 16};
  std::vector<std::shared_ptr<const Surface>> pictures;

  // Picture `index`, or nullptr when there is none.
  const Surface* at(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= pictures.size()) return nullptr;
    return pictures[static_cast<size_t>(index)].get();
  }
};

}  // namespace kestrel::gui
