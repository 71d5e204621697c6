#pragma once
// Bitmaps (type 66): pictures in memory with a canvas, loaded from and
// saved to files, streams and embedded resources, and the usual source of
// the graphics other objects draw.
#include <memory>

#include "objects/canvas_ops.h"
#include "objects/object_model.h"
#include "toolkit/surface.h"

namespace kestrel::objects {

inline constexpr int kBitmapType = 66;

class Bitmap : public Object, public CanvasOwner {
 public:
  Bitmap(Machine& m, int type);

  gui::Surface& surface() { return *surface_; }
  CanvasTarget canvasTarget() override { return {*surface_, font_}; }
  // The canvas font (font sub-members reach it).
  gui::FontDesc& font() { return font_; }
  void fontChanged() {}
  // The colour left out when the bitmap is drawn transparently: the one
  // set, else the bottom-left pixel's.
  int32_t transparentColor() const;
  void setSize(int32_t width, int32_t height);
  // Loads a picture file's bytes; raises "Bitmap image is not valid".
  void loadBytes(const std::vector<uint8_t>& bytes);

  uint8_t transparent = 0;
  uint8_t monochrome = 0;
  int32_t transparentMode = 0;       // 0 automatic, 1 the colour set
  int32_t fixedTransparentColor = 0;
  int32_t pixelFormat = 0;           // 0 device, 1 one bit ... 7 32 bits

 private:
  std::unique_ptr<gui::Surface> surface_;
  gui::FontDesc font_;
};

void registerBitmapType(TypeRegistry& registry);

}  // namespace kestrel::objects
