// Paint boxes on Qt: a widget that shows the picture the program painted.
// Qt's own painting only shows the picture; being shown asks the owner for
// a paint, which runs from the event loop afterwards.
#include <QPaintEvent>
#include <QPainter>

#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_surface.h"
#include "toolkit/qt/qt_widget_peer.h"

namespace kestrel::qt {

namespace {

class PaintBoxWidget : public QWidget {
 public:
  explicit PaintBoxWidget(gui::PaintBoxPeer* peer) : peer_(peer) { setAttribute(Qt::WA_OpaquePaintEvent); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawImage(0, 0, static_cast<QtSurface&>(peer_->picture()).image());
  }
  void showEvent(QShowEvent* event) override {
    QWidget::showEvent(event);
    peer_->requestPaint();
  }

 private:
  gui::PaintBoxPeer* peer_;
};

class QtPaintBoxPeer : public ChildPeer<gui::PaintBoxPeer> {
 public:
  explicit QtPaintBoxPeer(gui::WindowOwner* owner) : ChildPeer(owner, new PaintBoxWidget(this)) {
    auto picture = std::make_unique<QtSurface>(0, 0, background());
    // Drawing shows at once, also outside a paint.
    picture->changed = [this] {
      if (widget_) widget_->update();
    };
    picture_ = std::move(picture);
  }
  ~QtPaintBoxPeer() override { picture_->changed = nullptr; }

  // The picture covers the whole window.
  void setBackground(uint32_t rgb) override { gui::WindowPeer::setBackground(rgb); }
  void pictureChanged() override {
    if (widget_) widget_->update();
  }
};

}  // namespace

std::unique_ptr<gui::PaintBoxPeer> makePaintBoxPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtPaintBoxPeer>(&owner);
}

}  // namespace kestrel::qt
