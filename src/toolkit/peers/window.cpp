#include "toolkit/peers/window.h"

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

}  // namespace kestrel::gui
