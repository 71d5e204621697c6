#include "objects/controls/glass_frame.h"

#include <algorithm>
#include <string>

#include "toolkit/colors.h"

namespace kestrel::objects {

namespace {
constexpr intptr_t kGlassCanvasBase = 0x00D80000;
}

GlassFrame::GlassFrame(Machine& m, int type) : ControlOf(m, type) {
  setBounds(gui::Rect::fromSize(0, 0, 100, 100));
  showTint();
}

void GlassFrame::requireCreated() const {
  if (!created_) raise("Glass frame " + std::to_string(tag) + " not created");
}

void GlassFrame::create(Control& container) {
  setParent(&container);
  created_ = true;
  peer().bringToFront();
}

void GlassFrame::setColor(int32_t color) {
  Control::setColor(color);
  showTint();
}

void GlassFrame::setTransparency(int32_t alpha) {
  transparency_ = std::clamp(alpha, 0, 255);
  showTint();
}

void GlassFrame::showTint() { peer().setTint(gui::colorToRgb(color_), transparency_); }

intptr_t GlassFrame::canvasHandle() { return objects::canvasHandle(*this, kGlassCanvasBase); }

void GlassFrame::setCanvasHandle(int32_t handle) {
  if (handle != canvasHandle()) raise("Invalid device context handle " + std::to_string(handle));
}

}  // namespace kestrel::objects
