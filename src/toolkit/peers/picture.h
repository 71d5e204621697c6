#pragma once
// Controls that show a picture the engine paints: labels, and panels,
// which also hold other controls.
#include <memory>

#include "toolkit/peers/window.h"
#include "toolkit/surface.h"

namespace kestrel::gui {

// A control that shows a picture the engine paints (labels, panels): the
// picture always has the control's client size, and transparent pixels
// show what lies under the control.
class PicturePeer : public WindowPeer {
 public:
  explicit PicturePeer(WindowOwner* owner);
  ~PicturePeer() override;
  // The picture, at the client size (new parts take the background colour).
  Surface& picture();
  // The engine painted the picture: the window shows it again.
  virtual void pictureChanged() {}

 protected:
  std::unique_ptr<Surface> picture_;
};

// A picture that holds other controls (panels).
class PanelPeer : public PicturePeer {
 public:
  using PicturePeer::PicturePeer;
};

}  // namespace kestrel::gui
