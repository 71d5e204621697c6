#pragma once
// Forms: top-level windows with a client area that keeps its picture.
#include <memory>

#include "toolkit/peers/window.h"
#include "toolkit/surface.h"

namespace kestrel::gui {

// Arrangements of the child windows of a multiple-document form.
enum class MdiArrangement { Cascade, TileHorizontal, TileVertical, ArrangeIcons, Next, Previous };

// A top-level window with a client area that keeps its picture. For a form,
// geometry() is the client area at the window's position: the engine adds
// the frame.
class FormPeer : public WindowPeer {
 public:
  explicit FormPeer(WindowOwner* owner);
  ~FormPeer() override;
  bool topLevel() const override { return true; }

  // The picture of the client area, always its size: it keeps its top-left
  // part when the area changes size, and new parts get the background colour.
  virtual Surface& canvas() { return *canvas_; }
  void setBackground(uint32_t rgb) override;
  void setGeometry(const Rect& r) override {
    WindowPeer::setGeometry(r);
    clientResized();
  }

  // 0 none, 1 single, 2 sizeable, 3 dialog, 4 tool window, 5 sizeable tool window.
  virtual void setBorderStyle(int style) { borderStyle_ = style; }
  // Bits: 1 system menu, 2 minimize, 4 maximize, 8 help.
  virtual void setBorderIcons(uint8_t icons) { borderIcons_ = icons; }
  virtual void setCaptionShown(bool shown) { captionShown_ = shown; }
  virtual void setStayOnTop(bool onTop) { (void)onTop; }
  virtual void setWindowState(int state) { windowState_ = state; }
  virtual int windowState() const { return windowState_; }
  virtual void setIcon(const Surface* icon) { (void)icon; }
  // Shows the window modal to the others (or ends that).
  virtual void setModal(bool modal) { (void)modal; }
  virtual void setKeyPreview(bool preview) { keyPreview_ = preview; }
  bool keyPreview() const { return keyPreview_; }
  // Paints at once: the owner gets its Paint event before the picture shows.
  virtual void repaint();
  // Multiple documents: a child window lives inside the parent's client
  // area (nullptr: a window of its own again).
  virtual void setMdiParent(FormPeer* parent) { mdiParent_ = parent; }
  FormPeer* mdiParent() const { return mdiParent_; }
  virtual void setMdiContainer(bool container) { (void)container; }
  virtual void arrangeMdiChildren(MdiArrangement how) { (void)how; }
  // The child window that is active, or nullptr.
  virtual FormPeer* activeMdiChild() const { return nullptr; }
  // The menu bar shown above the client area (nullptr: none); the client
  // area keeps its size, the window grows by the bar.
  virtual void setMenuBar(WindowPeer* bar) { (void)bar; }

 protected:
  // The client area changed size: so does the picture.
  void clientResized();

  std::unique_ptr<Surface> canvas_;
  int borderStyle_ = 2;
  uint8_t borderIcons_ = 7;
  bool captionShown_ = true;
  int windowState_ = kNormal;
  bool keyPreview_ = false;
  FormPeer* mdiParent_ = nullptr;
};

}  // namespace kestrel::gui
