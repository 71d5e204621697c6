#include "toolkit/qt/qt_form.h"

#include <QEvent>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace kestrel::qt {

namespace {

Qt::WindowStates qtState(int state) {
  switch (state) {
    case gui::kMinimized: return Qt::WindowMinimized;
    case gui::kMaximized: return Qt::WindowMaximized;
    default: return Qt::WindowNoState;
  }
}

int stateOf(Qt::WindowStates states) {
  if (states & Qt::WindowMinimized) return gui::kMinimized;
  if (states & Qt::WindowMaximized) return gui::kMaximized;
  return gui::kNormal;
}

bool fixedSize(int borderStyle) { return borderStyle == 1 || borderStyle == 3 || borderStyle == 4; }

}  // namespace

// ---- The widget

FormWidget::FormWidget(QtFormPeer* peer) : peer_(peer) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void FormWidget::paintEvent(QPaintEvent*) { peer_->paint(*this); }

void FormWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  peer_->layoutClient();
}

// ---- The peer

QtFormPeer::QtFormPeer(gui::WindowOwner* owner) : WidgetPeer(owner, new FormWidget(this)) {
  auto surface = std::make_unique<QtSurface>(0, 0, background());
  surface->changed = [this] {
    if (!painting_ && widget_) widget_->update();
  };
  canvas_ = std::move(surface);
  applyFlags();
}

QtFormPeer::~QtFormPeer() {
  canvas_->changed = nullptr;
  // The menu bar and the form's widget belong to their peers.
  if (menuFrame_) {
    if (menuBar_) {
      menuBar_->hide();
      menuBar_->setParent(nullptr);
    }
    if (widget_) widget_->setParent(nullptr);
  }
  // Child forms outlive their sub-windows: they leave hidden.
  for (QtFormPeer* child : std::vector<QtFormPeer*>(children_)) {
    child->visible_ = false;
    child->setMdiParent(nullptr);
  }
  if (parentForm_ != nullptr) std::erase(parentForm_->children_, this);
  if (subWindow_) {
    if (menuFrame_) menuFrame_->setParent(nullptr);
    delete subWindow_.data();
  }
  delete menuFrame_.data();
}

QWidget* QtFormPeer::frame() const {
  if (subWindow_) return subWindow_;
  return content();
}

QWidget* QtFormPeer::content() const {
  if (menuFrame_) return menuFrame_;
  return widget_;
}

gui::Surface& QtFormPeer::canvas() {
  clientResized();
  return *canvas_;
}

void QtFormPeer::paint(QWidget& on) {
  if (!painting_ && owner_ != nullptr) {
    painting_ = true;
    gui::InputEvent e{gui::EventKind::Paint};
    owner_->event(e);
    painting_ = false;
  }
  clientResized();
  QPainter p(&on);
  p.fillRect(on.rect(), qColor(background()));
  p.drawImage(0, 0, static_cast<QtSurface&>(*canvas_).image());
}

void QtFormPeer::layoutClient() {
  if (mdiArea_ && widget_) mdiArea_->setGeometry(widget_->rect());
}

// ---- Geometry: the client area at the window's position

void QtFormPeer::setGeometry(const gui::Rect& r) {
  WindowPeer::setGeometry(r);
  if (!widget_) return;
  const QSize size(r.width(), r.height());
  if (subWindow_) {
    subWindow_->move(r.left, r.top);
    const QSize frameExtra = subWindow_->size() - widget_->size();
    subWindow_->resize(size + frameExtra);
    if (widget_->size() != size) subWindow_->resize(subWindow_->size() + size - widget_->size());
  } else {
    QWidget* window = content();
    const QSize outer = size + QSize(0, menuBarHeight());
    window->move(r.left, r.top);
    if (fixedSize(borderStyle_)) window->setFixedSize(outer);
    else window->resize(outer);
  }
  layoutMenuFrame();
  clientResized();
}

gui::Rect QtFormPeer::geometry() const {
  if (!widget_) return geometry_;
  const QPoint at = frame()->pos();
  return gui::Rect::fromSize(at.x(), at.y(), widget_->width(), widget_->height());
}

gui::Size QtFormPeer::clientSize() const {
  if (!widget_) return {geometry_.width(), geometry_.height()};
  return {widget_->width(), widget_->height()};
}

void QtFormPeer::setText(std::string_view text) {
  FormPeer::setText(text);
  if (widget_) content()->setWindowTitle(fromProgramText(text));
}

// ---- Showing

void QtFormPeer::showState() {
  if (!widget_) return;
  if (subWindow_) {
    content()->show();
    switch (windowState_) {
      case gui::kMinimized: subWindow_->showMinimized(); break;
      case gui::kMaximized: subWindow_->showMaximized(); break;
      default: subWindow_->showNormal(); break;
    }
    return;
  }
  content()->setWindowState(qtState(windowState_));
  content()->show();
}

