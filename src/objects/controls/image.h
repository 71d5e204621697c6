#pragma once
// Images (type 43): a control that shows a picture (a bitmap or an icon),
// at its top-left corner, centred or stretched, with the bitmap's
// bottom-left colour left out when Transparent is set. The canvas
// operations draw on the picture's bitmap: an empty image gets a white
// bitmap of the control's size first, and an icon cannot be drawn on.
#include <memory>
#include <vector>

#include "objects/canvas_ops.h"
#include "objects/control.h"
#include "objects/gui_state.h"
#include "toolkit/peers/image.h"

namespace kestrel::objects {

inline constexpr int kImageType = 43;

enum class PictureKind { None, Bitmap, Icon };

class Image : public ControlOf<gui::ImagePeer>, public CanvasOwner, public PictureOwner {
 public:
  Image(Machine& m, int type);
  ~Image() override;

  const char* windowClass() const override { return "TImage"; }
  // The window is about to show the picture: it is composed first.
  void event(gui::InputEvent& e) override;

  // The canvas of the picture's bitmap: "Can only modify an image if it
  // contains a bitmap" when the picture is an icon.
  CanvasTarget canvasTarget() override;
  // The picture as it is (bitmap or icon; empty when there is none).
  gui::Surface& picture() override { return *picture_; }
  PictureKind pictureKind() const { return kind_; }

  // The canvas font (font sub-members and CanvasFont reach it); the image
  // shows no text of its own.
  gui::FontDesc& font() { return canvasFont_; }
  void fontChanged() {}

  // Pictures from bytes ("Bitmap image is not valid", "Invalid icon" when
  // they are no picture) or copied from a surface (nullptr: no picture).
  void loadBitmap(const std::vector<uint8_t>& bytes);
  void loadIcon(const std::vector<uint8_t>& bytes);
  void assignBitmap(const gui::Surface* source);
  void assignIcon(const gui::Surface* source);
  void clearPicture();

  uint8_t autoSize() const { return autoSize_; }
  void setAutoSize(uint8_t flag);
  uint8_t center() const { return center_; }
  void setCenter(uint8_t flag);
  uint8_t stretch() const { return stretch_; }
  void setStretch(uint8_t flag);
  uint8_t transparent() const { return transparent_; }
  void setTransparent(uint8_t flag);
  uint8_t incrementalDisplay = 0;  // kept; pictures always show whole

  void repaint();
  // The number that stands for the picture canvas's device context.
  int32_t canvasHandle() const;

 protected:
  void resized() override;

 private:
  // The picture changed: the control takes its size (AutoSize) and shows it again.
  void pictureChanged();
  void invalidate();
  // Draws the picture onto the control's picture as the flags say.
  void compose();

  std::unique_ptr<gui::Surface> picture_;
  PictureKind kind_ = PictureKind::None;
  gui::FontDesc canvasFont_;
  gui::Size pictureSize_;
  uint8_t autoSize_ = 0;
  uint8_t center_ = 0;
  uint8_t stretch_ = 0;
  uint8_t transparent_ = 0;
  bool composed_ = false;
};

// The picture a handle stands for: a bitmap's or an image's device-context
// number; nullptr for any other number.
const gui::Surface* pictureOfCanvasHandle(Machine& m, int64_t handle);

void registerImageType(TypeRegistry& registry);

}  // namespace kestrel::objects
