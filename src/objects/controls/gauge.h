#pragma once
// Gauges (type 63): how far a task has come, from MinValue to MaxValue,
// shown as text only, a horizontal or vertical bar, a pie or a needle,
// with the percentage written over it. The gauge paints its own picture.
#include "objects/control.h"
#include "toolkit/peers/picture.h"

namespace kestrel::objects {

inline constexpr int kGaugeType = 63;

enum GaugeKind { kGaugeText = 0, kGaugeHorizontal = 1, kGaugeVertical = 2, kGaugePie = 3, kGaugeNeedle = 4 };

class Gauge : public ControlOf<gui::PicturePeer> {
 public:
  Gauge(Machine& m, int type);

  const char* windowClass() const override { return "TGauge"; }

  int32_t kind() const { return kind_; }
  void setKind(int32_t kind);
  int32_t minValue() const { return min_; }
  void setMinValue(int32_t value);
  int32_t maxValue() const { return max_; }
  void setMaxValue(int32_t value);
  int32_t progress() const { return progress_; }
  void setProgress(int32_t value);
  int32_t backColor() const { return backColor_; }
  void setBackColor(int32_t color);
  int32_t foreColor() const { return foreColor_; }
  void setForeColor(int32_t color);
  uint8_t showText() const { return showText_; }
  void setShowText(uint8_t flag);
  int32_t borderStyle() const { return borderStyle_; }
  void setBorderStyle(int32_t style);

  // The share of the range done, 0 to 100 (0 for an empty range).
  int32_t percentDone() const;

  void paint();

 protected:
  void appearanceChanged() override { paint(); }
  void resized() override;

 private:
  // Keeps Progress inside the range (when the range is not reversed).
  void keepProgressInRange();

  int32_t kind_ = kGaugeHorizontal;
  int32_t min_ = 0;
  int32_t max_ = 100;
  int32_t progress_ = 0;
  int32_t backColor_ = 0x00FFFFFF;
  int32_t foreColor_ = 0;
  uint8_t showText_ = 1;
  int32_t borderStyle_ = 1;
  bool ready_ = false;
};

void registerGaugeType(TypeRegistry& registry);

}  // namespace kestrel::objects
