#pragma once
// Panels (type 33): a box with bevels and a caption that holds other
// controls. The panel paints its own picture; its aligned children dock
// inside the bevels.

#include "objects/control.h"
#include "toolkit/peers/picture.h"

namespace kestrel::objects {

inline constexpr int kPanelType = 33;

enum Bevel { kBevelNone = 0, kBevelLowered = 1, kBevelRaised = 2 };

class Panel : public ControlOf<gui::PanelPeer> {
 public:
  Panel(Machine& m, int type);

  const char* windowClass() const override { return "TPanel"; }

  int32_t bevelInner() const { return bevelInner_; }
  int32_t bevelOuter() const { return bevelOuter_; }
  int32_t bevelWidth() const { return bevelWidth_; }
  int32_t borderStyle() const { return borderStyle_; }
  int32_t alignment() const { return alignment_; }
  void setBevelInner(int32_t bevel);
  void setBevelOuter(int32_t bevel);
  void setBevelWidth(int32_t width);
  void setBorderStyle(int32_t style);
  void setAlignment(int32_t alignment);

  void paint();

 protected:
  void appearanceChanged() override { paint(); }
  void resized() override;
  gui::Rect dockArea() const override;

 private:
  // The room the border and bevels take on each side.
  int32_t frameWidth() const;
  // Sets the new bevels and docks the children again.
  void framesChanged();

  int32_t bevelInner_ = kBevelNone;
  int32_t bevelOuter_ = kBevelRaised;
  int32_t bevelWidth_ = 1;
  int32_t borderStyle_ = 0;
  int32_t alignment_ = 2;
  bool ready_ = false;
};

void registerPanelType(TypeRegistry& registry);

}  // namespace kestrel::objects
