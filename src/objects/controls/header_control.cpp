#include "objects/controls/header_control.h"

#include <algorithm>
#include <climits>

#include "objects/rect_record.h"
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

void HeaderControl::show() {
  peer().setSections(sections_);
  drawSections();
}

void HeaderControl::resized() {
  Control::resized();
  drawSections();
}

// The handler gets the section index, 1 (a section is drawn raised), and
// the section's rectangle in rect:50; a program without rect:50 draws
// nothing. Handlers that change the sections do not run again meanwhile.
void HeaderControl::drawSections() {
  const int32_t entry = handlerFor(gui::EventKind::DrawSection);
  if (entry == 0) return;
  ObjectWorld& w = world(m_);
  if (w.count(kRectangleType) <= static_cast<size_t>(kDrawRectangle)) return;
  const int32_t height = clientHeight();
  int32_t x = 0;
  for (size_t i = 0; i < sections_.size(); ++i) {
    const int32_t width = sections_[i].width;
    if (sections_[i].style == kSectionOwnerDraw) {
      int32_t* r = w.as<Rectangle>(kRectangleType, kDrawRectangle).fields;
      r[0] = x;
      r[1] = 0;
      r[2] = static_cast<int32_t>(std::min<int64_t>(int64_t{x} + width, INT32_MAX));
      r[3] = height;
      events::drawItem(m_, entry, sender(), static_cast<int32_t>(i), false, {kRectangleType, kDrawRectangle}, true);
    }
    x = static_cast<int32_t>(std::min<int64_t>(int64_t{x} + width, INT32_MAX));
  }
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
      if (e.kind != gui::EventKind::SectionClick) drawSections();
      break;
    default: Control::event(e); break;
  }
}

}  // namespace kestrel::objects
