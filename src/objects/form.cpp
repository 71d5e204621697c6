#include "objects/form.h"

#include <algorithm>

#include "events/dispatch.h"
#include "core/machine.h"
#include "core/system_state.h"
#include "objects/control_members.h"
#include "objects/gui_state.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {

constexpr int kMetricCaption = 4;        // title bar height
constexpr int kMetricFixedFrame = 7;     // border of a window that cannot be sized
constexpr int kMetricSizingFrame = 32;   // border of a window that can
constexpr int kMetricSmallCaption = 51;  // title bar of a tool window
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

gui::Rect Form::bounds() const {
  const gui::Rect client = peer_->geometry();
  const int32_t bw = borderWidth();
  return gui::Rect::fromSize(client.left, client.top, client.width() + 2 * bw, client.height() + captionHeight() + 2 * bw);
}

void Form::setBounds(const gui::Rect& r) {
  const int32_t bw = borderWidth();
  const int32_t width = std::clamp(r.width() - 2 * bw, 0, kMaxPictureSide);
  const int32_t height = std::clamp(r.height() - captionHeight() - 2 * bw, 0, kMaxPictureSide);
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
      messageHandler() != 0 && m_.options.windowed) {
    toolkit().minimizeApplication();
    return 0;
  }
  return Control::defaultMessage(msg, wParam, lParam);
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

// ---- The member table

