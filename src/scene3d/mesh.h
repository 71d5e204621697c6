#pragma once
// Faces, mesh builders and the other things a frame can show (visuals).
// A face keeps its own corners (position, normal, texture coordinates), so
// a face made on its own can be added to any builder, and a face taken
// from a builder is the builder's own (changing its colour changes the mesh).
#include <memory>
#include <optional>
#include <vector>

#include "scene3d/math3d.h"
#include "scene3d/texture.h"

namespace kestrel::scene3d {

struct Light;
struct Wrap;

// Render quality: shading in bits 0-2 (0 flat, 1 Gouraud, 2 Phong drawn as
// Gouraud), lighting in bits 3-4 (8 on), fill in bits 6-8 (0 points,
// 0x40 wireframe, 0x80 solid).
namespace quality {
constexpr uint32_t ShadeMask = 0x7, Flat = 0, Gouraud = 1, Phong = 2;
constexpr uint32_t LightMask = 0x18, LightOn = 0x8;
constexpr uint32_t FillMask = 0x1C0, Points = 0, Wireframe = 0x40, Solid = 0x80;
constexpr uint32_t Default = Solid | LightOn | Gouraud;  // 137
}  // namespace quality

struct Corner {
  Vec3 position;
  Vec3 normal;  // zero: the face's own normal is used
  float u = 0, v = 0;
};

struct Material {
  Color emissive{0, 0, 0, 1};
  Color specular{0, 0, 0, 1};
  float power = 0;  // 0: no highlight
};

struct Face {
  std::vector<Corner> corners;
  std::optional<Color> color;  // unset: the mesh's colour
  std::shared_ptr<Texture> texture;

  void addVertex(Vec3 p) { corners.push_back({p, {}, 0, 0}); }
  Vec3 normal() const;  // from the first three corners, clockwise = front
};

struct Visual {
  enum class Kind { MeshBuilder, Mesh, Shadow };
  explicit Visual(Kind k) : kind(k) {}
  virtual ~Visual() = default;
  Kind kind;
};

struct MeshBuilder : Visual {
  MeshBuilder() : Visual(Kind::MeshBuilder) {}

  std::vector<std::shared_ptr<Face>> faces;
  std::vector<Vec3> vertices;  // loose vertices added one by one
  Color color{1, 1, 1, 1};
  std::shared_ptr<Texture> texture;
  Material material;
  uint32_t quality = quality::Default;
  std::shared_ptr<Wrap> chrome;  // a chrome wrap works out coordinates when drawn

  // The face at index, or null when index is outside 0..count-1.
  std::shared_ptr<Face> face(int64_t index) const;
  void addFace(std::shared_ptr<Face> f) { faces.push_back(std::move(f)); }
  bool deleteFace(const std::shared_ptr<Face>& f);
  void scale(Vec3 s);
  void translate(Vec3 t);
  void setColor(Color c);  // the mesh's colour and every face's
  // Smooth normals: each corner gets the mean of the normals of all faces
  // that meet at its position.
  void generateNormals();
  // A mesh: an independent copy of the builder as it stands.
  std::shared_ptr<MeshBuilder> snapshot() const;
};

// A shadow of a mesh cast by a light onto a plane (point and normal in
// world coordinates).
struct Shadow : Visual {
  Shadow() : Visual(Kind::Shadow) {}
  std::shared_ptr<MeshBuilder> caster;
  std::shared_ptr<Light> light;
  Vec3 planePoint;
  Vec3 planeNormal{0, 1, 0};
};

}  // namespace kestrel::scene3d
