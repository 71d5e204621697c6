#include "objects/controls/form.h"

#include <algorithm>

#include "events/dispatch.h"
#include "events/event_state.h"
#include "objects/gui_state.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {

constexpr int kMetricCaption = 4;        // title bar height
constexpr int kMetricFixedFrame = 7;     // border of a window that cannot be sized
constexpr int kMetricSizingFrame = 32;   // border of a window that can
constexpr int kMetricSmallCaption = 51;  // title bar of a tool window
constexpr int kMetricMenuBar = 15;
constexpr int32_t kDefaultWidth = 320;
constexpr int32_t kDefaultHeight = 240;
constexpr int32_t kIconHandleBase = 0x00B00000;
constexpr int32_t kModalCancel = 2;

constexpr uint8_t kMinimizeIcon = 2;

}  // namespace

Form::Form(Machine& m, int type) : ControlOf(m, type) {
  // The first size is no resize: no handler is bound yet, and it must not
  // clear the dispatch-suspended flag.
  const int32_t bw = borderWidth();
  peer_->setGeometry(gui::Rect::fromSize(0, 0, kDefaultWidth - 2 * bw, kDefaultHeight - captionHeight() - 2 * bw));
  lastClientSize_ = clientSize();
}

// ---- The frame

int32_t Form::borderWidth() const {
  switch (borderStyle_) {
    case 0: return 0;
    case 2: case 5: return toolkit().systemMetric(kMetricSizingFrame);
    default: return toolkit().systemMetric(kMetricFixedFrame);
  }
}

int32_t Form::captionHeight() const {
  if (borderStyle_ == 0 || !captionShown_) return 0;
  return toolkit().systemMetric(borderStyle_ >= 4 ? kMetricSmallCaption : kMetricCaption);
}

int32_t Form::menuHeight() const { return hasMenu_ ? toolkit().systemMetric(kMetricMenuBar) : 0; }

gui::Rect Form::bounds() const {
  const gui::Rect client = peer_->geometry();
  const int32_t bw = borderWidth();
  return gui::Rect::fromSize(client.left, client.top, client.width() + 2 * bw,
                             client.height() + captionHeight() + menuHeight() + 2 * bw);
}

void Form::setBounds(const gui::Rect& r) {
  const int32_t bw = borderWidth();
  // In 64 bits: a program may hand any 32-bit outer size.
  const int64_t frameHeight = int64_t{captionHeight()} + menuHeight() + 2 * int64_t{bw};
  const auto width = static_cast<int32_t>(std::clamp<int64_t>(int64_t{r.width()} - 2 * int64_t{bw}, 0, kMaxPictureSide));
  const auto height = static_cast<int32_t>(std::clamp<int64_t>(int64_t{r.height()} - frameHeight, 0, kMaxPictureSide));
  peer_->setGeometry(gui::Rect::fromSize(r.left, r.top, width, height));
  checkResized();
}

void Form::setClientSize(gui::Size size) {
  const gui::Rect client = peer_->geometry();
  peer_->setGeometry(gui::Rect::fromSize(client.left, client.top, std::clamp(size.width, 0, kMaxPictureSide),
                                         std::clamp(size.height, 0, kMaxPictureSide)));
  checkResized();
}

void Form::setBorderStyle(int32_t style) {
  // The window is made again with the new frame around the same outer size.
  const gui::Rect outer = bounds();
  borderStyle_ = style;
  captionShown_ = true;
  peer().setCaptionShown(true);
  peer().setBorderStyle(style);
  setBounds(outer);
}

// The title bar goes (styles single, sizeable and dialog; a thin border
// stays) and the height shrinks by the caption height, so the client area
// keeps its size. A tool window keeps its title bar, and the height still
// shrinks.
void Form::hideCaption() {
  if (borderStyle_ == 0 || !captionShown_) return;
  if (borderStyle_ >= 1 && borderStyle_ <= 3) {
    captionShown_ = false;
    peer().setCaptionShown(false);
    return;
  }
  setHeight(bounds().height() - toolkit().systemMetric(kMetricCaption));
}

