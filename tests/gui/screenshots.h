#pragma once
// Screenshots of the GUI tests: saved as PNG in the build folder (for a
// person to look at) and compared with an expected picture kept beside
// the tests, allowing for small differences of font rendering.
#include <QImage>
#include <QRect>
#include <string>

namespace kestrel::guitest {

// Saves the picture as KESTREL_SCREENSHOT_DIR/NAME.png; returns the path.
std::string saveScreenshot(const QImage& image, const std::string& name);

struct Comparison {
  bool sameSize = false;
  double mismatchFraction = 1.0;  // pixels off by more than the tolerance
  std::string report;
};
// Compares with tests/gui/expected/NAME.png: a pixel matches when no
// channel differs by more than `tolerance`.
Comparison compareWithExpected(const QImage& image, const std::string& name, int tolerance = 24);

// The program's source: a file of the examples folder.
std::string exampleSource(const std::string& name);

// The smallest rectangle holding every pixel of `region` that differs
// from `background` (an empty rectangle when there is none).
QRect inkBounds(const QImage& image, const QRect& region, uint32_t background);
// How many pixels of `region` differ from `background`.
int inkCount(const QImage& image, const QRect& region, uint32_t background);

}  // namespace kestrel::guitest
