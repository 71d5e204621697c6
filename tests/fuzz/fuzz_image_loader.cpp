// Feeds arbitrary bytes to the image loader, as an image and as a bound file.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/program_image.h"
#include "state/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  try {
    kestrel::ProgramImage image = kestrel::parseImage(bytes);
    for (size_t i = 0; i < image.resources.size(); ++i) image.resource(i);
  } catch (const kestrel::RuntimeError&) {
  }
  try {
    kestrel::imageFromBound(bytes);
  } catch (const kestrel::RuntimeError&) {
  }
  return 0;
}
