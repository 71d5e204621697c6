#include "objects/image_source.h"

#include "objects/member_operands.h"
#include "state/errors.h"

namespace kestrel::objects {

ImageSource* imageSourceOperand(Machine& m) {
  auto* images = dynamic_cast<ImageSource*>(&containerLookup(m, readObjectOperand(m)));
  if (images == nullptr) raise(texts::kInvalidCast);
  return images;
}

}  // namespace kestrel::objects
