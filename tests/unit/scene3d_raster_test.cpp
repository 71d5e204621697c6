// Exact pixels of small scenes drawn by the 3D rasteriser and renderer.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "scene3d/rasteriser.h"
#include "scene3d/scene_host.h"
#include "scene3d/wrap.h"

using namespace kestrel::scene3d;

namespace {

struct Picture {
  explicit Picture(int w = 8, int h = 8) : pixels(static_cast<size_t>(w) * h, 0), width(w), height(h) {}
  kestrel::gui::PixelView view() { return {pixels.data(), width, height, width}; }
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  int count(uint32_t px) const {
    int n = 0;
    for (auto p : pixels) n += p == px;
    return n;
  }
  std::vector<uint32_t> pixels;
  int width, height;
};

constexpr uint32_t Black = 0xFF000000, Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, White = 0xFFFFFFFF;

RasterCorner corner(float x, float y, float z, Color c = {1, 1, 1, 1}, float u = 0, float v = 0) {
  return {{x, y, z}, c, u, v};
}

// With the default field an 8x8 picture shows x and y from -1 to 1 at
// distance 2, one pixel per quarter unit.
struct RasterFixture : ::testing::Test {
  void SetUp() override {
    raster.begin(pic.view(), viewport);
    raster.clear({0, 0, 0, 1});
  }
  void quad(float z, Color c, const DrawState& s = {}) {
    raster.drawTriangle(corner(-z / 2, z / 2, z, c, 0, 0), corner(z / 2, z / 2, z, c, 1, 0),
                        corner(-z / 2, -z / 2, z, c, 0, 1), s);
    raster.drawTriangle(corner(z / 2, z / 2, z, c, 1, 0), corner(z / 2, -z / 2, z, c, 1, 1),
                        corner(-z / 2, -z / 2, z, c, 0, 1), s);
  }
  Picture pic;
  Viewport viewport;
  Rasteriser raster;
};

TEST_F(RasterFixture, FlatTriangleCoversPixelsWhoseCentresAreInside) {
  // Screen corners (0,0), (8,0), (0,8): the hypotenuse passes through the
  // centres of the pixels with x + y = 7, which belong to no top or left edge.
  raster.drawTriangle(corner(-1, 1, 2, {1, 0, 0, 1}), corner(1, 1, 2, {1, 0, 0, 1}), corner(-1, -1, 2, {1, 0, 0, 1}), {});
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(pic.at(x, y), x + y <= 6 ? Red : Black) << x << "," << y;
}

TEST_F(RasterFixture, CounterClockwiseTrianglesAreCulledUnlessAsked) {
  raster.drawTriangle(corner(-1, 1, 2), corner(-1, -1, 2), corner(1, 1, 2), {});
  EXPECT_EQ(pic.count(Black), 64);
  DrawState both;
  both.cull = false;
  raster.drawTriangle(corner(-1, 1, 2), corner(-1, -1, 2), corner(1, 1, 2), both);
  EXPECT_EQ(pic.count(White), 28);
}

TEST_F(RasterFixture, SharedEdgeIsDrawnOnce) {
  DrawState half;
  half.blend = true;
  quad(2, {1, 0, 0, 0.5f}, half);
  uint32_t first = pic.at(0, 0);
  EXPECT_EQ(pic.count(first), 64);  // a pixel drawn twice would be brighter
  EXPECT_NEAR(static_cast<int>((first >> 16) & 0xFF), 128, 1);
}

TEST_F(RasterFixture, NearerSurfaceWinsWhateverTheOrder) {
  quad(2, {1, 0, 0, 1});
  quad(4, {0, 1, 0, 1});
  EXPECT_EQ(pic.count(Red), 64);
  raster.begin(pic.view(), viewport);
  quad(4, {0, 1, 0, 1});
  quad(2, {1, 0, 0, 1});
  EXPECT_EQ(pic.count(Red), 64);
}

TEST_F(RasterFixture, GouraudColoursBlendAcrossTheTriangle) {
  raster.drawTriangle(corner(-1, 1, 2, {1, 0, 0, 1}), corner(1, 1, 2, {0, 1, 0, 1}), corner(-1, -1, 2, {0, 0, 1, 1}), {});
  uint32_t nearRed = pic.at(0, 0), middle = pic.at(2, 2);
  EXPECT_GT((nearRed >> 16) & 0xFF, 200u);
  EXPECT_LT(nearRed & 0xFFFF, 0x4040u);
  for (int shift : {0, 8, 16}) EXPECT_GT((middle >> shift) & 0xFF, 40u) << shift;
}

TEST_F(RasterFixture, TextureIsMappedWithPerspective) {
  uint32_t texels[2] = {Red, Green};
  auto tex = Texture::fromPixels(2, 1, texels, 2);
  DrawState s;
  s.texture = tex.get();
  // A plane going away to the right: u = 0.5 lies at x = 1, z = 4, which is
  // screen x 6, not the middle of the picture.
  auto a = corner(-1, 1, 2, {1, 1, 1, 1}, 0, 0), b = corner(3, 1, 6, {1, 1, 1, 1}, 1, 0);
  auto c = corner(-1, -1, 2, {1, 1, 1, 1}, 0, 1), d = corner(3, -1, 6, {1, 1, 1, 1}, 1, 1);
  raster.drawTriangle(a, b, c, s);
  raster.drawTriangle(b, d, c, s);
  EXPECT_EQ(pic.at(5, 4), Red);
  EXPECT_EQ(pic.at(6, 4), Green);
}

TEST_F(RasterFixture, TexturedPlaneNearestAndLinear) {
  uint32_t texels[4] = {Red, Green, Blue, White};
  auto tex = Texture::fromPixels(2, 2, texels, 2);
  DrawState s;
  s.texture = tex.get();
  quad(2, {1, 1, 1, 1}, s);
  EXPECT_EQ(pic.at(1, 1), Red);
  EXPECT_EQ(pic.at(6, 1), Green);
  EXPECT_EQ(pic.at(1, 6), Blue);
  EXPECT_EQ(pic.at(6, 6), White);
  EXPECT_EQ(pic.count(Red) + pic.count(Green) + pic.count(Blue) + pic.count(White), 64);
  s.linear = true;
  raster.begin(pic.view(), viewport);
  quad(2, {1, 1, 1, 1}, s);
  uint32_t mid = pic.at(3, 1);  // between red and green
  EXPECT_GT((mid >> 16) & 0xFF, 40u);
  EXPECT_GT((mid >> 8) & 0xFF, 40u);
}

TEST_F(RasterFixture, FrontPlaneClipsBeforeTheDivide) {
  // The third corner is behind the eye; only the strip in front of the
  // front plane (screen rows 0 to 1.33) is drawn.
  raster.drawTriangle(corner(-1, 1, 2, {1, 0, 0, 1}), corner(1, 1, 2, {1, 0, 0, 1}), corner(0, -1, -1, {1, 0, 0, 1}), {});
  EXPECT_EQ(pic.count(Red), 8);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(pic.at(x, 0), Red);
}

TEST_F(RasterFixture, NonFiniteAndHugeCornersAreHarmless) {
  float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  raster.drawTriangle(corner(nan, 1, 2), corner(1, 1, 2), corner(-1, -1, 2), {});
  raster.drawTriangle(corner(-1, 1, inf), corner(1, 1, 2), corner(-1, -1, 2), {});
  raster.drawLine(corner(nan, 0, 2), corner(1, 1, 2));
  EXPECT_EQ(pic.count(Black), 64);
  raster.drawTriangle(corner(-1e30f, 1e30f, 2), corner(1e30f, 1e30f, 2), corner(-1, -1e30f, 2), {});
  raster.drawLine(corner(-1e30f, 0, 2), corner(1e30f, 0, 2));
  SUCCEED();
}

TEST_F(RasterFixture, FogModes) {
  Fog fog;
  fog.enabled = true;
  fog.start = 1, fog.end = 3;
  raster.setFog(fog);
  quad(2, {1, 1, 1, 1});
  EXPECT_EQ(pic.at(3, 3), 0xFF7F7F7Fu);  // halfway into linear fog
  fog.mode = 1;
  fog.density = 0.5f;
  raster.setFog(fog);
  raster.begin(pic.view(), viewport);
  quad(2, {1, 1, 1, 1});
  EXPECT_EQ(pic.at(3, 3), 0xFF5D5D5Du);  // e^-1 of the colour stays
  fog.mode = 2;
  raster.setFog(fog);
  raster.begin(pic.view(), viewport);
  quad(2, {1, 1, 1, 1});
  EXPECT_EQ(pic.at(3, 3), 0xFF5D5D5Du);  // (0.5 * 2)^2 = 1 as well
}

// Scenes drawn through a host, as a screen would.
struct SceneFixture : ::testing::Test {
  void SetUp() override { host.setTarget(pic.view()); }
  std::shared_ptr<MeshBuilder> square(float z, Color c, uint32_t q) {
    auto m = std::make_shared<MeshBuilder>();
    auto f = std::make_shared<Face>();
    float h = z / 2;
    for (Vec3 p : {Vec3{-h, h, z}, Vec3{h, h, z}, Vec3{h, -h, z}, Vec3{-h, -h, z}}) f->addVertex(p);
    m->addFace(f);
    m->color = c;
    m->quality = q;
    return m;
  }
  std::shared_ptr<Light> light(LightType t, Frame& on) {
    auto l = std::make_shared<Light>();
    l->type = t;
    on.lights.push_back(l);
    return l;
  }
  Picture pic;
  SceneHost host;
};

TEST_F(SceneFixture, LightingQualities) {
  host.scene()->visuals.push_back(square(2, {1, 0, 0, 1}, quality::Solid | quality::LightOn));
  host.render();
  EXPECT_EQ(pic.count(Black), 64);  // lit, but no light
  // A directional light from the scene shines along +z, straight at the face.
  light(LightType::Directional, *host.scene());
  host.render();
  EXPECT_EQ(pic.count(Red), 64);
  host.scene()->lights.clear();
  host.scene()->visuals[0] = square(2, {0, 1, 0, 1}, quality::Solid);  // unlit
  host.render();
  EXPECT_EQ(pic.count(Green), 64);
  host.scene()->visuals[0] = square(2, {0, 1, 0, 1}, quality::Wireframe);
  host.render();
  EXPECT_GT(pic.count(Green), 10);
  EXPECT_EQ(pic.at(3, 3), Black);
}

TEST_F(SceneFixture, GouraudFollowsCornerNormals) {
  auto m = square(2, {1, 1, 1, 1}, quality::Default);
  // Left corners face the light, right corners are edge-on to it.
  auto& c = m->faces[0]->corners;
  c[0].normal = c[3].normal = {0, 0, -1};
  c[1].normal = c[2].normal = {1, 0, 0};
  host.scene()->visuals.push_back(m);
  light(LightType::Directional, *host.scene());
  host.render();
  for (int x = 1; x < 8; ++x) EXPECT_LT(pic.at(x, 4) & 0xFF, pic.at(x - 1, 4) & 0xFF) << x;
  m->quality = quality::Solid | quality::LightOn | quality::Flat;
  host.render();
  EXPECT_EQ(pic.count(pic.at(0, 0)), 64);
}

TEST_F(SceneFixture, PointLightRangeAndBackground) {
  host.scene()->visuals.push_back(square(2, {1, 1, 1, 1}, quality::Default));
  auto lamp = Frame::create(host.scene());
  lamp->setPosition(nullptr, {0, 0, 0});
  auto l = light(LightType::Point, *lamp);
  l->range = 1;  // the face is 2 away
  host.scene()->sceneSettings().background = {0, 0, 1, 1};
  host.render();
  EXPECT_EQ(pic.at(4, 4), Black);
  EXPECT_EQ(host.renderer().rasteriser().filledTriangles(), 2u);
  l->range = 10;
  host.render();
  EXPECT_GT(pic.at(4, 4) & 0xFF, 200u);
  host.scene()->visuals.clear();
  host.render();
  EXPECT_EQ(pic.count(Blue), 64);
}

TEST_F(SceneFixture, SpotLightLightsOnlyItsCone) {
  host.scene()->visuals.push_back(square(2, {1, 1, 1, 1}, quality::Solid | quality::LightOn | quality::Gouraud));
  auto l = light(LightType::Spot, *host.camera());  // at the eye, along the view
  l->umbra = 0.1f, l->penumbra = 0.2f;
  host.render();
  EXPECT_EQ(pic.at(4, 4), Black);  // even the centre: the corners, where it is lit, are outside the cone
  l->umbra = 1.6f, l->penumbra = 1.7f;  // the corners are 0.62 rad off the axis
  host.render();
  EXPECT_GT(pic.at(0, 0) & 0xFF, 150u);
  l->umbra = 1.0f, l->penumbra = 1.5f;  // the corners fade: partly lit
  host.render();
  uint32_t faded = pic.at(0, 0) & 0xFF;
  EXPECT_GT(faded, 0u);
  EXPECT_LT(faded, 150u);
}

TEST_F(SceneFixture, CameraPlacementMovesTheView) {
  host.scene()->visuals.push_back(square(2, {1, 0, 0, 1}, quality::Solid));
  host.camera()->setPosition(host.scene().get(), {0, 0, 3});  // now past the square
  host.render();
  EXPECT_EQ(pic.count(Red), 0);
  host.camera()->setPosition(host.scene().get(), {0, 0, 0});
  host.camera()->setOrientation(host.scene().get(), {0, 0, -1}, {0, 1, 0});  // looking away
  host.render();
  EXPECT_EQ(pic.count(Red), 0);
}

TEST_F(SceneFixture, ShadowDarkensThePlaneOnce) {
  // A floor square facing the camera at z = 4, a small caster at z = 2 in
  // front of it, lit from the camera along +z.
  host.scene()->visuals.push_back(square(4, {1, 1, 1, 1}, quality::Solid));
  auto caster = std::make_shared<MeshBuilder>();
  auto f = std::make_shared<Face>();
  for (Vec3 p : {Vec3{-0.5f, 0.5f, 2}, Vec3{0.5f, 0.5f, 2}, Vec3{0.5f, -0.5f, 2}, Vec3{-0.5f, -0.5f, 2}})
    f->addVertex(p);
  caster->addFace(f);
  auto dl = light(LightType::Directional, *host.scene());
  auto shadow = std::make_shared<Shadow>();
  shadow->caster = caster;
  shadow->light = dl;
  shadow->planePoint = {0, 0, 4};
  shadow->planeNormal = {0, 0, -1};
  host.scene()->visuals.push_back(shadow);
  host.render();
  // The shadow lands at x, y in -0.5..0.5 at z 4: screen 3..5.
  EXPECT_EQ(pic.at(4, 4), 0xFF7F7F7Fu);
  EXPECT_EQ(pic.at(0, 0), White);
}

TEST_F(SceneFixture, ShadowPastTheSurfaceLeavesTheBackground) {
  // The same shadow, but the floor is only the picture's left half: the
  // part of the shadow over the background darkens nothing.
  auto floor = std::make_shared<MeshBuilder>();
  auto half = std::make_shared<Face>();
  for (Vec3 p : {Vec3{-4, 4, 4}, Vec3{0, 4, 4}, Vec3{0, -4, 4}, Vec3{-4, -4, 4}}) half->addVertex(p);
  floor->addFace(half);
  floor->color = {1, 1, 1, 1};
  floor->quality = quality::Solid;
  host.scene()->visuals.push_back(floor);
  host.scene()->sceneSettings().background = {0, 0, 1, 1};
  auto caster = std::make_shared<MeshBuilder>();
  auto f = std::make_shared<Face>();
  for (Vec3 p : {Vec3{-0.5f, 0.5f, 2}, Vec3{0.5f, 0.5f, 2}, Vec3{0.5f, -0.5f, 2}, Vec3{-0.5f, -0.5f, 2}})
    f->addVertex(p);
  caster->addFace(f);
  auto shadow = std::make_shared<Shadow>();
  shadow->caster = caster;
  shadow->light = light(LightType::Directional, *host.scene());
  shadow->planePoint = {0, 0, 4};
  shadow->planeNormal = {0, 0, -1};
  host.scene()->visuals.push_back(shadow);
  host.render();
  EXPECT_EQ(pic.at(3, 4), 0xFF7F7F7Fu) << "on the floor";
  EXPECT_EQ(pic.at(4, 4), Blue) << "over the background";
  EXPECT_EQ(pic.at(0, 0), White);
}

TEST(Scene3dWrap, ChromeFollowsTheCamera) {
  SceneHost host;
  auto m = std::make_shared<MeshBuilder>();
  auto f = std::make_shared<Face>();
  for (Vec3 p : {Vec3{-1, 1, 2}, Vec3{1, 1, 2}, Vec3{1, -1, 2}}) f->addVertex(p);
  m->addFace(f);
  Wrap chrome;
  chrome.type = WrapType::Chrome;
  chrome.reference = host.camera();
  chrome.apply(*m);
  ASSERT_TRUE(m->chrome);
  float u, v;
  chrome.coordinates({}, {1, 0, 0}, u, v);
  EXPECT_FLOAT_EQ(u, 1);
  EXPECT_FLOAT_EQ(v, 0.5f);
  Wrap flat;
  flat.su = 0.5f;
  flat.apply(*m);
  EXPECT_FLOAT_EQ(m->faces[0]->corners[1].u, 0.5f);
  EXPECT_FLOAT_EQ(m->faces[0]->corners[1].v, -1);
}

}  // namespace
