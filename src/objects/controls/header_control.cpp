#include "objects/controls/header_control.h"

#include <algorithm>

#include "state/errors.h"

namespace kestrel::objects {

namespace {
constexpr int32_t kDefaultWidth = 200;
constexpr int32_t kDefaultHeight = 17;

int32_t clampedWidth(const gui::HeaderSection& s, int32_t width) {
  // Limits the wrong way round: MinWidth wins.
  return std::max(std::min(width, s.maxWidth), s.minWidth);
}
}  // namespace

HeaderControl::HeaderControl(Machine& m, int type) : ControlOf(m, type) {
  setBounds(gui::Rect::fromSize(0, 0, kDefaultWidth, kDefaultHeight));
}

void HeaderControl::setHotTrack(uint8_t flag) {
  hotTrack_ = flag;
  peer().setHotTrack(flag != 0);
}

void HeaderControl::addSection(const Str& text) {
  gui::HeaderSection s;
  s.text = text.str();
  sections_.push_back(s);
  show();
}

void HeaderControl::clearSections() {
  sections_.clear();
  show();
}

gui::HeaderSection& HeaderControl::sectionAt(int64_t index) {
  if (index < 0 || index >= static_cast<int64_t>(sections_.size())) raiseListIndex(index);
  return sections_[static_cast<size_t>(index)];
}

void HeaderControl::sectionChanged(gui::HeaderSection& section) {
  section.width = clampedWidth(section, section.width);
  show();
}

void HeaderControl::repaint() {
  gui::Surface& canvas = peer().canvas();
  canvas.clearTransparent();
  show();
}

void HeaderControl::event(gui::InputEvent& e) {
  const int32_t entry = handlerFor(e.kind);
  switch (e.kind) {
    case gui::EventKind::SectionClick:
    case gui::EventKind::SectionTrack:
    case gui::EventKind::SectionResize:
      if (e.x < 0 || e.x >= sectionCount()) return;
      if (e.kind != gui::EventKind::SectionClick) {
        gui::HeaderSection& s = sections_[static_cast<size_t>(e.x)];
        s.width = clampedWidth(s, e.y);
      }
      events::indexed(m_, entry, sender(), e.x);
      break;
    default: Control::event(e); break;
  }
}

}  // namespace kestrel::objects
