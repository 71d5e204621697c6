#include "objects/control.h"

#include <algorithm>
#include <cstdio>

#include "core/machine.h"
#include "core/system_state.h"
#include "platform/memory_access.h"
#include "toolkit/colors.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {
constexpr size_t kMaxMessageText = 65536;
// Controls are made on the GUI thread only.
uint64_t controlsMade = 0;
}  // namespace

Control::Control(Machine& m, int type) : EventSource(type), m_(m), created_(++controlsMade) {}

Control::~Control() {
  if (parent_ != nullptr) {
    std::erase(parent_->children_, this);
    std::erase(parent_->tabList_, this);
  }
  for (Control* child : children_) child->parent_ = nullptr;
  if (peer_) peer_->detach();
}

void Control::attach(std::unique_ptr<gui::WindowPeer> peer) {
  peer_ = std::move(peer);
  peer_->setBackground(gui::colorToRgb(color_));
  showFont();
  // Controls are visible (they show once they have a parent); windows of
  // their own start hidden.
  if (!peer_->topLevel()) peer_->setVisible(visible_ != 0);
}

// ---- Geometry

gui::Rect Control::bounds() const { return peer_->geometry(); }

void Control::setBounds(const gui::Rect& r) {
  gui::Rect fixed = r;
  if (fixed.right < fixed.left) fixed.right = fixed.left;
  if (fixed.bottom < fixed.top) fixed.bottom = fixed.top;
  peer_->setGeometry(fixed);
  checkResized();
  if (parent_ != nullptr && align_ != kAlignNone) parent_->realign();
}

void Control::setLeft(int32_t v) {
  const gui::Rect r = bounds();
  setBounds(gui::Rect::fromSize(v, r.top, r.width(), r.height()));
}

void Control::setTop(int32_t v) {
  const gui::Rect r = bounds();
  setBounds(gui::Rect::fromSize(r.left, v, r.width(), r.height()));
}

void Control::setWidth(int32_t v) {
  const gui::Rect r = bounds();
  setBounds(gui::Rect::fromSize(r.left, r.top, v, r.height()));
}

void Control::setHeight(int32_t v) {
  const gui::Rect r = bounds();
  setBounds(gui::Rect::fromSize(r.left, r.top, r.width(), v));
}

gui::Size Control::clientSize() const { return peer_->clientSize(); }

// A control without a frame of its own: the client area is the whole.
void Control::setClientSize(gui::Size size) {
  const gui::Rect r = bounds();
  const gui::Size now = clientSize();
  setBounds(gui::Rect::fromSize(r.left, r.top, r.width() + size.width - now.width,
                                r.height() + size.height - now.height));
}

void Control::checkResized() {
  const gui::Size now = clientSize();
  if (now == lastClientSize_) return;
  lastClientSize_ = now;
  resized();
}

void Control::resized() {
  realign();
  events::notify(m_, handlerFor(gui::EventKind::Resize), sender());
}

// ---- Text, parent, font

Str Control::caption() const { return Str(peer_->text()); }

void Control::setCaption(const Str& text) {
  peer_->setText(text.view());
  appearanceChanged();
}

void Control::setParent(Control* container) {
  for (Control* c = container; c != nullptr; c = c->parent_)
    if (c == this) raise("A control cannot be its own parent");
  if (container == parent_) return;
  if (parent_ != nullptr) {
    std::erase(parent_->children_, this);
    std::erase(parent_->tabList_, this);
    parent_->applyTabOrder();
    parent_->realign();
  }
  parent_ = container;
  peer_->setParent(container == nullptr ? nullptr : &container->peer());
  if (container == nullptr) return;
  if (parentFont_ && !(font_ == container->font_)) {
    font_ = container->font_;
    showFont();
  }
  if (parentColor_ && color_ != container->color_) {
    color_ = container->color_;
    showColor();
  }
  container->children_.push_back(this);
  container->tabList_.push_back(this);
  if (wantedTabOrder_ >= 0) setTabOrder(wantedTabOrder_);
  else container->applyTabOrder();
  container->realign();
}

void Control::fontChanged() {
  parentFont_ = false;
  showFont();
}

void Control::showFont() {
  peer_->setFont(font_, gui::colorToRgb(font_.color));
  appearanceChanged();
  for (Control* child : children_) {
    if (!child->parentFont_) continue;
    child->font_ = font_;
    child->showFont();
  }
}

void Control::showColor() {
  peer_->setBackground(gui::colorToRgb(color_));
  appearanceChanged();
  for (Control* child : children_) {
    if (!child->parentColor_) continue;
    child->color_ = color_;
    child->showColor();
  }
}

void Control::assignFont(const FontObject& source) {
  font_ = source.desc;
  fontChanged();
}

// ---- Flags and simple properties

