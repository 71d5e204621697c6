#pragma once
// The canvas drawing operations: one routine per operation, shared by every
// type that owns a drawing surface (forms, bitmaps, and later images, paint
// boxes, list boxes, grids and the printer). Each reads its own operands.
//
// Coordinates, colours and sizes are rounded (Draw's coordinates are
// truncated). The canvas state that an operation changes stays changed:
// the pen colour (Line, Circle), the brush (TextOut, TextRect, Circle,
// Rectangle, FillRect), the text colour (TextOut, TextRect). A clear brush
// fills nothing, as it does on the programs' canvas; Circle leaves the brush
// solid again.
#include <cstdint>

#include "expr/eval_stacks.h"
#include "toolkit/surface.h"

namespace kestrel {
class Machine;
}

namespace kestrel::objects {

// A surface with the font that its text uses.
struct CanvasTarget {
  gui::Surface& surface;
  gui::FontDesc& font;
};

// Objects whose canvas can be the source of CopyRect.
class CanvasOwner {
 public:
  virtual ~CanvasOwner() = default;
  virtual CanvasTarget canvasTarget() = 0;
};

namespace canvas {

void textOut(Machine& m, CanvasTarget c);
void line(Machine& m, CanvasTarget c);
void floodFill(Machine& m, CanvasTarget c);
void circle(Machine& m, CanvasTarget c);
void rectangle(Machine& m, CanvasTarget c);
void fillRect(Machine& m, CanvasTarget c);
void pset(Machine& m, CanvasTarget c);  // also Pixel written
void pixel(Machine& m, CanvasTarget c, EvalStacks& s);
void draw(Machine& m, CanvasTarget c);
void setCopyMode(Machine& m, CanvasTarget c);
void copyMode(Machine& m, CanvasTarget c, EvalStacks& s);
void copyRect(Machine& m, CanvasTarget c);
void stretchDraw(Machine& m, CanvasTarget c);
void textRect(Machine& m, CanvasTarget c);
void textHeight(Machine& m, CanvasTarget c, EvalStacks& s);
void textWidth(Machine& m, CanvasTarget c, EvalStacks& s);
// Turns the picture by an angle about a centre (the three operands) through
// the scratch bitmap, which takes the size given.
void rotate(Machine& m, CanvasTarget c, int32_t height, int32_t width);

}  // namespace canvas

}  // namespace kestrel::objects
