// The member table of forms (type 30).
#include "events/dispatch.h"
#include "objects/control_members.h"
#include "objects/controls/form.h"
#include "objects/gui_state.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {

void writeIcon(Machine& m, Form& f) {
  std::vector<uint8_t> bytes;
  if (pictureFileOperand(m, bytes)) {
    f.setIconBytes(bytes);
    return;
  }
  // A graphic-valued read filled the register: its icon, else its picture.
  GuiState& g = guiState(m);
  if (world(m).graphic.icon != nullptr && g.registerIcon) f.setIcon(g.registerIcon.get());
  else f.setIcon(registerGraphic(m).surface);
}

void readIcon(Machine& m, Form& f, EvalStacks& s) {
  GuiState& g = guiState(m);
  g.registerIcon = f.icon() != nullptr ? f.icon()->clone() : nullptr;
  world(m).graphic = {kFormType, f.tag, nullptr, g.registerIcon.get()};
  s.pushNumber(f.iconHandle());
}

void iconResource(Machine& m, Form& f) { f.setIconBytes(resourceOperand(m)); }

// The statement form puts the read position back after the modal run, so
// that handlers cannot disturb the statement that opened the form.
void showModalStatement(Machine& m, Form& f) {
  skipByte(m);
  KeepReadPosition keep(m);
  f.showModal();
}

void borderIconList(Machine& m, Form& f, bool add) {
  forEachArgument(m, [&] {
    const int32_t n = numberOperand(m);
    if (n >= 0 && n <= 3) f.changeBorderIcons(static_cast<uint8_t>(1u << n), add);
  });
}

void bindHint(Machine& m, Form&) {
  guiState(m).hintHandler = handlerOperand(m);
  guiState(m).hintListening = true;
  Machine* machine = &m;
  toolkit().setHintListener([machine](const std::string& hint) {
    GuiState& g = guiState(*machine);
    if (hint == g.lastHint) return;
    g.lastHint = hint;
    events::hint(*machine, g.hintHandler, gui::longHint(hint));
  });
}

void arrangeWith(Machine& m, Form& f, gui::MdiArrangement how) {
  skipByte(m);
  f.arrange(how);
}

