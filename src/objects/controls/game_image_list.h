#pragma once
// Game image lists (type 102): an image collection (image_collection.h)
// loaded from a manifest, drawn pattern by pattern onto the back buffer of
// the game screen assigned to the list. A load also copies the
// collection's colour table into both colour tables of that screen.
#include <cstdint>
#include <vector>

#include "objects/image_collection.h"
#include "objects/object_model.h"

namespace kestrel {
class Machine;
}

namespace kestrel::objects {

inline constexpr int kGameImageListType = 102;

class GameScreen;

class GameImageList : public Object {
 public:
  GameImageList(Machine& m, int type) : Object(type), m_(m) {}

  // Replaces the collection with the manifest's pictures.
  void load(const Str& manifest);
  void setScreen(int32_t index) { screen_ = index; }
  // Draws a pattern onto the screen's back buffer: "Image list has no
  // screen" without one, the list's index error for an image number
  // outside the collection; a pattern number outside the image draws nothing.
  void draw(int32_t image, int32_t x, int32_t y, int32_t pattern);
  const std::vector<CollectionImage>& images() const { return images_; }
  const std::array<uint32_t, 256>& colorTable() const { return table_; }

 private:
  GameScreen* screen();

  Machine& m_;
  int32_t screen_ = -1;
  std::vector<CollectionImage> images_;
  std::array<uint32_t, 256> table_{};
};

void registerGameImageListType(TypeRegistry& registry);

}  // namespace kestrel::objects
