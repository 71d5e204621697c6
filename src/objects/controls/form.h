#pragma once
// Forms (type 30): top-level windows that hold controls, keep a picture,
// run modally, and raise the program's click, mouse, key, paint, resize,
// show, close and message events. The worked example of a control family
// (docs/architecture.md).
#include <memory>

#include "objects/canvas_ops.h"
#include "objects/control.h"
#include "toolkit/peers/form.h"

namespace kestrel::objects {

inline constexpr int kFormType = 30;

// Close actions: what closing does with the form.
enum CloseAction { kCloseNone = 0, kCloseHide = 1, kCloseFree = 2, kCloseMinimize = 3 };

class Form : public ControlOf<gui::FormPeer>, public CanvasOwner {
 public:
  Form(Machine& m, int type);

  CanvasTarget canvasTarget() override { return {peer().canvas(), font_}; }

  // Left, Top, Width and Height include the frame: borders and title bar.
  gui::Rect bounds() const override;
  void setBounds(const gui::Rect& r) override;
  void setClientSize(gui::Size size) override;

  void setVisible(uint8_t flag) override;
  // Runs the form modally: returns when the modal result is nonzero (or
  // the form was hidden: 2) and yields the modal result.
  int32_t showModal();
  void close();
  void repaint();
  void centre();

  int32_t borderStyle() const { return borderStyle_; }
  void setBorderStyle(int32_t style);
  int32_t formStyle() const { return formStyle_; }
  void setFormStyle(int32_t style);
  int32_t windowState() const;
  void setWindowState(int32_t state);
  uint8_t borderIcons() const { return borderIcons_; }
  void changeBorderIcons(uint8_t bits, bool add);
  void hideCaption();
  void showCaption();
  bool captionShown() const { return captionShown_; }

  // Shows a main menu's bar above the client area, which keeps its size:
  // the window grows by the bar.
  void setMenuBar(gui::WindowPeer* bar);

  int32_t mdiChildCount() const;
  void arrange(gui::MdiArrangement how);

  // The icon: loaded from picture bytes ("Invalid icon" when they are not a
  // picture), or copied from a surface; nullptr clears it.
  void setIconBytes(const std::vector<uint8_t>& bytes);
  void setIcon(const gui::Surface* picture);
  const gui::Surface* icon() const { return icon_.get(); }
  int32_t iconHandle() const { return iconHandle_; }

  int32_t modalResult = 0;
  uint8_t tileMode = 0;
  uint8_t keyPreview = 0;
  uint8_t autoScroll = 0;
  bool centred = false;

  // ---- gui::WindowOwner
  bool showCommand(int command) override;
  const char* windowClass() const override { return "TForm"; }

 protected:
  void resized() override;
  void closeRequested() override { close(); }
  intptr_t defaultMessage(uint32_t msg, intptr_t wParam, intptr_t lParam) override;

 private:
  // What the frame adds to the client area.
  int32_t borderWidth() const;
  int32_t captionHeight() const;
  int32_t menuHeight() const;
  // The close handler with the action; sets the dispatch-suspended flag
  // when there is none or it chose kCloseFree. Returns the action.
  int32_t runCloseHandler(int32_t action);
  Form* mdiParentForm() const;

  int32_t borderStyle_ = 2;
  int32_t formStyle_ = 0;
  uint8_t borderIcons_ = 7;  // system menu, minimize, maximize
  bool captionShown_ = true;
  bool hasMenu_ = false;
  bool modal_ = false;
  std::unique_ptr<gui::Surface> icon_;
  int32_t iconHandle_ = 0;
};

void registerFormType(TypeRegistry& registry);

}  // namespace kestrel::objects
