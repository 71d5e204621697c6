#pragma once
// Bitmap buttons (type 32) and flat buttons (type 51): push buttons with a
// caption and a glyph (a picture, or a row of pictures for the button's
// states), laid out with a spacing in one of four arrangements.
//
// A bitmap button's click sets its form's modal result (a Close button
// closes the form instead), Enter and Escape can press it, and a kind
// gives it a standard caption and modal result. A flat button can stay
// down, alone or as one of a group of which one is down at a time.
#include <memory>

#include "objects/control.h"
#include "toolkit/peers/button.h"

namespace kestrel::objects {

inline constexpr int kBitmapButtonType = 32;
inline constexpr int kFlatButtonType = 51;

// What bitmap and flat buttons share: the glyph and its layout.
class GlyphButton : public ControlOf<gui::ButtonPeer> {
 public:
  GlyphButton(Machine& m, int type, gui::Size size);

  const gui::ButtonLook& look() const { return look_; }
  int32_t spacing() const { return look_.spacing; }
  int32_t layout() const { return look_.layout; }
  int32_t numGlyphs() const { return look_.numGlyphs & 0x7F; }
  void setSpacing(int32_t spacing);
  void setLayout(int32_t layout);
  void setNumGlyphs(int32_t count);
  // The glyph: a copy of the picture, its transparent colour (the bottom-
  // left pixel's, unless a bitmap says otherwise); a picture whose width
  // is 1 to 4 times its height holds that many glyphs.
  void setGlyph(const gui::Surface* picture, int32_t transparentColor);
  void loadGlyph(const std::vector<uint8_t>& bytes);
  const gui::Surface* glyph() const { return glyph_.get(); }
  // Glyph written by a program: a file name, or the graphic register.
  void writeGlyph(Machine& m);
  // Glyph read: the glyph goes into the graphic register as the scratch
  // bitmap, and the value is 0.
  void readGlyph(Machine& m, EvalStacks& s);
  void glyphResource(Machine& m);
  // Starts moving the button with the mouse, as the system command does.
  void dragMove();

 protected:
  void showLook() { peer().setLook(look_); }

  gui::ButtonLook look_;
  std::unique_ptr<gui::Surface> glyph_;
};

// Kinds: 0 custom, 1 OK, 2 Cancel, 3 Help, 4 Yes, 5 No, 6 Close, 7 Abort,
// 8 Retry, 9 Ignore, 10 All.
enum ButtonKind { kKindCustom = 0, kKindOk, kKindCancel, kKindHelp, kKindYes, kKindNo, kKindClose, kKindAbort,
                  kKindRetry, kKindIgnore, kKindAll };

class BitmapButton : public GlyphButton {
 public:
  BitmapButton(Machine& m, int type);

  const char* windowClass() const override { return "TBitBtn"; }
  void event(gui::InputEvent& e) override;

  int32_t kind() const { return kind_; }
  // A kind other than custom sets the caption, the modal result and the
  // Enter and Escape keys that go with it.
  void setKind(int32_t kind);
  uint8_t cancel() const { return cancel_; }
  void setCancel(uint8_t flag);
  uint8_t isDefault() const { return default_; }
  void setDefault(uint8_t flag);
  int32_t modalResult = 0;

 private:
  int32_t kind_ = kKindCustom;
  uint8_t cancel_ = 0;
  uint8_t default_ = 0;
};

class FlatButton : public GlyphButton {
 public:
  FlatButton(Machine& m, int type);

  const char* windowClass() const override { return "TSpeedButton"; }
  void event(gui::InputEvent& e) override;

  uint8_t downFlag() const { return down_; }
  // Only a button of a group (GroupIndex not 0) stays down; putting one
  // down puts the others of its group up; the one that is down goes up
  // only when the group allows all up.
  void setDown(uint8_t flag);
  int32_t groupIndex() const { return groupIndex_; }
  void setGroupIndex(int32_t index);
  uint8_t allowAllUp() const { return allowAllUp_; }
  void setAllowAllUp(uint8_t flag);
  uint8_t flat() const { return flat_; }
  void setFlat(uint8_t flag);

 private:
  // The other buttons of this one's group (the same parent and index).
  std::vector<FlatButton*> groupMates() const;

  uint8_t down_ = 0;
  int32_t groupIndex_ = 0;
  uint8_t allowAllUp_ = 0;
  uint8_t flat_ = 0;
};

void registerButtonTypes(TypeRegistry& registry);

}  // namespace kestrel::objects