void QtFormPeer::setVisible(bool visible) {
  FormPeer::setVisible(visible);
  if (!widget_) return;
  if (visible) {
    showState();
  } else {
    frame()->hide();
  }
}

bool QtFormPeer::visible() const {
  if (!widget_) return false;
  return !frame()->isHidden();
}

void QtFormPeer::setWindowState(int state) {
  FormPeer::setWindowState(state);
  if (widget_ && !frame()->isHidden()) showState();
  else if (widget_ && !subWindow_) content()->setWindowState(qtState(state));
}

int QtFormPeer::windowState() const {
  if (!widget_) return windowState_;
  return stateOf(frame()->windowState());
}

// ---- Frame and flags

void QtFormPeer::applyFlags() {
  if (!widget_ || subWindow_) return;
  Qt::WindowFlags flags = Qt::Window;
  if (borderStyle_ == 3) flags = Qt::Dialog;
  if (borderStyle_ == 4 || borderStyle_ == 5) flags = Qt::Tool;
  if (borderStyle_ == 0) {
    flags |= Qt::FramelessWindowHint;
  } else {
    flags |= Qt::CustomizeWindowHint;
    if (captionShown_) flags |= Qt::WindowTitleHint;
    if (borderIcons_ & 1) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (borderIcons_ & 2) flags |= Qt::WindowMinimizeButtonHint;
    if (borderIcons_ & 4) flags |= Qt::WindowMaximizeButtonHint;
    if (borderIcons_ & 8) flags |= Qt::WindowContextHelpButtonHint;
  }
  if (stayOnTop_) flags |= Qt::WindowStaysOnTopHint;
  QWidget* window = content();
  if (flags != window->windowFlags()) {
    const bool shown = !window->isHidden();
    window->setWindowFlags(flags);  // hides the window
    if (shown) showState();
  }
  applySizeRule();
}

void QtFormPeer::applySizeRule() {
  if (!widget_) return;
  QWidget* window = content();
  if (fixedSize(borderStyle_)) {
    window->setFixedSize(window->size());
  } else {
    window->setMinimumSize(0, 0);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  }
}

void QtFormPeer::setBorderStyle(int style) {
  FormPeer::setBorderStyle(style);
  applyFlags();
}

void QtFormPeer::setBorderIcons(uint8_t icons) {
  FormPeer::setBorderIcons(icons);
  applyFlags();
}

void QtFormPeer::setCaptionShown(bool shown) {
  FormPeer::setCaptionShown(shown);
  applyFlags();
}

void QtFormPeer::setStayOnTop(bool onTop) {
  stayOnTop_ = onTop;
  applyFlags();
}

void QtFormPeer::setIcon(const gui::Surface* icon) {
  if (!widget_) return;
  const QImage image = icon != nullptr ? imageOf(*icon) : QImage();
  content()->setWindowIcon(image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image)));
}

// Modality is set while the window is hidden (Qt applies it when shown).
void QtFormPeer::setModal(bool modal) {
  if (widget_) content()->setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
}

void QtFormPeer::repaint() {
  if (widget_ && widget_->isVisible() && !painting_) widget_->repaint();
}

// ---- Multiple documents

void QtFormPeer::setMdiContainer(bool container) {
  if (!widget_) return;
  if (container && !mdiArea_) {
    mdiArea_ = new QMdiArea(widget_);
    mdiArea_->setGeometry(widget_->rect());
    mdiArea_->show();
    return;
  }
  if (!container && mdiArea_) {
    for (QtFormPeer* child : std::vector<QtFormPeer*>(children_)) child->setMdiParent(nullptr);
    delete mdiArea_.data();
  }
}

void QtFormPeer::setMdiParent(gui::FormPeer* parent) {
  FormPeer::setMdiParent(parent);
  if (!widget_) return;
  const gui::Rect place = geometry();
  if (parentForm_ != nullptr) std::erase(parentForm_->children_, this);
  parentForm_ = nullptr;
  if (subWindow_) {
    content()->setParent(nullptr);
    delete subWindow_.data();
  }
  auto* form = dynamic_cast<QtFormPeer*>(parent);
  if (form != nullptr && form->mdiArea_) {
    subWindow_ = form->mdiArea_->addSubWindow(content());
    subWindow_->setAttribute(Qt::WA_DeleteOnClose, false);
    parentForm_ = form;
    form->children_.push_back(this);
  } else {
    mdiParent_ = nullptr;
    applyFlags();
  }
  setGeometry(place);
  setVisible(visible_);
}

