#pragma once
// The Qt half of every peer: a widget that shows what the peer stores.
// WidgetPeer<Base> adds the widget to a peer class of toolkit/peers/
// (the properties every window has); ControlPeer is a child window placed
// in its parent's client area, the base of every control's peer.
//
// A control family's peer derives from ControlPeer with its own widget and
// overrides what differs (its text, its client area); see qt_form.h for
// the top-level case.
#include <QPalette>
#include <QPointer>
#include <QWidget>
#include <string_view>
#include <vector>

#include "toolkit/qt/qt_events.h"
#include "toolkit/qt/qt_fonts.h"
#include "toolkit/qt/qt_text.h"
#include "toolkit/qt/qt_window_drag.h"
#include "toolkit/peers/window.h"

namespace kestrel::qt {

// A peer whose widget holds other windows: the widget they go into.
class QtContainer {
 public:
  virtual ~QtContainer() = default;
  virtual QWidget* clientWidget() = 0;
};

// Any peer with a widget.
class QtWidgetHolder {
 public:
  virtual ~QtWidgetHolder() = default;
  virtual QWidget* heldWidget() const = 0;
};

// Before a widget goes: the widgets of other peers inside it are taken out
// (hidden, without a parent), so that they live as long as their peers.
void releaseForeignWidgets(QWidget* widget, const gui::WindowPeer* self);

template <class Base>
class WidgetPeer : public Base, public QtWidgetHolder {
 public:
  WidgetPeer(gui::WindowOwner* owner, QWidget* widget) : Base(owner), widget_(widget) {
    setPeerOf(widget, this);
    new EventBridge(widget, this);
  }
  ~WidgetPeer() override {
    endWindowDrags(this);
    if (widget_) {
      releaseForeignWidgets(widget_, this);
      delete widget_.data();
    }
  }

  QWidget* widget() const { return widget_; }
  QWidget* heldWidget() const override { return widget_; }

  void setEnabled(bool enabled) override {
    Base::setEnabled(enabled);
    if (widget_) widget_->setEnabled(enabled);
  }
  // The tool tip shows the short part of the hint (before a bar).
  void setHint(std::string_view text, bool show) override {
    Base::setHint(text, show);
    if (!widget_) return;
    const std::string_view shortPart = text.substr(0, text.find('|'));
    widget_->setToolTip(show ? fromProgramText(shortPart) : QString());
  }
  void setBackground(uint32_t rgb) override {
    Base::setBackground(rgb);
    if (!widget_) return;
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::Window, qColor(rgb));
    widget_->setPalette(palette);
    widget_->setAutoFillBackground(true);
  }
  void setCursorShape(int shape) override {
    Base::setCursorShape(shape);
    if (!widget_) return;
    if (shape == 0) widget_->unsetCursor();
    else widget_->setCursor(cursorShape(shape));
  }
  void setFont(const gui::FontDesc& font, uint32_t rgb) override {
    Base::setFont(font, rgb);
    if (!widget_) return;
    widget_->setFont(makeFont(font));
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::WindowText, qColor(rgb));
    palette.setColor(QPalette::ButtonText, qColor(rgb));
    palette.setColor(QPalette::Text, qColor(rgb));
    widget_->setPalette(palette);
  }
  void setTabOrder(const std::vector<gui::WindowPeer*>& children) override {
    QWidget* previous = nullptr;
    for (gui::WindowPeer* child : children) {
      auto* peer = dynamic_cast<QtWidgetHolder*>(child);
      QWidget* w = peer != nullptr ? peer->heldWidget() : nullptr;
      if (w == nullptr) continue;
      if (previous != nullptr) QWidget::setTabOrder(previous, w);
      previous = w;
    }
  }
  void bringToFront() override {
    if (widget_) widget_->raise();
  }
  bool beginDragMove() override { return !this->topLevel() && startWindowDrag(this, widget_); }

 protected:
  QPointer<QWidget> widget_;
};

// A child window: shown only while it has a parent and is visible.
template <class Base>
class ChildPeer : public WidgetPeer<Base> {
 public:
  ChildPeer(gui::WindowOwner* owner, QWidget* widget) : WidgetPeer<Base>(owner, widget) {
    widget->setMouseTracking(true);
    widget->hide();
  }

  void setParent(gui::WindowPeer* parent) override {
    gui::WindowPeer::setParent(parent);
    if (!this->widget_) return;
    auto* container = dynamic_cast<QtContainer*>(parent);
    this->widget_->setParent(container != nullptr ? container->clientWidget() : nullptr);
    const gui::Rect& g = this->geometry_;
    this->widget_->setGeometry(g.left, g.top, g.width(), g.height());
    updateShown();
  }
  void setGeometry(const gui::Rect& r) override {
    gui::WindowPeer::setGeometry(r);
    if (this->widget_) this->widget_->setGeometry(r.left, r.top, r.width(), r.height());
  }
  void setVisible(bool visible) override {
    gui::WindowPeer::setVisible(visible);
    updateShown();
  }
  void setText(std::string_view text) override {
    gui::WindowPeer::setText(text);
    showText(fromProgramText(text));
  }

 protected:
  // Shows the text in the widget (controls with a caption override it).
  virtual void showText(const QString& text) { (void)text; }
  // A control without a parent is never a window of its own.
  void updateShown() {
    if (!this->widget_) return;
    this->widget_->setVisible(this->visible_ && this->widget_->parentWidget() != nullptr);
  }
};

using ControlPeer = ChildPeer<gui::WindowPeer>;

}  // namespace kestrel::qt
