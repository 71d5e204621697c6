#pragma once
// The ten store kinds of variables and array elements, and the conversions
// between a 64-bit float and each kind's stored form.
#include <cstdint>
#include <cstring>
#include <string>

#include "expr/conversions.h"

namespace kestrel {

enum StoreKind : uint8_t {
  kString = 0,
  kByte = 1,    // unsigned 8-bit
  kShort = 2,   // signed 16-bit
  kInteger = 3, // signed 32-bit
  kWord = 4,    // unsigned 16-bit
  kLong = 5,    // signed 32-bit
  kSingle = 6,  // 32-bit float
  kDouble = 7,  // 64-bit float
  kFixString = 8,
  kVariant = 9,
};

inline constexpr int kElementWidth[10] = {0, 1, 2, 4, 2, 4, 4, 8, 0, 0};

inline bool isNumericKind(int kind) { return kind >= 1 && kind <= 7; }

// Reads a numeric element of `kind` (1 to 7) and widens it to a double.
inline double loadNumber(int kind, const uint8_t* p) {
  switch (kind) {
    case kByte: return *p;
    case kShort: { int16_t v; std::memcpy(&v, p, 2); return v; }
    case kInteger:
    case kLong: { int32_t v; std::memcpy(&v, p, 4); return v; }
    case kWord: { uint16_t v; std::memcpy(&v, p, 2); return v; }
    case kSingle: { float v; std::memcpy(&v, p, 4); return v; }
    default: { double v; std::memcpy(&v, p, 8); return v; }
  }
}

// Writes an already converted 32-bit integer into an integer kind's width.
inline void storeInteger(int kind, uint8_t* p, int32_t v) {
  switch (kind) {
    case kByte: *p = static_cast<uint8_t>(v); break;
    case kShort:
    case kWord: { uint16_t w = static_cast<uint16_t>(v); std::memcpy(p, &w, 2); break; }
    default: std::memcpy(p, &v, 4); break;
  }
}

inline void storeSingle(uint8_t* p, double v) {
  float f = toSingle(v);
  std::memcpy(p, &f, 4);
}

// Assignment: integer kinds take Trunc, kind 6 single precision, kind 7 as is.
inline void storeNumberTrunc(int kind, uint8_t* p, double v) {
  if (kind == kDouble) std::memcpy(p, &v, 8);
  else if (kind == kSingle) storeSingle(p, v);
  else storeInteger(kind, p, truncToInt32(v));
}

// Loop updates and list fills: integer kinds take Round instead.
inline void storeNumberRound(int kind, uint8_t* p, double v) {
  if (kind == kDouble) std::memcpy(p, &v, 8);
  else if (kind == kSingle) storeSingle(p, v);
  else storeInteger(kind, p, roundToInt32(v));
}

}  // namespace kestrel
