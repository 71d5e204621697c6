// The printer (type 73): every printer object is the one system printer,
// with a canvas for the printed page. Documents are started, paged, ended
// and aborted here; the toolkit prints them (or writes a PDF file).
#include "objects/printer_object.h"

#include "core/machine.h"
#include "objects/control.h"
#include "objects/control_members.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {

constexpr int32_t kPrinterDeviceContext = 0x00C80000;
constexpr const char* kNotPrinting = "Printer is not printing";
constexpr const char* kPrinting = "Printing in progress";
constexpr const char* kBadIndex = "Printer index out of range";

}  // namespace

PrinterState::PrinterState(Machine& m) : sandbox(m.options.sandbox) {}

// A document still open when the program ends is printed, so that nothing
// drawn is lost.
PrinterState::~PrinterState() {
  if (!document) return;
  try {
    document->finish();
  } catch (...) {
  }
}

gui::PrintSettings PrinterState::settings() const {
  gui::PrintSettings s;
  s.printer = index >= 0 ? index : toolkit().defaultPrinter();
  s.title = title;
  s.copies = copies;
  s.orientation = orientation;
  return s;
}

gui::Surface& PrinterState::canvas() {
  if (document) return document->page();
  if (!idleCanvas) {
    idleCanvas = toolkit().createPrinterCanvas(settings());
    idleCanvas->state = canvasState;
  }
  return *idleCanvas;
}

void PrinterState::keepState() { canvasState = canvas().state; }

void PrinterState::forgetIdleCanvas() {
  if (idleCanvas) canvasState = idleCanvas->state;
  idleCanvas.reset();
}

void PrinterState::begin() {
  if (document) raise(kPrinting);
  forgetIdleCanvas();
  // The sandbox prints nothing: its documents are the null toolkit's.
  document = sandbox ? toolkit().Toolkit::beginPrintDocument(settings()) : toolkit().beginPrintDocument(settings());
  document->page().state = canvasState;
  aborted = false;
  pageNumber = 1;
}

void PrinterState::end() {
  if (!document) raise(kNotPrinting);
  keepState();
  std::unique_ptr<gui::PrintDocument> done = std::move(document);
  pageNumber = 0;
  done->finish();
}

void PrinterState::abort() {
  if (!document) raise(kNotPrinting);
  keepState();
  std::unique_ptr<gui::PrintDocument> dropped = std::move(document);
  pageNumber = 0;
  aborted = true;
  dropped->abort();
}

void PrinterState::newPage() {
  if (!document) raise(kNotPrinting);
  document->newPage();
  ++pageNumber;
}

void PrinterState::setIndex(int32_t n) {
  if (document) raise(kPrinting);
  const auto count = static_cast<int32_t>(toolkit().printerNames().size());
  if (n < -1 || n >= count) raise(kBadIndex);
  index = n;
  forgetIdleCanvas();
}

void PrinterState::setOrientation(int32_t value) {
  if (document) raise(kPrinting);
  orientation = value == 1 ? gui::Orientation::Landscape : gui::Orientation::Portrait;
  forgetIdleCanvas();
}

gui::Size PrinterState::pageSize() {
  if (document) return {document->page().width(), document->page().height()};
  return toolkit().printerPageSize(settings());
}

PrinterState& printerState(Machine& m) { return world(m).state<PrinterState>(); }

CanvasTarget PrinterObject::canvasTarget() {
  PrinterState& p = printerState(m_);
  return {p.canvas(), p.font};
}

