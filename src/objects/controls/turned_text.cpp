#include "objects/controls/turned_text.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace kestrel::objects {

int32_t normaliseEscapement(int64_t degrees) {
  if (degrees < 0) degrees += (-degrees + 359) / 360 * 360;
  if (degrees > 360) degrees -= (degrees - 1) / 360 * 360;
  return static_cast<int32_t>(degrees);
}

namespace {
double sine(double degrees) { return std::sin(degrees * std::numbers::pi / 180.0); }
double cosine(double degrees) { return std::cos(degrees * std::numbers::pi / 180.0); }
// Each value is computed whole and then cut toward zero.
int32_t cut(double v) { return static_cast<int32_t>(std::trunc(v)); }
}  // namespace

// The start point keeps the turned text's cell inside the box: for each
// quarter the corner that lies furthest up and left is the box's corner.
TurnedText turnText(int32_t a, int32_t w, int32_t h) {
  TurnedText t;
  if (a <= 90) {
    t.dx = 0;
    t.dy = cut(w * sine(a));
  } else if (a <= 180) {
    t.dx = cut(-w * cosine(a));
    t.dy = cut(h * cosine(180 - a) + w * sine(a));
  } else if (a <= 270) {
    t.dx = cut(h * sine(a - 180) - w * cosine(a));
    t.dy = cut(h * sine(270 - a));
  } else {
    t.dx = cut(h * sine(360 - a));
    t.dy = 0;
  }
  t.width = std::abs(cut(w * cosine(a))) + std::abs(cut(h * sine(a)));
  t.height = std::abs(cut(w * sine(a))) + std::abs(cut(h * cosine(a)));
  return t;
}

}  // namespace kestrel::objects
