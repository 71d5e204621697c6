// Game screens on Qt: a widget that paints the last frame presented, at
// the top left, centred or scaled to the widget; what the frame does not
// cover is black. Its first showing asks the owner to initialise (from
// the event loop), and full screen is the top-level window's state.
#include <QPainter>
#include <QPointer>
#include <memory>

#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_surface.h"
#include "toolkit/qt/qt_widget_peer.h"
#include "toolkit/toolkit.h"

namespace kestrel::qt {

namespace {

class GameScreenWidget : public QWidget {
 public:
  explicit GameScreenWidget(gui::GameScreenPeer* peer) : peer_(peer) { setAttribute(Qt::WA_OpaquePaintEvent); }
  std::function<void()> onShown;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const auto* frame = dynamic_cast<const QtSurface*>(peer_->front());
    if (frame == nullptr) {
      p.fillRect(rect(), Qt::black);
      return;
    }
    const QImage& image = frame->image();
    const gui::PresentOptions options = peer_->presentOptions();
    QRect target(QPoint(0, 0), image.size());
    if (options.stretch) target = rect();
    else if (options.center) target.moveCenter(rect().center());
    // Cover what the frame leaves uncovered, then the frame.
    const QRegion outside = QRegion(rect()).subtracted(QRegion(target));
    for (const QRect& r : outside) p.fillRect(r, Qt::black);
    if (options.stretch) p.drawImage(target, image);
    else p.drawImage(target.topLeft(), image);
  }
  void showEvent(QShowEvent* event) override {
    QWidget::showEvent(event);
    if (onShown) onShown();
  }

 private:
  gui::GameScreenPeer* peer_;
};

class QtGameScreenPeer : public ChildPeer<gui::GameScreenPeer> {
 public:
  explicit QtGameScreenPeer(gui::WindowOwner* owner)
      : ChildPeer(owner, new GameScreenWidget(this)), self_(std::make_shared<QtGameScreenPeer*>(this)) {
    static_cast<GameScreenWidget*>(widget_.data())->onShown = [this] { postShown(); };
  }

  void present(const gui::Surface& frame, gui::PresentOptions options) override {
    gui::GameScreenPeer::present(frame, options);
    if (widget_) widget_->update();
  }
  void setFullScreen(bool on) override {
    gui::GameScreenPeer::setFullScreen(on);
    applyFullScreen(on);
  }
  // The option set before the screen had a window takes effect in it.
  void setParent(gui::WindowPeer* parent) override {
    ChildPeer::setParent(parent);
    if (fullScreen_) applyFullScreen(true);
  }

 private:
  void applyFullScreen(bool on) {
    if (!widget_ || widget_->parentWidget() == nullptr) return;
    QWidget* window = widget_->window();
    if (on) window->setWindowState(window->windowState() | Qt::WindowFullScreen);
    else window->setWindowState(window->windowState() & ~Qt::WindowFullScreen);
  }
  // The owner hears of the showing from the event loop, outside Qt's own
  // handling of it, since its handlers may do anything.
  void postShown() {
    toolkit().post([weak = std::weak_ptr<QtGameScreenPeer*>(self_)] {
      const std::shared_ptr<QtGameScreenPeer*> alive = weak.lock();
      if (!alive || (*alive)->owner() == nullptr) return;
      gui::InputEvent shown{gui::EventKind::Show};
      (*alive)->owner()->event(shown);
    });
  }

  std::shared_ptr<QtGameScreenPeer*> self_;
};

}  // namespace

std::unique_ptr<gui::GameScreenPeer> makeGameScreenPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtGameScreenPeer>(&owner);
}

}  // namespace kestrel::qt
