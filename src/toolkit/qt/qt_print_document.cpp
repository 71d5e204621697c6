// The printer as a canvas: documents on a configured printer, or PDF files
// in the current folder (the last entry of the printer list, and the
// default when no printer is configured). Every printer works at 300 dots
// per inch. The page keeps a picture of what was drawn (for pixel reads,
// flood fills and copies) and draws the same on the printer: text, lines
// and shapes as vectors, pictures and fills as images.
#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "state/errors.h"
#include "toolkit/qt/qt_fonts.h"
#include "toolkit/qt/qt_services.h"
#include "toolkit/qt/qt_surface.h"
#include "toolkit/qt/qt_text.h"

namespace kestrel::qt {

namespace {

constexpr int kResolution = 300;
constexpr const char* kPdfPrinterName = "PDF file";

QStringList systemPrinters() {
  application(false);
  return QPrinterInfo::availablePrinterNames();
}

bool isPdf(int printer) { return printer < 0 || printer >= systemPrinters().size(); }

// A printer set up for the settings; a PDF printer gets a file name when
// `pdfName` asks for one.
std::unique_ptr<QPrinter> configuredPrinter(const gui::PrintSettings& s, QString* pdfName) {
  application(false);
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (isPdf(s.printer)) {
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setFullPage(true);
    if (pdfName != nullptr) {
      *pdfName = freePdfName();
      printer->setOutputFileName(*pdfName);
    }
  } else {
    printer->setPrinterName(systemPrinters().at(s.printer));
  }
  printer->setResolution(kResolution);
  printer->setPageOrientation(s.orientation == gui::Orientation::Landscape ? QPageLayout::Landscape
                                                                           : QPageLayout::Portrait);
  printer->setCopyCount(std::max(s.copies, 1));
  printer->setDocName(fromProgramText(s.title));
  return printer;
}

gui::Size pageSizeOf(QPrinter& printer) {
  const QRectF page = printer.pageRect(QPrinter::DevicePixel);
  return {static_cast<int32_t>(std::lround(page.width())), static_cast<int32_t>(std::lround(page.height()))};
}

// The page: drawing goes into the picture (the base class) and, while a
// document is printing, onto the printer as well.
class PageSurface : public QtSurface {
 public:
  PageSurface(int32_t width, int32_t height, QPainter* out)
      : QtSurface(width, height, gui::kWhite), out_(out) {}

  // The next page starts blank.
  void blank() { QtSurface::clear(gui::kWhite); }

  void clear(uint32_t color) override {
    QtSurface::clear(color);
    if (out_ != nullptr) out_->fillRect(QRect(0, 0, width(), height()), qColor(color));
  }

  void textOut(int32_t x, int32_t y, std::string_view text) override {
    QtSurface::textOut(x, y, text);
    if (out_ == nullptr || text.empty() || empty()) return;
    const QFont font = textFont();
    const QFontMetrics metrics(font);
    const QString s = fromProgramText(text);
    if (!state.brushClear) out_->fillRect(QRect(x, y, metrics.horizontalAdvance(s), metrics.height()), qColor(state.brush));
    drawText(font, x, y + metrics.ascent(), s);
  }

  void textRect(const gui::Rect& clip, int32_t x, int32_t y, std::string_view text) override {
    QtSurface::textRect(clip, x, y, text);
    if (out_ == nullptr) return;
    const QRect area = onPage(clip.left, clip.top, clip.right, clip.bottom);
    if (area.isEmpty()) return;
    const QFont font = textFont();
    out_->save();
    out_->setClipRect(area);
    if (!state.brushClear) out_->fillRect(area, qColor(state.brush));
    drawText(font, x, y + QFontMetrics(font).ascent(), fromProgramText(text));
    out_->restore();
  }

  void line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override {
    QtSurface::line(x1, y1, x2, y2);
    if (out_ == nullptr || (x1 == x2 && y1 == y2)) return;
    QPen pen(qColor(state.pen));
    pen.setWidth(1);
    pen.setCapStyle(Qt::FlatCap);
    out_->setPen(pen);
    out_->drawLine(QPointF(x1 + 0.5, y1 + 0.5), QPointF(x2 + 0.5, y2 + 0.5));
  }

