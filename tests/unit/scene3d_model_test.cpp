// The 3D scene graph, mesh builders and the mesh file reader.
#include <gtest/gtest.h>

#include <numbers>

#include "scene3d/animation.h"
#include "scene3d/frame.h"
#include "scene3d/scene_host.h"
#include "scene3d/x_file.h"

using namespace kestrel::scene3d;

namespace {

void expectNear(Vec3 a, Vec3 b) {
  EXPECT_NEAR(a.x, b.x, 1e-5f);
  EXPECT_NEAR(a.y, b.y, 1e-5f);
  EXPECT_NEAR(a.z, b.z, 1e-5f);
}

TEST(Scene3dFrame, TransformsComposeThroughParents) {
  auto scene = Frame::create();
  auto parent = Frame::create(scene), child = Frame::create(parent);
  parent->setPosition(scene.get(), {1, 0, 0});
  parent->addScale(Combine::Before, {2, 2, 2});  // scales the frame, not its position
  child->setPosition(nullptr, {0, 2, 0});
  expectNear(child->worldTransform().row(3), {1, 4, 0});
  expectNear(child->position(scene.get()), {1, 4, 0});
  // Placing relative to the scene undoes the parent's transform.
  child->setPosition(scene.get(), {3, 0, 0});
  expectNear(child->transform().row(3), {1, 0, 0});
  expectNear(child->position(scene.get()), {3, 0, 0});
  // Facing +x with y up: the frame's z axis is x, its x axis is -z.
  child->setOrientation(scene.get(), {1, 0, 0}, {0, 1, 0});
  expectNear(normalize(child->worldTransform().row(2)), {1, 0, 0});
  expectNear(normalize(child->worldTransform().row(0)), {0, 0, -1});
  EXPECT_EQ(child->scene(), scene);
}

TEST(Scene3dFrame, AddChildRefusesLoopsAndMovesChildren) {
  auto a = Frame::create(), b = Frame::create(a), c = Frame::create(b);
  EXPECT_FALSE(c->addChild(a));
  EXPECT_FALSE(b->addChild(b));
  EXPECT_FALSE(c->addChild(nullptr));
  EXPECT_EQ(b->parent(), a);
  EXPECT_TRUE(a->addChild(c));  // moves c up from b
  EXPECT_TRUE(b->children().empty());
  EXPECT_EQ(c->parent(), a);
  EXPECT_EQ(a->children().size(), 2u);
  EXPECT_TRUE(a->deleteChild(b));
  EXPECT_FALSE(b->parent());
  a->move(1);  // no endless walk after all that
}

TEST(Scene3dFrame, MoveAppliesVelocitiesBelowTheFrame) {
  auto scene = Frame::create();
  auto f = Frame::create(scene), g = Frame::create(f);
  f->setVelocity(scene.get(), {1, 0, 0}, false);
  g->setVelocity(nullptr, {0, 0, 2}, false);
  scene->move(0.5f);
  expectNear(f->position(scene.get()), {0.5f, 0, 0});
  expectNear(g->position(scene.get()), {0.5f, 0, 1});
  // A quarter turn about y turns the z axis onto x (or -x), keeping position.
  f->setRotation(scene.get(), {0, 1, 0}, std::numbers::pi_v<float> / 2);
  f->setVelocity(scene.get(), {}, false);
  scene->move(1);
  expectNear(f->position(scene.get()), {0.5f, 0, 0});
  EXPECT_NEAR(std::fabs(f->transform().row(2).x), 1, 1e-5f);
}

TEST(Scene3dFrame, DeepChainsMoveRenderAndGoWithoutRecursion) {
  SceneHost host;
  std::vector<uint32_t> px(4);
  host.setTarget({px.data(), 2, 2, 2});
  // Built from the bottom up, so that no AddChild walks a long way up.
  auto f = Frame::create(), top = f;
  for (int i = 0; i < 200000; ++i) {
    auto above = Frame::create();
    above->addChild(top);
    top = above;
  }
  host.scene()->addChild(top);
  f->setVelocity(nullptr, {1, 0, 0}, false);
  host.scene()->move(1);
  host.render();
  expectNear(f->transform().row(3), {1, 0, 0});
}

TEST(Scene3dFrame, AnimationKeysPlaceTheFrame) {
  auto f = Frame::create();
  Animation a;
  a.frame = f;
  a.addPositionKey(10, {10, 0, 0});
  a.addPositionKey(0, {0, 0, 0});
  a.setTime(5);
  expectNear(f->transform().row(3), {5, 0, 0});
  a.setTime(99);
  expectNear(f->transform().row(3), {10, 0, 0});
}

TEST(Scene3dMesh, FacesAreCheckedSharedAndCopied) {
  MeshBuilder m;
  auto f = std::make_shared<Face>();
  for (Vec3 p : {Vec3{0, 0, 0}, Vec3{0, 1, 0}, Vec3{1, 0, 0}}) f->addVertex(p);
  m.addFace(f);
  expectNear(f->normal(), {0, 0, -1});  // clockwise as seen from -z
  EXPECT_EQ(m.face(0), f);
  EXPECT_FALSE(m.face(1));
  EXPECT_FALSE(m.face(-1));
  auto mesh = m.snapshot();
  EXPECT_EQ(mesh->kind, Visual::Kind::Mesh);
  m.face(0)->color = Color{1, 0, 0, 1};
  EXPECT_FALSE(mesh->faces[0]->color);  // the mesh is its own copy
  m.scale({2, 2, 2});
  m.translate({0, 0, 1});
  expectNear(f->corners[1].position, {0, 2, 1});
  EXPECT_TRUE(m.deleteFace(f));
  EXPECT_FALSE(m.deleteFace(f));
}

TEST(Scene3dMesh, GeneratedNormalsAverageMeetingFaces) {
  MeshBuilder m;
  // Two faces at right angles sharing the edge x = 0.
  auto a = std::make_shared<Face>(), b = std::make_shared<Face>();
  for (Vec3 p : {Vec3{-1, 0, 0}, Vec3{-1, 1, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 0}}) a->addVertex(p);
  for (Vec3 p : {Vec3{0, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 1, 1}, Vec3{0, 0, 1}}) b->addVertex(p);
  m.addFace(a);
  m.addFace(b);
  m.generateNormals();
  float s = std::sqrt(0.5f);
  expectNear(a->corners[0].normal, {0, 0, -1});
  expectNear(a->corners[3].normal, normalize(a->normal() + b->normal()));
  EXPECT_NEAR(length(a->corners[2].normal), 1, 1e-5f);
  EXPECT_NEAR(std::fabs(a->corners[2].normal.z), s, 1e-5f);
}

TEST(Scene3dMesh, ColourPackingClampsEachComponent) {
  EXPECT_EQ(packColor({1, 0, 0, 1}), 0xFFFF0000u);
  EXPECT_EQ(packColor({0.5f, 0.5f, 0.5f, 0.5f}), 0x7F7F7F7Fu);
  EXPECT_EQ(packColor({2, -1, 0.5f, 1}), 0xFFFF007Fu);
  EXPECT_EQ(packColor({std::nanf(""), 1, 1, 1}), 0xFF00FFFFu);
}

TEST(Scene3dHost, RegistryFindsLiveHostsOnly) {
  SceneHostRegistry registry;
  auto host = std::make_shared<SceneHost>();
  registry.add(3, host);
  EXPECT_EQ(registry.find(3), host);
  EXPECT_FALSE(registry.find(4));
  EXPECT_EQ(host->camera()->parent(), host->scene());
  host.reset();
  EXPECT_FALSE(registry.find(3));
}

// A unit cube: 8 corners, 6 quads, normals, texture coordinates and two materials.
const char* const Cube = R"(xof 0302txt 0032
template Vector { <3d82ab5e-62da-11cf-ab39-0020af71e433> FLOAT x; FLOAT y; FLOAT z; }
// comment
Frame Box {
  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,5,1;; }
  Mesh cube {
    8;
    -1;-1;-1;, -1;1;-1;, 1;1;-1;, 1;-1;-1;,
    -1;-1;1;, -1;1;1;, 1;1;1;, 1;-1;1;;
    6;
    4;0,1,2,3;, 4;7,6,5,4;, 4;4,5,1,0;, 4;3,2,6,7;, 4;1,5,6,2;, 4;4,0,3,7;;
    MeshNormals { 6; 0;0;-1;, 0;0;1;, -1;0;0;, 1;0;0;, 0;1;0;, 0;-1;0;;
      6; 4;0,0,0,0;, 4;1,1,1,1;, 4;2,2,2,2;, 4;3,3,3,3;, 4;4,4,4,4;, 4;5,5,5,5;; }
    MeshTextureCoords { 8; 0;1;, 0;0;, 1;0;, 1;1;, 1;1;, 1;0;, 0;0;, 0;1;; }
    MeshMaterialList { 2; 6; 0,0,1,1,1,1;;
      Material { 1.0;0.0;0.0;1.0;; 0.0; 0;0;0;; 0;0;0;; TextureFilename { "wood.png"; } }
      Material { 0.0;1.0;0.0;1.0;; 0.0; 0;0;0;; 0;0;0;; }
    }
  }
}
)";

