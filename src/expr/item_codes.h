#pragma once
// Item codes of the postfix expression encoding.
#include <cstdint>

namespace kestrel {

enum ItemCode : uint8_t {
  kItemVariable = 1,
  kItemConstant = 2,
  kItemElement = 3,
  kItemBuiltin = 6,
  kItemMember = 8,
  kItemEnd = 11,
  kItemParameter = 12,
  kItemCall = 13,
  kItemOpenCall = 15,
  kItemExternal = 17,
  kItemComputedCall = 27,
  kItemComputedOpenCall = 28,
  kItemArrayMember = 29,
  kItemStructField = 37,
  kItemStructArrayField = 38,
  kItemStructSize = 39,
  kItemStructAddress = 40,
  kItemStructElementAddress = 41,
};

}  // namespace kestrel
