// The printer's text channel on Qt print support: lines of fixed-pitch text
// on the default printer, or in a PDF file in the current folder when no
// printer is configured.
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cstdio>

#include "state/errors.h"
#include "toolkit/qt/qt_services.h"
#include "toolkit/qt/qt_text.h"

namespace kestrel::qt {

QString freePdfName() {
  for (int n = 1;; ++n) {
    const QString name = QStringLiteral("print-%1.pdf").arg(n);
    if (!QFile::exists(name)) return name;
  }
}

namespace {

// The printer needs the application object first.
std::unique_ptr<QPrinter> makePrinter() {
  application(false);
  return std::make_unique<QPrinter>(QPrinter::HighResolution);
}

class QtTextPrintJob : public TextPrintJob {
 public:
  explicit QtTextPrintJob(const std::string& title) : printer_(makePrinter()) {
    printer_->setDocName(fromProgramText(title));
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
      pdfName_ = freePdfName();
      printer_->setOutputFormat(QPrinter::PdfFormat);
      printer_->setOutputFileName(pdfName_);
    } else {
      printer_->setPrinterName(info.printerName());
    }
  }

  ~QtTextPrintJob() override {
    try {
      finish();
    } catch (...) {
    }
  }

  void write(std::string_view text) override {
    begin();
    // Line ends: "\r\n" or "\n"; a lone "\r" starts the line again.
    const QString s = fromProgramText(text);
    for (QChar c : s) {
      if (c == u'\n') {
        endLine();
      } else if (c == u'\r') {
        flushLine();
        column_ = 0;
        lineStart_ = 0;
      } else if (c == u'\f') {
        endLine();
        newPage();
      } else if (c == u'\t') {
        do put(u' ');
        while (column_ % 8 != 0);
      } else {
        put(c);
      }
    }
  }

  void finish() override {
    if (finished_) return;
    finished_ = true;
    begin();  // an empty job still makes its (empty) page
    flushLine();
    painter_.end();
    if (!pdfName_.isEmpty()) {
      if (!QFile::exists(pdfName_)) raise("Cannot create file " + pdfName_.toStdString());
      std::fprintf(stderr, "kestrel: print job saved as %s\n", pdfName_.toLocal8Bit().constData());
      std::fflush(stderr);
    }
  }

 private:
  void begin() {
    if (painter_.isActive() || (finished_ && started_)) return;
    started_ = true;
    if (!painter_.begin(printer_.get())) {
      finished_ = true;
      raise(pdfName_.isEmpty() ? std::string("Printer not available")
                               : "Cannot create file " + pdfName_.toStdString());
    }
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(10);
    painter_.setFont(font);
    const QFontMetricsF metrics(font, printer_.get());
    lineHeight_ = metrics.lineSpacing();
    ascent_ = metrics.ascent();
    charWidth_ = metrics.horizontalAdvance(QLatin1Char('M'));
    const QRectF page = printer_->pageRect(QPrinter::DevicePixel);
    pageWidth_ = page.width();
    pageHeight_ = page.height();
    columns_ = std::max(1, static_cast<int>(pageWidth_ / charWidth_));
    y_ = 0;
  }

  void put(QChar c) {
    if (column_ >= columns_) endLine();  // long lines wrap at the margin
    line_ += c;
    ++column_;
  }

  void flushLine() {
    if (!line_.isEmpty()) {
      painter_.drawText(QPointF(lineStart_ * charWidth_, y_ + ascent_), line_);
      lineStart_ = column_;
      line_.clear();
    }
    if (column_ == 0) lineStart_ = 0;
  }

  void endLine() {
    flushLine();
    column_ = 0;
    lineStart_ = 0;
    y_ += lineHeight_;
    if (y_ + lineHeight_ > pageHeight_) newPage();
  }

  void newPage() {
    flushLine();
    printer_->newPage();
    y_ = 0;
  }

  std::unique_ptr<QPrinter> printer_;
  QPainter painter_;
  QString pdfName_;
  QString line_;
  bool started_ = false;
  bool finished_ = false;
  int column_ = 0;
  int lineStart_ = 0;
  int columns_ = 80;
  qreal y_ = 0, lineHeight_ = 0, ascent_ = 0, charWidth_ = 1, pageWidth_ = 0, pageHeight_ = 0;
};

}  // namespace

std::unique_ptr<TextPrintJob> startTextPrintJob(const std::string& title) {
  return std::make_unique<QtTextPrintJob>(title);
}

}  // namespace kestrel::qt
