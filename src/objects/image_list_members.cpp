// The member table of image lists (type 57).
#include "objects/gui_state.h"
#include "objects/image_list.h"
#include "objects/member_rows.h"
#include "toolkit/dialogs.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {

constexpr const char* kAddFailed = "Trying to add to ImageList: Invalid image size";
constexpr const char* kInsertFailed = "Trying to insert into ImageList: Invalid image size or index";
constexpr const char* kInvalidBitmap = "Bitmap image is not valid";
constexpr const char* kInvalidIcon = "Invalid icon";

// A picture's bytes into `target`; `error` when they are no picture.
void loadPicture(gui::Surface& target, const std::vector<uint8_t>& bytes, const char* error) {
  if (!target.load(bytes.data(), bytes.size())) raise(error);
}

// The bitmap a member adds: loaded into the scratch bitmap (from a file or
// a resource), or the picture a graphic-valued read named.
const gui::Surface& bitmapFromFile(Machine& m) {
  std::vector<uint8_t> bytes;
  if (!pictureFileOperand(m, bytes)) return *registerGraphic(m).surface;
  gui::Surface& scratch = guiState(m).scratch();
  loadPicture(scratch, bytes, kInvalidBitmap);
  return scratch;
}

const gui::Surface& bitmapFromResource(Machine& m) {
  gui::Surface& scratch = guiState(m).scratch();
  loadPicture(scratch, resourceOperand(m), kInvalidBitmap);
  return scratch;
}

// An icon from a file, or the icon (else the picture) the graphic register holds.
std::unique_ptr<gui::Surface> iconFromFile(Machine& m) {
  std::vector<uint8_t> bytes;
  if (!pictureFileOperand(m, bytes)) {
    GuiState& g = guiState(m);
    if (world(m).graphic.icon != nullptr && g.registerIcon) return g.registerIcon->clone();
    return registerGraphic(m).surface->clone();
  }
  std::unique_ptr<gui::Surface> icon = toolkit().createSurface(0, 0, gui::kWhite);
  loadPicture(*icon, bytes, kInvalidIcon);
  return icon;
}

std::unique_ptr<gui::Surface> iconFromResource(Machine& m) {
  std::unique_ptr<gui::Surface> icon = toolkit().createSurface(0, 0, gui::kWhite);
  loadPicture(*icon, resourceOperand(m), kInvalidIcon);
  return icon;
}

// ---- Adding and inserting (bytes b around each operand, as the table
// gives them): b, [index, b,] source, b, [mask colour, b].

using BitmapSource = const gui::Surface& (*)(Machine&);
using IconSource = std::unique_ptr<gui::Surface> (*)(Machine&);

template <BitmapSource Source, bool Inserting>
void putBitmap(Machine& m, ImageList& l) {
  skipByte(m);
  int32_t index = 0;
  if constexpr (Inserting) {
    index = numberOperand(m);
    skipByte(m);
  }
  const gui::Surface& bitmap = Source(m);
  skipByte(m);
  const int32_t mask = numberOperand(m);
  skipByte(m);
  const bool done = Inserting ? l.insertBitmap(index, bitmap, mask) : l.addBitmap(bitmap, mask);
  if (!done) plainMessageBox(m, Inserting ? kInsertFailed : kAddFailed);
}

template <IconSource Source, bool Inserting>
void putIcon(Machine& m, ImageList& l) {
  skipByte(m);
  int32_t index = 0;
  if constexpr (Inserting) {
    index = numberOperand(m);
    skipByte(m);
  }
  const std::unique_ptr<gui::Surface> icon = Source(m);
  skipByte(m);
  const bool done = Inserting ? l.insertIcon(index, *icon) : l.addIcon(*icon);
  if (!done) plainMessageBox(m, Inserting ? kInsertFailed : kAddFailed);
}

void deleteImage(Machine& m, ImageList& l) {
  skipByte(m);
  const int32_t index = numberOperand(m);
  skipByte(m);
  l.remove(index);
}

// ---- Reading images out. Image n goes into the scratch bitmap (a new
// white one of the list's size) or the graphic register's icon; an n
// that names no image gives a blank one.

void readBitmap(Machine& m, ImageList& l, EvalStacks& s) {
  const int32_t n = numberOperand(m);
  const std::unique_ptr<gui::Surface> fresh = toolkit().createSurface(l.width(), l.height(), gui::kWhite);
  l.draw(*fresh, 0, 0, n);
  gui::Surface& scratch = guiState(m).scratch();
  scratch.assign(*fresh);
  scratch.state = fresh->state;
  world(m).graphic = {kImageListType, l.tag, &scratch, world(m).graphic.icon};
  s.pushNumber(n);
}

