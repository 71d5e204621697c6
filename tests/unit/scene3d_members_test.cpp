// The 3D object types driven by programs: a stand-in game screen owns a
// scene host and draws into a plain buffer.
#include <gtest/gtest.h>

#include "objects/scene3d/scene3d_objects.h"
#include "unit_program.h"

using namespace kestrel;
using namespace kestrel::objects;

namespace {

constexpr int kTestScreen = 98;  // a code no family of the run-time uses

class TestScreen : public Object {
 public:
  TestScreen(Machine& m, int type, int32_t index) : Object(type), host_(std::make_shared<scene3d::SceneHost>()) {
    host_->setTarget({pixels.data(), 8, 8, 8});
    sceneHosts(m).add(index, host_);
  }
  scene3d::SceneHost& sceneHost() { return *host_; }
  void render3d() { host_->render(); }
  std::array<uint32_t, 64> pixels{};

 private:
  std::shared_ptr<scene3d::SceneHost> host_;
};

void registerTestScreen() {
  static const std::vector<Member<TestScreen>> rows = [] {
    std::vector<Member<TestScreen>> r;
    addScreen3dMembers(r);
    return r;
  }();
  TypeRegistry::instance().add(describeType(kTestScreen, "screen3dtest", rows,
                                            [](Machine& m, int type, int32_t index) -> std::unique_ptr<Object> {
                                              return std::make_unique<TestScreen>(m, type, index);
                                            }));
}

struct Program3d : testsupport::UnitProgram {
  explicit Program3d(const std::string& body)
      : UnitProgram((registerTestScreen(), "dim int:3\ndim screen3dtest:0\ndim light3d:1\ndim frame3d:2\ndim meshbuilder3d:1\n"
                                           "dim face3d:1\ndim vector3d:1\ndim texture3d:0\ndim wrap3d:1\ndim mesh3d:0\n"
                                           "dim visual3d:0\n" + body)) {}
  TestScreen& screen() { return world(m).as<TestScreen>(kTestScreen, 0); }
  template <class T>
  Holder<T>& holder(int type, int index) {
    return world(m).as<Holder<T>>(type, index);
  }
};

// A red square facing the camera at distance 2, filling the 8x8 picture.
const char* const kRedSquare = R"(
    set screen3dtest:0.CreateFrame = frame3d:0
    set screen3dtest:0.CreateMeshBuilder = meshbuilder3d:0
    set meshbuilder3d:0.CreateFace = face3d:0
    set face3d:0.AddVertex = -1, 1, 2
    set face3d:0.AddVertex = 1, 1, 2
    set face3d:0.AddVertex = 1, -1, 2
    set face3d:0.AddVertex = -1, -1, 2
    set meshbuilder3d:0.ColorRGB = 1, 0, 0
    set meshbuilder3d:0.Quality = 136
    set frame3d:0.AddVisual = meshbuilder3d:0
    set screen3dtest:0.CreateLight = 3, 1, 1, 1, light3d:0
    set screen3dtest:0.AddLight = light3d:0
)";

TEST(Scene3dMembers, ProgramBuildsAndRendersAScene) {
  Program3d p(std::string(kRedSquare) + "set screen3dtest:0.Render3D\nlet int:0 = meshbuilder3d:0.FaceCount\n"
                                        "let int:1 = face3d:0.VertexCount\n");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.number(0), 1);
  EXPECT_EQ(p.number(1), 4);
  for (uint32_t px : p.screen().pixels) ASSERT_EQ(px, 0xFFFF0000u);
}

TEST(Scene3dMembers, MembersOfObjectsNeverCreatedAreRefused) {
  EXPECT_EQ(Program3d("set frame3d:1.Position = 1, 2, 3").run(), "3D object not created (type 105, index 1)");
  EXPECT_EQ(Program3d("set meshbuilder3d:0.ColorRGB = 1, 0, 0").run(), "3D object not created (type 107, index 0)");
  EXPECT_EQ(Program3d("set screen3dtest:0.AddLight = light3d:1").run(), "3D object not created (type 104, index 1)");
  // A byte reference keeps the low 8 bits of its index: 300 names light 44,
  // which does not exist.
  EXPECT_EQ(Program3d("set screen3dtest:0.AddLight = light3d:300").run(), "List index out of bounds (44)");
}

TEST(Scene3dMembers, AddChildCycleIsRefused) {
  Program3d p(R"(
    set screen3dtest:0.CreateFrame = frame3d:0
    set frame3d:0.CreateFrame = frame3d:1
    set frame3d:1.AddChild = frame3d:0
    set frame3d:1.AddChild = frame3d:1
    set screen3dtest:0.SceneMove = 1
)");
  ASSERT_EQ(p.run(), "");
  auto& f0 = p.holder<scene3d::Frame>(105, 0).get();
  auto& f1 = p.holder<scene3d::Frame>(105, 1).get();
  EXPECT_EQ(f0.parent(), p.screen().sceneHost().scene());
  EXPECT_EQ(f1.parent().get(), &f0);
}

