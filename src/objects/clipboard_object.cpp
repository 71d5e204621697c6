// The clipboard (type 78): every clipboard object is the system clipboard.
// Text passes as program text (at most 32000 characters are read at once,
// through the transfer buffer); pictures pass through the graphic register.
#include <algorithm>
#include <cstring>

#include "core/machine.h"
#include "objects/bitmap.h"
#include "objects/gui_state.h"
#include "objects/member_operands.h"
#include "platform/low_heap.h"
#include "platform/memory_access.h"
#include "toolkit/surface.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {

constexpr int kClipboardType = 78;
constexpr size_t kTextLimit = 32000;
// The bitmaps' device-context numbers (bitmap.cpp): a picture handle given
// to the clipboard may name a bitmap that way.
constexpr int32_t kBitmapHandleBase = 0x00C00000;
// The handle that stands for the clipboard's picture once it is read.
constexpr int32_t kClipboardPictureHandle = 0x00C40000;

// Clipboard formats as the programs number them.
bool isTextFormat(int32_t format) { return format == 1 || format == 7 || format == 13; }
bool isPictureFormat(int32_t format) { return format == 2 || format == 8 || format == 17; }

// The copy of the text that a text handle points at; valid until the next
// text handle is read.
struct ClipboardState : FamilyState {
  explicit ClipboardState(Machine&) {}
  ~ClipboardState() override { dropText(); }
  void dropText() {
    if (text != nullptr) heap.release(text, textBytes);
    text = nullptr;
    textBytes = 0;
  }
  platform::LowHeap heap;
  uint8_t* text = nullptr;
  size_t textBytes = 0;
  int32_t openCount = 0;
};

class Clipboard : public Object {
 public:
  explicit Clipboard(int type) : Object(type) {}
};

// The clipboard's text, cut to `limit` characters, through the transfer buffer.
Str clipboardText(Machine& m, size_t limit) {
  const std::string text = toolkit().clipboardText();
  std::vector<uint8_t>& buffer = world(m).transferBuffer();
  const size_t n = std::min({text.size(), limit, buffer.size()});
  std::memcpy(buffer.data(), text.data(), n);
  return Str(std::string_view(reinterpret_cast<const char*>(buffer.data()), n));
}

bool hasFormat(int32_t format) {
  if (isTextFormat(format)) return toolkit().clipboardHasText();
  if (isPictureFormat(format)) return toolkit().clipboardHasPicture();
  return false;
}

// A text format yields the address of a zero-terminated copy of the text;
// a picture format puts the picture in the graphic register (as the scratch
// bitmap) and yields a handle that stands for it. 0 when there is none.
double dataHandle(Machine& m, int32_t format) {
  if (isTextFormat(format)) {
    if (!toolkit().clipboardHasText()) return 0;
    const Str text = clipboardText(m, kTextLimit);
    ClipboardState& c = world(m).state<ClipboardState>();
    c.dropText();
    c.textBytes = text.size() + 1;
    c.text = c.heap.allocate(c.textBytes);
    std::memcpy(c.text, text.data(), text.size());
    return static_cast<double>(reinterpret_cast<uintptr_t>(c.text));
  }
  if (isPictureFormat(format)) {
    std::unique_ptr<gui::Surface> picture = toolkit().clipboardPicture();
    if (!picture) return 0;
    gui::Surface& scratch = guiState(m).scratch();
    scratch.assign(*picture);
    world(m).graphic = {0, 0, &scratch, world(m).graphic.icon};
    return kClipboardPictureHandle;
  }
  return 0;
}

// A picture handle: a bitmap's handle names that bitmap; any other takes
// the graphic that the handle's expression left in the graphic register.
const gui::Surface* pictureOfHandle(Machine& m, int64_t handle) {
  ObjectWorld& w = world(m);
  const int64_t offset = handle - kBitmapHandleBase;
  if (offset >= 0 && offset % 4 == 0 && offset / 4 < static_cast<int64_t>(w.count(kBitmapType))) {
    if (auto* b = dynamic_cast<Bitmap*>(&w.at(kBitmapType, static_cast<int32_t>(offset / 4)))) return &b->surface();
  }
  return registerGraphic(m).surface;
}

