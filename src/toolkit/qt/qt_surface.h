#pragma once
// The drawing surface on a QImage: every canvas operation with the pixel
// rules of toolkit/surface.h, without anti-aliasing, so pictures are exact.
#include <QFont>
#include <QImage>

#include "toolkit/surface.h"

namespace kestrel::qt {

class QtSurface : public gui::Surface {
 public:
  QtSurface(int32_t width, int32_t height, uint32_t fill);

  const QImage& image() const { return image_; }
  // Takes the picture of an image (as RGB).
  void adopt(const QImage& image);
  // Changes are not announced while this is set (a window paints itself).
  bool quiet = false;

  int32_t width() const override { return width_; }
  int32_t height() const override { return height_; }
  void resize(int32_t width, int32_t height, uint32_t fill) override;
  void clear(uint32_t color) override;

  void textOut(int32_t x, int32_t y, std::string_view text) override;
  void textRect(const gui::Rect& clip, int32_t x, int32_t y, std::string_view text) override;
  gui::Size textExtent(std::string_view text) override;
  // Formatted and turned text (qt_surface_text.cpp).
  void drawText(const gui::Rect& r, std::string_view text, const gui::TextFormat& format) override;
  gui::Size measureText(int32_t width, std::string_view text, const gui::TextFormat& format) override;
  void textOutTurned(int32_t x, int32_t y, std::string_view text, int32_t degrees) override;
  void clearTransparent() override;
  void line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void ellipse(const gui::Rect& box) override;
  void frameRect(const gui::Rect& r) override;
  void fillRect(const gui::Rect& r) override;
  void floodFill(int32_t x, int32_t y, uint32_t border) override;
  void setPixel(int32_t x, int32_t y, uint32_t color) override;
  int32_t pixel(int32_t x, int32_t y) const override;

  void draw(int32_t x, int32_t y, const gui::Surface& source, const int32_t* transparent) override;
  void stretchDraw(const gui::Rect& target, const gui::Surface& source, const int32_t* transparent) override;
  void copyRect(const gui::Rect& target, const gui::Surface& source, const gui::Rect& from) override;

  std::unique_ptr<gui::Surface> clone() const override;
  void assign(const gui::Surface& other) override;
  bool load(const uint8_t* data, size_t length) override;
  std::vector<uint8_t> saveBmp() const override;
  void makeMonochrome() override;
  gui::PixelView pixelView() override;

 protected:
  // The font that text is set in (the printer's page scales it to its
  // resolution).
  virtual QFont textFont() const;
  QImage& pixels() { return image_; }

 private:
  void touched() {
    if (!quiet) notify();
  }

  QImage image_;  // null while either side is 0
  int32_t width_ = 0;
  int32_t height_ = 0;
};

// The QImage of any surface the Qt toolkit made (a null surface reads as
// an empty image).
QImage imageOf(const gui::Surface& surface);
// 0x00BBGGRR and Qt's 0xAARRGGBB.
inline QRgb toQRgb(uint32_t bgr) {
  return qRgb(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF));
}
inline uint32_t fromQRgb(QRgb rgb) {
  return static_cast<uint32_t>(qRed(rgb)) | static_cast<uint32_t>(qGreen(rgb)) << 8 |
         static_cast<uint32_t>(qBlue(rgb)) << 16;
}

}  // namespace kestrel::qt
