#include "objects/bitmap.h"

#include <algorithm>

#include "core/machine.h"
#include "objects/control_members.h"
#include "objects/gui_state.h"
#include "objects/streams.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "toolkit/colors.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {
constexpr int32_t kDeviceContextBase = 0x00C00000;
constexpr const char* kInvalidBitmap = "Bitmap image is not valid";
}  // namespace

Bitmap::Bitmap(Machine&, int type) : Object(type), surface_(toolkit().createSurface(0, 0, gui::kWhite)) {}

int32_t Bitmap::transparentColor() const {
  if (transparentMode != 0) return static_cast<int32_t>(gui::colorToRgb(fixedTransparentColor));
  if (monochrome != 0) return static_cast<int32_t>(gui::kWhite);
  if (surface_->empty()) return 0;
  return surface_->pixel(0, surface_->height() - 1);
}

// New parts of the picture take the canvas's brush colour.
void Bitmap::setSize(int32_t width, int32_t height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  checkPictureSize(width, height);
  surface_->resize(width, height, surface_->state.brush);
  if (monochrome != 0) surface_->makeMonochrome();
}

void Bitmap::loadBytes(const std::vector<uint8_t>& bytes) {
  if (!surface_->load(bytes.data(), bytes.size())) raise(kInvalidBitmap);
  if (monochrome != 0) surface_->makeMonochrome();
}

