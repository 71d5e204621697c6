// The clipboard on QClipboard: program text, and pictures as images. On a
// platform without a screen the clipboard lives inside the process.
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>

#include "toolkit/qt/qt_services.h"
#include "toolkit/qt/qt_surface.h"
#include "toolkit/qt/qt_text.h"

namespace kestrel::qt {

namespace {
QClipboard& clipboard() {
  application(false);
  return *QGuiApplication::clipboard();
}
}  // namespace

bool clipboardHasText() {
  const QMimeData* data = clipboard().mimeData();
  return data != nullptr && data->hasText();
}

std::string clipboardText() { return toProgramText(clipboard().text()); }

void setClipboardText(const std::string& text) { clipboard().setText(fromProgramText(text)); }

bool clipboardHasPicture() {
  const QMimeData* data = clipboard().mimeData();
  return data != nullptr && data->hasImage();
}

std::unique_ptr<gui::Surface> clipboardPicture() {
  const QImage image = clipboard().image();
  if (image.isNull()) return nullptr;
  auto surface = std::make_unique<QtSurface>(0, 0, gui::kWhite);
  surface->adopt(image);
  return surface;
}

void setClipboardPicture(const gui::Surface& picture) {
  const QImage image = imageOf(picture);
  if (!image.isNull()) clipboard().setImage(image);
}

void clearClipboard() { clipboard().clear(); }

}  // namespace kestrel::qt
