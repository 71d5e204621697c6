#pragma once
// The window side of the Qt toolkit: forms, controls, surfaces, the
// palette, fonts, the event loop, and what the application watches for
// (hints, keys held down, key preview of forms). Internal to src/toolkit/qt.
#include <functional>
#include <memory>
#include <string>

#include "toolkit/peers/boxes.h"
#include "toolkit/peers/button.h"
#include "toolkit/peers/check_button.h"
#include "toolkit/peers/dir_tree.h"
#include "toolkit/peers/edit.h"
#include "toolkit/peers/form.h"
#include "toolkit/peers/header.h"
#include "toolkit/peers/image.h"
#include "toolkit/peers/list_view.h"
#include "toolkit/peers/string_grid.h"
#include "toolkit/peers/lists.h"
#include "toolkit/peers/menu.h"
#include "toolkit/peers/ole_container.h"
#include "toolkit/peers/outline.h"
#include "toolkit/peers/paint_box.h"
#include "toolkit/peers/game_screen.h"
#include "toolkit/peers/picture.h"
#include "toolkit/peers/rich_edit.h"
#include "toolkit/peers/scroll_bar.h"
#include "toolkit/peers/tab_control.h"
#include "toolkit/peers/timer.h"
#include "toolkit/peers/track_bar.h"
#include "toolkit/peers/tree_view.h"
#include "toolkit/peers/window.h"
#include "toolkit/surface.h"

class QPainter;
class QRect;
class QColor;

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
// Masked edits (qt_edit_peer.cpp).
std::unique_ptr<gui::EditPeer> makeEditPeer(gui::WindowOwner& owner);
// Rich edits (qt_rich_edit_peer.cpp).
std::unique_ptr<gui::RichEditPeer> makeRichEditPeer(gui::WindowOwner& owner);
// Menu items, menu bars and popup menus (qt_menu_peer.cpp).
std::unique_ptr<gui::MenuItemPeer> makeMenuItemPeer(gui::WindowOwner& owner);
std::unique_ptr<gui::MenuBarPeer> makeMenuBarPeer(gui::WindowOwner& owner);
std::unique_ptr<gui::PopupMenuPeer> makePopupMenuPeer(gui::WindowOwner& owner);
// Track bars (qt_track_bar_peer.cpp).
std::unique_ptr<gui::TrackBarPeer> makeTrackBarPeer(gui::WindowOwner& owner);
// Header controls (qt_header_peer.cpp).
std::unique_ptr<gui::HeaderPeer> makeHeaderPeer(gui::WindowOwner& owner);
// List views (qt_list_view_peer.cpp).
std::unique_ptr<gui::ListViewPeer> makeListViewPeer(gui::WindowOwner& owner);
// String grids (qt_string_grid_peer.cpp).
std::unique_ptr<gui::StringGridPeer> makeStringGridPeer(gui::WindowOwner& owner);
// The placeholder of the container of embedded objects (qt_ole_container_peer.cpp).
std::unique_ptr<gui::ContainerPeer> makeContainerPeer(gui::WindowOwner& owner);
// Check boxes and radio buttons (qt_check_button_peer.cpp).
std::unique_ptr<gui::CheckBoxPeer> makeCheckBoxPeer(gui::WindowOwner& owner);
std::unique_ptr<gui::RadioButtonPeer> makeRadioButtonPeer(gui::WindowOwner& owner);
// Paint boxes (qt_paint_box_peer.cpp) and timers (qt_timer.cpp).
std::unique_ptr<gui::PaintBoxPeer> makePaintBoxPeer(gui::WindowOwner& owner);
std::unique_ptr<gui::TimerPeer> makeTimerPeer(std::function<void()> tick);
// Game screens (qt_game_screen_peer.cpp).
std::unique_ptr<gui::GameScreenPeer> makeGameScreenPeer(gui::WindowOwner& owner);
// List, combo and file list boxes (qt_list_peer.cpp), directory trees (qt_dir_tree_peer.cpp).
std::unique_ptr<gui::ListPeer> makeListPeer(gui::WindowOwner& owner);
std::unique_ptr<gui::FileListPeer> makeFileListPeer(gui::WindowOwner& owner);
std::unique_ptr<gui::ComboPeer> makeComboPeer(gui::WindowOwner& owner);
std::unique_ptr<gui::DirTreePeer> makeDirTreePeer(gui::WindowOwner& owner);
// Tab controls, scroll bars and images (qt_tab_control_peer.cpp,
// qt_scroll_bar_peer.cpp, qt_image_peer.cpp).
std::unique_ptr<gui::TabPeer> makeTabPeer(gui::WindowOwner& owner);
std::unique_ptr<gui::ScrollBarPeer> makeScrollBarPeer(gui::WindowOwner& owner);
std::unique_ptr<gui::ImagePeer> makeImagePeer(gui::WindowOwner& owner);
// Tree views (qt_tree_peer.cpp).
std::unique_ptr<gui::TreeViewPeer> makeTreeViewPeer(gui::WindowOwner& owner);
// Outlines (qt_outline_peer.cpp).
std::unique_ptr<gui::OutlinePeer> makeOutlinePeer(gui::WindowOwner& owner);
// Group boxes, scroll boxes, oval buttons and glass frames (qt_box_peers.cpp).
std::unique_ptr<gui::GroupBoxPeer> makeGroupBoxPeer(gui::WindowOwner& owner);
std::unique_ptr<gui::ScrollBoxPeer> makeScrollBoxPeer(gui::WindowOwner& owner);
std::unique_ptr<gui::GlassFramePeer> makeGlassFramePeer(gui::WindowOwner& owner);
// An oval button's face and edges in `box` (qt_oval_paint.cpp); `edged`:
// the edges show (not flat, or the mouse is over it).
void paintOval(QPainter& p, const QRect& box, const gui::ButtonLook& look, const QColor& face, bool pressed,
               bool edged);
std::unique_ptr<gui::Surface> makeSurface(int32_t width, int32_t height, uint32_t fill);

// Application-wide watching: installed with the first window.
void watchApplication();
void setHintListener(std::function<void(const std::string&)> listener);
// Windows key-state bits (0x8000 down) of a virtual key.
int keyState(int virtualKey);
// True while a window of the application is active.
bool applicationActive();
void minimizeAllWindows();

}  // namespace kestrel::qt