namespace {

std::string hostName(Machine& m, const Str& name, const char* verb) {
  if (m.options.sandbox) raise(std::string(verb) + " \"" + name.str() + "\". files are not available in the sandbox");
  return platform::translatePath(name.view());
}

void loadFile(Machine& m, Bitmap& b) {
  skipByte(m);
  const Str name = stringOperand(m);
  skipByte(m);
  b.loadBytes(programFileBytes(m, name));
}

// Always a BMP file, whatever the name's ending.
void saveFile(Machine& m, Bitmap& b) {
  skipByte(m);
  const Str name = stringOperand(m);
  skipByte(m);
  if (!platform::writeFileBytes(hostName(m, name, "Cannot create file"), b.surface().saveBmp()))
    raise("Cannot create file \"" + name.str() + "\". The file cannot be written");
}

uint32_t littleEndian32(const std::vector<uint8_t>& bytes, size_t at) {
  return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
         static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

// A BMP ends where its header says, so that what follows it in the stream
// stays for the next reader; any other picture takes the rest.
void loadStream(Machine& m, Bitmap& b) {
  Stream* st = streamReference(m);
  if (st == nullptr) return;
  const int64_t start = st->position();
  const int64_t left = std::max<int64_t>(0, st->size() - start);
  if (left > int64_t{1} << 30) raise(texts::kOutOfMemory);
  std::vector<uint8_t> bytes(static_cast<size_t>(left));
  bytes.resize(st->read(bytes.data(), bytes.size()));
  b.loadBytes(bytes);
  if (bytes.size() >= 6 && bytes[0] == 'B' && bytes[1] == 'M') {
    const uint32_t size = littleEndian32(bytes, 2);
    if (size >= 6 && size < bytes.size()) st->setPosition(start + size);
  }
}

void saveStream(Machine& m, Bitmap& b) {
  Stream* st = streamReference(m);
  if (st == nullptr) return;
  const std::vector<uint8_t> bytes = b.surface().saveBmp();
  st->write(bytes.data(), bytes.size());
}

// A file name loads the file; a graphic-valued read copies the register's
// graphic.
void writePicture(Machine& m, Bitmap& b) {
  std::vector<uint8_t> bytes;
  if (pictureFileOperand(m, bytes)) {
    b.loadBytes(bytes);
    return;
  }
  const Graphic g = registerGraphic(m);
  if (g.surface != nullptr && g.surface != &b.surface()) b.surface().assign(*g.surface);
}

void readPicture(Machine& m, Bitmap& b, EvalStacks& s) {
  world(m).graphic = {kBitmapType, b.tag, &b.surface(), world(m).graphic.icon};
  s.pushNumber(0);
}

void loadResource(Machine& m, Bitmap& b) {
  skipByte(m);
  b.loadBytes(resourceOperand(m));
}

void rotate(Machine& m, Bitmap& b) {
  const int32_t height = numberOperand(m);
  const int32_t width = numberOperand(m);
  checkPictureSize(std::max(width, 0), std::max(height, 0));
  canvas::rotate(m, b.canvasTarget(), height, width);
}

void setMonochrome(Machine& m, Bitmap& b) {
  b.monochrome = flagOperand(m);
  if (b.monochrome != 0) b.surface().makeMonochrome();
}

std::vector<Member<Bitmap>> bitmapRows() {
  std::vector<Member<Bitmap>> rows = {
      {0, "Height", "E", [](Machine& m, Bitmap& b) { b.setSize(b.surface().width(), numberOperand(m)); },
       "", [](Machine&, Bitmap& b, EvalStacks& s) { s.pushNumber(b.surface().height()); }, "the height in pixels"},
      {1, "Width", "E", [](Machine& m, Bitmap& b) { b.setSize(numberOperand(m), b.surface().height()); },
       "", [](Machine&, Bitmap& b, EvalStacks& s) { s.pushNumber(b.surface().width()); }, "the width in pixels"},
      {2, "Font", "O", [](Machine& m, Bitmap& b) { b.font() = fontOperand(m).desc; }, nullptr, nullptr,
       "font object: the canvas font takes its attributes"},
      // The canvas's device context: a number of its own; one set is ignored.
      {11, "Handle", "E", [](Machine& m, Bitmap&) { m.evaluate(); },
       "", [](Machine&, Bitmap& b, EvalStacks& s) { s.pushNumber(kDeviceContextBase + 4 * b.tag); },
       "the canvas's device-context number (writing evaluates a value and ignores it)"},
      {13, "Empty", nullptr, nullptr, "", [](Machine&, Bitmap& b, EvalStacks& s) { pushBool(s, b.surface().empty()); },
       "1 when the bitmap has no pixels, else 0"},
      {14, "Monochrome", "E", setMonochrome, "", [](Machine&, Bitmap& b, EvalStacks& s) { pushFlag(s, b.monochrome); },
       "flag: black and white only (setting it turns the pixels)"},
      {15, "TransparentColor", "E",
       [](Machine& m, Bitmap& b) {
         b.fixedTransparentColor = numberOperand(m);
         b.transparentMode = 1;
       },
       "", [](Machine&, Bitmap& b, EvalStacks& s) { s.pushNumber(b.transparentColor()); },
       "the colour left out when the bitmap is drawn transparent (setting it fixes it)"},
      {16, "TransparentMode", "E", [](Machine& m, Bitmap& b) { b.transparentMode = numberOperand(m) != 0 ? 1 : 0; },
       "", [](Machine&, Bitmap& b, EvalStacks& s) { s.pushNumber(b.transparentMode); },
       "0: the bottom-left pixel's colour is transparent, 1: TransparentColor"},
      {17, "LoadFromFile", "bEb", loadFile, nullptr, nullptr, "file name: loads a picture (BMP, PNG, JPEG ...)"},
      {18, "SaveToFile", "bEb", saveFile, nullptr, nullptr, "file name: saves the picture as BMP"},
      {19, "LoadFromStream", "Tb", loadStream, nullptr, nullptr, "stream: loads a picture from the stream's position"},
      {20, "SaveToStream", "Tb", saveStream, nullptr, nullptr,
       "stream: writes the picture as BMP at the stream's position"},
      {21, "Picture", "E", writePicture, "", readPicture,
       "a file name, or a graphic read: the picture; a read gives 0 and names this bitmap in the graphic register"},
      {22, "LoadFromResource", "bB", loadResource, nullptr, nullptr,
       "resource number: loads the picture held in that resource"},
      {23, "Transparent", "E", [](Machine& m, Bitmap& b) { b.transparent = flagOperand(m); },
       "", [](Machine&, Bitmap& b, EvalStacks& s) { pushFlag(s, b.transparent); },
       "flag: drawing leaves out the transparent colour"},
      {26, "PixelFormat", "E", [](Machine& m, Bitmap& b) { b.pixelFormat = numberOperand(m); },
       "", [](Machine&, Bitmap& b, EvalStacks& s) { s.pushNumber(b.monochrome != 0 ? 1 : b.pixelFormat); },
       "0 device, 1 one bit ... 7 32 bits (kept; a monochrome bitmap reads 1)"},
      {31, "Rotate", "EEEEE", rotate, nullptr, nullptr,
       "height, width, x, y, angle: turns the picture by angle degrees about (x, y) through the scratch bitmap"},
  };
  addFontMembers(rows, 200);
  addCanvasMembers(rows, CanvasCodes{.textOut = 3, .line = 4, .floodFill = 5, .circle = 6, .rectangle = 7,
                                     .pset = 9, .pixel = 10, .fillRect = 8, .draw = 12, .copyMode = 24,
                                     .copyRect = 25, .stretchDraw = 27, .textRect = 28, .textHeight = 29,
                                     .textWidth = 30});
  return rows;
}

std::unique_ptr<Object> createBitmap(Machine& m, int type, int32_t) { return std::make_unique<Bitmap>(m, type); }

}  // namespace

void registerBitmapType(TypeRegistry& registry) {
  static const std::vector<Member<Bitmap>> rows = bitmapRows();
  registry.add(describeType(kBitmapType, "bitmap", rows, createBitmap));
}

}  // namespace kestrel::objects
