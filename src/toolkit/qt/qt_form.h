#pragma once
// Forms on Qt: a top-level widget that shows the form's picture (its
// surface) and holds the controls; a form with multiple documents holds a
// QMdiArea, and its child forms are sub-windows there.
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

#include "toolkit/peers/form.h"
#include "toolkit/qt/qt_surface.h"
#include "toolkit/qt/qt_widget_peer.h"

namespace kestrel::qt {

class QtFormPeer;

class FormWidget : public QWidget {
 public:
  explicit FormWidget(QtFormPeer* peer);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QtFormPeer* peer_;
};

class QtFormPeer : public WidgetPeer<gui::FormPeer>, public QtContainer {
 public:
  explicit QtFormPeer(gui::WindowOwner* owner);
  ~QtFormPeer() override;

  QWidget* clientWidget() override { return widget_; }
  QMdiArea* mdiArea() const { return mdiArea_; }
  // The window: the sub-window of a child form, else the form's widget,
  // or the widget that holds the form's menu bar and its widget.
  QWidget* frame() const;
  // What is a window of its own (or goes into a sub-window): the widget
  // that holds the menu bar and the form's widget, else the form's widget.
  QWidget* content() const;

  gui::Surface& canvas() override;
  // Paints the form: the owner's paint event first, then the picture.
  void paint(QWidget& on);

  void setGeometry(const gui::Rect& r) override;
  gui::Rect geometry() const override;
  gui::Size clientSize() const override;
  void setText(std::string_view text) override;
  void setVisible(bool visible) override;
  bool visible() const override;
  void setBorderStyle(int style) override;
  void setBorderIcons(uint8_t icons) override;
  void setCaptionShown(bool shown) override;
  void setStayOnTop(bool onTop) override;
  void setWindowState(int state) override;
  int windowState() const override;
  void setIcon(const gui::Surface* icon) override;
  void setModal(bool modal) override;
  void repaint() override;
  void setMdiParent(gui::FormPeer* parent) override;
  void setMdiContainer(bool container) override;
  void arrangeMdiChildren(gui::MdiArrangement how) override;
  void setMenuBar(gui::WindowPeer* bar) override;

  void layoutClient();
  // Places the menu bar and the form's widget in the window that holds them.
  void layoutMenuFrame();

 private:
  void applyFlags();
  void applySizeRule();
  void showState();
  void tile(bool sideBySide);
  void arrangeIcons();

  void makeMenuFrame();
  int menuBarHeight() const;

  QPointer<QWidget> menuFrame_;
  QPointer<QWidget> menuBar_;
  QPointer<QMdiSubWindow> subWindow_;
  QPointer<QMdiArea> mdiArea_;
  QtFormPeer* parentForm_ = nullptr;
  std::vector<QtFormPeer*> children_;
  bool stayOnTop_ = false;
  bool painting_ = false;
};

}  // namespace kestrel::qt
