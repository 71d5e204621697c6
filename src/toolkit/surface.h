#pragma once
// A drawing surface: a picture in memory with the canvas state that the
// drawing operations use (pen, brush, font, copy mode). Forms keep their
// picture in one (so that a drawing survives hiding and repainting),
// bitmaps are one. The Qt toolkit draws on a QImage; the null toolkit's
// surface keeps its size and state and draws nothing.
//
// Colours here are plain 0x00BBGGRR values: the engine resolves system
// colours before it draws. The pixel rules follow the programs' canvas:
// filled and framed rectangles cover left..right-1 and top..bottom-1, an
// ellipse fits inside the same box, a line leaves out its end point (the
// canvas operation sets that pixel itself), and text's top-left corner is
// the point given.
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "toolkit/gui_types.h"
#include "toolkit/pixel_view.h"

namespace kestrel::gui {

// Raster operations of CopyRect (the common ones; any three-operand code
// works: bits 16 to 23 are the truth table over pattern, source and
// destination).
namespace rop {
inline constexpr uint32_t kSrcCopy = 0x00CC0020;
inline constexpr uint32_t kSrcPaint = 0x00EE0086;  // or
inline constexpr uint32_t kSrcAnd = 0x008800C6;
inline constexpr uint32_t kSrcInvert = 0x00660046;  // xor
inline constexpr uint32_t kSrcErase = 0x00440328;
inline constexpr uint32_t kNotSrcCopy = 0x00330008;
inline constexpr uint32_t kNotSrcErase = 0x001100A6;
inline constexpr uint32_t kMergeCopy = 0x00C000CA;
inline constexpr uint32_t kMergePaint = 0x00BB0226;
inline constexpr uint32_t kPatCopy = 0x00F00021;
inline constexpr uint32_t kPatPaint = 0x00FB0A09;
inline constexpr uint32_t kPatInvert = 0x005A0049;
inline constexpr uint32_t kDstInvert = 0x00550009;
inline constexpr uint32_t kBlackness = 0x00000042;
inline constexpr uint32_t kWhiteness = 0x00FF0062;

// One pixel of a three-operand raster operation.
inline uint32_t apply(uint32_t code, uint32_t pattern, uint32_t source, uint32_t dest) {
  const uint32_t table = (code >> 16) & 0xFF;
  uint32_t out = 0;
  for (int i = 0; i < 8; ++i) {
    if (((table >> i) & 1) == 0) continue;
    const uint32_t p = (i & 4) ? pattern : ~pattern;
    const uint32_t s = (i & 2) ? source : ~source;
    const uint32_t d = (i & 1) ? dest : ~dest;
    out |= p & s & d;
  }
  return out & 0x00FFFFFF;
}
}  // namespace rop

struct CanvasState {
  uint32_t pen = kBlack;
  uint32_t brush = kWhite;
  bool brushClear = false;
  FontDesc font;
  uint32_t fontColor = kBlack;  // the font's colour, resolved
  uint32_t copyMode = rop::kSrcCopy;
};

class Surface {
 public:
  virtual ~Surface() = default;

  CanvasState state;
  // Called after every change of the picture (a form shows it again).
  std::function<void()> changed;

  virtual int32_t width() const = 0;
  virtual int32_t height() const = 0;
  bool empty() const { return width() <= 0 || height() <= 0; }
  // New size; the picture keeps its top-left part, new pixels get `fill`.
  virtual void resize(int32_t width, int32_t height, uint32_t fill) = 0;
  virtual void clear(uint32_t color) = 0;

  // ---- Drawing (see the pixel rules above). Text is program text.
  virtual void textOut(int32_t x, int32_t y, std::string_view text) = 0;
  // Text clipped to `clip`; an opaque brush fills the whole rectangle first.
  virtual void textRect(const Rect& clip, int32_t x, int32_t y, std::string_view text) = 0;
  virtual Size textExtent(std::string_view text) = 0;
  // Formatted text in the font colour on what is there (no background):
  // several lines, broken at words when the format says so, aligned in `r`.
  virtual void drawText(const Rect& r, std::string_view text, const TextFormat& format) {
    (void)r, (void)text, (void)format;
  }
  // The size that drawText covers, lines broken within `width` when the
  // format breaks at words.
  virtual Size measureText(int32_t width, std::string_view text, const TextFormat& format) {
    (void)width, (void)text, (void)format;
    return {};
  }
  // One line turned `degrees` counter-clockwise about (x, y), the top-left
  // corner of its text cell, in the font colour with no background.
  virtual void textOutTurned(int32_t x, int32_t y, std::string_view text, int32_t degrees) {
    (void)x, (void)y, (void)text, (void)degrees;
  }
  // Every pixel becomes transparent: drawn on another picture, or shown in
  // a window, it leaves what is under it.
  virtual void clearTransparent() {}
  virtual void line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0;
  virtual void ellipse(const Rect& box) = 0;  // pen outline, brush inside unless clear
  virtual void frameRect(const Rect& r) = 0;  // one pixel wide, brush colour
  virtual void fillRect(const Rect& r) = 0;   // brush colour
  // Fills with the brush outward from (x, y) up to pixels of `border`.
  virtual void floodFill(int32_t x, int32_t y, uint32_t border) = 0;
  virtual void setPixel(int32_t x, int32_t y, uint32_t color) = 0;
  // The pixel's colour, or kInvalidColor outside the picture.
  virtual int32_t pixel(int32_t x, int32_t y) const = 0;

  // ---- Pictures. `transparent` leaves out the source's pixels of that colour.
  virtual void draw(int32_t x, int32_t y, const Surface& source, const int32_t* transparent) = 0;
  virtual void stretchDraw(const Rect& target, const Surface& source, const int32_t* transparent) = 0;
  // Copies (stretching when the sizes differ) with the copy mode.
  virtual void copyRect(const Rect& target, const Surface& source, const Rect& from) = 0;

  // ---- Contents.
  virtual std::unique_ptr<Surface> clone() const = 0;
  virtual void assign(const Surface& other) = 0;
  // Decodes a picture (BMP, PNG, JPEG, icons...). False when the bytes are
  // not a picture; the surface is unchanged then.
  virtual bool load(const uint8_t* data, size_t length) = 0;
  // The picture as a BMP file.
  virtual std::vector<uint8_t> saveBmp() const = 0;
  // Every pixel that is not white becomes black.
  virtual void makeMonochrome() = 0;
  // The picture's pixels for direct writing (empty when it keeps none);
  // valid until the next resize or assign. Call `changed` after writing.
  virtual PixelView pixelView() { return {}; }

 protected:
  void notify() {
    if (changed) changed();
  }
};

// The surface of the null toolkit: keeps its size and state, draws nothing,
// reads black inside and kInvalidColor outside.
std::unique_ptr<Surface> makeNullSurface(int32_t width, int32_t height);

}  // namespace kestrel::gui
