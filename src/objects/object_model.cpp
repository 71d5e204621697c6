#include "objects/object_model.h"

#include <cmath>

#include "expr/conversions.h"
#include "core/machine.h"

namespace kestrel::objects {

void registerEngineTypes(TypeRegistry& registry);  // object_types.cpp

namespace {
// No type list grows beyond this many objects.
constexpr int64_t kMaxObjects = int64_t{1} << 20;

[[noreturn]] void raiseUnknownType(int type) {
  raise("Object type " + std::to_string(type) + " is not available");
}
}  // namespace

TypeRegistry& TypeRegistry::instance() {
  static TypeRegistry registry;
  if (!registry.builtinsAdded_) {
    registry.builtinsAdded_ = true;
    registerEngineTypes(registry);
  }
  return registry;
}

void TypeRegistry::add(TypeDescriptor descriptor) {
  const int code = descriptor.code;
  if (code < 0 || code > 255) return;
  types_[static_cast<size_t>(code)] = std::make_unique<TypeDescriptor>(std::move(descriptor));
}

void TypeRegistry::remove(int code) {
  if (code >= 0 && code <= 255) types_[static_cast<size_t>(code)].reset();
}

const TypeDescriptor* TypeRegistry::find(int code) {
  if (code < 0 || code > 255) return nullptr;
  return types_[static_cast<size_t>(code)].get();
}

ObjectWorld::~ObjectWorld() {
  for (auto& s : types_) s.reset();  // objects first: they may point into family states
  states_.clear();
}

const TypeDescriptor& ObjectWorld::descriptor(int type) {
  const TypeDescriptor* d = TypeRegistry::instance().find(type);
  if (d == nullptr) raiseUnknownType(type);
  return *d;
}

ObjectWorld::TypeSlot& ObjectWorld::slot(int type) {
  std::unique_ptr<TypeSlot>& s = types_[static_cast<size_t>(type & 255)];
  if (!s) s = std::make_unique<TypeSlot>();
  return *s;
}

size_t ObjectWorld::count(int type) const {
  if (type < 0 || type > 255 || !types_[static_cast<size_t>(type)]) return 0;
  return types_[static_cast<size_t>(type)]->objects.size();
}

void ObjectWorld::fillTo(const TypeDescriptor& d, TypeSlot& s, int64_t count) {
  if (count > kMaxObjects) raise(texts::kOutOfMemory);
  // Grown geometrically: a program that declares object arrays again and
  // again must not copy the whole list each time.
  if (static_cast<size_t>(count) > s.objects.capacity())
    s.objects.reserve(std::max(static_cast<size_t>(count), s.objects.capacity() * 2));
  while (static_cast<int64_t>(s.objects.size()) < count) {
    const auto index = static_cast<int32_t>(s.objects.size());
    std::unique_ptr<Object> object = d.create(m_, d.code, index);
    object->tag = index;
    s.objects.push_back(std::move(object));
  }
}

Object& ObjectWorld::at(int type, int32_t index, int classCode) {
  const TypeDescriptor& d = descriptor(type);
  TypeSlot& s = slot(type);
  if (index < 0) raiseListIndex(index);
  if (static_cast<size_t>(index) >= s.objects.size()) {
    if (!d.fixedTable || index > kMaxTableIndex) raiseListIndex(index);
    fillTo(d, s, int64_t{index} + 1);
  }
  Object& object = *s.objects[static_cast<size_t>(index)];
  if (object.classCode() != classCode) raise(texts::kInvalidCast);
  return object;
}

void ObjectWorld::declare(int type, int32_t index) {
  const TypeDescriptor& d = descriptor(type);
  if (index < 0) raiseListIndex(index);
  fillTo(d, slot(type), int64_t{index} + 1);
}

void ObjectWorld::declareArray(int type, int32_t arrayNumber, const ArrayDescriptor& bounds, double total) {
  const TypeDescriptor& d = descriptor(type);
  if (arrayNumber < 0 || arrayNumber >= kObjectArrays)
    raise("Object array number out of range (" + std::to_string(arrayNumber) + ")");
  TypeSlot& s = slot(type);
  fillTo(d, s, std::max<int64_t>(kReservedObjects, static_cast<int64_t>(s.objects.size())));
  ArrayDescriptor a = bounds;
  a.first = static_cast<int32_t>(s.objects.size());
  const int32_t rounded = roundToInt32(total);
  a.elements = rounded < 0 ? 0 : rounded;
  a.declared = true;
  s.arrays[static_cast<size_t>(arrayNumber)] = a;
  // One object more than the element count, as one run.
  if (rounded >= 0) fillTo(d, s, static_cast<int64_t>(s.objects.size()) + rounded + 1);
}

int64_t ObjectWorld::arrayElement(int type, int32_t arrayNumber, const double* subscripts, int count) {
  if (TypeRegistry::instance().find(type) == nullptr) return 0;  // a type without object arrays
  if (arrayNumber < 0 || arrayNumber >= kObjectArrays)
    raise("Object array number out of range (" + std::to_string(arrayNumber) + ")");
  const ArrayDescriptor& a = slot(type).arrays[static_cast<size_t>(arrayNumber)];
  if (!a.declared)
    raise("Object array " + std::to_string(arrayNumber) + " of object type " + std::to_string(type) +
          " is not declared");
  return linearIndexFloat(a, subscripts, count);
}

ObjectWorld& world(Machine& m) { return *m.objectWorld; }

}  // namespace kestrel::objects