void Form::showCaption() {
  if (borderStyle_ == 0 || captionShown_) return;
  if (borderStyle_ >= 1 && borderStyle_ <= 3) {
    captionShown_ = true;
    peer().setCaptionShown(true);
  }
}

void Form::changeBorderIcons(uint8_t bits, bool add) {
  borderIcons_ = add ? static_cast<uint8_t>(borderIcons_ | bits) : static_cast<uint8_t>(borderIcons_ & ~bits);
  peer().setBorderIcons(borderIcons_);
}

// ---- Showing, modal runs, closing

void Form::setVisible(uint8_t flag) {
  const bool was = peer_->visible();
  if (flag != 0 && !was && centred) centre();
  Control::setVisible(flag);
  if (!was && peer_->visible()) events::notify(m_, handlerFor(gui::EventKind::Show), sender());
}

void Form::centre() {
  int width = 0, height = 0;
  if (!toolkit().screenSize(width, height)) {
    width = toolkit().systemMetric(0);
    height = toolkit().systemMetric(1);
  }
  const gui::Rect r = bounds();
  setBounds(gui::Rect::fromSize((width - r.width()) / 2, (height - r.height()) / 2, r.width(), r.height()));
}

int32_t Form::showModal() {
  if (modal_ || peer_->visible()) raise("Cannot make a visible window modal");
  modal_ = true;
  modalResult = 0;
  peer().setModal(true);
  setVisible(1);
  bool eventsCanCome = true;
  for (;;) {
    if (events::endPending(m_)) break;
    if (modalResult == 0 && !peer_->visible()) modalResult = kModalCancel;  // hidden behind the loop's back
    if (modalResult != 0) {
      // Closing a modal form asks the close handler, which may keep it
      // open (while anything could still end the run).
      if (runCloseHandler(kCloseHide) == kCloseNone && eventsCanCome) modalResult = 0;
      else break;
    }
    // Without a window system nothing can answer: the form is cancelled.
    eventsCanCome = events::waitForEvents(m_);
    if (!eventsCanCome && !events::endPending(m_) && modalResult == 0) modalResult = kModalCancel;
  }
  Control::setVisible(0);
  peer().setModal(false);
  modal_ = false;
  return modalResult;
}

int32_t Form::runCloseHandler(int32_t action) {
  events::EventState& flags = events::state(m_);
  const int32_t entry = handlerFor(gui::EventKind::Close);
  if (entry == 0) {
    flags.dispatchSuspended = true;
    return action;
  }
  action = events::close(m_, entry, sender(), action);
  if (action == kCloseFree) flags.dispatchSuspended = true;
  return action;
}

// A modal form ends its run with the result cancel. Any other asks its
// close handler: hide (the default), minimize (an MDI child that can be
// minimized), nothing, or free, which hides it too: objects live until the
// program ends.
void Form::close() {
  if (modal_) {
    modalResult = kModalCancel;
    return;
  }
  int32_t action = kCloseHide;
  if (formStyle_ == 1) action = (borderIcons_ & kMinimizeIcon) != 0 ? kCloseMinimize : kCloseNone;
  switch (runCloseHandler(action)) {
    case kCloseHide: case kCloseFree: setVisible(0); break;
    case kCloseMinimize: setWindowState(gui::kMinimized); break;
    default: break;
  }
}

void Form::repaint() {
  peer().repaint();
  events::state(m_).dispatchSuspended = false;
}

// A resize clears a suspended dispatch and then runs no handler; the
// resize handler runs with the mouse busy.
void Form::resized() {
  realign();
  events::EventState& flags = events::state(m_);
  if (flags.dispatchSuspended) {
    flags.dispatchSuspended = false;
    return;
  }
  const int32_t entry = handlerFor(gui::EventKind::Resize);
  if (entry == 0) return;
  events::FlagGuard busy(flags.mouseBusy, true);
  events::notify(m_, entry, sender());
}

int32_t Form::windowState() const { return peer().windowState(); }

void Form::setWindowState(int32_t state) {
  peer().setWindowState(state >= 0 && state <= 2 ? state : gui::kNormal);
  checkResized();
}

