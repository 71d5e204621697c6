// The object families of the engine. A family registers its types here;
// the toolkit layer adds the visual types through TypeRegistry::add().
#include "objects/object_model.h"
#include "objects/rect_record.h"
#include "objects/sockets.h"
#include "objects/streams.h"
#include "objects/string_list.h"

namespace kestrel::objects {

void registerRegistryType(TypeRegistry& registry);  // registry_object.cpp

void registerEngineTypes(TypeRegistry& registry) {
  registerStreamTypes(registry);
  registerStringListType(registry);
  registerRectangleTypes(registry);
  registerRegistryType(registry);
  registerSocketType(registry);
}

}  // namespace kestrel::objects