TEST(Scene3dXFile, ReadsAGoodCube) {
  MeshBuilder m;
  std::vector<std::string> asked;
  auto tex = std::make_shared<Texture>();
  auto r = loadXFile(Cube, m, [&](const std::string& name) {
    asked.push_back(name);
    return tex;
  });
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(m.faces.size(), 6u);
  EXPECT_EQ(asked, std::vector<std::string>{"wood.png"});
  auto& front = *m.faces[0];
  ASSERT_EQ(front.corners.size(), 4u);
  expectNear(front.corners[1].position, {-1, 1, 4});  // moved by the frame
  expectNear(front.corners[1].normal, {0, 0, -1});
  EXPECT_FLOAT_EQ(front.corners[2].u, 1);
  EXPECT_EQ(front.texture, tex);
  EXPECT_FLOAT_EQ(front.color->r, 1);
  EXPECT_FLOAT_EQ(m.faces[3]->color->g, 1);
  expectNear(front.normal(), {0, 0, -1});  // the file's winding faces outwards
}

TEST(Scene3dXFile, EveryCutOfAGoodFileIsRefusedWhole) {
  std::string text = Cube;
  size_t last = text.rfind('}');
  for (size_t n = 17; n <= last; ++n) {
    MeshBuilder m;
    auto r = loadXFile(std::string_view(text).substr(0, n), m);
    EXPECT_FALSE(r.ok) << n;
    EXPECT_TRUE(m.faces.empty()) << n;
  }
}