// Horizontal tiling stacks the children one above the other, vertical
// tiling puts them side by side; minimized children keep their place.
void QtFormPeer::tile(bool sideBySide) {
  std::vector<QMdiSubWindow*> open;
  for (QMdiSubWindow* w : mdiArea_->subWindowList())
    if (w->isVisible() && !w->isMinimized()) open.push_back(w);
  if (open.empty()) return;
  const QSize area = mdiArea_->viewport()->size();
  const int n = static_cast<int>(open.size());
  for (int i = 0; i < n; ++i) {
    if (open[static_cast<size_t>(i)]->isMaximized()) open[static_cast<size_t>(i)]->showNormal();
    if (sideBySide) {
      const int w = area.width() / n;
      open[static_cast<size_t>(i)]->setGeometry(i * w, 0, w, area.height());
    } else {
      const int h = area.height() / n;
      open[static_cast<size_t>(i)]->setGeometry(0, i * h, area.width(), h);
    }
  }
}

void QtFormPeer::arrangeIcons() {
  int x = 0;
  for (QMdiSubWindow* w : mdiArea_->subWindowList()) {
    if (!w->isMinimized()) continue;
    w->move(x, mdiArea_->viewport()->height() - w->height());
    x += w->width();
  }
}

void QtFormPeer::arrangeMdiChildren(gui::MdiArrangement how) {
  if (!mdiArea_) return;
  switch (how) {
    case gui::MdiArrangement::Cascade: mdiArea_->cascadeSubWindows(); break;
    case gui::MdiArrangement::TileHorizontal: tile(false); break;
    case gui::MdiArrangement::TileVertical: tile(true); break;
    case gui::MdiArrangement::ArrangeIcons: arrangeIcons(); break;
    case gui::MdiArrangement::Next: mdiArea_->activateNextSubWindow(); break;
    case gui::MdiArrangement::Previous: mdiArea_->activatePreviousSubWindow(); break;
  }
}

}  // namespace kestrel::qt

namespace kestrel::qt {

namespace {

// The window of a form with a menu bar: it places the bar and the form's
// widget when it changes size, and passes the close box and window states
// on to the form.
class MenuFrameFilter : public QObject {
 public:
  MenuFrameFilter(QWidget* frame, QtFormPeer* peer) : QObject(frame), peer_(peer) { frame->installEventFilter(this); }

  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::Resize: peer_->layoutMenuFrame(); return false;
      case QEvent::WindowStateChange: deliver(gui::EventKind::WindowStateChange); return false;
      case QEvent::Close:
        event->ignore();
        deliver(gui::EventKind::Close);
        return true;
      default: return false;
    }
  }

 private:
  void deliver(gui::EventKind kind) {
    gui::InputEvent e{kind};
    if (gui::WindowOwner* owner = peer_->owner()) owner->event(e);
  }
  QtFormPeer* peer_;
};

}  // namespace

int QtFormPeer::menuBarHeight() const { return menuBar_ ? menuBar_->height() : 0; }

void QtFormPeer::layoutMenuFrame() {
  if (!menuFrame_ || !widget_) return;
  const int bar = menuBarHeight();
  if (menuBar_) menuBar_->setGeometry(0, 0, menuFrame_->width(), bar);
  widget_->setGeometry(0, bar, menuFrame_->width(), std::max(0, menuFrame_->height() - bar));
}

// The form's widget moves into a new window that also holds the bar; the
// window takes over the title, icon, flags and modality.
void QtFormPeer::makeMenuFrame() {
  const gui::Rect place = geometry();
  const bool shown = visible();
  auto* frame = new QWidget(nullptr, widget_->windowFlags());
  setPeerOf(frame, this);
  frame->setWindowTitle(widget_->windowTitle());
  frame->setWindowIcon(widget_->windowIcon());
  frame->setWindowModality(widget_->windowModality());
  frame->setMinimumSize(widget_->minimumSize());
  frame->setMaximumSize(widget_->maximumSize());
  new MenuFrameFilter(frame, this);
  widget_->setMinimumSize(0, 0);
  widget_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  widget_->setParent(frame);
  widget_->show();
  menuFrame_ = frame;
  if (subWindow_) subWindow_->setWidget(frame);
  setGeometry(place);
  applySizeRule();
  if (shown) showState();
}

void QtFormPeer::setMenuBar(gui::WindowPeer* bar) {
  FormPeer::setMenuBar(bar);
  if (!widget_) return;
  auto* holder = dynamic_cast<QtWidgetHolder*>(bar);
  QWidget* barWidget = holder != nullptr ? holder->heldWidget() : nullptr;
  if (barWidget == menuBar_) return;
  const gui::Rect place = geometry();
  if (menuBar_) {
    menuBar_->hide();
    menuBar_->setParent(nullptr);
  }
  menuBar_ = barWidget;
  if (barWidget == nullptr) {
    setGeometry(place);
    return;
  }
  if (!menuFrame_) makeMenuFrame();
  barWidget->setParent(menuFrame_);
  barWidget->show();
  setGeometry(place);
  applySizeRule();
}

}  // namespace kestrel::qt
