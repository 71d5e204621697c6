#include "objects/controls/panel.h"

#include <algorithm>

#include "toolkit/colors.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {
constexpr int32_t kDefaultWidth = 185;
constexpr int32_t kDefaultHeight = 41;
// Bevels wider than this draw no wider (a bevel fills the panel long before).
constexpr int32_t kMaxBevelWidth = 4096;
}  // namespace

Panel::Panel(Machine& m, int type) : ControlOf(m, type) {
  setBounds(gui::Rect::fromSize(0, 0, kDefaultWidth, kDefaultHeight));
  ready_ = true;
  paint();
}

void Panel::setBevelInner(int32_t bevel) {
  bevelInner_ = bevel;
  framesChanged();
}

void Panel::setBevelOuter(int32_t bevel) {
  bevelOuter_ = bevel;
  framesChanged();
}

void Panel::setBevelWidth(int32_t width) {
  bevelWidth_ = width;
  framesChanged();
}

void Panel::setBorderStyle(int32_t style) {
  borderStyle_ = style;
  framesChanged();
}

void Panel::setAlignment(int32_t alignment) {
  alignment_ = alignment;
  paint();
}

void Panel::framesChanged() {
  realign();
  paint();
}

void Panel::resized() {
  Control::resized();
  paint();
}

int32_t Panel::frameWidth() const {
  const int32_t bevel = std::clamp(bevelWidth_, 0, kMaxBevelWidth);
  int32_t n = borderStyle_ == 1 ? 1 : 0;
  if (bevelOuter_ != kBevelNone) n += bevel;
  if (bevelInner_ != kBevelNone) n += bevel;
  return n;
}

gui::Rect Panel::dockArea() const {
  const gui::Size client = clientSize();
  const int32_t n = frameWidth();
  gui::Rect r{n, n, client.width - n, client.height - n};
  r.right = std::max(r.right, r.left);
  r.bottom = std::max(r.bottom, r.top);
  return r;
}

namespace {

void fill(gui::Surface& s, const gui::Rect& r, int32_t color) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  s.state.brush = gui::colorToRgb(color);
  s.state.brushClear = false;
  s.fillRect(r);
}

// `width` rings, each shrinking the rectangle by one: the top and left
// edges in `top`, the bottom and right edges (and the corners they meet
// the others in) in `bottom`.
void frame3D(gui::Surface& s, gui::Rect& r, int32_t top, int32_t bottom, int32_t width) {
  for (int32_t i = 0; i < width && r.right - r.left > 0 && r.bottom - r.top > 0; ++i) {
    fill(s, {r.left, r.top, r.right - 1, r.top + 1}, top);
    fill(s, {r.left, r.top, r.left + 1, r.bottom}, top);
    fill(s, {r.right - 1, r.top, r.right, r.bottom}, bottom);
    fill(s, {r.left, r.bottom - 1, r.right, r.bottom}, bottom);
    r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  }
}

void bevel(gui::Surface& s, gui::Rect& r, int32_t kind, int32_t width) {
  if (kind == kBevelNone) return;
  const bool lowered = kind == kBevelLowered;
  frame3D(s, r, lowered ? gui::kColorButtonShadow : gui::kColorButtonHighlight,
          lowered ? gui::kColorButtonHighlight : gui::kColorButtonShadow, width);
}

}  // namespace

// A single border, the outer bevel, the inner bevel, the face in the
// panel's colour, and the caption on one line through the middle.
void Panel::paint() {
  if (!ready_) return;
  gui::Surface& s = peer().picture();
  gui::Rect r{0, 0, s.width(), s.height()};
  const int32_t width = std::clamp(bevelWidth_, 0, kMaxBevelWidth);
  if (borderStyle_ == 1) frame3D(s, r, gui::systemColor(6), gui::systemColor(6), 1);
  bevel(s, r, bevelOuter_, width);
  bevel(s, r, bevelInner_, width);
  fill(s, r, color_);
  s.state.font = font_;
  s.state.fontColor = gui::colorToRgb(enabledFlag() != 0 ? font_.color : gui::kColorGrayText);
  const int32_t lineHeight = s.textExtent("W").height;
  const int32_t top = (r.top + r.bottom - lineHeight) / 2;
  gui::TextFormat format;
  format.horizontal = alignment_ == 0 ? gui::kAlignLeftText : alignment_ == 1 ? gui::kAlignRightText
                                                                             : gui::kAlignCentreText;
  s.drawText({r.left, top, r.right, top + lineHeight}, caption().view(), format);
  peer().pictureChanged();
}

}  // namespace kestrel::objects
