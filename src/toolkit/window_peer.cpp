#include "toolkit/window_peer.h"

#include <algorithm>
#include <map>

namespace kestrel::gui {

namespace {

// Handles look like the system's window handles: small multiples of four,
// never reused while the process runs.
struct HandleTable {
  std::map<intptr_t, WindowPeer*> peers;
  intptr_t next = 0x10004;
};

HandleTable& table() {
  static HandleTable t;
  return t;
}

}  // namespace

WindowPeer::WindowPeer(WindowOwner* owner) : owner_(owner) {
  HandleTable& t = table();
  handle_ = t.next;
  t.next += 4;
  t.peers[handle_] = this;
}

WindowPeer::~WindowPeer() { table().peers.erase(handle_); }

WindowPeer* findWindowPeer(intptr_t handle) {
  const auto& peers = table().peers;
  const auto it = peers.find(handle);
  return it == peers.end() ? nullptr : it->second;
}

std::vector<WindowPeer*> allWindowPeers() {
  std::vector<WindowPeer*> out;
  for (const auto& [handle, peer] : table().peers) out.push_back(peer);
  return out;
}

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

PicturePeer::PicturePeer(WindowOwner* owner) : WindowPeer(owner), picture_(makeNullSurface(0, 0)) {}

PicturePeer::~PicturePeer() = default;

Surface& PicturePeer::picture() {
  const Size client = clientSize();
  if (client.width != picture_->width() || client.height != picture_->height())
    picture_->resize(client.width, client.height, background());
  return *picture_;
}

ButtonPeer::ButtonPeer(WindowOwner* owner) : WindowPeer(owner) {}

ButtonPeer::~ButtonPeer() = default;

void ButtonPeer::setGlyph(const Surface* glyph, int32_t transparentColor) {
  glyph_ = glyph != nullptr && !glyph->empty() ? glyph->clone() : nullptr;
  transparentColor_ = transparentColor;
}

}  // namespace kestrel::gui
