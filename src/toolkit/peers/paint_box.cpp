#include "toolkit/peers/paint_box.h"

#include "toolkit/toolkit.h"

namespace kestrel::gui {

PaintBoxPeer::PaintBoxPeer(WindowOwner* owner)
    : PicturePeer(owner), self_(std::make_shared<PaintBoxPeer*>(this)) {}

PaintBoxPeer::~PaintBoxPeer() = default;

void PaintBoxPeer::requestPaint() {
  if (requested_) return;
  requested_ = true;
  toolkit().post([weak = std::weak_ptr<PaintBoxPeer*>(self_)] {
    const std::shared_ptr<PaintBoxPeer*> alive = weak.lock();
    if (!alive) return;
    PaintBoxPeer& peer = **alive;
    peer.requested_ = false;
    if (peer.owner_ == nullptr) return;
    InputEvent paint{EventKind::Paint};
    peer.owner_->event(paint);
  });
}

}  // namespace kestrel::gui
