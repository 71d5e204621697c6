#pragma once
// Game screens (type 100): a control that shows frames drawn on a back
// buffer. Programs draw on the back buffer with the canvas operations and
// sprite blits, then flip it: the window shows exactly the pixels flipped,
// stretched or centred as the options say.
//
// The back buffer always has the display mode's size (640 x 480 at first)
// and 32 bits a pixel; an 8-bit mode only keeps a 256-entry colour table.
// The screen initialises when it is first shown and again after each
// change of an option, the display mode or the bit count while it is
// initialised: the back buffer is cleared, then the OnInitialize and
// OnInitializeSurface handlers run, in that order. The back buffer is
// never lost. The 3D option implies retained mode.
#include <array>
#include <cstdint>
#include <memory>

#include "objects/canvas_ops.h"
#include "objects/control.h"
#include "scene3d/scene_host.h"
#include "toolkit/peers/game_screen.h"

namespace kestrel::objects {

inline constexpr int kGameScreenType = 100;

// The screen's option bits.
namespace screen_option {
inline constexpr uint32_t kFullScreen = 1u << 0;
inline constexpr uint32_t kStretch = 1u << 6;
inline constexpr uint32_t kCenter = 1u << 7;
inline constexpr uint32_t k3D = 1u << 9;
inline constexpr uint32_t kHardware = 1u << 10;
inline constexpr uint32_t kRetainedMode = 1u << 11;
inline constexpr uint32_t kZBuffer = 1u << 13;
}  // namespace screen_option

inline constexpr int32_t kMaxDisplaySide = 16384;

class GameScreen : public ControlOf<gui::GameScreenPeer>, public CanvasOwner {
 public:
  GameScreen(Machine& m, int type);

  const char* windowClass() const override { return "TDXDraw"; }
  bool holdsControls() const override { return false; }
  void event(gui::InputEvent& e) override;
  CanvasTarget canvasTarget() override { return {*back_, font_}; }
  gui::Surface& backBuffer() { return *back_; }

  int32_t displayWidth() const { return displayWidth_; }
  int32_t displayHeight() const { return displayHeight_; }
  // 1..16384 a side, else "Display mode not supported (W x H)".
  void setDisplayMode(int32_t width, int32_t height);
  int32_t bitCount() const { return bitCount_; }
  // 8 keeps 8; any other value gives 16.
  void setBitCount(int32_t bits);

  // The options in force (the 3D option brings retained mode with it).
  uint32_t options() const;
  bool hasOption(uint32_t bit) const { return (options() & bit) != 0; }
  void setOption(uint32_t bit, bool on);

  bool autoSize() const { return autoSize_; }
  void setAutoSize(bool on);

  // Fills the whole back buffer with a canvas colour.
  void fill(int32_t color);
  // Shows the back buffer's pixels in the window.
  void flip();
  // Canvas drawing and blits write the same pixels, so releasing the
  // canvas before a blit has nothing to wait for.
  void releaseCanvas() {}

  // The 3D scene drawn into the back buffer (its target follows the buffer).
  scene3d::SceneHost& sceneHost();
  const std::shared_ptr<scene3d::SceneHost>& sharedSceneHost() const { return scene_; }
  // Renders the scene into the back buffer: only while initialised with the
  // 3D and retained-mode options.
  void render3d();

  bool initialized() const { return initialized_; }
  // Clears the back buffer and runs the initialise handlers (not nested).
  void initialize();

  // The colour tables of the 8-bit mode (0x00BBGGRR entries).
  std::array<uint32_t, 256>& defaultColorTable() { return defaultTable_; }
  std::array<uint32_t, 256>& colorTable() { return table_; }

 private:
  // After an option or mode change: initialise again if initialised.
  void changed();
  void fitToDisplay();

  int32_t displayWidth_ = 640;
  int32_t displayHeight_ = 480;
  std::unique_ptr<gui::Surface> back_;  // made after the display size it takes
  std::shared_ptr<scene3d::SceneHost> scene_ = std::make_shared<scene3d::SceneHost>();
  int32_t bitCount_ = 16;
  uint32_t options_ = screen_option::kCenter | screen_option::kZBuffer;
  bool autoSize_ = false;
  bool initialized_ = false;
  bool initializing_ = false;
  std::array<uint32_t, 256> defaultTable_{};
  std::array<uint32_t, 256> table_{};
};

void registerGameScreenType(TypeRegistry& registry);

}  // namespace kestrel::objects
