#pragma once
// Images: a control that shows a picture the engine composes. The window
// asks for it with a Paint event just before it shows the picture, so a
// program that draws many times between two paints composes it once.
#include "toolkit/peers/picture.h"

namespace kestrel::gui {

class ImagePeer : public PicturePeer {
 public:
  using PicturePeer::PicturePeer;
};

}  // namespace kestrel::gui
