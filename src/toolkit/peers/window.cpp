#include "toolkit/peers/window.h"

#include <map>

namespace kestrel::gui {

namespace {

// Handles look like the system's window handles: small multiples of four,
// never reused while the process runs.
struct HandleTable {
  std::map<intptr_t, WindowPeer*> peers;
  std::map<intptr_t, WindowPeer*> aliases;
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

WindowPeer::~WindowPeer() {
  HandleTable& t = table();
  t.peers.erase(handle_);
  std::erase_if(t.aliases, [this](const auto& entry) { return entry.second == this; });
}

void WindowPeer::addHandle(intptr_t alias) {
  HandleTable& t = table();
  if (t.peers.count(alias) == 0) t.aliases[alias] = this;
}

WindowPeer* findWindowPeer(intptr_t handle) {
  const HandleTable& t = table();
  if (const auto it = t.peers.find(handle); it != t.peers.end()) return it->second;
  const auto alias = t.aliases.find(handle);
  return alias == t.aliases.end() ? nullptr : alias->second;
}

std::vector<WindowPeer*> allWindowPeers() {
  std::vector<WindowPeer*> out;
  for (const auto& [handle, peer] : table().peers) out.push_back(peer);
  return out;
}

}  // namespace kestrel::gui
