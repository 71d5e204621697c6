#pragma once
// Reads meshes from text mesh files ("xof 0302txt 0032" headers): the
// Mesh, MeshNormals, MeshTextureCoords, MeshMaterialList, Material,
// TextureFilename, Frame and FrameTransformMatrix templates; others are
// skipped whole. Every declared count is checked against the values that
// follow and every face index against its list, so a damaged file is
// refused rather than read past its end, as is a file without faces.
// Binary and compressed files are not read.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "scene3d/mesh.h"

namespace kestrel::scene3d {

// Finds the texture a material names (null when it cannot be loaded).
using TextureLoader = std::function<std::shared_ptr<Texture>(const std::string& name)>;

struct XFileResult {
  bool ok = false;
  std::string error;  // why the file was refused
};

// Adds every mesh of the file to mesh (frames' transforms applied). On
// failure mesh is left as it was.
XFileResult loadXFile(std::string_view text, MeshBuilder& mesh, const TextureLoader& textures = {});

}  // namespace kestrel::scene3d