namespace {

std::string listEntry(const std::vector<std::string>& names, int32_t n) {
  if (n < 0 || static_cast<size_t>(n) >= names.size()) raiseListIndex(n);
  return names[static_cast<size_t>(n)];
}

template <class F>
void readState(Machine& m, PrinterObject&, EvalStacks& s, F value) {
  s.pushNumber(value(printerState(m)));
}

std::vector<Member<PrinterObject>> printerRows() {
  using P = PrinterObject;
  using S = PrinterState;
  std::vector<Member<P>> rows = {
      {0, "Aborted", nullptr, nullptr, "", [](Machine& m, P& o, EvalStacks& s) { readState(m, o, s, [](S& p) { return p.aborted ? 1 : 0; }); },
       "1 when the last document was aborted, else 0"},
      {1, "CanCopies", nullptr, nullptr, "",
       [](Machine& m, P&, EvalStacks& s) { pushBool(s, toolkit().printerCapabilities(printerState(m).settings().printer).copies); },
       "1 when the printer prints several copies itself, else 0"},
      {2, "CanOrientation", nullptr, nullptr, "",
       [](Machine& m, P&, EvalStacks& s) { pushBool(s, toolkit().printerCapabilities(printerState(m).settings().printer).orientation); },
       "1 when the printer turns pages, else 0"},
      {3, "CanCollate", nullptr, nullptr, "",
       [](Machine& m, P&, EvalStacks& s) { pushBool(s, toolkit().printerCapabilities(printerState(m).settings().printer).collation); },
       "1 when the printer collates copies, else 0"},
      {4, "Copies", "E",
       [](Machine& m, P&) {
         const int32_t n = numberOperand(m);
         S& p = printerState(m);
         if (p.document) raise(kPrinting);
         p.copies = std::max(n, 1);
       },
       "", [](Machine& m, P& o, EvalStacks& s) { readState(m, o, s, [](S& p) { return p.copies; }); },
       "copies of each document (at least 1; not while printing)"},
      {5, "Handle", nullptr, nullptr, "", [](Machine&, P&, EvalStacks& s) { s.pushNumber(kPrinterDeviceContext); },
       "the printer canvas's device-context number"},
      {6, "Orientation", "E", [](Machine& m, P&) { printerState(m).setOrientation(numberOperand(m)); },
       "", [](Machine& m, P& o, EvalStacks& s) { readState(m, o, s, [](S& p) { return static_cast<int>(p.orientation); }); },
       "0 portrait, 1 landscape (not while printing)"},
      {7, "PageHeight", nullptr, nullptr, "", [](Machine& m, P&, EvalStacks& s) { s.pushNumber(printerState(m).pageSize().height); },
       "the printable page's height in printer pixels"},
      {8, "PageNumber", nullptr, nullptr, "", [](Machine& m, P& o, EvalStacks& s) { readState(m, o, s, [](S& p) { return p.pageNumber; }); },
       "the page being printed, from 1"},
      {9, "PageWidth", nullptr, nullptr, "", [](Machine& m, P&, EvalStacks& s) { s.pushNumber(printerState(m).pageSize().width); },
       "the printable page's width in printer pixels"},
      {10, "PrinterIndex", "E", [](Machine& m, P&) { printerState(m).setIndex(numberOperand(m)); },
       "", [](Machine& m, P& o, EvalStacks& s) { readState(m, o, s, [](S& p) { return p.index; }); },
       "the printer used, an index into the printer names"},
      {11, "Title", "E", [](Machine& m, P&) { printerState(m).title = stringOperand(m).str(); },
       "", [](Machine& m, P&, EvalStacks& s) { s.pushString(printerState(m).title); },
       "the document's title in the print queue"},
      {12, "Printing", nullptr, nullptr, "", [](Machine& m, P& o, EvalStacks& s) { readState(m, o, s, [](S& p) { return p.document ? 1 : 0; }); },
       "1 while a document is open, else 0"},
      {13, "PrinterName", "E", [](Machine& m, P&) { m.evaluate(); },
       "E", [](Machine& m, P&, EvalStacks& s) { s.pushString(listEntry(toolkit().printerNames(), numberOperand(m))); },
       "n: the name of printer n (writing evaluates a value and ignores it)"},
      {14, "PrinterFontName", "E", [](Machine& m, P&) { m.evaluate(); },
       "E", [](Machine& m, P&, EvalStacks& s) { s.pushString(listEntry(toolkit().screenFonts(), numberOperand(m))); },
       "n: the name of font n (writing evaluates a value and ignores it)"},
      {15, "Abort", "b", [](Machine& m, P&) { skipByte(m); printerState(m).abort(); }, nullptr, nullptr,
       "ends the document without printing it"},
      {16, "BeginDoc", "b", [](Machine& m, P&) { skipByte(m); printerState(m).begin(); }, nullptr, nullptr,
       "starts a document: the canvas draws on its first page"},
      {17, "EndDoc", "b", [](Machine& m, P&) { skipByte(m); printerState(m).end(); }, nullptr, nullptr,
       "ends the document and prints it"},
      {18, "NewPage", "b", [](Machine& m, P&) { skipByte(m); printerState(m).newPage(); }, nullptr, nullptr,
       "starts a new page"},
      {19, "PrinterFontCount", nullptr, nullptr, "",
       [](Machine&, P&, EvalStacks& s) { s.pushNumber(static_cast<double>(toolkit().screenFonts().size())); },
       "the number of fonts"},
      {20, "PrinterCount", nullptr, nullptr, "",
       [](Machine&, P&, EvalStacks& s) { s.pushNumber(static_cast<double>(toolkit().printerNames().size())); },
       "the number of printers"},
      {21, "Font", "O", [](Machine& m, P&) { printerState(m).font = fontOperand(m).desc; }, nullptr, nullptr,
       "font object: the printer canvas's font takes its attributes"},
  };
  addFontMembers(rows, 200);
  addCanvasMembers(rows, CanvasCodes{.textOut = 22, .line = 23, .floodFill = 24, .circle = 25, .rectangle = 26,
                                     .pset = 28, .pixel = 29, .fillRect = 27, .draw = 30, .copyMode = 31,
                                     .copyRect = 32, .stretchDraw = 33, .textRect = 34, .textHeight = 35,
                                     .textWidth = 36});
  return rows;
}

std::unique_ptr<Object> createPrinter(Machine& m, int type, int32_t) { return std::make_unique<PrinterObject>(m, type); }

}  // namespace

gui::FontDesc& PrinterObject::font() { return printerState(m_).font; }

void registerPrinterType(TypeRegistry& registry) {
  static const std::vector<Member<PrinterObject>> rows = printerRows();
  registry.add(describeType(kPrinterType, "printer", rows, createPrinter));
}

}  // namespace kestrel::objects
