#pragma once
// The 3D object types (104 to 114): thin records around the engine's
// lights, frames, meshes, textures, wraps, shadows, animations, vectors and
// faces, and the screen's members that create and place them. A record
// holds its engine object (empty until a member creates it) and the index
// of the game screen whose scene it belongs to; the screen's SceneHost is
// found through the registry of this program's hosts.
#include <memory>
#include <string>
#include <vector>

#include "objects/member_operands.h"
#include "objects/object_model.h"
#include "scene3d/animation.h"
#include "scene3d/frame.h"
#include "scene3d/scene_host.h"
#include "scene3d/wrap.h"

namespace kestrel::objects {

namespace type3d {
constexpr int Screen = 100, Light = 104, Frame = 105, Mesh = 106, MeshBuilder = 107, Texture = 108, Wrap = 109,
              Visual = 110, Animation = 111, AnimationSet = 112, Vector = 113, Face = 114;
}

// One record of types 104-112 and 114.
class Scene3dRecord : public Object {
 public:
  explicit Scene3dRecord(int type) : Object(type) {}
  int32_t screenIndex = 0;
};

template <class T>
class Holder : public Scene3dRecord {
 public:
  explicit Holder(int type) : Scene3dRecord(type) {}
  std::shared_ptr<T> held;
  // The engine object; "3D object not created (type T, index I)" while empty.
  T& get() const;
};

// A visual slot holds a mesh builder, a mesh or a shadow.
using VisualHolder = Holder<scene3d::Visual>;

// Vector records (113): three floats, zero until set.
class Vector3dRecord : public Object {
 public:
  explicit Vector3dRecord(int type) : Object(type) {}
  float v[3] = {0, 0, 0};
};

[[noreturn]] void raiseNotCreated(int type, int32_t index);

template <class T>
T& Holder<T>::get() const {
  if (!held) raiseNotCreated(classCode(), tag);
  return *held;
}

// This program's scene hosts, by screen object index.
scene3d::SceneHostRegistry& sceneHosts(Machine& m);
// The host of a screen; "3D object not created (type 100, index I)" when
// that screen has none.
scene3d::SceneHost& sceneHostOf(Machine& m, int32_t screenIndex);

// Object references of the 3D members: type code first, then kind; a
// (byte) reference keeps the low 8 bits of its index and resolves no array
// element, an (array) one resolves kind 29.
ObjectRef byteReference(Machine& m);
ObjectRef arrayReference(Machine& m);
template <class T>
Holder<T>& holderAt(Machine& m, ObjectRef ref, int type) {
  return static_cast<Holder<T>&>(world(m).at(ref.type, ref.index, type));
}
// The visual an operand names: type 106 a mesh, 110 a shadow, any other
// code (and any parameter) a mesh builder.
std::shared_ptr<scene3d::Visual> visualOperand(Machine& m);
float floatOperand(Machine& m);            // one expression as single precision
float byteFloatOperand(Machine& m);        // b e
scene3d::Vec3 byteVectorOperand(Machine& m);  // b e b e b e
// b e b e b e (b e): red, green, blue (alpha), each clamped to 0..1.
scene3d::Color rgbOperands(Machine& m, bool alpha);
// b e, then the colour: type, red, green, blue; a new light.
std::shared_ptr<scene3d::Light> makeLight(Machine& m);
std::shared_ptr<scene3d::Texture> loadTexture(Machine& m, const Str& file);
std::vector<uint8_t> quietFileBytes(Machine& m, const Str& file);  // empty when unreadable

// The screen's statement members that work on its scene (codes 38 to 71).
// Screen is the game screen type; it needs only `sceneHost()`, giving the
// SceneHost& it owns. Its object index is the record's tag.
void screenCreateLight(Machine& m, scene3d::SceneHost& host, int32_t screen);
void screenCreateFrame(Machine& m, scene3d::SceneHost& host, int32_t screen);
void screenAddLight(Machine& m, scene3d::SceneHost& host);
void screenCameraPosition(Machine& m, scene3d::SceneHost& host);
void screenCameraOrientation(Machine& m, scene3d::SceneHost& host);
void screenCreateMeshBuilder(Machine& m, int32_t screen);
void screenLoadTexture(Machine& m);
void screenBackgroundImage(Machine& m, scene3d::SceneHost& host);
void screenCreateWrap(Machine& m, scene3d::SceneHost& host);
void screenCreateShadow(Machine& m);
void screenCameraLookAt(Machine& m, scene3d::SceneHost& host);
void screenCreateAnimation(Machine& m, int32_t screen);
void screenCreateAnimationSet(Machine& m, int32_t screen);
void screenCameraVelocity(Machine& m, scene3d::SceneHost& host);
void screenCreateFace(Machine& m);
void screenForceUpdate(Machine& m);
void screenViewPlane(Machine& m, scene3d::SceneHost& host);

template <class Screen>
void addScreen3dMembers(std::vector<Member<Screen>>& rows) {
  rows.insert(rows.end(), {
    {38, "CreateLight", "bEbEbEbECb", [](Machine& m, Screen& s) { screenCreateLight(m, s.sceneHost(), s.tag); },
     nullptr, nullptr, "type (0 ambient, 1 point, 2 spot, 3 directional, 4 parallel point), red, green, blue (0..1), light: creates the light"},
    {39, "CreateFrame", "Cb", [](Machine& m, Screen& s) { screenCreateFrame(m, s.sceneHost(), s.tag); },
     nullptr, nullptr, "frame: creates it as a child of the scene, belonging to this screen"},
    {40, "AddLight", "Cb", [](Machine& m, Screen& s) { screenAddLight(m, s.sceneHost()); },
     nullptr, nullptr, "light: adds it to the scene"},
    {41, "CameraPosition", "bEbEbEb", [](Machine& m, Screen& s) { screenCameraPosition(m, s.sceneHost()); },
     nullptr, nullptr, "x, y, z: places the camera, relative to the scene"},
    {42, "CameraOrientation", "bEbEbEbEbEbEb", [](Machine& m, Screen& s) { screenCameraOrientation(m, s.sceneHost()); },
     nullptr, nullptr, "direction x, y, z, up x, y, z: turns the camera, relative to the scene"},
    {43, "CreateMeshBuilder", "Cb", [](Machine& m, Screen& s) { screenCreateMeshBuilder(m, s.tag); },
     nullptr, nullptr, "mesh builder: creates an empty one belonging to this screen"},
    {44, "Render3D", "", [](Machine&, Screen& s) { s.render3d(); },
     nullptr, nullptr, "draws the scene into the back buffer (when the screen was set up for 3D)"},
    {45, "SceneMove", "E", [](Machine& m, Screen& s) { s.sceneHost().scene()->move(floatOperand(m)); },
     nullptr, nullptr, "delta: applies every frame's velocities for that much time"},
    {47, "RenderMode", "E", [](Machine& m, Screen& s) { s.sceneHost().device().renderMode = unsignedOperand(m); },
     nullptr, nullptr, "render mode flags of the 3D device (kept; no effect)"},
    {48, "ForceUpdate", "EEEE", [](Machine& m, Screen&) { screenForceUpdate(m); },
     nullptr, nullptr, "left, top, right, bottom: nothing to do, every render draws the whole view"},
    {49, "LoadTexture", "bECb", [](Machine& m, Screen&) { screenLoadTexture(m); },
     nullptr, nullptr, "file name, texture: loads an image file as a texture"},
    {50, "SceneBackgroundImage", "Cb", [](Machine& m, Screen& s) { screenBackgroundImage(m, s.sceneHost()); },
     nullptr, nullptr, "texture: stretched behind the scene"},
    {51, "CreateWrap", "bEbEbEbEbEbEbEbEbEbEbEbEbEbECb", [](Machine& m, Screen& s) { screenCreateWrap(m, s.sceneHost()); },
     nullptr, nullptr, "type (0 flat, 1 cylinder, 2 sphere, 3 chrome), origin, direction, up, offset u, v, scale u, v, wrap"},
    {54, "CreateShadow", "CCbEbEbEbEbEbECb", [](Machine& m, Screen&) { screenCreateShadow(m); },
     nullptr, nullptr, "mesh builder, light, plane point x, y, z, plane normal x, y, z, visual: the mesh's shadow on the plane"},
    {55, "TextureQuality", "E", [](Machine& m, Screen& s) { s.sceneHost().device().textureQuality = unsignedOperand(m); },
     nullptr, nullptr, "0 nearest texel, 1 linear filtering"},
    {56, "ViewportClear", "", [](Machine&, Screen& s) { s.sceneHost().clear(); },
     nullptr, nullptr, "clears the view to the scene's background"},
    {57, "CameraLookAt", "CbEb", [](Machine& m, Screen& s) { screenCameraLookAt(m, s.sceneHost()); },
     nullptr, nullptr, "frame, constraint: turns the camera towards the frame"},
    {58, "CreateAnimation", "Cb", [](Machine& m, Screen& s) { screenCreateAnimation(m, s.tag); },
     nullptr, nullptr, "animation: creates an empty one"},
    {59, "CreateAnimationSet", "Cb", [](Machine& m, Screen& s) { screenCreateAnimationSet(m, s.tag); },
     nullptr, nullptr, "animation set: creates an empty one"},
    {60, "FrontClip", "E", [](Machine& m, Screen& s) { s.sceneHost().viewport().front = floatOperand(m); },
     nullptr, nullptr, "the nearest distance drawn (1 at first)"},
    {61, "BackClip", "E", [](Machine& m, Screen& s) { s.sceneHost().viewport().back = floatOperand(m); },
     nullptr, nullptr, "the farthest distance drawn (100 at first)"},
    {62, "ViewPlane", "EEEE", [](Machine& m, Screen& s) { screenViewPlane(m, s.sceneHost()); },
     nullptr, nullptr, "left, right, bottom, top of the view at distance 1"},
    {63, "FrontClipping", nullptr, nullptr,
     "", [](Machine&, Screen& s, EvalStacks& st) { st.pushNumber(s.sceneHost().viewport().front); },
     "the nearest distance drawn"},
    {64, "BackClipping", nullptr, nullptr,
     "", [](Machine&, Screen& s, EvalStacks& st) { st.pushNumber(s.sceneHost().viewport().back); },
     "the farthest distance drawn"},
    {66, "CameraVelocity", "bEbEbEbEb", [](Machine& m, Screen& s) { screenCameraVelocity(m, s.sceneHost()); },
     nullptr, nullptr, "x, y, z, rotate: the camera's velocity for SceneMove (rotate nonzero: it turns with the camera)"},
    {71, "CreateFace", "Cb", [](Machine& m, Screen&) { screenCreateFace(m); },
     nullptr, nullptr, "face: creates an empty one"},
  });
}

}  // namespace kestrel::objects
