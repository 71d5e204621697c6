#include "objects/gui_state.h"

#include <algorithm>

#include "core/machine.h"
#include "objects/bitmap.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {
constexpr int32_t kFontHandleBase = 0x00A00000;
constexpr int kImageType = 43;
}  // namespace

GuiState::GuiState(Machine& m) : machine(m) {}
GuiState::~GuiState() {
  if (hintListening) toolkit().setHintListener(nullptr);
}

gui::Surface& GuiState::scratch() {
  if (!scratch_) scratch_ = toolkit().createSurface(0, 0, gui::kWhite);
  return *scratch_;
}

GuiState& guiState(Machine& m) { return world(m).state<GuiState>(); }

void checkPictureSize(int32_t width, int32_t height) {
  if (width > kMaxPictureSide || height > kMaxPictureSide ||
      int64_t{std::max(width, 0)} * std::max(height, 0) > kMaxPicturePixels)
    raise(texts::kOutOfMemory);
}

Graphic registerGraphic(Machine& m) {
  ObjectWorld& w = world(m);
  const GraphicRegister& r = w.graphic;
  if (r.sourceType == kBitmapType) {
    Bitmap& b = w.as<Bitmap>(kBitmapType, r.index);
    return {&b.surface(), b.transparent != 0, b.transparentColor()};
  }
  if (r.sourceType == kImageType) {
    if (auto* owner = dynamic_cast<PictureOwner*>(&w.at(kImageType, r.index))) return {&owner->picture(), false, 0};
  }
  return {&guiState(m).scratch(), false, 0};
}

int32_t fontHandle(Machine& m, const gui::FontDesc& font) {
  std::vector<gui::FontDesc>& handles = guiState(m).fontHandles;
  for (size_t i = 0; i < handles.size(); ++i)
    if (handles[i] == font) return kFontHandleBase + 4 * static_cast<int32_t>(i);
  if (handles.size() >= 65536) handles.clear();  // a program that makes fonts without end
  handles.push_back(font);
  return kFontHandleBase + 4 * static_cast<int32_t>(handles.size() - 1);
}

const gui::FontDesc* fontOfHandle(Machine& m, int32_t handle) {
  const std::vector<gui::FontDesc>& handles = guiState(m).fontHandles;
  const int64_t i = (int64_t{handle} - kFontHandleBase) / 4;
  if (handle < kFontHandleBase || (handle - kFontHandleBase) % 4 != 0 || i >= static_cast<int64_t>(handles.size()))
    return nullptr;
  return &handles[static_cast<size_t>(i)];
}

}  // namespace kestrel::objects
