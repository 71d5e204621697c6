#include "objects/scene3d/scene3d_objects.h"

#include <cstdio>

#include "core/machine.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "scene3d/x_file.h"
#include "state/errors.h"
#include "toolkit/surface.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {
constexpr int kKindParameter = 12;
constexpr int kKindArrayElement = 29;

struct SceneHosts : FamilyState {
  explicit SceneHosts(Machine&) {}
  scene3d::SceneHostRegistry registry;
};

int32_t indexOf(Machine& m, int type, int kind, bool resolveArrays) {
  if (kind == kKindParameter) return parameterIndex(m, m.u8());
  const int32_t number = m.s16();
  if (resolveArrays && kind == kKindArrayElement) return static_cast<int32_t>(m.objectArrayIndex(type, number));
  return resolveArrays ? number : (number & 0xFF);
}
}  // namespace

void raiseNotCreated(int type, int32_t index) {
  raise("3D object not created (type " + std::to_string(type) + ", index " + std::to_string(index) + ")");
}

scene3d::SceneHostRegistry& sceneHosts(Machine& m) { return world(m).state<SceneHosts>().registry; }

scene3d::SceneHost& sceneHostOf(Machine& m, int32_t screenIndex) {
  auto host = sceneHosts(m).find(screenIndex);
  if (!host) raiseNotCreated(type3d::Screen, screenIndex);
  return *host;
}

ObjectRef byteReference(Machine& m) {
  const int type = m.u8();
  const int kind = m.u8();
  return {type, indexOf(m, type, kind, false)};
}

ObjectRef arrayReference(Machine& m) {
  const int type = m.u8();
  const int kind = m.u8();
  return {type, indexOf(m, type, kind, true)};
}

std::shared_ptr<scene3d::Visual> visualOperand(Machine& m) {
  const int type = m.u8();
  const int kind = m.u8();
  const int32_t index = indexOf(m, type, kind, true);
  const int chosen = kind == kKindParameter ? type3d::MeshBuilder
                     : type == type3d::Mesh || type == type3d::Visual ? type
                                                                      : type3d::MeshBuilder;
  Object& o = world(m).at(chosen, index, chosen);
  if (chosen == type3d::Visual) {
    auto& h = static_cast<VisualHolder&>(o);
    h.get();
    return h.held;
  }
  auto& h = static_cast<Holder<scene3d::MeshBuilder>&>(o);  // meshes are builders kept as they stood
  h.get();
  return h.held;
}

float floatOperand(Machine& m) { return static_cast<float>(m.evalNumber()); }
float byteFloatOperand(Machine& m) {
  skipByte(m);
  return floatOperand(m);
}
scene3d::Vec3 byteVectorOperand(Machine& m) {
  float x = byteFloatOperand(m);
  float y = byteFloatOperand(m);
  return {x, y, byteFloatOperand(m)};
}

std::vector<uint8_t> quietFileBytes(Machine& m, const Str& file) {
  std::vector<uint8_t> bytes;
  if (sandboxed(m) || !platform::readFileBytes(platform::translatePath(file.view()), bytes)) {
    std::fprintf(stderr, "kestrel: cannot read \"%s\"\n", file.str().c_str());
    bytes.clear();
  }
  return bytes;
}

std::shared_ptr<scene3d::Texture> loadTexture(Machine& m, const Str& file) {
  std::vector<uint8_t> bytes = quietFileBytes(m, file);
  std::shared_ptr<scene3d::Texture> texture;
  if (!bytes.empty()) {
    std::unique_ptr<gui::Surface> picture = toolkit().createSurface(0, 0, gui::kWhite);
    if (picture->load(bytes.data(), bytes.size())) {
      gui::PixelView px = picture->pixelView();
      if (!px.empty()) texture = scene3d::Texture::fromPixels(px.width, px.height, px.pixels, px.stride);
    }
  }
  if (!texture) {
    std::fprintf(stderr, "kestrel: \"%s\" is not a picture that can be a texture\n", file.str().c_str());
    texture = std::make_shared<scene3d::Texture>();  // draws as plain white
  }
  texture->name = file.str();
  return texture;
}

namespace {

template <class T>
Holder<T>& created(Machine& m, ObjectRef ref, int type, int32_t screen, bool setScreen) {
  auto& h = holderAt<T>(m, ref, type);
  h.held = std::make_shared<T>();
  if (setScreen) h.screenIndex = screen;
  return h;
}

scene3d::Frame& frameAt(Machine& m, ObjectRef ref) { return holderAt<scene3d::Frame>(m, ref, type3d::Frame).get(); }
std::shared_ptr<scene3d::Light> lightShared(Machine& m, ObjectRef ref) {
  auto& h = holderAt<scene3d::Light>(m, ref, type3d::Light);
  h.get();
  return h.held;
}
std::shared_ptr<scene3d::Texture> textureShared(Machine& m, ObjectRef ref) {
  auto& h = holderAt<scene3d::Texture>(m, ref, type3d::Texture);
  h.get();
  return h.held;
}

}  // namespace

scene3d::Color rgbOperands(Machine& m, bool alpha) {
  scene3d::Color c;
  c.r = byteFloatOperand(m);
  c.g = byteFloatOperand(m);
  c.b = byteFloatOperand(m);
  c.a = alpha ? byteFloatOperand(m) : 1.0f;
  // Through the packed form, as the colour is kept: each component clamped.
  return scene3d::unpackColor(scene3d::packColor(c));
}

