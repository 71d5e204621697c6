// The object families of the engine. A family registers its types here
// (the visual ones too: they reach the window system through toolkit peers).
#include "objects/bitmap.h"
#include "objects/form.h"
#include "objects/object_model.h"
#include "objects/rect_record.h"
#include "objects/sockets.h"
#include "objects/streams.h"
#include "objects/string_list.h"

namespace kestrel::objects {

void registerRegistryType(TypeRegistry& registry);  // registry_object.cpp
void registerFontType(TypeRegistry& registry);      // font_object.cpp
void registerLabelType(TypeRegistry& registry);     // label.cpp
void registerButtonTypes(TypeRegistry& registry);   // button_members.cpp
void registerPanelType(TypeRegistry& registry);     // panel.cpp
void registerFontDialogType(TypeRegistry& registry);   // font_dialog.cpp
void registerPrinterType(TypeRegistry& registry);      // printer_object.cpp
void registerClipboardType(TypeRegistry& registry);    // clipboard_object.cpp
void registerApplicationType(TypeRegistry& registry);  // application_object.cpp

void registerEngineTypes(TypeRegistry& registry) {
  registerStreamTypes(registry);
  registerStringListType(registry);
  registerRectangleTypes(registry);
  registerRegistryType(registry);
  registerFormType(registry);
  registerFontType(registry);
  registerBitmapType(registry);
  registerSocketType(registry);
  registerLabelType(registry);
  registerButtonTypes(registry);
  registerPanelType(registry);
  registerFontDialogType(registry);
  registerPrinterType(registry);
  registerClipboardType(registry);
  registerApplicationType(registry);
}

}  // namespace kestrel::objects