TEST(Scene3dMembers, ColoursAreClampedAndFacesChecked) {
  {  // one machine at a time: they share the low memory arena
  Program3d p(std::string(kRedSquare) + R"(
    set meshbuilder3d:0.Color = 2, -1, 0.5, 0.5
    set meshbuilder3d:0.GetFace = 0, face3d:1
    set face3d:1.GetVertex = 1.9, vector3d:0, vector3d:1
    let int:0 = vector3d:0.X * 10 + vector3d:0.VY
    let int:1 = vector3d:1.Z
)");
  ASSERT_EQ(p.run(), "");
  auto& b = p.holder<scene3d::MeshBuilder>(107, 0).get();
  EXPECT_EQ(scene3d::packColor(b.color), 0x7FFF007Fu);
  EXPECT_EQ(p.holder<scene3d::Face>(114, 1).held, b.faces[0]);  // the builder's own face
  EXPECT_EQ(p.number(0), 11);  // corner 1 (index truncated) is (1, 1, 2)
  EXPECT_EQ(p.number(1), -1);  // its normal faces the camera
  }
  EXPECT_EQ(Program3d(std::string(kRedSquare) + "set meshbuilder3d:0.GetFace = 5, face3d:1").run(),
            "List index out of bounds (5)");
  EXPECT_EQ(Program3d(std::string(kRedSquare) + "set face3d:0.GetVertex = 4, vector3d:0, vector3d:1").run(),
            "List index out of bounds (4)");
}

TEST(Scene3dMembers, VectorsStartAtZeroAndShareTheirFields) {
  Program3d p(R"(
    let int:0 = vector3d:1.X + vector3d:1.Y + vector3d:1.Z
    set vector3d:0.VX = 1.5
    set vector3d:0.Y = 2
    set vector3d:0.VZ = 3
    let int:1 = vector3d:0.X * 4 + vector3d:0.VY * 10 + vector3d:0.Z * 100
)");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.number(0), 0);
  EXPECT_EQ(p.number(1), 326);
}

TEST(Scene3dMembers, ChromeWrapsAreRelativeToTheCamera) {
  Program3d p(std::string(kRedSquare) + R"(
    set screen3dtest:0.CreateWrap = 3, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 1, 1, wrap3d:0
    set screen3dtest:0.CreateWrap = 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 1, 1, wrap3d:1
    set wrap3d:1.Apply = meshbuilder3d:0
)");
  ASSERT_EQ(p.run(), "");
  auto& chrome = p.holder<scene3d::Wrap>(109, 0).get();
  auto& flat = p.holder<scene3d::Wrap>(109, 1).get();
  EXPECT_EQ(chrome.type, scene3d::WrapType::Chrome);
  EXPECT_EQ(chrome.reference.lock(), p.screen().sceneHost().camera());
  EXPECT_FALSE(flat.reference.lock());
  EXPECT_FLOAT_EQ(p.holder<scene3d::MeshBuilder>(107, 0).get().faces[0]->corners[1].u, 1);
}

TEST(Scene3dMembers, RecreatedBuilderLeavesTheSceneWhole) {
  Program3d p(std::string(kRedSquare) + R"(
    set meshbuilder3d:0.CreateMesh = mesh3d:0
    set screen3dtest:0.CreateMeshBuilder = meshbuilder3d:0
    let int:0 = meshbuilder3d:0.FaceCount
    set screen3dtest:0.Render3D
)");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.number(0), 0);
  EXPECT_EQ(p.screen().pixels[0], 0xFFFF0000u);  // the old builder is still drawn
  EXPECT_EQ(p.holder<scene3d::MeshBuilder>(106, 0).get().faces.size(), 1u);
}

TEST(Scene3dMembers, FogAndClippingMembers) {
  Program3d p(std::string(kRedSquare) + R"(
    set frame3d:0.FogEnable = 1
    set frame3d:0.FogMode = 2
    set frame3d:0.FogMode = 7
    set frame3d:0.FogColor = 4278190335
    let int:0 = frame3d:0.FogEnable + frame3d:0.FogMode * 10
    set screen3dtest:0.FrontClip = 3
    let int:1 = screen3dtest:0.FrontClipping + screen3dtest:0.BackClipping
    set screen3dtest:0.Render3D
)");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.number(0), 21);
  EXPECT_EQ(p.number(1), 103);
  EXPECT_EQ(p.screen().pixels[0], 0xFF000000u);  // the square is nearer than the front plane now
}

}  // namespace

namespace {

// Mesh files that cannot be read load nothing and raise nothing.
TEST(Scene3dMembers, MeshFilesLoadOrQuietlyDoNot) {
  std::string dir = testing::TempDir();
  auto write = [&](const std::string& name, const std::string& text) {
    FILE* f = std::fopen((dir + name).c_str(), "wb");
    ASSERT_TRUE(f);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  };
  write("tri3d.x", "xof 0302txt 0032\nMesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;; }\n");
  write("bin3d.x", "xof 0302bin 0032\n\x01\x02\x03");
  write("bad3d.x", "xof 0302txt 0032\nMesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,9;; }\n");
  Program3d p("set screen3dtest:0.CreateFrame = frame3d:0\n"
              "set screen3dtest:0.CreateMeshBuilder = meshbuilder3d:0\n"
              "set frame3d:0.Load = \"" + dir + "tri3d.x\"\n"
              "set frame3d:0.Load = \"" + dir + "bin3d.x\"\n"
              "set frame3d:0.Load = \"" + dir + "missing3d.x\"\n"
              "set meshbuilder3d:0.Load = \"" + dir + "bad3d.x\"\n"
              "set meshbuilder3d:0.Load = \"" + dir + "tri3d.x\"\n"
              "let int:0 = meshbuilder3d:0.FaceCount\n");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.holder<scene3d::Frame>(105, 0).get().visuals.size(), 1u);
  EXPECT_EQ(p.number(0), 1);
}

}  // namespace