std::vector<Member<Form>> formRows() {
  std::vector<Member<Form>> rows = {
      {3, "Show", "", [](Machine&, Form& f) { f.setVisible(1); }, nullptr, nullptr, "shows the form"},
      {4, "ShowModal", "b", showModalStatement,
       "", [](Machine&, Form& f, EvalStacks& s) { s.pushNumber(f.showModal()); },
       "shows the form and waits until it closes; as an expression the modal result"},
      {7, "Icon", "E", writeIcon, "", readIcon,
       "a file name, or a graphic read (e.g. bitmap:0.Picture); a read gives the icon handle and fills the "
       "graphic register"},
      {8, "Center", "", [](Machine&, Form& f) {
         f.centred = true;
         if (f.peer().visible()) f.centre();
       }, nullptr, nullptr, "centres the form on the screen, now and whenever it is shown"},
      action<&Form::close>(12, "Close", "closes the form as its close box does (the close handler decides)"),
      property<&Form::borderStyle, &Form::setBorderStyle>(
          17, "BorderStyle", "0 none, 1 single, 2 sizeable, 3 dialog, 4 tool window, 5 sizeable tool window"),
      property<&Form::formStyle, &Form::setFormStyle>(18, "FormStyle",
                                                      "0 normal, 1 MDI child, 2 MDI parent, 3 stay on top"),
      property<&Form::windowState, &Form::setWindowState>(19, "WindowState", "0 normal, 1 minimized, 2 maximized"),
      field<&Form::tileMode>(20, "TileMode", "how Tile arranges MDI children: 0 horizontally, 1 vertically"),
      {21, "MDIChildCount", "E", [](Machine& m, Form&) { ignoredOperand(m); },
       "", [](Machine&, Form& f, EvalStacks& s) { s.pushNumber(f.mdiChildCount()); },
       "number of MDI children of this MDI parent (writing evaluates the value and ignores it)"},
      {22, "ArrangeIcons", "b", [](Machine& m, Form& f) { arrangeWith(m, f, gui::MdiArrangement::ArrangeIcons); },
       nullptr, nullptr, "arranges the icons of minimized MDI children"},
      {23, "Cascade", "b", [](Machine& m, Form& f) { arrangeWith(m, f, gui::MdiArrangement::Cascade); }, nullptr,
       nullptr, "cascades the MDI children"},
      {24, "Next", "b", [](Machine& m, Form& f) { arrangeWith(m, f, gui::MdiArrangement::Next); }, nullptr, nullptr,
       "activates the next MDI child"},
      {25, "Previous", "b", [](Machine& m, Form& f) { arrangeWith(m, f, gui::MdiArrangement::Previous); }, nullptr,
       nullptr, "activates the previous MDI child"},
      {26, "Tile", "b", [](Machine& m, Form& f) {
         arrangeWith(m, f, f.tileMode == 1 ? gui::MdiArrangement::TileVertical : gui::MdiArrangement::TileHorizontal);
       }, nullptr, nullptr, "tiles the MDI children as TileMode says"},
      // An object operand of fixed size that nothing uses.
      {28, "Unused28", "BBW", [](Machine& m, Form&) { skipBytes(m, 4); }, nullptr, nullptr,
       "four bytes that are read and ignored"},
      {31, "IconResource", "B", iconResource, nullptr, nullptr, "resource number: loads the icon from that resource"},
      writeOnly<&Form::modalResult>(33, "ModalResult", "sets the modal result; nonzero ends a modal run"),
      field<&Form::autoScroll>(43, "AutoScroll", "flag: scroll bars when controls lie outside the client area"),
      action<&Form::hideCaption>(44, "HideCaption", "removes the title bar"),
      action<&Form::showCaption>(45, "ShowCaption", "brings the title bar back"),
      {46, "AddBorderIcons", "L", [](Machine& m, Form& f) { borderIconList(m, f, true); }, nullptr, nullptr,
       "list of icons to add: 0 system menu, 1 minimize, 2 maximize, 3 help"},
      {47, "RemoveBorderIcons", "L", [](Machine& m, Form& f) { borderIconList(m, f, false); }, nullptr, nullptr,
       "list of icons to remove: 0 system menu, 1 minimize, 2 maximize, 3 help"},
      action<&Form::repaint>(49, "Repaint", "paints the form now (the paint handler runs) and lets messages run again"),
      {51, "OnMessage", "H", [](Machine& m, Form& f) {
         f.bindMessageHandler(handlerOperand(m));
         guiState(m).hookedForm = f.tag;
       }, nullptr, nullptr, kMessageArguments},
      {66, "KeyPreview", "E", [](Machine& m, Form& f) {
         f.keyPreview = flagOperand(m);
         f.peer().setKeyPreview(f.keyPreview != 0);
       }, "", [](Machine&, Form& f, EvalStacks& s) { pushFlag(s, f.keyPreview); },
       "flag: the form sees the keys of its controls first"},
      {67, "OnHint", "H", bindHint, nullptr, nullptr,
       "the long part of the hint in string slot 0 (the application's hint)"},
  };
  addCommonMembers(rows, CommonCodes{.caption = 0, .left = 1, .top = 5, .width = 6, .height = 2, .clientWidth = 11,
                                     .clientHeight = 10, .font = 68, .popupMenu = 41, .enabled = 37, .visible = 38,
                                     .showHint = 39, .hint = 40, .color = 13, .cursor = 42, .handle = 50});
  addEventMembers(rows, EventCodes{.click = 16, .mouseDown = 34, .mouseUp = 36, .mouseMove = 35, .keyPress = 29,
                                   .keyDown = 32, .keyUp = 61, .resize = 9, .close = 27, .paint = 48, .show = 30});
  addFontMembers(rows, 200);
  addCanvasMembers(rows, CanvasCodes{.textOut = 14, .line = 15, .floodFill = 52, .circle = 53, .rectangle = 54,
                                     .pset = 55, .pixel = 56, .fillRect = 57, .draw = 58, .copyMode = 59,
                                     .copyRect = 60, .stretchDraw = 62, .textRect = 63, .textHeight = 64,
                                     .textWidth = 65});
  return rows;
}

std::unique_ptr<Object> createForm(Machine& m, int type, int32_t) { return std::make_unique<Form>(m, type); }

}  // namespace

void registerFormType(TypeRegistry& registry) {
  static const std::vector<Member<Form>> rows = formRows();
  registry.add(describeType(kFormType, "form", rows, createForm));
}

}  // namespace kestrel::objects
