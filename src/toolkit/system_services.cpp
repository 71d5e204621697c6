// The null toolkit's system objects: no font dialog, one printer that
// prints nothing (an A4 page at 300 dots per inch), and a clipboard that
// lives inside the process.
#include "toolkit/surface.h"
#include "toolkit/toolkit.h"

namespace kestrel {

namespace {

constexpr gui::Size kA4At300{2480, 3508};

class NullPrintDocument : public gui::PrintDocument {
 public:
  explicit NullPrintDocument(gui::Size size) : page_(gui::makeNullSurface(size.width, size.height)) {}
  gui::Surface& page() override { return *page_; }
  void newPage() override {}
  void finish() override {}
  void abort() override {}

 private:
  std::unique_ptr<gui::Surface> page_;
};

}  // namespace

bool Toolkit::showFontDialog(gui::FontDialogRequest&) { return false; }

std::vector<std::string> Toolkit::printerNames() { return {"Null printer"}; }

gui::PrinterCapabilities Toolkit::printerCapabilities(int) { return {}; }

gui::Size Toolkit::printerPageSize(const gui::PrintSettings& settings) {
  if (settings.orientation == gui::Orientation::Landscape) return {kA4At300.height, kA4At300.width};
  return kA4At300;
}

std::unique_ptr<gui::PrintDocument> Toolkit::beginPrintDocument(const gui::PrintSettings& settings) {
  return std::make_unique<NullPrintDocument>(printerPageSize(settings));
}

std::unique_ptr<gui::Surface> Toolkit::createPrinterCanvas(const gui::PrintSettings&) {
  return gui::makeNullSurface(0, 0);
}

bool Toolkit::clipboardHasText() { return clipHasText_; }
std::string Toolkit::clipboardText() { return clipText_; }

void Toolkit::setClipboardText(const std::string& text) {
  clearClipboard();
  clipText_ = text;
  clipHasText_ = true;
}

bool Toolkit::clipboardHasPicture() { return clipPicture_ != nullptr; }

std::unique_ptr<gui::Surface> Toolkit::clipboardPicture() {
  return clipPicture_ ? clipPicture_->clone() : nullptr;
}

void Toolkit::setClipboardPicture(const gui::Surface& picture) {
  clearClipboard();
  clipPicture_ = picture.clone();
}

void Toolkit::clearClipboard() {
  clipText_.clear();
  clipHasText_ = false;
  clipPicture_.reset();
}

}  // namespace kestrel
