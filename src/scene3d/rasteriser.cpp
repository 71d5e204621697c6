#include "scene3d/rasteriser.h"

#include <algorithm>
#include <cmath>

namespace kestrel::scene3d {

float Fog::factor(float z) const {
  if (!enabled) return 1;
  switch (mode) {
    case 1: return clamp01(std::exp(-density * z));
    case 2: return clamp01(std::exp(-(density * z) * (density * z)));
    default: return end > start ? clamp01((end - z) / (end - start)) : (z < end ? 1.0f : 0.0f);
  }
}

void Rasteriser::begin(const gui::PixelView& target, const Viewport& viewport) {
  target_ = target;
  filled_ = 0;
  if (target_.empty()) return;
  size_t n = static_cast<size_t>(target_.width) * target_.height;
  depth_.assign(n, 0.0f);
  mask_.assign(n, 0);
  front_ = viewport.front > 0 && std::isfinite(viewport.front) ? viewport.front : 1.0f;
  back_ = viewport.back > front_ && std::isfinite(viewport.back) ? viewport.back : front_ * 100;
  float w = static_cast<float>(target_.width), h = static_cast<float>(target_.height);
  float l, r, b, t;
  if (viewport.hasPlane) {
    l = viewport.left, r = viewport.right, b = viewport.bottom, t = viewport.top;
  } else {
    float f = viewport.field > 0 && std::isfinite(viewport.field) ? viewport.field : 0.5f;
    float hw = w >= h ? f : f * w / h, hh = w >= h ? f * h / w : f;
    l = -hw, r = hw, b = -hh, t = hh;
  }
  if (!(r != l) || !(t != b) || !std::isfinite(r - l) || !std::isfinite(t - b)) l = -0.5f, r = 0.5f, b = -0.5f, t = 0.5f;
  sx_ = w / (r - l);
  cx_ = -l * sx_;
  sy_ = -h / (t - b);
  cy_ = t * h / (t - b);
}

void Rasteriser::clear(Color c) {
  if (target_.empty()) return;
  uint32_t px = 0xFF000000u | (packColor(c) & 0xFFFFFF);
  for (int32_t y = 0; y < target_.height; ++y) std::fill_n(target_.row(y), target_.width, px);
}

void Rasteriser::clearToImage(const Texture& image) {
  if (target_.empty() || image.empty()) return;
  for (int32_t y = 0; y < target_.height; ++y) {
    int32_t ty = static_cast<int32_t>(static_cast<int64_t>(y) * image.height / target_.height);
    uint32_t* row = target_.row(y);
    for (int32_t x = 0; x < target_.width; ++x) {
      int32_t tx = static_cast<int32_t>(static_cast<int64_t>(x) * image.width / target_.width);
      row[x] = 0xFF000000u | image.pixels[static_cast<size_t>(ty) * image.width + tx];
    }
  }
}

namespace {
RasterCorner lerp(const RasterCorner& a, const RasterCorner& b, float t) {
  RasterCorner r;
  r.p = a.p + (b.p - a.p) * t;
  r.color = {a.color.r + (b.color.r - a.color.r) * t, a.color.g + (b.color.g - a.color.g) * t,
             a.color.b + (b.color.b - a.color.b) * t, a.color.a + (b.color.a - a.color.a) * t};
  r.u = a.u + (b.u - a.u) * t;
  r.v = a.v + (b.v - a.v) * t;
  return r;
}

bool finiteCorner(const RasterCorner& c) {
  return finite(c.p) && std::isfinite(c.u) && std::isfinite(c.v) && std::isfinite(c.color.r) &&
         std::isfinite(c.color.g) && std::isfinite(c.color.b) && std::isfinite(c.color.a);
}
}  // namespace

// Sutherland-Hodgman against z >= front, then z <= back; in camera space,
// so nothing at or behind the eye ever reaches the divide.
int Rasteriser::clipPolygon(const RasterCorner* in, int n, RasterCorner* out) const {
  RasterCorner tmp[8];
  int m = 0;
  for (int i = 0; i < n; ++i) {
    const RasterCorner &a = in[i], &b = in[(i + 1) % n];
    bool ain = a.p.z >= front_, bin = b.p.z >= front_;
    if (ain) tmp[m++] = a;
    if (ain != bin) tmp[m++] = lerp(a, b, (front_ - a.p.z) / (b.p.z - a.p.z));
  }
  int k = 0;
  for (int i = 0; i < m; ++i) {
    const RasterCorner &a = tmp[i], &b = tmp[(i + 1) % m];
    bool ain = a.p.z <= back_, bin = b.p.z <= back_;
    if (ain) out[k++] = a;
    if (ain != bin) out[k++] = lerp(a, b, (back_ - a.p.z) / (b.p.z - a.p.z));
  }
  return k;
}

bool Rasteriser::project(const RasterCorner& c, Projected& o) const {
  float iz = 1.0f / c.p.z;
  o.x = cx_ + sx_ * c.p.x * iz;
  o.y = cy_ + sy_ * c.p.y * iz;
  o.iz = iz;
  o.r = c.color.r * iz, o.g = c.color.g * iz, o.b = c.color.b * iz, o.a = c.color.a * iz;
  o.u = c.u * iz, o.v = c.v * iz;
  // Far outside the picture a float loses whole pixels: such corners are dropped.
  return std::isfinite(o.x) && std::isfinite(o.y) && std::fabs(o.x) < 1e7f && std::fabs(o.y) < 1e7f;
}

void Rasteriser::drawTriangle(const RasterCorner& a, const RasterCorner& b, const RasterCorner& c,
                              const DrawState& s) {
  if (target_.empty() || !finiteCorner(a) || !finiteCorner(b) || !finiteCorner(c)) return;
  RasterCorner in[3] = {a, b, c}, out[8];
  int n = clipPolygon(in, 3, out);
  if (n < 3) return;
  Projected p[8];
  for (int i = 0; i < n; ++i)
    if (!project(out[i], p[i])) return;
  for (int i = 1; i + 1 < n; ++i) fill(p[0], p[i], p[i + 1], s);
}

void Rasteriser::fill(const Projected& a0, const Projected& b0, const Projected& c0, const DrawState& s) {
  const Projected* v[3] = {&a0, &b0, &c0};
  double area = (double(v[1]->x) - v[0]->x) * (double(v[2]->y) - v[0]->y) -
                (double(v[2]->x) - v[0]->x) * (double(v[1]->y) - v[0]->y);
  if (area == 0 || !std::isfinite(area)) return;
  if (area < 0) {
    if (s.cull) return;
    std::swap(v[1], v[2]);
    area = -area;
  }
  float minX = std::min({v[0]->x, v[1]->x, v[2]->x}), maxX = std::max({v[0]->x, v[1]->x, v[2]->x});
  float minY = std::min({v[0]->y, v[1]->y, v[2]->y}), maxY = std::max({v[0]->y, v[1]->y, v[2]->y});
  // Spans clamped to the picture before any index is formed.
  int32_t x0 = static_cast<int32_t>(std::max(0.0f, std::floor(minX)));
  int32_t x1 = static_cast<int32_t>(std::min(float(target_.width - 1), std::ceil(maxX)));
  int32_t y0 = static_cast<int32_t>(std::max(0.0f, std::floor(minY)));
  int32_t y1 = static_cast<int32_t>(std::min(float(target_.height - 1), std::ceil(maxY)));
  if (x0 > x1 || y0 > y1) return;
  ++filled_;

  // Edge i is opposite corner i; its value over area is corner i's weight.
  struct Edge {
    double a, b, c;
    bool topLeft;
  } e[3];
  for (int i = 0; i < 3; ++i) {
    const Projected &p = *v[(i + 1) % 3], &q = *v[(i + 2) % 3];
    double dx = double(q.x) - p.x, dy = double(q.y) - p.y;
    // value(x, y) = dx * (y - p.y) - dy * (x - p.x)
    e[i] = {-dy, dx, dy * p.x - dx * p.y, (dy == 0 && dx > 0) || dy < 0};
  }
  double inv = 1.0 / area;
  // Everything interpolated (each already times one over z) is a plane over
  // the screen: its value at the row's first pixel centre, and its step per pixel.
  constexpr int kAttrs = 7;
  float Projected::*const attrs[kAttrs] = {&Projected::iz, &Projected::r, &Projected::g, &Projected::b,
                                           &Projected::a,  &Projected::u, &Projected::v};
  double dx[kAttrs];
  for (int k = 0; k < kAttrs; ++k)
    dx[k] = (double(v[0]->*attrs[k]) * e[0].a + double(v[1]->*attrs[k]) * e[1].a + double(v[2]->*attrs[k]) * e[2].a) * inv;
  const bool textured = s.texture != nullptr;
  for (int32_t y = y0; y <= y1; ++y) {
    double py = y + 0.5;
    uint32_t* row = target_.row(y);
    float* zrow = depth_.data() + static_cast<size_t>(y) * target_.width;
    uint8_t* mrow = mask_.data() + static_cast<size_t>(y) * target_.width;
    double w[3];
    for (int i = 0; i < 3; ++i) w[i] = e[i].a * (x0 + 0.5) + e[i].b * py + e[i].c;
    double q[kAttrs];
    for (int k = 0; k < kAttrs; ++k)
      q[k] = (double(v[0]->*attrs[k]) * w[0] + double(v[1]->*attrs[k]) * w[1] + double(v[2]->*attrs[k]) * w[2]) * inv;
    for (int32_t x = x0; x <= x1; ++x) {
      bool inside = true;
      for (int i = 0; i < 3; ++i)
        if (!(w[i] > 0 || (w[i] == 0 && e[i].topLeft))) inside = false;
      if (inside) {
        float iz = static_cast<float>(q[0]);
        if (s.shadowMask) {
          // A small allowance so the shadow shows on the very surface it lies
          // on; where nothing was drawn (depth 0) there is no surface to darken.
          if (zrow[x] > 0 && iz >= zrow[x] * 0.999f) mrow[x] = 1;
        } else if (iz > zrow[x]) {
          float z = 1.0f / iz;
          Color c{float(q[1]) * z, float(q[2]) * z, float(q[3]) * z, float(q[4]) * z};
          uint32_t px = shade(c, z, s, textured ? float(q[5]) * z : 0, textured ? float(q[6]) * z : 0);
          if (s.blend) {
            float k = clamp01(c.a);
            uint32_t d = row[x], out = 0xFF000000u;
            for (int sh = 0; sh < 24; sh += 8) {
              float mixed = ((px >> sh) & 0xFF) * k + ((d >> sh) & 0xFF) * (1 - k);
              out |= static_cast<uint32_t>(mixed + 0.5f) << sh;
            }
            row[x] = out;
          } else {
            row[x] = px;
            zrow[x] = iz;
          }
        }
      }
      for (int i = 0; i < 3; ++i) w[i] += e[i].a;
      for (int k = 0; k < kAttrs; ++k) q[k] += dx[k];
    }
  }
}

uint32_t Rasteriser::shade(Color c, float z, const DrawState& s, float u, float v) const {
  if (s.texture) {
    uint32_t t = s.linear ? s.texture->linear(u, v) : s.texture->nearest(u, v);
    c.r *= ((t >> 16) & 0xFF) / 255.0f;
    c.g *= ((t >> 8) & 0xFF) / 255.0f;
    c.b *= (t & 0xFF) / 255.0f;
  }
  if (fog_.enabled) {
    float f = fog_.factor(z);
    c.r = c.r * f + fog_.color.r * (1 - f);
    c.g = c.g * f + fog_.color.g * (1 - f);
    c.b = c.b * f + fog_.color.b * (1 - f);
  }
  c.a = 1;
  return packColor(c);
}

void Rasteriser::plot(int32_t x, int32_t y, float iz, Color c) {
  if (x < 0 || y < 0 || x >= target_.width || y >= target_.height) return;
  float& d = depth_[static_cast<size_t>(y) * target_.width + x];
  if (!(iz > d)) return;
  d = iz;
  target_.row(y)[x] = shade(c, 1.0f / iz, DrawState{}, 0, 0);
}

void Rasteriser::drawLine(const RasterCorner& a, const RasterCorner& b) {
  if (target_.empty() || !finiteCorner(a) || !finiteCorner(b)) return;
  RasterCorner in[2] = {a, b}, out[8];
  // A two-corner polygon clips to the visible piece of the segment.
  int n = clipPolygon(in, 2, out);
  if (n < 2) return;
  Projected p, q;
  if (!project(out[0], p) || !project(out[1], q)) return;
  float steps = std::ceil(std::max(std::fabs(q.x - p.x), std::fabs(q.y - p.y)));
  if (steps > 4 * float(target_.width + target_.height)) return;  // absurdly long: nothing sensible to draw
  int32_t n2 = static_cast<int32_t>(steps);
  for (int32_t i = 0; i <= n2; ++i) {
    float t = n2 ? float(i) / n2 : 0;
    float iz = p.iz + (q.iz - p.iz) * t;
    Color c{(p.r + (q.r - p.r) * t) / iz, (p.g + (q.g - p.g) * t) / iz, (p.b + (q.b - p.b) * t) / iz, 1};
    plot(static_cast<int32_t>(std::floor(p.x + (q.x - p.x) * t)),
         static_cast<int32_t>(std::floor(p.y + (q.y - p.y) * t)), iz, c);
  }
}

void Rasteriser::drawPoint(const RasterCorner& a) {
  if (target_.empty() || !finiteCorner(a) || a.p.z < front_ || a.p.z > back_) return;
  Projected p;
  if (!project(a, p)) return;
  plot(static_cast<int32_t>(std::floor(p.x)), static_cast<int32_t>(std::floor(p.y)), p.iz, a.color);
}

void Rasteriser::resolveShadows(float keep) {
  if (target_.empty()) return;
  for (int32_t y = 0; y < target_.height; ++y) {
    uint32_t* row = target_.row(y);
    uint8_t* m = mask_.data() + static_cast<size_t>(y) * target_.width;
    for (int32_t x = 0; x < target_.width; ++x) {
      if (!m[x]) continue;
      m[x] = 0;
      uint32_t d = row[x], out = 0xFF000000u;
      for (int sh = 0; sh < 24; sh += 8) out |= static_cast<uint32_t>(((d >> sh) & 0xFF) * keep) << sh;
      row[x] = out;
    }
  }
}

}  // namespace kestrel::scene3d