uint8_t Control::enabledFlag() const {
  if (!peer_->enabled()) return 0;
  return enabled_ != 0 ? enabled_ : 1;
}

void Control::setEnabled(uint8_t flag) {
  enabled_ = flag;
  peer_->setEnabled(flag != 0);
  appearanceChanged();
}

uint8_t Control::visibleFlag() const {
  if (!peer_->visible()) return 0;
  return visible_ != 0 ? visible_ : 1;
}

void Control::setVisible(uint8_t flag) {
  visible_ = flag;
  peer_->setVisible(flag != 0);
  if (parent_ != nullptr && align_ != kAlignNone) parent_->realign();
}

void Control::setShowHint(uint8_t flag) {
  showHint_ = flag;
  peer_->setHint(hint_.view(), flag != 0);
}

void Control::setHint(const Str& text) {
  hint_ = text;
  peer_->setHint(hint_.view(), showHint_ != 0);
}

void Control::setColor(int32_t color) {
  color_ = color;
  parentColor_ = false;
  showColor();
}

void Control::setCursor(int32_t number) {
  cursor_ = number;
  peer_->setCursorShape(cursorShapeFor(*m_.system, number));
}

void Control::setAlign(int32_t align) {
  align_ = align;
  if (parent_ != nullptr) parent_->realign();
}

int32_t Control::tabOrder() const {
  if (parent_ == nullptr) return -1;
  const auto& list = parent_->tabList_;
  return static_cast<int32_t>(std::find(list.begin(), list.end(), this) - list.begin());
}

void Control::setTabOrder(int32_t position) {
  wantedTabOrder_ = position;
  if (parent_ == nullptr) return;
  auto& list = parent_->tabList_;
  std::erase(list, this);
  const auto at = std::clamp<int64_t>(position, 0, static_cast<int64_t>(list.size()));
  list.insert(list.begin() + at, this);
  parent_->applyTabOrder();
}

void Control::applyTabOrder() {
  std::vector<gui::WindowPeer*> peers;
  for (Control* c : tabList_) peers.push_back(&c->peer());
  peer_->setTabOrder(peers);
}

std::vector<Control*> Control::dockedChildren(int32_t align) const {
  std::vector<Control*> list;
  for (Control* c : children_)
    if (c->align_ == align && c->visible_ != 0) list.push_back(c);
  std::sort(list.begin(), list.end(), [align](Control* a, Control* b) {
    const gui::Rect ra = a->bounds(), rb = b->bounds();
    int64_t pa = 0, pb = 0;
    switch (align) {
      case kAlignTop: pa = ra.top, pb = rb.top; break;
      case kAlignBottom: pa = -int64_t{ra.bottom}, pb = -int64_t{rb.bottom}; break;
      case kAlignLeft: pa = ra.left, pb = rb.left; break;
      case kAlignRight: pa = -int64_t{ra.right}, pb = -int64_t{rb.right}; break;
      default: break;
    }
    return pa != pb ? pa < pb : a->created_ < b->created_;
  });
  return list;
}

// Docking: top-aligned children stack down from the top, bottom-aligned
// ones up from the bottom, then left and right ones fill the height that
// is left, and client-aligned ones take the rest (dockedChildren gives the
// order on each side). Hidden children take no room.
void Control::realign() {
  if (aligning_ || children_.empty()) return;
  aligning_ = true;
  gui::Rect space = dockArea();
  auto place = [](Control* c, gui::Rect r) {
    r.right = std::max(r.right, r.left);
    r.bottom = std::max(r.bottom, r.top);
    c->peer_->setGeometry(r);
    c->checkResized();
  };
  for (Control* c : dockedChildren(kAlignTop)) {
    const int32_t h = c->bounds().height();
    place(c, {space.left, space.top, space.right, space.top + h});
    space.top += h;
  }
  for (Control* c : dockedChildren(kAlignBottom)) {
    const int32_t h = c->bounds().height();
    place(c, {space.left, space.bottom - h, space.right, space.bottom});
    space.bottom -= h;
  }
  space.bottom = std::max(space.bottom, space.top);
  for (Control* c : dockedChildren(kAlignLeft)) {
    const int32_t w = c->bounds().width();
    place(c, {space.left, space.top, space.left + w, space.bottom});
    space.left += w;
  }
  for (Control* c : dockedChildren(kAlignRight)) {
    const int32_t w = c->bounds().width();
    place(c, {space.right - w, space.top, space.right, space.bottom});
    space.right -= w;
  }
  space.right = std::max(space.right, space.left);
  for (Control* c : children_)
    if (c->align_ == kAlignClient && c->visible_ != 0) place(c, space);
  aligning_ = false;
}

// ---- Events

