#pragma once
// What the visual types share for one program: the scratch bitmap (the
// run-time's one bitmap, target of Rotate and source of graphics that are
// not bitmaps), the icon last read into the graphic register, the font
// handles given out, and the application's hint handler.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "objects/object_model.h"
#include "toolkit/gui_types.h"
#include "toolkit/surface.h"

namespace kestrel::objects {

struct GuiState : FamilyState {
  explicit GuiState(Machine& m);
  ~GuiState() override;

  Machine& machine;
  gui::Surface& scratch();
  std::unique_ptr<gui::Surface> registerIcon;  // the icon the graphic register holds
  std::vector<gui::FontDesc> fontHandles;      // handle kFontHandleBase + 4 * i
  int32_t hintHandler = 0;
  bool hintListening = false;  // the toolkit tells this program about hints
  std::string lastHint;
  int32_t iconsMade = 0;
  int32_t hookedForm = -1;  // the form whose messages the program hooked last

 private:
  std::unique_ptr<gui::Surface> scratch_;
};

GuiState& guiState(Machine& m);

// A graphic as the drawing operations take it: the picture and, for a
// transparent bitmap, the colour left out.
struct Graphic {
  const gui::Surface* surface = nullptr;
  bool transparent = false;
  int32_t transparentColor = 0;
};
// The graphic the graphic register names: a bitmap object (source 66), an
// image's picture (43), otherwise the scratch bitmap.
Graphic registerGraphic(Machine& m);

// Objects with a picture that the graphic register can name (images).
class PictureOwner {
 public:
  virtual ~PictureOwner() = default;
  virtual gui::Surface& picture() = 0;
};

// Pictures larger than this are refused with "Out of memory".
inline constexpr int32_t kMaxPictureSide = 16384;
inline constexpr int64_t kMaxPicturePixels = int64_t{1} << 26;
void checkPictureSize(int32_t width, int32_t height);

// Font handles: the handle of a font, and the font of a handle (nullptr
// for a handle that was never given out).
int32_t fontHandle(Machine& m, const gui::FontDesc& font);
const gui::FontDesc* fontOfHandle(Machine& m, int32_t handle);

}  // namespace kestrel::objects