std::shared_ptr<scene3d::Light> makeLight(Machine& m) {
  auto l = std::make_shared<scene3d::Light>();
  skipByte(m);
  l->type = scene3d::lightTypeOf(m.evalRound());
  l->color = rgbOperands(m, false);
  return l;
}

// ---- The screen's members.

void screenCreateLight(Machine& m, scene3d::SceneHost&, int32_t) {
  auto light = makeLight(m);
  ObjectRef ref = byteReference(m);
  skipByte(m);
  holderAt<scene3d::Light>(m, ref, type3d::Light).held = light;
}

void screenCreateFrame(Machine& m, scene3d::SceneHost& host, int32_t screen) {
  ObjectRef ref = arrayReference(m);
  skipByte(m);
  auto& h = holderAt<scene3d::Frame>(m, ref, type3d::Frame);
  h.held = scene3d::Frame::create(host.scene());
  h.screenIndex = screen;
}

void screenAddLight(Machine& m, scene3d::SceneHost& host) {
  ObjectRef ref = byteReference(m);
  skipByte(m);
  host.scene()->lights.push_back(lightShared(m, ref));
}

void screenCameraPosition(Machine& m, scene3d::SceneHost& host) {
  scene3d::Vec3 p = byteVectorOperand(m);
  skipByte(m);
  host.camera()->setPosition(host.scene().get(), p);
}

void screenCameraOrientation(Machine& m, scene3d::SceneHost& host) {
  scene3d::Vec3 d = byteVectorOperand(m), u = byteVectorOperand(m);
  skipByte(m);
  host.camera()->setOrientation(host.scene().get(), d, u);
}

void screenCreateMeshBuilder(Machine& m, int32_t screen) {
  ObjectRef ref = arrayReference(m);
  skipByte(m);
  created<scene3d::MeshBuilder>(m, ref, type3d::MeshBuilder, screen, true);
}

void screenLoadTexture(Machine& m) {
  skipByte(m);
  Str file = m.evalString();
  ObjectRef ref = byteReference(m);
  skipByte(m);
  holderAt<scene3d::Texture>(m, ref, type3d::Texture).held = loadTexture(m, file);
}

void screenBackgroundImage(Machine& m, scene3d::SceneHost& host) {
  ObjectRef ref = byteReference(m);
  skipByte(m);
  host.scene()->sceneSettings().backgroundImage = textureShared(m, ref);
}

void screenCreateWrap(Machine& m, scene3d::SceneHost& host) {
  auto w = std::make_shared<scene3d::Wrap>();
  skipByte(m);
  int type = m.evalRound();
  float v[13];
  for (float& x : v) x = byteFloatOperand(m);
  w->type = type >= 0 && type <= 3 ? static_cast<scene3d::WrapType>(type) : scene3d::WrapType::Flat;
  w->origin = {v[0], v[1], v[2]};
  w->direction = {v[3], v[4], v[5]};
  w->up = {v[6], v[7], v[8]};
  w->ou = v[9], w->ov = v[10], w->su = v[11], w->sv = v[12];
  // Only a chrome wrap has a reference frame: the camera.
  if (w->type == scene3d::WrapType::Chrome) w->reference = host.camera();
  ObjectRef ref = byteReference(m);
  skipByte(m);
  holderAt<scene3d::Wrap>(m, ref, type3d::Wrap).held = w;
}

void screenCreateShadow(Machine& m) {
  ObjectRef builder = arrayReference(m);
  ObjectRef light = byteReference(m);
  auto s = std::make_shared<scene3d::Shadow>();
  s->planePoint = byteVectorOperand(m);
  s->planeNormal = byteVectorOperand(m);
  ObjectRef visual = byteReference(m);
  skipByte(m);
  s->caster = holderAt<scene3d::MeshBuilder>(m, builder, type3d::MeshBuilder).held;
  if (!s->caster) raiseNotCreated(type3d::MeshBuilder, builder.index);
  s->light = lightShared(m, light);
  holderAt<scene3d::Visual>(m, visual, type3d::Visual).held = s;
}

void screenCameraLookAt(Machine& m, scene3d::SceneHost& host) {
  ObjectRef target = arrayReference(m);
  skipByte(m);
  m.evalRound();  // the constraint: the camera turns freely
  skipByte(m);
  host.camera()->lookAt(frameAt(m, target), host.scene().get());
}

void screenCreateAnimation(Machine& m, int32_t screen) {
  ObjectRef ref = arrayReference(m);
  skipByte(m);
  created<scene3d::Animation>(m, ref, type3d::Animation, screen, true);
}

void screenCreateAnimationSet(Machine& m, int32_t screen) {
  ObjectRef ref = arrayReference(m);
  skipByte(m);
  created<scene3d::AnimationSet>(m, ref, type3d::AnimationSet, screen, true);
}

void screenCameraVelocity(Machine& m, scene3d::SceneHost& host) {
  scene3d::Vec3 v = byteVectorOperand(m);
  bool rotate = byteFloatOperand(m) != 0;
  skipByte(m);
  host.camera()->setVelocity(host.scene().get(), v, rotate);
}

void screenCreateFace(Machine& m) {
  ObjectRef ref = arrayReference(m);
  skipByte(m);
  holderAt<scene3d::Face>(m, ref, type3d::Face).held = std::make_shared<scene3d::Face>();
}

void screenForceUpdate(Machine& m) {
  for (int i = 0; i < 4; ++i) m.evalNumber();
}

void screenViewPlane(Machine& m, scene3d::SceneHost& host) {
  float l = floatOperand(m), r = floatOperand(m), b = floatOperand(m);
  host.viewport().setPlane(l, r, b, floatOperand(m));
}

}  // namespace kestrel::objects
