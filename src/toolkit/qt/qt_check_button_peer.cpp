// Check boxes and radio buttons on Qt: a QCheckBox or QRadioButton that
// shows the mark the owner keeps. The button never changes its mark by
// itself: a click anywhere on the window (the event bridge) or Space goes
// to the owner as a Click, and the owner sets the mark.
#include <QCheckBox>
#include <QKeyEvent>
#include <QRadioButton>
#include <functional>

#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_widget_peer.h"

namespace kestrel::qt {

namespace {

template <class Button>
class MarkButton : public Button {
 public:
  explicit MarkButton(std::function<void()> spacePressed) : spacePressed_(std::move(spacePressed)) {
    this->setAutoExclusive(false);
    this->setFocusPolicy(Qt::StrongFocus);
    this->setBackgroundRole(QPalette::Window);  // the colour the peer sets
  }

 protected:
  void nextCheckState() override {}
  bool hitButton(const QPoint& pos) const override { return this->rect().contains(pos); }
  void keyReleaseEvent(QKeyEvent* event) override {
    const bool click = event->key() == Qt::Key_Space && !event->isAutoRepeat() && this->isDown();
    Button::keyReleaseEvent(event);
    if (click) spacePressed_();
  }

 private:
  std::function<void()> spacePressed_;
};

template <class Base, class Button>
class QtMarkPeer : public ChildPeer<Base> {
 public:
  explicit QtMarkPeer(gui::WindowOwner* owner)
      : ChildPeer<Base>(owner, new MarkButton<Button>([this] { clickedByKey(); })) {}

  void setChecked(bool checked) override {
    Base::setChecked(checked);
    if (this->widget_) button()->setChecked(checked);
  }

 protected:
  void showText(const QString& text) override {
    if (this->widget_) button()->setText(text);
  }

 private:
  QAbstractButton* button() const { return static_cast<QAbstractButton*>(this->widget_.data()); }
  void clickedByKey() {
    gui::InputEvent e{gui::EventKind::Click};
    if (gui::WindowOwner* o = this->owner()) o->event(e);
  }
};

}  // namespace

std::unique_ptr<gui::CheckBoxPeer> makeCheckBoxPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtMarkPeer<gui::CheckBoxPeer, QCheckBox>>(&owner);
}

std::unique_ptr<gui::RadioButtonPeer> makeRadioButtonPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtMarkPeer<gui::RadioButtonPeer, QRadioButton>>(&owner);
}

}  // namespace kestrel::qt
