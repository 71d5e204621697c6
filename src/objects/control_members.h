#pragma once
// Rows of member tables that many types share, each placed at the code a
// family gives it:
//
//   - the common control properties (Caption, Left, Top, ... Handle), for
//     any class derived from Control;
//   - the font sub-members (codes 200 to 213 on controls, 0 to 13 on the
//     font object), for any class with font() and fontChanged();
//   - the canvas operations, for any class with canvasTarget();
//   - the event bindings (event_members.h), for any event source.
//
// A family lists its own rows and adds the shared ones:
//
//   std::vector<Member<Form>> rows = {action<&Form::show>(3, "Show", ...), ...};
//   addCommonMembers(rows, CommonCodes{.caption = 0, .left = 1, ...});
//   addEventMembers(rows, EventCodes{.click = 16, .mouseDown = 34, ...});
//   addFontMembers(rows, 200);
//   addCanvasMembers(rows, CanvasCodes{.textOut = 14, .line = 15, ...});
//
// A code of -1 leaves the member out.
#include <vector>

#include "objects/canvas_ops.h"
#include "objects/control.h"
#include "objects/event_members.h"
#include "objects/member_operands.h"
#include "objects/member_rows.h"
#include "objects/object_model.h"

namespace kestrel::objects {

struct CommonCodes {
  int caption = -1;  // named Caption
  int text = -1;     // the same property named Text
  int left = -1;
  int top = -1;
  int width = -1;
  int height = -1;
  int clientWidth = -1;
  int clientHeight = -1;
  int parent = -1;
  int font = -1;
  int popupMenu = -1;
  int enabled = -1;
  int visible = -1;
  int showHint = -1;
  int hint = -1;
  int color = -1;
  int cursor = -1;
  int align = -1;
  int tabOrder = -1;
  int handle = -1;
};

struct CanvasCodes {
  int textOut = -1;
  int line = -1;
  int floodFill = -1;
  int circle = -1;
  int rectangle = -1;
  int pset = -1;
  int pixel = -1;
  int fillRect = -1;
  int draw = -1;
  int copyMode = -1;
  bool copyModeReadable = true;
  int copyRect = -1;
  int stretchDraw = -1;
  int textRect = -1;
  int textHeight = -1;
  int textWidth = -1;
};

// The font sub-members on a font (shared by the rows below).
void writeFontMember(Machine& m, gui::FontDesc& font, int sub);
void readFontMember(Machine& m, gui::FontDesc& font, int sub, EvalStacks& s);
// Names of the font sub-members: plain on the font object, led by "Font" on controls.
const char* fontMemberName(int sub, bool onControl);

namespace detail {

template <class T, int Sub>
void writeFont(Machine& m, T& o) {
  writeFontMember(m, o.font(), Sub);
  o.fontChanged();
}

template <class T, int Sub>
void readFont(Machine& m, T& o, EvalStacks& s) {
  readFontMember(m, o.font(), Sub, s);
}

template <class T, int... Subs>
void addFontRows(std::vector<Member<T>>& rows, int base, std::integer_sequence<int, Subs...>) {
  static constexpr const char* kWrites[] = {"E", "E", "E", "L", "L", "E", "EE", "E", "E", "E", "E", "E", "E", "E"};
  static constexpr const char* kReads[] = {"", "", "", nullptr, nullptr, "", "E", "", "", "", "", "", "", ""};
  static constexpr const char* kAbout[] = {
      "the font's colour value (numbers here are truncated, not rounded)",
      "the face name",
      "the size in points",
      "styles to add: 0 bold, 1 italic, 2 underline, 3 strike-out",
      "styles to remove: 0 bold, 1 italic, 2 underline, 3 strike-out",
      "the number of screen fonts (writing evaluates a value and ignores it)",
      "n: the name of screen font n, from 0 (writing evaluates two values and ignores them)",
      "a font handle: takes the font it stands for; a read gives the font's handle",
      "the character set, 0 to 255",
      "0 default, 1 variable, 2 fixed pitch",
      "bold: nonzero sets it; reads 1 or 0",
      "italic: nonzero sets it; reads 1 or 0",
      "underline: nonzero sets it; reads 1 or 0",
      "strike-out: nonzero sets it; reads 1 or 0",
  };
  (addRow<T>(rows, base + Subs,
             {0, fontMemberName(Subs, base != 0), kWrites[Subs], &writeFont<T, Subs>, kReads[Subs],
              kReads[Subs] != nullptr ? &readFont<T, Subs> : nullptr, kAbout[Subs]}),
   ...);
}

}  // namespace detail

template <class T>
void addFontMembers(std::vector<Member<T>>& rows, int base) {
  detail::addFontRows<T>(rows, base, std::make_integer_sequence<int, 14>{});
}

template <class T>
void addCommonMembers(std::vector<Member<T>>& rows, const CommonCodes& c) {
  using C = Control;
  addRow<T>(rows, c.caption, property<&C::caption, &C::setCaption>(0, "Caption", "the control's text"));
  addRow<T>(rows, c.text, property<&C::caption, &C::setCaption>(0, "Text", "the control's text"));
  addRow<T>(rows, c.left, property<&C::left, &C::setLeft>(0, "Left", "left edge in the parent's client area (pixels)"));
  addRow<T>(rows, c.top, property<&C::top, &C::setTop>(0, "Top", "top edge in the parent's client area (pixels)"));
  addRow<T>(rows, c.width, property<&C::width, &C::setWidth>(0, "Width", "outer width in pixels"));
  addRow<T>(rows, c.height, property<&C::height, &C::setHeight>(0, "Height", "outer height in pixels"));
  addRow<T>(rows, c.clientWidth,
            property<&C::clientWidth, &C::setClientWidth>(0, "ClientWidth", "width of the client area"));
  addRow<T>(rows, c.clientHeight,
            property<&C::clientHeight, &C::setClientHeight>(0, "ClientHeight", "height of the client area"));
  addRow<T>(rows, c.parent,
            {0, "Parent", "O", [](Machine& m, T& o) { o.setParent(&containerOperand(m)); }, nullptr, nullptr,
             "container object: the form, panel or other container that shows the control"});
  addRow<T>(rows, c.font,
            {0, "Font", "O", [](Machine& m, T& o) { o.assignFont(fontOperand(m)); }, nullptr, nullptr,
             "font object: copies its attributes into the control's font"});
  addRow<T>(rows, c.popupMenu,
            {0, "PopupMenu", "O", [](Machine& m, T& o) { o.popupMenu = readObjectOperand(m); }, nullptr, nullptr,
             "popup menu object shown on a right click"});
  addRow<T>(rows, c.enabled,
            property<&C::enabledFlag, &C::setEnabled>(0, "Enabled", "whether the control takes input"));
  addRow<T>(rows, c.visible, property<&C::visibleFlag, &C::setVisible>(0, "Visible", "whether the control is shown"));
  addRow<T>(rows, c.showHint,
            property<&C::showHintFlag, &C::setShowHint>(0, "ShowHint", "whether the hint shows as a tool tip"));
  addRow<T>(rows, c.hint, property<&C::hint, &C::setHint>(0, "Hint", "hint text, \"short|long\""));
  addRow<T>(rows, c.color, property<&C::color, &C::setColor>(0, "Color", "background colour value"));
  addRow<T>(rows, c.cursor, property<&C::cursor, &C::setCursor>(0, "Cursor", "cursor number shown over the control"));
  addRow<T>(rows, c.align,
            property<&C::align, &C::setAlign>(0, "Align",
                                              "docking: 0 none, 1 top, 2 bottom, 3 left, 4 right, 5 client"));
  addRow<T>(rows, c.tabOrder,
            property<&C::tabOrder, &C::setTabOrder>(0, "TabOrder", "position in the parent's keyboard order (-1: no parent)"));
  addRow<T>(rows, c.handle, readOnly<&C::handle>(0, "Handle", "the window handle"));
}

template <class T>
void addCanvasMembers(std::vector<Member<T>>& rows, const CanvasCodes& c) {
  addRow<T>(rows, c.textOut,
            {0, "TextOut", "EEEEE", [](Machine& m, T& o) { canvas::textOut(m, o.canvasTarget()); }, nullptr, nullptr,
             "x, y, text, colour, background (-1: none): writes the text in the canvas font"});
  addRow<T>(rows, c.line,
            {0, "Line", "EEEEE", [](Machine& m, T& o) { canvas::line(m, o.canvasTarget()); }, nullptr, nullptr,
             "x1, y1, x2, y2, colour: a line, both ends drawn"});
  addRow<T>(rows, c.floodFill,
            {0, "FloodFill", "EEEE", [](Machine& m, T& o) { canvas::floodFill(m, o.canvasTarget()); }, nullptr,
             nullptr, "x, y, fill colour, border colour: fills the area around (x, y) up to the border colour"});
  addRow<T>(rows, c.circle,
            {0, "Circle", "EEEEEE", [](Machine& m, T& o) { canvas::circle(m, o.canvasTarget()); }, nullptr, nullptr,
             "left, top, right, bottom, pen colour, fill colour (-1: not filled): the ellipse in that box"});
  addRow<T>(rows, c.rectangle,
            {0, "Rectangle", "EEEEE", [](Machine& m, T& o) { canvas::rectangle(m, o.canvasTarget()); }, nullptr,
             nullptr, "left, top, right, bottom, colour: the rectangle's frame"});
  addRow<T>(rows, c.pset,
            {0, "Pset", "EEE", [](Machine& m, T& o) { canvas::pset(m, o.canvasTarget()); }, nullptr, nullptr,
             "x, y, colour: sets one pixel"});
  addRow<T>(rows, c.pixel,
            {0, "Pixel", "EEE", [](Machine& m, T& o) { canvas::pset(m, o.canvasTarget()); },
             "EE", [](Machine& m, T& o, EvalStacks& s) { canvas::pixel(m, o.canvasTarget(), s); },
             "x, y, colour: sets a pixel; read with (x, y): its colour, -1 outside the picture"});
  addRow<T>(rows, c.fillRect,
            {0, "FillRect", "EEEEE", [](Machine& m, T& o) { canvas::fillRect(m, o.canvasTarget()); }, nullptr,
             nullptr, "left, top, right, bottom, colour: fills the rectangle"});
  addRow<T>(rows, c.draw,
            {0, "Draw", "EEE", [](Machine& m, T& o) { canvas::draw(m, o.canvasTarget()); }, nullptr, nullptr,
             "x, y (truncated), a graphic read (e.g. bitmap:0.Picture): draws the graphic there"});
  const char* copyModeAbout = "the raster operation of copies (13369376: copy)";
  if (c.copyModeReadable)
    addRow<T>(rows, c.copyMode,
              {0, "CopyMode", "E", [](Machine& m, T& o) { canvas::setCopyMode(m, o.canvasTarget()); },
               "", [](Machine& m, T& o, EvalStacks& s) { canvas::copyMode(m, o.canvasTarget(), s); }, copyModeAbout});
  else
    addRow<T>(rows, c.copyMode,
              {0, "CopyMode", "E", [](Machine& m, T& o) { canvas::setCopyMode(m, o.canvasTarget()); }, nullptr,
               nullptr, copyModeAbout});
  addRow<T>(rows, c.copyRect,
            {0, "CopyRect", "CCCb", [](Machine& m, T& o) { canvas::copyRect(m, o.canvasTarget()); }, nullptr, nullptr,
             "target rect, source object with a canvas, source rect: copies with the copy mode"});
  addRow<T>(rows, c.stretchDraw,
            {0, "StretchDraw", "CbEb", [](Machine& m, T& o) { canvas::stretchDraw(m, o.canvasTarget()); }, nullptr,
             nullptr, "target rect, a graphic read: draws the graphic stretched to the rectangle"});
  addRow<T>(rows, c.textRect,
            {0, "TextRect", "CbEbEbEbEbEbb", [](Machine& m, T& o) { canvas::textRect(m, o.canvasTarget()); },
             nullptr, nullptr, "clip rect, x, y, text, colour, background (-1: none): text clipped to the rectangle"});
  addRow<T>(rows, c.textHeight,
            {0, "TextHeight", nullptr, nullptr,
             "E", [](Machine& m, T& o, EvalStacks& s) { canvas::textHeight(m, o.canvasTarget(), s); },
             "text: its height in pixels in the canvas font (0 for no text)"});
  addRow<T>(rows, c.textWidth,
            {0, "TextWidth", nullptr, nullptr,
             "E", [](Machine& m, T& o, EvalStacks& s) { canvas::textWidth(m, o.canvasTarget(), s); },
             "text: its width in pixels in the canvas font"});
}

}  // namespace kestrel::objects
