#pragma once
// The window side of the Qt toolkit: forms, controls, surfaces, the
// palette, fonts, the event loop, and what the application watches for
// (hints, keys held down, key preview of forms). Internal to src/toolkit/qt.
#include <functional>
#include <memory>
#include <string>

#include "toolkit/surface.h"
#include "toolkit/window_peer.h"

namespace kestrel::qt {

std::unique_ptr<gui::FormPeer> makeFormPeer(gui::WindowOwner& owner);
std::unique_ptr<gui::WindowPeer> makeControlPeer(gui::ControlKind kind, gui::WindowOwner& owner);
std::unique_ptr<gui::WindowPeer> makePlainPeer(gui::WindowOwner& owner);
// Labels and panels (qt_picture_peer.cpp): `container` holds other controls.
std::unique_ptr<gui::WindowPeer> makePicturePeer(gui::WindowOwner& owner, bool container);
// Bitmap and flat buttons (qt_button_peer.cpp).
std::unique_ptr<gui::WindowPeer> makeButtonPeer(gui::WindowOwner& owner, bool flat);
std::unique_ptr<gui::Surface> makeSurface(int32_t width, int32_t height, uint32_t fill);

// Application-wide watching: installed with the first window.
void watchApplication();
void setHintListener(std::function<void(const std::string&)> listener);
// Windows key-state bits (0x8000 down) of a virtual key.
int keyState(int virtualKey);
void minimizeAllWindows();

}  // namespace kestrel::qt