void readIcon(Machine& m, ImageList& l, EvalStacks& s) {
  const int32_t n = numberOperand(m);
  GuiState& g = guiState(m);
  if (const gui::Surface* picture = l.strip().at(n)) {
    g.registerIcon = picture->clone();
  } else {
    g.registerIcon = toolkit().createSurface(l.width(), l.height(), gui::kWhite);
    g.registerIcon->clearTransparent();
  }
  world(m).graphic = {kImageListType, l.tag, nullptr, g.registerIcon.get()};
  s.pushNumber(n);
}

// A handle of another image list takes its images; any other number is ignored.
void writeHandle(Machine& m, ImageList& l) {
  const int32_t handle = numberOperand(m);
  if (ImageList* other = imageListOfHandle(m, handle)) l.assign(*other);
}

std::vector<Member<ImageList>> imageListRows() {
  using L = ImageList;
  return {
      property<&L::bkColor, &L::setBkColor>(0, "BkColor",
                                            "colour behind masked pixels when drawn (536870911: none)"),
      property<&L::blendColor, &L::setBlendColor>(
          1, "BlendColor", "colour focus and selected drawing blend toward (536870911: none, 536870912: highlight)"),
      readOnly<&L::count>(2, "Count", "the number of images"),
      property<&L::drawingStyle, &L::setDrawingStyle>(
          3, "DrawingStyle", "0 focus (a quarter blended), 1 selected (half), 2 normal, 3 transparent"),
      property<&L::height, &L::setHeight>(4, "Height",
                                          "height of every image, 1 to 4096; a new size empties the list"),
      property<&L::width, &L::setWidth>(5, "Width", "width of every image, 1 to 4096; a new size empties the list"),
      property<&L::imageType, &L::setImageType>(6, "ImageType", "0 the images are drawn, 1 their masks"),
      property<&L::masked, &L::setMasked>(7, "Masked", "flag: bitmaps added with a mask colour are masked"),
      field<&L::shareImages>(8, "ShareImages", "flag, kept"),
      {9, "AddBitmapResource", "bBbEb", putBitmap<bitmapFromResource, false>, nullptr, nullptr,
       "resource number, mask colour: adds the bitmap held in that resource (as AddBitmap)"},
      {10, "AddIconResource", "bBb", putIcon<iconFromResource, false>, nullptr, nullptr,
       "resource number: adds the icon held in that resource"},
      {11, "AddBitmap", "bEbEb", putBitmap<bitmapFromFile, false>, nullptr, nullptr,
       "file name or graphic read, mask colour (536870911 none, 536870912 the bottom-left pixel's): adds one image "
       "per Width of the bitmap"},
      {12, "AddIcon", "bEb", putIcon<iconFromFile, false>, nullptr, nullptr,
       "file name or graphic read: adds the icon scaled to the list's size"},
      {13, "Clear", "b", [](Machine& m, L& l) {
         skipByte(m);
         l.clear();
       }, nullptr, nullptr, "removes every image"},
      {14, "Delete", "bEb", deleteImage, nullptr, nullptr,
       "index: removes that image (\"Invalid ImageList Index\" outside the list)"},
      {15, "InsertBitmapResource", "bEbBbEb", putBitmap<bitmapFromResource, true>, nullptr, nullptr,
       "index, resource number, mask colour: inserts the bitmap's images at the index"},
      {16, "InsertIconResource", "bEbBb", putIcon<iconFromResource, true>, nullptr, nullptr,
       "index, resource number: inserts the icon at the index"},
      {17, "InsertBitmap", "bEbEbEb", putBitmap<bitmapFromFile, true>, nullptr, nullptr,
       "index, file name or graphic read, mask colour: inserts the bitmap's images at the index"},
      {18, "InsertIcon", "bEbEb", putIcon<iconFromFile, true>, nullptr, nullptr,
       "index, file name or graphic read: inserts the icon at the index"},
      {19, "Bitmap", nullptr, nullptr, "E", readBitmap,
       "n: image n drawn on a new white scratch bitmap (blank for no such image), named by the graphic register; "
       "gives n"},
      {20, "Icon", nullptr, nullptr, "E", readIcon,
       "n: image n as the graphic register's icon (blank for no such image); gives n"},
      {21, "Handle", "E", writeHandle, "", [](Machine&, L& l, EvalStacks& s) { s.pushNumber(l.handle()); },
       "the list's number; writing another list's number copies its images"},
  };
}

std::unique_ptr<Object> createImageList(Machine&, int type, int32_t) { return std::make_unique<ImageList>(type); }

}  // namespace

void registerImageListType(TypeRegistry& registry) {
  static const std::vector<Member<ImageList>> rows = imageListRows();
  registry.add(describeType(kImageListType, "imagelist", rows, createImageList));
}

}  // namespace kestrel::objects
