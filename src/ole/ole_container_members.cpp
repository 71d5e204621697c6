// The member table of containers (type 86). Every number here is cut
// toward zero, flags included.
#include "objects/control_members.h"
#include "ole/invoke_operands.h"
#include "ole/ole_container.h"
#include "ole/ole_errors.h"

namespace kestrel::ole {

namespace {

using objects::Control;
using objects::Member;
using objects::Operand;
using objects::field;
using objects::property;
using objects::readOnly;
using C = OleContainer;

// The statement forms of create fail as a missing class does; the
// expression form yields 0.
void create(Machine& m, C&) {
  objects::ignoredOperand(m);
  raise(kInvalidClassString);
}

// Members that need the embedded object, which there never is.
void noObject(Machine&, C&) { raise(kNoObject); }

std::vector<Member<C>> containerRows() {
  std::vector<Member<C>> rows = {
      {0, "Create", "E", create, "E",
       [](Machine& m, C&, EvalStacks& s) {
         objects::ignoredOperand(m);
         s.pushNumber(0);
       },
       "class name: embedding is not available, so it fails as a missing class does; a read yields 0"},
      {1, "Invoke", "bEK",
       [](Machine& m, C&) {
         readInvocation(m, true);
         raise(kNoObject);
       },
       "bEL",
       [](Machine& m, C&, EvalStacks&) {
         readInvocation(m, false);
         raise(kNoObject);
       },
       "member name, arguments [, put value]: a call on the embedded object (there is none: an error)"},
      {2, "Close", "", [](Machine&, C&) {}, nullptr, nullptr, "closes the embedded object (there is none)"},
      property<&Control::align, &Control::setAlign, Operand::Trunc>(
          4, "Align", "docking: 0 none, 1 top, 2 bottom, 3 left, 4 right, 5 client"),
      property<&Control::left, &Control::setLeft, Operand::Trunc>(5, "Left", "left edge in the parent's client area"),
      property<&Control::height, &Control::setHeight, Operand::Trunc>(6, "Height", "outer height in pixels"),
      property<&Control::top, &Control::setTop, Operand::Trunc>(7, "Top", "top edge in the parent's client area"),
      property<&Control::width, &Control::setWidth, Operand::Trunc>(8, "Width", "outer width in pixels"),
      {9, "Show", "", noObject, nullptr, nullptr, "shows the embedded object (there is none: an error)"},
      property<&C::borderStyle, &C::setBorderStyle, Operand::Trunc>(10, "BorderStyle",
                                                                   "0 none, 1 a single line around the container"),
      property<&Control::color, &Control::setColor, Operand::Trunc>(11, "Color", "background colour value"),
      property<&Control::cursor, &Control::setCursor, Operand::Trunc>(12, "Cursor", "cursor number shown over it"),
      property<&Control::enabledFlag, &Control::setEnabled, Operand::Trunc>(13, "Enabled",
                                                                           "flag: whether it takes input"),
      field<&C::options, Operand::Trunc>(14, "Options", "a byte the container keeps for the program"),
      property<&Control::showHintFlag, &Control::setShowHint, Operand::Trunc>(
          16, "ShowHint", "flag: whether the hint shows as a tool tip"),
      property<&C::sizeMode, &C::setSizeMode, Operand::Trunc>(
          17, "SizeMode", "how an object would fit: 0 clip, 1 centre, 2 scale, 3 stretch, 4 autosize"),
      {18, "Running", nullptr, nullptr, "", [](Machine&, C&, EvalStacks& s) { s.pushNumber(0); },
       "whether the embedded object runs: always 0"},
      property<&Control::tabOrder, &Control::setTabOrder, Operand::Trunc>(
          19, "TabOrder", "position in the parent's keyboard order (-1: no parent)"),
      property<&Control::visibleFlag, &Control::setVisible, Operand::Trunc>(20, "Visible",
                                                                           "flag: whether it is shown"),
      {21, "Copy", "", noObject, nullptr, nullptr, "copies the embedded object to the clipboard (there is none: an error)"},
      {22, "Paste", "", [](Machine&, C&) { raise(kInvalidClassString); }, nullptr, nullptr,
       "embeds the clipboard's object: fails as a missing class does"},
      {23, "Update", "", noObject, nullptr, nullptr, "updates the embedded object (there is none: an error)"},
      field<&C::activateOnCreate, Operand::Trunc>(25, "AutoActivate", "flag: show the object when it is created"),
      field<&C::allowInPlace, Operand::Trunc>(26, "AllowInPlace", "flag: the object may be edited in place"),
  };
  objects::addCommonMembers(rows, objects::CommonCodes{.parent = 3, .hint = 15, .handle = 24});
  objects::addEventMembers(rows, objects::EventCodes{.mouseDown = 32, .mouseUp = 33, .keyPress = 30, .keyDown = 29,
                                                     .keyUp = 31, .resize = 28, .objectMove = 27});
  return rows;
}

std::unique_ptr<objects::Object> createContainer(Machine& m, int type, int32_t) {
  return std::make_unique<C>(m, type);
}

}  // namespace

void registerContainerType(objects::TypeRegistry& registry) {
  static const std::vector<Member<C>> rows = containerRows();
  registry.add(objects::describeType(kContainerType, "container", rows, createContainer));
}

}  // namespace kestrel::ole
