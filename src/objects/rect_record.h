#pragma once
// Rectangles (four 32-bit integers: Left, Top, Right, Bottom) and records
// of 88 bytes (six 32-bit integers and a 64-byte zero-terminated text).
// Both live in tables in the low arena, so their addresses can be handed
// to external functions and stay valid while the tables grow.
#include <cstdint>

#include "objects/object_model.h"

namespace kestrel::objects {

inline constexpr int kRectangleType = 68;
inline constexpr int kRecordType = 71;
inline constexpr int kRecordBytes = 88;
inline constexpr int kRecordTextBytes = 64;

class Rectangle : public Object {
 public:
  Rectangle(int type, int32_t* f) : Object(type), fields(f) {}
  int32_t* fields;  // Left, Top, Right, Bottom
};

class Record88 : public Object {
 public:
  Record88(int type, uint8_t* b) : Object(type), bytes(b) {}
  uint8_t* bytes;  // fields 0 to 5 at 4-byte steps, the text at 24
};

void registerRectangleTypes(TypeRegistry& registry);

}  // namespace kestrel::objects