void Control::event(gui::InputEvent& e) {
  const int32_t entry = handlerFor(e.kind);
  switch (e.kind) {
    case gui::EventKind::MouseDown:
      events::mouseButton(m_, entry, sender(), e.button, e.x, e.y, e.shift);
      break;
    case gui::EventKind::MouseUp:
      events::mouseButton(m_, entry, sender(), e.button, e.x, e.y, e.shift);
      if (e.button == gui::kRightButton) showPopupMenu();
      break;
    case gui::EventKind::MouseMove: events::mouseMove(m_, entry, sender(), e.x, e.y, e.shift); break;
    case gui::EventKind::KeyPress: events::keyPress(m_, entry, sender(), e.key); break;
    case gui::EventKind::KeyDown:
    case gui::EventKind::KeyUp: events::key(m_, entry, sender(), e.key, e.shift); break;
    case gui::EventKind::Resize: checkResized(); break;
    case gui::EventKind::Close: closeRequested(); break;
    case gui::EventKind::WindowStateChange: windowStateChanged(); break;
    default: events::notify(m_, entry, sender()); break;
  }
}

// A name that is no menu, or names nothing, shows nothing (an event has
// no place for an error).
void Control::showPopupMenu() {
  if (popupMenu.type == 0) return;
  try {
    Object& named = world(m_).at(popupMenu.type, popupMenu.index, popupMenu.type);
    if (auto* menu = dynamic_cast<ContextMenu*>(&named)) menu->popupAtMouse();
  } catch (const RuntimeError&) {
  }
}

intptr_t Control::message(uint32_t msg, intptr_t wParam, intptr_t lParam) {
  events::message(m_, messageHandler(), handle(), msg, wParam, lParam);
  // A message may come from the event loop, where no error can go: errors
  // of the default handling are reported and the message yields 0.
  try {
    return defaultMessage(msg, wParam, lParam);
  } catch (const std::exception& e) {
    m_.out.flush();
    std::fprintf(stderr, "kestrel: error in a window message: %s\n", e.what());
    std::fflush(stderr);
    return 0;
  }
}

void Control::windowMessage(uint32_t msg, intptr_t wParam, intptr_t lParam) {
  events::message(m_, messageHandler(), handle(), msg, wParam, lParam);
}

intptr_t Control::defaultMessage(uint32_t msg, intptr_t wParam, intptr_t lParam) {
  switch (msg) {
    case gui::wm::kClose: closeRequested(); return 0;
    case gui::wm::kSetText:
      setCaption(Str(platform::textAtAddress(static_cast<uint64_t>(lParam), kMaxMessageText)));
      return 1;
    case gui::wm::kGetText: {
      if (wParam <= 0) return 0;
      const Str text = caption();
      const size_t n = std::min(text.size(), static_cast<size_t>(wParam) - 1);
      std::string bytes(text.view().substr(0, n));
      bytes.push_back('\0');
      platform::copyToAddress(static_cast<uint64_t>(lParam), bytes.data(), bytes.size());
      return static_cast<intptr_t>(n);
    }
    case gui::wm::kGetTextLength: return static_cast<intptr_t>(caption().size());
    case gui::wm::kShowWindow: setVisible(wParam != 0 ? 1 : 0); return 0;
    case gui::wm::kEnable: setEnabled(wParam != 0 ? 1 : 0); return 0;
    case gui::wm::kSysCommand:
      switch (static_cast<uint32_t>(wParam) & 0xFFF0) {
        case gui::wm::kScMinimize: showCommand(gui::sw::kMinimize); break;
        case gui::wm::kScMaximize: showCommand(gui::sw::kShowMaximized); break;
        case gui::wm::kScRestore: showCommand(gui::sw::kRestore); break;
        case gui::wm::kScClose: closeRequested(); break;
        case gui::wm::kScMove: peer_->beginDragMove(); break;
        default: break;
      }
      return 0;
    default: return 0;  // the program's own messages (1024 and up) and the rest
  }
}

bool Control::showCommand(int command) {
  const bool wasVisible = peer_->visible();
  setVisible(command == gui::sw::kHide ? 0 : 1);
  return wasVisible;
}

intptr_t canvasHandle(Control& control, intptr_t base) {
  const intptr_t handle = base + 4 * static_cast<intptr_t>(control.tag);
  control.peer().addHandle(handle);
  return handle;
}

// ---- Operands

const FontObject& fontOperand(Machine& m) {
  Object& o = containerLookup(m, readObjectOperand(m));
  auto* font = dynamic_cast<FontObject*>(&o);
  if (font == nullptr) raise(texts::kInvalidCast);
  return *font;
}

Control& containerOperand(Machine& m) {
  Object& o = containerLookup(m, readObjectOperand(m));
  auto* control = dynamic_cast<Control*>(&o);
  if (control == nullptr || !control->holdsControls()) raise(texts::kInvalidCast);
  return *control;
}

}  // namespace kestrel::objects
