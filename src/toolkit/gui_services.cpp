// The null toolkit's forms, controls, pictures, colours and event loop:
// peers that store what they are told, surfaces that draw nothing, the
// classic system colours, no screen fonts, and posted tasks that run when
// the program processes its pending messages.
#include "toolkit/colors.h"
#include "toolkit/toolkit.h"
#include "toolkit/window_peer.h"

namespace kestrel {

std::unique_ptr<gui::FormPeer> Toolkit::createForm(gui::WindowOwner& owner) {
  return std::make_unique<gui::FormPeer>(&owner);
}

std::unique_ptr<gui::WindowPeer> Toolkit::createControl(gui::ControlKind kind, gui::WindowOwner& owner) {
  switch (kind) {
    case gui::ControlKind::Label:
    case gui::ControlKind::Panel: return std::make_unique<gui::PicturePeer>(&owner);
    case gui::ControlKind::BitmapButton:
    case gui::ControlKind::FlatButton: return std::make_unique<gui::ButtonPeer>(&owner);
    default: return std::make_unique<gui::WindowPeer>(&owner);
  }
}

std::unique_ptr<gui::Surface> Toolkit::createSurface(int32_t width, int32_t height, uint32_t) {
  return gui::makeNullSurface(width, height);
}

uint32_t Toolkit::systemColor(int index) { return gui::classicSystemColor(index); }

std::vector<std::string> Toolkit::screenFonts() { return {}; }

void Toolkit::post(std::function<void()> task) { posted_.push_back(std::move(task)); }

bool Toolkit::waitForEvents() { return runPostedTasks(); }

bool Toolkit::runPostedTasks() {
  if (posted_.empty()) return false;
  // Tasks posted by these tasks wait for the next round.
  std::vector<std::function<void()>> tasks;
  tasks.swap(posted_);
  for (auto& task : tasks) task();
  return true;
}

}  // namespace kestrel
