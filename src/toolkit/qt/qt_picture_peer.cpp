// Labels and panels on Qt: a widget that shows the picture the engine
// painted (transparent pixels leave what is under it); a panel's widget
// also holds its child controls.
#include <QPaintEvent>
#include <QPainter>

#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_surface.h"
#include "toolkit/qt/qt_widget_peer.h"

namespace kestrel::qt {

namespace {

class QtPicturePeer;

class PictureWidget : public QWidget {
 public:
  explicit PictureWidget(QtPicturePeer* peer) : peer_(peer) {}

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QtPicturePeer* peer_;
};

class QtPicturePeer : public ChildPeer<gui::PicturePeer>, public QtContainer {
 public:
  QtPicturePeer(gui::WindowOwner* owner, bool container)
      : ChildPeer<gui::PicturePeer>(owner, new PictureWidget(this)), container_(container) {
    picture_ = std::make_unique<QtSurface>(0, 0, background());
  }

  QWidget* clientWidget() override { return container_ ? widget_.data() : nullptr; }

  // The engine paints the whole picture; the widget draws it over its parent.
  void setBackground(uint32_t rgb) override {
    gui::WindowPeer::setBackground(rgb);
  }
  void pictureChanged() override {
    if (widget_) widget_->update();
  }
  void paint(QWidget& on) {
    QPainter p(&on);
    p.drawImage(0, 0, static_cast<QtSurface&>(picture()).image());
  }

 private:
  bool container_;
};

void PictureWidget::paintEvent(QPaintEvent*) { peer_->paint(*this); }

}  // namespace

std::unique_ptr<gui::WindowPeer> makePicturePeer(gui::WindowOwner& owner, bool container) {
  return std::make_unique<QtPicturePeer>(&owner, container);
}

}  // namespace kestrel::qt