bool Form::showCommand(int command) {
  const bool was = peer_->visible();
  switch (command) {
    case gui::sw::kHide: setVisible(0); return was;
    case gui::sw::kShowMinimized: case gui::sw::kMinimize: case gui::sw::kShowMinNoActive:
      setWindowState(gui::kMinimized);
      break;
    case gui::sw::kShowMaximized: setWindowState(gui::kMaximized); break;
    case gui::sw::kShowNormal: case gui::sw::kRestore: setWindowState(gui::kNormal); break;
    default: break;
  }
  if (command != gui::sw::kMinimize) setVisible(1);
  return was;
}

// On a form whose messages the program hooks, the minimize command
// minimizes the whole program when it runs without a console.
intptr_t Form::defaultMessage(uint32_t msg, intptr_t wParam, intptr_t lParam) {
  if (msg == gui::wm::kSysCommand && (static_cast<uint32_t>(wParam) & 0xFFF0) == gui::wm::kScMinimize &&
      messageHandler() != 0 && windowedProgram(m_)) {
    toolkit().minimizeApplication();
    return 0;
  }
  return Control::defaultMessage(msg, wParam, lParam);
}

void Form::setMenuBar(gui::WindowPeer* bar) {
  hasMenu_ = bar != nullptr;
  peer().setMenuBar(bar);
}

// ---- Styles and multiple documents

Form* Form::mdiParentForm() const {
  ObjectWorld& w = world(m_);
  for (size_t i = 0; i < w.count(kFormType); ++i) {
    auto& f = w.as<Form>(kFormType, static_cast<int32_t>(i));
    if (&f != this && f.formStyle_ == 2) return &f;
  }
  return nullptr;
}

void Form::setFormStyle(int32_t style) {
  if (style == formStyle_) return;
  if (style == 1) {
    Form* parent = mdiParentForm();
    if (parent == nullptr) raise("Cannot create form. No MDI forms are currently active");
    peer().setMdiParent(&parent->peer());
    formStyle_ = style;
    setVisible(1);  // child windows are always shown
    return;
  }
  if (formStyle_ == 1) peer().setMdiParent(nullptr);
  if (formStyle_ == 2) {
    ObjectWorld& w = world(m_);
    for (size_t i = 0; i < w.count(kFormType); ++i) {
      auto& f = w.as<Form>(kFormType, static_cast<int32_t>(i));
      if (f.formStyle_ == 1 && f.peer().mdiParent() == &peer()) {
        f.peer().setMdiParent(nullptr);
        f.formStyle_ = 0;
      }
    }
    peer().setMdiContainer(false);
  }
  if (formStyle_ == 3) peer().setStayOnTop(false);
  formStyle_ = style;
  if (style == 2) peer().setMdiContainer(true);
  if (style == 3) peer().setStayOnTop(true);
}

int32_t Form::mdiChildCount() const {
  if (formStyle_ != 2) return 0;
  ObjectWorld& w = world(m_);
  int32_t n = 0;
  for (size_t i = 0; i < w.count(kFormType); ++i) {
    auto& f = w.as<Form>(kFormType, static_cast<int32_t>(i));
    if (f.formStyle_ == 1 && f.peer().mdiParent() == &peer()) ++n;
  }
  return n;
}

void Form::arrange(gui::MdiArrangement how) {
  if (formStyle_ != 2) return;
  peer().arrangeMdiChildren(how);
}

// ---- The icon

void Form::setIconBytes(const std::vector<uint8_t>& bytes) {
  std::unique_ptr<gui::Surface> picture = toolkit().createSurface(0, 0, gui::kWhite);
  if (!picture->load(bytes.data(), bytes.size())) raise("Invalid icon");
  setIcon(picture.get());
}

void Form::setIcon(const gui::Surface* picture) {
  if (picture == nullptr || picture->empty()) {
    icon_.reset();
    iconHandle_ = 0;
  } else {
    icon_ = picture->clone();
    GuiState& g = guiState(m_);
    iconHandle_ = kIconHandleBase + 4 * static_cast<int32_t>(++g.iconsMade);
  }
  peer().setIcon(icon_.get());
}

}  // namespace kestrel::objects
