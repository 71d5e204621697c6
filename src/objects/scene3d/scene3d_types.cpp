// The member tables of the 3D types (104 to 114).
#include <cstdio>

#include "core/machine.h"
#include "objects/scene3d/scene3d_objects.h"
#include "scene3d/x_file.h"
#include "state/errors.h"

namespace kestrel::objects {

namespace {

using scene3d::Vec3;
using FrameRec = Holder<scene3d::Frame>;
using LightRec = Holder<scene3d::Light>;
using BuilderRec = Holder<scene3d::MeshBuilder>;
using WrapRec = Holder<scene3d::Wrap>;
using FaceRec = Holder<scene3d::Face>;

// The engine object of a record that must have one.
template <class T>
std::shared_ptr<T> shared(Holder<T>& h) {
  h.get();
  return h.held;
}

template <class T>
std::unique_ptr<Object> createHolder(Machine&, int type, int32_t) {
  return std::make_unique<Holder<T>>(type);
}
std::unique_ptr<Object> createVector(Machine&, int type, int32_t) { return std::make_unique<Vector3dRecord>(type); }

// Member 0 of lights, frames and mesh builders: the screen they belong to.
template <class R>
void setScreen(Machine& m, R& r) {
  r.screenIndex = readObjectOperand(m).index;
}

// "scene" in the members: the scene of the object's screen, or, when that
// screen has no scene (yet), the root of the frame's own tree.
const scene3d::Frame* sceneFor(Machine& m, const Scene3dRecord& r, scene3d::Frame& f) {
  if (auto host = sceneHosts(m).find(r.screenIndex)) return host->scene().get();
  return f.scene().get();
}

// ---- Light (104)

void lightCreate(Machine& m, LightRec& r) {
  r.held = makeLight(m);
  skipByte(m);
}
template <float scene3d::Light::*F>
void lightValue(Machine& m, LightRec& r) {
  float v = byteFloatOperand(m);
  skipByte(m);
  r.get().*F = v;
}

const Member<LightRec> kLightMembers[] = {
    {0, "Screen", "O", setScreen<LightRec>, nullptr, nullptr, "screen: the game screen the light belongs to"},
    {1, "Create", "bEbEbEbEb", lightCreate, nullptr, nullptr,
     "type (0 ambient, 1 point, 2 spot, 3 directional, 4 parallel point), red, green, blue: a new light in its place"},
    {2, "Penumbra", "bEb", lightValue<&scene3d::Light::penumbra>, nullptr, nullptr,
     "angle (radians) of a spot light's outer cone, beyond which it gives no light"},
    {3, "Umbra", "bEb", lightValue<&scene3d::Light::umbra>, nullptr, nullptr,
     "angle (radians) of a spot light's inner cone of full light"},
    {4, "Range", "bEb", lightValue<&scene3d::Light::range>, nullptr, nullptr,
     "distance beyond which a point or spot light gives no light"},
};

// ---- Frame (105)

void frameAddLight(Machine& m, FrameRec& r) {
  ObjectRef ref = byteReference(m);
  skipByte(m);
  auto& l = holderAt<scene3d::Light>(m, ref, type3d::Light);
  r.get().lights.push_back(shared(l));
}
void framePosition(Machine& m, FrameRec& r) {
  Vec3 p = byteVectorOperand(m);
  skipByte(m);
  r.get().setPosition(sceneFor(m, r, r.get()), p);
}
void frameOrientation(Machine& m, FrameRec& r) {
  Vec3 d = byteVectorOperand(m), u = byteVectorOperand(m);
  skipByte(m);
  r.get().setOrientation(sceneFor(m, r, r.get()), d, u);
}
void frameRotation(Machine& m, FrameRec& r) {
  Vec3 axis = byteVectorOperand(m);
  float theta = byteFloatOperand(m);
  skipByte(m);
  r.get().setRotation(sceneFor(m, r, r.get()), axis, theta);
}
void frameAddVisual(Machine& m, FrameRec& r) {
  auto v = visualOperand(m);
  skipByte(m);
  r.get().visuals.push_back(v);
}
void frameMove(Machine& m, FrameRec& r) {
  float delta = byteFloatOperand(m);
  skipByte(m);
  r.get().move(delta);
}
void frameTexture(Machine& m, FrameRec& r) {
  ObjectRef ref = byteReference(m);
  skipByte(m);
  auto& t = holderAt<scene3d::Texture>(m, ref, type3d::Texture);
  r.get().texture = shared(t);
}
void frameLookAt(Machine& m, FrameRec& r) {
  ObjectRef target = arrayReference(m);
  skipByte(m);
  m.evalRound();  // the constraint: the frame turns freely
  skipByte(m);
  auto& f = r.get();
  f.lookAt(holderAt<scene3d::Frame>(m, target, type3d::Frame).get(), sceneFor(m, r, f));
}
void frameLoad(Machine& m, FrameRec& r) {
  skipByte(m);
  Str file = m.evalString();
  skipByte(m);
  auto& f = r.get();
  auto mesh = std::make_shared<scene3d::MeshBuilder>();
  std::vector<uint8_t> bytes = quietFileBytes(m, file);
  if (bytes.empty()) return;
  auto result = scene3d::loadXFile({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, *mesh,
                                   [&m](const std::string& name) { return loadTexture(m, Str(name)); });
  if (!result.ok) {
    std::fprintf(stderr, "kestrel: mesh file \"%s\" not loaded: %s\n", file.str().c_str(), result.error.c_str());
    return;
  }
  f.visuals.push_back(mesh);
}
void frameCreateFrame(Machine& m, FrameRec& r) {
  ObjectRef ref = arrayReference(m);
  skipByte(m);
  auto parent = shared(r);
  holderAt<scene3d::Frame>(m, ref, type3d::Frame).held = scene3d::Frame::create(parent);
}
void frameBackgroundImage(Machine& m, FrameRec& r) {
  ObjectRef ref = byteReference(m);
  skipByte(m);
  auto& t = holderAt<scene3d::Texture>(m, ref, type3d::Texture);
  r.get().sceneSettings().backgroundImage = shared(t);
}
void frameBackgroundRgb(Machine& m, FrameRec& r) {
  scene3d::Color c = rgbOperands(m, false);
  skipByte(m);
  auto& s = r.get().sceneSettings();
  s.background = c;
  s.backgroundImage.reset();
}
void frameFogParams(Machine& m, FrameRec& r) {
  Vec3 v = byteVectorOperand(m);
  skipByte(m);
  auto& s = r.get().sceneSettings();
  s.fogStart = v.x, s.fogEnd = v.y, s.fogDensity = v.z;
}
void frameFogEnable(Machine& m, FrameRec& r) {
  bool on = truthOperand(m);
  r.get().sceneSettings().fogEnabled = on;
}
void frameFogColor(Machine& m, FrameRec& r) {
  uint32_t c = unsignedOperand(m);
  r.get().sceneSettings().fogColor = c;
}
void frameFogMode(Machine& m, FrameRec& r) {
  int32_t mode = numberOperand(m);
  if (mode >= 0 && mode <= 2) r.get().sceneSettings().fogMode = static_cast<scene3d::FogMode>(mode);
}
void frameAddScale(Machine& m, FrameRec& r) {
  skipByte(m);
  int32_t how = m.evalRound();
  Vec3 s = byteVectorOperand(m);
  skipByte(m);
  r.get().addScale(how == 1 ? scene3d::Combine::Before : how == 2 ? scene3d::Combine::After : scene3d::Combine::Replace,
                   s);
}
void frameDeleteVisual(Machine& m, FrameRec& r) {
  auto v = visualOperand(m);
  skipByte(m);
  r.get().deleteVisual(v);
}
void frameDeleteChild(Machine& m, FrameRec& r) {
  ObjectRef ref = arrayReference(m);
  skipByte(m);
  auto& f = r.get();
  f.deleteChild(holderAt<scene3d::Frame>(m, ref, type3d::Frame).held);
}
void frameAddChild(Machine& m, FrameRec& r) {
  ObjectRef ref = arrayReference(m);
  skipByte(m);
  auto& f = r.get();
  auto& child = holderAt<scene3d::Frame>(m, ref, type3d::Frame);
  child.get();
  // A frame under itself would make the scene endless: refused, as the
  // engine refuses it, and nothing changes.
  f.addChild(child.held);
}
void frameDeleteLight(Machine& m, FrameRec& r) {
  ObjectRef ref = arrayReference(m);
  skipByte(m);
  auto& f = r.get();
  f.deleteLight(holderAt<scene3d::Light>(m, ref, type3d::Light).held);
}

const Member<FrameRec> kFrameMembers[] = {
    {0, "Screen", "O", setScreen<FrameRec>, nullptr, nullptr, "screen: the game screen the frame belongs to"},
    {1, "AddLight", "Cb", frameAddLight, nullptr, nullptr, "light: shines from this frame, along its z axis"},
    {2, "Position", "bEbEbEb", framePosition, nullptr, nullptr, "x, y, z relative to the scene"},
    {3, "Orientation", "bEbEbEbEbEbEb", frameOrientation, nullptr, nullptr,
     "direction x, y, z, up x, y, z relative to the scene: where the frame's z and y axes point"},
    {4, "Rotation", "bEbEbEbEb", frameRotation, nullptr, nullptr,
     "axis x, y, z, angle: how far the frame turns about the axis for each unit of Move"},
    {5, "AddVisual", "Cb", frameAddVisual, nullptr, nullptr,
     "mesh (106), shadow (110) or mesh builder (any other type): shown in this frame"},
    {6, "Move", "bEb", frameMove, nullptr, nullptr, "delta: applies the velocities of this frame and those below it"},
    {7, "Texture", "Cb", frameTexture, nullptr, nullptr, "texture: for the frame's meshes that have none"},
    {8, "LookAt", "CbEb", frameLookAt, nullptr, nullptr, "frame, constraint: turns this frame towards the other"},
    {9, "Load", "bEb", frameLoad, nullptr, nullptr,
     "file name: adds the meshes of a text mesh file (a file that cannot be read adds nothing)"},
    {10, "CreateFrame", "Cb", frameCreateFrame, nullptr, nullptr, "frame: a new frame as a child of this one"},
    {11, "BackgroundImage", "Cb", frameBackgroundImage, nullptr, nullptr, "texture: stretched behind the scene"},
    {12, "BackgroundRGB", "bEbEbEb", frameBackgroundRgb, nullptr, nullptr, "red, green, blue: the scene's background"},
    {13, "FogParams", "bEbEbEb", frameFogParams, nullptr, nullptr,
     "start, end (linear fog), density (exponential fog) of the scene's fog"},
    {14, "FogEnable", "E", frameFogEnable, "", [](Machine&, FrameRec& r, EvalStacks& s) {
       pushBool(s, r.get().sceneSettings().fogEnabled);
     }, "fog on (nonzero) or off; reads 1 or 0"},
    {15, "FogColor", "E", frameFogColor, "", [](Machine&, FrameRec& r, EvalStacks& s) {
       s.pushNumber(r.get().sceneSettings().fogColor);
     }, "the fog's colour, 0xAARRGGBB"},
    {16, "FogMode", "E", frameFogMode, "", [](Machine&, FrameRec& r, EvalStacks& s) {
       s.pushNumber(static_cast<int>(r.get().sceneSettings().fogMode));
     }, "0 linear, 1 exponential, 2 exponential squared (other values leave it)"},
    {17, "AddScale", "bEbEbEbEb", frameAddScale, nullptr, nullptr,
     "combine (0 replace the transform, 1 before it, 2 after it), sx, sy, sz"},
    {18, "DeleteVisual", "Cb", frameDeleteVisual, nullptr, nullptr, "visual, named as for AddVisual: no longer shown here"},
    {19, "DeleteChild", "Cb", frameDeleteChild, nullptr, nullptr, "frame: taken out of this one"},
    {20, "AddChild", "Cb", frameAddChild, nullptr, nullptr,
     "frame: moved under this one (refused when this frame is that frame or lies below it)"},
    {21, "DeleteLight", "Cb", frameDeleteLight, nullptr, nullptr, "light: no longer shines from here"},
};

// ---- Mesh builder (107)

void builderLoad(Machine& m, BuilderRec& r) {
  skipByte(m);
  Str file = m.evalString();
  skipByte(m);
  auto& b = r.get();
  std::vector<uint8_t> bytes = quietFileBytes(m, file);
  if (bytes.empty()) return;
  auto result = scene3d::loadXFile({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, b,
                                   [&m](const std::string& name) { return loadTexture(m, Str(name)); });
  if (!result.ok)
    std::fprintf(stderr, "kestrel: mesh file \"%s\" not loaded: %s\n", file.str().c_str(), result.error.c_str());
}
void builderScale(Machine& m, BuilderRec& r) {
  Vec3 s = byteVectorOperand(m);
  skipByte(m);
  r.get().scale(s);
}
template <bool Alpha>
void builderColor(Machine& m, BuilderRec& r) {
  scene3d::Color c = rgbOperands(m, Alpha);
  skipByte(m);
  r.get().setColor(c);
}
void builderTexture(Machine& m, BuilderRec& r) {
  ObjectRef ref = byteReference(m);
  skipByte(m);
  auto& t = holderAt<scene3d::Texture>(m, ref, type3d::Texture);
  r.get().texture = shared(t);
}
void builderCreateMesh(Machine& m, BuilderRec& r) {
  ObjectRef ref = byteReference(m);
  skipByte(m);
  auto& b = r.get();
  holderAt<scene3d::MeshBuilder>(m, ref, type3d::Mesh).held = b.snapshot();
}
void builderLoadTexture(Machine& m, BuilderRec& r) {
  skipByte(m);
  Str file = m.evalString();
  skipByte(m);
  auto& b = r.get();
  b.texture = loadTexture(m, file);
}
void builderQuality(Machine& m, BuilderRec& r) {
  skipByte(m);
  uint32_t q = static_cast<uint32_t>(m.evalRound());
  skipByte(m);
  r.get().quality = q;
}
void builderAddFace(Machine& m, BuilderRec& r) {
  ObjectRef ref = arrayReference(m);
  skipByte(m);
  auto& b = r.get();
  auto& f = holderAt<scene3d::Face>(m, ref, type3d::Face);
  f.get();
  b.addFace(f.held);
}
void builderGetFace(Machine& m, BuilderRec& r) {
  skipByte(m);
  int32_t index = m.evalTrunc();
  ObjectRef ref = arrayReference(m);
  skipByte(m);
  auto face = r.get().face(index);
  if (!face) raiseListIndex(index);
  holderAt<scene3d::Face>(m, ref, type3d::Face).held = face;
}
void builderCreateFace(Machine& m, BuilderRec& r) {
  ObjectRef ref = arrayReference(m);
  skipByte(m);
  auto face = std::make_shared<scene3d::Face>();
  r.get().addFace(face);
  holderAt<scene3d::Face>(m, ref, type3d::Face).held = face;
}
void builderDeleteFace(Machine& m, BuilderRec& r) {
  ObjectRef ref = arrayReference(m);
  skipByte(m);
  auto& b = r.get();
  b.deleteFace(holderAt<scene3d::Face>(m, ref, type3d::Face).held);
}
Vec3 threeFloats(Machine& m) {
  float x = floatOperand(m);
  float y = floatOperand(m);
  return {x, y, floatOperand(m)};
}

const Member<BuilderRec> kBuilderMembers[] = {
    {0, "Screen", "O", setScreen<BuilderRec>, nullptr, nullptr, "screen: the game screen the mesh builder belongs to"},
    {1, "Load", "bEb", builderLoad, nullptr, nullptr,
     "file name: adds the faces of a text mesh file (a file that cannot be read adds nothing)"},
    {2, "Scale", "bEbEbEb", builderScale, nullptr, nullptr, "sx, sy, sz: scales every vertex"},
    {3, "Color", "bEbEbEbEb", builderColor<true>, nullptr, nullptr,
     "red, green, blue, alpha (0..1, each clamped): the colour of every face"},
    {4, "Texture", "Cb", builderTexture, nullptr, nullptr, "texture: laid on the faces"},
    {5, "CreateMesh", "Cb", builderCreateMesh, nullptr, nullptr, "mesh: a copy of the builder as it stands now"},
    {6, "LoadTexture", "bEb", builderLoadTexture, nullptr, nullptr, "file name: loads an image file and lays it on the faces"},
    {7, "ColorRGB", "bEbEbEb", builderColor<false>, nullptr, nullptr, "red, green, blue (0..1, each clamped), opaque"},
    {8, "Quality", "bEb", builderQuality, nullptr, nullptr,
     "shading (0 flat, 1 Gouraud, 2 Phong drawn as Gouraud) + 8 for lighting + 64 wireframe or 128 solid"},
    {9, "AddFace", "Cb", builderAddFace, nullptr, nullptr, "face: becomes one of the builder's faces"},
    {10, "GetFace", "bECb", builderGetFace, nullptr, nullptr, "index (truncated), face: the builder's face at that index"},
    {11, "CreateFace", "Cb", builderCreateFace, nullptr, nullptr, "face: a new, empty face of the builder"},
    {12, "DeleteFace", "Cb", builderDeleteFace, nullptr, nullptr, "face: taken out of the builder"},
    {13, "FaceCount", nullptr, nullptr, "", [](Machine&, BuilderRec& r, EvalStacks& s) {
       s.pushNumber(static_cast<double>(r.get().faces.size()));
     }, "the number of faces"},
    {14, "Translate", "EEE", [](Machine& m, BuilderRec& r) {
       Vec3 t = threeFloats(m);
       r.get().translate(t);
     }, nullptr, nullptr, "tx, ty, tz: moves every vertex"},
    {15, "AddVertex", "EEE", [](Machine& m, BuilderRec& r) {
       Vec3 p = threeFloats(m);
       r.get().vertices.push_back(p);
     }, nullptr, nullptr, "x, y, z: adds a vertex to the builder's list"},
};

// ---- Wrap (109)

void applyTo(const scene3d::Wrap& w, scene3d::Visual& v, const scene3d::Mat4& transform) {
  if (v.kind != scene3d::Visual::Kind::Shadow) w.apply(static_cast<scene3d::MeshBuilder&>(v), transform);
}

const Member<WrapRec> kWrapMembers[] = {
    {0, "Apply", "Cb", [](Machine& m, WrapRec& r) {
       auto v = visualOperand(m);
       skipByte(m);
       applyTo(r.get(), *v, {});
     }, nullptr, nullptr, "visual (named as for a frame's AddVisual): sets its texture coordinates"},
    {1, "ApplyRelative", "CCb", [](Machine& m, WrapRec& r) {
       ObjectRef frame = arrayReference(m);
       auto v = visualOperand(m);
       skipByte(m);
       applyTo(r.get(), *v, holderAt<scene3d::Frame>(m, frame, type3d::Frame).get().worldTransform());
     }, nullptr, nullptr, "frame, visual: as Apply, with the visual placed by the frame"},
};

// ---- Vector (113)

template <int N>
void vectorWrite(Machine& m, Vector3dRecord& v) {
  v.v[N] = floatOperand(m);
}
template <int N>
void vectorRead(Machine&, Vector3dRecord& v, EvalStacks& s) {
  s.pushNumber(v.v[N]);
}

const Member<Vector3dRecord> kVectorMembers[] = {
    {0, "X", "E", vectorWrite<0>, "", vectorRead<0>, "x (single precision; 0 until set)"},
    {1, "Y", "E", vectorWrite<1>, "", vectorRead<1>, "y"},
    {2, "Z", "E", vectorWrite<2>, "", vectorRead<2>, "z"},
    {3, "VX", "E", vectorWrite<0>, "", vectorRead<0>, "x again (the same field as X)"},
    {4, "VY", "E", vectorWrite<1>, "", vectorRead<1>, "y again"},
    {5, "VZ", "E", vectorWrite<2>, "", vectorRead<2>, "z again"},
};

// ---- Face (114)

void faceGetVertex(Machine& m, FaceRec& r) {
  skipByte(m);
  int32_t index = m.evalTrunc();
  const int type = m.u8();
  ObjectRef refs[2];
  for (auto& ref : refs) {
    const int kind = m.u8();
    ref.type = type;
    if (kind == 12) {
      ref.index = parameterIndex(m, m.u8());
    } else {
      const int32_t number = m.s16();
      ref.index = kind == 29 ? static_cast<int32_t>(m.objectArrayIndex(type, number)) : number;
    }
  }
  auto& f = r.get();
  if (index < 0 || static_cast<size_t>(index) >= f.corners.size()) raiseListIndex(index);
  const auto& c = f.corners[static_cast<size_t>(index)];
  Vec3 normal = dot(c.normal, c.normal) > 0 ? c.normal : f.normal();
  auto& pos = static_cast<Vector3dRecord&>(world(m).at(refs[0].type, refs[0].index, type3d::Vector));
  auto& nor = static_cast<Vector3dRecord&>(world(m).at(refs[1].type, refs[1].index, type3d::Vector));
  pos.v[0] = c.position.x, pos.v[1] = c.position.y, pos.v[2] = c.position.z;
  nor.v[0] = normal.x, nor.v[1] = normal.y, nor.v[2] = normal.z;
}

const Member<FaceRec> kFaceMembers[] = {
    {0, "AddVertex", "EEE", [](Machine& m, FaceRec& r) {
       Vec3 p = threeFloats(m);
       r.get().addVertex(p);
     }, nullptr, nullptr, "x, y, z: adds a corner (corners go clockwise round the front)"},
    {1, "GetVertex", "bEM", faceGetVertex, nullptr, nullptr,
     "index (truncated), two vectors (one type code for both): the corner's position and normal"},
    {2, "ColorRGB", "EEE", [](Machine& m, FaceRec& r) {
       float cr = floatOperand(m), cg = floatOperand(m), cb = floatOperand(m);
       r.get().color = scene3d::unpackColor(scene3d::packColor({cr, cg, cb, 1}));
     }, nullptr, nullptr, "red, green, blue (0..1, each clamped): the face's own colour"},
    {3, "VertexCount", nullptr, nullptr, "", [](Machine&, FaceRec& r, EvalStacks& s) {
       s.pushNumber(static_cast<double>(r.get().corners.size()));
     }, "the number of corners"},
};


}  // namespace

void registerScene3dTypes(TypeRegistry& registry) {
  registry.add(describeType(type3d::Light, "light3d", kLightMembers, createHolder<scene3d::Light>));
  registry.add(describeType(type3d::Frame, "frame3d", kFrameMembers, createHolder<scene3d::Frame>));
  registry.add(describeType<BuilderRec>(type3d::Mesh, "mesh3d", nullptr, 0, createHolder<scene3d::MeshBuilder>));
  registry.add(describeType(type3d::MeshBuilder, "meshbuilder3d", kBuilderMembers, createHolder<scene3d::MeshBuilder>));
  registry.add(describeType<Holder<scene3d::Texture>>(type3d::Texture, "texture3d", nullptr, 0,
                                                      createHolder<scene3d::Texture>));
  registry.add(describeType(type3d::Wrap, "wrap3d", kWrapMembers, createHolder<scene3d::Wrap>));
  registry.add(describeType<VisualHolder>(type3d::Visual, "visual3d", nullptr, 0, createHolder<scene3d::Visual>));
  registry.add(describeType<Holder<scene3d::Animation>>(type3d::Animation, "animation3d", nullptr, 0,
                                                        createHolder<scene3d::Animation>));
  registry.add(describeType<Holder<scene3d::AnimationSet>>(type3d::AnimationSet, "animationset3d", nullptr, 0,
                                                           createHolder<scene3d::AnimationSet>));
  registry.add(describeType(type3d::Vector, "vector3d", kVectorMembers, createVector));
  registry.add(describeType(type3d::Face, "face3d", kFaceMembers, createHolder<scene3d::Face>));
}

}  // namespace kestrel::objects
