#pragma once
// Labels (type 31): text that can be turned to any angle and drawn raised
// or recessed. The label paints its own picture whenever something it
// shows changes, so a new caption is on the screen before the next
// statement runs.

#include "objects/control.h"
#include "toolkit/peers/picture.h"

namespace kestrel::objects {

inline constexpr int kLabelType = 31;

enum TextStyle { kTextNone = 0, kTextRaised = 1, kTextRecessed = 2 };

class Label : public ControlOf<gui::PicturePeer> {
 public:
  Label(Machine& m, int type);

  const char* windowClass() const override { return "TLabel"; }

  uint8_t wordWrap() const { return wordWrap_; }
  void setWordWrap(uint8_t flag);
  int32_t alignment() const { return alignment_; }
  void setAlignment(int32_t alignment);
  uint8_t transparent() const { return transparent_; }
  void setTransparent(uint8_t flag);
  bool autoSize() const { return autoSize_; }
  void setAutoSize(bool on);
  int32_t layout() const { return layout_; }
  void setLayout(int32_t layout);
  int32_t escapement() const { return escapement_; }
  void setEscapement(int64_t degrees);
  int32_t textStyle() const { return textStyle_; }
  void setTextStyle(int32_t style);
  int32_t upperColor() const { return upperColor_; }
  void setUpperColor(int32_t color);
  int32_t lowerColor() const { return lowerColor_; }
  void setLowerColor(int32_t color);

  // Paints the picture now (AutoSize first fits the label to its text).
  void paint();

 protected:
  void appearanceChanged() override { paint(); }
  void resized() override;

 private:
  gui::TextFormat format() const;
  // The caption once in one colour, moved by (dx, dy); the turned form
  // measures the text on `s`.
  void drawCaption(gui::Surface& s, const gui::Rect& box, int32_t dx, int32_t dy, int32_t color);
  // AutoSize: the size the text needs.
  void fitToText();

  uint8_t wordWrap_ = 0;
  int32_t alignment_ = 0;
  uint8_t transparent_ = 0;
  bool autoSize_ = true;
  int32_t layout_ = 0;
  int32_t escapement_ = 0;
  int32_t textStyle_ = kTextNone;
  int32_t upperColor_ = gui::kColorButtonHighlight;
  int32_t lowerColor_ = gui::kColorButtonShadow;
  bool painting_ = false;
  bool resizedOnly_ = false;  // the next paint follows a new size
  bool ready_ = false;  // constructed: changes paint from now on
};

void registerLabelType(TypeRegistry& registry);

}  // namespace kestrel::objects
