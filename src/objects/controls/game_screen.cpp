#include "objects/controls/game_screen.h"

#include <string>

#include "state/errors.h"
#include "events/dispatch.h"
#include "toolkit/colors.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

GameScreen::GameScreen(Machine& m, int type)
    : ControlOf(m, type), back_(toolkit().createSurface(displayWidth_, displayHeight_, gui::kBlack)) {
  peer_->setGeometry(gui::Rect::fromSize(0, 0, displayWidth_, displayHeight_));
  lastClientSize_ = clientSize();
}

void GameScreen::event(gui::InputEvent& e) {
  if (e.kind == gui::EventKind::Show) {
    if (!initialized_) initialize();
    return;
  }
  Control::event(e);
}

void GameScreen::setDisplayMode(int32_t width, int32_t height) {
  const int64_t pixels = int64_t{width} * height;
  if (width < 1 || height < 1 || width > kMaxDisplaySide || height > kMaxDisplaySide ||
      pixels > int64_t{kMaxDisplaySide} * kMaxDisplaySide)
    raise("Display mode not supported (" + std::to_string(width) + " x " + std::to_string(height) + ")");
  if (width == displayWidth_ && height == displayHeight_) return;
  displayWidth_ = width;
  displayHeight_ = height;
  back_->resize(width, height, gui::kBlack);
  fitToDisplay();
  changed();
}

scene3d::SceneHost& GameScreen::sceneHost() {
  scene_->setTarget(back_->pixelView());
  return *scene_;
}

void GameScreen::render3d() {
  if (!initialized_ || !hasOption(screen_option::k3D) || !hasOption(screen_option::kRetainedMode)) return;
  sceneHost().render();
  if (back_->changed) back_->changed();
}

void GameScreen::setBitCount(int32_t bits) {
  const int32_t count = bits == 8 ? 8 : 16;
  if (count == bitCount_) return;
  bitCount_ = count;
  changed();
}

uint32_t GameScreen::options() const {
  return (options_ & screen_option::k3D) != 0 ? options_ | screen_option::kRetainedMode : options_;
}

void GameScreen::setOption(uint32_t bit, bool on) {
  const uint32_t next = on ? options_ | bit : options_ & ~bit;
  if (next == options_) return;
  options_ = next;
  if (bit == screen_option::kFullScreen) peer().setFullScreen(on);
  changed();
}

void GameScreen::setAutoSize(bool on) {
  autoSize_ = on;
  fitToDisplay();
}

void GameScreen::fitToDisplay() {
  if (autoSize_) setClientSize({displayWidth_, displayHeight_});
}

void GameScreen::fill(int32_t color) { back_->clear(gui::colorToRgb(color)); }

void GameScreen::flip() {
  peer().present(*back_, {.stretch = hasOption(screen_option::kStretch),
                          .center = hasOption(screen_option::kCenter)});
}

void GameScreen::initialize() {
  if (initializing_) return;
  events::FlagGuard busy(initializing_, true);
  initialized_ = true;
  back_->clear(gui::kBlack);
  events::notify(m_, handlerFor(gui::EventKind::Initialize), sender());
  events::notify(m_, handlerFor(gui::EventKind::InitializeSurface), sender());
}

void GameScreen::changed() {
  if (initialized_) initialize();
}

}  // namespace kestrel::objects
