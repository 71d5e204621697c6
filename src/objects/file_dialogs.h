#pragma once
// The open and save dialogs (types 44 and 45).
#include "objects/object_model.h"

namespace kestrel::objects {

inline constexpr int kOpenDialogType = 44;
inline constexpr int kSaveDialogType = 45;

void registerFileDialogTypes(TypeRegistry& registry);

}  // namespace kestrel::objects
