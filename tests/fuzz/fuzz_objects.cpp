// Object and GUI statements on the null toolkit. Before the run every
// object type has three objects (0 to 2); the input then becomes member
// statements and member reads, so that the fuzzer spends its time inside
// the member tables instead of finding its way to them. Per statement:
//   byte 0  even: a member write, odd: a member read written to standard output
//   byte 1  the type (one of the types this build knows)
//   byte 2  the object (0 to 2)
//   byte 3  the member code
//   byte 4  how many of the following bytes are the member's operands
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/machine.h"
#include "objects/object_model.h"

namespace {

constexpr uint8_t kStatementEnd = 0x0D;
constexpr uint8_t kExpressionEnd = 11;

const std::vector<int>& knownTypes() {
  static const std::vector<int> types = [] {
    std::vector<int> found;
    for (int code = 0; code < 256; ++code)
      if (kestrel::objects::TypeRegistry::instance().find(code) != nullptr) found.push_back(code);
    return found;
  }();
  return types;
}

std::vector<uint8_t> imageFrom(const uint8_t* data, size_t size) {
  // An image with an empty data block; the statements follow.
  std::vector<uint8_t> image = {0x00, 0x04, 0x00, 0x00, 0x00};
  const std::vector<int>& types = knownTypes();
  size_t i = 0;
  while (i + 5 <= size) {
    const bool read = (data[i] & 1) != 0;
    const auto type = static_cast<uint8_t>(types[data[i + 1] % types.size()]);
    const auto object = static_cast<uint8_t>(data[i + 2] % 3);
    const uint8_t member = data[i + 3];
    const size_t operands = std::min<size_t>(data[i + 4] % 24, size - i - 5);
    i += 5;
    if (read) image.insert(image.end(), {0x00, 59, 8});  // stdout <member read>
    else image.push_back(8);                              // member write
    image.insert(image.end(), {type, object, 0x00, member});
    image.insert(image.end(), data + i, data + i + operands);
    i += operands;
    if (read) image.insert(image.end(), {kExpressionEnd, kStatementEnd});
  }
  image.push_back(0);  // the last byte is never run
  return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kestrel::ProgramImage image;
  try {
    image = kestrel::parseImage(imageFrom(data, size));
  } catch (const kestrel::RuntimeError&) {
    return 0;
  }
  kestrel::MachineOptions options;
  options.sandbox = true;
  options.windowed = true;
  options.stepBudget = 10000;
  options.maxCallDepth = 300;
  options.maxStringLength = 1 << 16;
  kestrel::Machine machine(std::move(image), std::move(options));
  std::string sink;
  machine.out.captureInto(&sink);
  try {
    for (int type : knownTypes()) kestrel::objects::world(machine).declare(type, 2);
    machine.run();
  } catch (const kestrel::RuntimeError&) {
  } catch (const kestrel::ProgramEnd&) {
  } catch (const kestrel::StepBudgetExhausted&) {
  }
  machine.out.flush();
  return 0;
}
