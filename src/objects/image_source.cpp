#include "objects/image_source.h"

#include "objects/member_operands.h"

namespace kestrel::objects {

// An image list that cannot give its pictures shows none.
ImageSource* imageSourceOperand(Machine& m) {
  return dynamic_cast<ImageSource*>(&containerLookup(m, readObjectOperand(m)));
}

}  // namespace kestrel::objects
