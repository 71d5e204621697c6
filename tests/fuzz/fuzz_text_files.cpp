// Feeds arbitrary text to the readers of files that programs name: mesh
// files and image collection manifests.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "objects/image_collection.h"
#include "scene3d/mesh.h"
#include "scene3d/x_file.h"
#include "state/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  kestrel::scene3d::MeshBuilder mesh;
  kestrel::scene3d::loadXFile(text, mesh);
  try {
    kestrel::objects::parseManifest(text);
  } catch (const kestrel::RuntimeError&) {
  }
  return 0;
}
