#pragma once
// Header controls (type 80): a row of sections with captions, each with a
// width kept between its MinWidth and MaxWidth, that the user clicks and
// resizes; the program can draw on the header's canvas.
#include <vector>

#include "objects/canvas_ops.h"
#include "objects/control.h"
#include "toolkit/peers/header.h"

namespace kestrel::objects {

inline constexpr int kHeaderType = 80;
// Sections of this Style are drawn by the program's OnDrawSection.
inline constexpr int32_t kSectionOwnerDraw = 1;
// The rectangle object (rect:50) that hands a drawn section's rectangle.
inline constexpr int32_t kDrawRectangle = 50;

class HeaderControl : public ControlOf<gui::HeaderPeer>, public CanvasOwner {
 public:
  HeaderControl(Machine& m, int type);

  const char* windowClass() const override { return "THeaderControl"; }

  uint8_t hotTrack() const { return hotTrack_; }
  void setHotTrack(uint8_t flag);
  int32_t sectionCount() const { return static_cast<int32_t>(sections_.size()); }
  const std::vector<gui::HeaderSection>& sections() const { return sections_; }
  void addSection(const Str& text);
  void clearSections();
  // The section at a 0-based index: "List index out of bounds (N)" outside.
  gui::HeaderSection& sectionAt(int64_t index);
  // A section changed: its width comes back inside its limits and the
  // header shows it.
  void sectionChanged(gui::HeaderSection& section);
  // Clears what the program drew on the canvas and shows the sections again.
  void repaint();

  CanvasTarget canvasTarget() override { return {peer().canvas(), font_}; }
  void event(gui::InputEvent& e) override;

 protected:
  void resized() override;

 private:
  void show();
  // Runs OnDrawSection for each section the program draws.
  void drawSections();

  std::vector<gui::HeaderSection> sections_;
  uint8_t hotTrack_ = 0;
};

void registerHeaderType(TypeRegistry& registry);

}  // namespace kestrel::objects
