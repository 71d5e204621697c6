#include "objects/controls/image.h"

#include "objects/bitmap.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {
constexpr int32_t kDefaultSize = 105;
constexpr int32_t kBitmapCanvasBase = 0x00C00000;  // the bitmaps' device contexts (bitmap.cpp)
constexpr int32_t kImageCanvasBase = 0x00C80000;
constexpr const char* kNeedsBitmap = "Can only modify an image if it contains a bitmap";
constexpr const char* kInvalidBitmap = "Bitmap image is not valid";
constexpr const char* kInvalidIcon = "Invalid icon";

// The index that `handle` stands for among `count` objects numbered from `base` in steps of 4, or -1.
int64_t indexOfHandle(int64_t handle, int32_t base, size_t count) {
  const int64_t offset = handle - base;
  if (offset < 0 || offset % 4 != 0 || offset / 4 >= static_cast<int64_t>(count)) return -1;
  return offset / 4;
}
}  // namespace

Image::Image(Machine& m, int type)
    : ControlOf(m, type), picture_(toolkit().createSurface(0, 0, gui::kWhite)) {
  // The first size is no resize (no handler could be bound yet).
  peer_->setGeometry(gui::Rect::fromSize(0, 0, kDefaultSize, kDefaultSize));
  lastClientSize_ = clientSize();
  picture_->changed = [this] { pictureChanged(); };
}

Image::~Image() { picture_->changed = nullptr; }

void Image::event(gui::InputEvent& e) {
  if (e.kind == gui::EventKind::Paint) {
    if (!composed_) compose();
    return;
  }
  Control::event(e);
}

// ---- The picture

CanvasTarget Image::canvasTarget() {
  if (kind_ == PictureKind::Icon) raise(kNeedsBitmap);
  if (kind_ == PictureKind::None) {
    checkPictureSize(width(), height());
    kind_ = PictureKind::Bitmap;
    picture_->resize(width(), height(), gui::kWhite);
    pictureChanged();
  }
  return {*picture_, canvasFont_};
}

void Image::loadBitmap(const std::vector<uint8_t>& bytes) {
  if (!picture_->load(bytes.data(), bytes.size())) raise(kInvalidBitmap);
  kind_ = PictureKind::Bitmap;
  pictureChanged();
}

void Image::loadIcon(const std::vector<uint8_t>& bytes) {
  std::unique_ptr<gui::Surface> icon = toolkit().createSurface(0, 0, gui::kWhite);
  if (!icon->load(bytes.data(), bytes.size())) raise(kInvalidIcon);
  assignIcon(icon.get());
}

void Image::assignBitmap(const gui::Surface* source) {
  if (source != picture_.get()) {
    if (source != nullptr) picture_->assign(*source);
    else picture_->resize(0, 0, gui::kWhite);
  }
  kind_ = PictureKind::Bitmap;
  pictureChanged();
}

void Image::assignIcon(const gui::Surface* source) {
  if (source == nullptr || source->empty()) {
    clearPicture();
    return;
  }
  if (source != picture_.get()) picture_->assign(*source);
  kind_ = PictureKind::Icon;
  pictureChanged();
}

void Image::clearPicture() {
  kind_ = PictureKind::None;
  picture_->resize(0, 0, gui::kWhite);
  pictureChanged();
}

void Image::pictureChanged() {
  const gui::Size size{picture_->width(), picture_->height()};
  const bool resized = !(size == pictureSize_);
  pictureSize_ = size;
  if (resized && autoSize_ != 0 && !picture_->empty()) setAutoSize(autoSize_);
  invalidate();
}

// ---- Showing it

void Image::invalidate() {
  composed_ = false;
  peer().pictureChanged();
}

void Image::resized() {
  Control::resized();
  invalidate();
}

void Image::repaint() { invalidate(); }

// The picture at the top-left corner, centred or stretched over the
// control; what it does not cover shows what lies under the control.
void Image::compose() {
  composed_ = true;
  gui::Surface& shown = peer().picture();
  shown.clearTransparent();
  if (kind_ == PictureKind::None || picture_->empty()) return;
  int32_t key = 0;
  const bool keyed = transparent_ != 0 && kind_ == PictureKind::Bitmap;
  if (keyed) key = picture_->pixel(0, picture_->height() - 1);
  const int32_t* transparentColor = keyed ? &key : nullptr;
  if (stretch_ != 0) {
    shown.stretchDraw({0, 0, shown.width(), shown.height()}, *picture_, transparentColor);
  } else if (center_ != 0) {
    shown.draw((shown.width() - picture_->width()) / 2, (shown.height() - picture_->height()) / 2, *picture_,
               transparentColor);
  } else {
    shown.draw(0, 0, *picture_, transparentColor);
  }
}

// ---- Flags

void Image::setAutoSize(uint8_t flag) {
  autoSize_ = flag;
  if (flag == 0 || picture_->empty()) return;
  const gui::Rect r = bounds();
  if (r.width() != picture_->width() || r.height() != picture_->height())
    setBounds(gui::Rect::fromSize(r.left, r.top, picture_->width(), picture_->height()));
}

void Image::setCenter(uint8_t flag) {
  center_ = flag;
  invalidate();
}

void Image::setStretch(uint8_t flag) {
  stretch_ = flag;
  invalidate();
}

void Image::setTransparent(uint8_t flag) {
  transparent_ = flag;
  invalidate();
}

// ---- Handles

int32_t Image::canvasHandle() const { return kImageCanvasBase + 4 * tag; }

const gui::Surface* pictureOfCanvasHandle(Machine& m, int64_t handle) {
  ObjectWorld& w = world(m);
  if (const int64_t i = indexOfHandle(handle, kBitmapCanvasBase, w.count(kBitmapType)); i >= 0)
    return &w.as<Bitmap>(kBitmapType, static_cast<int32_t>(i)).surface();
  if (const int64_t i = indexOfHandle(handle, kImageCanvasBase, w.count(kImageType)); i >= 0)
    return &w.as<Image>(kImageType, static_cast<int32_t>(i)).picture();
  return nullptr;
}

}  // namespace kestrel::objects
