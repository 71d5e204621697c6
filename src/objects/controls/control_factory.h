#pragma once
// The factory of a type whose objects are made from the machine and their
// type code alone, for families that register several such types.
#include <cstdint>
#include <memory>

#include "objects/object_model.h"

namespace kestrel::objects {

template <class T>
std::unique_ptr<Object> createControl(Machine& m, int type, int32_t) {
  return std::make_unique<T>(m, type);
}

}  // namespace kestrel::objects
