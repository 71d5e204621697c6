#pragma once
// Pictures that controls show beside their items (tree nodes, list
// items): the images of an image list, which the program names with an
// object operand. A type whose objects hold such images implements this;
// the controls only ask for image n.
#include <cstdint>

#include "objects/object_model.h"
#include "toolkit/gui_types.h"
#include "toolkit/surface.h"

namespace kestrel::objects {

class ImageSource {
 public:
  virtual ~ImageSource() = default;
  // The size every image has.
  virtual gui::Size imageSize() const = 0;
  // Image n, or nullptr when there is no such image.
  virtual const gui::Surface* image(int32_t index) const = 0;
};

// The image source named by an object operand: the image list object it
// names ("Invalid class typecast" for an object of another class).
ImageSource* imageSourceOperand(Machine& m);

}  // namespace kestrel::objects
