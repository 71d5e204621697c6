// The object families of the engine, in the order they register (the
// visual ones too: they reach the window system through toolkit peers). A
// new family adds its header and one line to the list.
#include "objects/bitmap.h"
#include "objects/controls/buttons.h"
#include "objects/controls/form.h"
#include "objects/controls/label.h"
#include "objects/controls/outline.h"
#include "objects/controls/panel.h"
#include "objects/controls/tree_view.h"
#include "objects/object_model.h"
#include "objects/printer_object.h"
#include "objects/rect_record.h"
#include "objects/sockets.h"
#include "objects/streams.h"
#include "objects/string_list.h"

namespace kestrel::objects {

void registerRegistryType(TypeRegistry& registry);     // registry_object.cpp
void registerFontType(TypeRegistry& registry);         // font_object.cpp
void registerFontDialogType(TypeRegistry& registry);   // font_dialog.cpp
void registerClipboardType(TypeRegistry& registry);    // clipboard_object.cpp
void registerApplicationType(TypeRegistry& registry);  // application_object.cpp

void registerEngineTypes(TypeRegistry& registry) {
  for (auto family : {
           registerStreamTypes,
           registerStringListType,
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
           registerTreeViewType,
           registerOutlineType,
       })
    family(registry);
}

}  // namespace kestrel::objects
