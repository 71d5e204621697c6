#pragma once
// The window side of the Qt toolkit: forms, controls, surfaces, the
// palette, fonts, the event loop, and what the application watches for
// (hints, keys held down, key preview of forms). Internal to src/toolkit/qt.
#include <functional>
#include <memory>
#include <string>

#include "toolkit/peers/button.h"
#include "toolkit/peers/form.h"
#include "toolkit/peers/outline.h"
#include "toolkit/peers/picture.h"
#include "toolkit/peers/tree_view.h"
#include "toolkit/peers/window.h"
#include "toolkit/surface.h"

namespace kestrel::qt {

// The peers of each family (qt_toolkit.cpp lists them): each makes sure
// the application watches its windows first.
std::unique_ptr<gui::FormPeer> makeFormPeer(gui::WindowOwner& owner);
std::unique_ptr<gui::WindowPeer> makePlainPeer(gui::WindowOwner& owner);
// Labels and panels (qt_picture_peer.cpp).
std::unique_ptr<gui::PicturePeer> makePicturePeer(gui::WindowOwner& owner);
std::unique_ptr<gui::PanelPeer> makePanelPeer(gui::WindowOwner& owner);
// Bitmap and flat buttons (qt_button_peer.cpp).
std::unique_ptr<gui::ButtonPeer> makeButtonPeer(gui::WindowOwner& owner);
// Tree views (qt_tree_peer.cpp).
std::unique_ptr<gui::TreeViewPeer> makeTreeViewPeer(gui::WindowOwner& owner);
// Outlines (qt_outline_peer.cpp).
std::unique_ptr<gui::OutlinePeer> makeOutlinePeer(gui::WindowOwner& owner);
std::unique_ptr<gui::Surface> makeSurface(int32_t width, int32_t height, uint32_t fill);

// Application-wide watching: installed with the first window.
void watchApplication();
void setHintListener(std::function<void(const std::string&)> listener);
// Windows key-state bits (0x8000 down) of a virtual key.
int keyState(int virtualKey);
void minimizeAllWindows();

}  // namespace kestrel::qt
