// The container of embedded objects on Qt: a QFrame that shows the
// background colour and, when asked, a single black line around it.
#include <QFrame>

#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_widget_peer.h"

namespace kestrel::qt {

namespace {

class QtContainerPeer : public ChildPeer<gui::ContainerPeer> {
 public:
  explicit QtContainerPeer(gui::WindowOwner* owner) : ChildPeer(owner, new QFrame) {
    frame()->setFrameShadow(QFrame::Plain);
    frame()->setLineWidth(1);
    showBorder();
  }

  void setBorder(bool single) override {
    gui::ContainerPeer::setBorder(single);
    showBorder();
  }

 private:
  QFrame* frame() const { return static_cast<QFrame*>(widget_.data()); }
  void showBorder() {
    if (widget_) frame()->setFrameShape(border_ ? QFrame::Box : QFrame::NoFrame);
  }
};

}  // namespace

std::unique_ptr<gui::ContainerPeer> makeContainerPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtContainerPeer>(&owner);
}

}  // namespace kestrel::qt
