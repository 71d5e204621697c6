#pragma once
// Image lists (type 57): pictures of one size, kept in order, that list
// views, tree views and other controls show beside their items and that
// programs draw on any canvas. docs/controls/list-views.md describes the
// interface other families use; in short:
//
//   ImageList& list = imageListOperand(m);      // an object operand naming one
//   list.draw(canvas, x, y, index);             // as the list's drawing style says
//   const gui::ImageStrip& s = list.strip();    // what a peer shows
//   ImageListLink link_{[this] { imagesChanged(); }};
//   link_.attach(&list);                        // hears of every change
//
// Every image is kept as a picture of the list's size whose masked pixels
// are transparent.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "objects/object_model.h"
#include "toolkit/peers/image_strip.h"
#include "toolkit/surface.h"

namespace kestrel::objects {

inline constexpr int kImageListType = 57;
// The colour values that mean "no colour" and "the usual one".
inline constexpr int32_t kColorNone = 0x1FFFFFFF;
inline constexpr int32_t kColorDefault = 0x20000000;
// Image sizes are kept within 1 to this many pixels a side.
inline constexpr int32_t kMaxImageSide = 4096;

enum DrawingStyle { kDrawFocus = 0, kDrawSelected = 1, kDrawNormal = 2, kDrawTransparent = 3 };
enum ImageType { kImageImage = 0, kImageMask = 1 };

class ImageList;

// What a control keeps to show an image list's pictures: it hears of every
// change to the list it is attached to, and the link forgets a list that
// goes away first (and the list a link that does).
class ImageListLink {
 public:
  explicit ImageListLink(std::function<void()> changed) : changed_(std::move(changed)) {}
  ~ImageListLink();
  ImageListLink(const ImageListLink&) = delete;
  ImageListLink& operator=(const ImageListLink&) = delete;

  // Follows `list` (nullptr: none) and hears of it at once.
  void attach(ImageList* list);
  ImageList* list() const { return list_; }

 private:
  friend class ImageList;
  ImageList* list_ = nullptr;
  std::function<void()> changed_;
};

class ImageList : public Object {
 public:
  explicit ImageList(int type);
  ~ImageList() override;

  // ---- What other families use.
  int32_t count() const { return static_cast<int32_t>(strip_.pictures.size()); }
  int32_t width() const { return strip_.size.width; }
  int32_t height() const { return strip_.size.height; }
  // Draws image `index` with its top-left corner at (x, y): the masked
  // pixels leave what is there (or take BkColor), as DrawingStyle,
  // BlendColor and ImageType say. False (nothing drawn) for no such image.
  bool draw(gui::Surface& target, int32_t x, int32_t y, int32_t index) const;
  // The pictures, masked pixels transparent (for a control's window).
  const gui::ImageStrip& strip() const { return strip_; }

  // ---- Adding. A bitmap n times the list's width (and its height) adds n
  // images, cut from left to right; pixels of the mask colour are masked
  // (kColorNone: none; kColorDefault: the bitmap's bottom-left pixel's)
  // while Masked is set. False for a bitmap of another size. An icon is
  // scaled to the list's size and keeps its own transparency. Inserting
  // takes an index from 0 to the count; false for any other.
  bool addBitmap(const gui::Surface& bitmap, int32_t maskColor);
  bool insertBitmap(int32_t index, const gui::Surface& bitmap, int32_t maskColor);
  bool addIcon(const gui::Surface& icon);
  bool insertIcon(int32_t index, const gui::Surface& icon);
  // "Invalid ImageList Index" for an index outside the list.
  void remove(int32_t index);
  void clear();
  // Takes the size and images of another list.
  void assign(const ImageList& other);

  // ---- Properties. Width and Height are kept within 1 to 4096; a new
  // size empties the list.
  void setWidth(int32_t width);
  void setHeight(int32_t height);
  int32_t bkColor() const { return bkColor_; }
  void setBkColor(int32_t color);
  int32_t blendColor() const { return blendColor_; }
  void setBlendColor(int32_t color);
  int32_t drawingStyle() const { return drawingStyle_; }
  void setDrawingStyle(int32_t style);
  int32_t imageType() const { return imageType_; }
  void setImageType(int32_t type);
  uint8_t masked() const { return masked_; }
  void setMasked(uint8_t flag) { masked_ = flag; }
  uint8_t shareImages = 0;
  // The list's number for programs (a handle of its own).
  int32_t handle() const;

 private:
  friend class ImageListLink;
  // Image `index` cut from `source` at `left`, with `key` (or nothing) masked.
  std::shared_ptr<const gui::Surface> cut(const gui::Surface& source, int32_t left, const int32_t* key) const;
  std::shared_ptr<const gui::Surface> scaledIcon(const gui::Surface& icon) const;
  // The images a bitmap gives; empty when its size does not fit.
  std::vector<std::shared_ptr<const gui::Surface>> cutBitmap(const gui::Surface& bitmap, int32_t maskColor) const;
  void setSize(gui::Size size);
  void changed();

  gui::ImageStrip strip_;
  int32_t bkColor_ = kColorNone;
  int32_t blendColor_ = kColorNone;
  int32_t drawingStyle_ = kDrawNormal;
  int32_t imageType_ = kImageImage;
  uint8_t masked_ = 1;
  std::vector<ImageListLink*> links_;
};

// The image list named by an object operand ("Invalid class typecast" for
// anything else).
ImageList& imageListOperand(Machine& m);
// The image list with a handle, or nullptr.
ImageList* imageListOfHandle(Machine& m, int32_t handle);

void registerImageListType(TypeRegistry& registry);

}  // namespace kestrel::objects
