#pragma once
// The geometry of a label's turned text: where a line of text measuring
// w x h pixels starts when it is turned by an angle (so that the turned
// text lies inside the label's box), and the size of the box it covers.
#include <cstdint>

namespace kestrel::objects {

// An angle in degrees brought into 0 to 360: negative angles gain 360
// until they are not negative, angles above 360 lose 360 (so 720 is 360,
// not 0, and -90 is 270).
int32_t normaliseEscapement(int64_t degrees);

struct TurnedText {
  int32_t dx = 0;      // start point, from the box's top-left corner
  int32_t dy = 0;
  int32_t width = 0;   // the box the turned text covers
  int32_t height = 0;
};

// `degrees` is a normalised angle (0 to 360).
TurnedText turnText(int32_t degrees, int32_t w, int32_t h);

}  // namespace kestrel::objects
