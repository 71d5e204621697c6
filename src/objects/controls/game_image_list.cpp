#include "objects/controls/game_image_list.h"

#include <cstring>

#include "state/errors.h"
#include "objects/controls/game_screen.h"
#include "objects/member_rows.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {

// The folder part of a file name, with its slash ("" for none).
std::string folderOf(const std::string& name) {
  const size_t slash = name.rfind('/');
  return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

CollectionImage decode(Machine& m, const std::string& name, const ManifestEntry& entry) {
  const std::vector<uint8_t> bytes = programFileBytes(m, Str(name));
  std::unique_ptr<gui::Surface> picture = toolkit().createSurface(0, 0, gui::kWhite);
  if (!picture->load(bytes.data(), bytes.size())) raise("Invalid image collection picture " + entry.file);
  const gui::PixelView view = picture->pixelView();
  std::vector<uint32_t> pixels;
  if (!view.empty()) {
    pixels.resize(static_cast<size_t>(view.width) * view.height);
    for (int32_t y = 0; y < view.height; ++y)
      std::memcpy(pixels.data() + static_cast<size_t>(y) * view.width, view.row(y), sizeof(uint32_t) * view.width);
  }
  return CollectionImage(std::move(pixels), view.width, view.height, entry);
}

}  // namespace

void GameImageList::load(const Str& manifest) {
  const std::vector<uint8_t> bytes = programFileBytes(m_, manifest);
  const std::vector<ManifestEntry> entries =
      parseManifest(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  const std::string folder = folderOf(manifest.str());
  std::vector<CollectionImage> images;
  images.reserve(entries.size());
  for (const ManifestEntry& e : entries) images.push_back(decode(m_, folder + e.file, e));
  images_ = std::move(images);
  table_ = buildColorTable(images_);
  if (GameScreen* s = screen()) {
    s->defaultColorTable() = table_;
    s->colorTable() = table_;
  }
}

GameScreen* GameImageList::screen() {
  if (screen_ < 0) return nullptr;
  return dynamic_cast<GameScreen*>(&world(m_).at(kGameScreenType, screen_));
}

void GameImageList::draw(int32_t image, int32_t x, int32_t y, int32_t pattern) {
  GameScreen* s = screen();
  if (s == nullptr) raise("Image list has no screen");
  if (image < 0 || static_cast<size_t>(image) >= images_.size()) raiseListIndex(image);
  s->releaseCanvas();
  gui::Surface& back = s->backBuffer();
  images_[static_cast<size_t>(image)].draw(back.pixelView(), x, y, pattern);
  if (back.changed) back.changed();
}

namespace {

using L = GameImageList;

std::vector<Member<L>> gameImageListRows() {
  return {
      {0, "LoadFromFile", "E", [](Machine& m, L& l) { l.load(stringOperand(m)); }, nullptr, nullptr,
       "manifest file name: loads the collection and gives its colour table to the screen"},
      {1, "DXDraw", "O",
       [](Machine& m, L& l) {
         const ObjectRef ref = readObjectOperand(m);
         if (ref.type != kGameScreenType) raise(texts::kInvalidCast);
         world(m).at(ref.type, ref.index);
         l.setScreen(ref.index);
       },
       nullptr, nullptr, "game screen: the screen the list draws on"},
      {2, "Draw", "EEEE",
       [](Machine& m, L& l) {
         const int32_t image = numberOperand(m);
         const int32_t x = numberOperand(m);
         const int32_t y = numberOperand(m);
         const int32_t pattern = numberOperand(m);
         l.draw(image, x, y, pattern);
       },
       nullptr, nullptr, "image, x, y, pattern: draws the pattern on the screen's back buffer"},
  };
}

std::unique_ptr<Object> createGameImageList(Machine& m, int type, int32_t) {
  return std::make_unique<GameImageList>(m, type);
}

}  // namespace

void registerGameImageListType(TypeRegistry& registry) {
  static const std::vector<Member<L>> rows = gameImageListRows();
  registry.add(describeType(kGameImageListType, "gameimagelist", rows, createGameImageList));
}

}  // namespace kestrel::objects
