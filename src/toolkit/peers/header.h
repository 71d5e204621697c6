#pragma once
// Header controls: a row of sections with captions that the user clicks
// and resizes, and a canvas the program draws on over them.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/peers/window.h"
#include "toolkit/surface.h"

namespace kestrel::gui {

struct HeaderSection {
  std::string text;
  int32_t width = 50;  // kept between minWidth and maxWidth by the engine
  int32_t alignment = 0;  // 0 left, 1 right, 2 centred
  bool allowClick = true;
  int32_t minWidth = 0;
  int32_t maxWidth = 10000;
  int32_t style = 0;  // 0 text, 1 drawn by the program
  bool operator==(const HeaderSection&) const = default;
};

// A header. The user's actions reach the owner as events with the section
// index in `x` and its width in `y`: SectionClick (only sections that
// allow clicks), SectionTrack while an edge is dragged, SectionResize when
// the drag ends. The peer keeps each width the user gives inside the
// section's MinWidth..MaxWidth.
class HeaderPeer : public WindowPeer {
 public:
  explicit HeaderPeer(WindowOwner* owner);
  ~HeaderPeer() override;
  virtual void setSections(const std::vector<HeaderSection>& sections) { sections_ = sections; }
  const std::vector<HeaderSection>& sections() const { return sections_; }
  virtual void setHotTrack(bool on) { hotTrack_ = on; }
  // What the program drew, shown over the sections (transparent where it
  // drew nothing); at the client size. The window shows each change.
  Surface& canvas();

 protected:
  std::vector<HeaderSection> sections_;
  bool hotTrack_ = false;
  std::unique_ptr<Surface> canvas_;
};

}  // namespace kestrel::gui
