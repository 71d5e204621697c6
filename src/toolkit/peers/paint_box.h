#pragma once
// Paint boxes: a picture the program paints, kept between paints (so it
// survives covering and repainting), shown as it is.
#include <memory>

#include "toolkit/peers/picture.h"

namespace kestrel::gui {

class PaintBoxPeer : public PicturePeer {
 public:
  explicit PaintBoxPeer(WindowOwner* owner);
  ~PaintBoxPeer() override;
  // The window needs painting (it was shown, it changed size, or the
  // program asked): the owner gets its Paint event from the event loop,
  // once however often this is asked before it comes.
  void requestPaint();
  bool paintRequested() const { return requested_; }

 private:
  // Tasks still waiting in the event loop when the peer goes find it gone.
  std::shared_ptr<PaintBoxPeer*> self_;
  bool requested_ = false;
};

}  // namespace kestrel::gui