namespace {

std::vector<uint8_t> fileBytes(Machine& m, const Str& name) {
  std::vector<uint8_t> bytes;
  if (m.options.sandbox) raise("Cannot open file \"" + name.str() + "\". files are not available in the sandbox");
  if (!platform::readFileBytes(platform::translatePath(name.view()), bytes))
    raise("Cannot open file \"" + name.str() + "\". The file does not exist or cannot be read");
  return bytes;
}

void writeIcon(Machine& m, Form& f) {
  if (m.evaluate() != 0) {
    f.setIconBytes(fileBytes(m, m.strReg));
    return;
  }
  // A graphic-valued read filled the register: its icon, else its picture.
  GuiState& g = guiState(m);
  if (world(m).graphic.icon != nullptr && g.registerIcon) f.setIcon(g.registerIcon.get());
  else f.setIcon(registerGraphic(m).surface);
}

void readIcon(Machine& m, Form& f, EvalStacks& s) {
  GuiState& g = guiState(m);
  g.registerIcon = f.icon() != nullptr ? f.icon()->clone() : nullptr;
  world(m).graphic = {kFormType, f.tag, nullptr, g.registerIcon.get()};
  s.pushNumber(f.iconHandle());
}

void iconResource(Machine& m, Form& f) {
  const int n = byteOperand(m);
  if (static_cast<size_t>(n) >= m.image.resources.size()) raiseListIndex(n);
  f.setIconBytes(m.image.resource(static_cast<size_t>(n)));
}

// The statement form puts the read position back after the modal run, so
// that handlers cannot disturb the statement that opened the form.
void showModalStatement(Machine& m, Form& f) {
  skipByte(m);
  const int32_t position = m.pos;
  f.showModal();
  m.pos = position;
}

void borderIconList(Machine& m, Form& f, bool add) {
  forEachArgument(m, [&] {
    const int32_t n = numberOperand(m);
    if (n >= 0 && n <= 3) f.changeBorderIcons(static_cast<uint8_t>(1u << n), add);
  });
}

void bindHint(Machine& m, Form&) {
  guiState(m).hintHandler = handlerOperand(m);
  guiState(m).hintListening = true;
  Machine* machine = &m;
  toolkit().setHintListener([machine](const std::string& hint) {
    GuiState& g = guiState(*machine);
    if (hint == g.lastHint) return;
    g.lastHint = hint;
    events::hint(*machine, g.hintHandler, gui::longHint(hint));
  });
}

void arrangeWith(Machine& m, Form& f, gui::MdiArrangement how) {
  skipByte(m);
  f.arrange(how);
}

std::vector<Member<Form>> formRows() {
  std::vector<Member<Form>> rows = {
      {3, "Show", "", [](Machine&, Form& f) { f.setVisible(1); }, nullptr, nullptr, "shows the form"},
      {4, "ShowModal", "b", showModalStatement, "", [](Machine&, Form& f, EvalStacks& s) { s.pushNumber(f.showModal()); },
       "shows the form and waits until it closes; as an expression the modal result"},
      {7, "Icon", "E", writeIcon, "", readIcon,
       "a file name, or a graphic read (e.g. bitmap:0.Picture); a read gives the icon handle and fills the graphic register"},
      {8, "Center", "", [](Machine&, Form& f) {
         f.centred = true;
         if (f.peer().visible()) f.centre();
       }, nullptr, nullptr, "centres the form on the screen, now and whenever it is shown"},
      action<&Form::close>(12, "Close", "closes the form as its close box does (the close handler decides)"),
      property<&Form::borderStyle, &Form::setBorderStyle>(
          17, "BorderStyle", "0 none, 1 single, 2 sizeable, 3 dialog, 4 tool window, 5 sizeable tool window"),
      property<&Form::formStyle, &Form::setFormStyle>(18, "FormStyle", "0 normal, 1 MDI child, 2 MDI parent, 3 stay on top"),
      property<&Form::windowState, &Form::setWindowState>(19, "WindowState", "0 normal, 1 minimized, 2 maximized"),
      field<&Form::tileMode>(20, "TileMode", "how Tile arranges MDI children: 0 horizontally, 1 vertically"),
      {21, "MDIChildCount", "E", [](Machine& m, Form&) { m.evaluate(); },
       "", [](Machine&, Form& f, EvalStacks& s) { s.pushNumber(f.mdiChildCount()); },
       "number of MDI children of this MDI parent (writing evaluates the value and ignores it)"},
      {22, "ArrangeIcons", "b", [](Machine& m, Form& f) { arrangeWith(m, f, gui::MdiArrangement::ArrangeIcons); },
       nullptr, nullptr, "arranges the icons of minimized MDI children"},
      {23, "Cascade", "b", [](Machine& m, Form& f) { arrangeWith(m, f, gui::MdiArrangement::Cascade); }, nullptr,
       nullptr, "cascades the MDI children"},
      {24, "Next", "b", [](Machine& m, Form& f) { arrangeWith(m, f, gui::MdiArrangement::Next); }, nullptr, nullptr,
       "activates the next MDI child"},
      {25, "Previous", "b", [](Machine& m, Form& f) { arrangeWith(m, f, gui::MdiArrangement::Previous); }, nullptr,
       nullptr, "activates the previous MDI child"},
      {26, "Tile", "b", [](Machine& m, Form& f) {
         arrangeWith(m, f, f.tileMode == 1 ? gui::MdiArrangement::TileVertical : gui::MdiArrangement::TileHorizontal);
       }, nullptr, nullptr, "tiles the MDI children as TileMode says"},
      // An object operand of fixed size that nothing uses.
      {28, "Unused28", "BBW", [](Machine& m, Form&) { skipBytes(m, 4); }, nullptr, nullptr,
       "four bytes that are read and ignored"},
      {31, "IconResource", "B", iconResource, nullptr, nullptr, "resource number: loads the icon from that resource"},
      writeOnly<&Form::modalResult>(33, "ModalResult", "sets the modal result; nonzero ends a modal run"),
      field<&Form::autoScroll>(43, "AutoScroll", "flag: scroll bars when controls lie outside the client area"),
      action<&Form::hideCaption>(44, "HideCaption", "removes the title bar"),
      action<&Form::showCaption>(45, "ShowCaption", "brings the title bar back"),
      {46, "AddBorderIcons", "L", [](Machine& m, Form& f) { borderIconList(m, f, true); }, nullptr, nullptr,
       "list of icons to add: 0 system menu, 1 minimize, 2 maximize, 3 help"},
      {47, "RemoveBorderIcons", "L", [](Machine& m, Form& f) { borderIconList(m, f, false); }, nullptr, nullptr,
       "list of icons to remove: 0 system menu, 1 minimize, 2 maximize, 3 help"},
      action<&Form::repaint>(49, "Repaint", "paints the form now (the paint handler runs) and lets messages run again"),
      {51, "OnMessage", "H", [](Machine& m, Form& f) {
         f.bindMessageHandler(handlerOperand(m));
         guiState(m).hookedForm = f.tag;
       }, nullptr, nullptr, kMessageArguments},
      {66, "KeyPreview", "E", [](Machine& m, Form& f) {
         f.keyPreview = flagOperand(m);
         f.peer().setKeyPreview(f.keyPreview != 0);
       }, "", [](Machine&, Form& f, EvalStacks& s) { pushFlag(s, f.keyPreview); },
       "flag: the form sees the keys of its controls first"},
      {67, "OnHint", "H", bindHint, nullptr, nullptr, "the long part of the hint in string slot 0 (the application's hint)"},
  };
  addCommonMembers(rows, CommonCodes{.caption = 0, .left = 1, .top = 5, .width = 6, .height = 2, .clientWidth = 11,
                                     .clientHeight = 10, .font = 68, .popupMenu = 41, .enabled = 37, .visible = 38,
                                     .showHint = 39, .hint = 40, .color = 13, .cursor = 42, .handle = 50});
  addEventMembers(rows, EventCodes{.click = 16, .mouseDown = 34, .mouseUp = 36, .mouseMove = 35, .keyPress = 29,
                                   .keyDown = 32, .keyUp = 61, .resize = 9, .close = 27, .paint = 48, .show = 30});
  addFontMembers(rows, 200);
  addCanvasMembers(rows, CanvasCodes{.textOut = 14, .line = 15, .floodFill = 52, .circle = 53, .rectangle = 54,
                                     .pset = 55, .pixel = 56, .fillRect = 57, .draw = 58, .copyMode = 59,
                                     .copyRect = 60, .stretchDraw = 62, .textRect = 63, .textHeight = 64,
                                     .textWidth = 65});
  return rows;
}

std::unique_ptr<Object> createForm(Machine& m, int type, int32_t) { return std::make_unique<Form>(m, type); }

}  // namespace

void registerFormType(TypeRegistry& registry) {
  static const std::vector<Member<Form>> rows = formRows();
  registry.add(describeType(kFormType, "form", rows, createForm));
}

}  // namespace kestrel::objects
