#pragma once
// Rows of member tables that many types share, each placed at the code a
// family gives it:
//
//   - the common control properties (Caption, Left, Top, ... Handle), for
//     any class derived from Control;
//   - the font sub-members (codes 200 to 213 on controls, 0 to 13 on the
//     font object), for any class with font() and fontChanged();
//   - the canvas operations, for any class with canvasTarget().
//
// A family lists its own rows and adds the shared ones:
//
//   std::vector<Member<Form>> rows = {{3, "Show", "", ...}, ...};
//   addCommonMembers(rows, CommonCodes{.caption = 0, .left = 1, ...});
//   addFontMembers(rows, 200);
//   addCanvasMembers(rows, CanvasCodes{.textOut = 14, .line = 15, ...});
//
// A code of -1 leaves the member out.
#include <vector>

#include "core/machine.h"
#include "objects/canvas_ops.h"
#include "objects/control.h"
#include "objects/member_operands.h"
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

template <class T>
void addRow(std::vector<Member<T>>& rows, int code, Member<T> row) {
  if (code < 0) return;
  row.code = static_cast<uint8_t>(code);
  rows.push_back(row);
}

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
  (addRow<T>(rows, base + Subs,
             {0, fontMemberName(Subs, base != 0), kWrites[Subs], &writeFont<T, Subs>, kReads[Subs],
              kReads[Subs] != nullptr ? &readFont<T, Subs> : nullptr}),
   ...);
}

}  // namespace detail

template <class T>
void addFontMembers(std::vector<Member<T>>& rows, int base) {
  detail::addFontRows<T>(rows, base, std::make_integer_sequence<int, 14>{});
}

template <class T>
void addCommonMembers(std::vector<Member<T>>& rows, const CommonCodes& c) {
  using detail::addRow;
  auto writeCaption = [](Machine& m, T& o) { o.setCaption(stringOperand(m)); };
  auto readCaption = [](Machine&, T& o, EvalStacks& s) { s.pushString(o.caption()); };
  addRow<T>(rows, c.caption, {0, "Caption", "E", writeCaption, "", readCaption});
  addRow<T>(rows, c.text, {0, "Text", "E", writeCaption, "", readCaption});
  addRow<T>(rows, c.left, {0, "Left", "E", [](Machine& m, T& o) { o.setLeft(numberOperand(m)); },
                           "", [](Machine&, T& o, EvalStacks& s) { s.pushNumber(o.bounds().left); }});
  addRow<T>(rows, c.top, {0, "Top", "E", [](Machine& m, T& o) { o.setTop(numberOperand(m)); },
                          "", [](Machine&, T& o, EvalStacks& s) { s.pushNumber(o.bounds().top); }});
  addRow<T>(rows, c.width, {0, "Width", "E", [](Machine& m, T& o) { o.setWidth(numberOperand(m)); },
                            "", [](Machine&, T& o, EvalStacks& s) { s.pushNumber(o.bounds().width()); }});
  addRow<T>(rows, c.height, {0, "Height", "E", [](Machine& m, T& o) { o.setHeight(numberOperand(m)); },
                             "", [](Machine&, T& o, EvalStacks& s) { s.pushNumber(o.bounds().height()); }});
  addRow<T>(rows, c.clientWidth,
            {0, "ClientWidth", "E",
             [](Machine& m, T& o) { o.setClientSize({numberOperand(m), o.clientSize().height}); }, "",
             [](Machine&, T& o, EvalStacks& s) { s.pushNumber(o.clientSize().width); }});
  addRow<T>(rows, c.clientHeight,
            {0, "ClientHeight", "E",
             [](Machine& m, T& o) { o.setClientSize({o.clientSize().width, numberOperand(m)}); }, "",
             [](Machine&, T& o, EvalStacks& s) { s.pushNumber(o.clientSize().height); }});
  addRow<T>(rows, c.parent,
            {0, "Parent", "O", [](Machine& m, T& o) { o.setParent(&containerOperand(m)); }, nullptr, nullptr});
  addRow<T>(rows, c.font, {0, "Font", "O", [](Machine& m, T& o) { o.assignFont(fontOperand(m)); }, nullptr, nullptr});
  addRow<T>(rows, c.popupMenu,
            {0, "PopupMenu", "O", [](Machine& m, T& o) { o.popupMenu = readObjectOperand(m); }, nullptr, nullptr});
  addRow<T>(rows, c.enabled, {0, "Enabled", "E", [](Machine& m, T& o) { o.setEnabled(flagOperand(m)); },
                              "", [](Machine&, T& o, EvalStacks& s) { pushFlag(s, o.enabledFlag()); }});
  addRow<T>(rows, c.visible, {0, "Visible", "E", [](Machine& m, T& o) { o.setVisible(flagOperand(m)); },
                              "", [](Machine&, T& o, EvalStacks& s) { pushFlag(s, o.visibleFlag()); }});
  addRow<T>(rows, c.showHint, {0, "ShowHint", "E", [](Machine& m, T& o) { o.setShowHint(flagOperand(m)); },
                               "", [](Machine&, T& o, EvalStacks& s) { pushFlag(s, o.showHintFlag()); }});
  addRow<T>(rows, c.hint, {0, "Hint", "E", [](Machine& m, T& o) { o.setHint(stringOperand(m)); },
                           "", [](Machine&, T& o, EvalStacks& s) { s.pushString(o.hint()); }});
  addRow<T>(rows, c.color, {0, "Color", "E", [](Machine& m, T& o) { o.setColor(numberOperand(m)); },
                            "", [](Machine&, T& o, EvalStacks& s) { s.pushNumber(o.color()); }});
  addRow<T>(rows, c.cursor, {0, "Cursor", "E", [](Machine& m, T& o) { o.setCursor(numberOperand(m)); },
                             "", [](Machine&, T& o, EvalStacks& s) { s.pushNumber(o.cursor()); }});
  addRow<T>(rows, c.align, {0, "Align", "E", [](Machine& m, T& o) { o.setAlign(numberOperand(m)); },
                            "", [](Machine&, T& o, EvalStacks& s) { s.pushNumber(o.align()); }});
  addRow<T>(rows, c.tabOrder, {0, "TabOrder", "E", [](Machine& m, T& o) { o.setTabOrder(numberOperand(m)); },
                               "", [](Machine&, T& o, EvalStacks& s) { s.pushNumber(o.tabOrder()); }});
  addRow<T>(rows, c.handle,
            {0, "Handle", nullptr, nullptr, "",
             [](Machine&, T& o, EvalStacks& s) { s.pushNumber(static_cast<double>(o.handle())); }});
}

