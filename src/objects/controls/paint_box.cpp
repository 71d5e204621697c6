#include "objects/controls/paint_box.h"

#include "events/dispatch.h"
#include "objects/bitmap.h"
#include "toolkit/colors.h"

namespace kestrel::objects {

namespace {
constexpr int32_t kDefaultSize = 105;
// Device-context numbers: the bitmaps' (bitmap.cpp) and the paint boxes'.
constexpr int32_t kBitmapContextBase = 0x00C00000;
constexpr int32_t kPaintBoxContextBase = 0x00D80000;

// The canvas behind a device-context number, or nullptr.
CanvasOwner* canvasOfContext(Machine& m, int32_t handle) {
  for (auto [base, type] : {std::pair{kBitmapContextBase, kBitmapType}, std::pair{kPaintBoxContextBase, kPaintBoxType}}) {
    const int64_t offset = int64_t{handle} - base;
    if (offset < 0 || offset % 4 != 0 || offset / 4 >= static_cast<int64_t>(world(m).count(type))) continue;
    return dynamic_cast<CanvasOwner*>(&world(m).at(type, static_cast<int32_t>(offset / 4)));
  }
  return nullptr;
}
}  // namespace

PaintBox::PaintBox(Machine& m, int type) : ControlOf(m, type) {
  // The first size is no resize (no handler could be bound yet).
  parentColor_ = true;
  peer_->setGeometry(gui::Rect::fromSize(0, 0, kDefaultSize, kDefaultSize));
  lastClientSize_ = clientSize();
}

// Another paint box's own canvas, not the one it may draw on in turn.
CanvasTarget PaintBox::canvasTarget() {
  if (redirect_ != 0) {
    CanvasOwner* other = canvasOfContext(m_, redirect_);
    if (auto* box = dynamic_cast<PaintBox*>(other)) return box->ownCanvas();
    if (other != nullptr) return other->canvasTarget();
  }
  return ownCanvas();
}

CanvasTarget PaintBox::ownCanvas() { return {peer().picture(), font_}; }

uint32_t PaintBox::parentRgb() const { return gui::colorToRgb(parent_ != nullptr ? parent_->color() : color_); }

void PaintBox::setColor(int32_t color) {
  Control::setColor(color);
  peer().picture().state.brush = gui::colorToRgb(color);
}

// New parts of the picture take the parent's colour, as the parent's
// background shows there.
void PaintBox::appearanceChanged() { peer().setBackground(parentRgb()); }

void PaintBox::resized() {
  Control::resized();
  appearanceChanged();
  peer().requestPaint();
}

void PaintBox::event(gui::InputEvent& e) {
  if (e.kind == gui::EventKind::Paint) {
    repaint();
    return;
  }
  Control::event(e);
}

void PaintBox::repaint() {
  if (painting_) {
    peer().requestPaint();
    return;
  }
  const int32_t entry = handlerFor(gui::EventKind::Paint);
  if (entry != 0) {
    appearanceChanged();
    gui::Surface& picture = peer().picture();
    picture.clear(parentRgb());
    // Each paint starts with the brush in the paint box's colour.
    picture.state.brush = gui::colorToRgb(color_);
    picture.state.brushClear = false;
    events::FlagGuard busy(painting_, true);
    events::notify(m_, entry, sender());
  }
  peer().pictureChanged();
}

int32_t PaintBox::deviceContext() const {
  return redirect_ != 0 ? redirect_ : kPaintBoxContextBase + 4 * tag;
}

void PaintBox::setDeviceContext(int32_t handle) {
  if (handle == kPaintBoxContextBase + 4 * tag) redirect_ = 0;
  else if (canvasOfContext(m_, handle) != nullptr) redirect_ = handle;
}

}  // namespace kestrel::objects
