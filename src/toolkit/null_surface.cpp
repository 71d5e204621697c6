// The null toolkit's surface: a size and a canvas state, no pixels.
#include <algorithm>

#include "toolkit/surface.h"

namespace kestrel::gui {

namespace {

class NullSurface : public Surface {
 public:
  NullSurface(int32_t width, int32_t height) : width_(std::max(0, width)), height_(std::max(0, height)) {}

  int32_t width() const override { return width_; }
  int32_t height() const override { return height_; }
  void resize(int32_t width, int32_t height, uint32_t) override {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
  }
  void clear(uint32_t) override {}
  void textOut(int32_t, int32_t, std::string_view) override {}
  void textRect(const Rect&, int32_t, int32_t, std::string_view) override {}
  Size textExtent(std::string_view) override { return {}; }
  void line(int32_t, int32_t, int32_t, int32_t) override {}
  void ellipse(const Rect&) override {}
  void frameRect(const Rect&) override {}
  void fillRect(const Rect&) override {}
  void floodFill(int32_t, int32_t, uint32_t) override {}
  void setPixel(int32_t, int32_t, uint32_t) override {}
  int32_t pixel(int32_t x, int32_t y) const override {
    return x >= 0 && y >= 0 && x < width_ && y < height_ ? 0 : kInvalidColor;
  }
  void draw(int32_t, int32_t, const Surface&, const int32_t*) override {}
  void stretchDraw(const Rect&, const Surface&, const int32_t*) override {}
  void copyRect(const Rect&, const Surface&, const Rect&) override {}
  std::unique_ptr<Surface> clone() const override {
    auto copy = std::make_unique<NullSurface>(width_, height_);
    copy->state = state;
    return copy;
  }
  void assign(const Surface& other) override {
    width_ = other.width();
    height_ = other.height();
  }
  bool load(const uint8_t*, size_t) override { return false; }
  std::vector<uint8_t> saveBmp() const override { return {}; }
  void makeMonochrome() override {}

 private:
  int32_t width_;
  int32_t height_;
};

}  // namespace

std::unique_ptr<Surface> makeNullSurface(int32_t width, int32_t height) {
  return std::make_unique<NullSurface>(width, height);
}

}  // namespace kestrel::gui