template <class T>
void addCanvasMembers(std::vector<Member<T>>& rows, const CanvasCodes& c) {
  using detail::addRow;
  addRow<T>(rows, c.textOut, {0, "TextOut", "EEEEE", [](Machine& m, T& o) { canvas::textOut(m, o.canvasTarget()); }, nullptr, nullptr});
  addRow<T>(rows, c.line, {0, "Line", "EEEEE", [](Machine& m, T& o) { canvas::line(m, o.canvasTarget()); }, nullptr, nullptr});
  addRow<T>(rows, c.floodFill, {0, "FloodFill", "EEEE", [](Machine& m, T& o) { canvas::floodFill(m, o.canvasTarget()); }, nullptr, nullptr});
  addRow<T>(rows, c.circle, {0, "Circle", "EEEEEE", [](Machine& m, T& o) { canvas::circle(m, o.canvasTarget()); }, nullptr, nullptr});
  addRow<T>(rows, c.rectangle, {0, "Rectangle", "EEEEE", [](Machine& m, T& o) { canvas::rectangle(m, o.canvasTarget()); }, nullptr, nullptr});
  addRow<T>(rows, c.pset, {0, "Pset", "EEE", [](Machine& m, T& o) { canvas::pset(m, o.canvasTarget()); }, nullptr, nullptr});
  addRow<T>(rows, c.pixel, {0, "Pixel", "EEE", [](Machine& m, T& o) { canvas::pset(m, o.canvasTarget()); },
                            "EE", [](Machine& m, T& o, EvalStacks& s) { canvas::pixel(m, o.canvasTarget(), s); }});
  addRow<T>(rows, c.fillRect, {0, "FillRect", "EEEEE", [](Machine& m, T& o) { canvas::fillRect(m, o.canvasTarget()); }, nullptr, nullptr});
  addRow<T>(rows, c.draw, {0, "Draw", "EEE", [](Machine& m, T& o) { canvas::draw(m, o.canvasTarget()); }, nullptr, nullptr});
  if (c.copyModeReadable)
    addRow<T>(rows, c.copyMode, {0, "CopyMode", "E", [](Machine& m, T& o) { canvas::setCopyMode(m, o.canvasTarget()); },
                                 "", [](Machine& m, T& o, EvalStacks& s) { canvas::copyMode(m, o.canvasTarget(), s); }});
  else
    addRow<T>(rows, c.copyMode, {0, "CopyMode", "E", [](Machine& m, T& o) { canvas::setCopyMode(m, o.canvasTarget()); }, nullptr, nullptr});
  addRow<T>(rows, c.copyRect, {0, "CopyRect", "CCCb", [](Machine& m, T& o) { canvas::copyRect(m, o.canvasTarget()); }, nullptr, nullptr});
  addRow<T>(rows, c.stretchDraw, {0, "StretchDraw", "CbEb", [](Machine& m, T& o) { canvas::stretchDraw(m, o.canvasTarget()); }, nullptr, nullptr});
  addRow<T>(rows, c.textRect, {0, "TextRect", "CbEbEbEbEbEbb", [](Machine& m, T& o) { canvas::textRect(m, o.canvasTarget()); }, nullptr, nullptr});
  addRow<T>(rows, c.textHeight, {0, "TextHeight", nullptr, nullptr,
                                 "E", [](Machine& m, T& o, EvalStacks& s) { canvas::textHeight(m, o.canvasTarget(), s); }});
  addRow<T>(rows, c.textWidth, {0, "TextWidth", nullptr, nullptr,
                                "E", [](Machine& m, T& o, EvalStacks& s) { canvas::textWidth(m, o.canvasTarget(), s); }});
}

}  // namespace kestrel::objects
