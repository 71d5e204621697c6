#pragma once
// The container of embedded objects (type 86): a control with the common
// visual members. Embedding is not available on this platform, so its
// create fails as a missing class does, it never holds an object, and the
// members that need one raise "Variant does not reference an automation
// object" (docs/automation.md).
#include "objects/control.h"
#include "toolkit/peers/ole_container.h"

namespace kestrel::ole {

inline constexpr int kContainerType = 86;

class OleContainer : public objects::ControlOf<gui::ContainerPeer> {
 public:
  OleContainer(Machine& m, int type);

  const char* windowClass() const override { return "TOleContainer"; }

  int32_t borderStyle() const { return borderStyle_; }
  void setBorderStyle(int32_t style);
  int32_t sizeMode() const { return sizeMode_; }
  void setSizeMode(int32_t mode) { sizeMode_ = mode; }

  // Flags the program sets and reads back; they change nothing while no
  // object can be embedded.
  uint8_t activateOnCreate = 1;
  uint8_t allowInPlace = 1;
  uint8_t options = 0;

 private:
  int32_t borderStyle_ = 1;
  int32_t sizeMode_ = 0;
};

void registerContainerType(objects::TypeRegistry& registry);

}  // namespace kestrel::ole
