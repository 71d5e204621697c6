#include "toolkit/qt/qt_widget_peer.h"

namespace kestrel::qt {

void releaseForeignWidgets(QWidget* widget, const gui::WindowPeer* self) {
  const QList<QWidget*> inside = widget->findChildren<QWidget*>();
  for (QWidget* child : inside) {
    gui::WindowPeer* peer = peerOf(child);
    if (peer == nullptr || peer == self) continue;
    child->hide();
    child->setParent(nullptr);
  }
}

ControlPeer::ControlPeer(gui::WindowOwner* owner, QWidget* widget) : WidgetPeer(owner, widget) {
  widget->setMouseTracking(true);
  widget->hide();
}

void ControlPeer::setParent(gui::WindowPeer* parent) {
  WindowPeer::setParent(parent);
  if (!widget_) return;
  auto* container = dynamic_cast<QtContainer*>(parent);
  widget_->setParent(container != nullptr ? container->clientWidget() : nullptr);
  widget_->setGeometry(geometry_.left, geometry_.top, geometry_.width(), geometry_.height());
  updateShown();
}

void ControlPeer::setGeometry(const gui::Rect& r) {
  WindowPeer::setGeometry(r);
  if (widget_) widget_->setGeometry(r.left, r.top, r.width(), r.height());
}

void ControlPeer::setVisible(bool visible) {
  WindowPeer::setVisible(visible);
  updateShown();
}

void ControlPeer::setText(std::string_view text) {
  WindowPeer::setText(text);
  showText(fromProgramText(text));
}

// A control without a parent is never a window of its own.
void ControlPeer::updateShown() {
  if (!widget_) return;
  widget_->setVisible(visible_ && widget_->parentWidget() != nullptr);
}

namespace {
// A window that paints its background and nothing else.
class PlainPeer : public ControlPeer {
 public:
  explicit PlainPeer(gui::WindowOwner* owner) : ControlPeer(owner, new QWidget) {}
};
}  // namespace

std::unique_ptr<gui::WindowPeer> makePlainPeer(gui::WindowOwner& owner) { return std::make_unique<PlainPeer>(&owner); }

}  // namespace kestrel::qt
