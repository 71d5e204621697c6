#include "objects/image_list.h"

#include <algorithm>

#include "objects/member_operands.h"
#include "state/errors.h"
#include "toolkit/colors.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {
constexpr int32_t kHandleBase = 0x00E40000;
constexpr const char* kInvalidIndex = "Invalid ImageList Index";
constexpr int kHighlightColor = 13;

// A partly transparent pixel counts as drawn when it is more than half
// opaque: drawn on white and on black it then differs by less than half.
bool opaqueAt(const gui::Surface& onWhite, const gui::Surface& onBlack, int32_t x, int32_t y) {
  const auto w = static_cast<uint32_t>(onWhite.pixel(x, y));
  const auto b = static_cast<uint32_t>(onBlack.pixel(x, y));
  for (int shift = 0; shift < 24; shift += 8) {
    const int diff = static_cast<int>((w >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (diff >= 128) return false;
  }
  return true;
}

uint32_t mix(uint32_t a, uint32_t b, int percentB) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
    out |= ((ca * static_cast<uint32_t>(100 - percentB) + cb * static_cast<uint32_t>(percentB)) / 100) << shift;
  }
  return out;
}
}  // namespace

// ---- Links

// The control that owns the link is going away: it hears of nothing more.
ImageListLink::~ImageListLink() {
  if (list_ != nullptr) std::erase(list_->links_, this);
}

void ImageListLink::attach(ImageList* list) {
  if (list_ == list) return;
  if (list_ != nullptr) std::erase(list_->links_, this);
  list_ = list;
  if (list_ != nullptr) list_->links_.push_back(this);
  if (changed_) changed_();
}

// ---- The list

ImageList::ImageList(int type) : Object(type) {}

ImageList::~ImageList() {
  for (ImageListLink* link : links_) link->list_ = nullptr;
}

void ImageList::changed() {
  // A control told of the change may attach or detach links.
  const std::vector<ImageListLink*> links = links_;
  for (ImageListLink* link : links)
    if (std::find(links_.begin(), links_.end(), link) != links_.end() && link->changed_) link->changed_();
}

int32_t ImageList::handle() const { return kHandleBase + 4 * tag; }

std::shared_ptr<const gui::Surface> ImageList::cut(const gui::Surface& source, int32_t left, const int32_t* key) const {
  std::shared_ptr<gui::Surface> piece = toolkit().createSurface(width(), height(), gui::kWhite);
  piece->clearTransparent();
  if (key == nullptr) {
    piece->draw(-left, 0, source, nullptr);
    return piece;
  }
  // The key is looked for in this image's pixels only.
  const std::unique_ptr<gui::Surface> opaque = toolkit().createSurface(width(), height(), gui::kWhite);
  opaque->draw(-left, 0, source, nullptr);
  piece->draw(0, 0, *opaque, key);
  return piece;
}

std::shared_ptr<const gui::Surface> ImageList::scaledIcon(const gui::Surface& icon) const {
  std::shared_ptr<gui::Surface> piece = toolkit().createSurface(width(), height(), gui::kWhite);
  piece->clearTransparent();
  piece->stretchDraw({0, 0, width(), height()}, icon, nullptr);
  return piece;
}

std::vector<std::shared_ptr<const gui::Surface>> ImageList::cutBitmap(const gui::Surface& bitmap,
                                                                      int32_t maskColor) const {
  std::vector<std::shared_ptr<const gui::Surface>> images;
  if (bitmap.height() != height() || bitmap.width() < width()) return images;
  int32_t key = 0;
  const bool keyed = masked_ != 0 && maskColor != kColorNone;
  if (keyed)
    key = maskColor == kColorDefault ? bitmap.pixel(0, bitmap.height() - 1)
                                     : static_cast<int32_t>(gui::colorToRgb(maskColor));
  const int32_t n = bitmap.width() / width();
  images.reserve(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) images.push_back(cut(bitmap, i * width(), keyed ? &key : nullptr));
  return images;
}

bool ImageList::addBitmap(const gui::Surface& bitmap, int32_t maskColor) {
  return insertBitmap(count(), bitmap, maskColor);
}

bool ImageList::insertBitmap(int32_t index, const gui::Surface& bitmap, int32_t maskColor) {
  if (index < 0 || index > count()) return false;
  std::vector<std::shared_ptr<const gui::Surface>> images = cutBitmap(bitmap, maskColor);
  if (images.empty()) return false;
  strip_.pictures.insert(strip_.pictures.begin() + index, images.begin(), images.end());
  changed();
  return true;
}

bool ImageList::addIcon(const gui::Surface& icon) { return insertIcon(count(), icon); }

