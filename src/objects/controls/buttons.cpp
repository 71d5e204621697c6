#include "objects/controls/buttons.h"

#include <algorithm>

#include "objects/controls/form.h"
#include "objects/gui_state.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {
constexpr int32_t kMaxGlyphs = 4;
constexpr const char* kInvalidBitmap = "Bitmap image is not valid";

// The form that holds a control, however deep.
Form* formOf(Control* c) {
  for (; c != nullptr; c = c->parent())
    if (auto* form = dynamic_cast<Form*>(c)) return form;
  return nullptr;
}
}  // namespace

// ---- Glyphs

GlyphButton::GlyphButton(Machine& m, int type, gui::Size size) : ControlOf(m, type) {
  look_ = peer().look();
  // The first size is no resize (the families' handlers are not there yet).
  peer_->setGeometry(gui::Rect::fromSize(0, 0, size.width, size.height));
  lastClientSize_ = clientSize();
}

void GlyphButton::setSpacing(int32_t spacing) {
  look_.spacing = spacing;
  showLook();
}

void GlyphButton::setLayout(int32_t layout) {
  look_.layout = layout;
  showLook();
}

void GlyphButton::setNumGlyphs(int32_t count) {
  look_.numGlyphs = std::clamp(count, 1, kMaxGlyphs);
  showLook();
}

void GlyphButton::setGlyph(const gui::Surface* picture, int32_t transparentColor) {
  if (picture == nullptr || picture->empty()) {
    glyph_.reset();
  } else {
    glyph_ = picture->clone();
    if (picture->width() % picture->height() == 0) {
      const int32_t count = picture->width() / picture->height();
      setNumGlyphs(count <= kMaxGlyphs ? count : 1);
    }
  }
  peer().setGlyph(glyph_.get(), transparentColor);
}

void GlyphButton::loadGlyph(const std::vector<uint8_t>& bytes) {
  std::unique_ptr<gui::Surface> picture = toolkit().createSurface(0, 0, gui::kWhite);
  if (!picture->load(bytes.data(), bytes.size())) raise(kInvalidBitmap);
  setGlyph(picture.get(), picture->empty() ? 0 : picture->pixel(0, picture->height() - 1));
}

void GlyphButton::writeGlyph(Machine& m) {
  std::vector<uint8_t> bytes;
  if (pictureFileOperand(m, bytes)) {
    loadGlyph(bytes);
    return;
  }
  const Graphic g = registerGraphic(m);
  if (g.surface == nullptr || g.surface->empty()) {
    setGlyph(nullptr, 0);
    return;
  }
  const int32_t key = g.transparent ? g.transparentColor : g.surface->pixel(0, g.surface->height() - 1);
  setGlyph(g.surface, key);
}

void GlyphButton::readGlyph(Machine& m, EvalStacks& s) {
  gui::Surface& scratch = guiState(m).scratch();
  if (glyph_) scratch.assign(*glyph_);
  else scratch.resize(0, 0, gui::kWhite);
  world(m).graphic = {classCode(), tag, &scratch, nullptr};
  s.pushNumber(0);
}

void GlyphButton::glyphResource(Machine& m) { loadGlyph(resourceOperand(m)); }

void GlyphButton::dragMove() { message(gui::wm::kSysCommand, gui::wm::kScMove | 2, 0); }


// ---- Bitmap buttons

namespace {
struct KindDefaults {
  const char* caption;
  int32_t modalResult;
};
// Captions and modal results of the kinds 0 to 10.
constexpr KindDefaults kKinds[] = {{"", 0},        {"OK", 1},       {"Cancel", 2},  {"&Help", 0},
                                   {"&Yes", 6},    {"&No", 7},      {"&Close", 0},  {"Abort", 3},
                                   {"&Retry", 4},  {"&Ignore", 5},  {"&All", 8}};
}  // namespace

BitmapButton::BitmapButton(Machine& m, int type)
    : GlyphButton(m, type, {75, 25}) {}

// A click gives the form the button's modal result, then runs the click
// handler; a Close button closes its form instead.
void BitmapButton::event(gui::InputEvent& e) {
  if (e.kind == gui::EventKind::Click) {
    Form* form = formOf(parent());
    if (kind_ == kKindClose && form != nullptr) {
      form->close();
      return;
    }
    if (form != nullptr) form->modalResult = modalResult;
  }
  Control::event(e);
}

void BitmapButton::setKind(int32_t kind) {
  kind_ = kind;
  if (kind >= kKindOk && kind <= kKindAll) {
    setDefault(kind == kKindOk || kind == kKindYes ? 1 : 0);
    setCancel(kind == kKindCancel || kind == kKindNo ? 1 : 0);
    setCaption(Str(kKinds[kind].caption));
    modalResult = kKinds[kind].modalResult;
  }
  look_.kind = kind >= kKindOk && kind <= kKindAll ? kind : 0;
  showLook();
}

void BitmapButton::setCancel(uint8_t flag) {
  cancel_ = flag;
  peer().setKeys(default_ != 0, cancel_ != 0);
}

void BitmapButton::setDefault(uint8_t flag) {
  default_ = flag;
  peer().setKeys(default_ != 0, cancel_ != 0);
}

// ---- Flat buttons

FlatButton::FlatButton(Machine& m, int type) : GlyphButton(m, type, {25, 25}) {
  look_.focusable = false;
  showLook();
}

// A click on a grouped button puts it down (or up, when it is down and
// the group allows all up) before the click handler runs.
void FlatButton::event(gui::InputEvent& e) {
  if (e.kind == gui::EventKind::Click && groupIndex_ != 0) {
    if (down_ == 0) setDown(1);
    else if (allowAllUp_ != 0) setDown(0);
  }
  Control::event(e);
}

std::vector<FlatButton*> FlatButton::groupMates() const {
  std::vector<FlatButton*> mates;
  if (groupIndex_ == 0) return mates;
  ObjectWorld& w = world(m_);
  for (size_t i = 0; i < w.count(classCode()); ++i) {
    auto& other = w.as<FlatButton>(classCode(), static_cast<int32_t>(i));
    if (&other != this && other.groupIndex_ == groupIndex_ && other.parent() == parent()) mates.push_back(&other);
  }
  return mates;
}

void FlatButton::setDown(uint8_t flag) {
  if (groupIndex_ == 0) flag = 0;
  if ((flag != 0) == (down_ != 0)) {
    if (flag != 0) down_ = flag;  // keeps the byte set last
    return;
  }
  if (flag == 0 && allowAllUp_ == 0) return;  // one of the group stays down
  down_ = flag;
  if (flag != 0)
    for (FlatButton* other : groupMates()) {
      other->down_ = 0;
      other->look_.down = false;
      other->showLook();
    }
  look_.down = flag != 0;
  showLook();
}

void FlatButton::setGroupIndex(int32_t index) {
  groupIndex_ = index;
  if (index == 0 && down_ != 0) {
    down_ = 0;
    look_.down = false;
    showLook();
  }
}

void FlatButton::setAllowAllUp(uint8_t flag) {
  allowAllUp_ = flag;
  for (FlatButton* other : groupMates()) other->allowAllUp_ = flag;
}

void FlatButton::setFlat(uint8_t flag) {
  flat_ = flag;
  look_.flat = flag != 0;
  showLook();
}

}  // namespace kestrel::objects