TEST(Scene3dXFile, WithoutNormalsGetsSmoothOnes) {
  MeshBuilder m;
  auto r = loadXFile("xof 0302txt 0032\nMesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;; }", m);
  ASSERT_TRUE(r.ok) << r.error;
  expectNear(m.faces[0]->corners[0].normal, {0, 0, -1});
}

TEST(Scene3dXFile, RefusesDamagedFilesAndKeepsTheMesh) {
  const char* bad[] = {
      "xof 0302txt 0032\nMesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,3;; }",   // index past the vertices
      "xof 0302txt 0032\nMesh { 3; 0;0;0;, 0;1;0;",                            // cut short
      "xof 0302txt 0032\nMesh { 4000000000; 0;0;0;; 0; }",                      // count beyond the file
      "xof 0302txt 0032\nMesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;; MeshNormals { 1; 0;0;1;; 1; 3;0,0,1;; } }",
      "xof 0302txt 0032\nMesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;; MeshMaterialList { 1; 1; 2;; } }",
      "xof 0302txt 0032\nMesh { -3; }",
      "xof 0302txt 0032\nFrame { FrameTransformMatrix { 1,0,0 } }",
      "xof 0302bin 0032\n\x01\x02",
      "xof 0302tzip0032\n",
      "hello",
  };
  std::string deep = "xof 0302txt 0032\n";
  for (int i = 0; i < 100000; ++i) deep += "Frame {";
  std::vector<std::string> texts(std::begin(bad), std::end(bad));
  texts.push_back(deep);  // would exhaust the stack if followed
  for (const std::string& text : texts) {
    MeshBuilder m;
    m.addFace(std::make_shared<Face>());
    auto r = loadXFile(text, m);
    EXPECT_FALSE(r.ok) << text;
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(m.faces.size(), 1u) << text;
  }
}

}  // namespace
