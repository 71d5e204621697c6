// The null toolkit's pictures, colours and event loop: surfaces that draw
// nothing, the classic system colours, no screen fonts, and posted tasks
// that run when the program processes its pending messages. (Its peers
// are the storing base peers: Toolkit::create.)
#include "toolkit/colors.h"
#include "toolkit/surface.h"
#include "toolkit/toolkit.h"

namespace kestrel {

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
