#pragma once
// The triangle rasteriser: clips in camera space against the front and
// back planes, projects, and fills with a z-buffer (one over depth, so
// colours and texture coordinates are interpolated perspective-correctly).
// Pixel centres are sampled at half-pixel positions with a top-left rule,
// so two triangles sharing an edge never both draw a pixel of it, and the
// result is exact and the same on every machine.
#include <cstdint>
#include <vector>

#include "scene3d/math3d.h"
#include "scene3d/texture.h"
#include "scene3d/viewport.h"
#include "toolkit/pixel_view.h"

namespace kestrel::scene3d {

struct FogSettings;

// A corner in camera space with what is interpolated across the triangle.
struct RasterCorner {
  Vec3 p;
  Color color;
  float u = 0, v = 0;
};

struct Fog {
  bool enabled = false;
  int mode = 0;  // 0 linear, 1 exponential, 2 exponential squared
  Color color;
  float start = 1, end = 100, density = 1;
  float factor(float z) const;  // how much of the surface's own colour stays
};

struct DrawState {
  const Texture* texture = nullptr;
  bool linear = false;
  bool cull = true;          // clockwise faces only
  bool blend = false;        // mix by the colour's alpha, leaving depth alone
  bool shadowMask = false;   // mark the mask instead of drawing
};

class Rasteriser {
 public:
  // Starts a frame on target: sizes the depth buffer and sets the projection.
  void begin(const gui::PixelView& target, const Viewport& viewport);
  void clear(Color c);
  void clearToImage(const Texture& image);
  void setFog(const Fog& fog) { fog_ = fog; }

  void drawTriangle(const RasterCorner& a, const RasterCorner& b, const RasterCorner& c, const DrawState& s);
  void drawLine(const RasterCorner& a, const RasterCorner& b);
  void drawPoint(const RasterCorner& a);
  // Darkens every pixel marked by shadow triangles once, then clears the marks.
  void resolveShadows(float keep);

  // Number of triangles that reached the fill stage (for tests and benchmarks).
  uint64_t filledTriangles() const { return filled_; }

 private:
  struct Projected {
    float x, y, iz;
    float r, g, b, a, u, v;  // each times iz
  };
  int clipPolygon(const RasterCorner* in, int n, RasterCorner* out) const;
  bool project(const RasterCorner& c, Projected& out) const;
  void fill(const Projected& a, const Projected& b, const Projected& c, const DrawState& s);
  void plot(int32_t x, int32_t y, float iz, Color c);
  uint32_t shade(Color c, float z, const DrawState& s, float u, float v) const;

  gui::PixelView target_;
  std::vector<float> depth_;
  std::vector<uint8_t> mask_;
  float front_ = 1, back_ = 100;
  float cx_ = 0, cy_ = 0, sx_ = 1, sy_ = 1;  // screen = centre + scale * (x/z, y/z)
  Fog fog_;
  uint64_t filled_ = 0;
};

}  // namespace kestrel::scene3d
