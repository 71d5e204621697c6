// Renders a lit, textured, Gouraud-shaded sphere of 5,000 triangles at
// 640 x 480, turning a little each frame, and prints frames per second.
//   kestrel-scene3d-bench [FRAMES]
#include <chrono>
#include <cmath>
#include <cstdio>
#include <array>
#include <cstdlib>
#include <ctime>
#include <numbers>
#include <vector>

#include "scene3d/scene_host.h"

using namespace kestrel::scene3d;

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  constexpr int W = 640, H = 480, Rings = 50, Segments = 50;  // 2 * 50 * 50 = 5,000 triangles
  std::vector<uint32_t> pixels(W * H);
  SceneHost host;
  host.setTarget({pixels.data(), W, H, W});
  host.device().textureQuality = 1;

  std::vector<uint32_t> checker(64 * 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) checker[y * 64 + x] = ((x / 8 + y / 8) & 1) ? 0xFFE0C080 : 0xFF4060A0;
  auto mesh = std::make_shared<MeshBuilder>();
  mesh->texture = Texture::fromPixels(64, 64, checker.data(), 64);
  const float pi = std::numbers::pi_v<float>;
  auto at = [&](int r, int s) {
    float th = pi * r / Rings, ph = 2 * pi * s / Segments;
    return Corner{{std::sin(th) * std::cos(ph), std::cos(th), std::sin(th) * std::sin(ph)},
                  {std::sin(th) * std::cos(ph), std::cos(th), std::sin(th) * std::sin(ph)},
                  float(s) / Segments, float(r) / Rings};
  };
  for (int r = 0; r < Rings; ++r)
    for (int s = 0; s < Segments; ++s) {
      // Clockwise as seen from outside.
      for (auto tri : {std::array{at(r, s), at(r + 1, s), at(r + 1, s + 1)},
                       std::array{at(r, s), at(r + 1, s + 1), at(r, s + 1)}}) {
        auto f = std::make_shared<Face>();
        f->corners.assign(tri.begin(), tri.end());
        mesh->addFace(f);
      }
    }
  auto ball = Frame::create(host.scene());
  ball->visuals.push_back(mesh);
  ball->setPosition(nullptr, {0, 0, 2.2f});
  ball->setRotation(nullptr, {0.3f, 1, 0}, 0.02f);
  auto lamp = Frame::create(host.scene());
  lamp->setOrientation(nullptr, {1, -1, 1}, {0, 1, 0});
  auto sun = std::make_shared<Light>();
  sun->type = LightType::Directional;
  lamp->lights.push_back(sun);
  auto ambient = std::make_shared<Light>();
  ambient->color = {0.2f, 0.2f, 0.2f, 1};
  host.scene()->lights.push_back(ambient);

  host.render();  // warm up
  auto start = std::chrono::steady_clock::now();
  std::clock_t cpuStart = std::clock();
  uint64_t drawn = 0;
  for (int i = 0; i < frames; ++i) {
    host.scene()->move(1);
    host.render();
    drawn += host.renderer().rasteriser().filledTriangles();
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // On a shared machine the wall clock counts other programs' time too.
  double cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
  uint64_t covered = 0;
  for (uint32_t p : pixels) covered += (p & 0xFFFFFF) != 0;
  std::printf("scene3d: %d frames of %zu triangles (%llu filled a frame, %llu pixels covered) at %dx%d: %.1f frames/s (%.1f per CPU second)\n",
              frames, mesh->faces.size(), static_cast<unsigned long long>(drawn / frames),
              static_cast<unsigned long long>(covered), W, H, frames / seconds, frames / cpuSeconds);
  return 0;
}
