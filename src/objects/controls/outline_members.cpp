// The member table of outlines (type 62).
#include <vector>

#include "objects/control_members.h"
#include "objects/controls/outline.h"

namespace kestrel::objects {

namespace {

using O = Outline;
using gui::OutlinePicture;

template <OutlinePicture Which>
void pictureFile(Machine& m, O& o) {
  const Str name = stringOperand(m);
  o.setPicture(Which, programFileBytes(m, name));
}

template <OutlinePicture Which>
void pictureResource(Machine& m, O& o) {
  o.setPicture(Which, resourceOperand(m));
}

template <bool On>
void options(Machine& m, O& o) {
  forEachArgument(m, [&] { o.changeOptions(numberOperand(m), On); });
}

// b, number, b, text, b
template <void (O::*Act)(int32_t, const Str&)>
void indexAndText(Machine& m, O& o) {
  skipByte(m);
  const int32_t index = numberOperand(m);
  skipByte(m);
  const Str text = stringOperand(m);
  skipByte(m);
  (o.*Act)(index, text);
}

std::vector<Member<O>> outlineRows() {
  std::vector<Member<O>> rows = {
      property<&O::borderStyle, &O::setBorderStyle>(11, "BorderStyle", "0 none, 1 a single line around the outline"),
      property<&O::itemHeight, &O::setItemHeight>(13, "ItemHeight", "height of each item in pixels"),
      property<&O::itemSeparator, &O::setItemSeparator>(14, "ItemSeparator",
                                                        "the text between the item texts of a full path"),
      property<&O::outlineStyle, &O::setOutlineStyle>(
          15, "OutlineStyle", "0 text, 1 plus/minus and text, 2 picture and text, 3 plus/minus, picture and text, "
                              "4 tree and text, 5 tree, picture and text (others brought into 0..5)"),
      {16, "PictureClosed", "E", pictureFile<OutlinePicture::Closed>, nullptr, nullptr,
       "file name: the picture of a collapsed item with children"},
      {17, "PictureLeaf", "E", pictureFile<OutlinePicture::Leaf>, nullptr, nullptr,
       "file name: the picture of an item without children"},
      {18, "PictureMinus", "E", pictureFile<OutlinePicture::Minus>, nullptr, nullptr,
       "file name: the minus button's picture"},
      {19, "PictureOpen", "E", pictureFile<OutlinePicture::Open>, nullptr, nullptr,
       "file name: the picture of an expanded item"},
      {20, "PicturePlus", "E", pictureFile<OutlinePicture::Plus>, nullptr, nullptr,
       "file name: the plus button's picture"},
      {21, "PictureClosedResource", "B", pictureResource<OutlinePicture::Closed>, nullptr, nullptr,
       "resource number: PictureClosed from an embedded resource"},
      {22, "PictureLeafResource", "B", pictureResource<OutlinePicture::Leaf>, nullptr, nullptr,
       "resource number: PictureLeaf from an embedded resource"},
      {23, "PictureMinusResource", "B", pictureResource<OutlinePicture::Minus>, nullptr, nullptr,
       "resource number: PictureMinus from an embedded resource"},
      {24, "PictureOpenResource", "B", pictureResource<OutlinePicture::Open>, nullptr, nullptr,
       "resource number: PictureOpen from an embedded resource"},
      {25, "PicturePlusResource", "B", pictureResource<OutlinePicture::Plus>, nullptr, nullptr,
       "resource number: PicturePlus from an embedded resource"},
      property<&O::scrollBars, &O::setScrollBars>(26, "ScrollBars", "0 none, 1 horizontal, 2 vertical, 3 both"),
      {30, "AddLine", "bEb",
       [](Machine& m, O& o) {
         skipByte(m);
         const Str line = stringOperand(m);
         skipByte(m);
         o.addLine(line);
       },
       nullptr, nullptr, "text: a new last line; its leading tabs give the item's level"},
      {31, "AddOptions", "L", options<true>, nullptr, nullptr,
       "option numbers 0 to 7 to set (0: lines and buttons for the top level too)"},
      {32, "LineCount", nullptr, nullptr, "", [](Machine&, O& o, EvalStacks& s) { s.pushNumber(o.lineCount()); },
       "the number of lines (items)"},
      {33, "Clear", "b", [](Machine& m, O& o) { skipByte(m); o.clear(); }, nullptr, nullptr, "deletes every item"},
      {34, "DeleteLine", "bEb",
       [](Machine& m, O& o) {
         skipByte(m);
         const int32_t line = numberOperand(m);
         skipByte(m);
         o.deleteLine(line);
       },
       nullptr, nullptr, "line index: deletes the line's item with the items below it"},
      {35, "RemoveOptions", "L", options<false>, nullptr, nullptr, "option numbers 0 to 7 to clear"},
      property<&O::row, &O::setRow>(38, "Row", "the row of the current item among the items shown"),
      property<&O::selectedItem, &O::setSelectedItem>(39, "SelectedItem", "the current item's index (0: none)"),
      {40, "AddChild", "bEbEb", indexAndText<&O::addChild>, nullptr, nullptr,
       "item index (0: the top level), text: a new last child of the item"},
      {41, "Insert", "bEbEb", indexAndText<&O::insert>, nullptr, nullptr,
       "item index, text: a new item before that one at its level (0: added at the top level)"},
      {42, "Line", "EE",
       [](Machine& m, O& o) {
         const int32_t line = numberOperand(m);
         o.setLineText(line, stringOperand(m));
       },
       "E", [](Machine& m, O& o, EvalStacks& s) { s.pushString(o.lineText(numberOperand(m))); },
       "line index, text: sets the line's text; read with (line index): its text"},
  };
  addCommonMembers(rows, CommonCodes{.left = 1, .top = 3, .width = 4, .height = 2, .parent = 5, .font = 28,
                                     .popupMenu = 29, .enabled = 7, .visible = 8, .showHint = 9, .hint = 10,
                                     .color = 12, .cursor = 6, .align = 0, .tabOrder = 27});
  addEventMembers(rows, EventCodes{.click = 36, .dblClick = 37});
  addFontMembers(rows, 200);
  return rows;
}

std::unique_ptr<Object> createOutline(Machine& m, int type, int32_t) { return std::make_unique<Outline>(m, type); }

}  // namespace

void registerOutlineType(TypeRegistry& registry) {
  static const std::vector<Member<O>> rows = outlineRows();
  registry.add(describeType(kOutlineType, "outline", rows, createOutline));
}

}  // namespace kestrel::objects
