// The member table of gauges (type 63).
#include "objects/control_members.h"
#include "objects/controls/gauge.h"

namespace kestrel::objects {

namespace {

std::vector<Member<Gauge>> gaugeRows() {
  using G = Gauge;
  std::vector<Member<G>> rows = {
      property<&G::kind, &G::setKind>(7, "Kind", "0 text only, 1 horizontal bar, 2 vertical bar, 3 pie, 4 needle"),
      property<&G::minValue, &G::setMinValue>(8, "MinValue", "the value at which nothing is done"),
      property<&G::maxValue, &G::setMaxValue>(9, "MaxValue", "the value at which all is done"),
      property<&G::progress, &G::setProgress>(10, "Progress",
                                              "how far the task has come, kept between MinValue and MaxValue"),
      property<&G::backColor, &G::setBackColor>(17, "BackColor", "colour of what is still to do"),
      property<&G::foreColor, &G::setForeColor>(18, "ForeColor", "colour of what is done"),
      property<&G::showText, &G::setShowText>(19, "ShowText", "flag: the percentage is written over the gauge"),
      property<&G::borderStyle, &G::setBorderStyle>(20, "BorderStyle", "0 none, 1 a single line around the gauge"),
  };
  addCommonMembers(rows, CommonCodes{.left = 1, .top = 3, .width = 4, .height = 2, .parent = 5, .font = 22,
                                     .popupMenu = 21, .enabled = 11, .visible = 12, .showHint = 13, .hint = 14,
                                     .color = 16, .cursor = 6, .align = 0});
  addFontMembers(rows, 200);
  return rows;
}

std::unique_ptr<Object> createGauge(Machine& m, int type, int32_t) { return std::make_unique<Gauge>(m, type); }

}  // namespace

void registerGaugeType(TypeRegistry& registry) {
  static const std::vector<Member<Gauge>> rows = gaugeRows();
  registry.add(describeType(kGaugeType, "gauge", rows, createGauge));
}

}  // namespace kestrel::objects
