#include "toolkit/offset_surface.h"

namespace kestrel::gui {

OffsetSurface::OffsetSurface(Surface& picture, int32_t left, int32_t top)
    : picture_(picture), left_(left), top_(top) {
  state = picture.state;
}

Surface& OffsetSurface::synced() {
  picture_.state = state;
  return picture_;
}

void OffsetSurface::clear(uint32_t color) { synced().clear(color); }

void OffsetSurface::textOut(int32_t x, int32_t y, std::string_view text) { synced().textOut(x - left_, y - top_, text); }

void OffsetSurface::textRect(const Rect& clip, int32_t x, int32_t y, std::string_view text) {
  synced().textRect(moved(clip), x - left_, y - top_, text);
}

Size OffsetSurface::textExtent(std::string_view text) { return synced().textExtent(text); }

void OffsetSurface::drawText(const Rect& r, std::string_view text, const TextFormat& format) {
  synced().drawText(moved(r), text, format);
}

Size OffsetSurface::measureText(int32_t width, std::string_view text, const TextFormat& format) {
  return synced().measureText(width, text, format);
}

void OffsetSurface::textOutTurned(int32_t x, int32_t y, std::string_view text, int32_t degrees) {
  synced().textOutTurned(x - left_, y - top_, text, degrees);
}

void OffsetSurface::line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  synced().line(x1 - left_, y1 - top_, x2 - left_, y2 - top_);
}

void OffsetSurface::ellipse(const Rect& box) { synced().ellipse(moved(box)); }
void OffsetSurface::frameRect(const Rect& r) { synced().frameRect(moved(r)); }
void OffsetSurface::fillRect(const Rect& r) { synced().fillRect(moved(r)); }

void OffsetSurface::floodFill(int32_t x, int32_t y, uint32_t border) { synced().floodFill(x - left_, y - top_, border); }

void OffsetSurface::setPixel(int32_t x, int32_t y, uint32_t color) { synced().setPixel(x - left_, y - top_, color); }

int32_t OffsetSurface::pixel(int32_t x, int32_t y) const { return picture_.pixel(x - left_, y - top_); }

void OffsetSurface::draw(int32_t x, int32_t y, const Surface& source, const int32_t* transparent) {
  synced().draw(x - left_, y - top_, source, transparent);
}

void OffsetSurface::stretchDraw(const Rect& target, const Surface& source, const int32_t* transparent) {
  synced().stretchDraw(moved(target), source, transparent);
}

void OffsetSurface::copyRect(const Rect& target, const Surface& source, const Rect& from) {
  synced().copyRect(moved(target), source, from);
}

}  // namespace kestrel::gui
