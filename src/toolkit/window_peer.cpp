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

ButtonPeer::ButtonPeer(WindowOwner* owner) : WindowPeer(owner) {}

ButtonPeer::~ButtonPeer() = default;

void ButtonPeer::setGlyph(const Surface* glyph, int32_t transparentColor) {
  glyph_ = glyph != nullptr && !glyph->empty() ? glyph->clone() : nullptr;
  transparentColor_ = transparentColor;
}

}  // namespace kestrel::gui
