// The object families of the engine, in the order they register (the
// visual ones too: they reach the window system through toolkit peers). A
// new family adds its header and one line to the list.
#include "objects/bitmap.h"
#include "objects/controls/boxes.h"
#include "objects/controls/buttons.h"
#include "objects/controls/check_buttons.h"
#include "objects/controls/combo_box.h"
#include "objects/controls/dir_tree.h"
#include "objects/controls/edit.h"
#include "objects/controls/file_list_box.h"
#include "objects/controls/form.h"
#include "objects/controls/gauge.h"
#include "objects/controls/glass_frame.h"
#include "objects/controls/splitter.h"
#include "objects/controls/header_control.h"
#include "objects/controls/image.h"
#include "objects/controls/label.h"
#include "objects/controls/list_box.h"
#include "objects/controls/list_view.h"
#include "objects/controls/string_grid.h"
#include "objects/controls/menus.h"
#include "objects/controls/outline.h"
#include "objects/controls/oval_button.h"
#include "objects/controls/paint_box.h"
#include "objects/controls/game_screen.h"
#include "objects/controls/game_timer.h"
#include "objects/controls/game_input.h"
#include "objects/controls/game_image_list.h"
#include "objects/controls/panel.h"
#include "objects/controls/rich_edit.h"
#include "objects/controls/scroll_bar.h"
#include "objects/controls/status_bar.h"
#include "objects/controls/tab_control.h"
#include "objects/controls/timer.h"
#include "objects/controls/track_bar.h"
#include "objects/controls/tree_view.h"
#include "objects/file_dialogs.h"
#include "objects/image_list.h"
#include "objects/object_model.h"
#include "objects/printer_object.h"
#include "objects/rect_record.h"
#include "objects/sockets.h"
#include "objects/streams.h"
#include "objects/string_list.h"
#include "ole/automation_object.h"
#include "ole/ole_container.h"

namespace kestrel::objects {

void registerRegistryType(TypeRegistry& registry);     // registry_object.cpp
void registerFontType(TypeRegistry& registry);         // font_object.cpp
void registerFontDialogType(TypeRegistry& registry);   // font_dialog.cpp
void registerClipboardType(TypeRegistry& registry);    // clipboard_object.cpp
void registerApplicationType(TypeRegistry& registry);  // application_object.cpp
void registerScene3dTypes(TypeRegistry& registry);     // scene3d/scene3d_types.cpp

void registerEngineTypes(TypeRegistry& registry) {
  for (auto family : {
           registerStreamTypes,
           registerStringListType,
           registerScene3dTypes,
           registerRectangleTypes,
           registerRegistryType,
           registerFormType,
           registerFontType,
           registerBitmapType,
           registerSocketType,
           registerLabelType,
           registerButtonTypes,
           registerPanelType,
           registerFontDialogType,
           registerPrinterType,
           registerClipboardType,
           registerApplicationType,
           registerEditType,
           registerMenuTypes,
           registerRichEditType,
           registerStatusBarType,
           registerGaugeType,
           registerSplitterType,
           registerTrackBarType,
           registerHeaderType,
           registerImageListType,
           registerListViewType,
           registerStringGridType,
           ole::registerAutomationType,
           ole::registerContainerType,
           registerCheckButtonTypes,
           registerPaintBoxType,
           registerTimerType,
           registerListBoxType,
           registerComboBoxType,
           registerFileListBoxType,
           registerDirTreeType,
           registerTabControlType,
           registerScrollBarType,
           registerImageType,
           registerFileDialogTypes,
           registerTreeViewType,
           registerOutlineType,
           registerGameScreenType,
           registerGameTimerType,
           registerGameInputType,
           registerGameImageListType,
           registerBoxTypes,
           registerGlassFrameType,
           registerOvalButtonType,
       })
    family(registry);
}

}  // namespace kestrel::objects
