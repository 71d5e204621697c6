#pragma once
// Status bars (type 60): a strip, docked at the bottom of its parent by
// default, that shows a row of sunken panels with text, or one simple
// text across its whole width. The bar paints its own picture.
#include <vector>

#include "objects/control.h"
#include "toolkit/peers/picture.h"

namespace kestrel::objects {

inline constexpr int kStatusBarType = 60;

// One panel of a status bar.
struct StatusPanel {
  Str text;
  int32_t width = 50;
  int32_t alignment = 0;  // 0 left, 1 right, 2 centred
};

class StatusBar : public ControlOf<gui::PicturePeer> {
 public:
  StatusBar(Machine& m, int type);

  const char* windowClass() const override { return "TStatusBar"; }

  uint8_t simplePanel() const { return simplePanel_; }
  void setSimplePanel(uint8_t flag);
  const Str& simpleText() const { return simpleText_; }
  void setSimpleText(const Str& text);
  uint8_t sizeGrip() const { return sizeGrip_; }
  void setSizeGrip(uint8_t flag);

  const std::vector<StatusPanel>& panels() const { return panels_; }
  void addPanel(const Str& text);
  void clearPanels();
  // The panel at a 0-based index: "List index out of bounds (N)" outside.
  StatusPanel& panelAt(int64_t index);
  // The panel changed: shows it again.
  void panelChanged() { paint(); }

  void paint();

 protected:
  void appearanceChanged() override { paint(); }
  void resized() override;

 private:
  std::vector<StatusPanel> panels_;
  Str simpleText_;
  uint8_t simplePanel_ = 0;
  uint8_t sizeGrip_ = 1;
  bool ready_ = false;
};

void registerStatusBarType(TypeRegistry& registry);

}  // namespace kestrel::objects