  void ellipse(const gui::Rect& box) override {
    QtSurface::ellipse(box);
    if (out_ == nullptr) return;
    const int left = std::min(box.left, box.right), right = std::max(box.left, box.right);
    const int top = std::min(box.top, box.bottom), bottom = std::max(box.top, box.bottom);
    if (right - left < 2 || bottom - top < 2) return;
    QPen pen(qColor(state.pen));
    pen.setWidth(1);
    out_->setPen(pen);
    if (state.brushClear) out_->setBrush(Qt::NoBrush);
    else out_->setBrush(qColor(state.brush));
    out_->drawEllipse(QRectF(left + 0.5, top + 0.5, right - left - 1, bottom - top - 1));
  }

  void frameRect(const gui::Rect& r) override {
    QtSurface::frameRect(r);
    if (out_ == nullptr || r.right <= r.left || r.bottom <= r.top) return;
    const QColor color = qColor(state.brush);
    const int64_t l = r.left, t = r.top, rt = r.right, b = r.bottom;
    for (const QRect& edge : {onPage(l, t, rt, t + 1), onPage(l, b - 1, rt, b), onPage(l, t, l + 1, b), onPage(rt - 1, t, rt, b)})
      if (!edge.isEmpty()) out_->fillRect(edge, color);
  }

  void fillRect(const gui::Rect& r) override {
    QtSurface::fillRect(r);
    if (out_ == nullptr) return;
    const QRect area = onPage(r.left, r.top, r.right, r.bottom);
    if (!area.isEmpty()) out_->fillRect(area, qColor(state.brush));
  }

  // The pixels the fill changed go to the printer as an image with the
  // rest left transparent, so that text under it stays text.
  void floodFill(int32_t x, int32_t y, uint32_t border) override {
    if (out_ == nullptr) {
      QtSurface::floodFill(x, y, border);
      return;
    }
    const QImage before = image();
    QtSurface::floodFill(x, y, border);
    const QImage& after = image();
    if (before.isNull() || after.constBits() == before.constBits()) return;  // nothing was written
    int left = after.width(), top = after.height(), right = -1, bottom = -1;
    for (int py = 0; py < after.height(); ++py) {
      const auto* a = reinterpret_cast<const QRgb*>(after.constScanLine(py));
      const auto* b = reinterpret_cast<const QRgb*>(before.constScanLine(py));
      for (int px = 0; px < after.width(); ++px) {
        if (a[px] == b[px]) continue;
        left = std::min(left, px);
        right = std::max(right, px);
        top = std::min(top, py);
        bottom = std::max(bottom, py);
      }
    }
    if (right < left) return;
    QImage changed(right - left + 1, bottom - top + 1, QImage::Format_ARGB32);
    for (int py = top; py <= bottom; ++py) {
      const auto* a = reinterpret_cast<const QRgb*>(after.constScanLine(py));
      const auto* b = reinterpret_cast<const QRgb*>(before.constScanLine(py));
      auto* row = reinterpret_cast<QRgb*>(changed.scanLine(py - top));
      for (int px = left; px <= right; ++px) row[px - left] = a[px] == b[px] ? 0 : (a[px] | 0xFF000000u);
    }
    out_->drawImage(left, top, changed);
  }

  void setPixel(int32_t x, int32_t y, uint32_t color) override {
    QtSurface::setPixel(x, y, color);
    if (out_ != nullptr && x >= 0 && y >= 0 && x < width() && y < height()) out_->fillRect(QRect(x, y, 1, 1), qColor(color));
  }

  void draw(int32_t x, int32_t y, const gui::Surface& source, const int32_t* transparent) override {
    QtSurface::draw(x, y, source, transparent);
    blit(x, y, int64_t{x} + source.width(), int64_t{y} + source.height());
  }

  void stretchDraw(const gui::Rect& target, const gui::Surface& source, const int32_t* transparent) override {
    QtSurface::stretchDraw(target, source, transparent);
    blit(std::min(target.left, target.right), std::min(target.top, target.bottom), std::max(target.left, target.right),
         std::max(target.top, target.bottom));
  }

  void copyRect(const gui::Rect& target, const gui::Surface& source, const gui::Rect& from) override {
    QtSurface::copyRect(target, source, from);
    blit(target.left, target.top, target.right, target.bottom);
  }