void setHandle(Machine& m, Clipboard&) {
  skipByte(m);
  const int32_t format = numberOperand(m);
  skipByte(m);
  m.evaluate();
  const double handle = m.numReg;
  skipByte(m);
  if (isTextFormat(format)) {
    toolkit().setClipboardText(platform::textAtAddress(platform::addressFromNumber(handle), kTextLimit));
  } else if (isPictureFormat(format)) {
    const gui::Surface* picture = pictureOfHandle(m, static_cast<int64_t>(handle));
    if (picture != nullptr && !picture->empty()) toolkit().setClipboardPicture(*picture);
  }
}

const Member<Clipboard> kClipboardMembers[] = {
    {0, "AsText", "E", [](Machine& m, Clipboard&) { toolkit().setClipboardText(stringOperand(m).str()); },
     "", [](Machine& m, Clipboard&, EvalStacks& s) { s.pushString(clipboardText(m, kTextLimit)); },
     "the clipboard's text"},
    {1, "Clear", "b", [](Machine& m, Clipboard&) { skipByte(m); toolkit().clearClipboard(); }, nullptr, nullptr,
     "empties the clipboard"},
    // Opening and closing only count: every change reaches the clipboard at once.
    {2, "Close", "b",
     [](Machine& m, Clipboard&) {
       skipByte(m);
       int32_t& open = world(m).state<ClipboardState>().openCount;
       open = std::max(open - 1, 0);
     },
     nullptr, nullptr, "closes the clipboard (opening only counts: changes reach it at once)"},
    {3, "Open", "b", [](Machine& m, Clipboard&) { skipByte(m); ++world(m).state<ClipboardState>().openCount; }, nullptr, nullptr,
     "opens the clipboard"},
    {4, "HasFormat", "E", [](Machine& m, Clipboard&) { m.evaluate(); },
     "E", [](Machine& m, Clipboard&, EvalStacks& s) { pushBool(s, hasFormat(numberOperand(m))); },
     "format (1, 7, 13 text; 2, 8, 17 picture): 1 when the clipboard holds it, else 0"},
    {5, "AsHandle", "E", [](Machine& m, Clipboard&) { m.evaluate(); },
     "E", [](Machine& m, Clipboard&, EvalStacks& s) { s.pushNumber(dataHandle(m, numberOperand(m))); },
     "format: the address of a copy of the text, or a handle for the picture (graphic register); 0: none"},
    {6, "TextBuf", "E", [](Machine& m, Clipboard&) { m.evaluate(); },
     "E", [](Machine& m, Clipboard&, EvalStacks& s) {
       const int32_t n = numberOperand(m);
       s.pushString(clipboardText(m, static_cast<size_t>(std::max(n, 0))));
     }, "n: at most n bytes of the clipboard's text"},
    {7, "SetAsHandle", "bEbEb", setHandle, nullptr, nullptr,
     "format, handle: puts the text at an address, or a bitmap's picture, on the clipboard"},
    {8, "SetTextBuf", "bEb",
     [](Machine& m, Clipboard&) {
       skipByte(m);
       toolkit().setClipboardText(stringOperand(m).str());
       skipByte(m);
     },
     nullptr, nullptr, "text: puts the text on the clipboard"},
};

std::unique_ptr<Object> createClipboard(Machine&, int type, int32_t) { return std::make_unique<Clipboard>(type); }

}  // namespace

void registerClipboardType(TypeRegistry& registry) {
  TypeDescriptor clipboard = describeType(kClipboardType, "clipboard", kClipboardMembers, createClipboard);
  clipboard.ignoredWritesFrom = 9;
  registry.add(std::move(clipboard));
}

}  // namespace kestrel::objects
