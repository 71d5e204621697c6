// Images on Qt: a widget that asks its owner to compose the picture (a
// Paint event) each time it paints, then draws it over its parent, so
// that what the picture leaves transparent shows what is under it.
#include <QPaintEvent>
#include <QPainter>

#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_surface.h"
#include "toolkit/qt/qt_widget_peer.h"

namespace kestrel::qt {

namespace {

class ImageWidget : public QWidget {
 public:
  explicit ImageWidget(gui::ImagePeer* peer) : peer_(peer) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    gui::InputEvent paint{gui::EventKind::Paint};
    if (gui::WindowOwner* o = peer_->owner()) o->event(paint);
    QPainter p(this);
    p.drawImage(0, 0, static_cast<QtSurface&>(peer_->picture()).image());
  }

 private:
  gui::ImagePeer* peer_;
};

class QtImagePeer : public ChildPeer<gui::ImagePeer> {
 public:
  explicit QtImagePeer(gui::WindowOwner* owner) : ChildPeer<gui::ImagePeer>(owner, new ImageWidget(this)) {
    picture_ = std::make_unique<QtSurface>(0, 0, background());
  }
  // The picture covers what it covers; the rest shows the parent.
  void setBackground(uint32_t rgb) override { gui::WindowPeer::setBackground(rgb); }
  void pictureChanged() override {
    if (widget_) widget_->update();
  }
};

}  // namespace

std::unique_ptr<gui::ImagePeer> makeImagePeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtImagePeer>(&owner);
}

}  // namespace kestrel::qt
