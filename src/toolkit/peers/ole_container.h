#pragma once
// The container of embedded objects. Nothing can be embedded on this
// platform, so the window is a placeholder: its background colour and, by
// choice, a single-line border.
#include "toolkit/peers/window.h"

namespace kestrel::gui {

class ContainerPeer : public WindowPeer {
 public:
  using WindowPeer::WindowPeer;
  virtual void setBorder(bool single) { border_ = single; }
  bool border() const { return border_; }

 protected:
  bool border_ = true;
};

}  // namespace kestrel::gui
