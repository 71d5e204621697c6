#pragma once
// Game screens: a window that shows the frames the engine presents from its
// back buffer. The peer keeps a copy of the last frame (the front buffer),
// so the window can repaint it at any time; this storing class is the null
// toolkit's peer, which keeps the frame and shows nothing.
#include <memory>

#include "toolkit/peers/window.h"
#include "toolkit/surface.h"

namespace kestrel::gui {

struct PresentOptions {
  bool stretch = false;  // scale the frame to the window
  bool center = false;   // an unscaled frame sits in the middle
};

class GameScreenPeer : public WindowPeer {
 public:
  explicit GameScreenPeer(WindowOwner* owner) : WindowPeer(owner) {}
  // Shows `frame` from now on (a copy: the back buffer may change at once).
  virtual void present(const Surface& frame, PresentOptions options) {
    if (!front_ || front_->width() != frame.width() || front_->height() != frame.height()) front_ = frame.clone();
    else front_->assign(frame);
    options_ = options;
    ++presented_;
  }
  // The window's full-screen state (no video mode changes).
  virtual void setFullScreen(bool on) { fullScreen_ = on; }
  bool fullScreen() const { return fullScreen_; }
  const Surface* front() const { return front_.get(); }
  PresentOptions presentOptions() const { return options_; }
  int presentedFrames() const { return presented_; }

 protected:
  std::unique_ptr<Surface> front_;
  PresentOptions options_;
  bool fullScreen_ = false;
  int presented_ = 0;
};

}  // namespace kestrel::gui
