#include "toolkit/peers/form.h"

namespace kestrel::gui {

FormPeer::FormPeer(WindowOwner* owner) : WindowPeer(owner), canvas_(makeNullSurface(0, 0)) {}

FormPeer::~FormPeer() = default;

void FormPeer::setBackground(uint32_t rgb) {
  WindowPeer::setBackground(rgb);
  canvas_->clear(rgb);
}

void FormPeer::clientResized() {
  Surface& c = *canvas_;
  const Size client = clientSize();
  if (client.width != c.width() || client.height != c.height()) c.resize(client.width, client.height, background());
}

void FormPeer::repaint() {
  if (owner_ == nullptr || !visible()) return;
  InputEvent paint{EventKind::Paint};
  owner_->event(paint);
}

}  // namespace kestrel::gui
