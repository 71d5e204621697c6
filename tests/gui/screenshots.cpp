#include "screenshots.h"

#include <QDir>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "gui_support.h"

namespace kestrel::guitest {

std::string saveScreenshot(const QImage& image, const std::string& name) {
  QDir().mkpath(QStringLiteral(KESTREL_SCREENSHOT_DIR));
  const std::string path = std::string(KESTREL_SCREENSHOT_DIR) + "/" + name + ".png";
  image.save(QString::fromStdString(path), "PNG");
  return path;
}

Comparison compareWithExpected(const QImage& image, const std::string& name, int tolerance) {
  Comparison c;
  const std::string path = std::string(KESTREL_TEST_DATA) + "/gui/expected/" + name + ".png";
  const QImage expected = QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGB32);
  const QImage actual = image.convertToFormat(QImage::Format_RGB32);
  if (expected.isNull()) {
    c.report = "no expected picture " + path;
    return c;
  }
  c.sameSize = expected.size() == actual.size();
  if (!c.sameSize) {
    c.report = "size differs from " + path;
    return c;
  }
  int64_t off = 0;
  for (int y = 0; y < actual.height(); ++y)
    for (int x = 0; x < actual.width(); ++x) {
      const QRgb a = actual.pixel(x, y), e = expected.pixel(x, y);
      if (std::abs(qRed(a) - qRed(e)) > tolerance || std::abs(qGreen(a) - qGreen(e)) > tolerance ||
          std::abs(qBlue(a) - qBlue(e)) > tolerance)
        ++off;
    }
  c.mismatchFraction = static_cast<double>(off) / (static_cast<double>(actual.width()) * actual.height());
  std::ostringstream out;
  out << off << " pixels differ from " << path;
  c.report = out.str();
  return c;
}

std::string exampleSource(const std::string& name) {
  std::ifstream in(std::string(KESTREL_EXAMPLES) + "/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

QRect inkBounds(const QImage& image, const QRect& region, uint32_t background) {
  QRect box;
  for (int y = region.top(); y <= region.bottom(); ++y)
    for (int x = region.left(); x <= region.right(); ++x)
      if (Program::bgr(image, x, y) != background) box = box.united(QRect(x, y, 1, 1));
  return box;
}

int inkCount(const QImage& image, const QRect& region, uint32_t background) {
  int n = 0;
  for (int y = region.top(); y <= region.bottom(); ++y)
    for (int x = region.left(); x <= region.right(); ++x)
      if (Program::bgr(image, x, y) != background) ++n;
  return n;
}

}  // namespace kestrel::guitest
