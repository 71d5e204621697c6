// The member table of images (type 43).
#include "objects/control_members.h"
#include "objects/controls/image.h"

namespace kestrel::objects {

namespace {

// A file name loads an icon; a graphic-valued read makes the icon the
// register holds (a form's or an image's Icon read) the picture, and a
// register without an icon leaves the image without a picture.
void writeIcon(Machine& m, Image& image) {
  std::vector<uint8_t> bytes;
  if (pictureFileOperand(m, bytes)) {
    image.loadIcon(bytes);
    return;
  }
  GuiState& g = guiState(m);
  const bool held = world(m).graphic.icon != nullptr && g.registerIcon && world(m).graphic.icon == g.registerIcon.get();
  image.assignIcon(held ? g.registerIcon.get() : nullptr);
}

void readIcon(Machine& m, Image& image, EvalStacks& s) {
  GuiState& g = guiState(m);
  g.registerIcon = image.pictureKind() == PictureKind::Icon ? image.picture().clone() : nullptr;
  world(m).graphic = {kImageType, image.tag, nullptr, g.registerIcon.get()};
  s.pushNumber(0);
}

// A file name loads a bitmap; a graphic-valued read copies the register's
// picture (a bitmap object, an image's picture, else the scratch bitmap).
void writeBitmap(Machine& m, Image& image) {
  std::vector<uint8_t> bytes;
  if (pictureFileOperand(m, bytes)) {
    image.loadBitmap(bytes);
    return;
  }
  image.assignBitmap(registerGraphic(m).surface);
}

void readBitmap(Machine& m, Image& image, EvalStacks& s) {
  world(m).graphic = {kImageType, image.tag, &image.picture(), world(m).graphic.icon};
  s.pushNumber(0);
}

// A bitmap's or an image's canvas number gives the picture a copy of that
// picture; any other number changes nothing.
void writeHandle(Machine& m, Image& image) {
  const int32_t handle = numberOperand(m);
  if (const gui::Surface* source = pictureOfCanvasHandle(m, handle)) image.assignBitmap(source);
}

void rotate(Machine& m, Image& image) {
  checkPictureSize(std::max(image.width(), 0), std::max(image.height(), 0));
  canvas::rotate(m, image.canvasTarget(), image.height(), image.width());
}

std::vector<Member<Image>> imageRows() {
  using I = Image;
  std::vector<Member<I>> rows = {
      property<&I::autoSize, &I::setAutoSize>(0, "AutoSize", "flag: the control takes the picture's size"),
      property<&I::center, &I::setCenter>(1, "Center", "flag: the picture is centred in the control"),
      {6, "Icon", "E", writeIcon, "", readIcon,
       "a file name, or a graphic read holding an icon (none: no picture); a read gives 0 and puts the "
       "picture's icon in the graphic register"},
      {7, "Bitmap", "E", writeBitmap, "", readBitmap,
       "a file name, or a graphic read (e.g. bitmap:0.Picture) copied in; a read gives 0 and names this image in "
       "the graphic register"},
      property<&I::transparent, &I::setTransparent>(
          8, "Transparent", "flag: the bitmap's bottom-left colour is left out, showing what is under the control"),
      {19, "BitmapResource", "B", [](Machine& m, I& image) { image.loadBitmap(resourceOperand(m)); }, nullptr,
       nullptr, "resource number: loads the bitmap held in that resource"},
      {20, "IconResource", "B", [](Machine& m, I& image) { image.loadIcon(resourceOperand(m)); }, nullptr, nullptr,
       "resource number: loads the icon held in that resource"},
      property<&I::stretch, &I::setStretch>(31, "Stretch", "flag: the picture is stretched over the control"),
      field<&I::incrementalDisplay>(32, "IncrementalDisplay", "flag, kept (pictures always show whole)"),
      {33, "Handle", "E", writeHandle, "", [](Machine&, I& image, EvalStacks& s) { s.pushNumber(image.canvasHandle()); },
       "the picture canvas's number; written with a bitmap's or an image's canvas number: a copy of that picture "
       "(other numbers are ignored)"},
      action<&I::repaint, Operand::IgnoredByte>(35, "Repaint", "shows the picture again"),
      {38, "CanvasFont", "O", [](Machine& m, I& image) { image.font() = fontOperand(m).desc; }, nullptr, nullptr,
       "font object: the picture canvas's font takes its attributes"},
      {44, "Rotate", "EEE", rotate, nullptr, nullptr,
       "x, y, angle: turns the picture by angle degrees about (x, y) through the scratch bitmap (the image's size)"},
  };
  addCommonMembers(rows, CommonCodes{.left = 2, .top = 4, .width = 5, .height = 3, .parent = 13, .popupMenu = 27,
                                     .enabled = 17, .visible = 18, .showHint = 25, .hint = 26, .cursor = 24,
                                     .align = 39});
  addEventMembers(rows, EventCodes{.click = 9, .dblClick = 10, .mouseDown = 21, .mouseUp = 23, .mouseMove = 22});
  addCanvasMembers(rows, CanvasCodes{.textOut = 11, .line = 12, .floodFill = 14, .circle = 15, .rectangle = 16,
                                     .pset = 28, .pixel = 29, .fillRect = 30, .draw = 34, .copyMode = 36,
                                     .copyRect = 37, .stretchDraw = 40, .textRect = 41, .textHeight = 42,
                                     .textWidth = 43});
  addFontMembers(rows, 200);
  return rows;
}

std::unique_ptr<Object> createImage(Machine& m, int type, int32_t) { return std::make_unique<Image>(m, type); }

}  // namespace

void registerImageType(TypeRegistry& registry) {
  static const std::vector<Member<Image>> rows = imageRows();
  registry.add(describeType(kImageType, "image", rows, createImage));
}

}  // namespace kestrel::objects
