#include "objects/canvas_ops.h"

#include <algorithm>
#include <cmath>

#include "expr/conversions.h"
#include "core/machine.h"
#include "objects/gui_state.h"
#include "objects/member_operands.h"
#include "objects/rect_record.h"
#include "toolkit/colors.h"

namespace kestrel::objects::canvas {

namespace {

uint32_t rgb(int32_t color) { return gui::colorToRgb(color); }

// Text takes the canvas font; the text colour is the canvas's own.
void prepareText(CanvasTarget c) {
  c.surface.state.font = c.font;
  c.surface.state.fontColor = rgb(c.font.color);
}

// TextOut's and TextRect's background: 0 or more paints behind the text in
// that colour, a negative value leaves the pixels as they are.
void setTextBrush(CanvasTarget c, int32_t background) {
  if (background >= 0) {
    c.surface.state.brushClear = false;
    c.surface.state.brush = rgb(background);
  } else {
    c.surface.state.brushClear = true;
  }
}

gui::Rect normalised(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

gui::Rect fourNumbers(Machine& m) {
  const int32_t x1 = numberOperand(m);
  const int32_t y1 = numberOperand(m);
  const int32_t x2 = numberOperand(m);
  const int32_t y2 = numberOperand(m);
  return {x1, y1, x2, y2};
}

// A rectangle operand, type code first (the type is not used), copied as
// it is when read.
gui::Rect rectangleOperand(Machine& m) {
  const ObjectRef ref = readTypeFirstOperand(m);
  const int32_t* f = world(m).as<Rectangle>(kRectangleType, ref.index).fields;
  return {f[0], f[1], f[2], f[3]};
}

void drawGraphic(CanvasTarget c, const Graphic& g, const gui::Rect* stretch, int32_t x, int32_t y) {
  if (g.surface == nullptr || g.surface->empty()) return;
  const int32_t* key = g.transparent ? &g.transparentColor : nullptr;
  if (stretch != nullptr) c.surface.stretchDraw(*stretch, *g.surface, key);
  else c.surface.draw(x, y, *g.surface, key);
}

}  // namespace

void textOut(Machine& m, CanvasTarget c) {
  const int32_t x = numberOperand(m);
  const int32_t y = numberOperand(m);
  const Str text = stringOperand(m);
  const int32_t color = numberOperand(m);
  const int32_t background = numberOperand(m);
  c.font.color = color;
  prepareText(c);
  setTextBrush(c, background);
  c.surface.textOut(x, y, text.view());
}

void line(Machine& m, CanvasTarget c) {
  const gui::Rect r = fourNumbers(m);
  const int32_t color = numberOperand(m);
  c.surface.state.pen = rgb(color);
  c.surface.line(r.left, r.top, r.right, r.bottom);
  c.surface.setPixel(r.right, r.bottom, c.surface.state.pen);
}

void floodFill(Machine& m, CanvasTarget c) {
  const int32_t x = numberOperand(m);
  const int32_t y = numberOperand(m);
  const int32_t fill = numberOperand(m);
  const int32_t border = numberOperand(m);
  const uint32_t saved = c.surface.state.brush;
  c.surface.state.brush = rgb(fill);
  if (!c.surface.state.brushClear) c.surface.floodFill(x, y, rgb(border));
  c.surface.state.brush = saved;
}

void circle(Machine& m, CanvasTarget c) {
  const gui::Rect box = fourNumbers(m);
  const int32_t pen = numberOperand(m);
  const int32_t fill = numberOperand(m);
  c.surface.state.pen = rgb(pen);
  c.surface.state.brush = rgb(fill);
  if (fill == -1) c.surface.state.brushClear = true;
  c.surface.ellipse(box);
  c.surface.state.brushClear = false;
}

void rectangle(Machine& m, CanvasTarget c) {
  const gui::Rect r = fourNumbers(m);
  const int32_t color = numberOperand(m);
  c.surface.state.brush = rgb(color);
  if (!c.surface.state.brushClear) c.surface.frameRect(normalised(r.left, r.top, r.right, r.bottom));
}

void fillRect(Machine& m, CanvasTarget c) {
  const gui::Rect r = fourNumbers(m);
  const int32_t color = numberOperand(m);
  c.surface.state.brush = rgb(color);
  if (!c.surface.state.brushClear) c.surface.fillRect(normalised(r.left, r.top, r.right, r.bottom));
}

void pset(Machine& m, CanvasTarget c) {
  const int32_t x = numberOperand(m);
  const int32_t y = numberOperand(m);
  const int32_t color = numberOperand(m);
  c.surface.setPixel(x, y, rgb(color));
}

void pixel(Machine& m, CanvasTarget c, EvalStacks& s) {
  const int32_t x = numberOperand(m);
  const int32_t y = numberOperand(m);
  s.pushNumber(c.surface.pixel(x, y));
}

void draw(Machine& m, CanvasTarget c) {
  const int32_t x = truncOperand(m);
  const int32_t y = truncOperand(m);
  m.evaluate();  // a graphic-valued read fills the graphic register
  drawGraphic(c, registerGraphic(m), nullptr, x, y);
}

void setCopyMode(Machine& m, CanvasTarget c) { c.surface.state.copyMode = static_cast<uint32_t>(numberOperand(m)); }

void copyMode(Machine&, CanvasTarget c, EvalStacks& s) {
  s.pushNumber(static_cast<int32_t>(c.surface.state.copyMode));
}

// The source is any object with a canvas (bitmaps, images, paint boxes,
// forms); another type is "Invalid class typecast".
void copyRect(Machine& m, CanvasTarget c) {
  const gui::Rect target = rectangleOperand(m);
  const ObjectRef source = readTypeFirstOperand(m);
  const gui::Rect from = rectangleOperand(m);
  skipByte(m);
  auto* owner = dynamic_cast<CanvasOwner*>(&world(m).at(source.type, source.index));
  if (owner == nullptr) raise(texts::kInvalidCast);
  c.surface.copyRect(target, owner->canvasTarget().surface, from);
}

void stretchDraw(Machine& m, CanvasTarget c) {
  const gui::Rect target = rectangleOperand(m);
  skipByte(m);
  m.evaluate();
  skipByte(m);
  drawGraphic(c, registerGraphic(m), &target, 0, 0);
}

void textRect(Machine& m, CanvasTarget c) {
  const gui::Rect clip = rectangleOperand(m);
  skipByte(m);
  const int32_t x = numberOperand(m);
  skipByte(m);
  const int32_t y = numberOperand(m);
  skipByte(m);
  const Str text = stringOperand(m);
  skipByte(m);
  const int32_t color = numberOperand(m);
  skipByte(m);
  const int32_t background = numberOperand(m);
  skipByte(m);
  skipByte(m);
  c.font.color = color;
  prepareText(c);
  setTextBrush(c, background);
  c.surface.textRect(clip, x, y, text.view());
}

void textHeight(Machine& m, CanvasTarget c, EvalStacks& s) {
  const Str text = stringOperand(m);
  prepareText(c);
  s.pushNumber(text.empty() ? 0 : c.surface.textExtent(text.view()).height);
}

void textWidth(Machine& m, CanvasTarget c, EvalStacks& s) {
  const Str text = stringOperand(m);
  prepareText(c);
  s.pushNumber(c.surface.textExtent(text.view()).width);
}

// Every source pixel is read and written one at a time, twice (at x' and
// x' + 1), into the scratch bitmap, which keeps whatever no pixel reaches;
// the scratch bitmap is then drawn back at (0, 0).
void rotate(Machine& m, CanvasTarget c, int32_t height, int32_t width) {
  const int32_t cx = numberOperand(m);
  const int32_t cy = numberOperand(m);
  const double angle = m.evalNumber();
  gui::Surface& scratch = guiState(m).scratch();
  scratch.resize(std::max(0, width), std::max(0, height), gui::kWhite);
  const double a = angle * M_PI / 180.0;
  const double cosA = std::cos(a);
  const double sinA = std::sin(a);
  // Pixels outside the picture read as no colour and write nothing.
  const int32_t rows = std::min(height, c.surface.height());
  const int32_t columns = std::min(width, c.surface.width());
  for (int32_t y = 0; y < rows; ++y) {
    for (int32_t x = 0; x < columns; ++x) {
      const int32_t color = c.surface.pixel(x, y);
      if (color == gui::kInvalidColor) continue;
      const int32_t tx = roundToInt32(cx + cosA * (x - cx) + sinA * (y - cy));
      const int32_t ty = roundToInt32(cy - sinA * (x - cx) + cosA * (y - cy));
      scratch.setPixel(tx, ty, static_cast<uint32_t>(color));
      scratch.setPixel(tx + 1, ty, static_cast<uint32_t>(color));
    }
  }
  c.surface.draw(0, 0, scratch, nullptr);
}

}  // namespace kestrel::objects::canvas
