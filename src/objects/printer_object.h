#pragma once
// The printer (type 73). Every printer object stands for the one system
// printer, so the state lives in the family: the printer chosen, the job's
// settings, the document being printed and the canvas's font and state.
#include <memory>
#include <string>

#include "objects/canvas_ops.h"
#include "objects/object_model.h"
#include "toolkit/surface.h"
#include "toolkit/system_types.h"

namespace kestrel::objects {

inline constexpr int kPrinterType = 73;

struct PrinterState : FamilyState {
  explicit PrinterState(Machine& m);
  ~PrinterState() override;

  int32_t index = -1;  // -1: the default printer
  std::string title;
  int32_t copies = 1;
  gui::Orientation orientation = gui::Orientation::Portrait;
  std::unique_ptr<gui::PrintDocument> document;  // while printing
  bool aborted = false;                          // the last document was aborted
  int32_t pageNumber = 0;                        // 1 on the first page; 0 outside a document
  gui::FontDesc font;                            // the canvas font
  const bool sandbox;

  gui::PrintSettings settings() const;
  // The page being printed, or outside a document a canvas that draws
  // nothing. Pen, brush and copy mode carry over between the two.
  gui::Surface& canvas();
  gui::Size pageSize();

  // Errors: "Printing in progress" when a document is open and must not
  // be, "Printer is not printing" when one is needed.
  void begin();
  void end();
  void abort();
  void newPage();
  void setIndex(int32_t n);  // -1 to count - 1, else "Printer index out of range"
  void setOrientation(int32_t value);

 private:
  void keepState();
  void forgetIdleCanvas();
  std::unique_ptr<gui::Surface> idleCanvas;
  gui::CanvasState canvasState;
};

PrinterState& printerState(Machine& m);

class PrinterObject : public Object, public CanvasOwner {
 public:
  PrinterObject(Machine& m, int type) : Object(type), m_(m) {}
  CanvasTarget canvasTarget() override;
  gui::FontDesc& font();
  void fontChanged() {}

 private:
  Machine& m_;
};

void registerPrinterType(TypeRegistry& registry);

}  // namespace kestrel::objects