 protected:
  // Points at the printer's resolution.
  QFont textFont() const override {
    QFont font = makeFont(state.font);
    const double points = std::abs(static_cast<double>(state.font.size));
    const int pixels = static_cast<int>(std::lround(points * kResolution / 72.0));
    font.setPixelSize(pixels > 0 ? pixels : kResolution * 8 / 72);
    return font;
  }

 private:
  // A rectangle cut to the page, computed wide so that huge coordinates
  // cannot overflow.
  QRect onPage(int64_t left, int64_t top, int64_t right, int64_t bottom) const {
    left = std::max<int64_t>(left, 0);
    top = std::max<int64_t>(top, 0);
    right = std::min<int64_t>(right, width());
    bottom = std::min<int64_t>(bottom, height());
    if (right <= left || bottom <= top) return {};
    return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left), static_cast<int>(bottom - top));
  }

  // The picture's pixels of an area, drawn on the printer as they are.
  void blit(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    if (out_ == nullptr) return;
    const QRect area = onPage(left, top, right, bottom);
    if (!area.isEmpty()) out_->drawImage(area.topLeft(), image().copy(area));
  }

  void drawText(const QFont& font, int64_t x, int64_t baseline, const QString& text) {
    out_->setFont(font);
    out_->setPen(qColor(state.fontColor));
    out_->drawText(QPointF(static_cast<double>(std::clamp<int64_t>(x, -(1 << 24), 1 << 24)),
                           static_cast<double>(std::clamp<int64_t>(baseline, -(1 << 24), 1 << 24))),
                   text);
  }

  QPainter* out_;
};

class QtPrintDocument : public gui::PrintDocument {
 public:
  explicit QtPrintDocument(const gui::PrintSettings& settings) : printer_(configuredPrinter(settings, &pdfName_)) {
    if (!painter_.begin(printer_.get()))
      raise(pdfName_.isEmpty() ? std::string("Printer not available") : "Cannot create file " + pdfName_.toStdString());
    const gui::Size size = pageSizeOf(*printer_);
    page_ = std::make_unique<PageSurface>(size.width, size.height, &painter_);
  }

  ~QtPrintDocument() override {
    try {
      finish();
    } catch (...) {
    }
  }

  gui::Surface& page() override { return *page_; }

  void newPage() override {
    printer_->newPage();
    page_->blank();
  }

  void finish() override {
    if (done_) return;
    done_ = true;
    painter_.end();
    if (pdfName_.isEmpty()) return;
    if (!QFile::exists(pdfName_)) raise("Cannot create file " + pdfName_.toStdString());
    std::fprintf(stderr, "kestrel: print job saved as %s\n", pdfName_.toLocal8Bit().constData());
    std::fflush(stderr);
  }

  void abort() override {
    if (done_) return;
    done_ = true;
    if (pdfName_.isEmpty()) printer_->abort();
    painter_.end();
    if (!pdfName_.isEmpty()) QFile::remove(pdfName_);
  }

 private:
  QString pdfName_;  // before the printer, which names the file
  std::unique_ptr<QPrinter> printer_;
  QPainter painter_;
  std::unique_ptr<PageSurface> page_;
  bool done_ = false;
};

}  // namespace

std::vector<std::string> printerNames() {
  std::vector<std::string> names;
  for (const QString& name : systemPrinters()) names.push_back(name.toStdString());
  names.emplace_back(kPdfPrinterName);
  return names;
}

int defaultPrinter() {
  const QStringList printers = systemPrinters();
  const qsizetype i = printers.indexOf(QPrinterInfo::defaultPrinterName());
  return static_cast<int>(i >= 0 ? i : printers.size());
}

gui::PrinterCapabilities printerCapabilities(int printer) {
  if (isPdf(printer)) return {false, true, false};
  QPrinter p(QPrinter::HighResolution);
  p.setPrinterName(systemPrinters().at(printer));
  const bool copies = p.supportsMultipleCopies();
  return {copies, true, copies};
}

gui::Size printerPageSize(const gui::PrintSettings& settings) {
  return pageSizeOf(*configuredPrinter(settings, nullptr));
}

std::unique_ptr<gui::PrintDocument> beginPrintDocument(const gui::PrintSettings& settings) {
  return std::make_unique<QtPrintDocument>(settings);
}

std::unique_ptr<gui::Surface> createPrinterCanvas(const gui::PrintSettings&) {
  application(false);
  return std::make_unique<PageSurface>(0, 0, nullptr);
}

}  // namespace kestrel::qt
