// Labels and panels on Qt: a widget that shows the picture the engine
// painted (transparent pixels leave what is under it); a panel's widget
// also holds its child controls.
#include <QPaintEvent>
#include <QPainter>
#include <type_traits>

#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_surface.h"
#include "toolkit/qt/qt_widget_peer.h"

namespace kestrel::qt {

namespace {

// Draws the peer's picture, which is a QtSurface.
class PictureWidget : public QWidget {
 public:
  explicit PictureWidget(gui::PicturePeer* peer) : peer_(peer) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawImage(0, 0, static_cast<QtSurface&>(peer_->picture()).image());
  }

 private:
  gui::PicturePeer* peer_;
};

// Base: gui::PicturePeer (labels) or gui::PanelPeer (panels, whose widget
// holds their children).
template <class Base>
class QtPicturePeer : public ChildPeer<Base>, public QtContainer {
 public:
  explicit QtPicturePeer(gui::WindowOwner* owner) : ChildPeer<Base>(owner, new PictureWidget(this)) {
    this->picture_ = std::make_unique<QtSurface>(0, 0, this->background());
  }

  QWidget* clientWidget() override {
    return std::is_base_of_v<gui::PanelPeer, Base> ? this->widget_.data() : nullptr;
  }

  // The engine paints the whole picture; the widget draws it over its parent.
  void setBackground(uint32_t rgb) override { gui::WindowPeer::setBackground(rgb); }
  void pictureChanged() override {
    if (this->widget_) this->widget_->update();
  }
};

}  // namespace

std::unique_ptr<gui::PicturePeer> makePicturePeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtPicturePeer<gui::PicturePeer>>(&owner);
}

std::unique_ptr<gui::PanelPeer> makePanelPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtPicturePeer<gui::PanelPeer>>(&owner);
}

}  // namespace kestrel::qt
