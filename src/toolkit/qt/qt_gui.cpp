#include "toolkit/qt/qt_gui.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <set>

#include "toolkit/qt/qt_events.h"
#include "toolkit/qt/qt_form.h"
#include "toolkit/qt/qt_services.h"

namespace kestrel::qt {

namespace {

// Watches every event of the application: keys held down (for the key
// state), a form's key preview (its key events before its controls'), and
// the hint under the mouse.
class ApplicationWatcher : public QObject {
 public:
  std::set<int> keysDown;
  std::function<void(const std::string&)> hintListener;

  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease: {
        const auto& e = static_cast<const QKeyEvent&>(*event);
        const int key = virtualKey(e);
        if (event->type() == QEvent::KeyPress) keysDown.insert(key);
        else if (!e.isAutoRepeat()) keysDown.erase(key);
        previewKey(watched, event);
        break;
      }
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease: {
        const auto& e = static_cast<const QMouseEvent&>(*event);
        const int key = e.button() == Qt::LeftButton ? 1 : e.button() == Qt::RightButton ? 2 : 4;
        if (event->type() == QEvent::MouseButtonPress) keysDown.insert(key);
        else keysDown.erase(key);
        break;
      }
      case QEvent::Enter: hintFrom(qobject_cast<QWidget*>(watched)); break;
      // Keys released while another application had the focus never come.
      case QEvent::ApplicationDeactivate: keysDown.clear(); break;
      default: break;
    }
    return false;
  }

 private:
  // A key for a control of a form that previews keys goes to the form first.
  void previewKey(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr) return;
    QWidget* window = widget->window();
    if (window == widget) return;
    auto* form = dynamic_cast<gui::FormPeer*>(peerOf(window));
    if (form == nullptr || !form->keyPreview() || form->owner() == nullptr) return;
    // Only the widget that has the key: not each parent it is passed on to.
    if (peerOf(widget) == nullptr) return;
    const auto& e = static_cast<const QKeyEvent&>(*event);
    gui::InputEvent out{event->type() == QEvent::KeyPress ? gui::EventKind::KeyDown : gui::EventKind::KeyUp};
    out.key = virtualKey(e);
    out.shift = shiftCode(e.modifiers());
    if (out.key != 0 && !(event->type() == QEvent::KeyRelease && e.isAutoRepeat())) form->owner()->event(out);
    if (event->type() == QEvent::KeyPress) {
      const int character = characterCode(e);
      if (character >= 0) {
        gui::InputEvent press{gui::EventKind::KeyPress};
        press.key = character;
        form->owner()->event(press);
      }
    }
  }

  void hintFrom(QWidget* widget) {
    if (!hintListener || widget == nullptr) return;
    std::string hint;
    for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
      if (gui::WindowPeer* peer = peerOf(w)) {
        hint = peer->hint();
        break;
      }
    }
    hintListener(hint);
  }
};

ApplicationWatcher* watcher = nullptr;

}  // namespace

void watchApplication() {
  if (watcher != nullptr) return;
  QApplication& app = application(true);
  watcher = new ApplicationWatcher;
  watcher->setParent(&app);
  app.installEventFilter(watcher);
}

void setHintListener(std::function<void(const std::string&)> listener) {
  if (watcher == nullptr && !listener) return;
  watchApplication();
  watcher->hintListener = std::move(listener);
}

int keyState(int virtualKey) {
  if (watcher == nullptr) return 0;
  return watcher->keysDown.count(virtualKey) != 0 ? 0x8000 : 0;
}

bool applicationActive() {
  if (QCoreApplication::instance() == nullptr) return true;
  return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

void minimizeAllWindows() {
  if (QCoreApplication::instance() == nullptr) return;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && peerOf(w) != nullptr) w->showMinimized();
}

std::unique_ptr<gui::FormPeer> makeFormPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtFormPeer>(&owner);
}

std::unique_ptr<gui::Surface> makeSurface(int32_t width, int32_t height, uint32_t fill) {
  application(false);  // fonts and picture decoders belong to the application
  return std::make_unique<QtSurface>(width, height, fill);
}

}  // namespace kestrel::qt