bool ImageList::insertIcon(int32_t index, const gui::Surface& icon) {
  if (index < 0 || index > count() || icon.empty()) return false;
  strip_.pictures.insert(strip_.pictures.begin() + index, scaledIcon(icon));
  changed();
  return true;
}

void ImageList::remove(int32_t index) {
  if (index < 0 || index >= count()) raise(kInvalidIndex);
  strip_.pictures.erase(strip_.pictures.begin() + index);
  changed();
}

void ImageList::clear() {
  if (strip_.pictures.empty()) return;
  strip_.pictures.clear();
  changed();
}

void ImageList::assign(const ImageList& other) {
  if (&other == this) return;
  strip_ = other.strip_;
  changed();
}

void ImageList::setSize(gui::Size size) {
  size.width = std::clamp(size.width, 1, kMaxImageSide);
  size.height = std::clamp(size.height, 1, kMaxImageSide);
  if (size == strip_.size) return;
  strip_.size = size;
  strip_.pictures.clear();
  changed();
}

void ImageList::setWidth(int32_t width) { setSize({width, height()}); }
void ImageList::setHeight(int32_t height) { setSize({width(), height}); }

void ImageList::setBkColor(int32_t color) {
  bkColor_ = color;
  changed();
}

void ImageList::setBlendColor(int32_t color) {
  blendColor_ = color;
  changed();
}

void ImageList::setDrawingStyle(int32_t style) {
  drawingStyle_ = style;
  changed();
}

void ImageList::setImageType(int32_t type) {
  imageType_ = type;
  changed();
}

// Normal and transparent drawing lay the picture over what is there; the
// mask type draws black where the image is and white where it is masked;
// focus and selected drawing blend the image's pixels a quarter or a half
// toward the blend colour.
bool ImageList::draw(gui::Surface& target, int32_t x, int32_t y, int32_t index) const {
  const gui::Surface* picture = strip_.at(index);
  if (picture == nullptr) return false;
  const gui::CanvasState saved = target.state;
  if (bkColor_ != kColorNone && drawingStyle_ != kDrawTransparent && imageType_ != kImageMask) {
    target.state.brush = gui::colorToRgb(bkColor_);
    target.state.brushClear = false;
    target.fillRect(gui::Rect::fromSize(x, y, width(), height()));
  }
  int blend = 0;
  if (blendColor_ != kColorNone && drawingStyle_ == kDrawFocus) blend = 25;
  if (blendColor_ != kColorNone && drawingStyle_ == kDrawSelected) blend = 50;
  if (imageType_ != kImageMask && blend == 0) {
    target.draw(x, y, *picture, nullptr);
    target.state = saved;
    return true;
  }
  const uint32_t blendRgb =
      gui::colorToRgb(blendColor_ == kColorDefault ? gui::systemColor(kHighlightColor) : blendColor_);
  const std::unique_ptr<gui::Surface> onWhite = toolkit().createSurface(width(), height(), gui::kWhite);
  const std::unique_ptr<gui::Surface> onBlack = toolkit().createSurface(width(), height(), gui::kBlack);
  onWhite->draw(0, 0, *picture, nullptr);
  onBlack->draw(0, 0, *picture, nullptr);
  const std::unique_ptr<gui::Surface> shown = toolkit().createSurface(width(), height(), gui::kWhite);
  if (imageType_ != kImageMask) shown->clearTransparent();
  for (int32_t py = 0; py < height(); ++py)
    for (int32_t px = 0; px < width(); ++px) {
      const bool opaque = opaqueAt(*onWhite, *onBlack, px, py);
      if (imageType_ == kImageMask) shown->setPixel(px, py, opaque ? gui::kBlack : gui::kWhite);
      else if (opaque) shown->setPixel(px, py, mix(static_cast<uint32_t>(onBlack->pixel(px, py)), blendRgb, blend));
    }
  target.draw(x, y, *shown, nullptr);
  target.state = saved;
  return true;
}

ImageList& imageListOperand(Machine& m) {
  auto* list = dynamic_cast<ImageList*>(&containerLookup(m, readObjectOperand(m)));
  if (list == nullptr) raise(texts::kInvalidCast);
  return *list;
}

ImageList* imageListOfHandle(Machine& m, int32_t handle) {
  if (handle < kHandleBase || (handle - kHandleBase) % 4 != 0) return nullptr;
  const size_t index = static_cast<size_t>((handle - kHandleBase) / 4);
  ObjectWorld& w = world(m);
  if (index >= w.count(kImageListType)) return nullptr;
  return dynamic_cast<ImageList*>(&w.at(kImageListType, static_cast<int32_t>(index)));
}

}  // namespace kestrel::objects
