#include "toolkit/qt/qt_widget_peer.h"

#include "toolkit/qt/qt_gui.h"

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

namespace {
// A window that paints its background and nothing else.
class PlainPeer : public ControlPeer {
 public:
  explicit PlainPeer(gui::WindowOwner* owner) : ControlPeer(owner, new QWidget) {}
};
}  // namespace

std::unique_ptr<gui::WindowPeer> makePlainPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<PlainPeer>(&owner);
}

}  // namespace kestrel::qt
