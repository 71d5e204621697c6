#pragma once
// A picture seen through the coordinates of a larger one: what is drawn at
// (x, y) lands at (x - left, y - top) of the picture, and whatever falls
// outside the picture is lost. An owner-drawn item's canvas is one: the
// program draws in the list's coordinates, on a picture of the item alone,
// so that nothing it draws reaches the other items.
#include "toolkit/surface.h"

namespace kestrel::gui {

class OffsetSurface : public Surface {
 public:
  // `picture` stands at (left, top) of the larger area; it must outlive this.
  OffsetSurface(Surface& picture, int32_t left, int32_t top);

  // The larger area's size, to the picture's right and bottom edges.
  int32_t width() const override { return left_ + picture_.width(); }
  int32_t height() const override { return top_ + picture_.height(); }
  // The picture keeps its size.
  void resize(int32_t, int32_t, uint32_t) override {}
  void clear(uint32_t color) override;

  void textOut(int32_t x, int32_t y, std::string_view text) override;
  void textRect(const Rect& clip, int32_t x, int32_t y, std::string_view text) override;
  Size textExtent(std::string_view text) override;
  void drawText(const Rect& r, std::string_view text, const TextFormat& format) override;
  Size measureText(int32_t width, std::string_view text, const TextFormat& format) override;
  void textOutTurned(int32_t x, int32_t y, std::string_view text, int32_t degrees) override;
  void line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void ellipse(const Rect& box) override;
  void frameRect(const Rect& r) override;
  void fillRect(const Rect& r) override;
  void floodFill(int32_t x, int32_t y, uint32_t border) override;
  void setPixel(int32_t x, int32_t y, uint32_t color) override;
  int32_t pixel(int32_t x, int32_t y) const override;

  void draw(int32_t x, int32_t y, const Surface& source, const int32_t* transparent) override;
  void stretchDraw(const Rect& target, const Surface& source, const int32_t* transparent) override;
  void copyRect(const Rect& target, const Surface& source, const Rect& from) override;

  // The picture's own contents.
  std::unique_ptr<Surface> clone() const override { return picture_.clone(); }
  void assign(const Surface& other) override { picture_.assign(other); }
  bool load(const uint8_t*, size_t) override { return false; }
  std::vector<uint8_t> saveBmp() const override { return picture_.saveBmp(); }
  void makeMonochrome() override { picture_.makeMonochrome(); }

 private:
  // The picture draws with this view's pen, brush and font.
  Surface& synced();
  Rect moved(const Rect& r) const { return {r.left - left_, r.top - top_, r.right - left_, r.bottom - top_}; }

  Surface& picture_;
  int32_t left_;
  int32_t top_;
};

}  // namespace kestrel::gui
